// The display state and the drawing routines of the block handlers (see the header).
#include "listing/dspblk_draw.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/copy_transform.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/read_transform.hpp"
#include "toolpath/tp_sublist.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"

namespace {

using T = tool_position_state;

constexpr int kCreateBlank = 3;  // TLER: MOTION: CREATE BLANK
constexpr int kProcFont = 4, kRapidFont = 5, kRapidColour = 2, kRapidPen = 3;
constexpr int kDrillAttrMask = 262140;
constexpr int kWhicheverFigure = -1;

// Whether the procedure being displayed keeps its movements in a movement entity: it has a
// record of the NC database and its stored motions were not brought back into the list.
bool movements_outside_list()
{
    const proc_geom_pairs& f = proc_flags();
    return f.options[kOptMotionsCopied - 1] == 0 && f.options[kOptRecord - 1] > 0;
}

point3 drawn_point()
{
    point3 p = DSP8().vec(T::kPosition);
    if (TRS1().at(tp_transform_state::kActive) == 1) {
        const read_transformation t = current_read_transformation();
        xform_pnts(p.data(), nullptr, t.matrix, t.translation);
    }
    return p;
}

bool rapid_feed(float feed) { return feed == -1.0f || feed <= -2.0f; }

// The pen move before the first point of a run, which opens the host's figure.
void pending_move(const point3& p)
{
    dspblk_state& s = dspblk();
    if (!s.move_to) return;
    moveto(p.data());
    s.figure_open = 1;
    if (!s.blank_next) s.move_to = 0;
}

int blank_attribute()
{
    const dspblk_state& s = dspblk();
    return s.blank_next ? 1 : s.proc_blanked;
}

// Adds the registered block (a move, or a drill stroke with its packed attributes) and draws it
// to the point; status -1 when the host refuses.
struct drill_stroke {
    int font = 0, colour = 0, pen = 0;
};
void add_and_move(const drill_stroke* drill, const point3& p, int& status)
{
    int added = 0, moved = 0;
    if (drill)
        ncd_add_registered_drill_block(added);
    else
        ncd_add_registered_block(added);
    if (added == kNcdAddFailed || added < 0) {
        status = -1;
        return;
    }
    if (drill) ncd_add_drill_attrs(ncd_attr_list_to_int(kDrillAttrMask, drill->colour, drill->font, drill->pen));
    ncd_move_to(p.data(), moved);
    if (moved != 0) status = -1;
}

void simulate_move(const point3& p, int block_number, int& status)
{
    int moved = 0;
    mrm_tpmov(p.data(), block_number, moved);
    if (moved < 0) status = -1;
}

void simulate_tool(int& status)
{
    const int tool = DSM4().at(modal_values::kTool);
    int tool_class = -1, master = -1;
    tool_get_class(tool, tool_class);
    tool_get_symbol_master(tool, master);
    float values[5] = {};
    int count = 0;
    if (tool_class == kDrill) {
        tool_get_drill_diameter(tool, values[0]);
        tool_get_drill_clear_length(tool, values[1]);
        tool_get_drill_cut_length(tool, values[2]);
        tool_get_drill_tip_angle(tool, values[3]);
        count = 4;
    } else if (tool_class == kMill) {
        tool_get_mill_diameter(tool, values[0]);
        tool_get_clear_length(tool, values[1]);
        tool_get_cut_length(tool, values[2]);
        tool_get_corner_radius(tool, values[3]);
        tool_get_taper_angle(tool, values[4]);
        count = 5;
    } else {
        return;
    }
    const point3 at = drawn_point();
    int simulated = 0;
    mrm_tppar(tool_class, values, count, master, at.data(), tool, simulated);
    if (simulated < 0) status = simulated;
}

}  // namespace

dspblk_state& dspblk()
{
    static dspblk_state state;
    return state;
}

void dspblk_init_state(int source)
{
    dspblk_state& s = dspblk();
    s.blank_next = 1;
    s.move_to = 1;
    s.fast_blank = 1;
    s.figure_open = 0;
    s.font = DSP8().at(T::kLineFont);
    s.colour = DSP8().at(T::kColour);
    s.pen = DSP8().at(T::kPen);
    s.attrs_set = source != kSourceWritten ? 1 : 0;
}

void dsp_register_block(int source, int display_mode, int block_number)
{
    dspblk_state& s = dspblk();
    s.move_to = s.blank_next;
    s.blank_next = 0;
    s.fast_blank = 0;
    s.figure_open = 0;
    int level = 1, status = 0;
    gtlstn(1, level, status);
    if (movements_outside_list()) ++level;
    if (level > 2) --level;
    sublist_stack& stack = BLSK();
    if (level >= 1 && level <= sublist_stack::kLevels) {
        stack.words[0] = level;
        stack.words[static_cast<std::size_t>(level)] = block_number;
    }
    const ncd_address address{level, stack.words[1], stack.words[2]};
    if (display_mode == kDisplayRemove) {
        ncd_delete_blocks(kCurrentDisplayFile, address, ncd_address{}, status);
        return;
    }
    if (display_mode != kDisplayDraw) return;
    if (source == kSourceWritten && TLER().at(tool_display_state::kMode) == kCreateBlank) s.blank_next = 1;
    if (rapid_feed(DSM4().real(modal_values::kFeed)) && get_fdflg() == 1) s.fast_blank = 1;
    ncd_register_block(address);
}

void dsp_draw_move(int source, int display_mode, int block_number, int& status)
{
    status = 0;
    const point3 p = drawn_point();
    if (is_sim_source(source)) return simulate_move(p, block_number, status);
    if (display_mode != kDisplayDraw) return;
    dspblk_state& s = dspblk();
    ncd_update_blank_attribute(blank_attribute());
    pending_move(p);
    if (!s.attrs_set) {
        setlf(DSP8().at(T::kLineFont));
        setclr(DSP8().at(T::kColour));
        setpen(DSP8().at(T::kPen));
    }
    if (!s.blank_next) s.attrs_set = 0;
    ncd_update_fast_blank_attribute(s.fast_blank);
    add_and_move(nullptr, p, status);
}

void dsp_draw_drill(int source, int display_mode, int rapid, int block_number, int& status)
{
    status = 0;
    const point3 p = drawn_point();
    if (is_sim_source(source)) return simulate_move(p, block_number, status);
    if (display_mode != kDisplayDraw) return;
    const dspblk_state& s = dspblk();
    ncd_update_blank_attribute(blank_attribute());
    pending_move(p);
    const drill_stroke stroke =
        rapid != 0 ? drill_stroke{kRapidFont, kRapidColour, kRapidPen} : drill_stroke{kProcFont, s.colour, s.pen};
    setlf(stroke.font);
    add_and_move(&stroke, p, status);
}

void dsp_draw_arc(int source, int display_mode, const dsp_arc& arc)
{
    if (display_mode != kDisplayDraw && !is_sim_source(source)) return;
    dspblk_state& s = dspblk();
    if (s.blank_next)
        ncd_update_blank_attribute(1);
    else
        s.move_to = 0;
    s.attrs_set = 0;
    dparca(arc.centre.data(), arc.radius, arc.start, arc.sweep);
    s.figure_open = 1;
}

void dsp_close_figure()
{
    dspblk_state& s = dspblk();
    if (!s.figure_open) return;
    figcls(kWhicheverFigure);
    s.figure_open = 0;
}

void dsp_set_attrs(int source, int display_mode, int font, int colour, int pen)
{
    (void)source;
    if (display_mode != kDisplayDraw) return;
    dspblk_state& s = dspblk();
    if (s.blank_next)
        ncd_update_blank_attribute(1);
    else
        s.move_to = 0;
    tool_position_state& d = DSP8();
    d.at(T::kLineFont) = font < 0 ? s.font : font;
    d.at(T::kColour) = colour < 0 ? s.colour : colour;
    d.at(T::kPen) = pen < 0 ? s.pen : pen;
    ncd_update_current_attrs(d.at(T::kLineFont), d.at(T::kColour), d.at(T::kPen));
}

void dsp_proc_attrs(int source, int display_mode)
{
    dspblk_state& s = dspblk();
    s.colour = DSP8().at(T::kColour);
    s.pen = DSP8().at(T::kPen);
    s.font = kProcFont;
    dsp_set_attrs(source, display_mode, s.font, s.colour, s.pen);
}

void dsp_sim_modal(int source, int display_mode, int prmtyp, int& status)
{
    (void)display_mode;
    status = 0;
    if (!is_sim_source(source)) return;
    const modal_values& m = DSM4();
    switch (prmtyp) {
    case 1: mrm_feed(m.real(modal_values::kFeed)); return;
    case 2:
        mrm_spin(m.real(modal_values::kCuttingSpeed), PRM9().words[machine_params::kSpindleSpeed],
                 m.at(modal_values::kSpin));
        return;
    case 3: mrm_cool(m.at(modal_values::kCoolant)); return;
    case 55: {
        const tp_header_state& h = NPT1();
        float origin[3], home[3];
        for (int i = 0; i < 3; ++i) {
            origin[i] = h.real(tp_header_state::kMacsysOrigin + i);
            home[i] = h.real(tp_header_state::kHomePoint + i);
        }
        mrm_org(origin, home);
        return;
    }
    case 100: return simulate_tool(status);
    default: return;
    }
}

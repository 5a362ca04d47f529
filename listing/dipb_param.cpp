// The parameter-block handler DIPBT1: the modal value (SETMOD), the line attributes of the
// motion kind, the index value, the UCS load, the tool change and the status-line field of the
// value, or the simulation's modal value.
#include "listing/block_handlers.hpp"

#include "host/vantu.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "listing/work_view.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/rec8.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/setmod.hpp"

namespace {

using T = tool_position_state;
using M = modal_values;

constexpr int kFeed = 1, kSpin = 2, kCoolant = 3, kCutterComp = 5, kNibble = 52, kPunch = 53, kIndex = 54, kUcs = 55,
              kRapidFeed = 59, kTool = 100;
constexpr int kModeWithoutRegister = 3;
constexpr int kNoUserAttributes = 10;
constexpr int kPrmIndexWord = 16;
constexpr int kStatusWindow = 2, kUnmarkedTool = 4;
constexpr int kLathe = 31;
constexpr int kNoDisplay = 2;
constexpr int kPutAside = 1, kCannotPutAside = 2;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};

struct line_attrs {
    int font = -1, colour = -1, pen = -1;  // -1: the saved one
};

// The line style of the moves that follow a feed, rapid-feed, nibbling or punch value.
line_attrs motion_kind_attrs(int prmtyp)
{
    const M& m = DSM4();
    if (prmtyp == kFeed || prmtyp == kRapidFeed) {
        const float feed = m.real(M::kFeed);
        if (feed == -1.0f) return {5, 2, 3};
        if (feed <= -2.0f) return {-1, 2, -1};
        return {};
    }
    if (m.at(M::kPunch) == 1) return {5, 2, 3};
    if (m.at(M::kNibble) == 2 && m.at(M::kPunch) == 2) return {6, 2, 3};
    return {};
}

int register_source(int source) { return source == kNoUserAttributes ? kSourceEntity : reader_source(source); }

bool cutter_comp_on() { return PRM9().words[machine_params::kCutterComp] != 0; }

// Loads the UCS of the parameter into NPT1 and the work view. For an entity source the open
// entity (the tool path) is put aside for the time and given back on every way out.
void load_ucs(int source, int given_source, int ucs, int& status)
{
    int aside = 0;
    if (source == kSourceEntity) {
        eginfo(aside);
        if (aside == kCannotPutAside) {
            eroutc("DIPBT1,UNABLE TO TEMPORARILY CLOSE THE TP ID", 0);
            status = -1;
            return;
        }
    } else {
        symbols_off();
    }
    ucs_record record;
    rec8_get_put(1, ucs, record, status);
    int view = 0;
    if (status != 0) {
        eroutc("DIPBT1,UNABLE TO GET UCS DATA", 0);
        status = -1;
    } else {
        trchk(ucs, view, status);
    }
    if (status == 0) {
        const view_matrix& m = record.matrix;
        const view_matrix transposed{m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
        tp_header_state& n = NPT1();
        set_npt1_matrix(transposed);
        n.at(tp_header_state::kView) = view;
        n.at(tp_header_state::kUcsId) = ucs;
        if (given_source != kNoUserAttributes) {
            work_view_take(view, n.real(tp_header_state::kDepth));
            store_view_matrix(transposed);
        }
        gsvnum(2, view);
        float world[3];
        mapm2w(record.origin.data(), world);
        for (int i = 0; i < 3; ++i) n.set_real(tp_header_state::kMacsysOrigin + i, world[i]);
        if (source != kSourceEntity) {
            store_machine_frame(transposed, {world[0], world[1], world[2]});
            symbols_on();
            if (n.machine_type() == kLathe) {
                dspax(0);
                rotax_display({world[0], world[1], world[2]}, transposed);
                dspax(1);
            }
        }
    }
    if (aside == kPutAside) {
        int back = 0;
        esinfo(back);
        if (back != 0 && status == 0) {
            eroutc("DIPBT1,UNABLE TO REOPEN THE TOOL PATH", 0);
            status = -1;
        }
    }
}

void change_tool(const dip_context& c)
{
    if (!c.tool_update) return;
    tm_inst_delete();
    if (c.mode == kModeWithoutRegister || TLER().at(tool_display_state::kMode) >= kNoDisplay) return;
    int instance = -1;
    draw_tool_default(DSM4().at(M::kTool), DSP8().vec(T::kPosition), instance);
    if (instance > 0) tm_inst_id(instance);
    DSP8().set_vec(T::kPrevAxis, kUp);
}

void refresh_field(int prmtyp)
{
    switch (prmtyp) {
    case kFeed:
    case kPunch:
    case kRapidFeed: return status_show_feed(kStatusWindow);
    case kSpin:
    case kNibble: return status_show_spin(kStatusWindow);
    case kCoolant: return status_show_coolant(kStatusWindow);
    case kTool:
        return status_show_tool(cutter_comp_on() && DSM4().at(M::kCutterComp) != 0 ? kUnmarkedTool : kStatusWindow);
    default: return;
    }
}

}  // namespace

void DIPBT1(const dip_context& c, const tp_param_block& b, int& status)
{
    status = 0;
    const int source = register_source(c.source);
    if (c.mode != kModeWithoutRegister) dsp_register_block(source, c.mode, c.number);
    if (c.mode == kDisplayRemove) return;
    SETMOD(b.prmtyp, b.int_value, b.real_value);
    const int t = b.prmtyp;
    if (t == kFeed || t == kNibble || t == kPunch || t == kRapidFeed) {
        const line_attrs a = motion_kind_attrs(t);
        dsp_set_attrs(source, c.mode, a.font, a.colour, a.pen);
    }
    if (t == kIndex) DSP8().at(T::kIndexValue) = PRM9().words[kPrmIndexWord];
    if (t == kCutterComp && cutter_comp_on() && source == kSourceWritten)
        status_show_tool(DSM4().at(M::kCutterComp) == 0 ? kStatusWindow : kUnmarkedTool);
    if (t == kUcs && b.int_value > 0) {
        load_ucs(source, c.source, b.int_value, status);
        if (status != 0) return;
    }
    if (t == kTool) {
        if (DSM4().at(M::kTool) < 1) return;
        change_tool(c);
    }
    if (is_sim_source(c.source)) {
        dsp_sim_modal(c.source, c.mode, t, status);
        if (status != 0) {
            eroutc("DIPBT1, ERRORS IN SIMULATION PARAMS", 0);
            status = -1;
        }
        return;
    }
    if (source == kSourceWritten) refresh_field(t);
}

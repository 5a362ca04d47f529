// trim_tp: the trimming driver. From the BLOCKS SELECTION menu the user chooses how blocks are
// selected, defines the contour or picks the blocks, sets the page and steps through the
// procedure range by range or to its end, each range handed to the trim action. While it runs the
// machining type is 33, so that a STOP in the execution menu comes back here (kTrimRestart, only
// while the restart point is armed); every way out gives back the machining type, "UITR", the
// tool display and the motion-form word of PRM9 as they were at entry.
#include "edit/trim/trim_tp.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "edit/time/divide_by_tool.hpp"
#include "edit/trim/pick_blocks.hpp"
#include "edit/trim/trim_cache.hpp"
#include "edit/trim/trim_chains.hpp"
#include "edit/trim/trim_contour.hpp"
#include "edit/trim/trim_page.hpp"
#include "edit/trim/trim_params.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_ranges.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_surfaces.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_mdata.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_ncdisplay.hpp"
#include "host/vantu_proc_run.hpp"
#include "host/vantu_selection.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/optimizer_params.hpp"
#include "surfaces/proc_surf_menu.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

namespace {

constexpr int kTrimming = 33;
constexpr int kNoToolDisplay = 2;
constexpr int kMotionFormWord = 2;
constexpr int kCancel = -1, kBack = -2;
constexpr int kAccept = 0;
constexpr int kTrimMessages = 317, kDivideQuestion = 32, kComputingPrompt = 30;
constexpr int kUitrKind = 3;
constexpr int kOptToolSet = 62;
constexpr int kYes = 1, kNo = 2;
constexpr int kHidden = 1;
constexpr int kFirstLine = 2;
constexpr int kIndicated = 2;
constexpr int kCheckBelowSurfaces = 5;

enum class step { menu, select, page, leave };

// What the driver keeps for one call.
struct trim_run {
    int procedure = 0;
    page_view view;
    page_values values;
    page_lines lines;
    int method = 0;  // the method chosen last in this call, 0 none
    int backs = 0;   // -2 answers of BLOCKS SELECTION since entry or the last -1
    int to_end_answer = kNo;
    int count = 0;
    bool end = false;  // leave after the common end
    double* polygon = nullptr;
    int picked_handle = -1, picked_count = 0;
    int chain_handle = -1, pair_count = 0;
    contour_walk walk;
    bool range_marked = false;
    float kept_side = 0.0f, kept_offset = 0.0f;
};

// The words the driver changes for its run and gives back on every way out.
struct entry_words {
    int machining = 0;
    word uitr = 0;
    int tool_display = 0;
    word motion_form = 0;
};

entry_words take_entry_words()
{
    entry_words e;
    e.machining = machining_type();
    int status = 0;
    mdgetn("UITR", kUitrKind, 1, &e.uitr, status);
    e.tool_display = static_cast<int>(TLER().at(tool_display_state::kMode));
    e.motion_form = PRM9().words[machine_params::kMotionForm];
    return e;
}

void give_back(const entry_words& e)
{
    trim_words().restart_armed = 0;
    machining_type() = e.machining;
    int status = 0;
    mdptnc("UITR", kUitrKind, 1, &e.uitr, status);
    TLER().at(tool_display_state::kMode) = static_cast<word>(e.tool_display);
    PRM9().words[machine_params::kMotionForm] = e.motion_form;
}

bool by_contour(int method) { return method == kByContourXY || method == kByContourAny; }

void close_array(int& handle, int& count)
{
    int status = 0;
    if (handle >= 0) MM_CLOSE(handle, status);
    if (status < 0) eroutc("trim_tp, CLOSE DYNAMIC MEMORY ERROR", 0);
    handle = -1;
    count = 0;
}

void release_polygon(trim_run& r)
{
    DM_FREE(r.polygon, 0);
    r.polygon = nullptr;
    trim_state& w = trim_words();
    w.contour = w.plane_contour = nullptr;
    w.contour_vertices = w.plane_vertices = 0;
    trim_contour_release();
}

void clear_marks(trim_run& r)
{
    if (r.range_marked) contour_range_attention(r.walk, 0);
    r.range_marked = false;
}

// The next contour run starts from the procedure's start.
void restart_walk(trim_run& r)
{
    clear_marks(r);
    r.walk = contour_walk{};
    trim_words().end_reached = 0;
}

// The offset polygon of the contour (picking it first when pick is 1).
bool make_polygon(trim_run& r, int pick)
{
    trim_state& w = trim_words();
    DM_FREE(r.polygon, 0);
    r.polygon = nullptr;
    trim_contour_release();
    int vertices = 0, status = 0;
    double perimeter = 0.0;
    r.polygon = trim_contour_offset(w.cont_offset, w.side, pick, vertices, perimeter, status);
    w.contour = w.plane_contour = r.polygon;
    w.contour_vertices = w.plane_vertices = r.polygon ? vertices : 0;
    w.contour_perimeter = perimeter;
    r.kept_side = static_cast<float>(w.side);
    r.kept_offset = w.cont_offset;
    return r.polygon != nullptr;
}

// REF.SRF.OFFSET's lower limit: minus the corner radius of the current tool. A tool that is no
// mill answers the radius -1.0, so that its offset stays at least 1.0 off the surfaces; a flat mill
// gives 0 (not -0, which the page would show as such).
float offset_floor()
{
    float radius = -1.0f;
    tool_get_corner_radius(PRM9().words[machine_params::kToolId], radius);
    return radius == 0.0f ? 0.0f : -radius;
}

bool divide_offered()
{
    const optimizer_params& o = opt_params_current();
    const int tools = o.ival(kOptToolSet);
    return (tools == 4 || tools == 5) && o.ival(kOptState) != 1;
}

step blocks_selection(trim_run& r)
{
    clear_marks(r);
    r.view.show_defaults = kHidden;
    prmptc("BLOCKS SELECTION OP.:");
    int choice = 0;
    topopc(selection_menu_text(divide_offered()), choice);
    if (choice == kCancel) {
        r.backs = 0;
        return r.method != 0 ? step::page : step::leave;
    }
    if (choice == kBack) return ++r.backs >= 2 ? step::leave : step::menu;
    if (choice < 1) return step::leave;
    r.method = choice;
    r.view.method = choice;
    trim_words().selection_method = choice;
    restart_walk(r);
    return step::select;
}

step selection_step(trim_run& r)
{
    trim_params_read();
    page_rules(r.method, r.view.surfaces_allowed);
    if (by_contour(r.method)) {
        release_polygon(r);
        r.view.defined = make_polygon(r, 1) ? 1 : 0;
        return r.view.defined ? step::page : step::menu;
    }
    if (r.method == kBySelect) {
        close_array(r.chain_handle, r.pair_count);
        close_array(r.picked_handle, r.picked_count);
        int status = 0;
        pick_blocks(r.picked_count, r.picked_handle, status);
        if (status == kBack) {
            close_array(r.picked_handle, r.picked_count);
            return step::menu;
        }
        if (status >= 0 && r.picked_count > 0) {
            auto* records = static_cast<pick_entry*>(mmcptr(r.picked_handle));
            r.chain_handle = get_chains(records, r.picked_count, r.pair_count, status);
        }
        if (status < 0) return step::leave;
        r.view.defined = r.picked_count > 0 ? 1 : 0;
    }
    return step::page;
}

// IND. Z PLANE / IND. CLEAR VAL.: the indicated point's Z above the tool path's origin.
void indicate_height(trim_run& r)
{
    trim_state& w = trim_words();
    const bool plane = w.operation == kProjectMotions;
    prmptc(plane ? "IND. PNT AT Z PLANE" : "IND. PNT AT CLEAR");
    float point[3] = {0.0f, 0.0f, 0.0f};
    int entity = -1, status = 0;
    ncs_get_point(0, point, entity, status);
    r.values.line5 = 1;
    if (status < 0) return;
    const float z = point[2] - NPT1().real(tp_header_state::kMacsysOrigin + 2);
    (plane ? w.z_plane : w.clear) = z;
}

// The common end of an operation or a failure: the selection's arrays closed, the range state
// cleared; answers where the driver goes on.
step common_end(trim_run& r)
{
    close_array(r.chain_handle, r.pair_count);
    close_array(r.picked_handle, r.picked_count);
    restart_walk(r);
    if (r.method == kBySelect) r.view.defined = 0;
    return r.end || r.method == 0 ? step::leave : step::page;
}

// One FORWARD of the contour selection: SINGLE trims the range marked before (if any) and marks
// the next; TO END trims every range to the procedure's end.
void contour_forward(trim_run& r, bool to_end, int& status)
{
    msg_prompt(kTrimMessages, kComputingPrompt);
    if (!r.polygon && !make_polygon(r, 0)) {
        status = -1;
        return;
    }
    // The check changes nothing, so it has no ranges to step through: every stretch is checked.
    const trim_state& w = trim_words();
    if (w.operation == kProjectMotions && w.projection_option == kCheckBelowSurfaces) {
        contour_check(r.count, status);
        r.walk.ended = true;
        return;
    }
    for (;;) {
        if (r.walk.found) {
            clear_marks(r);
            contour_trim_range(r.walk, r.count, status);
            if (status < 0 || r.walk.ended) return;
        }
        contour_next_range(r.walk, status);
        if (status < 0) return;
        if (!r.walk.found) return;
        if (!to_end) {
            contour_range_attention(r.walk, 1);
            r.range_marked = true;
            return;
        }
    }
}

// The operation of a FORWARD; answers false when it ended with the common end.
bool forward(trim_run& r, bool to_end, int& status)
{
    status = 0;
    uitr_set(1);
    if (r.method == kAllBlocks) {
        trim_all_blocks(r.count, status);
        return false;
    }
    if (r.method == kBySelect) {
        if (r.chain_handle < 0) {
            pick_blocks(r.picked_count, r.picked_handle, status);
            if (status >= 0 && r.picked_count > 0)
                r.chain_handle =
                    get_chains(static_cast<pick_entry*>(mmcptr(r.picked_handle)), r.picked_count, r.pair_count, status);
        }
        if (status >= 0 && r.chain_handle >= 0)
            trim_chains(static_cast<const int*>(mmcptr(r.chain_handle)), r.pair_count, r.count, status);
        return false;
    }
    contour_forward(r, to_end, status);
    return status >= 0 && !(r.walk.ended && !r.walk.found);
}

// The operation under the armed restart point: a STOP in the execution menu comes back here.
bool run_operation(trim_run& r, bool to_end, int& status)
{
    trim_words().restart_armed = 1;
    bool go_on = false;
    try {
        go_on = forward(r, to_end, status);
    } catch (const execution_stop& stop) {
        trim_words().restart_armed = 0;
        if (stop.restart != kTrimRestart) throw;
        if (trim_surfaces().triangulating != 0) {
            int closed = 0;
            close_allsrf_arrays(closed);
            trim_surfaces().triangulating = 0;
        }
        r.walk = contour_walk{};
        status = 0;
        go_on = false;
    }
    trim_words().restart_armed = 0;
    uitr_set(0);
    return go_on;
}

bool ask_to_end(trim_run& r)
{
    int answer = r.to_end_answer;
    int status = 0;
    modint(0, 0, 0, 0, status);
    modmc("O.K. TO EXECUTE?", r.values.empty);
    modmc("YES  @NO ", answer);
    int chosen = 0;
    modif1(chosen);
    r.to_end_answer = answer;
    return chosen >= kAccept && answer == kYes;
}

step page_step(trim_run& r)
{
    // The page is placed anew each time: its lines follow the choices made on it.
    build_page(r.view, r.values, r.lines);
    int chosen = 0;
    modif1(chosen);
    take_page(r.view, r.values);
    trim_state& w = trim_words();
    r.view.show_defaults = r.values.show;
    if (chosen == r.lines.exit || chosen == kBack || chosen == kCancel) {
        clear_marks(r);
        return step::leave;
    }
    if (chosen == r.lines.indicate && r.values.line5 == kIndicated) indicate_height(r);
    if (chosen == r.lines.surfaces && surface_case()) {
        int status = 0;
        trim_surfaces_edit(status);
        if (status < kBack) return common_end(r);
        r.view.surface_count = static_cast<int>(trim_surfaces().ids.size());
    }
    page_rules(r.method, r.view.surfaces_allowed);
    trim_params_store();
    if (by_contour(r.method) && r.polygon &&
        (w.cont_offset != r.kept_offset || static_cast<float>(w.side) != r.kept_side)) {
        restart_walk(r);
        r.view.defined = make_polygon(r, 0) ? 1 : 0;
    }
    if (chosen == r.lines.method) {
        if (r.method == kDivideByTool) {
            int answer = 0;
            msg_quest(kTrimMessages, kDivideQuestion, answer);
            int status = 0;
            if (answer == 1) divide_by_tool(r.procedure, status);
            r.end = true;
            return common_end(r);
        }
        release_polygon(r);
        restart_walk(r);
        return step::menu;
    }
    if (chosen == r.lines.define) {
        if (by_contour(r.method)) {
            release_polygon(r);
            restart_walk(r);
        }
        return step::select;
    }
    const bool single = chosen == r.lines.single || (chosen == kAccept && by_contour(r.method));
    const bool to_end = chosen == r.lines.to_end || (chosen == kAccept && !by_contour(r.method));
    if ((!single && !to_end) || (single && r.lines.single == 0) || (to_end && r.lines.to_end == 0)) return step::page;
    if (surface_case() && trim_surfaces().ids.empty()) {
        usmsgc("NO SURFACES DEFINED, DEFINE SURFACES");
        return step::page;
    }
    if (to_end && !ask_to_end(r)) return step::page;
    int status = 0;
    if (surface_case()) {
        trim_surfaces_triangulate(status);
        if (status < 0) return common_end(r);
    }
    trim_words().clear_warning = 1;
    if (run_operation(r, to_end, status)) return step::page;
    if (trim_words().nothing_follows != 0) r.end = true;
    return common_end(r);
}

void enter(trim_run& r, int procedure, int surfaces_allowed)
{
    r.procedure = procedure;
    r.view.surfaces_allowed = surfaces_allowed;
    trim_entry_defaults();
    machining_type() = kTrimming;
    TLER().at(tool_display_state::kMode) = kNoToolDisplay;
    r.view.offset_floor = offset_floor();
    PRM9().words[machine_params::kMotionForm] = kMotionFormWord;
    node_handles_reset();
    nc_surf_init(2, 0);
    ncd_update_blank_attribute(0);
}

void leave(trim_run& r)
{
    int status = 0;
    lacces(kFirstLine, status);
    clear_marks(r);
    release_polygon(r);
    close_array(r.chain_handle, r.pair_count);
    close_array(r.picked_handle, r.picked_count);
    trim_surfaces_release();
    trim_words().retriangulate = 1;
    nc_surf_init(2, 0);
}

}  // namespace

int trim_restart_active() { return trim_words().restart_armed; }

void trim_tp(int procedure, int surface_option, int& status)
{
    const entry_words entry = take_entry_words();
    trim_run r;
    enter(r, procedure, surface_option);
    try {
        step next = step::menu;
        while (next != step::leave) {
            switch (next) {
            case step::menu: next = blocks_selection(r); break;
            case step::select: next = selection_step(r); break;
            case step::page: next = page_step(r); break;
            case step::leave: break;
            }
        }
    } catch (...) {
        leave(r);
        give_back(entry);
        throw;
    }
    leave(r);
    give_back(entry);
    status = r.count;
}

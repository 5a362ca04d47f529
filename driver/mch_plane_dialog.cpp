// The machine and part-plane dialog, the display and message menu and the change of origin (see
// the header).
#include "driver/mch_plane_dialog.hpp"

#include "driver/go_point_motion.hpp"
#include "driver/proc_steps.hpp"
#include "driver/relations.hpp"
#include "driver/set_machining_type.hpp"
#include "driver/txt2_texts.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/header_texts.hpp"
#include "listing/mach_params_menu.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/proc_type_table.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/common_arguments.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/pp_messages.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/proc_ctx_save.hpp"
#include "toolpath/tp_sublist.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_choice.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kShowAgain = -3, kMotionFailed = -3, kCancel = -1;
constexpr int kMostRounds = 200;  // page answers before the page gives up
constexpr int kSaveContext = 2, kRestoreContext = 1;
constexpr int kPunchSlotA = 14, kPunchSlotB = 17;
constexpr int kQueryInstance = -1;
constexpr int kRotationFree = 6;
constexpr float kDeltaLimit = 99999.0f, kClearLimit = 9999.999f;
constexpr int kCurrentPlane = 1, kDefinePlane = 2;

const char* go_menu(int group)
{
    switch (group) {
    case kGroupMill:
        return "GO IND. POINT        >@GO DELTA             >@GO HOME              >@GO TO CLEAR          >@GO TO "
               "Z-PLANE        >";
    case kGroupMultiAxis:
        return RAXN().at(rotation_axes_state::kKind) == kRotationFree
                   ? "GO IND. POINT        >@GO DELTA             >@GO HOME              >@GO TO CLEAR          >@GO "
                     "TO Z-PLANE        >@GO IND. POINT 5X     >"
                   : "GO IND. POINT        >@GO DELTA             >@GO HOME              >@GO TO CLEAR          >@GO "
                     "TO Z-PLANE        >@GO IND. POINT 4X     >";
    case kGroupPunch: return "GO IND. POINT       >@GO DELTA             >";
    case kGroupTurn: return "GO IND. POINT        >@GO DELTA             >@GO HOME              >";
    default: return "GO IND. POINT        >@GO DELTA             >@GO HOME              >@GO IND. POINT 4X     >";
    }
}

// The page's fields, kept between its rounds so that the host can write into them.
struct plane_page {
    int group = kGroupMill;
    int menu_choice = kGoIndPoint;  // the line's value; group 5's fourth choice is go choice 6
    int z_option = kFreeZ;
    int plane_option = kCurrentPlane;
    int feed = kGoFast;
    int wire = 1;
    float delta[3] = {};
    int unused = 0;
    // Lines of the fields (0: not on the page).
    int comment = 0, machine = 0, service = 0, go = 0, z_line = 0, plane_line = 0, feed_line = 0;
};

int go_choice_of(const plane_page& p)
{
    return p.group == kGroupWire && p.menu_choice == 4 ? kGoIndPointAxis : p.menu_choice;
}

bool point_mode(const plane_page& p)
{
    const int go = go_choice_of(p);
    return go == kGoIndPoint || go == kGoIndPointAxis;
}

bool two_point_mode(const plane_page& p) { return go_choice_of(p) == kGoIndPointAxis && p.z_option != kZOnPlane; }

void build_page(plane_page& p, int motion_made)
{
    modinz();
    int line = 0;
    std::string text;
    state_text20_field(kGet, text);
    if (motion_made)
        modumc(text, 0);
    else
        modmc(text, p.unused);
    p.comment = ++line;
    modmc("MACHINE PARAMS ...", p.unused);
    p.machine = ++line;
    modmc("SERVICE ...", p.unused);
    p.service = ++line;
    modmc(go_menu(p.group), p.menu_choice);
    p.go = ++line;
    p.z_line = p.plane_line = p.feed_line = 0;
    const int go = go_choice_of(p);
    if (go == kGoDelta) {
        modrc("DX", p.delta[0], -kDeltaLimit, kDeltaLimit);
        modrc(p.group == kGroupTurn ? "DZ" : "DY", p.delta[1], -kDeltaLimit, kDeltaLimit);
        line += 2;
        if (p.group != kGroupPunch && p.group != kGroupTurn) {
            modrc("DZ", p.delta[2], -kDeltaLimit, kDeltaLimit);
            ++line;
        }
    } else if (go == kGoIndPoint && (p.group == kGroupMill || p.group == kGroupMultiAxis)) {
        modmc("FREE Z               >@SAME Z               >@ONLY Z               >@Z ON PLANE           >",
              p.z_option);
        p.z_line = ++line;
        if (p.z_option == kZOnPlane) {
            modmc("CURRENT PLANE        >@DEFINE PART PLANE    >", p.plane_option);
            p.plane_line = ++line;
        }
    } else if (go == kGoZPlane && p.group == kGroupWire) {
        modrc("Z", go_page().z_plane, -kDeltaLimit, kDeltaLimit);
        ++line;
    }
    if (p.group == kGroupWire) {
        modmc("THREAD WIRE          >@CUT WIRE             >", p.wire);
        p.feed_line = ++line;
    } else if (p.group != kGroupPunch) {
        modmc("GO AT FEED           >@GO FAST              >", p.feed);
        p.feed_line = ++line;
    }
}

// Picks the part plane until its normal is not horizontal; a cancel ends the picking with the
// current plane kept.
void define_part_plane()
{
    constexpr int kMostPicks = 50;
    for (int round = 0; round < kMostPicks; ++round) {
        plane4 plane{};
        std::array<float, 3> point{};
        int status = 0;
        pick_point_c(" DEFINE PART PLANE:", plane, point, status);
        if (status < 0) return;
        if (std::abs(plane[2]) > vantu::kRealTolerance) {
            go_page().part_plane = plane;
            go_page().plane_defined = 1;
            return;
        }
        userrc("PART PLANE CANNOT BE PARALLEL TO Z.AXIS!");
    }
}

// Takes back the picks made on the page.
void reject_picks()
{
    int picks = sllen(), removed = 0;
    if (picks > 0) sldelr(1, picks, removed);
}

bool has_feed_choice(int group) { return group == kGroupMill || group == kGroupMultiAxis || group == kGroupTurn; }

// The feed that GO AT FEED sets, taken from PRM9 when the page opens and again after the
// machining-parameters page, where the user may have changed it.
void take_base_feed(int group)
{
    if (has_feed_choice(group)) go_page().base_feed = PRM9().real(machine_params::kBaseFeed);
}

void feed_changed(const plane_page& p)
{
    go_motion_choice() = p.feed;
    DSM4().set_real(modal_values::kFeed, p.feed == kGoAtFeed ? go_page().base_feed : -1.0f);
}

void comment_field(int motion_made)
{
    if (motion_made != 0) {
        userrc("IN GO POINT, THE COMMENT MAY BE ENTERED ONLY BEFORE THE FIRST MOVEMENT");
        return;
    }
    int status = 0;
    edit_txt2_text(status);
}

static_assert(kMachItemFlags <= std::tuple_size_v<decltype(go_page_masks::machine)>);
static_assert(kDisplayMenuSwitches <= std::tuple_size_v<decltype(go_page_masks::service)>);

void machine_page(int group, const go_page_masks& masks)
{
    int no_display = 0, status = 0;
    int items[kMachItemFlags] = {};
    std::copy_n(masks.machine.begin(), kMachItemFlags, items);
    mach_params_menu(no_display, items, 0, status);
    take_base_feed(group);
}

// The SERVICE field: the display and message menu with the fields the masks enable; a message
// goes in at the current place of the list.
void service_page(int procedure, const go_page_masks& masks, int& status)
{
    int switches[kDisplayMenuSwitches] = {};
    std::copy_n(masks.service.begin(), kDisplayMenuSwitches, switches);
    int message[kMessageWords] = {0, 0};
    proc_display_menu(procedure, switches, message, status);
}

}  // namespace

void mch_plane_dialog(int group, int procedure, const go_page_masks& masks, int& procedure_written, int& motion_made,
                      int& status)
{
    status = 0;
    int opened = 0;
    nu_modl_get_did_init(kModalTableMachine, opened);
    const bool open_here = opened == 0;
    if (open_here) nu_modl_init(kModalTableMachine, {}, status);
    if (status < 0) return;
    go_page().plane_defined = 0;
    go_page().part_plane = {0.0f, 0.0f, 1.0f, 0.0f};
    plane_page p;
    p.group = group;
    go_motion_choice() = p.feed;
    take_base_feed(group);
    proc_geom_flags_start(status);
    for (int round = 0; round < kMostRounds; ++round) {
        build_page(p, motion_made);
        int answer = 0;
        go_vec point{}, axis{0.0f, 0.0f, 1.0f};
        if (point_mode(p)) {
            int indicated = 0;
            ind_tool_axis_points(two_point_mode(p) ? 1 : 0, go_choice_of(p), 1, point, axis, indicated);
            if (indicated != 0) modif1(answer);
        } else {
            modif1(answer);
        }
        if (answer == kShowAgain) continue;
        if (answer < 0) break;
        if (answer == 0) {
            const go_vec delta{p.delta[0], p.delta[1], p.delta[2]};
            go_point_motion(group, procedure, go_choice_of(p), 1, p.z_option, go_page().part_plane, procedure_written,
                            point, delta, axis, status);
            if (status < 0) {
                status = kMotionFailed;
                break;
            }
            dsp_close_figure();
            motion_made = 1;
            continue;
        }
        if (answer == p.comment)
            comment_field(motion_made);
        else if (answer == p.machine)
            machine_page(group, masks);
        else if (answer == p.service)
            service_page(procedure, masks, status);
        else if (answer == p.plane_line && p.plane_option == kDefinePlane)
            define_part_plane();
        else if (answer == p.z_line && p.z_option == kZOnPlane && p.plane_option == kDefinePlane)
            define_part_plane();
        else if (answer == p.feed_line && group == kGroupWire)
            go_page().wire_choice = p.wire;
        else if (answer == p.feed_line)
            feed_changed(p);
        status = 0;
    }
    reject_picks();
    prmptc("");
    if (open_here) {
        int released = 0;
        nu_modl_rels(kModalTableMachine, released);
    }
}

namespace {

// Outside a function the procedure context saved at the start is put back on every way out, and
// the next block number is shown.
struct context_restore {
    bool armed;
    ~context_restore()
    {
        if (!armed) return;
        int restored = 0;
        proc_ctx_save(0, kRestoreContext, restored);
        int number = 0;
        get_tp_blkno(number);
        MUTBLN(0, number);
    }
};

}  // namespace

void mch_params_dialog(int group, int inside, int& status)
{
    status = 0;
    reject_picks();
    if (group == kGroupPunch) {
        mch_slots().slots[kPunchSlotA].status = kSlotExplicit;
        mch_slots().slots[kPunchSlotB].status = kSlotExplicit;
    }
    if (inside == 0) proc_ctx_save(0, kSaveContext, status);
    const context_restore restore{inside == 0};
    int suspend = 0;
    set_machining_type(go_group_function(group), go_page().mach_param_type, suspend, status);
    if (status < 0) return;
    wire_common().at(wire_common_block::kWireChoice) = 0;
    EDA2().word_no(edit_state::kSuspend) = 0;
    EDA2().word_no(14) = 0;
    tool_choose(1, status);
    if (status == 0) tool_type_params(status);
    if (status < 0) return;
    txt2_read(EDA2().word_no(edit_state::kEditing));
    int written = 0, motion_made = 0;
    mch_plane_dialog(group, 0, go_page_masks::all(), written, motion_made, status);
    if (motion_made != 0) {
        if (inside != 0) {
            std::string name;
            FNCNAM(proc_nc_function(), name);
            user5c("NOTE: PARAMETERS SET IN", name, "WILL NOT AFFECT ACTIVE FUNCTION");
        }
        int closed = 0;
        tp_sublist_close(closed);
        if (closed >= 0) ptub12_points(closed);
    }
    if (TLER().at(tool_display_state::kMode) > 1 && tm_inst_id(kQueryInstance) <= 0) {
        int instance = -1;
        draw_tool_default(PRM9().words[machine_params::kToolId], DSP8().position(), instance);
    }
}

void change_origin(int& status)
{
    nc_common_to_host();
    orgchn(status);
    nc_common_from_host();
}

namespace {

// Display choices in the page's order and the TLER mode each stands for; choice 4 also switches
// the host's fast-display flag on.
constexpr int kMotionNoDisplay = 3, kMotionNoFastDisplay = 4, kDisplayChoices = 5;
constexpr int kModeOfChoice[kDisplayChoices] = {kToolDisplay, kToolTrace, kToolNoDisplay, kMotionNoFastDisplay,
                                                kMotionNoDisplay};
// The clearance of a procedure with relations is the expression field (host kind 8) of its
// parameter, labelled with the parameter's code.
constexpr int kExpressionField = 8;

int display_choice_of(int mode)
{
    for (int c = 0; c < kDisplayChoices; ++c)
        if (kModeOfChoice[c] == mode) return c + 1;
    return 1;
}

// The fields of the display and message menu, kept while the host runs the page.
struct display_page {
    int choice = 1;
    float clear = 0.0f;
    int unused = 0;
    int insert_line = 0, origin_line = 0;  // 0: not on the page
    bool clear_expression = false;         // CLEAR edits HEI8's clearance field itself
};

void place_text(display_page& p, const std::string& text, int& line)
{
    modmc(text, p.unused);
    ++line;
}

void build_display_page(int procedure, const int (&switches)[kDisplayMenuSwitches], display_page& p)
{
    modinz();
    int line = 0;
    if (switches[kShowToolTexts] != 0) {
        const int tool = PRM9().words[machine_params::kToolId];
        std::string name, text;
        tool_get_name(tool, name);
        tool_get_text(tool, text);
        place_text(p, "TOOL=" + name, line);
        place_text(p, text, line);
    }
    if (switches[kShowDisplayMode] != 0) {
        modmc("TOOL: DISPLAY@TOOL: TRACE@TOOL: NO DISPLAY@MOTION: NO FAST DISP.@MOTION: NO DISPLAY", p.choice);
        ++line;
    }
    if (switches[kShowHeaderTexts] != 0) {
        tp_header_fields headers;
        tp_header_text(-1, 1, headers);
        for (const std::string* text : {&headers.name, &headers.size, &headers.bytes_left, &headers.type})
            place_text(p, *text, line);
    }
    p.clear_expression = false;
    if (switches[kShowClear] != 0) {
        // A host that cannot place the expression field gets the plain one, so no line goes missing.
        int status = -1;
        if (procedure != 0)
            nu_mod_exec(kExpressionField, kRelClearance, kRelClearance, HEI8().at(heights_state::kClearance),
                        -kClearLimit, kClearLimit, status);
        p.clear_expression = status == 0;
        if (!p.clear_expression) modrc("CLEAR", p.clear, -kClearLimit, kClearLimit);
        ++line;
    }
    p.insert_line = p.origin_line = 0;
    if (switches[kShowInsertMessage] != 0) {
        place_text(p, "INSERT MESSAGE / CODE", line);
        p.insert_line = line;
    }
    if (switches[kShowChangeOrigin] != 0) {
        place_text(p, "CHANGE ORIGIN", line);
        p.origin_line = line;
    }
}

}  // namespace

void proc_display_menu(int procedure, const int (&switches)[kDisplayMenuSwitches], int (&message)[kMessageWords],
                       int& status)
{
    status = 0;
    display_page p;
    p.choice = display_choice_of(TLER().at(tool_display_state::kMode));
    p.clear = HEI8().real(heights_state::kClearance) - part_top_height();
    for (int round = 0; round < kMostRounds; ++round) {
        build_display_page(procedure, switches, p);
        int answer = 0;
        modif1(answer);
        if (answer > 0 && answer == p.insert_line) {
            INSMSG(message[kMessageTargetSelect], message[kMessageEntered], status);
        } else if (answer > 0 && answer == p.origin_line) {
            change_origin(status);
        } else if (answer <= 0 && answer != kShowAgain) {
            break;
        }
        if (status < 0) break;
    }
    if (switches[kShowClear] != 0 && !p.clear_expression)
        HEI8().set_real(heights_state::kClearance, part_top_height() + p.clear);
    if (switches[kShowDisplayMode] != 0) {
        const int mode = kModeOfChoice[std::clamp(p.choice, 1, kDisplayChoices) - 1];
        TLER().at(tool_display_state::kMode) = mode;
        if (mode == kMotionNoFastDisplay)
            set_fdflg_on();
        else
            set_fdflg_off();
    }
    if (status > 0) status = 0;
}

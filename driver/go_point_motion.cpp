// The go motions of the go-point procedure (see the header).
#include "driver/go_point_motion.hpp"

#include "driver/mch_slot_init.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"

#include <cmath>

namespace {

constexpr int kPointMode = 0;
constexpr int kCancel = -1;
constexpr int kMostTries = 50;    // indications asked before the routine gives up
constexpr int kRotationFree = 6;  // rotation kind of a five-axis machine
constexpr int kPunchSlotA = 14, kPunchSlotB = 17;
constexpr int kQueryInstance = -1;
// The PUNCH word of PRM9 (the word of machine slot 53) and the punch slot's values by it.
constexpr int kPunchWord = 15, kPunchMode2 = 2, kPunchValue = 17, kPunchValue2 = 16;

struct group_codes {
    int nc_function, machining;
};
constexpr group_codes kGroups[] = {{10, 3}, {10, 3}, {19, 16}, {20, 20}, {26, 19}};

go_vec plus(const go_vec& a, const go_vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

bool unit(go_vec& v)
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > vantu::kRealNoLength)) return false;
    for (float& c : v) c /= length;
    return true;
}

// The callbacks of the go procedure's block: it has no parameters, geometry or contours.
void no_records(int&, int&, int&, int& status) { status_zero(status); }

void write_procedure_block(int group, int& status)
{
    status_show_machine(0);
    PTBT12(go_group_function(group), 1, 0, no_records, no_records, no_records, go_page().mach_param_type, status);
    if (status != 0) {
        if (status > 0) status = kCancel;
        return;
    }
    if (group == kGroupPunch) {
        mch_slots().slots[kPunchSlotA].status = kSlotExplicit;
        mch_slots().slots[kPunchSlotB].status = kSlotExplicit;
    } else {
        INITMC(go_group_machining(group));
    }
    mch_param_apply(go_page().mach_param_type, status);
    clr_tp_flag();
}

void show_or_hide_tool(const go_vec& point, const go_vec& axis)
{
    const int mode = TLER().at(tool_display_state::kMode);
    const int instance = tm_inst_id(kQueryInstance);
    if (instance <= 0 && mode < kToolNoDisplay) {
        int drawn = -1;
        draw_tool_default(PRM9().words[machine_params::kToolId], point, drawn);
        if (drawn > 0) tm_inst_id(drawn);
    } else if (instance > 0 && mode >= kToolNoDisplay) {
        tm_inst_delete();
    }
    (void)axis;
}

}  // namespace

int& go_motion_choice()
{
    static int choice = kGoAtFeed;
    return choice;
}

go_page_state& go_page()
{
    static go_page_state state;
    return state;
}

int go_group_function(int group) { return group >= 1 && group <= 5 ? kGroups[group - 1].nc_function : 0; }
int go_group_machining(int group) { return group >= 1 && group <= 5 ? kGroups[group - 1].machining : 0; }

void status_zero(int& status) { status = 0; }

float part_top_height() { return NPT1().real(tp_header_state::kDepth); }

std::vector<go_vec> go_targets(int group, int go_choice, int z_option, const plane4& plane, const go_vec& point,
                               const go_vec& delta, const go_context& from)
{
    const go_vec& c = from.current;
    std::vector<go_vec> moves;
    switch (go_choice) {
    case kGoIndPoint:
    case kGoIndPointAxis: {
        go_vec target = point;
        if (z_option == kSameZ)
            target[2] = c[2];
        else if (z_option == kOnlyZ)
            target = {c[0], c[1], point[2]};
        else if (z_option == kZOnPlane)
            tool_z_on_part_plane(target, plane);
        moves.push_back(target);
        break;
    }
    case kGoDelta: moves.push_back(plus(c, delta)); break;
    case kGoHome: {
        const go_vec& h = from.home;
        if (group == kGroupTurn) {
            const bool climb = from.turning_direction == 2 ? c[1] > h[1] : c[1] < h[1];
            moves.push_back(climb ? go_vec{c[0], h[1], c[2]} : go_vec{h[0], c[1], c[2]});
        } else if (h[2] <= c[2]) {
            moves.push_back({h[0], h[1], c[2]});
        } else {
            moves.push_back({c[0], c[1], h[2]});
        }
        moves.push_back(h);
        break;
    }
    case kGoClear: moves.push_back({c[0], c[1], from.clearance}); break;
    case kGoZPlane: moves.push_back({c[0], c[1], from.z_plane}); break;
    default: break;
    }
    if (group == kGroupPunch)
        for (go_vec& m : moves) m[2] = c[2];
    if (group == kGroupTurn)
        for (go_vec& m : moves) m[2] = from.part_top;
    return moves;
}

void ind_tool_axis_points(int two_point, int go_choice, int axis_source, go_vec& base, go_vec& axis, int& status)
{
    axis = axis_source == 1 ? go_vec{0.0f, 0.0f, 1.0f} : DSP8().vec(tool_position_state::kAxis);
    status = 0;
    for (int attempt = 0; attempt < kMostTries; ++attempt) {
        float first[3] = {}, second[3] = {};
        prmptc(go_choice == kGoIndPoint ? "INDICATE POINT" : "INDICATE BASE POINT");
        getpt(first, kPointMode, status);
        if (status == kCancel) return;
        if (status < kCancel) continue;
        base = {first[0], first[1], first[2]};
        if (two_point == 0) return;
        prmptc(go_choice == kGoIndPointAxis ? "IND TOOL AXIS DIR" : "INDICATE TOP POINT");
        getpt(second, kPointMode, status);
        if (status == kCancel) return;
        if (status < kCancel) continue;
        go_vec direction{second[0] - first[0], second[1] - first[1], second[2] - first[2]};
        const int rotation = RAXN().at(rotation_axes_state::kKind);
        if (go_choice == kGoIndPointAxis && rotation != kRotationFree)
            direction[rotation == 1 ? 0 : rotation == 2 ? 1 : 2] = 0.0f;
        if (unit(direction)) {
            axis = direction;
            return;
        }
        userrc(go_choice == kGoClear ? "THE TOP & BASE START POINTS ARE SIMILIAR, NOT LEGAL!"
                                     : "THE TOOL AXIS DIRECTION CAN NOT BE PROPERLY DEFINED BY THOSE TWO POINTS");
    }
    status = kCancel;
}

void go_point_motion(int group, int procedure, int go_choice, int axis_source, int z_option, const plane4& plane,
                     int& procedure_written, const go_vec& point, const go_vec& delta, const go_vec& axis, int& status)
{
    (void)procedure;
    (void)axis_source;
    status = 0;
    if (group == kGroupMill || group == kGroupMultiAxis || group == kGroupTurn)
        set_mch_change_mode(go_motion_choice() == kGoAtFeed ? kFeedBase : kFeedRapid);
    if (group == kGroupPunch) set_punch_slot(PRM9().words[kPunchWord] == kPunchMode2 ? kPunchValue2 : kPunchValue);
    if (procedure_written == 0) {
        write_procedure_block(group, status);
        if (status < 0) return;
        procedure_written = 1;
    }
    go_context from;
    from.current = DSP8().position();
    const tp_header_state& n = NPT1();
    from.home = {n.real(tp_header_state::kHomePoint), n.real(tp_header_state::kHomePoint + 1),
                 n.real(tp_header_state::kHomePoint + 2)};
    from.clearance = HEI8().real(heights_state::kClearance);
    from.z_plane = go_page().z_plane;
    from.part_top = part_top_height();
    from.turning_direction = PRM9().words[machine_params::kDirection];
    const go_vec direction = go_choice == kGoIndPoint && z_option == kZOnPlane ? go_vec{0.0f, 0.0f, 1.0f} : axis;
    show_or_hide_tool(from.current, direction);
    for (const go_vec& target : go_targets(group, go_choice, z_option, plane, point, delta, from)) {
        PLINE_entry(1, target, direction, status);
        if (status < 0) {
            status = kCancel;
            return;
        }
    }
    status = 0;
}

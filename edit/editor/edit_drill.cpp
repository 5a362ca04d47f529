// The editor's drill operations: a new drilling depth for a range of drill locations (EDTDPT)
// and new drilling points at the cursor (EDTDRL). The depth in force at a place is the last
// cycle activation (type 30, its second real) or depth setting (type 36, its new depth) before
// it, the surface Z the last cycle activation (its first real) or del-Z setting (type 33, new
// less old). The user sees and enters depths without the drill's tip. EDTDPT uses list markers
// 5 and 6, EDTDRL marker 5.
#include "edit/editor/edit_operations.hpp"

#include "edit/editor/list_utilities.hpp"
#include "edit/editor/region_range.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_vector_s.hpp"
#include "listing/live_display.hpp"
#include "nc_services/shown_values.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"

#include <cmath>

namespace {

constexpr int kStartMarker = 5, kEndMarker = 6;
constexpr int kCycleType = 30, kDelzType = 33, kDepthType = 36;
constexpr int kAtFirst = 1, kUnmoved = -2;
constexpr int kListError = -3;
constexpr int kPointMode = 2;
constexpr int kAccept = 0, kShowAgain = -3;
// The depth field takes depths below the surface (negative) as well as above it.
constexpr float kDepthLimit = 100000.0f;
constexpr float kStraightTip = 180.0f;

enum class in_force { depth, surface };

int current_tool_id() { return PRM9().words[machine_params::kToolId]; }
float shown_depth(float depth, float tip) { return depth >= 0.0f ? depth - tip : depth + tip; }
float stored_depth(float shown, float tip) { return shown >= 0.0f ? shown + tip : shown - tip; }
// The depth a DEPTH field leaves: the depth held when the value typed reads as the value offered
// (the field shows lengths to the host's decimals), else the value typed with the tip added back.
float depth_entered(float held, float offered, float typed, float tip)
{
    return entered_value(offered, typed, shown_kind::length) == offered ? held : stored_depth(typed, tip);
}
ncd_address motion_address(int number) { return {2, list_cursor().cursor_proc_blkno, number}; }

// The value a block at the list position sets, if it sets one.
bool value_of_block(in_force what, float& value, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status < 0) return false;
    if (type == kCycleType) {
        tp_cycle_block cycle;
        tpread_cycle_activation(kWhereList, cycle, status);
        value = what == in_force::depth ? cycle.real2 : cycle.real1;
        return status >= 0;
    }
    tp_z_pair_block pair;
    if (type == kDepthType && what == in_force::depth) {
        tpread_depth_setting(kWhereList, pair, status);
        value = pair.first;
        return status >= 0;
    }
    if (type == kDelzType && what == in_force::surface) {
        tpread_delz_setting(kWhereList, size, pair, status);
        value = pair.first - pair.second;
        return status >= 0;
    }
    return false;
}

// Walks back from the block before the list position to the block setting the value; the list
// stands wherever the walk stopped. value stays as it was when no block sets it.
void value_in_force(in_force what, float& value, int& status)
{
    for (;;) {
        int moved = 0;
        tp_list_jump(-1, moved);
        if (moved == kUnmoved) return;
        if (moved < 0) {
            status = moved;
            return;
        }
        if (value_of_block(what, value, status) || status < 0 || moved == kAtFirst) return;
    }
}

// The depth field on its own page; false when the user left it.
bool depth_dialog(float& shown)
{
    for (;;) {
        modinz();
        prmptc("DEF. DRILLING DEPTH");
        modrc("DEPTH", shown, -kDepthLimit, kDepthLimit);
        int answer = 0;
        modif1(answer);
        if (answer == kAccept) return true;
        if (answer < 0 && answer != kShowAgain) return false;
    }
}

void put_depth(float new_depth, float old_depth, int& status)
{
    put_depth_block(kWhereListNumbered, {0, new_depth, old_depth}, status);
}

void put_delz(float new_value, float old_value, int& status)
{
    put_delz_block(kWhereListNumbered, {0, new_value, old_value}, status);
}

// Shows the block just written; a failing display gives -3.
void show_written(int& status)
{
    if (status < 0) return;
    int break_flag = 0;
    DISPLB(1, break_flag, status);
    if (status < 0) status = kListError;
}

// EDTDPT after the range was found: asks the depth and writes it around the range.
void change_range_depth(const ncd_address& first, const ncd_address& last, const ncd_address& cursor, int& changed,
                        int& status)
{
    float depth = 0.0f;
    tp_list_top_mark(kStartMarker, status);
    if (status >= 0) value_in_force(in_force::depth, depth, status);
    if (status < 0) return;
    const float tip = drill_tip_length(current_tool_id(), "EDTDPT - ZERO TIP ANGLE IN DRILL TOOL");
    if (tip < 0.0f) return;
    const float offered = shown_depth(depth, tip);
    float shown = offered;
    ncd_set_blocks_attention(kCurrentDisplayFile, first, first, 0);
    ncd_set_blocks_attention(kCurrentDisplayFile, last, last, 0);
    ncd_set_blocks_attention(kCurrentDisplayFile, first, last, 1);
    const bool accepted = depth_dialog(shown);
    ncd_set_blocks_attention(kCurrentDisplayFile, first, last, 0);
    ncd_set_blocks_attention(kCurrentDisplayFile, cursor, cursor, 1);
    if (!accepted) return;
    const float entered = depth_entered(depth, offered, shown, tip);
    if (eqval(entered, depth)) return;
    int moved = 0;
    tp_list_top_mark(kStartMarker, status);
    if (status >= 0) tp_list_jump(-1, moved);
    if (moved == -1) status = moved;
    if (status >= 0) put_depth(entered, depth, status);
    if (status >= 0) tp_list_top_mark(kEndMarker, status);
    if (status >= 0) put_depth(depth, entered, status);
    if (status >= 0) changed = 1;
}

// EDTDRL's loop: points indicated until the user cancels; the depth and surface Z in force go
// back to those found at the cursor.
void drilling_points(float depth, float surface, float tip, int& changed, int& status)
{
    float depth_now = depth, surface_now = surface;
    for (;;) {
        const float offered = shown_depth(depth_now, tip);
        float shown = offered;
        modinz();
        prmptc("IND. DRILLING POINT");
        modrc("DEPTH", shown, -kDepthLimit, kDepthLimit);
        float point[3]{};
        int answer = 0;
        getpt(point, kPointMode, answer);
        if (answer < 0) break;
        const float entered = depth_entered(depth_now, offered, shown, tip);
        if (neval(entered, depth_now)) {
            put_depth(entered, depth_now, status);
            show_written(status);
            depth_now = entered;
        }
        if (status >= 0 && neval(point[2], surface_now)) {
            put_delz(point[2], surface_now, status);
            show_written(status);
            surface_now = point[2];
        }
        if (status < 0) return;
        changed = 1;
        put_drill_loc_block(kWhereListNumbered, {0, {point[0], point[1], point[2]}, {0.0f, 0.0f, 1.0f}, 0}, status);
        show_written(status);
        if (status < 0) return;
    }
    if (neval(depth_now, depth)) {
        put_depth(depth, depth_now, status);
        show_written(status);
    }
    if (status >= 0 && neval(surface_now, surface)) {
        put_delz(surface, 0.0f, status);
        show_written(status);
    }
}

// The display continues after the motion at or before the cursor (at the procedure's start when
// there is none).
bool place_display(int& status)
{
    point3 point{}, direction{};
    int number = -1, found = 0;
    PRVPNT(1, point, direction, number, found);
    if (found < 0) return false;
    if (number < 0)
        ncd_set_block_position(kCurrentDisplayFile, -1, {1, list_cursor().cursor_proc_blkno, 0}, status);
    else
        ncd_set_block_position(kCurrentDisplayFile, 1, motion_address(number), status);
    if (status < 0) eroutc("EDTDRL, ERRORS IN THE DISPLAY FILE", 0);
    return status >= 0;
}

}  // namespace

float drill_tip_length(int tool_id, const char* zero_angle_message)
{
    int tool_class = 0;
    tool_get_class(tool_id, tool_class);
    if (tool_class != kDrill) return 0.0f;
    float angle = 0.0f, diameter = 0.0f;
    tool_get_drill_tip_angle(tool_id, angle);
    tool_get_drill_diameter(tool_id, diameter);
    if (angle < 0.0f || diameter < 0.0f) return -1.0f;
    if (eqval0(angle)) {
        eroutc(zero_angle_message, 0);
        return 0.0f;
    }
    if (angle >= kStraightTip) return 0.0f;
    return diameter / 2.0f / std::tan(radian(angle / 2.0f));
}

void EDTDPT(const blk_path& anchor, const blk_path& current, int& changed, int& layer, int& status)
{
    status = 0;
    layer = 0;
    if (!anchor.names_block() || !current.names_block() || anchor.block() == current.block()) return;
    changed = 0;
    if (list_cursor().cursor_fn_code != kDrillFunction) {
        eroutc("EDTDPT, DEPTH UPDATE POSSIBLE ONLY FOR DRILL", 0);
        status = -1;
        return;
    }
    layer = CHKLYR(status);
    block_ref a{2, list_cursor().cursor_proc_blkno, anchor.block()};
    block_ref b{2, list_cursor().cursor_proc_blkno, current.block()};
    int in_layer = 0, no_previous = 0;
    point3 point{}, direction{};
    if (status >= 0) FNDRNG(kStartMarker, kEndMarker, a, b, 0, in_layer, no_previous, point, direction, status);
    if (status >= 0)
        change_range_depth(motion_address(a.number), motion_address(b.number), current.address(), changed, status);
    if (status < 0) {
        eroutc("EDTDPT,ERRORS IN LIST", 0);
        status = kListError;
    }
    if (!changed) layer = 0;
}

void EDTDRL(const blk_path& current, int& changed, int& layer, int& status)
{
    (void)current;
    changed = 0;
    status = 0;
    int answer = 0;
    lmark(1, kStartMarker, answer);
    layer = CHKLYR(status);
    float depth = 0.0f, surface = 0.0f;
    if (status >= 0) value_in_force(in_force::depth, depth, status);
    if (status >= 0) tp_list_top_mark(kStartMarker, status);
    if (status >= 0) value_in_force(in_force::surface, surface, status);
    if (status >= 0) tp_list_top_mark(kStartMarker, status);
    if (status < 0) {
        eroutc("EDTDRL, ERRORS IN LIST", 0);
        status = kListError;
        layer = 0;
        return;
    }
    const float tip = drill_tip_length(current_tool_id(), "EDTDRL, ZERO TIP ANGLE IN DRILL TOOL");
    if (tip >= 0.0f && place_display(status)) drilling_points(depth, surface, tip, changed, status);
    ncd_connect_toolpath(kCurrentDisplayFile);
    if (status < 0) {
        if (status != kListError) eroutc("EDTDRL, ERRORS IN LIST", 0);
        status = kListError;
    }
    if (!changed) layer = 0;
}

// The range of blocks between two block numbers (see region_range.hpp).
#include "edit/editor/region_range.hpp"

#include "driver/proc_common.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/list_utilities.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <utility>

namespace {

constexpr const char* kNotFound = "FNDRNG, THE INDICATED REGION WAS NOT FOUND WITHIN THE CURRENT PROCEDURE";

bool is_string(int type) { return type == 7 || type == 27 || type == 227; }

// What the walk knows of the block it stands on.
struct range_block {
    int type = 0;
    int number = 0;
    int last_number = 0;  // a string's last point number; the number for other blocks
};

// Reads the number of the block whose head was just read; markers move the LAYER bracket.
void read_block(int size, range_block& block, bool& in_layer, int& status)
{
    block.last_number = block.number = 0;
    if (block.type == 99) {
        tp_marker_block marker;
        tpread_marker(kWhereList, size, marker, status);
        if (status < 0) return;
        block.number = marker.number;
        if (marker.code == kMarkerLayerOpen) in_layer = true;
        if (marker.code == kMarkerLayerClose) in_layer = false;
    } else if (is_string(block.type)) {
        tp_line_point first;
        tpread_lines(kWhereList, block.type, size, first, status);
        if (status < 0) return;
        block.number = first.number;
        block.last_number = first.number + first.points - 1;
        return;
    } else {
        tp_get_int(kWhereList, block.number, status);
        if (status < 0) {
            eroutc("FNDRNG, ERRORS IN LIST", 0);
            status = kRangeListError;
            return;
        }
    }
    block.last_number = block.number;
}

bool holds(const range_block& block, const block_ref& ref)
{
    return ref.number >= block.number && ref.number <= block.last_number;
}

bool set_marker(int marker)
{
    int marked = 0;
    lmark(1, marker, marked);
    return marked >= 1;
}

bool list_error(int& status)
{
    eroutc("FNDRNG, ERRORS IN LIST", 0);
    status = kRangeListError;
    return false;
}

// The first block of the stretch: marked, with the point before it. PRVPNT answers 1 whenever
// its walk reached the first block of the list, and then gives the block it started from when
// no motion lay before it: only a number of another block names a motion before the stretch.
bool start_stretch(int first_marker, int first_number, int& no_previous, point3& point, point3& direction, int& status)
{
    if (!set_marker(first_marker)) return list_error(status);
    int number = -1;
    PRVPNT(0, point, direction, number, status);
    if (status < 0) return list_error(status);
    no_previous = 0;
    if (status == 1 && (number < 0 || number == first_number)) {
        no_previous = -1;
        position_before_procedure(first_marker, point, direction, status);
        if (status < 0) return list_error(status);
    }
    status = 0;
    return true;
}

}  // namespace

void position_before_procedure(int marker, point3& point, point3& direction, int& status)
{
    int level = 0;
    gtlstn(1, level, status);
    if (status < 0 || level <= 1) {
        status = 0;
        return;
    }
    clsls1(status);
    if (status < 0) return;
    common_vec previous{}, previous_axis{}, next{}, next_axis{};
    int none = 0, no_next = 0;
    GETPOS(previous, previous_axis, none, next, next_axis, no_next, status);
    int back = 0;
    tp_list_top_mark(marker, back);
    if (status < 0) return;
    status = back;
    point = {previous[0], previous[1], previous[2]};
    direction = {previous_axis[0], previous_axis[1], previous_axis[2]};
}

void FNDRNG(int first_marker, int last_marker, block_ref& a, block_ref& b, int break_strings, int& layer,
            int& no_previous, point3& point, point3& direction, int& status)
{
    layer = 0;
    no_previous = 0;
    status = 0;
    int answer = 0;
    lacces(2, answer);
    if (answer < 0) {
        eroutc(kNotFound, 0);
        status = kRangeNotFound;
        return;
    }
    bool in_layer = false, found = false;
    // A string is broken at most once, so the walk ends even when the break leaves it standing.
    int breaks_left = 1;
    for (;;) {
        int size = 0, block_class = 0;
        range_block block;
        tp_block_head_read(kWhereList, size, block.type, block_class, status);
        if (status < 0) {
            list_error(status);
            return;
        }
        read_block(size, block, in_layer, status);
        if (status < 0) return;
        const bool reaches = holds(block, a) || holds(block, b);
        if (is_string(block.type) && block_class == kClassMotion && (reaches || (found && break_strings)) &&
            breaks_left-- > 0) {
            BRKSTR(1, status);
            if (status < 0) return;
            continue;
        }
        breaks_left = 1;
        if (!found && reaches) {
            found = true;
            if (holds(block, b) && !holds(block, a)) std::swap(a, b);
            if (!start_stretch(first_marker, block.number, no_previous, point, direction, status)) return;
        }
        if (found) {
            if (in_layer) layer = 1;
            if (!set_marker(last_marker)) {
                list_error(status);
                return;
            }
            if (holds(block, b)) return;
        }
        tp_list_jump(1, status);
        if (status < 0) {
            eroutc(kNotFound, 0);
            status = kRangeNotFound;
            return;
        }
        status = 0;
    }
}

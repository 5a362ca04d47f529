// Where a layer or pass step, or a jump to a height, would take the editor's cursor: the block
// number of the motion block it lands on. The search counts the markers of the kind in
// list_cursor().cursor_mrkr_code (3 or 4 LAYER, 5 or 6 PASS), passing over empty layers or passes,
// or stops at the first LAYER whose shown height reaches the height given. It always returns to
// the cursor, so the cursor does not move; a string it lands inside is broken, though. Reads NPT1's
// origin Z; writes cursor_layer_z from every LAYER-opening marker it reads.
#include "edit/editor/cursor_routines.hpp"

#include "edit/editor/cursor_list.hpp"
#include "edit/editor/list_utilities.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kMarkerType = 99;
constexpr int kBreakFirst = 1, kBreakLast = 2;

struct marker_search {
    int count = 0;  // markers to count (signed), or 0 for a height search
    float height = kNoHeight;
    int scan = kStepForward;
    int landing = kStepForward;
    int opening = 0, closing = 0;
    int counted = 0;  // markers counted so far
    int motions = 0;  // motion blocks passed since the last opening marker
};

marker_search make_search(int count, int second, float height)
{
    const list_cursor_state& cursor = list_cursor();
    const float shown = shown_height(cursor.cursor_layer_z);
    marker_search search;
    search.count = count != 0 && second != 0 ? count : 0;
    search.height = height;
    search.scan = count > 0 || height < shown ? kStepForward : kStepBackward;
    search.landing = second > 0 || height < shown ? kStepForward : kStepBackward;
    const bool pass = cursor.cursor_mrkr_code == kMarkerPassOpen || cursor.cursor_mrkr_code == kMarkerPassClose;
    search.opening = pass ? kMarkerPassOpen : kMarkerLayerOpen;
    search.closing = pass ? kMarkerPassClose : kMarkerLayerClose;
    if (search.scan == kStepBackward) std::swap(search.opening, search.closing);
    return search;
}

// One marker of the scan; true when the search stops at it.
bool marker_stops(marker_search& search, const tp_marker_block& marker)
{
    const int code = list_cursor().cursor_mrkr_code;
    if (marker.code != code && marker.code != search.opening && marker.code != search.closing) return false;
    if (search.count == 0) {
        if (marker.code != code) return false;
        const float shown = shown_height(marker.z);
        return search.scan == kStepForward ? shown <= search.height : search.height <= shown;
    }
    if (marker.code == search.opening && search.counted > 0) search.motions = 0;
    // A layer or pass without motions is not counted.
    if (marker.code == search.closing && search.motions == 0) search.counted -= 1;
    if (marker.code == code) search.counted += search.scan;
    return search.counted == search.count;
}

// Scans from the cursor to the marker where the search stops. Answers false at an end of the list.
bool scan_to_marker(marker_search& search, int& status)
{
    cursor_block block;
    for (;;) {
        cursor_read(block, status);
        if (status < 0) return false;
        if (block.motion()) {
            search.motions += 1;
        } else if (block.type == kMarkerType) {
            tp_marker_block marker;
            cursor_marker(block, marker, status);
            if (status < 0) return false;
            if (marker.code == kMarkerLayerOpen) list_cursor().cursor_layer_z = marker.z;
            if (marker_stops(search, marker)) return true;
        }
        if (!cursor_step(search.scan, status)) return false;
    }
}

// From the marker, the first motion block in the landing direction; a string of two or more
// points is broken so that the landing is one of its points.
bool land_on_motion(const marker_search& search, int& number, int& status)
{
    cursor_block block;
    for (;;) {
        if (!cursor_step(search.landing, status)) return false;
        cursor_read(block, status);
        if (status < 0) return false;
        if (block.motion()) break;
    }
    if (block.string()) {
        tp_line_point point;
        cursor_string(block, point, status);
        if (status < 0) return false;
        if (point.points >= 2) {
            BRKSTR(search.landing == kStepForward ? kBreakFirst : kBreakLast, status);
            if (status < 0) return false;
            cursor_read(block, status);
            if (status < 0) return false;
        }
    }
    cursor_number(number, status);
    return status >= 0;
}

}  // namespace

void find_mrkr_target(int count, int second, float height, int& number, int& status)
{
    number = -1;
    status = 0;
    if ((count == 0 || second == 0) && height == kNoHeight) return;
    if (!cursor_mark()) {
        status = kFailed;
        return;
    }
    marker_search search = make_search(count, second, height);
    const bool found = scan_to_marker(search, status) && land_on_motion(search, number, status);
    if (!found) number = -1;
    if (!cursor_return()) status = kFailed;
    if (status >= 0) status = found ? 0 : kCursorEnd;
}

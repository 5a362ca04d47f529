// The loop trimming of a range (EDTLOP): the range is found and shown, the user confirms, and
// each pass of it is collected as a point string, searched for loops and trimmed, until the
// range's last block. The cursor then steps on past the range.
#include "edit/editor/list_utilities.hpp"
#include "edit/editor/loop_trimming.hpp"

#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/region_range.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

// Markers: where the trimming began, the start of the current pass and of the range, the end of
// the range, and where the next pass begins.
constexpr int kBeganMarker = 7, kPassMarker = 5, kRangeEndMarker = 6, kNextPassMarker = 8;
constexpr int kFailed = -3, kRefused = -2;
constexpr int kAnswerYes = 1, kAnswerCancel = -1, kAnswerAgain = -3;

bool is_arc(int type) { return type == 3 || type == 223; }

bool list_error(int& status) { return list_error_in("EDTLOP", status); }
bool back_to(int marker, int& status) { return list_back_to(marker, "EDTLOP", status); }

// A fresh point string whose first entry is the point before the pass.
loop_string string_after(const point3& point, const point3& direction) { return {{point}, {direction}, {0}, {-1}}; }

// Shows the range with attention and asks to go on. Answers 1 yes; otherwise the attention is
// released, the list stands on the range's end again and status is -2 (no, back) or -1.
bool confirmed(const ncd_address& from, const ncd_address& to, int& status)
{
    ncd_set_blocks_attention(kCurrentDisplayFile, from, from, 0);
    ncd_set_blocks_attention(kCurrentDisplayFile, to, to, 0);
    ncd_set_blocks_attention(kCurrentDisplayFile, from, to, 1);
    int answer = kAnswerAgain;
    while (answer == kAnswerAgain) irepyc("OK TO TRIM ?", answer);
    ncd_connect_toolpath(kCurrentDisplayFile);
    if (answer == kAnswerYes) return true;
    ncd_set_blocks_attention(kCurrentDisplayFile, from, to, 0);
    ncd_set_blocks_attention(kCurrentDisplayFile, to, to, 1);
    if (back_to(kRangeEndMarker, status)) status = answer == kAnswerCancel ? kAnswerCancel : kRefused;
    return false;
}

// Walks on from the list position to the block numbered `number`.
bool walk_to(int number, int& status)
{
    for (;;) {
        int size = 0, type = 0, block_class = 0;
        word w = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status >= 0) tpget(kWhereList, 1, 0, &w, status);
        if (status < 0) return list_error(status);
        if (w == number) return true;
        tp_list_jump(1, status);
        if (status < 0) return list_error(status);
    }
}

// Finds and cuts the loops of the pass collected in s; the list stands on the pass's start.
bool trim_pass(const loop_string& s, int& deleted, int& status)
{
    std::vector<loop_record> loops;
    find_loops(s, static_cast<int>(s.points.size()), kMostLoops, loops, status);
    if (status < 0) {
        status = kFailed;
        return false;
    }
    if (!back_to(kPassMarker, status)) return false;
    for (const loop_record& loop : loops) {
        blk_path result;
        trim_one_loop(loop, is_arc(loop.start_type), is_arc(loop.end_type), result, deleted, status);
        if (status < 0) return list_error(status);
    }
    return true;
}

// Trims pass after pass from the list position (marker 5) to the block numbered last_number.
bool trim_passes(int last_number, loop_string s, int& deleted, int& status)
{
    for (;;) {
        int range_end = 0;
        collect_loop_pass(last_number, s, range_end, status);
        if (status == kLoopNotLinearOrCircular) {
            if (back_to(kBeganMarker, status)) status = kFailed;
            return false;
        }
        if (status < 0) return false;
        if (!trim_pass(s, deleted, status)) return false;
        if (range_end != 0) return walk_to(last_number, status);
        point3 point{}, direction{};
        int number = 0;
        if (!back_to(kNextPassMarker, status) || !list_mark_set(kPassMarker)) return list_error(status);
        PRVPNT(0, point, direction, number, status);
        if (status < 0) return list_error(status);
        s = string_after(point, direction);
    }
}

}  // namespace

void EDTLOP(const blk_path& first, blk_path& last, int& type, int& deleted, int& in_layer, int& status)
{
    status = 0;
    deleted = 0;
    in_layer = 0;
    if (!first.names_block() || !last.names_block() || first.block() == last.block()) return;
    if (!list_mark_set(kBeganMarker)) {
        list_error(status);
        return;
    }
    const int procedure = list_cursor().cursor_proc_blkno;
    block_ref a{2, procedure, first.block()}, b{2, procedure, last.block()};
    int no_previous = 0;
    point3 point{}, direction{};
    FNDRNG(kPassMarker, kRangeEndMarker, a, b, 0, in_layer, no_previous, point, direction, status);
    if (status < 0) {
        status = kFailed;  // reported by the range search
        return;
    }
    blk_path range_first, range_last;
    range_first.set(procedure, a.number);
    range_last.set(procedure, b.number);
    if (!confirmed(range_first.address(), range_last.address(), status)) return;
    if (back_to(kPassMarker, status) && trim_passes(b.number, string_after(point, direction), deleted, status)) {
        UPDBOT(status);
        blk_path reached = first;
        if (status >= 0) step_cursor_mark(kDirForward, reached, type, status);
        if (status >= 0) {
            last = reached;
            status = 0;
        } else {
            list_error(status);
        }
    }
    if (deleted == 0) in_layer = 0;
}

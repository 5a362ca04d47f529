// The list surgery for one loop (trim_one_loop): the blocks between the loop's two crossing
// segments go, the block holding its start ends at the crossing and the block holding its end
// starts there, so the path runs straight through the crossing. Lines are cut by their end
// point; arcs are written again with the sweep up to (or from) the crossing.
#include "edit/editor/loop_trimming.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "host/vantu.hpp"
#include "listing/live_display.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <cmath>
#include <numbers>

namespace {

constexpr int kListError = -1;
constexpr int kMarkSet = 1;
// Marker 5 holds a rewritten start arc, marker 6 the last block handled.
constexpr int kArcMarker = 5, kLastMarker = 6;
constexpr int kJustWritten = 1;
constexpr int kAfterBlock = 1, kProcedureStart = -1;
constexpr int kLineType = 2, kLineWithNormal = 222;

ncd_address motion_address(int number) { return {2, list_cursor().cursor_proc_blkno, number}; }

bool mark(int marker)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    return answer >= 1;
}

// The head and block number of the current block.
bool read_head(int& type, int& block_class, int& number, int& status)
{
    int size = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    word w = 0;
    if (status >= 0) tpget(kWhereList, 1, 0, &w, status);
    number = w;
    return status >= 0;
}

// The sweep from `from` to `to` about the arc's centre in the sense of the arc's own sweep: a
// part of an arc turns the same way as the arc.
float partial_sweep(const tp_arc_block& arc, const point3& from, const point3& to, int& status)
{
    float angle = 0.0f;
    arc_sweep_angle(arc.plane, arc.centre, from, to, angle, status);
    if (angle * arc.angle < 0.0f) angle += std::copysign(2.0f * std::numbers::pi_v<float>, arc.angle);
    return angle;
}

// Replaces the arc at the list position by its part from `from` to `to`.
void rewrite_arc(const point3& from, const point3& to, const point3* direction, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_arc_block arc;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status >= 0) tpread_arc(kWhereList, type, arc, status);
    if (status < 0) return;
    arc.angle = partial_sweep(arc, from, to, status);
    if (status < 0) return;
    arc.end = to;
    if (direction) arc.direction = *direction;
    tp_list_delete(-1, status);
    if (status >= 0) put_arc_block(kWhereList, type, arc, status);
}

// Moves one block on (a positive status is a move onto the list's last block); no block beyond
// the current one is a list error.
bool step(int& status)
{
    tp_list_jump(1, status);
    status = status < 0 ? kListError : 0;
    return status >= 0;
}

// Cuts the motion at the list position (its end point and direction given): the start block
// ends at the crossing, the end block begins there, a block between goes (and the list stands on
// the next block). Marker 5 notes a new start block, marker 6 the end block.
void cut_block(const loop_record& loop, int start_is_arc, int end_is_arc, const point3& loop_start, const point3& end,
               int& status)
{
    int type = 0, block_class = 0, number = 0;
    read_head(type, block_class, number, status);
    if (status < 0) return;
    if (number == loop.start_number) {
        if (start_is_arc != 0) {
            rewrite_arc(loop_start, loop.crossing, &loop.direction, status);
        } else {
            // The start line ends at the crossing, under its own number and in its own place.
            const int line_type = eqpt3(loop.direction.data(), kDefaultDirection.data()) ? kLineType : kLineWithNormal;
            tp_list_delete(-1, status);
            if (status >= 0) put_line_block(kWhereList, line_type, number, loop.crossing, loop.direction, status);
        }
        if (status >= 0 && !mark(kArcMarker)) status = kListError;
    } else if (number == loop.end_number) {
        if (end_is_arc != 0) rewrite_arc(loop.crossing, end, nullptr, status);
        if (status >= 0 && !mark(kLastMarker)) status = kListError;
    } else {
        tp_list_delete(1, status);
    }
    if (status > 0) status = 0;
}

// Shows the new start block after the motion before the loop, then the end block; result names
// that motion (the procedure block when the loop starts the procedure).
void show_cut(blk_path& result, int& status)
{
    point3 point{}, direction{};
    int number = 0, break_flag = 0;
    tp_list_top_mark(kArcMarker, status);
    if (status >= 0) PRVPNT(0, point, direction, number, status);
    if (status < 0) return;
    int mode = kAfterBlock;
    if (status == 1) {
        result.words.fill(-1);
        result.words[0] = 1;
        result.words[1] = list_cursor().cursor_proc_blkno;
        mode = kProcedureStart;
    } else {
        result.set(list_cursor().cursor_proc_blkno, number);
    }
    // The tool path is the list: a display without the motion before the loop only misses the
    // two blocks, the cut stands.
    int shown = 0;
    ncd_set_block_position(kCurrentDisplayFile, mode, result.address(), shown);
    if (shown >= 0) DISPLB(kJustWritten, break_flag, shown);
    tp_list_top_mark(kLastMarker, status);
    if (status >= 0 && shown >= 0) DISPLB(kJustWritten, break_flag, shown);
    if (status > 0) status = 0;
}

}  // namespace

void trim_one_loop(const loop_record& loop, int start_is_arc, int end_is_arc, blk_path& result, int& deleted,
                   int& status)
{
    point3 before{}, end{}, direction{};
    int number = 0, type = 0, block_class = 0;
    PRVPNT(0, before, direction, number, status);
    status = loop.start_number == loop.end_number ? kListError : 0;
    // To the loop's start block, keeping the end point of each motion passed.
    while (status >= 0 && read_head(type, block_class, number, status) &&
           !(block_class == kClassMotion && number == loop.start_number)) {
        if (block_class == kClassMotion) NXTPOI(1, before, direction, number, status);
        if (status >= 0) step(status);
    }
    bool done = false;
    while (status >= 0 && !done && read_head(type, block_class, number, status)) {
        if (block_class != kClassMotion) {
            step(status);
            continue;
        }
        done = number == loop.end_number;
        const bool kept = number == loop.start_number || done;
        const ncd_address address = motion_address(number);
        ncd_delete_blocks(kCurrentDisplayFile, address, address, status);
        deleted = 1;
        if (status >= 0) NXTPOI(1, end, direction, number, status);
        if (status >= 0) cut_block(loop, start_is_arc, end_is_arc, before, end, status);
        if (status >= 0 && kept && !done) step(status);
    }
    if (status >= 0) show_cut(result, status);
    if (status < 0) status = kListError;
}

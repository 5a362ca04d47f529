// The connection taken back, the range's motions deleted and the feed blocks left dead around the
// gap (see the header).
#include "edit/editor/written_blocks.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_ncd_file.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <cstdlib>

namespace {

constexpr int kDeadFeedMarker = 21, kWalkMarker = 22;
constexpr int kMarkSet = 1;
constexpr int kFeedParameter = 1;

// The block at the list position: its class, number and, for a parameter block, its type.
struct block_at {
    int block_class = 0, number = 0, prmtyp = 0;
};
block_at read_block(int& status)
{
    block_at b;
    int size = 0, type = 0;
    tp_block_head_read(kWhereList, size, type, b.block_class, status);
    if (status < 0) return b;
    if (b.block_class == kClassParameter && type == 1) {
        tp_param_block param;
        tpread_param_plain(kWhereList, param, status);
        b.number = param.number;
        b.prmtyp = param.prmtyp;
    } else {
        tp_get_int(kWhereList, b.number, status);
    }
    return b;
}

bool set_mark(int marker)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    return answer >= 1;
}

// Back from the block before the list position to the motion before the gap: the list on the
// first block after it (or on the list's first block). False on a list failure.
bool to_gap_start(int connection_first, int lines, int& status)
{
    int moved = 0;
    tp_list_jump(-1, moved);
    if (moved < 0) return true;
    for (int round = 0; round <= lines; ++round) {
        const block_at b = read_block(status);
        if (status < 0) return false;
        if (b.block_class == kClassMotion && b.number < connection_first) {
            tp_list_jump(1, status);
            return status >= 0;
        }
        tp_list_jump(-1, moved);
        if (moved < 0) return true;
    }
    return true;
}

// Deletes the feed block under the dead-feed marker and comes back to the list position.
void delete_dead(int& status)
{
    if (!set_mark(kWalkMarker)) status = -1;
    if (status >= 0) tp_list_top_mark(kDeadFeedMarker, status);
    block_at b;
    if (status >= 0) b = read_block(status);
    if (status >= 0) tp_list_delete(1, status);
    if (status >= 0) {
        const int procedure = list_cursor().cursor_proc_blkno;
        int answer = 0;
        ncd_delete_blocks(kCurrentDisplayFile, {2, procedure, b.number}, {2, procedure, b.number}, answer);
        tp_list_top_mark(kWalkMarker, status);
    }
}

}  // namespace

void writer_state::restore() const
{
    DSP8() = position;
    LSP2() = writer;
    mch_slots() = slots;
    PRM9() = machine;
}

list_place list_place_here()
{
    list_place place;
    int answer = 0;
    ljump(0, answer);
    place.line = std::abs(answer);
    llines(place.lines);
    get_tp_blkno(place.next_number);
    return place;
}

void remove_written(int after, int count, int first_number, int procedure, int& status)
{
    int answer = 0;
    lacces(2, answer);
    if (after > 1) ljump(after - 1, answer);
    lacces(1, answer);
    if (answer >= 0) ldelet(count, answer);
    if (answer < 0) {
        status = answer;
        return;
    }
    int last_number = 0;
    get_tp_blkno(last_number);
    ncd_delete_blocks(kCurrentDisplayFile, {2, procedure, first_number}, {2, procedure, last_number - 1}, answer);
    status = 0;
}

bool delete_range_motions(int marker, int last_number, int& deleted, int& status)
{
    tp_list_top_mark(marker, status);
    if (status < 0) return false;
    int lines = 0;
    llines(lines);
    for (int round = 0; round <= lines; ++round) {
        int size = 0, type = 0, block_class = 0, number = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status >= 0) tp_get_int(kWhereList, number, status);
        if (status < 0) return false;
        if (block_class == kClassMotion) {
            tp_list_delete(1, status);
            if (status < 0) return false;
            deleted = 1;
        } else if (number != last_number) {
            tp_list_jump(1, status);
            if (status < 0) return false;
        }
        if (number == last_number) return true;
    }
    status = -1;
    return false;
}

void drop_dead_feeds(int connection_first, int& status)
{
    status = 0;
    int lines = 0;
    llines(lines);
    if (!to_gap_start(connection_first, lines, status)) return;
    bool pending = false;
    for (int round = 0; round <= lines; ++round) {
        const block_at b = read_block(status);
        if (status < 0) return;
        if (b.block_class == kClassMotion) {
            pending = false;
            if (b.number < connection_first) return;
        } else if (b.block_class == kClassParameter && b.prmtyp == kFeedParameter) {
            if (pending) delete_dead(status);
            if (status < 0 || !set_mark(kDeadFeedMarker)) return;
            pending = true;
        }
        int moved = 0;
        tp_list_jump(1, moved);
        if (moved < 0) return;
    }
}

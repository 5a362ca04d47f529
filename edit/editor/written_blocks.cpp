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

constexpr int kFeedMarker = 21, kWalkMarker = 22;
constexpr int kMarkSet = 1;
constexpr int kFeedParameter = 1;

// The block at the list position: its class and number, and whether it is a feed block (a
// parameter block of parameter type 1).
struct block_at {
    int block_class = 0, number = 0;
    bool feed = false;
};
block_at read_block(int& status)
{
    block_at b;
    int size = 0, type = 0;
    tp_block_head_read(kWhereList, size, type, b.block_class, status);
    if (status >= 0) tp_get_int(kWhereList, b.number, status);
    if (status >= 0 && b.block_class == kClassParameter && type == 1) {
        int prmtyp = 0;
        tp_get_int(kWhereList, prmtyp, status);
        b.feed = prmtyp == kFeedParameter;
    }
    return b;
}

bool set_mark(int marker)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    return answer >= 1;
}

// Deletes the block at the list position from the list and the display; the list on the next.
void delete_block(int number, int& status)
{
    tp_list_delete(1, status);
    if (status < 0) return;
    const int procedure = list_cursor().cursor_proc_blkno;
    int answer = 0;
    ncd_delete_blocks(kCurrentDisplayFile, {2, procedure, number}, {2, procedure, number}, answer);
}

// Feed blocks a walk meets side by side: the earlier of two gives way to the later, which is in
// force before any motion runs at the earlier one. Any other block between them parts them.
class feed_pairs {
public:
    // The block at the list position, met after the blocks before it; the list stays on it.
    void meet(const block_at& b, int& status)
    {
        if (!b.feed) {
            pending_ = false;
            return;
        }
        if (pending_) {
            if (!set_mark(kWalkMarker)) status = -1;
            if (status >= 0) tp_list_top_mark(kFeedMarker, status);
            if (status >= 0) delete_block(number_, status);
            if (status >= 0) tp_list_top_mark(kWalkMarker, status);
        }
        pending_ = status >= 0 && set_mark(kFeedMarker);
        number_ = b.number;
    }

private:
    bool pending_ = false;
    int number_ = 0;
};

// Back from the list position over the feed blocks right before it: the list on the first of
// them (or where it was), its feed blocks met in order. False on a list failure.
bool meet_feeds_before(feed_pairs& pairs, int lines, int& status)
{
    int steps = 0;
    for (int round = 0; round <= lines; ++round) {
        int moved = 0;
        tp_list_jump(-1, moved);
        if (moved < 0) break;
        ++steps;
        const block_at b = read_block(status);
        if (status < 0) return false;
        if (!b.feed) {
            tp_list_jump(1, status);
            --steps;
            break;
        }
    }
    for (; steps > 0 && status >= 0; --steps) {
        const block_at b = read_block(status);
        if (status >= 0) pairs.meet(b, status);
        if (status >= 0) tp_list_jump(1, status);
    }
    return status >= 0;
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
    feed_pairs pairs;
    if (!meet_feeds_before(pairs, lines, status)) return false;
    for (int round = 0; round <= lines; ++round) {
        const block_at b = read_block(status);
        if (status < 0) return false;
        if (b.block_class == kClassMotion) {
            tp_list_delete(1, status);
            if (status < 0) return false;
            deleted = 1;
        } else {
            pairs.meet(b, status);
            if (status >= 0 && b.number != last_number) tp_list_jump(1, status);
            if (status < 0) return false;
        }
        if (b.number != last_number) continue;
        // The feed blocks after the range come next to those of the range.
        for (int after = 0; after <= lines && b.block_class == kClassMotion; ++after) {
            int read = 0;
            const block_at next = read_block(read);
            if (read < 0 || !next.feed) break;
            pairs.meet(next, status);
            int moved = 0;
            if (status >= 0) tp_list_jump(1, moved);
            if (status < 0) return false;
            if (moved < 0) break;
        }
        return true;
    }
    status = -1;
    return false;
}

void drop_feed_before_feed(int marker, int& status)
{
    tp_list_top_mark(marker, status);
    if (status < 0) return;
    const block_at b = read_block(status);
    if (status < 0 || !b.feed) return;
    int moved = 0, read = 0;
    tp_list_jump(1, moved);
    const block_at next = moved >= 0 ? read_block(read) : block_at{};
    if (moved >= 0) tp_list_jump(-1, moved);
    if (read >= 0 && next.feed) delete_block(b.number, status);
}

// The block picking of the trimming tool (see the header). One cycle of the loop shows the count
// line and the prompt of the mode, takes one pick and acts on it; the records go to a host array
// that grows by 50 records at a time.
#include "edit/trim/pick_blocks.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/editor/region_range.hpp"
#include "edit/trim/pick_records.hpp"
#include "edit/trim/trim_arrays.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_pick_menus.hpp"
#include "host/vantu_proc_dialogs.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <vector>

namespace {

constexpr int kRoom = 50;
constexpr int kSingle = 1, kChain = 2, kVertical = 3;
constexpr int kPickEntity = 0, kPickExit = -1, kPickBack = -2, kPickMenu = -3;
constexpr int kMenuCancelled = -2, kMenuExit = -1;
constexpr int kYes = 1, kNo = 2;
constexpr int kLeftEmpty = -2, kListFailed = -3, kMemoryFailed = -1;
constexpr int kPickMarker = 13, kRangeFirst = 14, kRangeLast = 15;
constexpr int kSaveMarker = 1, kReturnMarker = 2;
constexpr int kModeField = 2, kModeWordChars = 9;
constexpr int kForward = 1, kBackward = -1;
constexpr int kBreakForward = 1, kBreakBackward = 2;
constexpr int kUnmoved = -2;
// A motion leaning from the Z axis by less than this many degrees is vertical.
constexpr float kVerticalDegrees = 2.0f;
constexpr const char* kModeWords[] = {" SINGLE  ", "  CHAIN  ", "VERTICAL "};
constexpr const char* kMemoryMessage = "pick_blocks(trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE";

// A host array of pick_entry records with the growth rule of the picking.
struct record_array {
    int handle = -1, capacity = 0, count = 0;

    bool open(int& status)
    {
        void* base = nullptr;
        MM_OPEN_ARRAY(sizeof(pick_entry), kRoom, handle, base, status);
        if (status < 0) {
            handle = -1;
            eroutc(kMemoryMessage, 0);
            status = kMemoryFailed;
            return false;
        }
        status = 0;
        capacity = kRoom;
        return true;
    }
    pick_entry* at() const { return static_cast<pick_entry*>(mmcptr(handle)); }
    int find(int block) const { return chain_rec_find(at(), 0, count, block); }
    // Room for n more records: when they do not fit, the capacity becomes count + 50 (+ n when
    // several come at once).
    bool reserve(int n, int& status)
    {
        if (count + n <= capacity) return true;
        const int wanted = count + kRoom + (n > 1 ? n : 0);
        if (!resize_array(wanted - capacity, handle, status)) {
            eroutc(kMemoryMessage, 0);
            status = kMemoryFailed;
            return false;
        }
        capacity = wanted;
        return true;
    }
    bool append(const pick_entry& e, int& status)
    {
        if (!reserve(1, status)) return false;
        at()[count++] = e;
        return true;
    }
    void close()
    {
        int status = 0;
        if (handle >= 0) MM_CLOSE(handle, status);
        handle = -1;
        count = capacity = 0;
    }
};

ncd_address address_of(int block) { return {2, list_cursor().cursor_proc_blkno, block}; }

void highlight(int first, int last, int on)
{
    ncd_set_blocks_attention(kCurrentDisplayFile, address_of(first), address_of(last), on);
}

bool list_failed(int& status)
{
    status = kListFailed;
    return false;
}

bool mark(int mode, int marker, int& status)
{
    int answer = 0;
    lmark(mode, marker, answer);
    return answer >= 1 || list_failed(status);
}

// The picked block's record; false for a pick outside the current procedure, of the procedure
// block, or of a block without neighbours in the display.
bool picked_record(pick_entry& e)
{
    const int procedure = list_cursor().cursor_proc_blkno;
    ncd_address path, before, after;
    int status = 0, before_status = 0, after_status = 0;
    slpopb();
    ncd_get_picked(path, status);
    ncd_get_n_from_picked(-1, before, before_status);
    ncd_get_n_from_picked(1, after, after_status);
    if (status < 0 || before_status < 0 || after_status < 0) return false;
    if (path.level < 2 || path.block1 != procedure || before.level < 2 || after.level < 2) return false;
    e = {path.block2, before.block1 == procedure ? before.block2 : 0, after.block1 == procedure ? after.block2 : 0, 0};
    return true;
}

// ---- walking the list ------------------------------------------------------------------------

// What the walks of VERTICAL need of a block.
struct walked {
    int number = 0;
    bool vertical = false;  // a vertical motion (other blocks are not)
    int z_direction = 0;    // +1 up, -1 down
};

bool read_number(int& number, int& block_class, int& status)
{
    int size = 0, type = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status >= 0) tp_get_int(kWhereList, number, status);
    return status >= 0 || list_failed(status);
}

// Reads the block at the list position; a point string is broken first (the list then stands on
// its first or last line by the walking direction).
bool read_walked(int direction, walked& b, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status < 0) return list_failed(status);
    if (block_class == kClassMotion && (type == 7 || type == 27 || type == 227)) {
        BRKSTR(direction == kForward ? kBreakForward : kBreakBackward, status);
        if (status < 0) return list_failed(status);
    }
    if (!read_number(b.number, block_class, status)) return false;
    b.vertical = false;
    if (block_class != kClassMotion) return true;
    point3 end{}, start{}, unused{};
    int number = 0;
    NXTPOI(1, end, unused, number, status);
    if (status >= 0) PRVPNT(0, start, unused, number, status);
    if (status < 0) return list_failed(status);
    status = 0;
    b.vertical = seg_is_vertical(end, start, kVerticalDegrees) != 0;
    b.z_direction = end[2] > start[2] ? 1 : -1;
    return true;
}

// One block on in the direction; false at the end of the list (status kept) or on a failure.
bool step(int direction, int& status)
{
    int moved = 0;
    tp_list_jump(direction, moved);
    if (moved == kUnmoved) return false;
    return moved >= 0 || list_failed(status);
}

// The number of the block n places from the list position, 0 when there is none.
int neighbour(int n, int& status)
{
    int moved = 0, number = 0, block_class = 0;
    tp_list_jump(n, moved);
    if (moved == kUnmoved) return 0;
    read_number(number, block_class, status);
    tp_list_jump(-n, moved);
    return number;
}

// The record of the block at the list position, its neighbours from the list.
pick_entry walked_record(int number, int& status)
{
    return {number, neighbour(kBackward, status), neighbour(kForward, status), 0};
}

// ---- CHAIN -------------------------------------------------------------------------------------

// Completes a chain whose two picked blocks are the last two records: the blocks between them
// are appended in list order, the earlier one's record first.
bool complete_chain(record_array& records, int& status)
{
    pick_entry* r = records.at();
    block_ref a{2, list_cursor().cursor_proc_blkno, r[records.count - 2].block};
    block_ref b{2, a.list, r[records.count - 1].block};
    int layer = 0, no_previous = 0;
    point3 point{}, direction{};
    FNDRNG(kRangeFirst, kRangeLast, a, b, 0, layer, no_previous, point, direction, status);
    if (status < 0) return list_failed(status);
    if (a.number != r[records.count - 2].block) chain_rec_swap(r[records.count - 2], r[records.count - 1]);
    const int after = r[records.count - 1].after, existing = --records.count;
    if (!mark(kReturnMarker, kRangeFirst, status)) return false;
    int lines = 0;
    llines(lines);
    for (int round = 0; round <= lines; ++round) {
        walked block;
        if (!read_walked(kForward, block, status)) return false;
        if (block.number != a.number) {
            const int duplicate = chain_rec_find(records.at(), 0, existing, block.number) >= 0 ? 1 : 0;
            const int before = records.at()[records.count - 1].block;
            records.at()[records.count - 1].after = block.number;
            if (!records.append({block.number, before, 0, duplicate}, status)) return false;
        }
        if (block.number == b.number) break;
        if (!step(kForward, status)) return status >= 0;
    }
    records.at()[records.count - 1].after = after;
    highlight(a.number, b.number, 1);
    return true;
}

// ---- VERTICAL ----------------------------------------------------------------------------------

// The picked motion and what the walks found.
struct vertical_pick {
    walked picked;
    int appended = 0;         // 1 when this pick added the picked block's record
    int first = 0, last = 0;  // the ends of the run in list order
};

// Collects blocks walking from the picked one while `take` says so; stops before the first it
// refuses (the list then stands on it) or at the end of the list. Appends to `into` the blocks not
// chosen yet. The block reached last goes to `end`.
template <class Take>
bool collect(int direction, const record_array& chosen, record_array& into, Take take, int& end, int& status)
{
    int lines = 0;
    llines(lines);
    for (int round = 0; round <= lines && step(direction, status); ++round) {
        walked block;
        if (!read_walked(direction, block, status)) return false;
        if (!take(block)) {
            int back = 0;
            tp_list_jump(-direction, back);
            return back >= 0 || back == kUnmoved || list_failed(status);
        }
        end = block.number;
        if (chosen.find(block.number) < 0 && into.find(block.number) < 0 &&
            !into.append(walked_record(block.number, status), status))
            return false;
    }
    return status >= 0;
}

// A picked motion that is not vertical: the run of non-vertical motions around it with the vertical
// motions bounding it, appended at once.
bool take_run(record_array& records, vertical_pick& v, int& status)
{
    int end = v.picked.number;
    for (int direction : {kBackward, kForward}) {
        if (!mark(kReturnMarker, kPickMarker, status)) return false;
        bool met_vertical = false;
        auto up_to_vertical = [&](const walked& b) {
            if (met_vertical) return false;
            met_vertical = b.vertical;
            return true;
        };
        auto verticals = [](const walked& b) { return b.vertical; };
        if (!collect(direction, records, records, up_to_vertical, end, status)) return false;
        if (met_vertical && !collect(direction, records, records, verticals, end, status)) return false;
        (direction == kBackward ? v.first : v.last) = end;
        end = v.picked.number;
    }
    highlight(v.first, v.last, 1);
    return true;
}

// One proposal of the run on the side `side` names (0 forward first, 1 backward first).
bool propose(const record_array& records, record_array& proposal, vertical_pick& v, int side, int& status)
{
    proposal.count = 0;
    const int first_way = side == 0 ? kForward : kBackward, other_way = -first_way;
    const int z = v.picked.z_direction;
    int near_end = v.picked.number, far_end = v.picked.number;
    auto same_vertical = [z](const walked& b) { return b.vertical && b.z_direction == z; };
    bool met_other = false;
    auto to_next_vertical = [&](const walked& b) {
        if (!b.vertical) met_other = true;
        return b.vertical ? b.z_direction == z && !met_other : true;
    };
    auto verticals = [](const walked& b) { return b.vertical; };
    if (!mark(kReturnMarker, kPickMarker, status) ||
        !collect(first_way, records, proposal, same_vertical, near_end, status))
        return false;
    if (!mark(kReturnMarker, kPickMarker, status) ||
        !collect(other_way, records, proposal, to_next_vertical, far_end, status) ||
        !collect(other_way, records, proposal, verticals, far_end, status))
        return false;
    v.first = first_way == kBackward ? near_end : far_end;
    v.last = first_way == kBackward ? far_end : near_end;
    return true;
}

// A vertical picked motion: the run is proposed on one side, then the other, until YES or EXIT.
bool confirm_run(record_array& records, vertical_pick& v, int& status)
{
    record_array proposal;
    if (!proposal.open(status)) return false;
    bool done = false, ok = true;
    for (int side = 0; !done; side = 1 - side) {
        ok = propose(records, proposal, v, side, status);
        if (!ok) break;
        highlight(v.first, v.last, 1);
        prmptc("THIS CHAIN ?");
        int choice = 0;
        menuc("YES  @NO   @EXIT ", choice);
        if (choice == kNo) {
            highlight(v.first, v.last, 0);
            continue;
        }
        done = true;
        if (choice == kYes) {
            ok = records.reserve(proposal.count, status);
            for (int i = 0; ok && i < proposal.count; ++i) records.at()[records.count++] = proposal.at()[i];
        } else {
            highlight(v.first, v.last, 0);
            if (v.appended != 0) --records.count;
        }
    }
    proposal.close();
    return ok;
}

bool pick_vertical(record_array& records, const pick_entry& picked, int& status)
{
    block_ref a{2, list_cursor().cursor_proc_blkno, picked.block}, b = a;
    int layer = 0, no_previous = 0;
    point3 point{}, direction{};
    FNDRNG(kRangeFirst, kRangeLast, a, b, 0, layer, no_previous, point, direction, status);
    if (status < 0) return list_failed(status);
    vertical_pick v;
    if (!read_walked(kForward, v.picked, status) || !mark(kSaveMarker, kPickMarker, status)) return false;
    if (records.find(picked.block) < 0) {
        if (!records.append(picked, status)) return false;
        v.appended = 1;
        highlight(picked.block, picked.block, 1);
    }
    return v.picked.vertical ? confirm_run(records, v, status) : take_run(records, v, status);
}

// ---- the loop ----------------------------------------------------------------------------------

struct picking {
    record_array records;
    int mode = kSingle;
    bool expect_first = true;
};

// The mode menu; false when the user leaves picking from it.
bool choose_mode(picking& p)
{
    statbl(kModeField);
    int choice = 0;
    pdmenc("SINGLE@CHAIN@VERTICAL", choice);
    if (choice == kMenuExit || (choice == kMenuCancelled && p.records.count == 0)) return false;
    if (choice >= kSingle && choice <= kVertical) {
        p.mode = choice;
        if (p.mode == kChain) p.expect_first = true;
    }
    statmc(kModeField, kModeWords[p.mode - 1], kModeWordChars);
    return true;
}

void back_up(picking& p)
{
    const pick_entry& last = p.records.at()[--p.records.count];
    highlight(last.block, last.block, 0);
    if (p.mode == kChain && !p.expect_first) p.expect_first = true;
}

bool take_pick(picking& p, int& status)
{
    pick_entry e;
    if (!picked_record(e)) return true;
    if (p.mode == kVertical) return pick_vertical(p.records, e, status);
    if (p.records.find(e.block) >= 0) return true;
    if (!p.records.append(e, status)) return false;
    highlight(e.block, e.block, 1);
    if (p.mode == kSingle) return true;
    p.expect_first = !p.expect_first;
    return p.expect_first ? complete_chain(p.records, status) : true;
}

const char* prompt_of(const picking& p)
{
    if (p.mode != kChain) return "PICK BLOCK/EXIT";
    return p.expect_first ? "PICK 1ST BLOCK/EXIT" : "PICK 2ND BLOCK";
}

}  // namespace

void pick_blocks(int& count, int& handle, int& status)
{
    status = 0;
    handle = -1;
    picking p;
    if (!p.records.open(status)) return;
    int started = 0;
    modint(0, 32, 1, 1, started);
    for (bool picking_on = true; picking_on && status >= 0;) {
        modinz();
        show_block_count(p.records.count);
        prmptc(prompt_of(p));
        int result = 0, entity = 0;
        setir();
        enatpo();
        setatn(0);
        pick(result, entity);
        setatn(1);
        if (result == kPickMenu || (result == kPickBack && p.records.count == 0))
            picking_on = choose_mode(p);
        else if (result == kPickBack)
            back_up(p);
        else if (result == kPickEntity)
            take_pick(p, status);
        else
            picking_on = false;
    }
    statbl(kModeField);
    count = p.records.count;
    handle = p.records.handle;
    if (status >= 0) status = count == 0 ? kLeftEmpty : 0;
}

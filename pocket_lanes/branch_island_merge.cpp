// lancom: each branch's lane of the pass against every island's current lane. Lanes that cross
// are replaced by their common loops; an island inside a branch lane is taken in by the branch;
// a branch lane inside an island ends. The pair memory of the lane table remembers which island
// and lane were combined, and what status the island takes when the call ends.
#include "pocket_lanes/lane_merge.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/hole_ring.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/level_lanes.hpp"
#include "pocket_lanes/loop_clearance.hpp"
#include "pocket_lanes/loop_relation.hpp"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

constexpr int kPairsGrow = 1;
constexpr int kMarkNone = 0, kMarkTakenIn = 1, kMarkEnded = 2;

// The marks of the lanes one call sets, grown as lanes are marked: a call marks few lanes, and
// clearing a mark for every row of the table cost more than the merges of a small pocket.
class lane_marks {
public:
    int operator[](int n) const
    {
        return n >= 0 && static_cast<std::size_t>(n) < marks_.size() ? marks_[static_cast<std::size_t>(n)] : kMarkNone;
    }
    // The highest lane that may hold a mark: no lane above it was ever marked.
    int highest() const { return static_cast<int>(marks_.size()) - 1; }
    void set(int n, int mark)
    {
        if (n < 0) return;
        if (static_cast<std::size_t>(n) >= marks_.size()) marks_.resize(static_cast<std::size_t>(n) + 1, kMarkNone);
        marks_[static_cast<std::size_t>(n)] = static_cast<signed char>(mark);
    }

private:
    std::vector<signed char> marks_;
};
constexpr int kSideIsland = -1;
constexpr int kLeftOver = -2;
constexpr int kLastBranch = 9999;
// An island whose box keeps this many working tolerances (at least kClearFloor) from every element
// of the branch lane has no crossing with it: far beyond the crossing search's own tolerances.
constexpr double kClearFactor = 10.0;
constexpr double kClearFloor = 0.01;

// One record of the pair memory.
struct pair_record {
    int island;
    int lane;
    int result;
};
static_assert(sizeof(pair_record) == 12, "the pair memory holds 12-byte records");

// The pair memory of one call: its records live in the lane table's host array; the pairs it
// holds are also kept in a set, asked once per branch lane and island.
struct pair_memory {
    int count = 0;
    std::unordered_set<std::int64_t> pairs;
    static std::int64_t key(int island, int lane)
    {
        return (static_cast<std::int64_t>(island) << 32) | static_cast<std::uint32_t>(lane);
    }
    pair_record* records() const { return static_cast<pair_record*>(mmcptr(lane_table_block.pair_handle)); }
    bool holds(int island, int lane) const { return pairs.count(key(island, lane)) != 0; }
    bool add(int island, int lane, int result)
    {
        pairs.insert(key(island, lane));
        if (count >= lane_table_block.pair_capacity) {
            int status = 0;
            lancom_pairs(kPairsGrow, status);
            if (status != 0) return false;
        }
        pair_record* r = records();
        if (r == nullptr) return false;
        r[count++] = {island, lane, result};
        return true;
    }
};

// Whether a lane before n on n's level has a negative status.
bool earlier_negative(int n)
{
    const lane_table& lt = lane_table_block;
    for (int k = 1; k < n; ++k)
        if (lt.level[k] == lt.level[n] && lt.status[k] < 0) return true;
    return false;
}

// The distance of two lanes' loops: the positive one, the smaller of two positive ones.
double pair_distance(double a, double b)
{
    if (a <= 0.0) return b;
    if (b <= 0.0) return a;
    return std::min(a, b);
}

struct lancom_call {
    lancom_call(int pass_in, int stage_in, int touch_in, int& branches, int& island_count, int& status_out)
        : pass(pass_in), stage(stage_in), touch(touch_in), branch_count(branches), islands(island_count),
          status(status_out), current(stage_in, kLevelIsland + 1, kLevelIsland + pocket_box_block.island_count),
          branch_lanes(pass_in, 1, branches)
    {
        // From pass 2 on a merge changes no branch lane's level, and no older lane takes the pass's
        // status: the branches' lanes of this pass are found in one scan of the table.
        if (pass >= 2) branch_lanes.know_all();
    }
    int pass, stage, touch;
    int& branch_count;
    int& islands;
    int& status;
    pair_memory pairs;
    current_level_lanes current;
    current_level_lanes branch_lanes;
    lane_marks marks;
    int merges = 0;
    // Pass 1 ended the last live lane of the table inside an island: no branch is left, however
    // many the branch count names (a hole of merged island offsets opens a branch of its own, and
    // later merges that take the hole away again leave the count as it was).
    bool last_lane_ended = false;
    // Pass 1 closed the branch of the lane in hand: no other live lane was left beside it.
    bool branch_closed = false;
    bool again = false;    // the branch lane was replaced: the branch is taken up again
    bool end_now = false;  // ends without the end step
    bool to_end = false;   // goes to the end step

    // Goes to the end step with the status; answers false (no further island of the branch).
    bool stop(int with_status)
    {
        status = with_status;
        to_end = true;
        return false;
    }
};

// A branch lane ended by an island: status 0, or -2 when it was a second offset or later.
void end_branch_lane(int lane)
{
    int& s = lane_table_block.status[lane];
    s = s >= 2 ? kLeftOver : 0;
}

// J is taken in by L's branch b.
void take_in(lancom_call& c, int& b, int lane_l, int lane_j, int parent_p)
{
    lane_table& lt = lane_table_block;
    int others = 0;
    if (c.pass == 1) {
        for (int n = pocket_box_block.island_count + 1; n <= lt.count; ++n)
            if (n != lane_j && n != lane_l && lane_live(n)) ++others;
        if (lt.level[lane_l] == 1) {
            for (int n = pocket_box_block.island_count + 1; n <= lt.count; ++n) {
                if (n == lane_j || n == lane_l || !lane_live(n) || lt.level[n] < 2 || lt.level[n] > kLastBranch)
                    continue;
                if (--lt.level[n] == b) --b;
            }
        }
    } else {
        for (int n = 1; n < lane_j; ++n)
            if (lane_live(n) && lt.parent[n] == lane_j) lt.parent[n] = parent_p;
    }
    const int jp = lt.parent[lane_j];
    if (lane_valid(jp)) lt.parent[jp] = parent_p;
    c.marks.set(lane_j, kMarkTakenIn);
    if (c.pass == 1 && others == 0) {
        lane_add_empty(c.pass, lt.level[lane_l], lane_l, c.status);
        if (c.status != 0) {
            c.end_now = true;
            return;
        }
        c.branch_closed = true;
        // Only the first island offsets' merges count their branches' ends (c.merges).
        if (c.stage == 1) c.last_lane_ended = true;
    } else {
        lt.status[lane_l] = -lt.status[lane_l];
        if (lt.parent[lane_l] == 1)
            lt.parent[lane_l] = -1;
        else
            c.marks.set(lane_l, kMarkEnded);
    }
    if (c.pass == 1 && c.stage == 1) ++c.merges;
}

// Lanes first_new .. last replace L: the islands L was combined with are combined with them too,
// with the same results. False (the call stops) when the pair memory cannot grow.
bool pass_pairs_on(lancom_call& c, int lane_l, int first_new, int last)
{
    const int before = c.pairs.count;
    for (int i = 0; i < before; ++i) {
        const pair_record r = c.pairs.records()[i];
        if (r.lane != lane_l) continue;
        for (int k = first_new; k <= last; ++k)
            if (!c.pairs.add(r.island, k, r.result)) return c.stop(kEngineArrayFailed);
    }
    return true;
}

// The common loops of L and J became lanes first_new .. count. Answers true (the branch
// is taken up again) unless the pair memory cannot grow.
bool record_merge(lancom_call& c, int lane_l, int lane_j, int level_i, int first_new)
{
    lane_table& lt = lane_table_block;
    const int last = lt.count;
    if (lt.group[lane_l] != 0)
        for (int k = first_new; k <= last; ++k) lt.group[k] = lt.group[lane_l];
    lt.status[lane_l] = 0;
    if (!pass_pairs_on(c, lane_l, first_new, last)) return false;
    for (int k = first_new; k <= last; ++k)
        if (!c.pairs.add(lane_j, k, 0)) return c.stop(kEngineArrayFailed);
    if (c.stage != 2) return true;
    if (taken_second_offset_status(lane_j) == kLeftOver) {
        pair_record* r = c.pairs.records();
        for (int i = 0; i < c.pairs.count; ++i)
            if (r[i].island == lane_j) r[i].result = kLeftOver;
    }
    hang_first_offsets(lane_j, level_i, first_new);
    return true;
}

// A branch lane with a group meets J; answers whether L ends without taking J in.
// L is a hole left between the merged first offsets of its group's islands; the group's own
// merged lane (its parent is the group) is the ring round that hole, which lies inside it
// without covering it, even after later merges of the ring have left no link to L.
bool grouped_lane_stays(lancom_call& c, int lane_l, const pokarr& loop_l, int lane_j, bool linked)
{
    const lane_table& lt = lane_table_block;
    if (!(lt.status[lane_j] == 1 && !linked) || lt.parent[lane_j] == lt.group[lane_l]) return false;
    // The group names the ring's parent only until merges of the ring give it another: the ring
    // is known by its links too. A hole that an island reaches into stays out of this rule: the
    // ring's later merges did not cut it back. It is cut back here where it can be, and the part
    // left meets the islands again; otherwise it ends.
    if (lane_is_ring_of_hole(lane_j, lane_l)) {
        int status = 0;
        const bool meets = hole_meets_island(lane_l, status);
        if (status != 0) return c.stop(status);
        if (!meets) return false;
        c.again = cut_hole_back(lane_l, status);
        if (status != 0) return c.stop(status);
        if (c.again) {
            // The part left (the newest lane) takes over what L was combined with.
            pass_pairs_on(c, lane_l, lane_table_block.count, lane_table_block.count);
            return false;
        }
    }
    // J's parent is the island's own contour when J is the island's first offset: a lane inside
    // that contour lies in the island itself, not in the hole of a ring, and ends as one outside.
    if (contour_lane(lt.parent[lane_j])) return true;
    pokarr_work m(lane_array_dimension());
    int status = 0;
    lane_to_pokarr(lt.parent[lane_j], m.a, status);
    if (status != 0) return c.stop(kEngineArrayFailed);
    int relation = 0;
    pokarr_relation(m.a, loop_l, kSideIsland, lt.offset[lane_l], relation, status);
    if (status != 0) return c.stop(status);
    return relation != kRelationInside;
}

// J (second offset of another island) lies inside K, the lane L's piece belongs to.
bool inside_group_parent(lancom_call& c, int lane_l, int parent_p, int lane_j, const pokarr& loop_j)
{
    const lane_table& lt = lane_table_block;
    const int k = lane_valid(parent_p) && lt.group[parent_p] != 0 ? parent_p : lt.group[lane_l];
    if (!lane_valid(k)) return false;
    pokarr_work kloop(lane_array_dimension());
    int status = 0;
    lane_to_pokarr(k, kloop.a, status);
    if (status != 0) return c.stop(kEngineArrayFailed);
    int relation = 0;
    pokarr_relation(kloop.a, loop_j, kSideIsland, pair_distance(lt.offset[k], lt.offset[lane_j]), relation, status);
    if (status != 0) return c.stop(status);
    return relation == kRelationInside;
}

// L meets J: J is taken in, or L ends, or nothing happens. l_inside_j: L lies inside J's loop.
void lane_meets_island(lancom_call& c, int& b, int lane_l, pokarr& loop_l, int parent_p, int lane_j,
                       const pokarr& loop_j, bool l_inside_j)
{
    const lane_table& lt = lane_table_block;
    c.status = 0;
    const bool linked = lanes_share_link(lane_l, lane_j, false);
    if (lt.group[lane_l] == 0) return take_in(c, b, lane_l, lane_j, parent_p);
    // A hole lane inside J lies in the ring J bounds (J's loop holds the hole, not the hole J):
    // taking J in would close the ring's chain for every branch beside it, whose lanes would then
    // run through the ring's islands.
    if (lt.status[lane_j] == 2 && lt.parent[lane_j] != lt.group[lane_l] && !linked && !l_inside_j) {
        const bool inside = inside_group_parent(c, lane_l, parent_p, lane_j, loop_j);
        if (c.to_end) return;
        if (inside) return take_in(c, b, lane_l, lane_j, parent_p);
    }
    if (grouped_lane_stays(c, lane_l, loop_l, lane_j, linked)) end_branch_lane(lane_l);
}

// Branch b against the islands; answers true when the branch is to be taken up again.
bool branch_against_islands(lancom_call& c, int& b)
{
    lane_table& lt = lane_table_block;
    pokarr_work loop_l(lane_array_dimension()), loop_j(lane_array_dimension());
    int lane_l = 0;
    if (c.pass >= 2) {
        lane_l = c.branch_lanes.lane(b);
        if (lane_l != 0) lane_to_pokarr(lane_l, loop_l.a, c.status);
    } else {
        // Pass 1 moves lanes from one branch to another (step 6): each look scans the table.
        lane_find(0, 0, b, c.pass, lane_l, loop_l.a, c.status);
    }
    if (c.status != 0) {
        c.status = kEngineArrayFailed;
        c.end_now = true;
        return false;
    }
    // A collapse lane meets no island and is offset no further: there is nothing to merge.
    if (lane_l == 0 || lt.contour_type[lane_l] == kContourCollapse) return false;
    const int parent_p = lt.parent[lane_l];
    // The lane meets every island of the loop below: its elements are boxed once for all.
    const loop_clearance lane_elements(loop_l.a);
    const pocket_work& pw = pocket_work_block;
    const double clear_margin = std::max(kClearFloor, kClearFactor * std::max(pw.tolerance, pw.working_tolerance));
    const bool planar = pocket_state_block.pocket_dimension == 2;
    for (int level = kLevelIsland + 1; level <= kLevelIsland + pocket_box_block.island_count; ++level) {
        const int lane_j = c.current.lane(level);
        if (lane_j == 0 || c.pairs.holds(lane_j, lane_l)) continue;
        // Lanes keep their boxes: an island lane whose cached box lies apart is not read.
        if (lane_boxes_known_apart(lane_l, loop_l.a, lane_j)) continue;
        lane_to_pokarr(lane_j, loop_j.a, c.status);
        if (c.status != 0) {
            c.status = kEngineArrayFailed;
            c.end_now = true;
            return false;
        }
        int box_status = 0;
        if (lane_boxes_apart(lane_l, loop_l.a, lane_j, loop_j.a, box_status)) continue;
        if (box_status != 0) return c.stop(box_status);
        const double d = pair_distance(lt.offset[lane_j], lt.offset[lane_l]);
        if (pocket_work_block.reversed_islands != 0) pokarr_reverse(loop_j.a);
        const int first_new = lt.count + 1;
        int largest_index = 0, largest_lanes = 0, result = kComlupNone;
        // An island clear of the lane has no crossing, so no common loops: the search is skipped
        // (the common loops then change nothing and answer none).
        // Against an island's second offset the parts of its region beyond the lane are kept: the
        // merge may take away a lane the island's first lane needs beside it.
        const bool second_offset = c.stage == 2 && lt.status[lane_j] == 2 && planar;
        if (!(planar && loop_l.a.dimension == loop_j.a.dimension &&
              lane_elements.keeps_clear(loop_j.a, clear_margin))) {
            loop_buffer_clear(dropped_loops_block.loops);
            dropped_loops_block.keep = second_offset;
            comlup_pokarr(0, loop_l.a, loop_j.a, parent_p, d, c.pass, lane_l, lane_j, 0, c.touch, c.branch_count,
                          largest_index, largest_lanes, result);
            dropped_loops_block.keep = false;
        }
        if (result == kEngineTableFull || result == kEngineArrayFailed || result == kEngineWorkTables || result < 0)
            return c.stop(result);
        if (result == kComlupRecorded) {
            if (!record_merge(c, lane_l, lane_j, level, first_new)) return false;
            if (second_offset)
                keep_island_gap_lanes(lane_l, lane_j, parent_p, first_new, c.pass, c.branch_count, c.status);
            loop_buffer_clear(dropped_loops_block.loops);
            return c.status == 0 || c.stop(c.status);
        }
        loop_buffer_clear(dropped_loops_block.loops);
        if (result == kComlupNothingCollected) {
            const int was = lt.status[lane_l];
            lt.status[lane_l] = was >= 2 && !lane_earlier_on_level(lane_l, kLeftOver) ? kLeftOver : 0;
            const int jp = lt.parent[lane_j];
            if (lane_valid(jp)) lt.parent[jp] = parent_p;
            c.status = 0;
            c.marks.set(lane_j, kMarkTakenIn);
            if (c.pass == 1 && c.stage == 1) ++c.merges;
            continue;
        }
        bool meets = result == kComlupClosedNoneKept;
        int relation = kRelationOutside;
        if (result == kComlupNone) {
            int relation_status = 0;
            pokarr_relation(loop_j.a, loop_l.a, kSideIsland, d, relation, relation_status);
            // An undecidable relation ends the branches; the islands met so far still settle.
            if (relation_status != 0) return c.stop(0);
            meets = relation == kRelationInside || relation == kRelationUndecided;
        }
        if (!meets) continue;
        lane_meets_island(c, b, lane_l, loop_l.a, parent_p, lane_j, loop_j.a, relation == kRelationInside);
        if (c.end_now || c.to_end) return false;
        if (std::exchange(c.again, false)) return true;
        if (second_offset && c.pass >= 2 && relation == kRelationInside && c.marks[lane_j] == kMarkTakenIn) {
            keep_island_corner_lanes(lane_l, lane_j, parent_p, c.pass, c.branch_count, c.status);
            if (c.status != 0) return c.stop(c.status);
        }
        // A lane ended inside an island meets no further island: its common loops with one would
        // bring parts of it back as lanes inside the island that ended it.
        if (std::exchange(c.branch_closed, false) || !lane_live(lane_l)) return false;
    }
    return false;
}

// The islands take their results, the islands taken in and the branch lanes they ended
// are settled, and a pass-1 pocket whose every branch ended inside an island gives 14: the last
// lane ended keeps its status beside its closing lane, and only this status stops the passes
// from offsetting it again through the islands.
void end_step(lancom_call& c)
{
    lane_table& lt = lane_table_block;
    const pair_record* r = c.pairs.records();
    for (int i = 0; i < c.pairs.count && r != nullptr; ++i) {
        const int j = r[i].island;
        if (!lane_valid(j)) continue;
        if (lane_live(j)) --c.islands;
        lt.status[j] = r[i].result;
    }
    if (c.merges < c.branch_count && !c.last_lane_ended) {
        // Only marked lanes are settled: the walks end at the highest lane that may hold a mark.
        const int marked = std::min(lt.count, c.marks.highest());
        for (int n = 1; n <= marked; ++n) {
            if (c.marks[n] != kMarkTakenIn || !lane_live(n)) continue;
            lt.status[n] = earlier_negative(n) ? 0 : -lt.status[n];
            c.marks.set(n, kMarkNone);
            --c.islands;
        }
        for (int n = 1; n <= marked; ++n) {
            const int p = lt.parent[n];
            if (c.marks[n] != kMarkEnded || lt.status[n] >= 0 || !lane_valid(p) || lt.level[p] == lt.level[n]) continue;
            for (int k = 1; k <= lt.count; ++k) {
                if (k != n && lane_live(k) && lt.parent[k] == p && c.marks[k] != kMarkEnded) {
                    lt.status[n] = 0;
                    break;
                }
            }
        }
    } else {
        c.status = kEngineOuterInIsland;
    }
}

}  // namespace

int taken_second_offset_status(int lane_j) { return lane_earlier_on_level(lane_j, kLeftOver) ? 0 : kLeftOver; }

bool first_offset_under(int n, int lane_j, int level)
{
    const lane_table& lt = lane_table_block;
    return lt.status[n] == 1 && (lt.level[n] == level || lt.parent[n] == lane_j);
}

int hang_first_offsets(int lane_j, int level, int under)
{
    lane_table& lt = lane_table_block;
    int hung = 0;
    for (int n = 1; n <= lt.count; ++n) {
        if (!first_offset_under(n, lane_j, level)) continue;
        if (lt.level[n] == level) lt.parent[lane_j] = n;
        lt.parent[n] = under;
        ++hung;
    }
    return hung;
}

void lancom(int pass, int island_stage, int& branch_count, int& island_count, int touch_switch, int& status)
{
    status = 0;
    lancom_call c(pass, island_stage, touch_switch, branch_count, island_count, status);
    if (branch_count >= 1 && island_count != 0) {
        // Nothing the call does before its end step changes an island lane's level or status (it
        // only appends lanes, which the lookup takes in): the islands' current lanes are found in
        // one scan of the table instead of one scan per island level.
        c.current.know_all_newest();
        for (int b = 1; b <= branch_count; ++b) {
            // A merge takes the branch up again with its newest lane; the lane table bounds it.
            while (branch_against_islands(c, b)) {}
            if (c.end_now) return;
            if (c.to_end) break;
        }
    }
    end_step(c);
}

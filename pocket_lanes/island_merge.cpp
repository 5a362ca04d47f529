// ilscom: the islands' lanes of a stage against each other, in sweeps over pairs of island
// levels. Two lanes that cross become their common loops; the new lanes with a group (the holes
// of the merge) then try the later islands and are merged again, the holes the merged lanes held
// before try the lane that joined them, and after them the other new lanes take in the islands
// they hold, unless a branch lane keeps them apart. The work array remembers per new lane the next
// island level to try.
#include "pocket_lanes/lane_merge.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/hole_ring.hpp"
#include "pocket_lanes/island_touch.hpp"
#include "pocket_lanes/level_lanes.hpp"
#include "pocket_lanes/loop_relation.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int kLeftOver = -2;
constexpr int kStageTwo = 2;
constexpr int kKindContourIslands = 1, kKindOtherIslands = 2;
constexpr int kGrowthSlack = 100;
// The crossing test: stop at the first crossing, with the marks of touching points.
constexpr int kCrossingTest = kLuplupFirstOnly + 2;
// Lanes of a pocket on the surface lie on each other where one runs within the tolerance of the
// other over more than this share of the engine's step; the one is pushed twice the tolerance
// into the other to merge them.
constexpr double kLyingStepShare = 0.1;
constexpr double kPushShare = 2.0;
constexpr int kPlanar = 2;

// The host array of next island levels, one per lane number.
class next_levels {
public:
    next_levels() = default;
    next_levels(const next_levels&) = delete;
    next_levels& operator=(const next_levels&) = delete;
    ~next_levels()
    {
        int ignored = 0;
        close(ignored);
    }
    void open(int count, int& status)
    {
        void* base = nullptr;
        MM_OPEN_ARRAY(sizeof(int), std::max(1, count), handle_, base, status);
        if (status == 0)
            capacity_ = std::max(1, count);
        else
            handle_ = -1;
    }
    // Room for lane numbers up to the lane count; grows by what the merge added and a slack.
    bool fit(int first_new, int& status)
    {
        const int needed = lane_table_block.count + 1;
        if (needed <= capacity_) return true;
        const int add = std::max(needed - capacity_, lane_table_block.count - first_new + kGrowthSlack);
        void* base = nullptr;
        MM_RESIZE_ARRAY(handle_, add, base, status);
        if (status != 0) return false;
        capacity_ += add;
        return true;
    }
    int& at(int lane) { return static_cast<int*>(mmcptr(handle_))[lane]; }
    void close(int& status)
    {
        if (handle_ != -1) MM_CLOSE(handle_, status);
        handle_ = -1;
        capacity_ = 0;
    }

private:
    int handle_ = -1;
    int capacity_ = 0;
};

double smaller_distance(double a, double b)
{
    if (a <= 0.0) return b;
    if (b <= 0.0) return a;
    return std::min(a, b);
}

double larger_distance(double a, double b)
{
    if (a <= 0.0) return b;
    if (b <= 0.0) return a;
    return std::max(a, b);
}

// Where the points of `inner` lie against `outer`; every point on the boundary counts as inside
// when undecided_inside.
int points_inside(const pokarr& inner, inside_loop& outer, bool undecided_inside, int& status)
{
    const int result = points_against_loop(inner, outer, status);
    return result == kLoopOnBoundary && undecided_inside ? kLoopInside : result;
}

struct ilscom_call {
    ilscom_call(int& branches, int stage_in, int& island_count, int& status_out)
        : branch_count(branches), stage(stage_in), islands(island_count), status(status_out),
          lanes(stage_in, kLevelIsland + 1, kLevelIsland + pocket_box_block.island_count)
    {}
    int& branch_count;
    int stage;
    int& islands;
    int& status;
    int first_lane = 0;     // the first lane the call made
    int last_level = 0;     // 10000 + the engine's island count
    int contour_level = 0;  // 10000 + the lane table's island count
    next_levels next;
    current_level_lanes lanes;
    bool done = false;  // the call ends
    bool second_merge = false;
    bool box_test = false;  // the lanes' cached boxes may keep lanes apart

    bool end(int with_status)
    {
        status = with_status;
        done = true;
        return false;
    }
    // A lane's points, reversed when asked; false (the call ends) when they cannot be read.
    bool read(int lane, bool reversed, pokarr& loop)
    {
        int status = 0;
        lane_to_pokarr(lane, loop, status);
        if (status != 0) return end(kEngineArrayFailed);
        if (reversed) pokarr_reverse(loop);
        return true;
    }
};

// What cut_hole made of a hole: the lanes stand apart; the hole was cut round the island; it
// ended, lying inside the island's offset, or with the cut keeping nothing of it; the call ends.
enum class hole_cut { apart, cut, inside, nothing_kept, stopped };

// Hole k of a merge against island lane `other` (its points in `island`): where they cross, the
// hole is cut round the island, and the lanes so cut are holes of k's group that try the islands
// from level `next` on; a hole inside the island ends.
hole_cut cut_hole(ilscom_call& c, int k, pokarr& kloop, int other, pokarr& island, int next)
{
    lane_table& lt = lane_table_block;
    const int before = lt.count;
    int largest_index = 0, largest_lanes = 0, result = 0;
    comlup_pokarr(0, kloop, island, lt.parent[k], larger_distance(lt.offset[k], lt.offset[other]), c.stage, k, other, 0,
                  0, c.branch_count, largest_index, largest_lanes, result);
    if (result == kEngineTableFull || result == kEngineArrayFailed || result == kEngineWorkTables) {
        c.end(result);
        return hole_cut::stopped;
    }
    if (result == kComlupClosedNoneKept || result == kComlupNothingCollected) {
        lt.status[k] = 0;
        return hole_cut::nothing_kept;
    }
    if (result == kComlupNone) {
        // A hole cut round the island before shares stretches of its boundary: its points there
        // decide nothing.
        int status = 0;
        const int where = points_against_loop(kloop, island, status);
        if (status != 0 || where == kLoopOutside) return hole_cut::apart;
        lt.status[k] = 0;
        return hole_cut::inside;
    }
    if (result != kComlupRecorded) return hole_cut::apart;
    int grow = 0;
    if (!c.next.fit(before + 1, grow)) {
        c.end(grow);
        return hole_cut::stopped;
    }
    lt.status[k] = 0;
    const int parent_k = lt.parent[k], parent_other = lt.parent[other];
    for (int n = before + 1; n <= lt.count; ++n) {
        lt.group[n] = lt.group[k];
        if (n == before + 1) {
            c.lanes.forget(lt.level[n]);
            lt.level[n] = lt.level[k];
            c.lanes.forget(lt.level[k]);
        }
        for (int g = 1; g <= lt.count; ++g)
            if (lt.group[g] != 0 && (lt.group[g] == parent_k || lt.group[g] == parent_other))
                lt.group[g] = lt.parent[n];
        c.next.at(n) = next;
    }
    c.second_merge = true;
    return hole_cut::cut;
}

// A loop's box widened by kApartBoxReach, for one loop tried by cut_hole against many lanes: a
// lane whose box lies beyond it neither crosses the loop nor has a point that the inside tests
// could find in it or on it, so that cut_hole would find the two apart. Boxes are taken from the
// points as the lane table caches them, without caching any.
struct apart_reach {
    bool valid = false;  // false for a loop of fewer than two points or a box not of numbers
    double box[4] = {};
};

// A box of numbers that holds at least one point.
bool box_of_points(const double* box)
{
    return std::isfinite(box[0]) && std::isfinite(box[1]) && std::isfinite(box[2]) && std::isfinite(box[3]) &&
           box[0] <= box[2] && box[1] <= box[3];
}

apart_reach apart_reach_of(const pokarr& loop)
{
    apart_reach r;
    if (loop.count < 2) return r;
    pokarr_box(loop, r.box);
    r.valid = box_of_points(r.box);
    r.box[0] -= kApartBoxReach, r.box[1] -= kApartBoxReach, r.box[2] += kApartBoxReach, r.box[3] += kApartBoxReach;
    return r;
}

// Whether lane n lies beyond the reach: by its cached box where the lane table holds one (its
// points are not looked at), else by its points when given (nullptr: not read). A lane without a
// box of points is never beyond it.
bool beyond_reach(const apart_reach& r, int n, const pokarr* points)
{
    if (!r.valid) return false;
    const lane_table& lt = lane_table_block;
    if (lt.box_handle != -1 && lt.box_index[n] != -1) return lane_box_known_apart(r.box, n);
    if (points == nullptr || points->count < 2) return false;
    double box[4];
    pokarr_box(*points, box);
    return box_of_points(box) && (box[0] > r.box[2] || box[2] < r.box[0] || box[1] > r.box[3] || box[3] < r.box[1]);
}

// Whether branch lane C was cut from island lane K: C, or a branch lane it was merged from (back
// along the first links, which lead to older lanes), is a common loop of a hole with K.
bool branch_cut_from(int lane_c, int island_lane)
{
    const lane_table& lt = lane_table_block;
    for (int n = lane_c; lane_valid(n) && lt.level[n] >= 1 && lt.level[n] < kLevelSeparator; n = lt.link1[n]) {
        if (lt.link2[n] == island_lane) return true;
        if (lt.link1[n] >= n) break;
    }
    return false;
}

// A merged lane with a group tries the islands from its next level, until it is settled or the
// islands run out.
void merge_again(ilscom_call& c, int k, pokarr& kloop, int lane_b)
{
    pokarr_work kk(lane_array_dimension());
    const apart_reach reach = apart_reach_of(kloop);
    for (int level = c.next.at(k); level <= c.last_level; ++level) {
        const int other = c.lanes.lane(level);
        if (other == 0 || other == lane_b || beyond_reach(reach, other, nullptr)) continue;
        if (!c.read(other, false, kk.a)) return;
        if (beyond_reach(reach, other, &kk.a)) continue;
        if (cut_hole(c, k, kloop, other, kk.a, level + 1) != hole_cut::apart) return;
    }
}

// Island lane `island_lane` joins the ring of merged island lanes `ring`: the holes the ring held
// before (live lanes of this call up to `last`) tried only the islands of later levels when they
// were cut, and an island of an earlier level that the ring meets only in a later sweep may reach
// into them. Each is tried against it as merge_again tries the later islands, its lanes so cut
// left to try the levels it had still to try.
void cut_ring_holes(ilscom_call& c, int ring, int island_lane, int last)
{
    lane_table& lt = lane_table_block;
    pokarr_work hole(lane_array_dimension()), island(lane_array_dimension());
    bool island_read = false;
    apart_reach reach;
    // The ring's ancestors, found at the first live hole: the ring is asked of every such hole.
    ring_ancestors ancestors;
    bool ancestors_found = false;
    for (int h = c.first_lane; h <= last && !c.done; ++h) {
        if (lt.group[h] == 0 || !lane_live(h)) continue;
        if (!ancestors_found) ring_ancestors_find(ring, ancestors);
        ancestors_found = true;
        if (!ring_ancestors_hold_hole(ancestors, h)) continue;
        // A hole already cut round the island (or left by its merge) lies outside it: the island's
        // loop bounds it along the stretches they share, where a second cut finds crossings that
        // decide nothing and may keep the island's side of them.
        if (branch_cut_from(h, island_lane)) continue;
        if (!island_read) {
            if (!c.read(island_lane, false, island.a)) return;
            reach = apart_reach_of(island.a);
        }
        island_read = true;
        if (beyond_reach(reach, h, nullptr)) continue;
        if (!c.read(h, false, hole.a)) return;
        if (beyond_reach(reach, h, &hole.a)) continue;
        // A hole that the cut would end without a lane left in its place stays as it is: what of
        // it lies outside the island's offset is still to be cleared, and the branch merge tries
        // it against the islands that reach into it (hole_ring.hpp). A hole inside the island's
        // offset ends: it holds nothing to clear, and the island's lane is merged into the ring,
        // so that no later test sees the island round it.
        const int status = lt.status[h];
        if (cut_hole(c, h, hole.a, island_lane, island.a, c.next.at(h)) == hole_cut::nothing_kept)
            lt.status[h] = status;
    }
}

// The branches' lanes C that may keep an island apart from a merged lane k, per branch level 1 to
// the branch count: each level's newest lane of the stage's closed status (or live), when it has
// a group (as lane_find finds it in group mode 2). They are found in one scan of the table at the
// first island k holds, and each is read and made ready for the inside tests once, with whether it
// lies in k, for every island after: the islands' tests change no branch lane.
class merge_branches {
public:
    // Branch lane b made ready, read at its first use; null when it cannot be read (the call
    // ends) or the level has none.
    struct prepared {
        pokarr_work loop{lane_array_dimension()};
        inside_loop inside;
        int in_k = -1;  // C against k (points_inside), -1 until asked
    };
    int count(ilscom_call& c)
    {
        if (!known_) find(c);
        return static_cast<int>(lanes_.size()) - 1;
    }
    int lane(int b) const { return lanes_[static_cast<std::size_t>(b)]; }
    prepared* ready(ilscom_call& c, int b)
    {
        std::unique_ptr<prepared>& p = ready_[static_cast<std::size_t>(b)];
        if (p) return p.get();
        auto made = std::make_unique<prepared>();
        if (!c.read(lane(b), false, made->loop.a)) return nullptr;
        if (c.box_test) {
            double box[4];
            int status = 0;
            lane_box(lane(b), -1, made->loop.a, box, status);
            if (status != 0) {
                c.end(status);
                return nullptr;
            }
        }
        inside_loop_make(made->loop.a, made->inside);
        p = std::move(made);
        return p.get();
    }

private:
    // lane_find in group mode 2 takes the level's lane only when it has a group.
    void find(const ilscom_call& c)
    {
        const lane_table& lt = lane_table_block;
        const std::vector<int> found = found_lanes(1, c.branch_count, -c.stage);
        lanes_.assign(1, 0);
        for (const int n : found) lanes_.push_back(n != 0 && lt.group[n] != 0 ? n : 0);
        ready_.clear();
        ready_.resize(lanes_.size());
        known_ = true;
    }
    bool known_ = false;
    std::vector<int> lanes_;
    std::vector<std::unique_ptr<prepared>> ready_;
};

// The cached box of a lane whose points `loop` holds, read once for the many lanes it is tried
// against; false when it cannot be had (no box then keeps lanes apart).
bool box_at_hand(int lane, const pokarr& loop, double* box)
{
    int status = 0;
    lane_box(lane, -1, loop, box, status);
    return status == 0;
}

// Whether hole lane C (live, clear of island lane K's loop) lies inside K: its region is then all
// within K's offset, with nothing to cut. A hole's level names no island, so that a hole of the
// ring made before K was taken in tried K in no merge: when K goes, the hole must go with it. A
// hole of K's own (K a ring round it) lies inside K's loop but outside its islands.
bool hole_inside_island(int lane_c, const pokarr& hole, int island_lane, const pokarr& island, const double* island_box)
{
    if (!lane_live(lane_c) || hole.count < 1) return false;
    if (island_box != nullptr) {
        double box[4];
        if (!box_at_hand(lane_c, hole, box)) return false;
        if (box[0] < island_box[0] || box[1] < island_box[1] || box[2] > island_box[2] || box[3] > island_box[3])
            return false;
    }
    if (lane_is_ring_of_hole(island_lane, lane_c)) return false;
    int status = 0;
    return points_against_loop(hole, island, status) == kLoopInside && status == 0;
}

// Whether a branch lane keeps island K apart from lane k (made ready for inside tests): K lies in
// the branch's lane C or crosses it, and C lies in k. A C whose box lies apart from K's holds it
// not and crosses it not. A C already cut from K (a hole of k merged with K) keeps it apart no
// more: C runs round K where K reached into the hole, and the rest of K lies in k's islands, so
// that K's own lane would run through them. A C that lies inside K ends, whatever becomes of K: it
// lies in K's offset.
bool branch_keeps_apart(ilscom_call& c, merge_branches& branches, int island_lane, pokarr& island, inside_loop& kloop)
{
    const int count = branches.count(c);
    double island_box[4];
    const bool boxed = c.box_test && box_at_hand(island_lane, island, island_box);
    for (int b = 1; b <= count; ++b) {
        const int lane_c = branches.lane(b);
        if (lane_c == 0 || branch_cut_from(lane_c, island_lane)) continue;
        if (boxed && lane_box_known_apart(island_box, lane_c)) continue;
        merge_branches::prepared* branch = branches.ready(c, b);
        if (branch == nullptr) return false;
        int status = 0;
        const int where = points_inside(island, branch->inside, true, status);
        if (status != 0) return c.end(status);
        if (where == kLoopOutside) {
            // Outside the branch lane counts only for an island that crosses it, whatever its
            // level: an island that reaches into a hole the merge left in k bounds that hole.
            int crossing = 0;
            pokarr_intersect_test(kCrossingTest, island, branch->loop.a, crossing);
            if (crossing == 0 &&
                hole_inside_island(lane_c, branch->loop.a, island_lane, island, boxed ? island_box : nullptr))
                lane_table_block.status[lane_c] = 0;
            if (crossing <= 0) continue;
        }
        if (branch->in_k == -1) {
            branch->in_k = points_inside(branch->loop.a, kloop, true, status);
            if (status != 0) return c.end(status);
        }
        if (branch->in_k == kLoopInside) return true;
    }
    return false;
}

// Whether island lane n hangs from a live first offset of its own island.
bool first_offset_live(int n)
{
    const lane_table& lt = lane_table_block;
    const int parent = lt.parent[n];
    return lane_valid(parent) && lt.level[parent] == lt.level[n] && lt.status[parent] == 1;
}

// Lane k (made ready for inside tests) takes in island lane `other`, which lies inside it without
// crossing it: the island ends, unless a branch lane keeps it apart. A second island offset whose
// first offset stands live is left to the branches' lanes: k may hold it in a hole that the merge
// dropped (islands in a ring round it), where the branch lanes that take it in still run. One that
// no branch lane meets is settled after the last pass (close_apart_islands), its first offset with
// it.
void take_in_held_island(ilscom_call& c, merge_branches& branches, int other, pokarr& island, inside_loop& inside_k)
{
    if (c.stage == kStageTwo && first_offset_live(other)) return;
    const bool kept = branch_keeps_apart(c, branches, other, island, inside_k);
    if (!c.done && !kept) lane_table_block.status[other] = 0;
}

// Lane k takes in the islands it holds without crossing them.
void absorb_islands(ilscom_call& c, int k, pokarr& kloop, int lane_a, int lane_b)
{
    pokarr_work island(lane_array_dimension());
    // k's loop stays as it is while the islands are tried: it is made ready for them once.
    inside_loop inside_k;
    inside_loop_make_many(kloop, inside_k);
    merge_branches branches;
    double box_k[4];
    const bool boxed = c.box_test && box_at_hand(k, kloop, box_k);
    // k's elements in a grid, made at the first island to cross-check: each crossing test then
    // walks only the elements near the island.
    std::unique_ptr<crossing_search_loop> elements_k;
    for (int level = kLevelIsland + 1; level <= c.last_level && !c.done; ++level) {
        const int other = c.lanes.lane(level);
        if (other == 0 || other == lane_a || other == lane_b || other == k) continue;
        // An island whose box lies apart from k's is not inside k.
        if (boxed && lane_box_known_apart(box_k, other)) continue;
        if (!c.read(other, false, island.a)) return;
        int status = 0;
        const int where = points_inside(island.a, inside_k, false, status);
        if (status != 0) {
            c.end(status);
            return;
        }
        if (where != kLoopInside) continue;
        if (elements_k == nullptr) {
            elements_k = std::make_unique<crossing_search_loop>();
            crossing_search_loop_make(kloop, *elements_k);
        }
        int crossing = 0;
        crossing_test_near(kCrossingTest, kloop, *elements_k, island.a, crossing);
        if (crossing < 0) {
            c.end(-1);
            return;
        }
        if (crossing > 0) continue;
        take_in_held_island(c, branches, other, island.a, inside_k);
    }
}

// Of two island lanes that the common loops found clear of each other, one may lie wholly inside
// the other: its region then lies within the other island's offset, and a lane cut round it would
// run there. The outer lane takes it in as a merged lane takes in the islands it holds. A lane of a
// group (a hole) bounds material, not an island's offset, and holds no island so.
void take_in_nested_island(ilscom_call& c, int lane_a, pokarr& a, int lane_b, pokarr& b)
{
    const lane_table& lt = lane_table_block;
    // A loop inside another has its box inside the other's: only such a pair pays for the inside
    // test (the boxes hold the arcs' bulges, and the slack of the tolerance only tests more).
    double box_a[4], box_b[4];
    pokarr_box(a, box_a);
    pokarr_box(b, box_b);
    const double slack = pocket_work_block.tolerance;
    const auto box_holds = [slack](const double* outer, const double* inner) {
        return inner[0] >= outer[0] - slack && inner[1] >= outer[1] - slack && inner[2] <= outer[2] + slack &&
               inner[3] <= outer[3] + slack;
    };
    for (const auto& [outer, outer_loop, outer_box, inner, inner_loop, inner_box] :
         {std::tuple{lane_a, &a, box_a, lane_b, &b, box_b}, std::tuple{lane_b, &b, box_b, lane_a, &a, box_a}}) {
        if (lt.group[outer] != 0 || !box_holds(outer_box, inner_box)) continue;
        inside_loop inside_outer;
        inside_loop_make(*outer_loop, inside_outer);
        int status = 0;
        const int where = points_inside(*inner_loop, inside_outer, false, status);
        if (status != 0) {
            c.end(status);
            return;
        }
        if (where != kLoopInside) continue;
        merge_branches branches;
        take_in_held_island(c, branches, inner, *inner_loop, inside_outer);
        return;
    }
}

// Steps 3 and 4 after A (level_1) and B (level_2) merged into lanes first_new .. count.
void after_merge(ilscom_call& c, int lane_a, int lane_b, int level_1, int level_2, int first_new, int largest)
{
    lane_table& lt = lane_table_block;
    int grow = 0;
    if (!c.next.fit(first_new, grow)) {
        c.end(grow);
        return;
    }
    for (int n = first_new; n <= lt.count; ++n) c.next.at(n) = level_2 + 1;
    c.second_merge = false;
    pokarr_work kloop(lane_array_dimension());
    // The holes of the merge (its new lanes with a group, live) settle against the islands first:
    // one inside an island's offset ends, one that an island crosses is cut round it (the lanes so
    // cut are holes too). Only then do the other new lanes take in the islands they hold, so that
    // the holes that keep an island apart are those that still hold it. Taken the other way round,
    // an island round a hole not yet ended was taken in, the hole's lane left inside its offset,
    // and one that a hole was not yet cut round was kept apart, its first offset then cut whole
    // through the merged lane's islands.
    for (const auto& [ring, island] : {std::pair{lane_a, lane_b}, std::pair{lane_b, lane_a}})
        cut_ring_holes(c, ring, island, first_new - 1);
    std::vector<int> holes;
    for (int k = first_new; k <= lt.count && !c.done; ++k) {
        if (lt.group[k] == 0 || !lane_live(k)) continue;
        holes.push_back(k);
        if (!c.read(k, false, kloop.a)) return;
        merge_again(c, k, kloop.a, lane_b);
    }
    for (int k = first_new; k <= lt.count && !c.done; ++k) {
        if (std::find(holes.begin(), holes.end(), k) != holes.end()) continue;
        if (!c.read(k, false, kloop.a)) return;
        absorb_islands(c, k, kloop.a, lane_a, lane_b);
    }
    if (c.done) return;
    --c.islands;
    lt.status[lane_a] = lt.status[lane_b] = 0;
    const int star_parent = lane_valid(largest) ? lt.parent[largest] : 0;
    if (c.second_merge) {
        const int pa = lt.parent[lane_a], pb = lt.parent[lane_b];
        for (int n = 1; n <= lt.count; ++n)
            if (lt.group[n] != 0 && (lt.group[n] == pa || lt.group[n] == pb)) lt.group[n] = star_parent;
    }
    if (c.stage == kStageTwo) {
        for (const int lane : {lane_a, lane_b})
            if (!lane_earlier_on_level(lane, kLeftOver)) lt.status[lane] = kLeftOver;
        for (int n = 1; n <= lt.count; ++n) {
            if (lt.status[n] != 1) continue;
            if (lt.level[n] == level_1) lt.parent[lane_a] = n, lt.parent[n] = largest;
            if (lt.level[n] == level_2) lt.parent[lane_b] = n, lt.parent[n] = largest;
        }
        for (int n = 1; n <= lt.count; ++n)
            if (lt.status[n] == 1 && (lt.parent[n] == lane_a || lt.parent[n] == lane_b)) lt.parent[n] = largest;
    }
    if (c.islands == 0) c.done = true;
}

// Both lanes leave (the common loops kept nothing).
void both_gone(ilscom_call& c, int lane_a, int lane_b)
{
    lane_table& lt = lane_table_block;
    c.status = 0;
    c.islands -= 2;
    lt.status[lane_a] = lt.status[lane_b] = 0;
    if (c.stage == kStageTwo)
        for (const int lane : {lane_a, lane_b})
            if (!lane_earlier_on_level(lane, kLeftOver)) lt.status[lane] = kLeftOver;
    if (c.islands <= 0) c.done = true;
}

// Island lanes of a pocket on the surface that lie on each other along a stretch without crossing
// (the lanes round two holes of the grid two offsets apart) are merged as crossing lanes are: b
// pushed into a along the stretch crosses it at the stretch's ends. Answers comlup_pokarr's
// result, kComlupNone where the lanes do not lie on each other. Reads
// pocket_state.pocket_dimension and pocket_work (tolerance, working tolerance, engine step).
int merge_lying_on(ilscom_call& c, pokarr& a, const pokarr& b, int lane_a, int lane_b, double d, int kind,
                   int& largest_index, int& largest_lanes)
{
    const pocket_work& w = pocket_work_block;
    const double reach = std::max(w.tolerance, w.working_tolerance);
    if (pocket_state_block.pocket_dimension == kPlanar ||
        !lanes_lie_on_each_other(a, b, reach, kLyingStepShare * w.engine_step))
        return kComlupNone;
    pokarr_work pushed(b.dimension);
    int result = 0;
    lane_pushed_into(a, b, reach, kPushShare * reach, pushed.a, result);
    if (result != 0) return kEngineArrayFailed;
    comlup_pokarr(0, a, pushed.a, lane_table_block.parent[lane_a], d, c.stage, lane_a, lane_b, kind, 0, c.branch_count,
                  largest_index, largest_lanes, result);
    return result;
}

// One sweep of level_1 against the later levels; answers the merges it made, -1 when level_1
// has no lane.
int sweep(ilscom_call& c, int level_1, bool box_test)
{
    const lane_table& lt = lane_table_block;
    const int contour_level = c.contour_level;
    pokarr_work a(lane_array_dimension()), b(lane_array_dimension());
    // Lanes keep their points during the call: a holds lane held_a's points (reversed for a
    // contour island) until the level's current lane changes, and b is read only when the
    // cached boxes do not already keep the pair apart.
    int held_a = 0;
    int merges = 0;
    for (int level_2 = level_1 + 1; level_2 <= c.last_level && !c.done; ++level_2) {
        if (c.islands == 0) {
            c.done = true;
            break;
        }
        const int lane_a = c.lanes.lane(level_1);
        if (lane_a != 0 && lane_a != held_a) {
            if (!c.read(lane_a, level_1 <= contour_level, a.a)) break;
            held_a = lane_a;
        }
        const int lane_b = c.lanes.lane(level_2);
        if (lane_a == 0) return -1;
        if (lane_b == 0) continue;
        if (box_test && lane_boxes_known_apart(lane_a, a.a, lane_b)) continue;
        if (!c.read(lane_b, level_2 <= contour_level, b.a)) break;
        const double d = smaller_distance(lt.offset[lane_a], lt.offset[lane_b]);
        if (box_test) {
            double box_a[4], box_b[4];
            int status = 0;
            lane_box(lane_a, -1, a.a, box_a, status);
            if (status == 0) lane_box(lane_b, -1, b.a, box_b, status);
            if (status != 0) {
                c.end(status);
                break;
            }
            // Boxes that only touch are still combined.
            if (box_a[0] > box_b[2] || box_a[2] < box_b[0] || box_a[1] > box_b[3] || box_a[3] < box_b[1]) continue;
        }
        const int kind = level_1 <= contour_level && level_2 <= contour_level ? kKindContourIslands : kKindOtherIslands;
        const int before = lt.count;
        int largest_index = 0, largest_lanes = 0, result = 0;
        comlup_pokarr(0, a.a, b.a, lt.parent[lane_a], d, c.stage, lane_a, lane_b, kind, 0, c.branch_count,
                      largest_index, largest_lanes, result);
        if (result == kComlupNone)
            result = merge_lying_on(c, a.a, b.a, lane_a, lane_b, d, kind, largest_index, largest_lanes);
        if (result == kComlupNone) {
            take_in_nested_island(c, lane_a, a.a, lane_b, b.a);
        } else if (result == kComlupClosedNoneKept) {
            c.status = 0;
        } else if (result == kEngineTableFull || result == kEngineArrayFailed || result == kEngineWorkTables) {
            c.end(result);
        } else if (result == kComlupNothingCollected) {
            both_gone(c, lane_a, lane_b);
        } else if (result == kComlupRecorded) {
            ++merges;
            after_merge(c, lane_a, lane_b, level_1, level_2, before + 1, largest_lanes);
        }
    }
    return merges;
}

}  // namespace

void ilscom(int& branch_count, int pass, int island_stage, int& island_count, int& status)
{
    static_cast<void>(pass);
    status = 0;
    const int m = pocket_box_block.island_count;
    if (m < 2) return;
    ilscom_call c(branch_count, island_stage, island_count, status);
    c.first_lane = lane_table_block.count + 1;
    c.last_level = kLevelIsland + m;
    c.contour_level = kLevelIsland + lane_table_block.island_count;
    c.next.open(2 * lane_table_block.count, status);
    if (status != 0) return;
    const bool box_test = island_count > kIlscomBoxTestIslands;
    c.box_test = box_test;
    for (int level_1 = kLevelIsland + 1; level_1 < c.last_level && !c.done;) {
        // A sweep that merged runs again: the merged lane may meet the islands it passed.
        if (sweep(c, level_1, box_test) <= 0) ++level_1;
    }
    int closed = 0;
    c.next.close(closed);
    if (closed != 0) status = closed;
}

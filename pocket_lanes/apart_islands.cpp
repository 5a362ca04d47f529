// The islands that no branch took in. lancom merges an island's lane with the branch lane that
// crosses it or takes it in when a branch lane lies inside it; an island lane that a branch lane
// holds is left for a later pass, and one beyond the outer contour's first offset is never met.
// When the branch holding an island ends before one of its lanes reaches the island, or the island
// lies outside the material, its lanes stand apart from every chain when the lane loop ends. The
// lane loop settles them here, after its last pass.
#include "pocket_lanes/lane_merge.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/moves/box_grid.hpp"

#include <array>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kStageTwo = 2;
constexpr int kCounterClockwise = 1;
// The island's box is widened by this much (mm) before it asks the grid of the branch lanes'
// boxes: far above the rounding of the coordinates, so that every lane whose box is not known to
// lie apart is among the grid's answers, and is then asked as before.
constexpr double kGridSlack = 1.0e-6;

// Where an island lane stands among the live branch lanes.
struct island_place {
    int holder = 0;    // the innermost counter-clockwise branch lane holding it; 0 none
    bool met = false;  // a branch lane crosses it, lies in it, or holds it clockwise
};

// A live branch lane as the islands are placed against it: read, boxed and made ready for the
// inside tests once for every island of the call. The call changes statuses and appends empty
// lanes; no lane it has read changes its points, so a read never goes stale.
struct branch_read {
    pokarr_work loop{lane_array_dimension()};
    double box[4] = {};
    inside_loop inside;
};

// The branch lanes read so far in one call, by lane number, and the live branch lanes an island
// is tried against. The call only ends lanes (status 0) and appends closing lanes (status below
// 0): no lane becomes a live branch lane, so the lanes live when the call starts are the only
// ones an island can meet, each asked again whether it still lives. Their boxes the lane table
// holds then are put in a grid; a lane whose box is not held yet is met by every island.
class branch_reads {
public:
    branch_reads()
    {
        const lane_table& lt = lane_table_block;
        constexpr double kEverywhere = std::numeric_limits<double>::infinity();
        std::vector<std::array<double, 4>> boxes;
        for (int n = 1; n <= lt.count; ++n) {
            if (!live_branch_lane(n)) continue;
            live_.push_back(n);
            std::array<double, 4> box{-kEverywhere, -kEverywhere, kEverywhere, kEverywhere};
            if (lt.box_handle != -1 && lt.box_index[n] != -1) {
                // The held box is copied; the points are not read.
                int status = 0;
                const pokarr_work none(2);
                lane_box(n, -1, none.a, box.data(), status);
                if (status != 0) box = {-kEverywhere, -kEverywhere, kEverywhere, kEverywhere};
            }
            boxes.push_back(box);
        }
        box_grid_build(boxes, grid_);
    }
    // The live branch lanes of the call's start whose boxes may meet `box`, in table order.
    const std::vector<int>& near(const double* box)
    {
        const double wide[4] = {box[0] - kGridSlack, box[1] - kGridSlack, box[2] + kGridSlack, box[3] + kGridSlack};
        box_grid_candidates(grid_, wide, places_);
        lanes_.clear();
        for (const int k : places_) lanes_.push_back(live_[static_cast<std::size_t>(k)]);
        return lanes_;
    }
    // Lane n read (nullptr when it cannot be read: status kEngineArrayFailed, or lane_box's).
    branch_read* read(int n, int& status)
    {
        std::unique_ptr<branch_read>& slot = reads_[n];
        if (slot != nullptr) return slot.get();
        auto made = std::make_unique<branch_read>();
        lane_to_pokarr(n, made->loop.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return nullptr;
        }
        lane_box(n, -1, made->loop.a, made->box, status);
        if (status != 0) return nullptr;
        inside_loop_make(made->loop.a, made->inside);
        slot = std::move(made);
        return slot.get();
    }

private:
    std::unordered_map<int, std::unique_ptr<branch_read>> reads_;
    std::vector<int> live_;  // the live branch lanes when the call started
    box_grid grid_;          // their boxes, by place in live_
    std::vector<int> places_, lanes_;
};

// One branch lane against island lane J: crossing it or lying in it meets J; holding J makes it
// a holder when it runs counter-clockwise (material inside), else it meets J too.
void branch_lane_against(int lane, branch_read& branch, const pokarr& loop_j, inside_loop& inside_j,
                         island_place& place, int& status)
{
    pokarr& loop = branch.loop.a;
    int crossing = 0;
    pokarr_intersect_test(kLuplupFirstOnly, loop, loop_j, crossing);
    if (crossing < 0) {
        status = crossing;
        return;
    }
    if (crossing > 0) {
        place.met = true;
        return;
    }
    const int where = points_against_loop(loop_j, branch.inside, status);
    if (status != 0) return;
    if (where == kLoopInside) {
        pokarr_area(loop);
        const lane_table& lt = lane_table_block;
        if (loop.direction != kCounterClockwise) place.met = true;
        // Lanes that hold one island are nested: the one of the latest pass is the innermost.
        else if (place.holder == 0 || lt.status[lane] > lt.status[place.holder])
            place.holder = lane;
        return;
    }
    if (where == kLoopOnBoundary || points_against_loop(loop, inside_j, status) != kLoopOutside) place.met = true;
}

// Island lane J (its points in loop_j) against every live branch lane whose box meets its own.
void place_island(int lane_j, const pokarr& loop_j, branch_reads& branches, island_place& place, int& status)
{
    double box_j[4];
    lane_box(lane_j, -1, loop_j, box_j, status);
    if (status != 0) return;
    inside_loop inside_j;
    inside_loop_make(loop_j, inside_j);
    for (const int n : branches.near(box_j)) {
        if (place.met || status != 0) break;
        if (!live_branch_lane(n) || lane_box_known_apart(box_j, n)) continue;
        branch_read* branch = branches.read(n, status);
        if (branch == nullptr) return;
        if (pk_box_overlap_nd(2, 0.0, box_j, box_j + 2, branch->box, branch->box + 2))
            branch_lane_against(n, *branch, loop_j, inside_j, place, status);
    }
}

// J and its first offsets end; the closing lanes that led to them close nothing any more.
void end_island(int lane_j)
{
    lane_table& lt = lane_table_block;
    const int level = lt.level[lane_j];
    std::vector<char> ended(static_cast<std::size_t>(lt.count) + 1, 0);
    ended[static_cast<std::size_t>(lane_j)] = 1;
    for (int n = 1; n <= lt.count; ++n)
        if (first_offset_under(n, lane_j, level)) ended[static_cast<std::size_t>(n)] = 1;
    for (int n = 1; n <= lt.count; ++n) {
        const int p = lt.parent[n] < 0 ? -lt.parent[n] : lt.parent[n];
        if (lt.status[n] < 0 && p >= 1 && p <= lt.count && ended[static_cast<std::size_t>(p)] != 0) lt.status[n] = 0;
    }
    for (int n = 1; n <= lt.count; ++n)
        if (ended[static_cast<std::size_t>(n)] != 0) lt.status[n] = 0;
}

// Where the lanes an island would hang by stand: its first offsets (J itself when it has none)
// must all be held by one branch lane and met by none, or all stand outside every branch lane.
// Answers the holder (0 none), or -1 when the island cannot be settled.
int holder_of_island(int lane_j, const pokarr& loop_j, branch_reads& branches, int& status)
{
    const lane_table& lt = lane_table_block;
    const int level = lt.level[lane_j];
    pokarr_work loop(lane_array_dimension());
    int holder = -1;
    auto settle = [&](int lane, const pokarr& points) {
        island_place place;
        place_island(lane, points, branches, place, status);
        if (status != 0 || place.met || (holder >= 0 && place.holder != holder)) return false;
        holder = place.holder;
        return true;
    };
    for (int n = 1; n <= lt.count; ++n) {
        if (!first_offset_under(n, lane_j, level)) continue;
        lane_to_pokarr(n, loop.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return -1;
        }
        if (!settle(n, loop.a)) return -1;
    }
    // Without first offsets J itself hangs; outside the material, J (the widest) must be too.
    if (holder <= 0 && !settle(lane_j, loop_j)) return -1;
    return holder;
}

// The branch lane `holder` takes J in: J closes the island's chain and the island's first
// offsets hang under the holder. With no first offset to hang, J itself hangs under the holder
// and is closed.
void take_in_island(int lane_j, int holder, int& status)
{
    lane_table& lt = lane_table_block;
    if (hang_first_offsets(lane_j, lt.level[lane_j], holder) > 0) {
        lt.status[lane_j] = taken_second_offset_status(lane_j);
        return;
    }
    lt.parent[lane_j] = holder;
    lane_add_empty(lt.status[lane_j] + 1, lt.level[lane_j], lane_j, status);
}

// Whether lane n is an island's first offset that a merge of its second offset hung under a
// branch lane.
bool hung_first_offset(int n)
{
    const lane_table& lt = lane_table_block;
    const int parent = lt.parent[n];
    return lt.level[n] > kLevelIsland && lt.status[n] == 1 && lane_valid(parent) && lt.level[parent] >= 1 &&
           lt.level[parent] < kLevelSeparator;
}

// A first offset hung under the branch lane its second offset merged with is cut as a ring round
// its island. Where that merge only grazed the branch lane (the second offset reaches a step's
// fraction further), the first offset may stand wholly outside the material: beyond the outer
// contour's first lane, toward the wall. No branch lane then crosses or holds it, and its ring
// would be cut there, nearer the outer contour than its offset: it ends, as an island apart
// from the material does.
void end_first_offsets_outside(int last, branch_reads& branches, int& status)
{
    pokarr_work loop_j(lane_array_dimension());
    for (int j = 1; j <= last && status == 0; ++j) {
        if (!hung_first_offset(j)) continue;
        lane_to_pokarr(j, loop_j.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        island_place place;
        place_island(j, loop_j.a, branches, place, status);
        if (status == 0 && !place.met && place.holder == 0) end_island(j);
    }
}

}  // namespace

void close_apart_islands(int island_stage, int& status)
{
    status = 0;
    if (island_stage != kStageTwo) return;
    const lane_table& lt = lane_table_block;
    const int last = lt.count;
    pokarr_work loop_j(lane_array_dimension());
    branch_reads branches;
    for (int j = 1; j <= last && status == 0; ++j) {
        if (lt.level[j] <= kLevelIsland || lt.status[j] != island_stage) continue;
        lane_to_pokarr(j, loop_j.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        const int holder = holder_of_island(j, loop_j.a, branches, status);
        if (status != 0 || holder < 0) continue;
        if (holder > 0)
            take_in_island(j, holder, status);
        else
            end_island(j);
    }
    if (status == 0) end_first_offsets_outside(last, branches, status);
}

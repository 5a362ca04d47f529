// Tests of a straight connection between lanes a and b against the other lanes of the pocket:
// the outer lanes (conn_hits_lane) and the islands (conn_hits_island). Every candidate lane is
// read into a work array and crossed with the segment (seg_lane_hits, mode 3, two crossings
// wanted); touching lanes a and b once is the connection's own business.
#include "pocket_lanes/moves/connection_tests.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pk_box_kept.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/moves/box_grid.hpp"
#include "pocket_lanes/moves/segment_clearance.hpp"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr int kWantedCrossings = 2;
// An island lane whose contour type is this is never reported by an island test.
constexpr int kContourPassedOver = 2;

// The work array's dimension: the pocket's, with the normals of dimension 4 left out.
int work_dimension() { return pocket_state_block.pocket_dimension >= 3 ? 3 : 2; }

// Scan state of one connection test: the outcome so far and the lane that decided.
struct conn_scan {
    int lane_a = 0, lane_b = 0;
    const double* start = nullptr;
    const double* end = nullptr;
    double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;  // the segment's box
    // Made at the first crossing search and given to every lane's (a scan may search none).
    clearance_segment clearance;
    bool clearance_made = false;
    pokarr work;
    int status = 0;
    int hit = 0;
    bool done = false;
    bool crossed_only = false;  // see island_test_lanes::crossed_only
    // The lane table's box cache as last looked up; a new box may move it (nullptr: look again).
    const double* cache = nullptr;
};

// Whether the box lies apart from the segment's: then they cannot cross.
bool box_apart(const conn_scan& s, const double* box)
{
    return box[0] > s.xmax || box[2] < s.xmin || box[1] > s.ymax || box[3] < s.ymin;
}

// The lane's box when the lane table's cache holds it already (false otherwise).
bool cached_box(conn_scan& s, int n, double* box)
{
    const lane_table& lt = lane_table_block;
    if (lt.box_handle == -1 || lt.box_index[n] < 0 || lt.box_index[n] + 4 > lt.box_used) return false;
    if (s.cache == nullptr) s.cache = static_cast<const double*>(mmcptr(lt.box_handle));
    if (s.cache == nullptr) return false;
    std::copy_n(s.cache + lt.box_index[n], 4, box);
    return true;
}

// Crosses lane n (its points, and its element boxes when known) with the segment; a crossing
// ends the scan.
void cross_lane(conn_scan& s, int n, const pokarr& points, const pk_box_table* boxes)
{
    double point[3] = {0.0, 0.0, 0.0};
    int element = 0, result = 0;
    // Any crossing of another lane decides; only a or b needs its crossings counted.
    const bool joined = n == s.lane_a || n == s.lane_b;
    const int wanted = s.crossed_only && !joined ? 1 : kWantedCrossings;
    if (!s.clearance_made) {
        s.clearance = make_clearance_segment(s.start, s.end);
        s.clearance_made = true;
    }
    seg_lane_hits_boxed(kSegHitsConnection, s.start, s.end, points, boxes, wanted, point, element, result,
                        &s.clearance);
    // One touch of the lanes the connection joins is expected; a second crossing is not.
    if (result == 0 || (result == 1 && joined)) return;
    s.status = result;
    s.hit = n;
    s.done = true;
}

// Reads lane n and crosses it with the segment; ends the scan on a hit or a failure. A lane whose
// box lies apart from the segment is passed over (its box is cached after its first read).
void test_lane(conn_scan& s, int n)
{
    if (s.done) return;
    double box[4];
    if (cached_box(s, n, box) && box_apart(s, box)) return;
    int status = 0;
    lane_to_pokarr(n, s.work, status);
    if (status != 0) {
        s.status = kConnFailed;
        s.hit = n;
        s.done = true;
        return;
    }
    int box_status = 0;
    lane_box(n, -1, s.work, box, box_status);
    s.cache = nullptr;
    if (box_status == 0 && box_apart(s, box)) return;
    cross_lane(s, n, s.work, nullptr);
}

void begin_scan(conn_scan& s, int lane_a, int lane_b, const double* start, const double* end)
{
    s.lane_a = lane_a;
    s.lane_b = lane_b;
    s.start = start;
    s.end = end;
    // Boxed once: a scan compares it with the box of every listed lane.
    s.xmin = std::min(start[0], end[0]), s.xmax = std::max(start[0], end[0]);
    s.ymin = std::min(start[1], end[1]), s.ymax = std::max(start[1], end[1]);
    pokarr_init(work_dimension(), s.work);
}

// Forgets what the list kept of its lanes (their boxes, reads and grid), for a list made anew.
void forget_lanes(island_test_lanes& list)
{
    list.boxes.clear();
    list.boxed.clear();
    list.read.clear();
    list.moves = 0;
    list.grid.reset();
}

// Keeps what a list knew of its lanes where a list made again holds the same ones (defined with
// the list that follows the table, below).
bool keep_unchanged(island_test_lanes& list, const std::vector<int>& lanes);

}  // namespace

void outer_test_lanes_list(island_test_lanes& list)
{
    const lane_table& lt = lane_table_block;
    list.lanes.clear();
    forget_lanes(list);
    for (int n = 1; n < lt.count; ++n)
        if (lt.status[n] == 1 && lt.level[n] < kLevelIsland) list.lanes.push_back(n);
}

void conn_hits_lane_listed(island_test_lanes& list, int lane_a, int lane_b, const double* start, const double* end,
                           int& status)
{
    int hit = 0;
    conn_hits_island_listed(list, lane_a, lane_b, start, end, hit, status);
}

void conn_hits_lane(int lane_a, int lane_b, const double* start, const double* end, int& status)
{
    island_test_lanes list;
    outer_test_lanes_list(list);
    conn_hits_lane_listed(list, lane_a, lane_b, start, end, status);
}

// A lane as read once for the island tests: its points and its element boxes.
struct island_test_lane_read {
    pokarr_work points{2};
    pk_box_kept boxes;
};
island_test_lanes::island_test_lanes() = default;
island_test_lanes::~island_test_lanes() = default;
island_test_lanes::island_test_lanes(island_test_lanes&&) noexcept = default;
island_test_lanes& island_test_lanes::operator=(island_test_lanes&&) noexcept = default;

namespace {

void keep_read(island_test_lanes& list, std::unique_ptr<island_test_lane_read>& kept, const pokarr& work)
{
    auto read = std::make_unique<island_test_lane_read>();
    pokarr_free(read->points.a);
    pokarr_init(work.dimension, read->points.a);
    int status = 0;
    pokarr_copy(work, read->points.a, status);
    if (status != 0) return;
    pk_box_keep(read->points.a, read->boxes, list.lent);
    kept = std::move(read);
}

}  // namespace

void island_test_lanes_list(island_test_lanes& list)
{
    const lane_table& lt = lane_table_block;
    if (D3DS_algorithmIsRun() != 0) {
        list.lanes.clear();
        forget_lanes(list);
        // On surfaces the islands are the parents of the branches that closed.
        for (int n = 1; n <= lt.count; ++n) {
            const int parent = lt.parent[n];
            if (lt.status[n] < 0 && parent >= 1 && parent <= lt.count && lt.status[parent] > 0)
                list.lanes.push_back(parent);
        }
        return;
    }
    // The live lane of every island level, as a backward search with wanted status 0 finds it:
    // the newest lane of the level, unless that one is closed. One pass finds them all.
    std::vector<int> lanes;
    std::vector<int> current(static_cast<std::size_t>(std::max(0, lt.island_count)) + 1, -1);
    int unfound = std::max(0, lt.island_count);
    for (int n = lt.count; n >= 1 && unfound > 0; --n) {
        const int k = lt.level[n] - kLevelIsland;
        if (k < 1 || k > lt.island_count || current[static_cast<std::size_t>(k)] != -1) continue;
        current[static_cast<std::size_t>(k)] = lt.status[n] >= 0 ? n : 0;
        --unfound;
    }
    for (int k = 1; k <= lt.island_count; ++k) {
        const int found = current[static_cast<std::size_t>(k)];
        if (found > 0 && lt.contour_type[found] != kContourPassedOver) lanes.push_back(found);
    }
    // Then every first island offset. A lane listed already would only repeat its own answer.
    const std::size_t live = lanes.size();
    std::vector<char> listed(static_cast<std::size_t>(lt.count) + 1, 0);
    for (std::size_t i = 0; i < live; ++i) listed[static_cast<std::size_t>(lanes[i])] = 1;
    for (int n = 1; n <= lt.count; ++n)
        if (lt.level[n] > kLevelIsland && lt.status[n] == 1 && lt.contour_type[n] != kContourPassedOver &&
            listed[static_cast<std::size_t>(n)] == 0)
            lanes.push_back(n);
    // A list made again with the lanes it held (stage 1 lists anew whenever the table grows, and
    // what grows it is seldom an island's lane) keeps what it knew of them: their boxes, reads and
    // grid.
    if (lanes != list.lanes && !keep_unchanged(list, lanes)) forget_lanes(list);
    list.lanes = std::move(lanes);
}

namespace {

// A list changed in more than this share of its places is made anew.
constexpr std::size_t kMostChangedShare = 8;

// A first island offset as island_test_lanes_list takes it into the list's second part.
bool listed_offset(const lane_table& lt, int n)
{
    return lt.level[n] > kLevelIsland && lt.status[n] == 1 && lt.contour_type[n] != kContourPassedOver;
}

// Reads the lanes appended since the last look (all of them when the table was made anew).
// Answers whether the list may have changed: the table was made anew, or an appended lane is an
// island level's newest lane or a first island offset (the list is made of those alone, and the
// stage changes no lane it holds).
bool follow_table(island_test_lanes_kept& kept)
{
    const lane_table& lt = lane_table_block;
    bool changed = false;
    if (lt.count < kept.seen || lt.island_count != kept.islands) {
        kept.seen = 0;
        kept.islands = lt.island_count;
        kept.newest.assign(static_cast<std::size_t>(std::max(0, lt.island_count)) + 1, 0);
        kept.offsets.clear();
        changed = true;
    }
    for (int n = kept.seen + 1; n <= lt.count; ++n) {
        const int k = lt.level[n] - kLevelIsland;
        if (k >= 1 && k <= kept.islands) {
            kept.newest[static_cast<std::size_t>(k)] = n;
            changed = true;
        }
        if (listed_offset(lt, n)) {
            kept.offsets.push_back(n);
            changed = true;
        }
    }
    kept.seen = lt.count;
    return changed;
}

// A list changed in a few places (a level's live lane replaced by its newest) keeps what it knows
// of the lanes elsewhere; the changed places lose their boxes and reads and are met by every move
// through the grid, which still lists them where their old lanes were (a place met needlessly is
// passed by for its box). False when the list changed too much for that.
bool keep_unchanged(island_test_lanes& list, const std::vector<int>& lanes)
{
    const std::size_t count = lanes.size();
    if (count != list.lanes.size() || list.boxed.size() != count || list.read.size() != count) return false;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < count; ++i) changed += lanes[i] != list.lanes[i] ? 1 : 0;
    if (changed * kMostChangedShare > count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (lanes[i] == list.lanes[i]) continue;
        list.boxed[i] = 0;
        list.read[i].reset();
        if (list.grid != nullptr) box_grid_set_aside(*list.grid, static_cast<int>(i));
    }
    return true;
}

}  // namespace

island_test_lanes& island_test_lanes_follow(island_test_lanes_kept& kept)
{
    if (kept.surfaces < 0) kept.surfaces = D3DS_algorithmIsRun() != 0 ? 1 : 0;
    if (kept.surfaces != 0) {
        island_test_lanes_list(kept.list);
        return kept.list;
    }
    if (!follow_table(kept)) return kept.list;
    const lane_table& lt = lane_table_block;
    // The live lane of every island level (the newest, unless closed), then the first island
    // offsets that are not such a lane: island_test_lanes_list's order.
    std::vector<int>& lanes = kept.lanes;
    lanes.clear();
    const auto live = [&](int k) {
        const int n = kept.newest[static_cast<std::size_t>(k)];
        return n > 0 && lt.status[n] >= 0 && lt.contour_type[n] != kContourPassedOver ? n : 0;
    };
    for (int k = 1; k <= kept.islands; ++k)
        if (const int n = live(k); n > 0) lanes.push_back(n);
    for (const int n : kept.offsets) {
        const int k = lt.level[n] - kLevelIsland;
        if (k < 1 || k > kept.islands || live(k) != n) lanes.push_back(n);
    }
    if (lanes != kept.list.lanes) {
        // Another list: the boxes and reads kept belong to the old positions, and stay only where
        // the list holds the same lane as before.
        if (!keep_unchanged(kept.list, lanes)) forget_lanes(kept.list);
        kept.list.lanes = lanes;
    }
    return kept.list;
}

namespace {

// Lists of fewer lanes are scanned lane by lane; a list that has answered this many moves as it
// stands gets its grid (a list made again for nearly every move would pay for a grid each time).
constexpr std::size_t kGridFromLanes = 64;
constexpr int kMovesBeforeGrid = 32;

// Whether listed lane i is passed by for its box, known and apart from the move's.
bool listed_apart(const conn_scan& s, const island_test_lanes& list, std::size_t i)
{
    return list.boxed[i] != 0 && box_apart(s, list.boxes[i].data());
}

// Tests the move against listed lane i, not passed by for its box: crossed as read before when it
// was, else read (its box and read kept for the next moves).
void test_listed(conn_scan& s, island_test_lanes& list, std::size_t i)
{
    if (list.read[i] != nullptr) {
        const island_test_lane_read& read = *list.read[i];
        cross_lane(s, list.lanes[i], read.points.a, &pk_box_lend(read.boxes, list.lent));
        return;
    }
    test_lane(s, list.lanes[i]);
    if (list.boxed[i] == 0 && cached_box(s, list.lanes[i], list.boxes[i].data())) list.boxed[i] = 1;
    // test_lane read the lane into the work array when its box did not keep it apart.
    if (list.boxed[i] != 0 && s.status >= 0 && !box_apart(s, list.boxes[i].data()))
        keep_read(list, list.read[i], s.work);
}

// Makes the list's grid once every lane's box is known (read now where it is not cached). A lane
// that cannot be read or boxed leaves the list without a grid: the scan meets it in its turn.
void make_grid(conn_scan& s, island_test_lanes& list)
{
    for (std::size_t i = 0; i < list.lanes.size(); ++i) {
        if (list.boxed[i] != 0) continue;
        const int n = list.lanes[i];
        if (!cached_box(s, n, list.boxes[i].data())) {
            int status = 0;
            lane_to_pokarr(n, s.work, status);
            if (status == 0) lane_box(n, -1, s.work, list.boxes[i].data(), status);
            s.cache = nullptr;
            if (status != 0) {
                // Not tried again for this list.
                list.moves = std::numeric_limits<int>::min();
                return;
            }
        }
        list.boxed[i] = 1;
    }
    list.grid = std::make_unique<box_grid>();
    box_grid_build(list.boxes, *list.grid);
}

}  // namespace

void conn_hits_island_listed(island_test_lanes& list, int lane_a, int lane_b, const double* start, const double* end,
                             int& hit, int& status)
{
    // No island lanes (a pocket without islands): the move is clear, without a scan to set up.
    if (list.lanes.empty()) {
        hit = 0;
        status = 0;
        return;
    }
    conn_scan s;
    begin_scan(s, lane_a, lane_b, start, end);
    s.crossed_only = list.crossed_only;
    const std::size_t count = list.lanes.size();
    if (list.boxed.size() != count) {
        list.boxes.assign(count, {});
        list.boxed.assign(count, 0);
        list.moves = 0;
        list.grid.reset();
    }
    if (list.read.size() != count) list.read.resize(count);
    if (list.grid == nullptr && count >= kGridFromLanes && ++list.moves > kMovesBeforeGrid) make_grid(s, list);
    if (list.grid != nullptr) {
        // The lanes whose boxes meet the move's, in the list's order: the others are passed by
        // below for their boxes.
        const double box[4] = {s.xmin, s.ymin, s.xmax, s.ymax};
        box_grid_candidates(*list.grid, box, list.nearby);
        for (std::size_t k = 0; k < list.nearby.size() && !s.done; ++k) {
            const std::size_t i = static_cast<std::size_t>(list.nearby[k]);
            if (!listed_apart(s, list, i)) test_listed(s, list, i);
        }
    } else {
        for (std::size_t i = 0; i < count && !s.done; ++i)
            if (!listed_apart(s, list, i)) test_listed(s, list, i);
    }
    pokarr_free(s.work);
    hit = s.hit;
    status = s.status;
}

void conn_hits_island(int lane_a, int lane_b, const double* start, const double* end, int& hit, int& status)
{
    island_test_lanes list;
    island_test_lanes_list(list);
    conn_hits_island_listed(list, lane_a, lane_b, start, end, hit, status);
}

// Common loops of two crossing loops: comlup_pokarr walks the linked crossing table of A and B
// (cre_comlups_array) from a row to the next along A, switches to B there and walks B to the next
// row along B, until it comes back to the row it started from. Each closed loop is cleaned,
// filtered by direction, area and the inside tests, and recorded as a lane or kept pending for the
// arc-corner re-offset.
#include "pocket_lanes/common_loops.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/crossing_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_run.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/hole_start.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/lane_merge.hpp"
#include "pocket_lanes/loop_relation.hpp"
#include "pocket_lanes/one_offset.hpp"
#include "pocket_lanes/restart_lane.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <vector>

loop_buffer pending_loops_block;
loop_buffer collected_loops_block;
dropped_loops dropped_loops_block;

namespace {

constexpr const char* kComlupDimensionsText = "[comlup_pokarr] DIMENSIONS OF ARRAYS DIFFER";
constexpr double kMinAreaCap = 0.001;
constexpr double kQuarterTurn = 1.5707963267948966;
constexpr double kReferenceShare = 0.999;

}  // namespace

// ---- loop buffers -------------------------------------------------------------------------------

void loop_buffer_clear(loop_buffer& buffer)
{
    pokarr_free(buffer.points);
    buffer.loops = 0;
}

void loop_buffer_add(loop_buffer& buffer, const pokarr& loop, int direction, int& status)
{
    status = 0;
    if (buffer.loops >= kLoopBufferMax) {
        status = kComlupMemory;
        return;
    }
    if (buffer.points.kind == kPokarrEmpty) pokarr_init(loop.dimension, buffer.points);
    pokarr_append(loop.count, loop, 0, buffer.points, status);
    if (status != 0) {
        status = kComlupMemory;
        return;
    }
    ++buffer.loops;
    buffer.counts[buffer.loops] = loop.count;
    buffer.directions[buffer.loops] = direction;
}

// ---- comlup_pokarr -------------------------------------------------------------------------------

namespace {

// A work array that gives its block back on every path.
struct work_loop {
    pokarr a;
    explicit work_loop(int dimension) { pokarr_init(dimension, a); }
    ~work_loop() { pokarr_free(a); }
    work_loop(const work_loop&) = delete;
    work_loop& operator=(const work_loop&) = delete;
};

// The crossing table of comlup_pokarr.
struct comlup_table {
    int elem_a[kComlupsRows], elem_b[kComlupsRows];
    double x[kComlupsRows], y[kComlupsRows], z_a[kComlupsRows], z_b[kComlupsRows];
    int used[kComlupsRows], link[kComlupsRows];
    int row_of_link[kComlupsRows + 1];
    int count = 0;
};

// What one call of comlup_pokarr works with.
struct comlup_call {
    pokarr& a;
    pokarr& b;
    int parent;
    double distance;
    int lane_status;
    int lane_a, lane_b, kind;
    int level_a = -1, level_b = -1;
    int& level_counter;
    double min_area = 0.0, area_a = 0.0, area_b = 0.0, reference = 0.0;
    int f = -1;
    bool arc_corner = false;
    bool pending = false;  // accepted loops go to the pending buffer
    bool first_kept = false;
    double largest = -1.0e30;
    int& largest_index;
    int& largest_lanes;
    int& status;
};

int level_of(int lane)
{
    const lane_table& lt = lane_table_block;
    return lane >= 1 && lane <= lt.count ? lt.level[lane] : -1;
}

// Fills the row of every link along B. The walk reads only links 1 to the row count, so only
// those entries are set: filling the whole column cost more than the search on small loops.
void index_links(comlup_table& t)
{
    std::fill(t.row_of_link, t.row_of_link + t.count + 1, -1);
    for (int i = 0; i < t.count; ++i) t.row_of_link[std::abs(t.link[i])] = i;
}

// Walks one common loop of A and B from row i into loop; the highest row reached and the loop's
// point count then come back. False when a run cannot be appended or the links do not close.
bool walk_common_loop(const pokarr& a, const pokarr& b, comlup_table& t, int i, pokarr& loop, int& highest_row,
                      int& at_highest)
{
    const int rows = t.count;
    int status = 0;
    pokarr_reset(loop, 0, status);
    const double start[3] = {t.x[i], t.y[i], t.z_a[i]};
    pokarr_add_pnt(start, loop, status);
    if (status != 0) return false;
    t.used[i] = -1;
    highest_row = i;
    at_highest = loop.count;
    int r = i;
    for (int steps = 0; steps <= 2 * rows + 2; ++steps) {
        const int next_a = r + 1 < rows ? r + 1 : 0;
        const double pa[3] = {t.x[next_a], t.y[next_a], t.z_a[next_a]};
        pokarr_append_run(a, t.elem_a[r], t.elem_a[next_a], next_a <= r, pa, loop, status);
        if (status != 0) return false;
        const int link = std::abs(t.link[next_a]);
        const int next_link = link >= rows ? 1 : link + 1;
        const int next_b = t.row_of_link[next_link];
        if (next_b < 0) return false;
        const double pb[3] = {t.x[next_b], t.y[next_b], t.z_b[next_b]};
        pokarr_append_run(b, t.elem_b[next_a], t.elem_b[next_b], link >= rows, pb, loop, status);
        if (status != 0) return false;
        if (next_a > highest_row || next_b > highest_row) {
            highest_row = std::max(next_a, next_b);
            at_highest = loop.count;
        }
        if (next_b == i) return true;
        t.used[next_b] = -1;
        r = next_b;
    }
    return false;
}

// Cleans a closed loop and answers its area and direction. The points of a loop on the surface
// are thinned in space: a run straight in XY bends over the surface, and its chord would cut
// through it (the heights of the crossings of a later merge are read off the chords).
void clean_loop(pokarr& loop, double& area, int& direction)
{
    pokarr_drop_short(loop);
    pokarr_tidy_pass1(loop);
    int closed = 1;
    pokarr_drop_redundant(closed, 1, loop);
    pokarr_drop_short(loop);
    pokarr_area_dir(loop, area, direction);
}

// The loop filter: whether the loop survives; island_like answers an island-like loop.
// A memory failure sets the status.
bool loop_survives(comlup_call& c, pokarr& loop, double area, int direction, bool& island_like)
{
    island_like = false;
    const bool reversed_mode = pocket_work_block.reversed_islands != 0;
    const bool below_sources = reversed_mode && (area < c.area_a || area < c.area_b);
    // Where a branch lane and an island lane nearly touch, their merge pinches off a part of the
    // region below the smallest area (a corner where three lanes meet, a sliver where the branch
    // lane runs just outside the island's second offset): no other lane stands there.
    if (c.kind == 0) return direction != c.f && (!(area < c.min_area) || !loop_is_crumb(loop, area)) && !below_sources;
    // A hole between merged island lanes below the smallest area is still material that the
    // islands' offsets close round, which no other lane reaches: only a crumb is dropped.
    const bool small = area < c.min_area && (direction != -1 || loop_is_crumb(loop, area));
    if (small || (area < c.reference && direction == 1) || below_sources) return false;
    pokarr_reverse(loop);
    if (direction != -1) return true;
    island_like = true;
    if (c.kind == 2) return true;
    int result = 0, status = 0;
    loop_in_island_cross_first(loop, c.level_a, c.level_b, result, status);
    if (status == kComlupMemory) c.status = kComlupMemory;
    if (status != 0 || result == 1) return false;
    loop_in_island_inside_first(loop, c.level_a, c.level_b, result, status);
    if (status == kComlupMemory) c.status = kComlupMemory;
    // An island that holds the hole's first point but crosses the hole leaves the rest of it to
    // clear: only an island that holds the whole hole ends it.
    if (status == 0 && result == 1) loop_in_island_wholly(loop, c.level_a, c.level_b, result, status);
    if (status == kComlupMemory) c.status = kComlupMemory;
    if (status != 0 || result == 1) return false;
    if (c.level_a == 1 || c.level_b == 1) return true;
    result = 0;
    loop_in_lanes(c.level_counter, loop, result, status);
    if (status == kComlupMemory) c.status = kComlupMemory;
    if (status != 0 || result != 0) return status == 0 && result == 1;
    // A hole whose first point lies beyond the branch lanes may still reach into one: its part
    // inside is material, cut out of it after the merge.
    const bool crosses = hole_crosses_branch_lane(loop, status);
    if (status == kComlupMemory) c.status = kComlupMemory;
    return status == 0 && crosses;
}

// Steps 8 to 10 for one closed loop: filter, level, record (or keep pending), largest loop.
// False when the walk has to end (lane table full, a refused lane, memory).
bool take_loop(comlup_call& c, pokarr& loop, bool pending, int at_highest)
{
    double area = 0.0;
    int direction = 0;
    clean_loop(loop, area, direction);
    bool island_like = false;
    if (!loop_survives(c, loop, area, direction, island_like)) {
        if (dropped_loops_block.keep && c.kind == 0 && direction == -1 && c.status != kComlupMemory) {
            int status = 0;
            pokarr_reverse(loop);
            loop_buffer_add(dropped_loops_block.loops, loop, 1, status);
            if (status != 0) c.status = kComlupMemory;
        }
        return c.status != kComlupMemory;
    }
    if (c.status == kComlupNone || c.status == kComlupClosedNoneKept) c.status = kComlupRecorded;
    int level = c.level_a;
    if (island_like || (c.kind == 0 && c.first_kept)) level = ++c.level_counter;
    if (c.kind == 0) c.first_kept = true;
    const int kept_direction = c.kind == 0 ? direction : -direction;
    const double signed_area = area * kept_direction;
    const bool largest = signed_area > c.largest;
    if (largest) {
        c.largest = signed_area;
        c.largest_index = at_highest;
        c.largest_lanes = lane_table_block.count;
    }
    int status = 0;
    if (pending) {
        loop_buffer_add(pending_loops_block, loop, kept_direction, status);
        if (status != 0) c.status = kComlupMemory;
        return status == 0;
    }
    int lane_status = c.lane_status, parent = c.parent;
    if (island_like && c.lane_status < 2) lane_status = parent = 1;
    if (island_like && area < c.min_area) hole_start_wide(loop);
    lane_add(lane_status, level, parent, c.lane_a, c.lane_b, c.distance, 0, loop, status);
    if (status == kLaneTableFull || status == kComlupLaneRefused) {
        c.status = status;
        return false;
    }
    if (status != 0) {
        c.status = kComlupMemory;
        return false;
    }
    if (island_like) lane_table_block.group[lane_table_block.count] = c.parent;
    if (largest) c.largest_lanes = lane_table_block.count;
    return true;
}

// Every pending loop offset by R and back (the one-offset step in collection mode);
// what it collects goes through the filter and is recorded.
void reoffset_pending(comlup_call& c, int reoffset_flag, int option)
{
    loop_buffer& pending = pending_loops_block;
    loop_buffer& collected = collected_loops_block;
    work_loop copy(c.a.dimension), all(c.a.dimension), piece(c.a.dimension);
    int status = 0;
    pokarr_copy(pending.points, all.a, status);
    const int loops = pending.loops;
    std::vector<int> counts(pending.counts + 1, pending.counts + 1 + loops);
    if (status != 0) {
        c.status = kComlupMemory;
        return;
    }
    loop_buffer_clear(pending);
    loop_buffer_clear(collected);
    int first = 0;
    for (int k = 0; k < loops; ++k) {
        const int n = counts[static_cast<std::size_t>(k)];
        pokarr_replace(n, all.a, first, copy.a, status);
        first += n;
        if (status != 0) {
            c.status = kComlupMemory;
            return;
        }
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(copy.a, area, direction);
        int branches = c.level_counter;
        oneoff_request request;
        request.collection = kOneoffCollect;
        request.direction_word = 1;
        request.side = -1;
        request.first_offset = pocket_work_block.tool_radius;
        request.distance = 0.0;
        request.source_offset = c.distance;
        request.source_lane = c.parent;
        request.pass = c.lane_status;
        request.level = c.level_a;
        request.branch_count = &branches;
        request.island_mark = direction < 0 ? c.kind : 0;
        request.retry = option != 0 ? 2 : 0;
        const int before = collected.loops;
        int ignored = 0;
        oneoff_pokarr(request, copy.a, ignored);
        if (collected.loops == before && pocket_state_block.single_offset == 1) {
            pokarr_area_dir(copy.a, area, direction);
            loop_buffer_add(collected, copy.a, direction, status);
        }
    }
    c.status = kComlupNone;
    first = 0;
    for (int k = 1; k <= collected.loops; ++k) {
        const int n = collected.counts[k];
        pokarr_replace(n, collected.points, first, piece.a, status);
        first += n;
        if (status != 0) {
            c.status = kComlupMemory;
            return;
        }
        if (!take_loop(c, piece.a, reoffset_flag != 0, piece.a.count)) return;
    }
}

}  // namespace

void comlup_pokarr(int reoffset_flag, pokarr& a, pokarr& b, int parent, double distance, int lane_status, int lane_a,
                   int lane_b, int kind, int option, int& level_counter, int& largest_index, int& largest_lanes,
                   int& status)
{
    status = kComlupNone;
    comlup_call c{a,     b,     parent,        distance, lane_status,   lane_a,        lane_b, kind,
                  -1,    -1,    level_counter, 0.0,      0.0,           0.0,           0.0,    -1,
                  false, false, false,         -1.0e30,  largest_index, largest_lanes, status};
    c.level_a = level_of(lane_a);
    c.level_b = level_of(lane_b);
    const pocket_work& pw = pocket_work_block;
    c.arc_corner = reoffset_flag == 0 && pw.corner_arcs != 0 && !pk_is_zero(pw.reoffset_distance);
    if (c.arc_corner) loop_buffer_clear(pending_loops_block);
    c.pending = c.arc_corner || reoffset_flag != 0;
    c.min_area = std::min(pw.tolerance, kMinAreaCap);
    if (c.arc_corner) c.min_area = std::max(c.min_area, pw.reoffset_distance * kQuarterTurn);
    int direction = 0;
    pokarr_area_dir(a, c.area_a, direction);
    pokarr_area_dir(b, c.area_b, direction);
    c.reference = kReferenceShare * std::max(c.area_a, c.area_b);
    const lane_table& lt = lane_table_block;
    if (kind == 0 && c.arc_corner && lane_a >= 1 && lane_b >= 1 && lane_a <= lt.count && lt.group[lane_a] != 0 &&
        lt.parent[lane_a] == 1 && c.level_b > kLevelIsland && lanes_share_link(lane_a, lane_b, false))
        c.f = 1;
    if (a.dimension != b.dimension) {
        eroutc(kComlupDimensionsText, 0);
        return;
    }
    const int first_new = lt.count + 1;
    auto t = std::make_unique_for_overwrite<comlup_table>();  // rows are read only below the count
    const comlups_columns columns{t->elem_a, t->elem_b, t->x, t->y, t->used, t->link, t->z_a, t->z_b};
    cre_comlups_array(kComlupsLinked, a, b, distance, t->count, columns);
    if (t->count < 1) return;
    index_links(*t);
    if (a.dimension == 2) std::fill(t->z_a, t->z_a + t->count, 0.0), std::fill(t->z_b, t->z_b + t->count, 0.0);
    work_loop loop(a.dimension);
    bool closed_any = false;
    for (int i = 0; i < t->count; ++i) {
        if (t->used[i] != 0) continue;
        int highest = 0, at_highest = 0;
        if (!walk_common_loop(c.a, c.b, *t, i, loop.a, highest, at_highest)) {
            status = kComlupMemory;
            return;
        }
        closed_any = true;
        if (!take_loop(c, loop.a, c.pending, at_highest)) return;
    }
    if (c.arc_corner && pending_loops_block.loops > 0) {
        reoffset_pending(c, reoffset_flag, option);
        if (status == kComlupMemory || status == kLaneTableFull || status == kComlupLaneRefused) return;
    }
    if (closed_any && status == kComlupNone)
        status = c.arc_corner && collected_loops_block.loops == 0 ? kComlupNothingCollected : kComlupClosedNoneKept;
    if (pw.end_point_mode >= 1 && lt.count >= first_new) {
        int nearest_status = 0;
        nearest_lane_to_restart(first_new, lt.count, nearest_status);
        if (nearest_status != 0) status = kComlupMemory;
    }
}

// ---- the common part of two regions ---------------------------------------------------------------

namespace {

// Where A's run from row i to the next row along A lies against B (made ready for inside tests):
// the middles of its elements decide (kLoopOnBoundary: it runs along B all the way). `run` is work
// room.
int run_against(const pokarr& a, const comlup_table& t, int i, inside_loop& b, pokarr& run, int& status)
{
    const int next = i + 1 < t.count ? i + 1 : 0;
    const double start[3] = {t.x[i], t.y[i], 0.0}, end[3] = {t.x[next], t.y[next], 0.0};
    pokarr_reset(run, 0, status);
    if (status == 0) pokarr_add_pnt(start, run, status);
    if (status == 0) pokarr_append_run(a, t.elem_a[i], t.elem_a[next], next <= i, end, run, status);
    if (status != 0) return kLoopOnBoundary;
    return middles_against_loop(run, b, status);
}

// The unit direction of element e of the loop at the point on it (an arc's tangent in its
// direction); `inside` tells whether the point lies off the element's ends. False for an element
// that cannot be read or has no length.
bool direction_at(const pokarr& l, int e, double x, double y, double& ux, double& uy, bool& arc, bool& inside)
{
    const chain_element c = chain_element_at(l.x, l.y, l.count, e);
    if (!c.valid) return false;
    const double p[2] = {x, y}, s[2] = {l.x[c.start], l.y[c.start]}, q[2] = {l.x[c.end], l.y[c.end]};
    inside = pk_eq_pnt2(p, s) == 0 && pk_eq_pnt2(p, q) == 0;
    arc = c.arc;
    ux = c.arc ? -c.dir * (y - c.cy) : q[0] - s[0];
    uy = c.arc ? c.dir * (x - c.cx) : q[1] - s[1];
    const double length = std::hypot(ux, uy);
    if (!(length > 0.0)) return false;
    ux /= length, uy /= length;
    return true;
}

// Drops the rows where an arc touches a line or another arc inside both elements (their
// directions there parallel): the loops meet there without crossing, and the crossing search
// reports such a touch as a crossing. The links along B are numbered again.
void drop_tangent_rows(const pokarr& a, const pokarr& b, comlup_table& t)
{
    int kept = 0;
    for (int i = 0; i < t.count; ++i) {
        double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
        bool a_arc = false, b_arc = false, a_inside = false, b_inside = false;
        const bool tangent = direction_at(a, t.elem_a[i], t.x[i], t.y[i], ax, ay, a_arc, a_inside) &&
                             direction_at(b, t.elem_b[i], t.x[i], t.y[i], bx, by, b_arc, b_inside) &&
                             (a_arc || b_arc) && a_inside && b_inside &&
                             std::fabs(ax * by - ay * bx) < kPocketParallelSine;
        if (tangent) continue;
        t.elem_a[kept] = t.elem_a[i], t.elem_b[kept] = t.elem_b[i];
        t.x[kept] = t.x[i], t.y[kept] = t.y[i], t.link[kept] = t.link[i];
        ++kept;
    }
    if (kept == t.count) return;
    t.count = kept;
    std::vector<int> order(static_cast<std::size_t>(kept));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&t](int p, int q) { return t.link[p] < t.link[q]; });
    for (int k = 0; k < kept; ++k) t.link[order[static_cast<std::size_t>(k)]] = k + 1;
}

// The linked crossing table of two planar loops, touches dropped; false when the search fails.
bool proper_crossings(pokarr& a, const pokarr& b, comlup_table& t)
{
    const comlups_columns columns{t.elem_a, t.elem_b, t.x, t.y, t.used, t.link, t.z_a, t.z_b};
    cre_comlups_array(kComlupsLinked, a, b, 0.0, t.count, columns);
    if (t.count < 0) return false;
    drop_tangent_rows(a, b, t);
    return true;
}

}  // namespace

int comlup_crossings(pokarr& a, const pokarr& b)
{
    auto t = std::make_unique_for_overwrite<comlup_table>();  // rows are read only below the count
    if (a.dimension == 2 && b.dimension == 2) return proper_crossings(a, b, *t) ? t->count : -1;
    // The lanes of a pocket laid on a surface cross where their plans cross: the crossing table
    // of two loops in space takes a crossing whose heights differ for a touch, so the plans are
    // asked.
    pokarr_work plan_a(2), plan_b(2);
    int status = 0;
    pokarr_copy(a, plan_a.a, status);
    if (status == 0) pokarr_copy(b, plan_b.a, status);
    if (status != 0) return -1;
    return proper_crossings(plan_a.a, plan_b.a, *t) ? t->count : -1;
}

namespace {

// The loops of A's runs that lie on the `keep` side of B (kLoopInside or kLoopOutside), closed by
// B's runs inside A in B's direction.
bool part_loops(pokarr& a, const pokarr& b, int keep, loop_buffer& out, int& crossings)
{
    crossings = 0;
    if (a.dimension != 2 || b.dimension != 2) return false;
    auto t = std::make_unique_for_overwrite<comlup_table>();  // rows are read only below the count
    if (!proper_crossings(a, b, *t)) return false;
    crossings = t->count;
    if (t->count == 0) return true;
    // Touching rows are dropped: at every row left A crosses B, so its runs lie inside and outside
    // B by turns, and the first run a test decides tells which.
    if (t->count % 2 != 0) return false;
    inside_loop inside_b;
    inside_loop_make(b, inside_b);
    work_loop run(2), loop(2);
    int first_kept = -1, status = 0;
    for (int i = 0; i < t->count && first_kept < 0; ++i) {
        const int where = run_against(a, *t, i, inside_b, run.a, status);
        if (status != 0) return false;
        if (where != kLoopOnBoundary) first_kept = (where == keep ? i : i + 1) % 2;
    }
    if (first_kept < 0) return false;
    index_links(*t);
    std::fill(t->z_a, t->z_a + t->count, 0.0), std::fill(t->z_b, t->z_b + t->count, 0.0);
    for (int i = first_kept; i < t->count; i += 2) {
        if (t->used[i] != 0) continue;
        int highest = 0, at_highest = 0;
        if (!walk_common_loop(a, b, *t, i, loop.a, highest, at_highest)) return false;
        double area = 0.0;
        int direction = 0;
        clean_loop(loop.a, area, direction);
        if (direction != 1 || !(area > 0.0) || loop.a.count < 4) continue;
        loop_buffer_add(out, loop.a, direction, status);
        if (status != 0) return false;
    }
    return true;
}

}  // namespace

bool comlup_inside_loops(pokarr& a, const pokarr& b, loop_buffer& out, int& crossings)
{
    return part_loops(a, b, kLoopInside, out, crossings);
}

bool comlup_outside_loops(pokarr& a, const pokarr& b, loop_buffer& out, int& crossings)
{
    crossings = 0;
    if (b.dimension != 2) return false;
    // B walked backwards closes A's runs outside it round the part of A's region outside B.
    work_loop backwards(2);
    int status = 0;
    pokarr_copy(b, backwards.a, status);
    if (status != 0) return false;
    pokarr_reverse(backwards.a);
    return part_loops(a, backwards.a, kLoopOutside, out, crossings);
}

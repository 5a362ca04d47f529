// Measures and relations of lanes: loops flattened into point lists (arcs stepped at a chord
// tolerance), the clearance between the lanes of the outer contour and the islands, the distance
// of two lanes, the outer extent check, and the relations of two lanes through their links.
#include "pocket_lanes/lane_measures.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Chord tolerance of the flattening.
constexpr double kFlatChord = 0.01;
constexpr int kMemory = 11;
constexpr int kTooManyPoints = 1;
// Levels above which the clearance skips islands by their boxes.
constexpr int kBoxSkipLevels = 20;
// Thinning of the lanes measured by lanes_min_dist: 10 x max(tolerance, 0.01).
constexpr double kThinShare = 10.0;
constexpr double kThinFloor = 0.01;

// A flattened loop as x, y lists.
struct flat_loop {
    std::vector<double> x, y;
};

// Flattens the loop x, y of count entries at the chord tolerance, closed with its first point.
flat_loop flatten(const double* x, const double* y, int count, double chord)
{
    flat_loop f;
    if (count < 1) return f;
    f.x.push_back(x[0]);
    f.y.push_back(y[0]);
    for (int i = 1; i < count;) {
        if (pk_is_marker(x[i]) && i + 3 < count) {
            double ax[kArcPointsMax], ay[kArcPointsMax];
            int n = 0;
            arc_points(chord, x[i + 1], pk_arc_direction(y[i + 1]), x[i + 2], y[i + 2], x[i - 1], y[i - 1], x[i + 3],
                       y[i + 3], ax, ay, n);
            for (int k = 1; k < n; ++k) f.x.push_back(ax[k]), f.y.push_back(ay[k]);
            i += kArcRecordEntries;
            continue;
        }
        f.x.push_back(x[i]);
        f.y.push_back(y[i]);
        ++i;
    }
    if (f.x.back() != f.x.front() || f.y.back() != f.y.front()) f.x.push_back(x[0]), f.y.push_back(y[0]);
    return f;
}

// Drops the closing point when it equals the first.
void drop_closing(flat_loop& f)
{
    if (f.x.size() > 1 && !nevald(f.x.back(), f.x.front()) && !nevald(f.y.back(), f.y.front()))
        f.x.pop_back(), f.y.pop_back();
}

// The lane's points flattened, the closing point dropped; empty when the lane has none.
flat_loop lane_flat(int lane)
{
    int n = 0;
    lane_npnts(lane, n);
    if (n < 1) return {};
    std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    int count = 0;
    lane_get_xy(lane, x.data(), y.data(), n, count);
    if (count < 1) return {};
    flat_loop f = flatten(x.data(), y.data(), count, kFlatChord);
    drop_closing(f);
    return f;
}

// The nearer of the two one-way distances of two chains.
double chains_distance(const flat_loop& a, const flat_loop& b, double reach)
{
    double best = kNoClearance;
    for (int way = 0; way < 2; ++way) {
        const flat_loop& p = way == 0 ? a : b;
        const flat_loop& q = way == 0 ? b : a;
        int element = 0, status = 0;
        double t = 0.0, nx = 0.0, ny = 0.0, distance = kNoClearance;
        xy_chain_min_dist(reach, p.x.data(), p.y.data(), static_cast<int>(p.x.size()), q.x.data(), q.y.data(),
                          static_cast<int>(q.x.size()), element, t, nx, ny, distance, status);
        if (status == 0 && element > 0) best = std::min(best, distance);
    }
    return best;
}

struct box {
    double xmin, ymin, xmax, ymax;
};

box box_of(const flat_loop& f)
{
    box b{1e30, 1e30, -1e30, -1e30};
    dbl_min_max(f.x.data(), static_cast<int>(f.x.size()), b.xmin, b.xmax);
    dbl_min_max(f.y.data(), static_cast<int>(f.y.size()), b.ymin, b.ymax);
    return b;
}

// Gap between two boxes in x or y (the larger; 0 when they overlap in both).
double box_gap(const box& a, const box& b)
{
    const double gx = std::max(a.xmin - b.xmax, b.xmin - a.xmax);
    const double gy = std::max(a.ymin - b.ymax, b.ymin - a.ymax);
    return std::max({gx, gy, 0.0});
}

// The pair of links of a lane: (first link, second link), or (group, none) for a lane of a group
// whose first link is 1.
void links_of(int lane, int& first, int& second)
{
    const lane_table& lt = lane_table_block;
    first = second = 0;
    if (lane < 1 || lane > lt.count) return;
    first = lt.link1[lane];
    second = lt.link2[lane];
    if (lt.group[lane] != 0 && first == 1) first = lt.group[lane], second = 0;
}

// The recursions follow links back through the table; links of a damaged table can form a
// cycle, so a chain of links longer than the table is cut off.
bool links_meet(int a, int b, bool deep, int depth)
{
    const lane_table& lt = lane_table_block;
    if (depth > lt.count || b < 1 || b > lt.count) return false;
    int a1 = 0, a2 = 0;
    links_of(a, a1, a2);
    const int b1 = lt.link1[b], b2 = lt.link2[b];
    if (b1 > 0 && (b1 == a1 || b1 == a2)) return true;
    if (b2 >= 1) return b2 == a1 || b2 == a2 || links_meet(a, b2, deep, depth + 1);
    return deep && b1 > 0 && links_meet(a, b1, deep, depth + 1);
}

bool share_link(int a, int b, bool deep, int depth)
{
    const lane_table& lt = lane_table_block;
    if (depth > lt.count || a < 1 || a > lt.count) return false;
    if (links_meet(a, b, deep, 0)) return true;
    const int a1 = lt.link1[a], a2 = lt.link2[a];
    if (a2 > 0 && share_link(a2, b, deep, depth + 1)) return true;
    return (a2 >= 1 || (deep && a1 >= 1)) && share_link(a1, b, deep, depth + 1);
}

}  // namespace

void dbl_min_max(const double* values, int count, double& minimum, double& maximum)
{
    minimum = kNoClearance;
    maximum = -kNoClearance;
    for (int i = 0; i < count; ++i) minimum = std::min(minimum, values[i]), maximum = std::max(maximum, values[i]);
}

void xy_flatten_arcs(const double* x, const double* y, int count, pokarr& result, int& status)
{
    status = 0;
    const flat_loop f = flatten(x, y, count, kFlatChord);
    pokarr_reset(result, static_cast<int>(f.x.size()), status);
    for (std::size_t i = 0; i < f.x.size() && status == 0; ++i) {
        const double p[2] = {f.x[i], f.y[i]};
        pokarr_add_pnt(p, result, status);
    }
    if (status != 0) status = kMemory;
}

void pokarr_flatten_arcs(const pokarr& loop, pokarr& result, int& status)
{
    xy_flatten_arcs(loop.x, loop.y, loop.count, result, status);
}

void pokarr_to_float_pnts(const double* x, const double* y, int count, float* points, int& point_count, int& status)
{
    status = 0;
    point_count = 0;
    flat_loop f = flatten(x, y, count, kFlatChord);
    if (f.x.size() > static_cast<std::size_t>(kFlatPointsMax)) {
        const double tolerance = pocket_work_block.tolerance;
        if (!(tolerance > kFlatChord)) {
            status = kMemory;
            return;
        }
        f = flatten(x, y, count, tolerance);
        if (f.x.size() > static_cast<std::size_t>(kFlatPointsMax)) {
            status = kTooManyPoints;
            return;
        }
    }
    point_count = static_cast<int>(f.x.size());
    for (int i = 0; i < point_count; ++i) {
        points[2 * i] = static_cast<float>(f.x[static_cast<std::size_t>(i)]);
        points[2 * i + 1] = static_cast<float>(f.y[static_cast<std::size_t>(i)]);
    }
}

void lanes_island_clearance(int level_status, int island_status, int levels, int island_flag, double reach,
                            double& clearance)
{
    clearance = kNoClearance;
    pokarr lane;
    pokarr_init(2, lane);
    std::vector<flat_loop> islands;
    const lane_table& lt = lane_table_block;
    for (int k = 1; island_flag != 0 && k <= lt.island_count; ++k) {
        int found = 0, status = 0;
        lane_find(0, 0, kLevelIsland + k, island_status, found, lane, status);
        if (status == 0 && found > 0) islands.push_back(lane_flat(found));
    }
    std::vector<box> island_boxes;
    for (const flat_loop& island : islands) island_boxes.push_back(box_of(island));
    for (int level = 1; level <= levels; ++level) {
        int found = 0, status = 0;
        lane_find(0, 0, level, level_status, found, lane, status);
        if (status != 0 || found == 0) continue;
        const flat_loop f = lane_flat(found);
        if (f.x.empty()) continue;
        const box lane_box_xy = box_of(f);
        for (std::size_t i = 0; i < islands.size(); ++i) {
            const flat_loop& island = islands[i];
            if (island.x.empty()) continue;
            const double gap = box_gap(lane_box_xy, island_boxes[i]);
            // Boxes farther apart than twice the reach (and the comparisons' tolerance) hold no
            // two elements whose boxes, each widened by the reach, meet: no distance is measured.
            if (gap > 2.0 * reach + kApartBoxReach) continue;
            if (levels > kBoxSkipLevels && gap > clearance) continue;
            clearance = std::min(clearance, chains_distance(f, island, reach));
        }
    }
    pokarr_free(lane);
}

void lanes_min_dist(int lane_a, int lane_b, double reach, double& distance, int& status)
{
    status = 0;
    distance = kNoClearance;
    flat_loop f[2] = {lane_flat(lane_a), lane_flat(lane_b)};
    const double tolerance = kThinShare * std::max(pocket_work_block.tolerance, kThinFloor);
    for (flat_loop& l : f) {
        if (l.x.empty()) return;
        std::vector<double> xy;
        for (std::size_t i = 0; i < l.x.size(); ++i) xy.push_back(l.x[i]), xy.push_back(l.y[i]);
        int n = static_cast<int>(l.x.size());
        dladstd(2, tolerance, 0, 0.0, xy.data(), n, nullptr, 0, status);
        if (status != 0) {
            status = kMemory;
            return;
        }
        l.x.resize(static_cast<std::size_t>(n));
        l.y.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            l.x[static_cast<std::size_t>(i)] = xy[2 * i], l.y[static_cast<std::size_t>(i)] = xy[2 * i + 1];
    }
    distance = chains_distance(f[0], f[1], reach);
}

void outer_extent_check()
{
    const lane_table& lt = lane_table_block;
    int outer = 0;
    for (int n = 1; n <= lt.count && outer == 0; ++n)
        if (lt.status[n] == 1 && lt.parent[n] == 1) outer = n;
    if (outer == 0) return;
    double outer_min = 0.0, outer_max = 0.0;
    const flat_loop o = lane_flat(outer);
    dbl_min_max(o.x.data(), static_cast<int>(o.x.size()), outer_min, outer_max);
    double parents_min = kNoClearance, parents_max = -kNoClearance;
    for (int n = 1; n <= lt.count; ++n) {
        int points = 0;
        lane_npnts(n, points);
        if (lt.status[n] >= 0 || points != 0) continue;
        const flat_loop p = lane_flat(lt.parent[n]);
        double lo = 0.0, hi = 0.0;
        dbl_min_max(p.x.data(), static_cast<int>(p.x.size()), lo, hi);
        parents_min = std::min(parents_min, lo);
        parents_max = std::max(parents_max, hi);
    }
    pocket_state& ps = pocket_state_block;
    if (parents_max > outer_max && ps.extent_flag != 0) {
        ps.extent_flag = 0;
        ps.direction_sign = -ps.direction_sign;
    }
    if (parents_min < outer_min) ps.extent_flag = 1;
}

bool lane_links_meet(int lane_a, int lane_b, bool deep) { return links_meet(lane_a, lane_b, deep, 0); }

bool lanes_share_link(int lane_a, int lane_b, bool deep) { return share_link(lane_a, lane_b, deep, 0); }

namespace {

// The points of a loop with its arcs flattened at the chord tolerance, and the most that the
// flattening cuts off an arc (the sagitta of its longest chord).
std::vector<std::array<double, 2>> hull_points(const pokarr& loop, double chord, double& cut_off)
{
    std::vector<std::array<double, 2>> points;
    cut_off = 0.0;
    const double* x = loop.x;
    const double* y = loop.y;
    for (int i = 0; i < loop.count;) {
        if (i > 0 && pk_is_marker(x[i]) && i + 3 < loop.count) {
            const double r = std::fabs(x[i + 1]);
            const int direction = pk_arc_direction(y[i + 1]);
            double ax[kArcPointsMax], ay[kArcPointsMax], sweep = 0.0;
            int n = 0;
            arc_points(chord, r, direction, x[i + 2], y[i + 2], x[i - 1], y[i - 1], x[i + 3], y[i + 3], ax, ay, n);
            arc_sweep(direction, x[i + 2], y[i + 2], x[i - 1], y[i - 1], x[i + 3], y[i + 3], sweep);
            for (int k = 1; k < n; ++k) points.push_back({ax[k], ay[k]});
            if (n > 1) cut_off = std::max(cut_off, r * (1.0 - std::cos(0.5 * sweep / (n - 1))));
            i += kArcRecordEntries;
            continue;
        }
        points.push_back({x[i], y[i]});
        ++i;
    }
    return points;
}

double cross(const std::array<double, 2>& o, const std::array<double, 2>& a, const std::array<double, 2>& b)
{
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
}

}  // namespace

double loop_hull_width(const pokarr& loop, double chord)
{
    double cut_off = 0.0;
    std::vector<std::array<double, 2>> p = hull_points(loop, chord, cut_off);
    std::sort(p.begin(), p.end());
    p.erase(std::unique(p.begin(), p.end()), p.end());
    if (p.size() < 3) return 2.0 * cut_off;
    // The hull by the monotone chain, counter-clockwise.
    std::vector<std::array<double, 2>> hull(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); hull[k++] = p[i++])
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= 0.0) --k;
    for (std::size_t i = p.size() - 1, lower = k + 1; i > 0; hull[k++] = p[--i])
        while (k >= lower && cross(hull[k - 2], hull[k - 1], p[i - 1]) <= 0.0) --k;
    hull.resize(k - 1);
    // The width is that across one of the hull's edges: the farthest hull point from its line.
    double width = kNoClearance;
    for (std::size_t e = 0; e < hull.size(); ++e) {
        const auto& a = hull[e];
        const auto& b = hull[(e + 1) % hull.size()];
        const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
        if (!(length > 0.0)) continue;
        double farthest = 0.0;
        for (const auto& q : hull) farthest = std::max(farthest, cross(a, b, q) / length);
        width = std::min(width, farthest);
    }
    return (hull.size() < 3 ? 0.0 : width) + 2.0 * cut_off;
}

bool loop_is_crumb(const pokarr& loop, double area)
{
    double length = 0.0;
    int status = 0;
    pokarr_length(2, loop, nullptr, length, status);
    return status != 0 || !(area > kCrumbWidthShare * pocket_work_block.tolerance * length);
}

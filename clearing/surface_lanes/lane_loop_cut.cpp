// Small loops of a laid lane, cut out before its moves are checked or written, and the crossings
// of a lane laid on the part surfaces, of any length. The search runs
// over a store of entries (lane points with their normals, or a pocket array's entries) that
// gives their XY and moves one entry over another.
#include "clearing/surface_lanes/lane_loop_cut.hpp"

#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

// The loops a lane laid across a fold makes (the tool touching one flank, then the other) are
// cut where their path is at most this many tool diameters (or cells, for a smaller tool) long.
constexpr float kLoopReachDiameters = 2.0f;

// Single-precision lane points, their normals beside them when given.
struct lane_pnt_store {
    lane_pnt* points;
    lane_pnt* normals;
    double x(int k) const { return points[k][0]; }
    double y(int k) const { return points[k][1]; }
    bool same(int a, int b) const { return points[a] == points[b]; }
    void copy(int from, int to) const
    {
        points[to] = points[from];
        if (normals != nullptr) normals[to] = normals[from];
    }
};

// The entries of a pocket array of dimension 3 or 4.
struct pokarr_store {
    pokarr& lane;
    double x(int k) const { return lane.x[k]; }
    double y(int k) const { return lane.y[k]; }
    bool same(int a, int b) const { return lane.x[a] == lane.x[b] && lane.y[a] == lane.y[b] && lane.z[a] == lane.z[b]; }
    void copy(int from, int to) const { pokarr_copy_entry(lane, from, to); }
};

// The string as the tool runs it. A closed string (its last point on its first) runs on from its
// start again, so that a loop may begin before its seam and end after it: its points are then
// indexed past the end, modulo the points that differ (`period`).
template <class Store> struct lane_string {
    const Store& store;
    int count;
    bool closed;

    int period() const { return closed ? count - 1 : count; }
    int at(int k) const { return k % period(); }
    double dist_xy(int a, int b) const
    {
        return std::hypot(store.x(at(a)) - store.x(at(b)), store.y(at(a)) - store.y(at(b)));
    }
    // Twice the signed area of the triangle of points a, b, c in XY.
    double turn_of(int a, int b, int c) const
    {
        const int i = at(a), j = at(b), k = at(c);
        return (store.x(j) - store.x(i)) * (store.y(k) - store.y(i)) -
               (store.y(j) - store.y(i)) * (store.x(k) - store.x(i));
    }
    // Whether the segments from points a and c cross in XY (touching is not crossing).
    bool cross_xy(int a, int c) const
    {
        return turn_of(a, a + 1, c) * turn_of(a, a + 1, c + 1) < 0.0 &&
               turn_of(c, c + 1, a) * turn_of(c, c + 1, a + 1) < 0.0;
    }
    // The segments a loop can start with: each of a closed string, up to the third last of an open one.
    int starts() const { return closed ? period() : count - 3; }
    // Whether segment j (from `first` on) may end a loop from `first`: it must exist and, on a
    // closed string, not come round to the segment before `first`, which meets it at a point.
    bool may_end(int first, int j) const { return closed ? j - first <= period() - 2 : j + 1 < count; }
};

// A loop: the segments that cross (the second as lane_string indexes it) and the length in XY
// of the path between them.
struct lane_loop {
    int first = 0, last = 0;
    double along = 0.0;
};

// The loop that starts with the segment from `first` and ends with a segment crossing it within
// the reach along the string; last equal to first when there is none. Neighbouring segments
// share a point and are not searched.
template <class Store> lane_loop loop_from(const lane_string<Store>& s, int first, double reach)
{
    lane_loop loop{first, first, 0.0};
    for (int j = first + 2; s.may_end(first, j); ++j) {
        loop.along += s.dist_xy(j - 1, j);
        if (loop.along > reach) break;
        if (s.cross_xy(first, j)) {
            loop.last = j;
            return loop;
        }
    }
    loop.last = first;
    return loop;
}

// Of the two ways round a closed string between the crossing segments, the shorter is the loop:
// the other way, from the loop's last segment over the seam back to its first, when that is.
template <class Store> lane_loop shorter_way(const lane_string<Store>& s, const lane_loop& loop)
{
    if (!s.closed) return loop;
    double round = 0.0;
    for (int k = 0; k < s.period(); ++k) round += s.dist_xy(k, k + 1);
    const double ends = s.dist_xy(loop.first, loop.first + 1) + s.dist_xy(loop.last, loop.last + 1);
    const double other = round - loop.along - ends;
    if (!(other < loop.along)) return loop;
    const int first = loop.last % s.period(), back = loop.first % s.period();
    return {first, back > first ? back : back + s.period(), other};
}

// Cuts the loop whose points first + 1 to last go (indexed as lane_string does), so that the move
// from point first runs to the point after last. A loop across a closed string's seam takes the
// seam with it: the string then starts at the point after the loop and closes on it again.
template <class Store> void cut_loop(lane_string<Store>& s, int first, int last)
{
    if (last < s.count - 1 || !s.closed) {
        for (int k = last + 1; k < s.count; ++k) s.store.copy(k, k - (last - first));
        s.count -= last - first;
        return;
    }
    // The loop runs from point first + 1 over the seam (the last point, a copy of the first) to
    // point `wrapped` of the start.
    const int wrapped = last - s.period();
    for (int k = wrapped + 1; k <= first; ++k) s.store.copy(k, k - wrapped - 1);
    s.store.copy(0, first - wrapped);
    s.count = first - wrapped + 1;
}

template <class Store> void loops_cut(const Store& store, int& count, double reach)
{
    const bool closed = count >= 2 && store.same(0, count - 1);
    lane_string<Store> s{store, count, closed};
    for (int i = 0; i < s.starts();) {
        const lane_loop found = loop_from(s, i, reach);
        if (found.last == i) {
            ++i;
            continue;
        }
        // The segment from i is searched again; after a cut across the seam the string starts anew.
        const lane_loop loop = shorter_way(s, found);
        const bool across_seam = s.closed && loop.last >= s.count - 1;
        cut_loop(s, loop.first, loop.last);
        if (across_seam) i = 0;
    }
    count = s.count;
}

// Twice the signed XY area of the polygon of points `from` to `to` (indexed as lane_string does),
// closed from the last back to the first.
template <class Store> double way_area(const lane_string<Store>& s, int from, int to)
{
    double area = 0.0;
    for (int k = from; k <= to; ++k) {
        const int i = s.at(k), j = s.at(k < to ? k + 1 : from);
        area += s.store.x(i) * s.store.y(j) - s.store.x(j) * s.store.y(i);
    }
    return area;
}

// Cuts, at the first crossing of segments i and j of a closed string, the way round with the
// smaller area in XY: the points i + 1 to j, or the points j + 1 over the seam to i. False when
// the string crosses itself nowhere.
template <class Store> bool cut_smaller_way(lane_string<Store>& s)
{
    for (int i = 0; i < s.period(); ++i)
        for (int j = i + 2; s.may_end(i, j); ++j) {
            if (!s.cross_xy(i, j)) continue;
            const double inner = std::fabs(way_area(s, i + 1, j)),
                         outer = std::fabs(way_area(s, j + 1, i + s.period()));
            if (inner <= outer)
                cut_loop(s, i, j);
            else
                cut_loop(s, j, i + s.period());
            return true;
        }
    return false;
}

// Where segment i of the string crosses segment j in XY: the point on segment i, its height
// interpolated along it.
template <class Store> void crossing_point(const lane_string<Store>& s, const pokarr& lane, int i, int j, double* at)
{
    const int a = s.at(i), b = s.at(i + 1), c = s.at(j), d = s.at(j + 1);
    const double ux = lane.x[b] - lane.x[a], uy = lane.y[b] - lane.y[a];
    const double vx = lane.x[d] - lane.x[c], vy = lane.y[d] - lane.y[c];
    const double det = ux * vy - uy * vx;
    const double t = std::clamp(((lane.x[c] - lane.x[a]) * vy - (lane.y[c] - lane.y[a]) * vx) / det, 0.0, 1.0);
    at[0] = lane.x[a] + t * ux, at[1] = lane.y[a] + t * uy, at[2] = lane.z[a] + t * (lane.z[b] - lane.z[a]);
}

// Cuts the way round between crossing segments first and last (indexed as lane_string does) and
// puts the crossing in its place: the point after `first` becomes the crossing, and the move from
// it runs on to the point after `last`. Over the seam the string starts and ends at the crossing.
void cut_at_crossing(lane_string<pokarr_store>& s, int first, int last)
{
    pokarr& lane = s.store.lane;
    double at[3];
    crossing_point(s, lane, first, last, at);
    // The point `last` survives the cut as the point after `first`, or as the string's seam.
    const bool across_seam = last >= s.count - 1;
    cut_loop(s, first, last - 1);
    const int seam[2] = {0, s.count - 1}, after[1] = {first + 1};
    for (const int k : across_seam ? std::span<const int>(seam) : std::span<const int>(after))
        lane.x[k] = at[0], lane.y[k] = at[1], lane.z[k] = at[2];
}

// The length in XY of the way from point `from` to point `to` (indexed as lane_string does).
template <class Store> double way_length(const lane_string<Store>& s, int from, int to)
{
    double length = 0.0;
    for (int k = from; k < to; ++k) length += s.dist_xy(k, k + 1);
    return length;
}

// Cuts, at one crossing of segments i and j of the closed string, a fold: the way round that runs
// against the string's own sense in XY (its signed area of the other sign than the whole
// string's), within the bounds: the points i + 1 to j, or j + 1 over the seam to i. False when no
// crossing has such a way.
bool cut_reversed_way(lane_string<pokarr_store>& s, const fold_bounds& bounds)
{
    const double whole = way_area(s, 0, s.period() - 1);
    const auto fold = [&](int from, int to, const double* crossing) {
        const double area = way_area(s, from, to);
        if (!(area * whole < 0.0 && std::fabs(area) <= 2.0 * bounds.most_area &&
              way_length(s, from - 1, to + 1) <= bounds.most_length))
            return false;
        if (!bounds.fold_points) return true;
        std::vector<int> points;
        for (int k = from; k <= to; ++k)
            if (std::hypot(s.store.x(s.at(k)) - crossing[0], s.store.y(s.at(k)) - crossing[1]) > bounds.at_crossing)
                points.push_back(s.at(k));
        return bounds.fold_points(points);
    };
    for (int i = 0; i < s.period(); ++i)
        for (int j = i + 2; s.may_end(i, j); ++j) {
            if (!s.cross_xy(i, j)) continue;
            double crossing[3];
            crossing_point(s, s.store.lane, i, j, crossing);
            if (fold(i + 1, j, crossing)) {
                cut_at_crossing(s, i, j);
                return true;
            }
            if (fold(j + 1, i + s.period(), crossing)) {
                cut_at_crossing(s, j, i + s.period());
                return true;
            }
        }
    return false;
}

}  // namespace

float grid_loop_reach() { return kLoopReachDiameters * surface_grid_block.projection.cell_size; }

float lane_loop_reach()
{
    return std::max(kLoopReachDiameters * surface_grid_block.projection.tool_diameter, grid_loop_reach());
}

void lane_loops_cut(lane_pnt* points, lane_pnt* normals, int& count, float reach)
{
    loops_cut(lane_pnt_store{points, normals}, count, reach);
}

void lane_loops_cut(pokarr& lane, double reach)
{
    if ((lane.dimension != 3 && lane.dimension != 4) || lane.z == nullptr) return;
    for (int k = 0; k < lane.count; ++k)
        if (pk_is_marker(lane.x[k])) return;  // an arc record: no lane laid on a surface
    loops_cut(pokarr_store{lane}, lane.count, reach);
}

void lane_crossings_cut(lane_pnt* points, lane_pnt* normals, int& count)
{
    const lane_pnt_store store{points, normals};
    if (count < 4 || !store.same(0, count - 1)) return;
    lane_string<lane_pnt_store> s{store, count, true};
    while (s.count >= 4 && cut_smaller_way(s)) {}
    count = s.count;
}

void lane_folds_cut(pokarr& lane, const fold_bounds& bounds, int& cut)
{
    cut = 0;
    if ((lane.dimension != 3 && lane.dimension != 4) || lane.z == nullptr || lane.count < 4) return;
    for (int k = 0; k < lane.count; ++k)
        if (pk_is_marker(lane.x[k])) return;
    const pokarr_store store{lane};
    if (!store.same(0, lane.count - 1)) return;
    lane_string<pokarr_store> s{store, lane.count, true};
    while (s.count >= 4 && cut_reversed_way(s, bounds)) ++cut;
    lane.count = s.count;
}

// Cutting the stretches of a 3-D offset loop that come back across their source.
#include "clearing/surface_lanes/lane_excursion_cut.hpp"

#include "clearing/surface_lanes/grid_projection.hpp"
#include "host/vantu_vector.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// lan_on_grid: the two ends as they are, an open string.
constexpr int kGridPlain = 0;
constexpr int kGridOpen = 0;
// The source's segments are bucketed in square cells of the least distance, but never in more
// cells than this (a long thin loop at a tiny distance would ask for millions).
constexpr double kMostCells = 250000.0;
// At most this many of a point's nearest source segments are traced over the surface.
constexpr int kMostTraced = 4;
// The longest excursion, in offsets, taken without a look at where it goes: out across the
// source by up to the offset and back, from and to a point up to an offset before it.
constexpr double kLongestExcursion = 4.0;
// A longer run is an excursion only where it lies on the far side of the source: it reaches
// across by at least this share of the offset (a walk that overshot, or a corner filled round the
// wrong side, goes out by nearly the offset) with at least this share of its length across. A run
// into a part of the region narrower than the offset (a wedge's tip, a neck, the rim of a hole)
// stays mostly on the source's own side and crosses it by less; its cut would join the loop
// across that part, leaving it uncovered or the loop crossing itself.
constexpr double kAcrossDepthShare = 0.8;
constexpr double kAcrossLengthShare = 0.5;

struct point3 {
    double v[3] = {0.0, 0.0, 0.0};
};

point3 at(const pokarr& a, int i) { return {{a.x[i], a.y[i], a.z[i]}}; }

// The source's segments (point k to k + 1, the closing one included) in XY cells.
struct source_cells {
    const pokarr& source;
    int segments = 0;
    double x0 = 0.0, y0 = 0.0, cell = 1.0;
    int columns = 1, rows = 1;
    std::vector<std::vector<int>> members;

    source_cells(const pokarr& s, double least) : source(s)
    {
        const int n = s.count;
        const bool closed = s.x[0] == s.x[n - 1] && s.y[0] == s.y[n - 1] && s.z[0] == s.z[n - 1];
        segments = closed ? n - 1 : n;
        double x1 = s.x[0], y1 = s.y[0];
        x0 = x1, y0 = y1;
        for (int k = 1; k < n; ++k) {
            x0 = std::min(x0, s.x[k]), x1 = std::max(x1, s.x[k]);
            y0 = std::min(y0, s.y[k]), y1 = std::max(y1, s.y[k]);
        }
        cell = std::max({least, std::sqrt((x1 - x0) * (y1 - y0) / kMostCells), 1.0e-3});
        columns = static_cast<int>((x1 - x0) / cell) + 1;
        rows = static_cast<int>((y1 - y0) / cell) + 1;
        members.resize(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
        for (int k = 0; k < segments; ++k) {
            const point3 a = start(k), b = end(k);
            for (int r = row(std::min(a.v[1], b.v[1])); r <= row(std::max(a.v[1], b.v[1])); ++r)
                for (int c = column(std::min(a.v[0], b.v[0])); c <= column(std::max(a.v[0], b.v[0])); ++c)
                    members[index(c, r)].push_back(k);
        }
    }
    point3 start(int k) const { return at(source, k); }
    point3 end(int k) const { return at(source, k + 1 < source.count ? k + 1 : 0); }
    int column(double x) const { return std::clamp(static_cast<int>((x - x0) / cell), 0, columns - 1); }
    int row(double y) const { return std::clamp(static_cast<int>((y - y0) / cell), 0, rows - 1); }
    std::size_t index(int c, int r) const { return static_cast<std::size_t>(r) * columns + c; }

    // The segments whose cells touch the XY box from (xa, ya) to (xb, yb), each once.
    std::vector<int> near_box(double xa, double ya, double xb, double yb) const
    {
        std::vector<int> found;
        for (int r = row(ya); r <= row(yb); ++r)
            for (int c = column(xa); c <= column(xb); ++c)
                found.insert(found.end(), members[index(c, r)].begin(), members[index(c, r)].end());
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        return found;
    }
};

// The foot of p on the segment from a to b in XY, its height along the segment: the offset walks
// from a point of its source square to the source's segment in XY, so the walk that reaches p
// from this segment starts there. False when the foot falls on neither the segment's inside: at a
// vertex the offset's corner fill walks in directions between its two segments', which a straight
// path from the vertex does not measure.
bool foot_on(const point3& p, const point3& a, const point3& b, point3& foot)
{
    const double ax = b.v[0] - a.v[0], ay = b.v[1] - a.v[1];
    const double length2 = ax * ax + ay * ay;
    if (!(length2 > 0.0)) return false;
    const double t = ((p.v[0] - a.v[0]) * ax + (p.v[1] - a.v[1]) * ay) / length2;
    if (!(t > 0.0 && t < 1.0)) return false;
    foot = {{a.v[0] + t * ax, a.v[1] + t * ay, a.v[2] + t * (b.v[2] - a.v[2])}};
    return true;
}

// The length of the surface's section over the straight XY segment from p to q; a negative
// value when it cannot be traced. `path` is the work array.
double surface_path(const point3& p, const point3& q, pokarr& path, int& status)
{
    path.count = 0;
    int added = 0;
    pokarr_add_pnt(p.v, path, added);
    if (added >= 0) pokarr_add_pnt(q.v, path, added);
    if (added < 0) {
        status = kExcursionArrayFailed;
        return -1.0;
    }
    int laid = 0;
    lan_on_grid(kGridPlain, kGridOpen, path, 0.0, laid);
    if (laid == kProjectNoArray) status = kExcursionArrayFailed;
    if (laid != 0) return -1.0;
    double length = 0.0;
    pokarr_length(3, path, nullptr, length, laid);
    return laid == 0 ? length : -1.0;
}

// The XY distance from p to the source's nearest segment, `reach` when none is nearer.
double distance_to_source(const source_cells& cells, const point3& p, double reach)
{
    double nearest = reach;
    for (int k : cells.near_box(p.v[0] - reach, p.v[1] - reach, p.v[0] + reach, p.v[1] + reach)) {
        const point3 a = cells.start(k), b = cells.end(k);
        const double ax = b.v[0] - a.v[0], ay = b.v[1] - a.v[1], length2 = ax * ax + ay * ay;
        const double t =
            length2 > 0.0 ? std::clamp(((p.v[0] - a.v[0]) * ax + (p.v[1] - a.v[1]) * ay) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(p.v[0] - a.v[0] - t * ax, p.v[1] - a.v[1] - t * ay));
    }
    return nearest;
}

// Whether p lies nearer the source than `least` over the surface: from the inside of one of its
// nearest source segments in XY (no path over the surface is shorter than its XY length) the
// section of the surface square to the segment, the path the offset's own walk takes, is shorter
// than that. With `from_vertices` the section from the nearest source vertex counts too: a point
// beyond the ends of both segments at a vertex (where the source jogs by a few thousandths)
// lies in reach of that vertex, and any path over the surface bounds its distance from above.
// A contour's first offset keeps its distance in XY (pocket_work.contour_offset_in_plane): there
// p is near when its XY distance from the source is below `least`.
bool near_source(const source_cells& cells, const point3& p, double least, bool from_vertices, pokarr& path,
                 int& status)
{
    if (pocket_work_block.contour_offset_in_plane != 0) return distance_to_source(cells, p, least) < least;
    std::vector<std::pair<double, point3>> candidates;
    std::pair<double, point3> vertex{least, {}};
    for (int k : cells.near_box(p.v[0] - least, p.v[1] - least, p.v[0] + least, p.v[1] + least)) {
        const point3 a = cells.start(k);
        const double to_start = std::hypot(p.v[0] - a.v[0], p.v[1] - a.v[1]);
        if (to_start < vertex.first) vertex = {to_start, a};
        point3 foot;
        if (!foot_on(p, a, cells.end(k), foot)) continue;
        const double d = std::hypot(p.v[0] - foot.v[0], p.v[1] - foot.v[1]);
        if (d < least) candidates.push_back({d, foot});
    }
    if (from_vertices && vertex.first < least) candidates.push_back(vertex);
    std::sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (candidates.size() > kMostTraced) candidates.resize(kMostTraced);
    for (const auto& [d, foot] : candidates) {
        const double length = surface_path(p, foot, path, status);
        if (status != 0) return false;
        if (length >= 0.0 && length < least) return true;
    }
    return false;
}

// Whether the XY segments p-q and a-b cross (touching counts).
bool crosses_xy(const point3& p, const point3& q, const point3& a, const point3& b)
{
    const auto side = [](const point3& o, const point3& s, const point3& t) {
        return (s.v[0] - o.v[0]) * (t.v[1] - o.v[1]) - (s.v[1] - o.v[1]) * (t.v[0] - o.v[0]);
    };
    const double d1 = side(p, q, a), d2 = side(p, q, b), d3 = side(a, b, p), d4 = side(a, b, q);
    return ((d1 <= 0.0 && d2 >= 0.0) || (d1 >= 0.0 && d2 <= 0.0)) &&
           ((d3 <= 0.0 && d4 >= 0.0) || (d3 >= 0.0 && d4 <= 0.0)) && !(d1 == 0.0 && d2 == 0.0);
}

// Whether the XY segment p-q crosses the source.
bool crosses_source(const source_cells& cells, const point3& p, const point3& q)
{
    for (int s : cells.near_box(std::min(p.v[0], q.v[0]), std::min(p.v[1], q.v[1]), std::max(p.v[0], q.v[0]),
                                std::max(p.v[1], q.v[1])))
        if (crosses_xy(p, q, cells.start(s), cells.end(s))) return true;
    return false;
}

// Whether one of the loop's segments from `first` to `last` (point k to k + 1) crosses the source.
bool run_crosses(const source_cells& cells, const pokarr& loop, int first, int last)
{
    for (int k = first; k <= last; ++k)
        if (crosses_source(cells, at(loop, k), at(loop, k + 1))) return true;
    return false;
}

// Whether p lies inside the source loop in XY (its crossings with a ray towards +x, odd).
bool inside_source(const source_cells& cells, const point3& p)
{
    bool inside = false;
    for (int k = 0; k < cells.segments; ++k) {
        const point3 a = cells.start(k), b = cells.end(k);
        if ((a.v[1] > p.v[1]) == (b.v[1] > p.v[1])) continue;
        const double x = a.v[0] + (p.v[1] - a.v[1]) / (b.v[1] - a.v[1]) * (b.v[0] - a.v[0]);
        if (x > p.v[0]) inside = !inside;
    }
    return inside;
}

// Whether the point stands on the source in XY, within the pocket's tolerance, and whether a
// point of the run from i to j does: a walk that overshot back onto its source and no further
// meets it only within the rounding of the two, which the crossing test may miss. Reads
// pocket_work (tolerance, working tolerance).
bool on_source(const source_cells& cells, const point3& p)
{
    const pocket_work& w = pocket_work_block;
    const double reach = std::max(w.tolerance, w.working_tolerance);
    return reach > 0.0 && distance_to_source(cells, p, reach) < reach;
}

bool run_touches(const source_cells& cells, const pokarr& loop, int i, int j)
{
    for (int k = i; k <= j; ++k)
        if (on_source(cells, at(loop, k))) return true;
    return false;
}

// Whether the run from i to j lies on the far side of the source from the point before it: it
// reaches across by at least the depth share of `least`, with at least the length share of its
// length across.
bool lies_across(const source_cells& cells, const pokarr& loop, int i, int j, double least)
{
    const bool own_side = inside_source(cells, at(loop, i - 1));
    double deepest = 0.0, across = 0.0, along = 0.0;
    for (int k = i; k <= j; ++k) {
        const point3 p = at(loop, k);
        const double step = distd(3, at(loop, k - 1).v, p.v);
        along += step;
        if (inside_source(cells, p) == own_side) continue;
        across += step;
        deepest = std::max(deepest, distance_to_source(cells, p, least));
    }
    return deepest >= kAcrossDepthShare * least && across >= kAcrossLengthShare * along;
}

// The last point of the run of near points from i on: the run goes on over points that are not
// near (a walk that found no way, a foot at a vertex) while the next near point follows within
// `reach` along the loop, and ends before `last`.
int run_end(const pokarr& loop, const std::vector<char>& near, int i, int last, double reach)
{
    int j = i;
    double gap = 0.0;
    for (int k = i + 1; k < last; ++k) {
        gap += distd(3, at(loop, k - 1).v, at(loop, k).v);
        if (gap > reach) break;
        if (near[static_cast<std::size_t>(k)] == 0) continue;
        j = k;
        gap = 0.0;
    }
    return j;
}

// Whether the points before and after the run stand nearer each other than `least` in XY (on a
// steep flank the two stand at heights far apart where the loop's way out and back climbs across
// the slope, as an offset of a source that zigzags by a few tenths does), and whether the loop
// comes back beside where the run left it: they do, and the run is no longer than the way out and
// back of a walk that overshot its source by the offset, or lies across the source. A run that
// ends elsewhere, or a long one on the source's own side, follows a part of the region narrower
// than the offset, whose crossings the lane engine's loop removal resolves as in the plane; its
// cut would join far points across the region.
bool ends_beside(const pokarr& loop, int i, int j, double least)
{
    return distd(2, at(loop, i - 1).v, at(loop, j + 1).v) < least;
}

bool comes_back(const source_cells& cells, const pokarr& loop, int i, int j, double least)
{
    if (!ends_beside(loop, i, j, least)) return false;
    double along = 0.0;
    for (int k = i; k <= j + 1; ++k) along += distd(2, at(loop, k - 1).v, at(loop, k).v);
    return along <= kLongestExcursion * least || lies_across(cells, loop, i, j, least);
}

// Where the segment from p to q crosses the one from a to b in XY: the point on p-q (its height
// interpolated); false when they do not cross.
bool crossing_xy(const point3& p, const point3& q, const point3& a, const point3& b, point3& at_crossing)
{
    const double ux = q.v[0] - p.v[0], uy = q.v[1] - p.v[1], vx = b.v[0] - a.v[0], vy = b.v[1] - a.v[1];
    const double det = ux * vy - uy * vx;
    if (det == 0.0) return false;
    const double wx = a.v[0] - p.v[0], wy = a.v[1] - p.v[1];
    const double s = (wx * vy - wy * vx) / det, t = (wx * uy - wy * ux) / det;
    if (s < 0.0 || s > 1.0 || t < 0.0 || t > 1.0) return false;
    at_crossing = {{p.v[0] + s * ux, p.v[1] + s * uy, p.v[2] + s * (q.v[2] - p.v[2])}};
    return true;
}

// Marks the run from i to j for removal. Where the loop's way into the run (the segment from the
// point before it) crosses its way out within `least` after the run (the two offsets meet at the
// corner the excursion went round), the loop is closed at that crossing: the run's first point
// moves onto it and the points up to the way out go. Otherwise the points before and after the
// run are joined straight, unless that join crosses the source (the run is then left, -1).
// Returns the last point removed.
int remove_run(const source_cells& cells, pokarr& loop, int i, int j, double least, std::vector<char>& removed)
{
    const point3 p = at(loop, i - 1), q = at(loop, i);
    double out = 0.0;
    for (int b = std::max(j, i + 1); b + 1 < loop.count - 1 && out < least; ++b) {
        const point3 c = at(loop, b), d = at(loop, b + 1);
        point3 meeting;
        if (crossing_xy(p, q, c, d, meeting)) {
            loop.x[i] = meeting.v[0], loop.y[i] = meeting.v[1], loop.z[i] = meeting.v[2];
            std::fill(removed.begin() + i + 1, removed.begin() + b + 1, 1);
            return b;
        }
        out += distd(3, c.v, d.v);
    }
    if (crosses_source(cells, p, at(loop, j + 1))) return -1;
    std::fill(removed.begin() + i, removed.begin() + j + 1, 1);
    return j;
}

// Cuts, out of a run from i to j whose ends stand apart (the loop runs on past the source rather
// than into a part narrower than the offset), each stretch of it that stands on the far side of
// the source in XY from the point before the run, with the points beside it that stand on the
// source (on_source), where that stretch comes back beside where it left (comes_back). On a steep
// flank a whole stretch of the offset may run a little nearer its source than the offset while a
// spike of it pokes across the source and back: no point across the source is part of the offset,
// and left in, the spike makes the whole loop cross its source; the points on the source go with
// it, so that the loop keeps off the source where it is joined. Returns the last point removed
// (j when none beyond it).
int cut_across_stretches(const source_cells& cells, pokarr& loop, int i, int j, double least,
                         std::vector<char>& removed)
{
    const bool own_side = inside_source(cells, at(loop, i - 1));
    int from = i;  // the first point that no stretch has taken
    for (int a = i; a <= j;) {
        if (inside_source(cells, at(loop, a)) == own_side) {
            ++a;
            continue;
        }
        int b = a;
        while (b < j && inside_source(cells, at(loop, b + 1)) != own_side) ++b;
        while (a > from && on_source(cells, at(loop, a - 1))) --a;
        while (b < j && on_source(cells, at(loop, b + 1))) ++b;
        a = from =
            (b < j && comes_back(cells, loop, a, b, least) ? std::max(remove_run(cells, loop, a, b, least, removed), b)
                                                           : b) +
            1;
    }
    return std::max(j, from - 1);
}

// Cuts the runs of the closed loop that do not hold its first point. first_near: whether the
// first point is near the source (a run holding it is left to the caller).
void cut_runs(const source_cells& cells, double least, pokarr& loop, int& cut, bool& first_near, int& status)
{
    pokarr path;
    pokarr_init(3, path);
    std::vector<char> near(static_cast<std::size_t>(loop.count), 0);
    for (int i = 0; i < loop.count && status == 0; ++i)
        near[static_cast<std::size_t>(i)] = near_source(cells, at(loop, i), least, false, path, status) ? 1 : 0;
    pokarr_free(path);
    if (status != 0) return;
    first_near = near[0] != 0;
    // The runs of near points, each kept or marked for removal.
    std::vector<char> removed(near.size(), 0);
    const int last = loop.count - 1;  // the closing point, on the first
    for (int i = 1; i < last;) {
        if (near[static_cast<std::size_t>(i)] == 0) {
            ++i;
            continue;
        }
        const int j = run_end(loop, near, i, last, least);
        int next = j + 1;
        const bool holds_first = first_near && (i == 1 || j == last - 1);
        const bool crosses = !holds_first && run_crosses(cells, loop, i - 1, j);
        if (!holds_first && 2 * (j - i + 1) < loop.count && comes_back(cells, loop, i, j, least) &&
            (crosses || run_touches(cells, loop, i, j)))
            next = std::max(remove_run(cells, loop, i, j, least, removed), j) + 1;
        else if (crosses && !ends_beside(loop, i, j, least))
            next = cut_across_stretches(cells, loop, i, j, least, removed) + 1;
        i = next;
    }
    int kept = 0;
    for (int i = 0; i < loop.count; ++i) {
        if (removed[static_cast<std::size_t>(i)] != 0) continue;
        loop.x[kept] = loop.x[i], loop.y[kept] = loop.y[i], loop.z[kept] = loop.z[i];
        ++kept;
    }
    cut += loop.count - kept;
    loop.count = kept;
}

// Starts the closed loop (its last point on its first) at its point `start` instead.
void start_loop_at(pokarr& loop, int start)
{
    const int n = loop.count - 1;  // distinct points
    if (start <= 0 || start >= n) return;
    for (double* c : {loop.x, loop.y, loop.z}) {
        std::rotate(c, c + start, c + n);
        c[n] = c[0];
    }
}

}  // namespace

void lane_excursion_cut(const pokarr& source, double least, pokarr& loop, int& cut, int& status)
{
    status = 0;
    cut = 0;
    if (!(least > 0.0) || source.count < 3 || loop.count < 4 || source.z == nullptr || loop.dimension != 3) return;
    const source_cells cells(source, least);
    bool first_near = false;
    cut_runs(cells, least, loop, cut, first_near, status);
    if (status != 0 || !first_near || loop.count < 4) return;
    // A run that holds the loop's first point is judged with the loop started half way round (a
    // run of half the loop's points or more is never cut), and the loop then starts again where
    // it did, or at the point kept nearest to where it did.
    const point3 first = at(loop, 0);
    start_loop_at(loop, loop.count / 2);
    cut_runs(cells, least, loop, cut, first_near, status);
    if (status != 0) return;
    int back = 0;
    for (int k = 1; k + 1 < loop.count; ++k)
        if (distd(3, at(loop, k).v, first.v) < distd(3, at(loop, back).v, first.v)) back = k;
    start_loop_at(loop, back);
}

int lane_points_near_source(const pokarr& source, double least, const pokarr& loop, const std::vector<int>& points,
                            int& status)
{
    status = 0;
    if (!(least > 0.0) || source.count < 3 || source.z == nullptr || loop.z == nullptr) return 0;
    const source_cells cells(source, least);
    pokarr path;
    pokarr_init(3, path);
    int near = 0;
    for (const int k : points) {
        if (near_source(cells, at(loop, k), least, true, path, status)) ++near;
        if (status != 0) break;
    }
    pokarr_free(path);
    return near;
}

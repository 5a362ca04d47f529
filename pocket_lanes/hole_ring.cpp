// The ring round a hole lane, found through the lane table's links, and whether the hole is clear
// of every island. Every merge records the two lanes it was made from as the new lanes' links, so
// the lanes a merged island lane was made from are its ancestors along both links; a hole lane's
// first link leads to the lane it was cut from.
#include "pocket_lanes/hole_ring.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The chords that stand for a loop's arcs keep within this share of the pocket's tolerance of
// them: a distance between two flattened loops is then true within a quarter of the tolerance.
constexpr double kChordShare = 0.125;
// Most chords one arc is cut into: an arc of a radius far above the tolerance stays bounded.
constexpr int kArcChordsMax = 4096;

// The island lane hole L was cut from: back along first links past the holes (lanes with a group)
// that later merges cut L from. 0 when the links lead nowhere.
int hole_source(int lane_l)
{
    const lane_table& lt = lane_table_block;
    int n = lane_l;
    // Links lead to older lanes: a link that does not is a damaged table, and the walk stops.
    while (lane_valid(n) && lt.group[n] != 0) {
        const int from = lt.link1[n];
        if (!lane_valid(from) || from >= n) return 0;
        n = from;
    }
    return lane_valid(n) ? n : 0;
}

// A loop as a closed polyline: its vertices, and each arc cut into chords that keep within the
// sagitta of it. The box holds every point.
struct polyline {
    std::vector<double> x, y;
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    void add(double px, double py)
    {
        x.push_back(px), y.push_back(py);
        box[0] = std::min(box[0], px), box[1] = std::min(box[1], py);
        box[2] = std::max(box[2], px), box[3] = std::max(box[3], py);
    }
};

// The arc from (sx, sy) of the record at entry i, cut into chords; its end point is added last.
void add_arc(const pokarr& loop, int i, double sx, double sy, double sagitta, polyline& out)
{
    const double r = loop.x[i + 1], cx = loop.x[i + 2], cy = loop.y[i + 2];
    const double ex = loop.x[i + 3], ey = loop.y[i + 3];
    const int d = pk_arc_direction(loop.y[i + 1]);
    const double a0 = std::atan2(sy - cy, sx - cx);
    double sweep = d * (std::atan2(ey - cy, ex - cx) - a0);
    while (sweep < 0.0) sweep += 2.0 * std::numbers::pi;
    const double turn = r > sagitta ? 2.0 * std::acos(1.0 - sagitta / r) : sweep;
    const int chords = std::clamp(static_cast<int>(std::ceil(sweep / std::max(turn, 1e-9))), 1, kArcChordsMax);
    for (int k = 1; k < chords; ++k) {
        const double a = a0 + d * sweep * k / chords;
        out.add(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    out.add(ex, ey);
}

polyline flattened(const pokarr& loop, double sagitta)
{
    polyline out;
    for (int i = 0; i < loop.count; ++i) {
        if (!pk_is_marker(loop.x[i])) {
            out.add(loop.x[i], loop.y[i]);
            continue;
        }
        if (i >= 1 && i + 3 < loop.count) add_arc(loop, i, loop.x[i - 1], loop.y[i - 1], sagitta, out);
        i += kArcRecordEntries - 1;
    }
    return out;
}

bool boxes_apart(const double* a, const double* b, double margin)
{
    return a[0] > b[2] + margin || b[0] > a[2] + margin || a[1] > b[3] + margin || b[1] > a[3] + margin;
}

double cross(double ax, double ay, double bx, double by, double px, double py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

double point_segment(double px, double py, double ax, double ay, double bx, double by)
{
    double distance = 0.0, nx = 0.0, ny = 0.0;
    seg_dist2(2, px, py, ax, ay, bx, by, distance, nx, ny);
    return distance;
}

// Distance of segments a0 a1 and b0 b1: 0 where they cross, else the nearest end to the other.
double segment_distance(double a0x, double a0y, double a1x, double a1y, double b0x, double b0y, double b1x, double b1y)
{
    const double c1 = cross(a0x, a0y, a1x, a1y, b0x, b0y), c2 = cross(a0x, a0y, a1x, a1y, b1x, b1y);
    const double c3 = cross(b0x, b0y, b1x, b1y, a0x, a0y), c4 = cross(b0x, b0y, b1x, b1y, a1x, a1y);
    if (((c1 < 0.0 && c2 > 0.0) || (c1 > 0.0 && c2 < 0.0)) && ((c3 < 0.0 && c4 > 0.0) || (c3 > 0.0 && c4 < 0.0)))
        return 0.0;
    return std::min({point_segment(a0x, a0y, b0x, b0y, b1x, b1y), point_segment(a1x, a1y, b0x, b0y, b1x, b1y),
                     point_segment(b0x, b0y, a0x, a0y, a1x, a1y), point_segment(b1x, b1y, a0x, a0y, a1x, a1y)});
}

// Whether the polylines come nearer each other than `limit`.
bool nearer_than(const polyline& a, const polyline& b, double limit)
{
    for (std::size_t i = 0; i + 1 < a.x.size(); ++i) {
        const double s[4] = {std::min(a.x[i], a.x[i + 1]), std::min(a.y[i], a.y[i + 1]), std::max(a.x[i], a.x[i + 1]),
                             std::max(a.y[i], a.y[i + 1])};
        if (boxes_apart(s, b.box, limit)) continue;
        for (std::size_t k = 0; k + 1 < b.x.size(); ++k) {
            // Segments whose boxes lie farther apart than the limit are no nearer than it: most
            // pairs of a long hole and an island are passed by here, unmeasured.
            const double t[4] = {std::min(b.x[k], b.x[k + 1]), std::min(b.y[k], b.y[k + 1]),
                                 std::max(b.x[k], b.x[k + 1]), std::max(b.y[k], b.y[k + 1])};
            if (boxes_apart(s, t, limit)) continue;
            if (segment_distance(a.x[i], a.y[i], a.x[i + 1], a.y[i + 1], b.x[k], b.y[k], b.x[k + 1], b.y[k + 1]) <
                limit)
                return true;
        }
    }
    return false;
}

// Whether the island of contour row n was ignored (its first offset vanished): its level was
// closed by an empty lane hung from the contour.
bool island_ignored(int n)
{
    const lane_table& lt = lane_table_block;
    for (int k = n + 1; k <= lt.count; ++k) {
        if (lt.level[k] != lt.level[n] || lt.parent[k] != n || lt.status[k] >= 0) continue;
        int points = 0;
        lane_npnts(k, points);
        if (points == 0) return true;
    }
    return false;
}

}  // namespace

bool lane_is_ring_of_hole(int lane_j, int lane_l)
{
    const lane_table& lt = lane_table_block;
    const int source = hole_source(lane_l);
    if (source == 0 || !lane_valid(lane_j) || source > lane_j) return false;
    // J's ancestors along both links; each lane is visited once, and only lanes no older than the
    // source can lead to it.
    std::vector<char> seen(static_cast<std::size_t>(lane_j) + 1, 0);
    std::vector<int> open{lane_j};
    seen[static_cast<std::size_t>(lane_j)] = 1;
    while (!open.empty()) {
        const int n = open.back();
        open.pop_back();
        if (n == source) return true;
        for (const int from : {lt.link1[n], lt.link2[n]}) {
            if (from < source || from >= n || seen[static_cast<std::size_t>(from)] != 0) continue;
            seen[static_cast<std::size_t>(from)] = 1;
            open.push_back(from);
        }
    }
    return false;
}

bool hole_meets_island(int lane_l, int& status)
{
    status = 0;
    const lane_table& lt = lane_table_block;
    pokarr_work hole(lane_array_dimension()), island(lane_array_dimension());
    lane_to_pokarr(lane_l, hole.a, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return false;
    }
    const double tolerance = pocket_work_block.tolerance;
    const double sagitta = kChordShare * tolerance;
    const polyline hole_line = flattened(hole.a, sagitta);
    inside_loop inside;
    inside_loop_make(hole.a, inside);
    // The contours are the table's first rows: the outer contour, then one per island.
    const int last = std::min(lt.count, lt.island_count + 1);
    for (int n = 2; n <= last; ++n) {
        // The island's first offset less the tolerance, with the flattening's error on both loops
        // taken off: a hole that the bounding islands' offsets make keeps its distance.
        const double limit = lt.offset[n] - tolerance + 2.0 * sagitta;
        const double margin = std::max(limit, 0.0);
        double box[4];
        // A contour's box is cached after its first read: most islands stand apart from the hole.
        const bool cached = lt.box_handle != -1 && lt.box_index[n] != -1;
        if (cached) {
            lane_box(n, -1, island.a, box, status);
            if (status != 0) return false;
            if (boxes_apart(hole_line.box, box, margin)) continue;
        }
        lane_to_pokarr(n, island.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return false;
        }
        if (island.a.count < 1) continue;
        if (!cached) {
            lane_box(n, -1, island.a, box, status);
            if (status != 0) return false;
            if (boxes_apart(hole_line.box, box, margin)) continue;
        }
        if (island_ignored(n)) continue;
        int where = 0;
        pnt_in_inside_loop(island.a.x[0], island.a.y[0], inside, where, status);
        if (status != 0) return false;
        if (where == kLoopInside) return true;
        if (limit > 0.0 && nearer_than(hole_line, flattened(island.a, sagitta), limit)) return true;
    }
    return false;
}

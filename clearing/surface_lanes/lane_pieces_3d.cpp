// Appending, joining and unlooping the pieces of the 3-D lane offset.
#include "clearing/surface_lanes/lane_pieces_3d.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Two points within this in every coordinate are one point (the grid's coordinates are
// millimetres; far below a cell, far above rounding).
constexpr double kSamePoint = 1.0e-6;
// Unit directions whose cross product stays below this in every component run straight on.
constexpr double kStraightCross = 5.0e-4;
// elem_dist3 answers the closest approach of two skew segments as their crossing; segments on
// the surface that truly cross meet within this (grid heights are 4-byte reals).
constexpr double kMeetGap = 1.0e-3;
// The join search reaches back along the result over at most this many join reaches: at a
// concave corner the piece that comes back across the result may meet it behind a stretch (the
// corner's fill, pieces cut off by the corner) that has left the reach.
constexpr double kJoinArcWindow = 4.0;
// The piece unloop looks this many segments ahead for a crossing.
constexpr int kUnloopReach = 20;

// elem_dist3's answers besides kCrossing: segments along each other, a segment without length.
constexpr int kAlong = kParallel;
constexpr int kFirstDegenerate = -1;
constexpr int kSecondDegenerate = -2;

struct point3 {
    double v[3] = {0.0, 0.0, 0.0};
};

point3 at(const pokarr& a, int i) { return {{a.x[i], a.y[i], a.z[i]}}; }

void put(pokarr& a, int i, const double* p)
{
    a.x[i] = p[0];
    a.y[i] = p[1];
    a.z[i] = p[2];
}

bool same_point(const double* p, const double* q)
{
    return std::fabs(p[0] - q[0]) <= kSamePoint && std::fabs(p[1] - q[1]) <= kSamePoint &&
           std::fabs(p[2] - q[2]) <= kSamePoint;
}

double squared_step(const double* p, const double* q)
{
    const double dx = q[0] - p[0], dy = q[1] - p[1], dz = q[2] - p[2];
    return dx * dx + dy * dy + dz * dz;
}

// Whether b lies in the middle of a straight run from a over b to c.
bool straight_on(const double* a, const double* b, const double* c)
{
    double u[3], w[3], cross[3], length = 0.0;
    int su = 0, sw = 0;
    v3subd(b, a, u);
    v3subd(c, b, w);
    v3untd(u, length, su);
    v3untd(w, length, sw);
    if (su != 0 || sw != 0) return false;
    v3crsd(u, w, cross);
    return std::fabs(cross[0]) < kStraightCross && std::fabs(cross[1]) < kStraightCross &&
           std::fabs(cross[2]) < kStraightCross && v3dotd(u, w) > 0.0;
}

// The segment from point k to k + 1 of two arrays for elem_dist3: its ends and its box.
void segment_of(const pokarr& a, int k, double* points, double* lo, double* hi)
{
    for (int c = 0; c < 3; ++c) {
        const double p = pokarr_coordinate(a, k, c), q = pokarr_coordinate(a, k + 1, c);
        points[c] = p;
        points[3 + c] = q;
        lo[c] = std::min(p, q);
        hi[c] = std::max(p, q);
    }
}

struct meeting {
    int code = 0;
    double point[3] = {0.0, 0.0, 0.0};
    double t_first = 0.0, t_second = 0.0;
};

// elem_dist3 on segment i of a and segment j of b.
meeting meet(const pokarr& a, int i, const pokarr& b, int j)
{
    double points[12], boxes[12];
    segment_of(a, i, points, boxes, boxes + 3);
    segment_of(b, j, points + 6, boxes + 6, boxes + 9);
    meeting m;
    elem_dist3(points, boxes, m.point, m.t_first, m.t_second, m.code);
    if (m.code == kCrossing) {
        double on_first[3], on_second[3];
        for (int c = 0; c < 3; ++c) {
            on_first[c] = points[c] + m.t_first * (points[3 + c] - points[c]);
            on_second[c] = points[6 + c] + m.t_second * (points[9 + c] - points[6 + c]);
        }
        if (distd(3, on_first, on_second) > kMeetGap) m.code = 0;
    }
    return m;
}

// Removes points first .. last (inclusive) of an open array.
void remove_range(pokarr& a, int first, int last)
{
    const int n = last - first + 1;
    if (n <= 0) return;
    for (int k = last + 1; k < a.count; ++k) {
        a.x[k - n] = a.x[k];
        a.y[k - n] = a.y[k];
        a.z[k - n] = a.z[k];
    }
    a.count -= n;
}

// One cut of the unloop at segment i against segment j; false when the two do not meet.
bool cut_loop(pokarr& piece, int i, int j)
{
    const meeting m = meet(piece, i, piece, j);
    if (m.code == kCrossing) {
        const point3 start = at(piece, i), end = at(piece, j + 1);
        if (same_point(m.point, start.v)) {
            remove_range(piece, i + 1, j);
        } else if (same_point(m.point, end.v)) {
            remove_range(piece, i + 1, j);
        } else {
            put(piece, i + 1, m.point);
            remove_range(piece, i + 2, j);
        }
        return true;
    }
    if (m.code == kAlong) {
        // Along each other: only when segment j starts on segment i.
        const point3 a = at(piece, i), b = at(piece, i + 1), s = at(piece, j);
        double nearest[3], t = 0.0, distance = 0.0;
        int status = 0;
        dsdlpt(1, 3, s.v, a.v, b.v, nearest, t, distance, status);
        if (status != 0 || distance > kSamePoint || t < 0.0 || t > 1.0) return false;
        // The points between come back to where segment j starts: the piece goes on from there.
        remove_range(piece, i + 1, j);
        return true;
    }
    if (m.code == kFirstDegenerate) {
        remove_range(piece, i + 1, i + 1);
        return true;
    }
    if (m.code == kSecondDegenerate) {
        remove_range(piece, j + 1, std::min(j + 1, piece.count - 1));
        return true;
    }
    return false;
}

// Twice the signed area in XY of the loop that a crossing of result segment k with piece segment
// j closes: from the crossing along the result to its end, on along the piece to segment j, and
// back to the crossing.
double closed_loop_area2(const pokarr& result, int k, const pokarr& piece, int j, const double* crossing)
{
    double sum = 0.0, px = crossing[0], py = crossing[1];
    const auto add = [&](double x, double y) {
        sum += px * y - x * py;
        px = x;
        py = y;
    };
    for (int i = k + 1; i < result.count; ++i) add(result.x[i], result.y[i]);
    for (int i = 0; i <= j; ++i) add(piece.x[i], piece.y[i]);
    add(crossing[0], crossing[1]);
    return sum;
}

}  // namespace

void lane_piece_append(const pokarr& piece, int start, double spacing, pokarr& result, int& status)
{
    status = 0;
    std::vector<point3> kept;
    const int first = std::max(start, 0);
    if (first >= piece.count) return;
    kept.reserve(static_cast<std::size_t>(piece.count - first));
    const double spacing2 = spacing * spacing;
    bool have_last = result.count > 0;
    point3 last = have_last ? at(result, result.count - 1) : point3{};
    double summed = 0.0;
    for (int i = first; i < piece.count; ++i) {
        const point3 p = at(piece, i);
        if (have_last) {
            summed += squared_step(last.v, p.v);
            if (same_point(p.v, last.v) || summed < spacing2) continue;
            // The point before (the last kept, or the result's end) stays; this one is left out
            // when the piece runs straight on through it.
            if (i + 1 < piece.count) {
                const point3 next = at(piece, i + 1);
                if (!same_point(next.v, p.v) && straight_on(last.v, p.v, next.v)) continue;
            }
        }
        kept.push_back(p);
        last = p;
        have_last = true;
        summed = 0.0;
    }
    if (kept.empty()) return;
    const int base = result.count;
    pokarr_grow(result, base + static_cast<int>(kept.size()), status);
    if (status < 0) {
        status = kPieceArrayFailed;
        return;
    }
    for (std::size_t k = 0; k < kept.size(); ++k) put(result, base + static_cast<int>(k), kept[k].v);
    result.count = base + static_cast<int>(kept.size());
}

int lane_join_search(int mode, pokarr& result, const pokarr& piece, int start, int& piece_index, const join_loops& kept)
{
    const int last_result = result.count - 2;  // last segment of the result
    const bool shared_end =
        result.count > 0 && piece.count > 0 && same_point(at(result, result.count - 1).v, at(piece, 0).v);
    for (int k = std::max(start, 0); k <= last_result; ++k) {
        for (int j = piece.count - 2; j >= 0; --j) {
            const meeting m = meet(result, k, piece, j);
            if (m.code != kCrossing) continue;
            if (shared_end && k == last_result && j == 0 && same_point(m.point, at(piece, 0).v)) continue;
            if (lane_join_keeps_loop(result, k, piece, j, m.point, kept)) continue;
            piece_index = j + 1;
            if (mode != kJoinCut) return 1;
            if (pk_is_zero(m.t_first)) {
                result.count = k + 1;
            } else {
                if (!pk_eq_val(m.t_first, 1.0)) put(result, k + 1, m.point);
                result.count = k + 2;
            }
            return 1;
        }
    }
    return 0;
}

bool lane_join_keeps_loop(const pokarr& result, int k, const pokarr& piece, int j, const double* crossing,
                          const join_loops& kept)
{
    if (kept.sense == 0) return false;
    const double area = 0.5 * closed_loop_area2(result, k, piece, j, crossing);
    return area * kept.sense > kept.least_area && (!kept.holds_offset || kept.holds_offset(result, k + 1, piece, j));
}

void lane_join_start(int dimension, const pokarr& result, double reach2, int& index)
{
    index = 0;
    if (result.count < 2) return;
    const auto squared = [dimension](const double* p, const double* q) {
        const double dx = q[0] - p[0], dy = q[1] - p[1], dz = dimension == 2 ? 0.0 : q[2] - p[2];
        return dx * dx + dy * dy + dz * dz;
    };
    const point3 last = at(result, result.count - 1);
    const double window = kJoinArcWindow * std::sqrt(reach2);
    double along = 0.0;
    int earliest = result.count - 1;
    for (int i = result.count - 2; i >= 0 && along <= window; --i) {
        const point3 p = at(result, i);
        along += std::sqrt(squared(p.v, at(result, i + 1).v));
        if (along <= window && squared(p.v, last.v) <= reach2) earliest = i;
    }
    index = std::max(earliest - 1, 0);
}

void lane_piece_unloop(pokarr& piece)
{
    for (int i = 0; piece.count >= 4 && i + 2 <= piece.count - 2;) {
        bool cut = false;
        for (int j = std::min(i + kUnloopReach, piece.count - 2); j >= i + 2 && !cut; --j) cut = cut_loop(piece, i, j);
        if (!cut) ++i;
    }
}

// Intersections of two segments: the plain form on 2-D points, and the form with separate line
// points and true ends, directions at the ends and near-parallel handling, in 2-D (xy) and in the
// pocket's dimension (nd). The two last are one routine over a segment pair in a canonical form
// of three coordinates (z 0 in the plane).
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pk_vector.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The crossing is computed again from the other end of a segment when it lies this close to the
// far end (as a fraction of the segment): measured from the near end it is more accurate.
constexpr double kFarEndLow = 0.9;
constexpr double kFarEndHigh = 1.1;

bool within_slack(double along, double length)
{
    return along >= -kPocketRangeSlack && along <= length + kPocketRangeSlack;
}

// Maps the status of a line intersection to the segment status: parallel lines are status 2,
// any other failure no crossing.
int line_failure_status(int line_status) { return line_status == -2 ? kParallel : kNoCrossing; }

}  // namespace

void seg_seg_intersect(const double* p1, const double* p2, const double* q1, const double* q2, double* point,
                       int& status)
{
    double u[2], v[2], length_p = 0.0, length_q = 0.0;
    int unit_p = 0, unit_q = 0;
    v2subd(p2, p1, u);
    v2subd(q2, q1, v);
    v2untd(u, length_p, unit_p);
    v2untd(v, length_q, unit_q);
    if (unit_p != 0 || unit_q != 0) {
        status = kParallel;
        return;
    }
    double crossing[2], along_p = 0.0, along_q = 0.0;
    int line_status = 0;
    intvvd(p1, u, q1, v, crossing, along_p, along_q, line_status);
    if (line_status != 0) {
        status = line_failure_status(line_status);
        return;
    }
    // The nearest end that equals the crossing replaces it (the first on equal distances).
    const double* ends[4] = {p1, p2, q1, q2};
    int snapped = -1;
    double best = 0.0;
    for (int k = 0; k < 4; ++k) {
        if (!pk_eq_pnt2(ends[k], crossing)) continue;
        const double d = std::hypot(ends[k][0] - crossing[0], ends[k][1] - crossing[1]);
        if (snapped < 0 || d < best) {
            snapped = k;
            best = d;
        }
    }
    if (snapped < 0 && !(within_slack(along_p, length_p) && within_slack(along_q, length_q))) {
        status = kNoCrossing;
        return;
    }
    // A crossing off one segment counts only when it was snapped to an end of that segment.
    const bool outside_p = !(along_p > -kPocketRangeSlack && along_p < length_p + kPocketRangeSlack);
    const bool outside_q = !(along_q > -kPocketRangeSlack && along_q < length_q + kPocketRangeSlack);
    const bool on_p_end = snapped == 0 || snapped == 1;
    const bool on_q_end = snapped == 2 || snapped == 3;
    if ((outside_p && !on_p_end) || (outside_q && !on_q_end)) {
        status = kNoCrossing;
        return;
    }
    const double* result = snapped >= 0 ? ends[snapped] : crossing;
    point[0] = result[0];
    point[1] = result[1];
    status = kCrossing;
}

// ---- segments with true ends and directions ---------------------------------------------------

namespace {

// A segment pair in canonical form: three coordinates per point (z 0 in the plane). Line points
// p1, p2, q1, q2 give the lines; true ends decide ranges and snapping.
struct segment_pair {
    int dimension = 2;          // 2 or 3: how the lines meet and how far a point is from a line
    bool pocket_equal = false;  // points compare in the pocket's dimension (pk_eq_pnt)
    double p1[3], p2[3], q1[3], q2[3];
    double tp1[3], tp2[3], tq1[3], tq2[3];
    double dir_p[3], dir_q[3];
    bool has_dir_p = false, has_dir_q = false;
    // The line points are the true ends: the range tests read the lines' directions and lengths.
    bool lines_are_ends = false;
};

void load(const double* from, int dimension, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = dimension == 3 ? from[2] : 0.0;
}

void load_xy(double x, double y, double* to)
{
    to[0] = x;
    to[1] = y;
    to[2] = 0.0;
}

void load_direction(const double* from, int dimension, double* to, bool& given)
{
    given = from != nullptr && from[0] < kDirectionAbsentLimit;
    if (given) load(from, dimension, to);
}

bool same_point(const segment_pair& s, const double* a, const double* b)
{
    return s.pocket_equal ? pk_eq_pnt(a, b) != 0 : pk_eq_pnt2(a, b) != 0;
}

bool same_values(const double* a, const double* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// Unit direction from a to b; false when it has no length.
[[gnu::always_inline]] inline bool direction(const double* a, const double* b, double* unit, double& length)
{
    pk_difference3(b, a, unit);
    return pk_normalise3(unit, length);
}

// Where the lines through p along u and q along v meet: 0, or the line routine's failure.
int lines_meet(int dimension, const double* p, const double* u, const double* q, const double* v, double* crossing,
               double& along_u, double& along_v)
{
    int status = 0;
    if (dimension == 3) {
        line_line_intersect3(p, u, q, v, crossing, along_u, along_v, status);
    } else {
        if (!pk_lines_meet2(p, u, q, v, crossing, along_u, along_v))
            intvvd(p, u, q, v, crossing, along_u, along_v, status);
        crossing[2] = 0.0;
    }
    return status;
}

bool on_line(const segment_pair& s, const double* point, const double* a, const double* b)
{
    if (s.dimension == 2 && !s.pocket_equal) return tptonl2d(point, a, b) != 0;
    double nearest[3], t = 0.0, distance = 0.0;
    int status = 0;
    dsdlpt(1, s.dimension, point, a, b, nearest, t, distance, status);
    return status == 0 && distance < kPocketRangeSlack;
}

// Whether the point lies within the slack of the segment from a along the unit direction for
// the length.
bool within_along(const double* point, const double* a, const double* unit, double length)
{
    double w[3];
    pk_difference3(point, a, w);
    return within_slack(pk_dot3(w, unit), length);
}

// Whether the point lies within the slack of the true segment a..b.
bool within_true_segment(const double* point, const double* a, const double* b)
{
    double unit[3], length = 0.0;
    if (!direction(a, b, unit, length)) return false;
    return within_along(point, a, unit, length);
}

// The line through `end` along the given direction meets the line through `base` along `along`
// at `end` itself: the crossing is that end.
bool end_holds_along(const segment_pair& s, const double* end, const double* given_direction, const double* base,
                     const double* along)
{
    double unit[3] = {given_direction[0], given_direction[1], given_direction[2]};
    double length = 0.0;
    int status = 0;
    v3untd(unit, length, status);
    if (status != 0) return false;
    double crossing[3], a = 0.0, b = 0.0;
    if (lines_meet(s.dimension, end, unit, base, along, crossing, a, b) != 0) return false;
    return same_point(s, crossing, end);
}

void swap_points(double* a, double* b)
{
    for (int k = 0; k < 3; ++k) std::swap(a[k], b[k]);
}

// The crossing of the two lines with the far-end recomputation; false with the status set when
// the lines do not meet.
bool meet_with_far_end_check(segment_pair& s, double* crossing, double* u, double* v, double& length_p,
                             double& length_q, int& status)
{
    if (!direction(s.p1, s.p2, u, length_p) || !direction(s.q1, s.q2, v, length_q)) {
        status = kNoCrossing;
        return false;
    }
    double along_p = 0.0, along_q = 0.0;
    int line_status = lines_meet(s.dimension, s.p1, u, s.q1, v, crossing, along_p, along_q);
    if (line_status != 0) {
        status = line_failure_status(line_status);
        return false;
    }
    const double fraction_p = along_p / length_p;
    const double fraction_q = along_q / length_q;
    const bool far_p = fraction_p > kFarEndLow && fraction_p < kFarEndHigh;
    const bool far_q = fraction_q > kFarEndLow && fraction_q < kFarEndHigh;
    if (!far_p && !far_q) return true;
    if (far_p) {
        swap_points(s.p1, s.p2);
        swap_points(s.tp1, s.tp2);
        direction(s.p1, s.p2, u, length_p);
    }
    if (far_q) {
        swap_points(s.q1, s.q2);
        swap_points(s.tq1, s.tq2);
        direction(s.q1, s.q2, v, length_q);
    }
    line_status = lines_meet(s.dimension, s.p1, u, s.q1, v, crossing, along_p, along_q);
    if (line_status != 0) {
        status = line_failure_status(line_status);
        return false;
    }
    return true;
}

// The nearest true end equal to the crossing replaces it; false when none does.
bool snap_to_true_end(const segment_pair& s, double* crossing)
{
    const double* ends[4] = {s.tp1, s.tp2, s.tq1, s.tq2};
    const double* nearest = nullptr;
    double best = 0.0;
    for (const double* end : ends) {
        if (!same_point(s, end, crossing)) continue;
        const double d = pk_distance<3>(end, crossing);
        if (nearest == nullptr || d < best) {
            nearest = end;
            best = d;
        }
    }
    if (nearest == nullptr) return false;
    for (int k = 0; k < 3; ++k) crossing[k] = nearest[k];
    return true;
}

void intersect_pair(int mode, segment_pair& s, double* crossing, int& status)
{
    double u[3], v[3];
    crossing[2] = 0.0;
    if (pk_distance<3>(s.tp1, s.tp2) < kPocketRangeSlack || pk_distance<3>(s.tq1, s.tq2) < kPocketRangeSlack) {
        status = kParallel;
        return;
    }
    if (mode % 2 != 0) {
        double length = 0.0, along_p = 0.0, along_q = 0.0;
        if (!direction(s.p1, s.p2, u, length) || !direction(s.q1, s.q2, v, length)) {
            status = kNoCrossing;
            return;
        }
        const int line_status = lines_meet(s.dimension, s.p1, u, s.q1, v, crossing, along_p, along_q);
        status = line_status == 0 ? kCrossing : line_failure_status(line_status);
        return;
    }
    // Lines through the true ends (swapped with them) have the true segments' directions and
    // lengths: the range tests read them instead of computing them again.
    const bool lines_are_ends = s.lines_are_ends;
    double length_p = 0.0, length_q = 0.0;
    if (!meet_with_far_end_check(s, crossing, u, v, length_p, length_q, status)) return;
    const auto within_p = [&](const double* point) {
        return lines_are_ends ? within_along(point, s.tp1, u, length_p) : within_true_segment(point, s.tp1, s.tp2);
    };
    const auto within_q = [&](const double* point) {
        return lines_are_ends ? within_along(point, s.tq1, v, length_q) : within_true_segment(point, s.tq1, s.tq2);
    };
    const bool snapped = snap_to_true_end(s, crossing);
    if (!snapped && !(within_p(crossing) && within_q(crossing))) {
        status = kNoCrossing;
        return;
    }
    // A crossing not snapped lies within both true segments now: unless it moves, it is found.
    bool within_both = !snapped;
    const double sine = s.dimension == 3 ? vec_cross_signed(3, u, v) : v2crsd(u, v);
    const bool near_parallel = std::fabs(sine) < kPocketParallelSine && s.has_dir_p;
    if (near_parallel) {
        // Nearly parallel lines meet far from where the segments touch; a shared end that the
        // directions at the ends agree on is the better answer.
        const double* moved_to = nullptr;
        if (on_line(s, s.tp2, s.tq1, s.tq2)) {
            if (end_holds_along(s, s.tp2, s.dir_p, s.q1, v)) moved_to = s.tp2;
        } else if (s.has_dir_q && on_line(s, s.tq2, s.tp1, s.tp2)) {
            if (end_holds_along(s, s.tq2, s.dir_q, s.p1, u)) moved_to = s.tq2;
        }
        if (moved_to != nullptr) {
            for (int k = 0; k < 3; ++k) crossing[k] = moved_to[k];
            within_both = false;
        }
    }
    const auto on_p = [&](const double* point) {
        return within_p(point) || same_point(s, point, s.tp1) || same_point(s, point, s.tp2);
    };
    const auto on_q = [&](const double* point) {
        return within_q(point) || same_point(s, point, s.tq1) || same_point(s, point, s.tq2);
    };
    const bool found = within_both || (on_p(crossing) && on_q(crossing));
    status = !found ? kNoCrossing : (near_parallel ? kNearParallelCrossing : kCrossing);
}

}  // namespace

namespace {

// Segments that share an end meet there; below this sine of their angle they are left to the
// general routine (far above its near-parallel sine, so rounding cannot bring a pair near it).
constexpr double kSharedEndSine = 1.0e-2;
// ... and so are segments shorter than this, or longer than this ratio times the other one.
constexpr double kSharedEndShortest = 1.0e-3;
constexpr double kSharedEndRatio = 1.0e8;

bool same_xy(double ax, double ay, double bx, double by) { return ax == bx && ay == by; }

// Whether the segments p1..p2 and q1..q2 share an end exactly and meet at a clear angle; then
// `at_p2` tells which end of p it is. The general routine gives that end of p as a crossing
// then: it recomputes the lines from their ends near the crossing, that is from the shared end
// on both, so that the crossing is the shared end to the last bit, and snaps it to the first
// true end equal to it, p's own.
bool shared_end(double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x, double q2y,
                bool& at_p2)
{
    const bool at_p1 = same_xy(p1x, p1y, q1x, q1y) || same_xy(p1x, p1y, q2x, q2y);
    at_p2 = same_xy(p2x, p2y, q1x, q1y) || same_xy(p2x, p2y, q2x, q2y);
    if (at_p1 == at_p2) return false;
    const double dpx = p2x - p1x, dpy = p2y - p1y, dqx = q2x - q1x, dqy = q2y - q1y;
    const double length_p = std::sqrt(dpx * dpx + dpy * dpy), length_q = std::sqrt(dqx * dqx + dqy * dqy);
    const double shorter = std::min(length_p, length_q), longer = std::max(length_p, length_q);
    if (!(shorter >= kSharedEndShortest) || !(longer <= kSharedEndRatio * shorter)) return false;
    const double sine = (dpx * dqy - dpy * dqx) / (length_p * length_q);
    return std::fabs(sine) >= kSharedEndSine;
}

// Segments whose distance exceeds this (plus a share of their coordinates' size for rounding)
// have no crossing: the general routine takes one only within its range slack of both segments.
constexpr double kApartReach = 1.0e-4;
constexpr double kApartRounding = 1.0e-12;
// Larger coordinates are left to the general routine.
constexpr double kApartLargest = 1.0e12;
// Segments shorter than this, or at a smaller sine of their angle, are left to the general
// routine, which calls them parallel (below its range slack and its line routine's sine).
constexpr double kApartShortest = 1.0e-5;
constexpr double kApartSine = 1.0e-6;

// The squared distance of the nearer end of segment b from the line through a1 along d, times
// d's squared length, when both ends lie on the same side of it; 0 when they do not. (A NaN
// coordinate makes a length NaN, which the caller refuses.)
double clearance_from_line(double a1x, double a1y, double dx, double dy, double b1x, double b1y, double b2x, double b2y)
{
    const double s1 = dx * (b1y - a1y) - dy * (b1x - a1x);
    const double s2 = dx * (b2y - a1y) - dy * (b2x - a1x);
    return (s1 > 0.0) == (s2 > 0.0) ? std::min(s1 * s1, s2 * s2) : 0.0;
}

}  // namespace

// One segment lies wholly on one side of the other's line, farther from it than the reach, and
// neither is short nor are they near parallel: the crossing of their lines lies off one of them
// by more than the general routine's slack, and so does every end it could snap to.
bool segments_apart(double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x, double q2y)
{
    const double dpx = p2x - p1x, dpy = p2y - p1y, dqx = q2x - q1x, dqy = q2y - q1y;
    const double lp2 = dpx * dpx + dpy * dpy, lq2 = dqx * dqx + dqy * dqy;
    const double q_clear = clearance_from_line(p1x, p1y, dpx, dpy, q1x, q1y, q2x, q2y);
    // p's clearance only where q's leaves the answer open: most pairs found apart are so by q's.
    const auto p_clear = [&] { return clearance_from_line(q1x, q1y, dqx, dqy, p1x, p1y, p2x, p2y); };
    // The least reach first: most pairs a search meets that are not apart touch or cross.
    constexpr double least2 = kApartReach * kApartReach;
    if (!(q_clear > least2 * lp2) && !(p_clear() > least2 * lq2)) return false;
    const auto larger = [](double a, double b) { return std::max(std::fabs(a), std::fabs(b)); };
    const double size =
        std::max(std::max(larger(p1x, p1y), larger(p2x, p2y)), std::max(larger(q1x, q1y), larger(q2x, q2y)));
    constexpr double shortest2 = kApartShortest * kApartShortest;
    if (!(size <= kApartLargest) || !(lp2 > shortest2) || !(lq2 > shortest2)) return false;
    const double cross = dpx * dqy - dpy * dqx;
    const double reach = kApartReach + kApartRounding * size, reach2 = reach * reach;
    return cross * cross > kApartSine * kApartSine * lp2 * lq2 && (q_clear > reach2 * lp2 || p_clear() > reach2 * lq2);
}

namespace {

// The crossing of segments that share an end (shared_end): that end of p; false when they do not.
bool meet_at_shared_end(double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x, double q2y,
                        double& x, double& y, int& status)
{
    bool at_p2 = false;
    if (!shared_end(p1x, p1y, p2x, p2y, q1x, q1y, q2x, q2y, at_p2)) return false;
    x = at_p2 ? p2x : p1x;
    y = at_p2 ? p2y : p1y;
    status = kCrossing;
    return true;
}

// The general routine on the plane entries; `lines_are_ends` tells that the line points are the
// true ends.
void intersect_xy(int mode, double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x,
                  double q2y, double tp1x, double tp1y, double tp2x, double tp2y, double tq1x, double tq1y, double tq2x,
                  double tq2y, bool lines_are_ends, const double* dir_p, const double* dir_q, double& x, double& y,
                  int& status)
{
    segment_pair s;
    load_xy(p1x, p1y, s.p1);
    load_xy(p2x, p2y, s.p2);
    load_xy(q1x, q1y, s.q1);
    load_xy(q2x, q2y, s.q2);
    load_xy(tp1x, tp1y, s.tp1);
    load_xy(tp2x, tp2y, s.tp2);
    load_xy(tq1x, tq1y, s.tq1);
    load_xy(tq2x, tq2y, s.tq2);
    s.lines_are_ends = lines_are_ends;
    load_direction(dir_p, 2, s.dir_p, s.has_dir_p);
    load_direction(dir_q, 2, s.dir_q, s.has_dir_q);
    double crossing[3] = {0.0, 0.0, 0.0};
    intersect_pair(mode, s, crossing, status);
    if (status == kCrossing || status == kNearParallelCrossing) {
        x = crossing[0];
        y = crossing[1];
    }
}

}  // namespace

void seg_seg_intersect_ends_xy(int mode, double p1x, double p1y, double p2x, double p2y, double q1x, double q1y,
                               double q2x, double q2y, const double* dir_p, const double* dir_q, double& x, double& y,
                               int& status)
{
    if (mode % 2 == 0 && meet_at_shared_end(p1x, p1y, p2x, p2y, q1x, q1y, q2x, q2y, x, y, status)) return;
    intersect_xy(mode, p1x, p1y, p2x, p2y, q1x, q1y, q2x, q2y, p1x, p1y, p2x, p2y, q1x, q1y, q2x, q2y, true, dir_p,
                 dir_q, x, y, status);
}

void seg_seg_intersect_xy(int mode, double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x,
                          double q2y, double tp1x, double tp1y, double tp2x, double tp2y, double tq1x, double tq1y,
                          double tq2x, double tq2y, const double* dir_p, const double* dir_q, double& x, double& y,
                          int& status)
{
    const bool lines_are_ends = same_xy(p1x, p1y, tp1x, tp1y) && same_xy(p2x, p2y, tp2x, tp2y) &&
                                same_xy(q1x, q1y, tq1x, tq1y) && same_xy(q2x, q2y, tq2x, tq2y);
    if (mode % 2 == 0 && lines_are_ends &&
        meet_at_shared_end(tp1x, tp1y, tp2x, tp2y, tq1x, tq1y, tq2x, tq2y, x, y, status))
        return;
    intersect_xy(mode, p1x, p1y, p2x, p2y, q1x, q1y, q2x, q2y, tp1x, tp1y, tp2x, tp2y, tq1x, tq1y, tq2x, tq2y,
                 lines_are_ends, dir_p, dir_q, x, y, status);
}

void seg_seg_intersect_nd(int mode, const double* p1, const double* p2, const double* q1, const double* q2,
                          const double* tp1, const double* tp2, const double* tq1, const double* tq2,
                          const double* dir_p, const double* dir_q, double* point, int& status)
{
    segment_pair s;
    s.dimension = pocket_state_block.pocket_dimension >= 3 ? 3 : 2;
    s.pocket_equal = true;
    const double* points[8] = {p1, p2, q1, q2, tp1, tp2, tq1, tq2};
    double* targets[8] = {s.p1, s.p2, s.q1, s.q2, s.tp1, s.tp2, s.tq1, s.tq2};
    for (int k = 0; k < 8; ++k) load(points[k], s.dimension, targets[k]);
    s.lines_are_ends =
        same_values(s.p1, s.tp1) && same_values(s.p2, s.tp2) && same_values(s.q1, s.tq1) && same_values(s.q2, s.tq2);
    load_direction(dir_p, s.dimension, s.dir_p, s.has_dir_p);
    load_direction(dir_q, s.dimension, s.dir_q, s.has_dir_q);
    double crossing[3] = {0.0, 0.0, 0.0};
    intersect_pair(mode, s, crossing, status);
    if (status == kCrossing || status == kNearParallelCrossing)
        for (int k = 0; k < s.dimension; ++k) point[k] = crossing[k];
}

// Intersection of a segment with an arc. The loop removal and the intersection search between
// pocket arrays call it for every line-arc pair whose boxes overlap.
#include "pocket_arrays/pk_primitives.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kFarEndLow = 0.9;
constexpr double kFarEndHigh = 1.1;
// Two points both at an arc end and a segment end: both near the segment's end or both near its
// start decide by the segment parameter.
constexpr double kNearSegmentEnd = 0.9;
constexpr double kNearSegmentStart = 0.1;

// The arc and the segment as the intersection sees them; the line points and true ends may be
// exchanged by the far-end recomputation.
struct segment_arc {
    double centre[2];
    double r;
    int direction;
    double a[2], b[2];  // points of the line
    double arc_start[2], arc_end[2];
    double seg_start[2], seg_end[2];  // true segment ends
};

// One circle point with what the decisions need to know of it.
struct circle_point {
    double p[2];
    double found[2] = {0.0, 0.0};  // the point as the circle gave it, before any end snapping
    double t_segment = 0.0;        // parameter on the true segment
    int on_arc = 0;                // pnt_on_arc code: 1 inside, 2 start, 3 end (0 out of range too)
    bool at_seg_start = false;
    bool at_seg_end = false;
    bool valid = false;
    bool at_arc_end() const { return on_arc == 2 || on_arc == 3; }
    bool at_segment_end() const { return at_seg_start || at_seg_end; }
};

void copy2(const double* from, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
}

// The line's circle points (count 0, 1 or 2).
int circle_points(const segment_arc& s, circle_point* points)
{
    double t1 = 0.0, t2 = 0.0;
    int result = 0;
    line_circle_intersect(s.a, s.b, s.centre, s.r, t1, t2, points[0].p, points[1].p, result);
    return result < 1 ? 0 : result;
}

bool tangent_refused(int mode1, int mode4, const segment_arc& s, const double* p)
{
    if (mode1 == 1 || mode1 == 3) return true;
    if (mode1 != 2 || mode4 != 1) return false;
    return pk_eq_pnt2(p, s.seg_start) || pk_eq_pnt2(p, s.seg_end) || pk_eq_pnt2(p, s.arc_start) ||
           pk_eq_pnt2(p, s.arc_end);
}

// Judges a circle point; a valid point at an arc end and a segment end is put on one of them.
void judge(int mode2, const segment_arc& s, circle_point& c)
{
    seg_param_of_pnt_nd(2, s.seg_start, s.seg_end, c.p, c.t_segment);
    c.at_seg_start = eqvl0d(c.t_segment) != 0;
    c.at_seg_end = eqvald(c.t_segment, 1.0) != 0;
    const bool in_range = (c.t_segment >= 0.0 && c.t_segment <= 1.0) || c.at_segment_end();
    // Where an invalid point lies on the arc is never read: only valid points are placed and
    // ordered, so the arc test is spent on points within the segment's range only.
    c.on_arc = in_range ? pnt_on_arc(s.centre, s.direction, s.arc_start, s.arc_end, c.p) : 0;
    c.valid = in_range && c.on_arc != 0;
    copy2(c.p, c.found);
    if (!c.valid || !c.at_arc_end() || !c.at_segment_end()) return;
    if (mode2 == 2)
        copy2(c.at_seg_start ? s.seg_start : s.seg_end, c.p);
    else
        copy2(c.on_arc == 2 ? s.arc_start : s.arc_end, c.p);
}

bool is_segment_end(const segment_arc& s, const double* p)
{
    return pk_eq_pnt2(p, s.seg_start) || pk_eq_pnt2(p, s.seg_end);
}

// The one valid point, put exactly on the end it lies at.
void single_point(const segment_arc& s, const circle_point& c, double* point)
{
    copy2(c.p, point);
    if (c.on_arc == 1 && c.at_segment_end()) {
        copy2(c.at_seg_start ? s.seg_start : s.seg_end, point);
    } else if (c.at_arc_end() && !c.at_segment_end()) {
        copy2(c.on_arc == 2 ? s.arc_start : s.arc_end, point);
    } else if (c.at_arc_end()) {
        if (is_segment_end(s, s.arc_start))
            copy2(s.arc_start, point);
        else if (is_segment_end(s, s.arc_end))
            copy2(s.arc_end, point);
    }
}

// Two valid points that both lie at an arc end and a segment end.
const circle_point& both_at_ends(const circle_point& c1, const circle_point& c2)
{
    if (c1.t_segment > kNearSegmentEnd && c2.t_segment > kNearSegmentEnd) return c1.t_segment > c2.t_segment ? c1 : c2;
    if (c1.t_segment < kNearSegmentStart && c2.t_segment < kNearSegmentStart)
        return c1.t_segment < c2.t_segment ? c1 : c2;
    return c2;
}

// Puts a point that lies at an end (of the arc in arc order, of the segment in segment order)
// exactly on that end.
void snap_in_order(bool segment_order, const segment_arc& s, const circle_point& c, double* point)
{
    copy2(c.p, point);
    if (segment_order && c.at_segment_end()) copy2(c.at_seg_start ? s.seg_start : s.seg_end, point);
    if (!segment_order && c.at_arc_end()) copy2(c.on_arc == 2 ? s.arc_start : s.arc_end, point);
}

// The parameter of a circle point on the arc by arc cosines, of the point as the circle gave it:
// only the ordering of two points along the arc reads it.
double arc_parameter(const segment_arc& s, const circle_point& c)
{
    double t = 0.0;
    arc_param_by_acos(0.0, s.centre, s.arc_start, s.arc_end, c.found, t);
    return t;
}

// Two valid points otherwise: the one the fourth mode asks for first, the other one second
// (count 2), or only the far one when the arc and the segment already meet at their ends.
void order_of_two(int mode3, int mode4, const segment_arc& s, const circle_point& c1, const circle_point& c2,
                  double (*points)[2], int& count)
{
    const double* shared = is_segment_end(s, s.arc_start) ? s.arc_start
                           : is_segment_end(s, s.arc_end) ? s.arc_end
                                                          : nullptr;
    if (shared != nullptr) {
        // The arc and the segment meet at their ends already; the other crossing is wanted.
        const double d1 = std::hypot(c1.p[0] - shared[0], c1.p[1] - shared[1]);
        const double d2 = std::hypot(c2.p[0] - shared[0], c2.p[1] - shared[1]);
        copy2(d2 > d1 ? c2.p : c1.p, points[0]);
        count = 1;
        return;
    }
    const bool segment_order = mode3 == 2;
    const double key1 = segment_order ? c1.t_segment : arc_parameter(s, c1);
    const double key2 = segment_order ? c2.t_segment : arc_parameter(s, c2);
    const circle_point& first = key1 < key2 ? c1 : c2;
    const circle_point& second = key1 < key2 ? c2 : c1;
    const auto at_start = [&](const circle_point& c) { return segment_order ? c.at_seg_start : c.on_arc == 2; };
    const bool second_picked = mode4 != 1 || at_start(first);
    snap_in_order(segment_order, s, second_picked ? second : first, points[0]);
    snap_in_order(segment_order, s, second_picked ? first : second, points[1]);
    count = 2;
}

// Reach within which every circle point of a neighbour pair has to stay of the shared vertex:
// half the point tolerance, so that the point is that vertex for the search's refusal.
constexpr double kVertexReach = 5.0e-7;
// A circle point farther than this share of the line's length behind the vertex or beyond the
// line's far end lies out of the segment's range: ten times the range slack.
constexpr double kOutOfRange = 1.0e-5;
// Far ends of the pair closer than this to the vertex or to each other are left to the exact
// routine (an end snap could move a point there).
constexpr double kFarEndApart = 1.0e-4;
// Rounding of the squared half chord line_circle_intersect computes, per unit of r * (r + the
// largest coordinate): a few units in the last place, doubled.
constexpr double kHalfChordRounding = 2.0e-15;
// A half chord above this gives two circle points for certain: line_circle_intersect takes
// points closer than the point tolerance (1e-6) as one, the tangent point.
constexpr double kSureHalfChord = 1.0e-6;

double largest_coordinate(const double* p, double m) { return std::max({m, std::fabs(p[0]), std::fabs(p[1])}); }

// An interval of positions along the line from the vertex (towards the line's far end).
struct along_range {
    double low, high;
    bool within(double reach) const { return low >= -reach && high <= reach; }
};

}  // namespace

// The circle points lie on the line at u = -a +- h from the vertex (u measured towards the
// line's far end), a the rate at which the line leaves the circle there and h the half chord;
// a tangent gives the foot (-a) alone. The half chord is bounded from the vertex's offset from
// the circle and the rounding of its computation. A point that stays within kVertexReach of the
// vertex is met as the vertex; one clearly out of the segment's range, behind the vertex or
// beyond the far end, is never valid. Where one point lies so near the vertex that it is at the
// segment's end and at the arc's, and the other is out of range, the routine snaps the one to
// the vertex and gives it alone.
vertex_meeting seg_arc_vertex_meeting(const double* centre, double r, const double* vertex, const double* line_far,
                                      const double* arc_far)
{
    const double lx = line_far[0] - vertex[0], ly = line_far[1] - vertex[1];
    const double length = std::sqrt(lx * lx + ly * ly);
    const double ax = arc_far[0] - vertex[0], ay = arc_far[1] - vertex[1];
    const double fx = arc_far[0] - line_far[0], fy = arc_far[1] - line_far[1];
    const double apart2 = kFarEndApart * kFarEndApart;
    // Comparisons with NaN answer false: the exact routine decides.
    if (!(length > kFarEndApart) || !(ax * ax + ay * ay > apart2) || !(fx * fx + fy * fy > apart2) || !(r > 0.0))
        return vertex_meeting::unsure;
    const double vx = vertex[0] - centre[0], vy = vertex[1] - centre[1];
    const double a = (vx * lx + vy * ly) / length;
    const double offset = vx * vx + vy * vy - r * r;
    const double m = largest_coordinate(centre, largest_coordinate(vertex, largest_coordinate(line_far, 0.0)));
    const double rounding = kHalfChordRounding * r * (r + m + length);
    const double chord2 = a * a - offset;
    const double h_high = std::sqrt(std::max(0.0, chord2) + rounding);
    const double h_low = std::sqrt(std::max(0.0, chord2 - rounding));
    const along_range roots[3] = {{-a - h_high, -a - h_low}, {-a + h_low, -a + h_high}, {-a, -a}};
    const double behind = -kOutOfRange * length, beyond = (1.0 + kOutOfRange) * length;
    auto out_of_range = [&](const along_range& u) { return u.high < behind || u.low > beyond; };
    for (const along_range& u : roots)
        if (!u.within(kVertexReach) && !out_of_range(u)) return vertex_meeting::unsure;
    // At the segment's end: within the range slack of its parameter, read along one coordinate.
    const double at_end = std::min(kVertexReach, kVertexReach * length);
    const bool one_at_vertex =
        (roots[0].within(at_end) && out_of_range(roots[1])) || (roots[1].within(at_end) && out_of_range(roots[0]));
    return one_at_vertex && h_low > kSureHalfChord ? vertex_meeting::at_vertex : vertex_meeting::near_vertex;
}

void seg_arc_crossings(int mode1, int mode2, int mode3, int mode4, const double* centre, double r, int direction,
                       const double* a, const double* b, const double* arc_start, const double* arc_end,
                       const double* seg_start, const double* seg_end, double (*points)[2], int& count, int& status)
{
    status = kNoCrossing;
    count = 0;
    segment_arc s{{centre[0], centre[1]},
                  r,
                  direction,
                  {a[0], a[1]},
                  {b[0], b[1]},
                  {arc_start[0], arc_start[1]},
                  {arc_end[0], arc_end[1]},
                  {seg_start[0], seg_start[1]},
                  {seg_end[0], seg_end[1]}};
    double nearest[2], t = 0.0, distance = 0.0;
    int host_status = 0;
    dsdlpt(1, 2, s.centre, s.a, s.b, nearest, t, distance, host_status);
    if (distance > r && !pk_is_zero(distance - r)) return;
    circle_point candidates[2];
    int n = circle_points(s, candidates);
    if (n == 0 || (n == 1 && tangent_refused(mode1, mode4, s, candidates[0].p))) return;
    // A crossing near the far end of the line is computed again from that end, once.
    for (int k = 0; k < n; ++k) {
        double along = 0.0;
        seg_param_of_pnt_nd(2, s.a, s.b, candidates[k].p, along);
        if (along > kFarEndLow && along < kFarEndHigh) {
            std::swap(s.a, s.b);
            std::swap(s.seg_start, s.seg_end);
            n = circle_points(s, candidates);
            if (n == 0 || (n == 1 && tangent_refused(mode1, mode4, s, candidates[0].p))) return;
            break;
        }
    }
    for (int k = 0; k < n; ++k) judge(mode2, s, candidates[k]);
    if (n == 1) {
        if (!candidates[0].valid) return;
        copy2(candidates[0].p, points[0]);
        count = 1;
        status = kCrossing;
        return;
    }
    const circle_point& c1 = candidates[0];
    const circle_point& c2 = candidates[1];
    if (!c1.valid && !c2.valid) {
        status = kParallel;
        return;
    }
    status = kCrossing;
    count = 1;
    if (c1.valid != c2.valid) {
        single_point(s, c1.valid ? c1 : c2, points[0]);
        return;
    }
    const bool both_ends = c1.at_arc_end() && c1.at_segment_end() && c2.at_arc_end() && c2.at_segment_end();
    if (both_ends) {
        copy2(both_at_ends(c1, c2).p, points[0]);
        return;
    }
    order_of_two(mode3, mode4, s, c1, c2, points, count);
}

void seg_arc_intersect(int mode1, int mode2, int mode3, int mode4, const double* centre, double r, int direction,
                       const double* a, const double* b, const double* arc_start, const double* arc_end,
                       const double* seg_start, const double* seg_end, double* point, int& status)
{
    double points[2][2];
    int count = 0;
    seg_arc_crossings(mode1, mode2, mode3, mode4, centre, r, direction, a, b, arc_start, arc_end, seg_start, seg_end,
                      points, count, status);
    if (count > 0) copy2(points[0], point);
}

void seg_arc_intersect_xy(int mode1, int mode2, int mode3, int mode4, double cx, double cy, double r, int direction,
                          double ax, double ay, double bx, double by, double sx, double sy, double ex, double ey,
                          double seg_start_x, double seg_start_y, double seg_end_x, double seg_end_y, double& x,
                          double& y, int& status)
{
    const double centre[2] = {cx, cy}, a[2] = {ax, ay}, b[2] = {bx, by};
    const double start[2] = {sx, sy}, end[2] = {ex, ey};
    const double seg_start[2] = {seg_start_x, seg_start_y}, seg_end[2] = {seg_end_x, seg_end_y};
    double point[2] = {0.0, 0.0};
    seg_arc_intersect(mode1, mode2, mode3, mode4, centre, r, direction, a, b, start, end, seg_start, seg_end, point,
                      status);
    if (status != kCrossing) return;
    x = point[0];
    y = point[1];
}

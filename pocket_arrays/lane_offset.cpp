// Raw offset of a closed loop of lines and arcs. The one-offset step calls lane_offset_2d3d once
// per new lane; the corner rule decides what fills the gap where two offset elements no longer
// meet: one mitre point, two square points, or an arc of radius d around the corner.
#include "pocket_arrays/lane_offset.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_room.hpp"
#include "pocket_arrays/surface_offset_seams.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Largest static loop the offset takes: the work lists of its callers hold 7000 points.
constexpr int kMaxStaticEntries = 7000;
// A corner whose side-weighted sine is below this counts as no turn for the corner rule.
constexpr double kCornerSineFloor = 0.033;
// Cosines: above kStraightCosine two elements are one straight run; below -kReversalCosine a
// turn is a reversal; a convex corner gets an arc only while the cosine is below kArcCosine;
// a convex corner sharper than acos(kSquareCosine) (about 94.6 degrees) gets a square pair.
constexpr double kStraightCosine = 0.9999;
constexpr double kReversalCosine = 0.9995;
constexpr double kArcCosine = 0.99;
constexpr double kSquareCosine = -0.08;
// A concave square pair closer than this fraction of d collapses to the mitre point.
constexpr double kSquareMerge = 0.01;
// Squared slack of the mitre-fits-the-element test.
constexpr double kMitreSlack = 1.0e-12;
// Corner arcs whose end points differ by less than this are no arc.
constexpr double kCornerArcGap = 1.0e-6;
// An arc element counts as this squared length in the corner rule (its true length does not
// limit a mitre); its tangent is stretched to this length to serve as the current element.
constexpr double kArcLength2 = 0.0001;
constexpr double kTangentReach = 100.0;
// Arc tolerance: a shrunken arc whose radius is not above this becomes its end point.
constexpr double kArcToleranceCap = 0.0004;

struct point2 {
    double x = 0.0, y = 0.0;
};

point2 entry(const pokarr& loop, int i) { return {loop.x[i], loop.y[i]}; }

// The unit tangent of an arc (direction dir, centre c, radius r) at point p on it.
point2 arc_tangent(double dir, point2 c, double r, point2 p) { return {-dir * (p.y - c.y) / r, dir * (p.x - c.x) / r}; }

// p + t * (a, b)
point2 shifted(point2 p, double a, double b, double t) { return {p.x + t * a, p.y + t * b}; }

// Whether the arc record starting at marker index m is complete and has a usable radius.
bool arc_record_sound(const pokarr& loop, int m) { return m + 3 < loop.count && loop.x[m + 1] > 0.0; }

// Appends a point; a failure makes the offset fail. A planar result with room takes it in place,
// as pokarr_add_pnt would write it (the caller sized the result for the whole offset).
[[gnu::always_inline]] inline bool append_point(point2 p, pokarr& result, int& status)
{
    if (result.dimension == 2 && result.y != nullptr && result.z == nullptr && result.n == nullptr &&
        pokarr_has_room(result, result.count + 1)) {
        result.x[result.count] = p.x;
        result.y[result.count] = p.y;
        ++result.count;
        return true;
    }
    const double xy[2] = {p.x, p.y};
    int s = 0;
    pokarr_add_pnt(xy, result, s);
    if (s < 0) status = kOffsetFailed;
    return s >= 0;
}

bool append_arc(point2 end, point2 centre, double radius, int dir, pokarr& result, int& status)
{
    int s = 0;
    pokarr_add_arc(end.x, end.y, nullptr, centre.x, centre.y, radius, dir, result, s);
    if (s < 0) status = kOffsetFailed;
    return s >= 0;
}

// Appends what the corner rule gave: Q1, then an arc to Q2 around the corner or Q2 as a point.
bool append_corner(const double* q1, const double* q2, int count, int arc_flag, point2 corner, double distance,
                   int corner_dir, pokarr& result, int& status)
{
    if (!append_point({q1[0], q1[1]}, result, status)) return false;
    if (count < 2) return true;
    if (arc_flag) return append_arc({q2[0], q2[1]}, corner, distance, corner_dir, result, status);
    return append_point({q2[0], q2[1]}, result, status);
}

// Offsets the arc whose start is entry j (record j + 1 .. j + 4): the offset start point and the
// arc of radius r + side * dir * d, or only its end point when it has shrunk to nothing.
bool offset_arc_body(const pokarr& loop, int j, int side, double distance, double arc_tolerance, pokarr& result,
                     int& status)
{
    const double r = loop.x[j + 2];
    const int dir = pk_arc_direction(loop.y[j + 2]);
    const point2 c = entry(loop, j + 3);
    const point2 s = entry(loop, j);
    const point2 e = entry(loop, j + 4);
    const double new_r = side * dir * distance + r;
    const double ls = std::hypot(s.x - c.x, s.y - c.y);
    const double le = std::hypot(e.x - c.x, e.y - c.y);
    const point2 s_off = ls > 0.0 ? shifted(c, s.x - c.x, s.y - c.y, new_r / ls) : s;
    const point2 e_off = le > 0.0 ? shifted(c, e.x - c.x, e.y - c.y, new_r / le) : e;
    if (!append_point(s_off, result, status)) return false;
    if (new_r > r || new_r > arc_tolerance) return append_arc(e_off, c, new_r, dir, result, status);
    return append_point(e_off, result, status);
}

}  // namespace

namespace {

// Signed curvatures (direction / radius, 0 for a line) of the elements on either side of a corner.
struct corner_bends {
    double previous = 0.0;
    double current = 0.0;
};

// The turn of a corner, u x v. Where the two elements leave the vertex along one line (tangents
// opposite, a cusp) the tangents alone cannot tell the sides apart: the elements then separate by
// how they bend, and at the offset distance d from the vertex the current element lies
// (u x v - (previous + current) * d / 2) * d to the left of the previous one. That lateral gap per
// unit length is the turn the corner rule needs; between lines it is the plain cross product.
double corner_turn(const double* u, const double* v, double distance, const corner_bends& bends)
{
    const double cross = u[0] * v[1] - u[1] * v[0];
    const double cosine = u[0] * v[0] + u[1] * v[1];
    if (cosine >= 0.0 || std::fabs(cross) >= kCornerSineFloor) return cross;
    return cross - 0.5 * (bends.previous + bends.current) * distance;
}

// The squared distance from a corner's offset on the current element's normal back to where the
// two offset lines meet, for the cosine of the turn (none at a full reversal).
double mitre_reach2(double cosine, double distance)
{
    return cosine > -1.0 ? (1.0 - cosine) / (1.0 + cosine) * distance * distance : 0.0;
}

// Inlined into the offset loop, which runs it at every corner of every offset.
[[gnu::always_inline]] inline void corner_rule(int mode, const double* u, const double* p0, const double* p1,
                                               int cur_is_arc, int prev_is_arc, const corner_bends& bends,
                                               int& arc_flag, double prev_len2, int side, double distance, double* q1,
                                               double* q2, int& count, double* v, double& len2)
{
    const double s = side;
    const double d = distance;
    const double dx = p1[0] - p0[0];
    const double dy = p1[1] - p0[1];
    const double l2 = dx * dx + dy * dy;
    len2 = mode == kCornerLast ? 4.0 * l2 : l2;
    const double min_len2 = std::min(prev_len2, len2);
    if (l2 > 0.0) {
        const double l = std::sqrt(l2);
        v[0] = dx / l;
        v[1] = dy / l;
    } else {
        // A zero-length element has no direction: carry on straight, one point on the normal.
        v[0] = u[0];
        v[1] = u[1];
    }
    arc_flag = 0;

    const double raw_c = s * corner_turn(u, v, d, bends);
    if (mode == kCornerFirst) pocket_work_block.first_corner_cross = raw_c;
    const int raw_convex = gevl0d(raw_c);
    double c = std::fabs(raw_c) < kCornerSineFloor ? 0.0 : raw_c;
    double cs = u[0] * v[0] + u[1] * v[1];
    const double turn_cosine = cs;
    if (cs > kStraightCosine) {
        c = 0.0;
        cs = 1.0;
    }
    if (std::fabs(cs) > kReversalCosine && cs < 0.0) cs = -1.0;
    // The tolerance tests of c are pure: each is taken once.
    const bool no_turn = pk_is_zero(c) != 0;
    const int reversal = no_turn && pk_eq_val(cs, -1.0);

    // Offset points of the corner on the previous and on the current element's normal.
    const double pu[2] = {p0[0] + s * d * u[1], p0[1] - s * d * u[0]};
    const double pv[2] = {p0[0] + s * d * v[1], p0[1] - s * d * v[0]};

    // A convex corner gets the arc from the arc range to a full reversal: also where the turn is
    // below the sine floor but not yet snapped to a reversal (178.1 to 178.2 degrees).
    const bool near_reversal = no_turn && cs < 0.0 && raw_convex;
    if (pocket_work_block.corner_arcs != 0 && ((c > 0.0 && cs < kArcCosine) || near_reversal)) {
        q1[0] = pu[0], q1[1] = pu[1];
        q2[0] = pv[0], q2[1] = pv[1];
        count = 2;
        arc_flag = 1;
        if (std::fabs(q1[0] - q2[0]) >= kCornerArcGap || std::fabs(q1[1] - q2[1]) >= kCornerArcGap) return;
        arc_flag = 0;
    }

    const double t2 = mitre_reach2(cs, d);
    const int straight = no_turn && pk_eq_val(cs, 1.0);
    const int near_arc = cur_is_arc || prev_is_arc;
    // c is the raw turn or a snapped zero, which the host's test takes as convex.
    const bool convex = c == 0.0 || raw_convex != 0;
    const bool square = !straight && (reversal || (c < 0.0 && min_len2 + kMitreSlack < t2) ||
                                      (convex && cs < kSquareCosine) || (c < 0.0 && near_arc));
    const double e = raw_convex ? d : 0.0;
    if (square) {
        q1[0] = pu[0] + e * u[0], q1[1] = pu[1] + e * u[1];
        q2[0] = pv[0] - e * v[0], q2[1] = pv[1] - e * v[1];
        count = 2;
        if (convex) return;
        if (std::fabs(q1[0] - q2[0]) > kSquareMerge * d || std::fabs(q1[1] - q2[1]) > kSquareMerge * d) return;
    }

    // A turn snapped to a straight run is no corner for the rule above, yet its two offset lines
    // still meet d tan(turn / 2) along the current element from the vertex's offset on its
    // normal. Taking that offset for the meeting point shifts every point of a dense loop along
    // the loop; where its curvature radius nears d, the offset's fold then no longer crosses
    // itself and runs through the band nearer the source than d. Beside an arc a snapped turn
    // keeps the vertex's offset, where the arc's own offset begins or ends.
    double m = std::sqrt(straight && !near_arc ? mitre_reach2(turn_cosine, d) : t2);
    if (near_arc ? convex : raw_convex) m = -m;
    q1[0] = pv[0] + m * v[0];
    q1[1] = pv[1] + m * v[1];
    // The last element meets the first half of the split element: when the two corners at the
    // seam are mirror images, a mitre point beyond the half element would overshoot it.
    const double first_cross = pocket_work_block.first_corner_cross;
    if (mode == kCornerLast && std::fabs(c) == 1.0 && first_cross * -1.0 == c) {
        const double qx = q1[0] - p0[0], qy = q1[1] - p0[1];
        if (qx * qx + qy * qy > len2) q1[0] = pu[0] + e * u[0], q1[1] = pu[1] + e * u[1];
    }
    count = 1;
}

}  // namespace

void offset_corner(int mode, const double* u, const double* p0, const double* p1, int cur_is_arc, int prev_is_arc,
                   int& arc_flag, double prev_len2, int side, double distance, double* q1, double* q2, int& count,
                   double* v, double& len2)
{
    corner_rule(mode, u, p0, p1, cur_is_arc, prev_is_arc, corner_bends{}, arc_flag, prev_len2, side, distance, q1, q2,
                count, v, len2);
}

namespace {

// offset_end_point's work, inline into the offset, which asks it for both ends of every loop.
[[gnu::always_inline]] inline void end_point(int mode, int side, double distance, const pokarr& loop, int i, double& x,
                                             double& y, int& status)
{
    status = 0;
    const int n = loop.count;
    const bool marker = i >= 0 && i < n && pk_is_marker(loop.x[i]);
    const int at = mode == 1 ? i - 1 : (marker ? i + 3 : i);
    if (i < 1 || i >= n || at < 0 || at >= n || (marker && !arc_record_sound(loop, i))) {
        status = kOffsetFailed;
        return;
    }
    const point2 p = entry(loop, at);
    double nx = 0.0, ny = 0.0;
    if (marker) {
        const double r = loop.x[i + 1];
        const double dir = pk_arc_direction(loop.y[i + 1]);
        const point2 c = entry(loop, i + 2);
        nx = side * dir / r * (p.x - c.x);
        ny = side * dir / r * (p.y - c.y);
    } else {
        const double ex = loop.x[i] - loop.x[i - 1];
        const double ey = loop.y[i] - loop.y[i - 1];
        const double length = std::hypot(ex, ey);
        if (length > 0.0) {
            nx = side * ey / length;
            ny = -side * ex / length;
        }
    }
    x = p.x + distance * nx;
    y = p.y + distance * ny;
}

}  // namespace

void offset_end_point(int mode, int side, double distance, const pokarr& loop, int i, double& x, double& y, int& status)
{
    end_point(mode, side, distance, loop, i, x, y, status);
}

namespace {

// Whether the offset's input is refused: a side other than the two, a distance that is negative
// or not finite, a loop with a number that is not finite. Says so in one line naming `routine`.
bool offset_input_refused(const char* routine, int side, double distance, const pokarr& loop, int& status)
{
    const char* fault = nullptr;
    if ((side != kSideRight && side != kSideLeft) || !std::isfinite(distance) || distance < 0.0)
        fault = "SIDE MUST BE 1 OR -1 AND DISTANCE A FINITE NUMBER NOT BELOW 0";
    else if (!pokarr_finite(loop))
        fault = "LOOP HOLDS A NUMBER THAT IS NOT FINITE";
    if (fault == nullptr) return false;
    eroutc(("[" + std::string(routine) + "] " + fault).c_str(), 0);
    status = kOffsetRefused;
    return true;
}

// The planar offset of an accepted loop.
void offset_planar(int side, int arc_sense, double distance, const pokarr& loop, pokarr& result, int& status)
{
    status = 0;
    const int n = loop.count;
    if (loop.kind == kPokarrEmpty || (loop.kind == kPokarrStatic && n > kMaxStaticEntries) || loop.dimension != 2 ||
        n < 2 || pk_is_marker(loop.x[0])) {
        status = kOffsetFailed;
        return;
    }
    const double arc_tolerance = std::min(0.5 * pocket_work_block.working_tolerance, kArcToleranceCap);
    const int corner_dir = side == kSideRight && arc_sense >= 0 ? 1 : -1;
    pocket_work_block.first_corner_cross = 0.0;

    // The first element: half of an element of the contour, hence the doubled squared length.
    double u[2] = {0.0, 0.0};
    double prev_len2 = 0.0;
    int j = 1;
    if (pk_is_marker(loop.x[1])) {
        if (!arc_record_sound(loop, 1)) {
            status = kOffsetFailed;
            return;
        }
        const point2 t = arc_tangent(pk_arc_direction(loop.y[2]), entry(loop, 3), loop.x[2], entry(loop, 0));
        u[0] = t.x, u[1] = t.y;
        prev_len2 = kArcLength2;
        j = 0;
    } else {
        const double dx = loop.x[1] - loop.x[0], dy = loop.y[1] - loop.y[0];
        const double l = std::hypot(dx, dy);
        if (l > 0.0) u[0] = dx / l, u[1] = dy / l;
        prev_len2 = 4.0 * l * l;
    }
    double x = 0.0, y = 0.0;
    int end_status = 0;
    end_point(1, side, distance, loop, 1, x, y, end_status);
    if (end_status != 0 || !append_point({x, y}, result, status)) {
        status = kOffsetFailed;
        return;
    }

    int prev_is_arc = 0;
    corner_bends bends;
    if (j == 0) bends.previous = pk_arc_direction(loop.y[2]) / loop.x[2];
    while (j + 1 <= n - 1) {
        const bool arc = pk_is_marker(loop.x[j + 1]);
        if (arc && !arc_record_sound(loop, j + 1)) {
            status = kOffsetFailed;
            return;
        }
        const int last_index = arc ? j + 4 : j + 1;
        const int mode = j == 1 ? kCornerFirst : (last_index == n - 1 ? kCornerLast : kCornerInner);
        const point2 p0 = entry(loop, j);
        point2 p1 = entry(loop, j + 1);
        if (arc) {
            const point2 t = arc_tangent(pk_arc_direction(loop.y[j + 2]), entry(loop, j + 3), loop.x[j + 2], p0);
            p1 = shifted(p0, t.x, t.y, kTangentReach);
        }
        const double a0[2] = {p0.x, p0.y};
        const double a1[2] = {p1.x, p1.y};
        double q1[2] = {0.0, 0.0}, q2[2] = {0.0, 0.0}, v[2], len2 = 0.0;
        int count = 1, arc_flag = 0;
        bends.current = arc ? pk_arc_direction(loop.y[j + 2]) / loop.x[j + 2] : 0.0;
        corner_rule(mode, u, a0, a1, arc ? 1 : 0, prev_is_arc, bends, arc_flag, prev_len2, side, distance, q1, q2,
                    count, v, len2);
        bends.previous = bends.current;
        if (!append_corner(q1, q2, count, arc_flag, p0, distance, corner_dir, result, status)) return;
        if (!arc) {
            u[0] = v[0], u[1] = v[1];
            prev_len2 = len2;
            prev_is_arc = 0;
            j += 1;
            continue;
        }
        if (!offset_arc_body(loop, j, side, distance, arc_tolerance, result, status)) return;
        const point2 t =
            arc_tangent(pk_arc_direction(loop.y[j + 2]), entry(loop, j + 3), loop.x[j + 2], entry(loop, j + 4));
        u[0] = t.x, u[1] = t.y;
        prev_len2 = kArcLength2;
        prev_is_arc = 1;
        j += 4;
    }

    const int last = n - 1 > 3 && pk_is_marker(loop.x[n - 4]) ? n - 4 : n - 1;
    end_point(2, side, distance, loop, last, x, y, end_status);
    if (end_status != 0) {
        status = kOffsetFailed;
        return;
    }
    append_point({x, y}, result, status);
}

}  // namespace

double raw_offset_accuracy(double distance)
{
    // The largest turn the rule passes over: its sine is the floor, 1 - cos follows.
    const double flat = 1.0 - std::sqrt(1.0 - kCornerSineFloor * kCornerSineFloor);
    return 2.0 * distance * flat + kArcToleranceCap;
}

void pokarr_offset_2d(int side, int arc_sense, double distance, const pokarr& loop, pokarr& result, int& status)
{
    if (offset_input_refused("pokarr_offset_2d", side, distance, loop, status)) return;
    offset_planar(side, arc_sense, distance, loop, result, status);
}

void lane_offset_2d3d(int side, int arc_sense, double distance, const pokarr& loop, pokarr& result, int& status)
{
    if (offset_input_refused("lane_offset_2d3d", side, distance, loop, status)) return;
    if (loop.dimension == 2) {
        offset_planar(side, arc_sense, distance, loop, result, status);
        return;
    }
    surface_offset_seam_table().lane_offset_3d(side, distance, loop, result, status);
}

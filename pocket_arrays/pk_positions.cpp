// Positions of points against single elements: the box of an arc, the distance and parameter of
// a point on a segment, and where a point lies on an arc.
#include "pocket_arrays/pk_primitives.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cmath>

namespace {

// Quadrant of a point about a centre: quadrant k covers the angles above 90k up to 90(k + 1)
// degrees.
int quadrant(double cx, double cy, double x, double y)
{
    if (y > cy) return x >= cx ? 0 : 1;
    if (y == cy && x <= cx) return 1;
    if (y < cy && x <= cx) return 2;
    return 3;
}

int sign_of(double v) { return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0); }
double cross(const double* a, const double* b) { return a[0] * b[1] - a[1] * b[0]; }

// A cross product of two vectors above this share of the product of their lengths has the sign
// of the cross product of their unit vectors: rounding moves that one, and the plain one, by a
// few parts in 1e16 of the lengths' product at most.
constexpr double kSureSine = 1.0e-12;

// The sign of the cross product of the unit vectors of a and b as the host's v2untd gives them
// (it leaves a vector shorter than its tolerance as it is). Taken from the plain cross product
// where its size makes the sign sure; the unit vectors are made only for vectors (nearly) in line.
int unit_cross_sign(const double* a, const double* b)
{
    const double c = cross(a, b);
    const double lengths2 = (a[0] * a[0] + a[1] * a[1]) * (b[0] * b[0] + b[1] * b[1]);
    if (c * c > kSureSine * kSureSine * lengths2) return c > 0.0 ? 1 : -1;
    double ua[2] = {a[0], a[1]}, ub[2] = {b[0], b[1]};
    double length = 0.0;
    int status = 0;
    v2untd(ua, length, status);
    v2untd(ub, length, status);
    return sign_of(cross(ua, ub));
}

// std::fmin and std::fmax as the C library answers them (at a tie the second argument, for one
// NaN argument the other one), written out so that they are inlined in the arc's box.
double smaller(double a, double b) { return std::isnan(a) ? b : std::isnan(b) ? a : (a < b ? a : b); }
double larger(double a, double b) { return std::isnan(a) ? b : std::isnan(b) ? a : (a > b ? a : b); }

// How p and q stand about the centre: together when their radii make a sine of at most
// kSureSine and point the same way (or one is no vector), which a box reads as a whole circle, of
// which an arc of no sweep is the only use; otherwise whether q lies counter-clockwise of p.
enum class ends_order { together, ahead, behind };

ends_order order_of_ends(double cx, double cy, double px, double py, double qx, double qy)
{
    const double u[2] = {px - cx, py - cy}, w[2] = {qx - cx, qy - cy};
    const double c = cross(u, w), dot = u[0] * w[0] + u[1] * w[1];
    const double lengths2 = (u[0] * u[0] + u[1] * u[1]) * (w[0] * w[0] + w[1] * w[1]);
    if (!(c * c > kSureSine * kSureSine * lengths2) && dot >= 0.0) return ends_order::together;
    return c > 0.0 ? ends_order::ahead : ends_order::behind;
}

// The number of axis extremes the counter-clockwise sweep from quadrant `from` to quadrant `to`
// passes: the whole circle's four for ends together, and for ends in one quadrant none when q
// lies ahead of p, all four when behind (an arc of more than three quarters).
int extremes_passed(int from, int to, ends_order order)
{
    if (order == ends_order::together) return 4;
    if (from == to) return order == ends_order::ahead ? 0 : 4;
    return (to - from + 4) % 4;
}

}  // namespace

void arc_box(double cx, double cy, double r, int direction, double sx, double sy, double ex, double ey, double& xmin,
             double& ymin, double& xmax, double& ymax)
{
    // The sweep runs counter-clockwise from p to q.
    const bool ccw = direction >= 1;
    const double px = ccw ? sx : ex, py = ccw ? sy : ey;
    const double qx = ccw ? ex : sx, qy = ccw ? ey : sy;
    xmin = smaller(px, qx);
    xmax = larger(px, qx);
    ymin = smaller(py, qy);
    ymax = larger(py, qy);
    const int from = quadrant(cx, cy, px, py);
    const int to = quadrant(cx, cy, qx, qy);
    const int passed = extremes_passed(from, to, order_of_ends(cx, cy, px, py, qx, qy));
    // Passing from quadrant k to k + 1 crosses the extreme k: top, left, bottom, right.
    for (int n = 0, k = from; n < passed; ++n, k = (k + 1) % 4) {
        switch (k) {
        case 0: ymax = larger(ymax, cy + r); break;
        case 1: xmin = smaller(xmin, cx - r); break;
        case 2: ymin = smaller(ymin, cy - r); break;
        default: xmax = larger(xmax, cx + r); break;
        }
    }
}

void seg_dist2(int mode, double px, double py, double ax, double ay, double bx, double by, double& distance,
               double& nearest_x, double& nearest_y)
{
    const double p[2] = {px, py}, a[2] = {ax, ay}, b[2] = {bx, by};
    double nearest[2] = {ax, ay};
    double t = 0.0;
    int status = 0;
    distance = 0.0;
    dsdlpt(mode, 2, p, a, b, nearest, t, distance, status);
    nearest_x = nearest[0];
    nearest_y = nearest[1];
}

void seg_param_of_pnt_nd(int n, const double* a, const double* b, const double* p, double& t)
{
    t = 0.0;
    if (n < 1) return;
    int k = 0;
    for (int i = 1; i < n; ++i)
        if (std::fabs(b[i] - a[i]) > std::fabs(b[k] - a[k])) k = i;
    const double extent = b[k] - a[k];
    if (!pk_is_zero(extent)) {
        t = (p[k] - a[k]) / extent;
        return;
    }
    const bool within = p[k] >= std::fmin(a[k], b[k]) && p[k] <= std::fmax(a[k], b[k]);
    t = within ? 0.0 : 1.5;
}

void seg_param_of_pnt(double x0, double y0, double x1, double y1, double px, double py, double& t)
{
    const bool along_y = std::fabs(y1 - y0) >= std::fabs(x1 - x0);
    const double a = along_y ? y0 : x0;
    const double b = along_y ? y1 : x1;
    const double p = along_y ? py : px;
    if (!eqvl0d(b - a)) {
        t = (p - a) / (b - a);
        return;
    }
    t = p >= std::fmin(a, b) && p <= std::fmax(a, b) ? 0.0 : 1.5;
}

int pnt_on_arc(const double* centre, int direction, const double* start, const double* end, const double* point)
{
    if (pk_eq_pnt2(point, start)) return 2;
    if (pk_eq_pnt2(point, end)) return 3;
    // The radii to the three points; differences and cross products are written out (the host's
    // v2subd and v2crsd compute them alike).
    const double u[2] = {start[0] - centre[0], start[1] - centre[1]};
    const double v[2] = {point[0] - centre[0], point[1] - centre[1]};
    const double w[2] = {end[0] - centre[0], end[1] - centre[1]};
    const double chord_cross = cross(u, w);  // sign tells whether the arc exceeds half a turn
    const int s1 = unit_cross_sign(u, v);
    const int s2 = unit_cross_sign(v, w);
    if (s1 == 0) return s2 == direction ? 1 : 0;
    if (s2 == 0) return s1 == direction ? 1 : 0;
    if (s1 == s2) return s1 == direction ? 1 : 0;
    const bool beyond_half_turn = direction == 1 ? chord_cross < 0.0 : chord_cross > 0.0;
    return beyond_half_turn && direction * direction == 1 ? 1 : 0;
}

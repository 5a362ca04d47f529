// Points, parameters and normals on single lines and arcs, and the line-circle intersection.
// The offset, loop-removal and nearest-point code call these per element.
#include "pocket_arrays/pk_element.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The full turn as the engine has always taken it.
constexpr double kFullTurn = 6.283185308;
// Ends closer than this in angle are interpolated along the chord.
constexpr double kLinearFallbackAngle = 0.01;
// A blended direction is not flipped while the sine of the sweep lies in -kSmallSine .. 0.
constexpr double kSmallSine = 0.2;

double wrap_turn(double angle)
{
    if (angle < 0.0) angle += kFullTurn;
    if (angle >= kFullTurn) angle -= kFullTurn;
    return angle;
}

// Unit vector from c to p in place into out; false when it has no length.
bool radial_unit(double cx, double cy, double px, double py, double* out)
{
    out[0] = px - cx;
    out[1] = py - cy;
    double length = 0.0;
    int status = 0;
    v2untd(out, length, status);
    return status == 0;
}

}  // namespace

// ---- vector helpers ---------------------------------------------------------------------------

double vec_cross_signed(int mode, const double* a, const double* b)
{
    const double planar = a[0] * b[1] - a[1] * b[0];
    if (mode == 2) return planar;
    double cross[3];
    v3crsd(a, b, cross);
    const double length = std::sqrt(v3dotd(cross, cross));
    return planar < 0.0 ? -length : length;
}

void seg_side_normal(int mode, double x0, double y0, double /*reserved*/, double side, double x1, double y1, double x2,
                     double y2, double& nx, double& ny)
{
    const double dx = (mode == 1 ? x1 : x2) - x0;
    const double dy = (mode == 1 ? y1 : y2) - y0;
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0)) {
        nx = ny = 0.0;
        return;
    }
    nx = side * (-dy / length);
    ny = side * (dx / length);
}

void dir_in_corner(int direction, const double* p, const double* a, const double* b, const double* c, int& result)
{
    double u[2], w[2], v[2];
    radial_unit(p[0], p[1], a[0], a[1], u);
    radial_unit(p[0], p[1], b[0], b[1], w);
    radial_unit(p[0], p[1], c[0], c[1], v);
    const double c1 = direction * v2crsd(u, v);
    const double c2 = direction * v2crsd(v, w);
    if (c1 >= 0.0 && c2 >= 0.0)
        result = 0;
    else if (c1 >= 0.0)
        result = 2;
    else if (c2 >= 0.0)
        result = -2;
    else
        result = c1 <= c2 ? -2 : 2;
}

// ---- lines and arcs ---------------------------------------------------------------------------

int seg_pnt_at_param(double x0, double y0, double x1, double y1, double t, double& x, double& y)
{
    x = x0 + t * (x1 - x0);
    y = y0 + t * (y1 - y0);
    if (pk_is_zero(t) || pk_eq_val(t, 1.0)) return 1;
    const bool at_end = pk_eq_val(x, x1) && pk_eq_val(y, y1);
    const bool at_start = pk_eq_val(x, x0) && pk_eq_val(y, y0);
    if (!at_end && !at_start) return 0;
    // A segment this short has no inner point to speak of.
    x = 0.5 * (x0 + x1);
    y = 0.5 * (y0 + y1);
    return 1;
}

void arc_pnt_by_angle(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey, double t,
                      double& x, double& y)
{
    const double a_s = std::atan2(sy - cy, sx - cx);
    const double a_e = std::atan2(ey - cy, ex - cx);
    const double base = d == 1 ? a_s : a_e;
    double sweep = d == 1 ? a_e - a_s : a_s - a_e;
    // Before any wrapping: a nearly closed full circle takes this branch too.
    if (std::fabs(sweep) <= kLinearFallbackAngle) {
        x = sx + t * (ex - sx);
        y = sy + t * (ey - sy);
        return;
    }
    sweep = wrap_turn(sweep);
    const double step = wrap_turn(d == 1 ? sweep * t : sweep * (1.0 - t));
    x = cx + r * std::cos(base + step);
    y = cy + r * std::sin(base + step);
}

// The points of one arc at several parameters (arc_pnts_by_vector), inlined into both entries so
// that the one-point form costs what it did before the several-point form was added.
[[gnu::always_inline]] static inline void blended_arc_points(double r, int d, double cx, double cy, double sx,
                                                             double sy, double ex, double ey, const double* t,
                                                             int count, double* x, double* y)
{
    double u[2], w[2];
    const bool radials = radial_unit(cx, cy, sx, sy, u) && radial_unit(cx, cy, ex, ey, w);
    const double k = radials ? v2crsd(u, w) : 0.0;
    const bool blend = radials && !pk_is_zero(k);
    const bool small_negative = k >= -kSmallSine && k <= 0.0;
    const bool flip = d * k < 0.0 && !small_negative;
    for (int i = 0; i < count; ++i) {
        double m[2] = {0.0, 0.0};
        double length = 0.0;
        int status = -1;
        if (blend) {
            m[0] = (1.0 - t[i]) * u[0] + t[i] * w[0];
            m[1] = (1.0 - t[i]) * u[1] + t[i] * w[1];
            v2untd(m, length, status);
        }
        if (status != 0) {
            arc_pnt_by_angle(r, d, cx, cy, sx, sy, ex, ey, t[i], x[i], y[i]);
            continue;
        }
        if (flip) {
            m[0] = -m[0];
            m[1] = -m[1];
        }
        x[i] = cx + r * m[0];
        y[i] = cy + r * m[1];
    }
}

void arc_pnts_by_vector(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey,
                        const double* t, int count, double* x, double* y)
{
    blended_arc_points(r, d, cx, cy, sx, sy, ex, ey, t, count, x, y);
}

void arc_pnt_by_vector(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey, double t,
                       double& x, double& y)
{
    blended_arc_points(r, d, cx, cy, sx, sy, ex, ey, &t, 1, &x, &y);
}

namespace {

arc_end_angles arc_angles_of_ends(double cx, double cy, double sx, double sy, double ex, double ey)
{
    return {std::atan2(sy - cy, sx - cx), std::atan2(ey - cy, ex - cx)};
}

// arc_param_of_pnt with the arc's end angles known; inlined into both entries, so that the one
// that measures them costs what it did before the other kept them.
[[gnu::always_inline]] inline void arc_param_at_angles(int d, double cx, double cy, double sx, double sy, double ex,
                                                       double ey, arc_end_angles ends, double px, double py, double& t)
{
    if (pk_eq_val(px, sx) && pk_eq_val(py, sy)) {
        px = sx;
        py = sy;
    } else if (pk_eq_val(px, ex) && pk_eq_val(py, ey)) {
        px = ex;
        py = ey;
    }
    const double a_s = ends.start, a_e = ends.end;
    const double a_p = std::atan2(py - cy, px - cx);
    const double sweep = wrap_turn(d == 1 ? a_e - a_s : a_s - a_e);
    const double angle = wrap_turn(d == 1 ? a_p - a_s : a_p - a_e);
    if (sweep == 0.0) {
        t = 0.0;
        return;
    }
    t = angle / sweep;
    if (d != 1) t = 1.0 - t;
}

}  // namespace

void arc_param_of_pnt(double /*r*/, int d, double cx, double cy, double sx, double sy, double ex, double ey, double px,
                      double py, double& t)
{
    arc_param_at_angles(d, cx, cy, sx, sy, ex, ey, arc_angles_of_ends(cx, cy, sx, sy, ex, ey), px, py, t);
}

double loop_arc_param(const pokarr& a, int e, double x, double y, std::vector<arc_end_angles>& ends)
{
    const double cx = a.x[e + 2], cy = a.y[e + 2];
    const double sx = a.x[e - 1], sy = a.y[e - 1], ex = a.x[e + 3], ey = a.y[e + 3];
    arc_end_angles& kept = ends[static_cast<std::size_t>(e)];
    // Not a number until measured (an arc whose ends are not numbers is measured every time).
    if (std::isnan(kept.start)) kept = arc_angles_of_ends(cx, cy, sx, sy, ex, ey);
    double t = 0.0;
    arc_param_at_angles(pk_arc_direction(a.y[e + 1]), cx, cy, sx, sy, ex, ey, kept, x, y, t);
    return t;
}

void loop_arc_angles_reset(int entries, std::vector<arc_end_angles>& ends)
{
    constexpr double kUnmeasured = std::numeric_limits<double>::quiet_NaN();
    ends.assign(static_cast<std::size_t>(std::max(entries, 0)), {kUnmeasured, kUnmeasured});
}

void arc_dist_pnt(int mode, double px, double py, double r, int d, double cx, double cy, double sx, double sy,
                  double ex, double ey, double& distance, double& nearest_x, double& nearest_y, double& t)
{
    const double from_centre = std::hypot(px - cx, py - cy);
    if (pk_is_zero(from_centre)) {
        distance = r;
        t = kParamAtCentre;
        return;
    }
    distance = std::fabs(from_centre - r);
    nearest_x = cx + (px - cx) * r / from_centre;
    nearest_y = cy + (py - cy) * r / from_centre;
    arc_param_of_pnt(r, d, cx, cy, sx, sy, ex, ey, nearest_x, nearest_y, t);
    if (mode != 2 || (t >= 0.0 && t <= 1.0)) return;
    const double to_start = std::hypot(px - sx, py - sy);
    const double to_end = std::hypot(px - ex, py - ey);
    if (to_start < to_end) {
        nearest_x = sx;
        nearest_y = sy;
        t = 0.0;
        distance = to_start;
    } else {
        nearest_x = ex;
        nearest_y = ey;
        t = 1.0;
        distance = to_end;
    }
}

void arc_param_by_acos_xy(double /*reserved*/, double cx, double cy, double sx, double sy, double ex, double ey,
                          double px, double py, double& t)
{
    double u[2], w[2], v[2];
    radial_unit(cx, cy, sx, sy, u);
    radial_unit(cx, cy, ex, ey, w);
    double sweep = 0.0;
    int status = 0;
    arcosd(v2dotd(u, w), sweep, status);
    if (pk_is_zero(sweep)) {
        t = 0.0;
        return;
    }
    radial_unit(cx, cy, px, py, v);
    double angle = 0.0;
    arcosd(v2dotd(u, v), angle, status);
    t = angle / sweep;
}

void arc_param_by_acos(double reserved, const double* c, const double* s, const double* e, const double* p, double& t)
{
    arc_param_by_acos_xy(reserved, c[0], c[1], s[0], s[1], e[0], e[1], p[0], p[1], t);
}

void arc_param_tangent(int d, double cx, double cy, double sx, double sy, double ex, double ey, double px, double py,
                       double& t, double& tx, double& ty)
{
    arc_param_by_acos_xy(0.0, cx, cy, sx, sy, ex, ey, px, py, t);
    double v[2];
    radial_unit(cx, cy, px, py, v);
    tx = -d * v[1];
    ty = d * v[0];
}

void line_circle_intersect(const double* p0, const double* p1, const double* c, double r, double& t1, double& t2,
                           double* q1, double* q2, int& result)
{
    const double d[2] = {p1[0] - p0[0], p1[1] - p0[1]};
    const double length2 = d[0] * d[0] + d[1] * d[1];
    if (length2 < kPocketPointSquared) {
        result = -1;
        return;
    }
    const double along = ((p0[0] - c[0]) * d[0] + (p0[1] - c[1]) * d[1]) / length2;
    const double foot[2] = {p0[0] - along * d[0], p0[1] - along * d[1]};
    const double off2 = (foot[0] - c[0]) * (foot[0] - c[0]) + (foot[1] - c[1]) * (foot[1] - c[1]);
    const double h2 = r * r - off2;
    if (h2 < 0.0) {
        result = 0;
        return;
    }
    const double length = std::sqrt(length2);
    const double e[2] = {d[0] / length, d[1] / length};
    const double h = std::sqrt(h2);
    q1[0] = foot[0] + h * e[0];
    q1[1] = foot[1] + h * e[1];
    q2[0] = foot[0] - h * e[0];
    q2[1] = foot[1] - h * e[1];
    result = 2;
    if (pk_eq_pnt2(q1, q2)) {
        q1[0] = q2[0] = foot[0];
        q1[1] = q2[1] = foot[1];
        result = 1;
    }
    t1 = ((q1[0] - p0[0]) * e[0] + (q1[1] - p0[1]) * e[1]) / length;
    t2 = ((q2[0] - p0[0]) * e[0] + (q2[1] - p0[1]) * e[1]) / length;
}

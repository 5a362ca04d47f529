// The drop of an untapered cutter (flat end, ball, bull-nose) onto the triangle model by brute
// force, in double precision and without the cutter kernels: the benchmarks check the front
// end's heights against it. Every triangle of the model is tried.
//
// A cutter of radius R and corner r lowered at an axis point rests on a triangle point p at the
// tip height p.z - lift(rho), rho being p's plan distance from the axis (at most R). The lift is
// convex in rho and rho is convex in p, so over the triangle's part within the radius the tip
// height is concave: its highest value lies where its gradient vanishes inside the triangle, on
// the rim circle, or on an edge, where a golden-section search finds it.
#pragma once

#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <cmath>

namespace bench {

struct reference_cutter {
    double radius;  // R
    double corner;  // r: 0 flat end, R ball
};

// The rise of the cutter's underside over its tip at plan distance rho (at most R) from the axis.
inline double cutter_lift(const reference_cutter& cutter, double rho)
{
    const double flat = cutter.radius - cutter.corner;
    if (rho <= flat) return 0.0;
    const double off = std::min(rho - flat, cutter.corner);
    return cutter.corner - std::sqrt(std::max(0.0, cutter.corner * cutter.corner - off * off));
}

// A triangle's corners relative to the axis in x and y (z as it is).
struct reference_triangle {
    double p[3][3];
};

// The tip height resting on the point (x, y, z) relative to the axis; -inf beyond the radius.
inline double tip_on(const reference_cutter& cutter, double x, double y, double z)
{
    const double rho = std::hypot(x, y);
    return rho <= cutter.radius ? z - cutter_lift(cutter, rho) : -HUGE_VAL;
}

// The highest tip height over the edge from a to b: the part of it within the radius, searched
// by golden sections (the tip height is concave along it).
inline double edge_highest(const reference_cutter& cutter, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], dz = b[2] - a[2];
    const double qa = dx * dx + dy * dy, qb = a[0] * dx + a[1] * dy,
                 qc = a[0] * a[0] + a[1] * a[1] - cutter.radius * cutter.radius;
    if (qa == 0.0) return tip_on(cutter, a[0], a[1], std::max(a[2], b[2]));
    const double discriminant = qb * qb - qa * qc;
    if (discriminant < 0.0) return -HUGE_VAL;
    const double root = std::sqrt(discriminant);
    double lo = std::max(0.0, (-qb - root) / qa), hi = std::min(1.0, (-qb + root) / qa);
    if (lo > hi) return -HUGE_VAL;
    auto tip_at = [&](double t) {
        const double x = a[0] + t * dx, y = a[1] + t * dy;
        return a[2] + t * dz - cutter_lift(cutter, std::min(std::hypot(x, y), cutter.radius));
    };
    double best = std::max(tip_at(lo), tip_at(hi));
    constexpr double kGolden = 0.6180339887498949;
    constexpr int kSections = 80;  // shrinks the interval below 1e-16 of its length
    double left = hi - kGolden * (hi - lo), right = lo + kGolden * (hi - lo);
    double f_left = tip_at(left), f_right = tip_at(right);
    for (int k = 0; k < kSections; ++k) {
        if (f_left < f_right) {
            lo = left;
            left = right;
            f_left = f_right;
            right = lo + kGolden * (hi - lo);
            f_right = tip_at(right);
        } else {
            hi = right;
            right = left;
            f_right = f_left;
            left = hi - kGolden * (hi - lo);
            f_left = tip_at(left);
        }
    }
    return std::max({best, f_left, f_right});
}

// Whether the plan point (x, y) lies in the triangle's plan (its sides included).
inline bool in_plan(const reference_triangle& t, double x, double y)
{
    double side[3];
    for (int k = 0; k < 3; ++k) {
        const double* a = t.p[k];
        const double* b = t.p[(k + 1) % 3];
        side[k] = (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
    }
    return (side[0] >= 0.0 && side[1] >= 0.0 && side[2] >= 0.0) || (side[0] <= 0.0 && side[1] <= 0.0 && side[2] <= 0.0);
}

// The highest tip height over the face: where the gradient of the tip height vanishes (the
// corner's point whose normal is the plane's: at w + r sin(slope) from the axis uphill), and the
// uphill point of the rim circle, each when it lies in the triangle. -inf for a vertical face.
inline double face_highest(const reference_cutter& cutter, const reference_triangle& t)
{
    const double* o = t.p[0];
    const double u[3] = {t.p[1][0] - o[0], t.p[1][1] - o[1], t.p[1][2] - o[2]};
    const double v[3] = {t.p[2][0] - o[0], t.p[2][1] - o[1], t.p[2][2] - o[2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (n[2] == 0.0 || !(length > 0.0)) return -HUGE_VAL;
    const double gx = -n[0] / n[2], gy = -n[1] / n[2], slope = std::hypot(gx, gy);
    // The tip height resting on the plane at `distance` from the axis uphill (the distance is
    // passed, not measured again, so that the rim point is not lost to rounding).
    auto plane_tip = [&](double distance) {
        const double x = distance * gx / slope, y = distance * gy / slope;
        return in_plan(t, x, y) ? o[2] + gx * (x - o[0]) + gy * (y - o[1]) - cutter_lift(cutter, distance) : -HUGE_VAL;
    };
    if (slope == 0.0) return in_plan(t, 0.0, 0.0) ? o[2] : -HUGE_VAL;
    const double sine = std::hypot(n[0], n[1]) / length;
    const double touch = cutter.radius - cutter.corner + cutter.corner * sine;
    return std::max(plane_tip(touch), plane_tip(cutter.radius));
}

// The highest tip height of the cutter lowered at (x, y) over every triangle of the model; -inf
// when no triangle lies within its radius.
inline double reference_drop(const reference_cutter& cutter, double x, double y)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    double best = -HUGE_VAL;
    for (int e = 0; e < tri_store_block.entry_count; ++e) {
        reference_triangle t;
        double top = -HUGE_VAL, low_x = HUGE_VAL, high_x = -HUGE_VAL, low_y = HUGE_VAL, high_y = -HUGE_VAL;
        for (int c = 0; c < 3; ++c) {
            const float* node = nodes + 3 * (entries[e].nodes[c] - 1);
            t.p[c][0] = node[0] - x;
            t.p[c][1] = node[1] - y;
            t.p[c][2] = node[2];
            top = std::max(top, t.p[c][2]);
            low_x = std::min(low_x, t.p[c][0]);
            high_x = std::max(high_x, t.p[c][0]);
            low_y = std::min(low_y, t.p[c][1]);
            high_y = std::max(high_y, t.p[c][1]);
        }
        // No tip height exceeds the highest corner, and a triangle whose plan box lies beyond
        // the radius is not reached.
        if (!(top > best) || low_x > cutter.radius || high_x < -cutter.radius || low_y > cutter.radius ||
            high_y < -cutter.radius)
            continue;
        best = std::max(best, face_highest(cutter, t));
        for (int k = 0; k < 3; ++k) best = std::max(best, edge_highest(cutter, t.p[k], t.p[(k + 1) % 3]));
    }
    return best;
}

}  // namespace bench

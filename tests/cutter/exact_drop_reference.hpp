// The exact drop of a cutter onto triangles, as the reference of the drop's property test. The
// cutter's lower surface is its profile's lift over the tip by distance from the axis (convex, a
// cutter being a convex solid of revolution), so where it rests on one triangle is the highest of
// the concave f(p) = z(p) - lift(|p - axis|) over the triangle's points within its outer radius:
// at the point where it is tangent to the triangle's plane when that point lies in the triangle
// (whether or not an edge comes within the radius: a triangle wider than the cutter holds it on
// its face alone), and on the triangle's edges. Each of these is a concave maximum in one
// variable, found in double by golden section down to the last bits; a chord's ends are taken on
// their own.
#pragma once

#include "cutter_profile.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

class exact_drop_reference {
public:
    static constexpr double kNothing = -1e30;

    explicit exact_drop_reference(const cutter_profile& profile) : profile_(profile), radius_(profile.outer_radius()) {}

    // The tip height over every triangle (9 doubles each) with the axis at (x, y); kNothing when
    // no triangle lies under the cutter.
    double drop(const std::vector<double>& corners, double x, double y) const
    {
        double best = kNothing;
        for (std::size_t t = 0; t + 9 <= corners.size(); t += 9)
            if (box_within_radius(&corners[t], x, y)) best = std::max(best, on_triangle(&corners[t], x, y));
        return best;
    }

private:
    double lift(double rho) const { return profile_.height_at(std::min(rho, radius_)); }

    // Whether the triangle's box in XY comes within the radius of (x, y); none beyond it is met.
    bool box_within_radius(const double* c, double x, double y) const
    {
        const double dx = std::max({std::min({c[0], c[3], c[6]}) - x, x - std::max({c[0], c[3], c[6]}), 0.0});
        const double dy = std::max({std::min({c[1], c[4], c[7]}) - y, y - std::max({c[1], c[4], c[7]}), 0.0});
        return std::hypot(dx, dy) <= radius_;
    }

    // The highest of a concave g over [lo, hi], ends included, and where it lies.
    template <class G> static double concave_max(const G& g, double lo, double hi, double& at)
    {
        const double from = lo, to = hi;
        constexpr double kGolden = 0.6180339887498949;
        for (int k = 0; k < 200 && hi - lo > 1e-16 * (1.0 + std::fabs(lo) + std::fabs(hi)); ++k) {
            const double a = hi - kGolden * (hi - lo), b = lo + kGolden * (hi - lo);
            if (g(a) < g(b))
                lo = a;
            else
                hi = b;
        }
        at = lo;
        for (double t : {hi, from, to})
            if (g(t) > g(at)) at = t;
        return g(at);
    }

    double on_triangle(const double* c, double x, double y) const
    {
        double best = kNothing;
        for (int k = 0; k < 3; ++k) best = std::max(best, on_edge(c + 3 * k, c + 3 * ((k + 1) % 3), x, y));
        const double u[3] = {c[3] - c[0], c[4] - c[1], c[5] - c[2]}, v[3] = {c[6] - c[0], c[7] - c[1], c[8] - c[2]};
        double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        if (n[2] == 0.0) return best;  // a vertical triangle: its top is its edges
        if (n[2] < 0.0) n[0] = -n[0], n[1] = -n[1], n[2] = -n[2];
        const double across = std::hypot(n[0], n[1]), slope = across / n[2];
        const double gx = across > 0.0 ? -n[0] / across : 1.0, gy = across > 0.0 ? -n[1] / across : 0.0;
        double rho = 0.0;
        concave_max([&](double r) { return slope * r - lift(r); }, 0.0, radius_, rho);
        const double px = x + rho * gx - c[0], py = y + rho * gy - c[1];
        const double l1 = (px * v[1] - py * v[0]) / (u[0] * v[1] - u[1] * v[0]);
        const double l2 = (u[0] * py - u[1] * px) / (u[0] * v[1] - u[1] * v[0]);
        if (l1 < 0.0 || l2 < 0.0 || l1 + l2 > 1.0) return best;
        return std::max(best, c[2] + l1 * u[2] + l2 * v[2] - lift(rho));
    }

    // The highest of f over the part of the edge a..b within the outer radius.
    double on_edge(const double* a, const double* b, double x, double y) const
    {
        const double dx = b[0] - a[0], dy = b[1] - a[1], ax = a[0] - x, ay = a[1] - y;
        const double qa = dx * dx + dy * dy, qb = dx * ax + dy * ay, qc = ax * ax + ay * ay - radius_ * radius_;
        double lo = 0.0, hi = 1.0;
        if (qa == 0.0) {
            if (qc > 0.0) return kNothing;
        } else {
            const double discriminant = qb * qb - qa * qc;
            if (discriminant < 0.0) return kNothing;
            lo = std::max(lo, (-qb - std::sqrt(discriminant)) / qa);
            hi = std::min(hi, (-qb + std::sqrt(discriminant)) / qa);
            if (lo > hi) return kNothing;
        }
        const auto f = [&](double t) { return a[2] + t * (b[2] - a[2]) - lift(std::hypot(ax + t * dx, ay + t * dy)); };
        double at = 0.0;
        return concave_max(f, lo, hi, at);
    }

    cutter_profile profile_;
    double radius_;
};

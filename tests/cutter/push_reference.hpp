// A brute-force push of a cutter onto one triangle, as the reference of the toroidal solvers'
// tests: the cutter's surface sampled with step h (at most h apart around and along its
// profile, and up its side a little), each sample pushed along the direction onto the triangle,
// and the triangle's corners and edge points (step h) pushed back against the cutter. Every
// candidate is a real touch, so the least travel lies at or after the true first contact, and
// within a few h of it.
#pragma once

#include "cutter_profile.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

using point3 = std::array<double, 3>;

class push_reference {
public:
    push_reference(const cutter_profile& profile, double step) : profile_(profile), step_(step)
    {
        for (const auto& [rho, z] : profile.rings(step, 0.1 * profile.outer_radius())) {
            const int around = std::max(1, static_cast<int>(std::ceil(2 * M_PI * rho / step)));
            for (int k = 0; k < around; ++k) {
                const double a = 2 * M_PI * k / around;
                samples_.push_back({rho * std::cos(a), rho * std::sin(a), z});
            }
        }
    }

    double step() const { return step_; }

    // Signed distance of a point from the cutter whose lowest point is at `tip`.
    double signed_distance(const point3& tip, const point3& p) const
    {
        return profile_.signed_distance(cutter_profile::norm(p[0] - tip[0], p[1] - tip[1]), p[2] - tip[2]);
    }

    // The least travel (0 or more) over every touch found along the unit direction u, +inf when
    // none.
    double travel(const point3& tip, const point3& u, const double* triangle) const
    {
        double best = std::numeric_limits<double>::infinity();
        pushed_samples(tip, u, triangle, best);
        for (int k = 0; k < 3; ++k) {
            const double* a = triangle + 3 * k;
            const double* b = triangle + 3 * ((k + 1) % 3);
            const double length = std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
            const int steps = std::max(1, static_cast<int>(std::ceil(length / step_)));
            for (int s = 0; s < steps; ++s) {
                const double t = static_cast<double>(s) / steps;
                const point3 p{a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])};
                best = std::min(best, pushed_point(tip, u, p));
            }
        }
        return best;
    }

    // The least signed distance of the triangle from the cutter (nested golden sections over its
    // barycentric coordinates; convex, so they find it).
    double clearance(const point3& tip, const double* triangle) const
    {
        auto at = [&](double alpha, double beta) {
            point3 p;
            for (int c = 0; c < 3; ++c)
                p[c] = triangle[c] + alpha * (triangle[3 + c] - triangle[c]) + beta * (triangle[6 + c] - triangle[c]);
            return signed_distance(tip, p);
        };
        return golden_minimum(0.0, 1.0, 48, [&](double alpha) {
            return golden_minimum(0.0, 1.0 - alpha, 48, [&](double beta) { return at(alpha, beta); });
        });
    }

    // Distance from a point to the triangle.
    static double distance_to_triangle(const point3& p, const double* triangle)
    {
        auto sub = [](const double* a, const double* b) { return point3{a[0] - b[0], a[1] - b[1], a[2] - b[2]}; };
        auto dot = [](const point3& a, const point3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
        const point3 ab = sub(triangle + 3, triangle), ac = sub(triangle + 6, triangle), ap = sub(p.data(), triangle);
        // Minimise |ap - alpha ab - beta ac| over the triangle by its 2 x 2 normal equations and
        // the three edges.
        const double d00 = dot(ab, ab), d01 = dot(ab, ac), d11 = dot(ac, ac), d20 = dot(ap, ab), d21 = dot(ap, ac);
        const double den = d00 * d11 - d01 * d01;
        double best = std::numeric_limits<double>::infinity();
        if (den > 0.0) {
            const double alpha = (d11 * d20 - d01 * d21) / den, beta = (d00 * d21 - d01 * d20) / den;
            if (alpha >= 0 && beta >= 0 && alpha + beta <= 1) {
                point3 r;
                for (int c = 0; c < 3; ++c) r[c] = ap[c] - alpha * ab[c] - beta * ac[c];
                best = std::sqrt(dot(r, r));
            }
        }
        for (int k = 0; k < 3; ++k) {
            const double* a = triangle + 3 * k;
            const point3 e = sub(triangle + 3 * ((k + 1) % 3), a), q = sub(p.data(), a);
            const double t = std::clamp(dot(q, e) / std::max(dot(e, e), 1e-300), 0.0, 1.0);
            point3 r;
            for (int c = 0; c < 3; ++c) r[c] = q[c] - t * e[c];
            best = std::min(best, std::sqrt(dot(r, r)));
        }
        return best;
    }

private:
    template <class F> static double golden_minimum(double lo, double hi, int steps, const F& f)
    {
        const double g = 0.5 * (std::sqrt(5.0) - 1.0);
        double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
        double f1 = f(x1), f2 = f(x2);
        for (int k = 0; k < steps; ++k) {
            if (f1 <= f2) {
                hi = x2;
                x2 = x1;
                f2 = f1;
                x1 = hi - g * (hi - lo);
                f1 = f(x1);
            } else {
                lo = x1;
                x1 = x2;
                f1 = f2;
                x2 = lo + g * (hi - lo);
                f2 = f(x2);
            }
        }
        return std::min({f1, f2, f(lo), f(hi)});
    }

    // The cutter's samples moved along u onto the triangle.
    void pushed_samples(const point3& tip, const point3& u, const double* tri, double& best) const
    {
        const point3 e1{tri[3] - tri[0], tri[4] - tri[1], tri[5] - tri[2]};
        const point3 e2{tri[6] - tri[0], tri[7] - tri[1], tri[8] - tri[2]};
        const point3 n{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const double nu = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
        if (nu == 0.0) return;
        const double c = n[0] * tri[0] + n[1] * tri[1] + n[2] * tri[2];
        const double nn = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
        // Barycentric coordinates of a point q of the plane (relative to the first corner) are
        // q . (e2 x n) / |n|^2 and q . (n x e1) / |n|^2.
        const point3 da{(e2[1] * n[2] - e2[2] * n[1]) / nn, (e2[2] * n[0] - e2[0] * n[2]) / nn,
                        (e2[0] * n[1] - e2[1] * n[0]) / nn};
        const point3 db{(n[1] * e1[2] - n[2] * e1[1]) / nn, (n[2] * e1[0] - n[0] * e1[2]) / nn,
                        (n[0] * e1[1] - n[1] * e1[0]) / nn};
        for (const point3& s : samples_) {
            const point3 p{tip[0] + s[0], tip[1] + s[1], tip[2] + s[2]};
            const double tau = (c - n[0] * p[0] - n[1] * p[1] - n[2] * p[2]) / nu;
            if (!(tau >= 0.0) || tau >= best) continue;
            const point3 q{p[0] + tau * u[0] - tri[0], p[1] + tau * u[1] - tri[1], p[2] + tau * u[2] - tri[2]};
            const double alpha = q[0] * da[0] + q[1] * da[1] + q[2] * da[2];
            const double beta = q[0] * db[0] + q[1] * db[1] + q[2] * db[2];
            if (alpha >= 0.0 && beta >= 0.0 && alpha + beta <= 1.0) best = tau;
        }
    }

    // The travel at which the cutter moving along u first reaches the point p (its entry into the
    // cutter, found on the signed distance along p - tau u), +inf when it passes by.
    double pushed_point(const point3& tip, const point3& u, const point3& p) const
    {
        const double rx = p[0] - tip[0], ry = p[1] - tip[1];
        const double uu = u[0] * u[0] + u[1] * u[1];
        const double nearest = uu > 0.0 ? std::max(0.0, (rx * u[0] + ry * u[1]) / uu) : 0.0;
        if (cutter_profile::norm(rx - nearest * u[0], ry - nearest * u[1]) > profile_.outer_radius())
            return std::numeric_limits<double>::infinity();
        auto f = [&](double tau) {
            return signed_distance(tip, {p[0] - tau * u[0], p[1] - tau * u[1], p[2] - tau * u[2]});
        };
        const double reach = 10.0 * (std::hypot(rx, ry, p[2] - tip[2]) + profile_.outer_radius());
        // The minimum of the convex f, then its first zero before it.
        const double g = 0.5 * (std::sqrt(5.0) - 1.0);
        double lo = 0.0, hi = reach, x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo), f1 = f(x1), f2 = f(x2);
        for (int k = 0; k < 64; ++k) {
            if (f1 <= f2) {
                hi = x2;
                x2 = x1;
                f2 = f1;
                x1 = hi - g * (hi - lo);
                f1 = f(x1);
            } else {
                lo = x1;
                x1 = x2;
                f1 = f2;
                x2 = lo + g * (hi - lo);
                f2 = f(x2);
            }
        }
        double inside = f1 <= f2 ? x1 : x2;
        if (f(inside) > 0.0) return std::numeric_limits<double>::infinity();
        double outside = 0.0;
        if (f(outside) <= 0.0) return 0.0;
        for (int k = 0; k < 64; ++k) {
            const double mid = 0.5 * (outside + inside);
            (f(mid) > 0.0 ? outside : inside) = mid;
        }
        return inside;
    }

    cutter_profile profile_;
    double step_;
    std::vector<point3> samples_;  // relative to the lowest point
};

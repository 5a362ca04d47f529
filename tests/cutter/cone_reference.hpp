// The solid of revolution of a cutter, built from its profile apart from the conical kernel, as
// the reference of the kernel's sign: the nominal profile (flat bottom of radius c18, the corner
// arc about (c18, r) up to its tangent with the flank, the flank to the cut length, the cylinder
// of the top radius above it) with its tip at the offset, grown by the offset. Heights are above
// the lowest point of the grown cutter, radii from its axis. With it, the tapered balls the cone
// tests build.
#pragma once

#include <algorithm>
#include <cmath>

inline constexpr double kConeDegree = M_PI / 180;

// tan beta, beta half the angle between a tapered cutter's bottom and side (as the set-up takes
// it).
inline double cone_tan_beta(double a)
{
    const double beta = (a + M_PI / 2) / 2;
    return std::sin(beta) / std::cos(beta);
}

// A tapered ball (corner circle radius c18 just below 0) whose cone-to-cylinder bisector apex
// lies just below the corner centre, between the two bisectors' apexes: sub-class 9.
inline void lowest_tapered_ball(double* cutter)
{
    const double d = 4, a = 10 * kConeDegree, c18 = -5e-11;
    const double r = (d / 2 - c18) * cone_tan_beta(a);
    const double h0 = r + c18 * cone_tan_beta(a) / 2;
    const double l = (h0 - d / 2 * std::tan(a / 2)) / (std::tan(a) * std::tan(a / 2) + 1);
    const double values[5] = {d, r, l, a, 0};
    std::copy(values, values + 5, cutter);
}

class cone_solid {
public:
    // D, r, L, a (radians), off, as the kernel takes them. Untapered cutters (a <= 1e-4) are grown
    // at once: their corner becomes r + off and their radius D/2 + off.
    explicit cone_solid(const double* cutter)
    {
        const double d = cutter[0], r = cutter[1], l = cutter[2], a = cutter[3], off = cutter[4];
        if (a <= 1.0e-4) {
            const double reff = d / 2 + off, rc = std::min(r + off, reff);
            corner_ = rc < 1.0e-5 * reff ? 0.0 : rc;
            c18_ = reff - corner_;
            top_radius_ = reff;
            top_ = corner_;
            return;
        }
        offset_ = off;
        corner_ = r;
        sin_a_ = std::sin(a);
        cos_a_ = std::cos(a);
        const double beta = (a + M_PI / 2) / 2;
        c18_ = std::max(0.0, d / 2 - r * std::cos(beta) / std::sin(beta));
        top_radius_ = d / 2 + l * std::tan(a);
        top_ = l + off;
    }

    // Whether the point at plan distance rho from the axis and height z lies inside (a point on
    // the boundary counts as inside).
    bool inside(double rho, double z) const
    {
        if (inside_nominal(rho, z)) return true;
        return offset_ > 0.0 && nominal_gap(rho, z) <= offset_;
    }

private:
    double centre_z() const { return offset_ + corner_; }
    // Where the corner arc meets the flank.
    double tangent_rho() const { return c18_ + corner_ * cos_a_; }
    double tangent_z() const { return centre_z() - corner_ * sin_a_; }

    bool inside_nominal(double rho, double z) const
    {
        if (z < offset_) return false;
        if (z < tangent_z()) {
            const double rise = centre_z() - z;
            return rho <= c18_ + std::sqrt(std::max(0.0, corner_ * corner_ - rise * rise));
        }
        if (z < top_) return rho <= top_radius_ - (top_ - z) * sin_a_ / cos_a_;
        return rho <= top_radius_;
    }

    static double segment_gap(double px, double py, double ax, double ay, double bx, double by)
    {
        const double dx = bx - ax, dy = by - ay, dd = dx * dx + dy * dy;
        const double t = dd > 0.0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / dd, 0.0, 1.0) : 0.0;
        return std::hypot(px - ax - t * dx, py - ay - t * dy);
    }

    // The distance from a point outside the nominal profile to it: the nearest of its pieces.
    double nominal_gap(double rho, double z) const
    {
        double gap = segment_gap(rho, z, 0.0, offset_, c18_, offset_);
        const double angle = std::atan2(z - centre_z(), rho - c18_);  // the arc runs from -90 degrees to -a
        if (angle >= -M_PI / 2 && angle <= -std::asin(sin_a_)) {
            gap = std::min(gap, std::fabs(std::hypot(rho - c18_, z - centre_z()) - corner_));
        }
        gap = std::min(gap, segment_gap(rho, z, tangent_rho(), tangent_z(), top_radius_, top_));
        const double to_cylinder = z >= top_ ? std::fabs(rho - top_radius_) : std::hypot(rho - top_radius_, z - top_);
        gap = std::min(gap, to_cylinder);
        return gap;
    }

    double offset_ = 0.0;
    double corner_ = 0.0;
    double c18_ = 0.0;
    double sin_a_ = 0.0, cos_a_ = 1.0;
    double top_radius_ = 0.0;  // the flank's radius at the top, the cylinder's above it (nominal)
    double top_ = 0.0;         // height of the taper top
};

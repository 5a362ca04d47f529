// The shape of a cutter as its meridian profile, for the brute-force references of the cutter
// tests: in the half-plane (rho, z) over the cutter's lowest point, the bottom disc, then the
// pieces that rise from its edge (the corner arc, a taper's cone line and top arc), then the side
// straight up without end. It gives the cutter's radius at a height, the signed distance of a
// point from the cutter (negative inside; convex along any line, the cutter being convex), and
// rings of points over its surface.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

class cutter_profile {
public:
    static double norm(double x, double y) { return std::sqrt(x * x + y * y); }

    // A flat end (corner 0), ball (corner R) or bull-nose of radius R.
    static cutter_profile bull_nose(double radius, double corner)
    {
        cutter_profile p;
        p.disc_ = radius - corner;
        if (corner > 0.0) p.pieces_.push_back(piece::arc(p.disc_, corner, corner, -0.5 * M_PI, 0.0));
        p.foot_ = {radius, corner};
        return p;
    }

    // The tapered cutter of diameter D (where the flank meets the tip plane), corner rc, taper
    // theta (radians), cut length L, every radius enlarged by e, over its lowest point.
    static cutter_profile tapered(double diameter, double corner, double taper, double cut_length, double offset)
    {
        cutter_profile p;
        const double s = std::sin(taper), c = std::cos(taper);
        const double tube = corner + offset;
        p.disc_ = 0.5 * diameter - corner * std::tan(0.25 * M_PI - 0.5 * taper);
        if (tube > 0.0) p.pieces_.push_back(piece::arc(p.disc_, tube, tube, -0.5 * M_PI, -taper));
        const double top_ring = std::tan(taper) * cut_length + 0.5 * diameter;
        const double top_centre = cut_length + offset;
        p.pieces_.push_back(
            piece::line({p.disc_ + tube * c, tube - tube * s}, {top_ring + offset * c, top_centre - offset * s}));
        if (offset > 0.0) p.pieces_.push_back(piece::arc(top_ring, top_centre, offset, -taper, 0.0));
        p.foot_ = {top_ring + offset, top_centre};
        return p;
    }

    double outer_radius() const { return foot_.first; }

    // The cutter's radius at height z over its lowest point; -1 below it.
    double radius_at(double z) const
    {
        if (z < 0.0) return -1.0;
        if (z >= foot_.second) return foot_.first;
        double best = disc_;
        for (const piece& p : pieces_) best = std::max(best, p.radius_at(z));
        return best;
    }

    // The height of the cutter's lower surface over its lowest point at radius rho; -1 beyond
    // its outer radius.
    double height_at(double rho) const
    {
        if (rho > foot_.first) return -1.0;
        if (rho <= disc_) return 0.0;
        for (const piece& p : pieces_) {
            const double z = p.height_at(rho);
            if (z >= 0.0) return z;
        }
        return foot_.second;
    }

    // Signed distance of (rho, z) from the cutter: negative inside.
    double signed_distance(double rho, double z) const
    {
        double d = piece::line({0.0, 0.0}, {disc_, 0.0}).distance(rho, z);
        for (const piece& p : pieces_) d = std::min(d, p.distance(rho, z));
        d = std::min(d, z >= foot_.second ? std::fabs(rho - foot_.first) : norm(rho - foot_.first, z - foot_.second));
        const bool inside = z >= 0.0 && rho <= radius_at(z);
        return inside ? -d : d;
    }

    // Rings (rho, z) over the surface from the axis up to `band` above the side's foot, spaced
    // by at most `step` along the profile.
    std::vector<std::pair<double, double>> rings(double step, double band) const
    {
        std::vector<std::pair<double, double>> out;
        const int across = static_cast<int>(std::ceil(disc_ / step));
        for (int k = 0; k <= across; ++k) out.emplace_back(across > 0 ? disc_ * k / across : 0.0, 0.0);
        for (const piece& p : pieces_) p.sample(step, out);
        piece::line(foot_, {foot_.first, foot_.second + band}).sample(step, out);
        return out;
    }

private:
    // A line from p0 to p1, or an arc about (cx, cz) from angle `from` to `to` (from +rho towards
    // +z), rising with the angle.
    struct piece {
        bool is_arc = false;
        std::pair<double, double> p0{}, p1{};  // the ends (of an arc too)
        double cx = 0, cz = 0, radius = 0, from = 0, to = 0;

        static piece line(std::pair<double, double> a, std::pair<double, double> b) { return {false, a, b}; }
        static piece arc(double x, double z, double r, double a, double b)
        {
            return {true,
                    {x + r * std::cos(a), z + r * std::sin(a)},
                    {x + r * std::cos(b), z + r * std::sin(b)},
                    x,
                    z,
                    r,
                    a,
                    b};
        }

        std::pair<double, double> at(double f) const
        {
            if (!is_arc) return {p0.first + f * (p1.first - p0.first), p0.second + f * (p1.second - p0.second)};
            const double phi = from + f * (to - from);
            return {cx + radius * std::cos(phi), cz + radius * std::sin(phi)};
        }
        double length() const
        {
            return is_arc ? radius * (to - from) : norm(p1.first - p0.first, p1.second - p0.second);
        }

        // The radius of the piece at height z, -1 outside its span.
        double radius_at(double z) const
        {
            if (z < p0.second || z > p1.second || p1.second <= p0.second) return -1.0;
            if (!is_arc) return p0.first + (z - p0.second) / (p1.second - p0.second) * (p1.first - p0.first);
            return cx + std::sqrt(std::max(0.0, radius * radius - (z - cz) * (z - cz)));
        }

        // The height of the piece at radius rho, -1 outside its span.
        double height_at(double rho) const
        {
            if (rho < p0.first || rho > p1.first) return -1.0;
            if (!is_arc)
                return p1.first > p0.first
                           ? p0.second + (rho - p0.first) / (p1.first - p0.first) * (p1.second - p0.second)
                           : p0.second;
            return cz - std::sqrt(std::max(0.0, radius * radius - (rho - cx) * (rho - cx)));
        }

        double distance(double rho, double z) const
        {
            if (!is_arc) {
                const double dx = p1.first - p0.first, dz = p1.second - p0.second;
                const double l2 = dx * dx + dz * dz;
                const double t =
                    l2 > 0.0 ? std::clamp(((rho - p0.first) * dx + (z - p0.second) * dz) / l2, 0.0, 1.0) : 0.0;
                return norm(rho - p0.first - t * dx, z - p0.second - t * dz);
            }
            // Within the arc's angles (less than a half turn) when between its two end directions.
            const double dx = rho - cx, dz = z - cz;
            const double c0 = p0.first - cx, s0 = p0.second - cz, c1 = p1.first - cx, s1 = p1.second - cz;
            if (c0 * dz - s0 * dx >= 0.0 && dx * s1 - dz * c1 >= 0.0) return std::fabs(norm(dx, dz) - radius);
            return std::min(norm(rho - p0.first, z - p0.second), norm(rho - p1.first, z - p1.second));
        }

        // Points after the start, at most `step` apart.
        void sample(double step, std::vector<std::pair<double, double>>& out) const
        {
            const int n = std::max(1, static_cast<int>(std::ceil(length() / step)));
            for (int k = 1; k <= n; ++k) out.push_back(at(static_cast<double>(k) / n));
        }
    };

    double disc_ = 0.0;                 // radius of the bottom disc
    std::vector<piece> pieces_;         // from the disc's edge to the side's foot
    std::pair<double, double> foot_{};  // the side's foot (radius, height)
};

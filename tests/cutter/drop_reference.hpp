// A brute-force drop of a cutter onto triangles, as the reference of the drop tests: the cutter's
// surface sampled with step h = R / 229 (0.25 degrees of azimuth at radius R, the same length
// along the radius and the corner's profile), each sample lowered onto the triangles, and the
// triangles' corners and edge points (step h) raised against the cutter. Every candidate is a
// real touch of the cutter and a triangle, so the highest lies at or below the true height.
#pragma once

#include "cutter_profile.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

class drop_reference {
public:
    // R, corner r (0 flat end, R ball).
    drop_reference(double radius, double corner)
        : drop_reference(cutter_profile::bull_nose(radius, corner), radius / 229.0)
    {}

    // Any cutter, sampled with the given step.
    drop_reference(const cutter_profile& profile, double step)
        : profile_(profile), radius_(profile.outer_radius()), step_(step)
    {
        for (const auto& [rho, lift] : profile.rings(step_, 0.0)) {
            const int around = std::max(1, static_cast<int>(std::ceil(2 * M_PI * rho / step_)));
            for (int k = 0; k < around; ++k) {
                const double a = 2 * M_PI * k / around;
                add({rho * std::cos(a), rho * std::sin(a), lift});
            }
        }
    }

    double step() const { return step_; }

    // The highest touch over triangles given by their corners (9 doubles each), the axis at (x, y).
    double drop(const std::vector<double>& corners, double x, double y) const
    {
        double best = -1e10;
        for (std::size_t t = 0; t + 9 <= corners.size(); t += 9) {
            const double* c = corners.data() + t;
            best = std::max(best, lowered(c, x, y));
            best = std::max(best, raised(c, x, y));
        }
        return best;
    }

private:
    struct sample {
        double dx, dy, lift;
    };
    static constexpr int kCells = 32;

    void add(const sample& s)
    {
        if (cells_.empty()) cells_.resize(kCells * kCells);
        cells_[cell(s.dx) * kCells + cell(s.dy)].push_back(s);
    }
    int cell(double offset) const
    {
        return std::clamp(static_cast<int>((offset + radius_) / (2 * radius_) * kCells), 0, kCells - 1);
    }

    // The height of the cutter's lower surface over its tip at distance rho; negative beyond R.
    double profile(double rho) const { return profile_.height_at(rho); }

    // Samples of the cutter lowered onto the triangle's face.
    double lowered(const double* c, double x, double y) const
    {
        const double ax = c[0] - x, ay = c[1] - y, bx = c[3] - x, by = c[4] - y, cx = c[6] - x, cy = c[7] - y;
        if (std::max({ax, bx, cx}) < -radius_ || std::min({ax, bx, cx}) > radius_ ||
            std::max({ay, by, cy}) < -radius_ || std::min({ay, by, cy}) > radius_)
            return -1e10;
        const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        if (std::fabs(area) < 1e-12) return -1e10;
        const int x0 = cell(std::min({ax, bx, cx})), x1 = cell(std::max({ax, bx, cx}));
        const int y0 = cell(std::min({ay, by, cy})), y1 = cell(std::max({ay, by, cy}));
        double best = -1e10;
        for (int i = x0; i <= x1; ++i) {
            for (int j = y0; j <= y1; ++j) {
                for (const sample& s : cells_[i * kCells + j]) {
                    const double l1 = ((bx - s.dx) * (cy - s.dy) - (by - s.dy) * (cx - s.dx)) / area;
                    const double l2 = ((cx - s.dx) * (ay - s.dy) - (cy - s.dy) * (ax - s.dx)) / area;
                    const double l3 = 1 - l1 - l2;
                    if (l1 < 0 || l2 < 0 || l3 < 0) continue;
                    best = std::max(best, l1 * c[2] + l2 * c[5] + l3 * c[8] - s.lift);
                }
            }
        }
        return best;
    }

    // Corners and edge points raised against the cutter.
    double raised(const double* c, double x, double y) const
    {
        double best = -1e10;
        if (std::max({c[0], c[3], c[6]}) < x - radius_ || std::min({c[0], c[3], c[6]}) > x + radius_ ||
            std::max({c[1], c[4], c[7]}) < y - radius_ || std::min({c[1], c[4], c[7]}) > y + radius_)
            return best;
        for (int k = 0; k < 3; ++k) {
            const double* a = c + 3 * k;
            const double* b = c + 3 * ((k + 1) % 3);
            const double length = std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
            const int steps = std::max(1, static_cast<int>(std::ceil(length / step_)));
            for (int s = 0; s <= steps; ++s) {
                const double t = static_cast<double>(s) / steps;
                const double px = a[0] + t * (b[0] - a[0]), py = a[1] + t * (b[1] - a[1]),
                             pz = a[2] + t * (b[2] - a[2]);
                const double lift = profile(std::hypot(px - x, py - y));
                if (lift >= 0) best = std::max(best, pz - lift);
            }
        }
        return best;
    }

    cutter_profile profile_;
    double radius_;
    double step_;
    std::vector<std::vector<sample>> cells_;
};

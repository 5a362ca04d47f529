// What a tool path leaves of a region, measured on a square grid: each grid point of the region
// (the points the tool may reach) is covered when it lies within a reach (half a step and the
// tolerance) of a cutting move. The points left uncovered form patches; the lane that clears a
// patch is estimated as long as the patch's area over the step, and no shorter than the patch's
// extent (a sliver narrower than a step still takes a lane along its whole length). The W1
// benchmark's length check and the grid's own test read it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace test_support {

struct grid_point {
    double x, y;
};

struct grid_segment {
    grid_point a, b;
};

// What a path left: the area of the region's uncovered grid points and the estimated length of
// the lanes that would clear it.
struct coverage_left {
    double area = 0.0;
    double clearing_length = 0.0;
    int patches = 0;
};

class coverage_grid {
public:
    // A grid of spacing `spacing` over the box from (0, 0) to (width, height); no point is in the
    // region until `add_region` puts it there.
    coverage_grid(double width, double height, double spacing)
        : spacing_(spacing), columns_(static_cast<int>(std::floor(width / spacing)) + 1),
          rows_(static_cast<int>(std::floor(height / spacing)) + 1),
          state_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), kOutside)
    {}

    // Puts every point for which `inside(p)` holds into the region, uncovered.
    template <typename Inside> void add_region(Inside inside)
    {
        for (int j = 0; j < rows_; ++j)
            for (int i = 0; i < columns_; ++i)
                if (inside(point(i, j))) state_[index(i, j)] = kUncovered;
    }

    // Takes every point within `reach` of the segment out of the region (a disc when the two ends
    // are one point).
    void remove_near(const grid_segment& s, double reach) { mark_near(s, reach, kOutside, true); }

    // Covers every region point within `reach` of the segment.
    void cover(const grid_segment& s, double reach) { mark_near(s, reach, kCovered, false); }

    // Back to nothing covered, the region kept.
    void uncover_all() { std::replace(state_.begin(), state_.end(), kCovered, kUncovered); }

    // The uncovered patches (points joined to their four neighbours), their area and the length of
    // the lanes that clear them at side step `step`.
    coverage_left left(double step) const
    {
        coverage_left out;
        std::vector<std::uint8_t> seen(state_.size(), 0);
        std::vector<int> stack;
        const double cell = spacing_ * spacing_;
        for (std::size_t start = 0; start < state_.size(); ++start) {
            if (state_[start] != kUncovered || seen[start] != 0) continue;
            int count = 0, low_i = columns_, low_j = rows_, high_i = -1, high_j = -1;
            stack.assign(1, static_cast<int>(start));
            seen[start] = 1;
            while (!stack.empty()) {
                const int at = stack.back();
                stack.pop_back();
                const int i = at % columns_, j = at / columns_;
                ++count;
                low_i = std::min(low_i, i), high_i = std::max(high_i, i);
                low_j = std::min(low_j, j), high_j = std::max(high_j, j);
                const int next[4][2] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
                for (const auto& n : next) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= columns_ || n[1] >= rows_) continue;
                    const std::size_t k = index(n[0], n[1]);
                    if (state_[k] != kUncovered || seen[k] != 0) continue;
                    seen[k] = 1;
                    stack.push_back(static_cast<int>(k));
                }
            }
            const double area = count * cell;
            const double extent = spacing_ * std::hypot(high_i - low_i + 1, high_j - low_j + 1);
            out.area += area;
            out.clearing_length += std::max(area / step, extent);
            ++out.patches;
        }
        return out;
    }

    // The area of the region's points.
    double region_area() const
    {
        return spacing_ * spacing_ *
               static_cast<double>(state_.size() - std::count(state_.begin(), state_.end(), kOutside));
    }

private:
    static constexpr std::uint8_t kOutside = 0, kUncovered = 1, kCovered = 2;

    double spacing_;
    int columns_, rows_;
    std::vector<std::uint8_t> state_;

    grid_point point(int i, int j) const { return {i * spacing_, j * spacing_}; }
    std::size_t index(int i, int j) const
    {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(i);
    }

    static double distance(const grid_segment& s, grid_point p)
    {
        const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y, length2 = dx * dx + dy * dy;
        double t = length2 > 0.0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(p.x - s.a.x - t * dx, p.y - s.a.y - t * dy);
    }

    // Sets every point within `reach` of the segment to `to`: every point, or only the region's.
    void mark_near(const grid_segment& s, double reach, std::uint8_t to, bool every)
    {
        const auto first = [&](double v) { return std::max(0, static_cast<int>(std::ceil((v - reach) / spacing_))); };
        const int i0 = first(std::min(s.a.x, s.b.x)), j0 = first(std::min(s.a.y, s.b.y));
        const int i1 =
            std::min(columns_ - 1, static_cast<int>(std::floor((std::max(s.a.x, s.b.x) + reach) / spacing_)));
        const int j1 = std::min(rows_ - 1, static_cast<int>(std::floor((std::max(s.a.y, s.b.y) + reach) / spacing_)));
        for (int j = j0; j <= j1; ++j) {
            for (int i = i0; i <= i1; ++i) {
                std::uint8_t& state = state_[index(i, j)];
                if (state == to || (!every && state == kOutside)) continue;
                if (distance(s, point(i, j)) <= reach) state = to;
            }
        }
    }
};

}  // namespace test_support

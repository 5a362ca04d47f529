// A uniform grid over a list of boxes (see the header): cells about as many as the boxes, each
// listing the boxes that reach into it; a query gathers the boxes of the cells its box covers.
#include "pocket_lanes/moves/box_grid.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Cells along a side at most: the grid stays small whatever the spread of the boxes.
constexpr int kMostCells = 256;
// A box over more cells than this is kept aside and met by every query, rather than listed in
// every cell it covers.
constexpr int kWideCells = 16;
// Boxes are widened by this share of a cell before they meet the grid, against rounding at the
// cell borders (the caller tests the boxes themselves afterwards).
constexpr double kBorderShare = 1.0e-6;

bool finite_box(const std::array<double, 4>& b)
{
    return std::isfinite(b[0]) && std::isfinite(b[1]) && std::isfinite(b[2]) && std::isfinite(b[3]);
}

bool inverted(const std::array<double, 4>& b) { return finite_box(b) && (b[0] > b[2] || b[1] > b[3]); }

// The cell range a box covers, clamped to the grid.
void cell_range(const box_grid& g, const double* box, int& c0, int& r0, int& c1, int& r1)
{
    const double margin = kBorderShare * g.cell;
    const auto column = [&g](double x) {
        return static_cast<int>(std::clamp(std::floor((x - g.x0) / g.cell), 0.0, g.columns - 1.0));
    };
    const auto row = [&g](double y) {
        return static_cast<int>(std::clamp(std::floor((y - g.y0) / g.cell), 0.0, g.rows - 1.0));
    };
    c0 = column(box[0] - margin), c1 = column(box[2] + margin);
    r0 = row(box[1] - margin), r1 = row(box[3] + margin);
}

}  // namespace

void box_grid_build(const std::vector<std::array<double, 4>>& boxes, box_grid& grid)
{
    grid.count = static_cast<int>(boxes.size());
    grid.items.clear();
    grid.aside.clear();
    grid.seen.assign(boxes.size(), 0);
    grid.query = 0;
    double low[2] = {1.0e300, 1.0e300}, high[2] = {-1.0e300, -1.0e300};
    int gridded = 0;
    for (const std::array<double, 4>& b : boxes) {
        if (!finite_box(b) || inverted(b)) continue;
        low[0] = std::min(low[0], b[0]), low[1] = std::min(low[1], b[1]);
        high[0] = std::max(high[0], b[2]), high[1] = std::max(high[1], b[3]);
        ++gridded;
    }
    grid.columns = grid.rows = 0;
    if (gridded == 0) {
        for (int k = 0; k < grid.count; ++k)
            if (!finite_box(boxes[static_cast<std::size_t>(k)])) grid.aside.push_back(k);
        return;
    }
    // About one cell per box over the boxes' extent.
    const double width = high[0] - low[0], height = high[1] - low[1];
    const double side = std::sqrt(std::max(width * height, 0.0) / gridded);
    grid.cell = std::max({side, width / kMostCells, height / kMostCells, 1.0e-9});
    grid.x0 = low[0], grid.y0 = low[1];
    grid.columns = std::clamp(static_cast<int>(width / grid.cell) + 1, 1, kMostCells);
    grid.rows = std::clamp(static_cast<int>(height / grid.cell) + 1, 1, kMostCells);
    const std::size_t cells = static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows);
    grid.first.assign(cells + 1, 0);
    // Two passes: the count of every cell, then its boxes in list order.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<int> next;
        if (pass == 1) {
            for (std::size_t c = 0; c < cells; ++c) grid.first[c + 1] += grid.first[c];
            grid.items.resize(static_cast<std::size_t>(grid.first[cells]));
            next.assign(grid.first.begin(), grid.first.end() - 1);
        }
        for (int k = 0; k < grid.count; ++k) {
            const std::array<double, 4>& b = boxes[static_cast<std::size_t>(k)];
            if (inverted(b)) continue;
            int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
            if (finite_box(b)) cell_range(grid, b.data(), c0, r0, c1, r1);
            if (!finite_box(b) || (c1 - c0 + 1) * (r1 - r0 + 1) > kWideCells) {
                if (pass == 0) grid.aside.push_back(k);
                continue;
            }
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c) {
                    const std::size_t cell = static_cast<std::size_t>(r) * grid.columns + c;
                    if (pass == 0)
                        ++grid.first[cell + 1];
                    else
                        grid.items[static_cast<std::size_t>(next[cell]++)] = k;
                }
        }
    }
}

void box_grid_candidates(box_grid& grid, const double* box, std::vector<int>& out)
{
    out.clear();
    if (!std::isfinite(box[0]) || !std::isfinite(box[1]) || !std::isfinite(box[2]) || !std::isfinite(box[3])) {
        // A box that is not finite compares as overlapping any: every box is a candidate.
        for (int k = 0; k < grid.count; ++k) out.push_back(k);
        return;
    }
    ++grid.query;
    if (grid.columns > 0 && !(box[0] > box[2] || box[1] > box[3])) {
        int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
        cell_range(grid, box, c0, r0, c1, r1);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const std::size_t cell = static_cast<std::size_t>(r) * grid.columns + c;
                for (int i = grid.first[cell]; i < grid.first[cell + 1]; ++i) {
                    const int k = grid.items[static_cast<std::size_t>(i)];
                    if (grid.seen[static_cast<std::size_t>(k)] == grid.query) continue;
                    grid.seen[static_cast<std::size_t>(k)] = grid.query;
                    out.push_back(k);
                }
            }
    }
    // A box put aside after the build may be listed in cells too.
    for (const int k : grid.aside)
        if (grid.seen[static_cast<std::size_t>(k)] != grid.query) out.push_back(k);
    std::sort(out.begin(), out.end());
}

void box_grid_set_aside(box_grid& grid, int k)
{
    if (std::find(grid.aside.begin(), grid.aside.end(), k) == grid.aside.end()) grid.aside.push_back(k);
}

// Boxes in horizontal rows for rays towards +x (see ray_rows.hpp).
#include "pocket_arrays/ray_rows.hpp"

#include <algorithm>
#include <cmath>

namespace {

// About this many boxes per row on average (a loop's elements, each a row or two high).
constexpr double kBoxesPerRow = 2.0;
// A box spanning more rows than this is met by every ray instead.
constexpr long kWideRows = 64;

bool finite_box(const std::array<double, 4>& b)
{
    return std::isfinite(b[0]) && std::isfinite(b[1]) && std::isfinite(b[2]) && std::isfinite(b[3]);
}

}  // namespace

void ray_rows_build(ray_rows& index)
{
    index.rows = 0;
    index.first.clear();
    index.items.clear();
    index.aside.clear();
    const int n = static_cast<int>(index.boxes.size());
    double low = 0.0, high = 0.0;
    bool any = false;
    for (int k = 0; k < n; ++k) {
        const std::array<double, 4>& b = index.boxes[k];
        if (!finite_box(b)) {
            index.aside.push_back(k);
            continue;
        }
        if (!(b[1] <= b[3]) || !(b[0] <= b[2])) continue;
        low = any ? std::min(low, b[1]) : b[1];
        high = any ? std::max(high, b[3]) : b[3];
        any = true;
    }
    if (!any) return;
    const int rows = std::max(1, static_cast<int>(n / kBoxesPerRow));
    index.y0 = low;
    index.y1 = high;
    index.height = (high - low) / rows;
    if (!(index.height > 0.0)) {
        index.height = 1.0;
        index.rows = 1;
    } else {
        index.rows = rows;
    }
    // The rows a box spans, clamped as the row of a point is: a point within the box's y range
    // lies in one of them.
    const auto span = [&index](const std::array<double, 4>& b, int& r0, int& r1) {
        const double bottom = (b[1] - index.y0) / index.height, top = (b[3] - index.y0) / index.height;
        r0 = std::clamp(static_cast<int>(std::floor(bottom)), 0, index.rows - 1);
        r1 = std::clamp(static_cast<int>(std::floor(top)), 0, index.rows - 1);
    };
    index.first.assign(static_cast<std::size_t>(index.rows) + 1, 0);
    std::vector<char> placed(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < n; ++k) {
        const std::array<double, 4>& b = index.boxes[k];
        if (!finite_box(b) || !(b[1] <= b[3]) || !(b[0] <= b[2])) continue;
        int r0 = 0, r1 = 0;
        span(b, r0, r1);
        if (r1 - r0 + 1 > kWideRows) {
            index.aside.push_back(k);
            continue;
        }
        placed[k] = 1;
        for (int r = r0; r <= r1; ++r) ++index.first[r + 1];
    }
    for (int r = 0; r < index.rows; ++r) index.first[r + 1] += index.first[r];
    index.items.resize(static_cast<std::size_t>(index.first[index.rows]));
    std::vector<int> at(index.first.begin(), index.first.end() - 1);
    for (int k = 0; k < n; ++k) {
        if (placed[k] == 0) continue;
        int r0 = 0, r1 = 0;
        span(index.boxes[k], r0, r1);
        for (int r = r0; r <= r1; ++r) index.items[at[r]++] = k;
    }
    for (int r = 0; r < index.rows; ++r)
        std::sort(index.items.begin() + index.first[r], index.items.begin() + index.first[r + 1],
                  [&index](int p, int q) { return index.boxes[p][2] > index.boxes[q][2]; });
}

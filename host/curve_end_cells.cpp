// The ends of the part's curves and their cells (host/core/curve_end_cells.hpp): reading a curve's
// ends, sorting the ends by cell and finding the ends near a point.
#include "host/core/curve_end_cells.hpp"

#include "host/vantu_entity.hpp"

#include <algorithm>
#include <cmath>

namespace vantu::chaining {

namespace {

// The cell numbers of a point along the axes, as reals. They are held within +-2^60 so that a
// neighbour's number cannot overflow; points farther out share the outermost cells, which costs
// time but loses no end.
point3 cell_place(const point3& p, double tolerance)
{
    constexpr double kFarthestCell = 1152921504606846976.0;  // 2^60
    point3 place{};
    for (int k = 0; k < 3; ++k) {
        const double v = p[k] / (2.0 * tolerance);
        place[k] = std::isnan(v) ? 0.0 : std::clamp(v, -kFarthestCell, kFarthestCell);
    }
    return place;
}

cell cell_of(const point3& p, double tolerance)
{
    const point3 place = cell_place(p, tolerance);
    return {static_cast<long long>(std::floor(place[0])), static_cast<long long>(std::floor(place[1])),
            static_cast<long long>(std::floor(place[2]))};
}

}  // namespace

bool ends_of(int id, curve_ends& c)
{
    int status = 0;
    c.id = id;
    curve_limits(id, c.t0, c.t1, status);
    if (status != 0) return false;
    evcrvd(id, c.t0, c.start.data(), nullptr, status);
    if (status == 0) evcrvd(id, c.t1, c.end.data(), nullptr, status);
    return status == 0;
}

double gap_between(const point3& a, const point3& b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

end_cells sorted_ends(const std::vector<curve_ends>& curves, double tolerance)
{
    end_cells index;
    index.tolerance = tolerance;
    index.ends.reserve(2 * curves.size());
    for (std::size_t i = 0; i < curves.size(); ++i) {
        index.ends.emplace_back(cell_of(curves[i].start, tolerance), 2 * i);
        index.ends.emplace_back(cell_of(curves[i].end, tolerance), 2 * i + 1);
    }
    std::sort(index.ends.begin(), index.ends.end());
    for (std::size_t k = 0; k < index.ends.size(); ++k) {
        auto [range, made] = index.ranges.try_emplace(index.ends[k].first, k, k);
        range->second.second = k + 1;
    }
    return index;
}

// A point within the tolerance lies at most half a cell away along each axis: in the cell below
// only when p is in the lower half of its cell, above only in the upper half; a quarter cell of
// overlap answers for the rounding of the cell numbers.
std::vector<std::size_t> ends_near(const end_cells& index, const std::vector<char>* used, const point3& p)
{
    constexpr double kOverlap = 0.25;
    const point3 place = cell_place(p, index.tolerance);
    const cell c = cell_of(p, index.tolerance);
    std::array<long long, 3> low{}, high{};
    for (int k = 0; k < 3; ++k) {
        const double within = place[k] - std::floor(place[k]);
        low[k] = within < 0.5 + kOverlap ? -1 : 0;
        high[k] = within > 0.5 - kOverlap ? 1 : 0;
    }
    std::vector<std::size_t> found;
    for (long long dx = low[0]; dx <= high[0]; ++dx)
        for (long long dy = low[1]; dy <= high[1]; ++dy)
            for (long long dz = low[2]; dz <= high[2]; ++dz) {
                const auto range = index.ranges.find(cell{c[0] + dx, c[1] + dy, c[2] + dz});
                if (range == index.ranges.end()) continue;
                for (std::size_t k = range->second.first; k < range->second.second; ++k)
                    if (used == nullptr || !(*used)[index.ends[k].second / 2]) found.push_back(index.ends[k].second);
            }
    return found;
}

}  // namespace vantu::chaining

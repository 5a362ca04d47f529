// The ends of the part's curves sorted into cubic cells twice as wide as the chaining tolerance,
// so that a joint looks at the ends of the cells its tolerance reaches (one or two along each
// axis) instead of the whole part: a chain of n curves is joined in about n steps. Shared by the
// contour chaining (host/contour_chaining.cpp) and its memory of the part (host/chain_memory.cpp).
// Internal to the host: module code never includes this.
#pragma once

#include "host/core/entity_store.hpp"

#include <array>
#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vantu::chaining {

// A curve of the part with its two ends.
struct curve_ends {
    int id = 0;
    double t0 = 0.0, t1 = 0.0;
    point3 start{}, end{};
};

// Reads the parameter range and the two ends of curve `id`; false when it cannot be evaluated.
bool ends_of(int id, curve_ends& c);

double gap_between(const point3& a, const point3& b);

using cell = std::array<long long, 3>;

struct cell_hash {
    std::size_t operator()(const cell& c) const
    {
        std::size_t h = 0;
        for (const long long v : c) h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::size_t>(v);
        return h;
    }
};

// The part's curve ends sorted by cell, and where each cell's ends lie in that order. An end
// number is 2 i for the start of curve i, 2 i + 1 for its end.
struct end_cells {
    double tolerance = 0.0;  // the cells are twice as wide
    std::vector<std::pair<cell, std::size_t>> ends;
    std::unordered_map<cell, std::pair<std::size_t, std::size_t>, cell_hash> ranges;
};

end_cells sorted_ends(const std::vector<curve_ends>& curves, double tolerance);

// The ends in the cells within the index's tolerance of p, of unused curves only when `used` is
// given (a mark per curve).
std::vector<std::size_t> ends_near(const end_cells& index, const std::vector<char>* used, const point3& p);

}  // namespace vantu::chaining

// The travel between the cut groups of a written tool path (path_lengths.hpp keeps their first and
// last points): the plane distance from each group's last point to the next group's first, in the
// order written, and in a greedy order of the same groups: from the first group written, always to
// the group whose first point lies nearest the last group's end.
#pragma once

#include "path_lengths.hpp"

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace bench {

struct link_travel {
    int groups = 0;
    double written = 0.0;  // in the order written
    double greedy = 0.0;   // in the greedy nearest order
    double ratio() const { return greedy > 0.0 ? written / greedy : 1.0; }
};

inline link_travel travel_between_groups(const path_lengths& path)
{
    const auto& g = path.groups;
    link_travel out;
    out.groups = static_cast<int>(g.size());
    if (g.size() < 2) return out;
    const auto gap = [&g](std::size_t from, std::size_t to) {
        return std::hypot(g[to][0] - g[from][2], g[to][1] - g[from][3]);
    };
    for (std::size_t i = 0; i + 1 < g.size(); ++i) out.written += gap(i, i + 1);
    std::vector<char> taken(g.size(), 0);
    taken[0] = 1;
    std::size_t at = 0;
    for (std::size_t placed = 1; placed < g.size(); ++placed) {
        std::size_t best = 0;
        double best_gap = std::numeric_limits<double>::infinity();
        for (std::size_t j = 0; j < g.size(); ++j) {
            if (taken[j] != 0) continue;
            const double d = gap(at, j);
            if (d < best_gap) best_gap = d, best = j;
        }
        taken[best] = 1;
        out.greedy += best_gap;
        at = best;
    }
    return out;
}

}  // namespace bench

// The order in which the linking stage cuts its chains: the first chain first, then always the
// nearest chain (from where the last one ended to where the next starts) among those whose
// predecessors are cut. The linking stage (lane_linking.cpp) gives each chain its ends and the
// chains it must follow.
#pragma once

#include <cstddef>
#include <vector>

struct chain_ends {
    double start_x = 0.0, start_y = 0.0;  // where the chain's cut starts
    double end_x = 0.0, end_y = 0.0;      // where it ends
    bool has_start = false, has_end = false;
    std::vector<int> after;  // the chains (indices) that must be cut before it
};

// The chains' indices in cutting order; chains whose predecessors never all come (a cycle, an
// index out of range) are left out. A free chain whose start is not known, or that follows a
// chain whose end is not known, is taken before any measured one; equal distances keep the lower
// index.
std::vector<std::size_t> order_chains_by_nearness(const std::vector<chain_ends>& chains);

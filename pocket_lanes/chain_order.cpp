// The nearest-first order of the cut chains under their precedence (chain_order.hpp).
#include "pocket_lanes/chain_order.hpp"

#include <cmath>
#include <limits>

namespace {

// The chains each chain releases, and how many predecessors each still waits for.
struct precedence {
    std::vector<std::vector<std::size_t>> followers;
    std::vector<int> waiting;
};

precedence precedence_of(const std::vector<chain_ends>& chains)
{
    precedence p;
    p.followers.resize(chains.size());
    p.waiting.assign(chains.size(), 0);
    for (std::size_t i = 0; i < chains.size(); ++i) {
        for (const int b : chains[i].after) {
            // A predecessor out of range can never be cut: the chain waits for ever.
            if (b < 0 || static_cast<std::size_t>(b) >= chains.size() || static_cast<std::size_t>(b) == i) {
                p.waiting[i] = std::numeric_limits<int>::max();
                break;
            }
            p.followers[static_cast<std::size_t>(b)].push_back(i);
            ++p.waiting[i];
        }
    }
    return p;
}

// The distance from (x, y) to the chain's start; -1 when either is not known, so that such a
// chain comes first.
double distance_to(const chain_ends& c, bool known, double x, double y)
{
    return known && c.has_start ? std::hypot(c.start_x - x, c.start_y - y) : -1.0;
}

}  // namespace

std::vector<std::size_t> order_chains_by_nearness(const std::vector<chain_ends>& chains)
{
    precedence p = precedence_of(chains);
    std::vector<std::size_t> order, ready;
    order.reserve(chains.size());
    for (std::size_t i = 0; i < chains.size(); ++i)
        if (p.waiting[i] == 0) ready.push_back(i);
    bool known = false;
    double x = 0.0, y = 0.0;
    while (!ready.empty()) {
        // The first chain free in index order opens the cut; then the nearest free one.
        std::size_t best = 0;
        double best_distance = std::numeric_limits<double>::infinity();
        for (std::size_t k = 0; k < ready.size(); ++k) {
            const double d = order.empty() ? 0.0 : distance_to(chains[ready[k]], known, x, y);
            if (d < best_distance || (d == best_distance && ready[k] < ready[best])) {
                best_distance = d;
                best = k;
            }
        }
        const std::size_t at = ready[best];
        ready[best] = ready.back();
        ready.pop_back();
        order.push_back(at);
        for (const std::size_t f : p.followers[at])
            if (--p.waiting[f] == 0) ready.push_back(f);
        known = chains[at].has_end;
        x = chains[at].end_x;
        y = chains[at].end_y;
    }
    return order;
}

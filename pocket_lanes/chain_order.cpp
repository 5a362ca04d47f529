// The nearest-first order of the cut chains under their precedence (chain_order.hpp).
#include "pocket_lanes/chain_order.hpp"

#include "pocket_lanes/start_index.hpp"

#include <cmath>
#include <limits>
#include <set>

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

}  // namespace

std::vector<std::size_t> order_chains_by_nearness(const std::vector<chain_ends>& chains)
{
    precedence p = precedence_of(chains);
    start_index starts(chains);
    // The free chains, and those of them without a measured start, in index order.
    std::set<std::size_t> ready, unmeasured;
    const auto release = [&](std::size_t i) {
        ready.insert(i);
        if (starts.holds(i))
            starts.switch_on(i);
        else
            unmeasured.insert(i);
    };
    for (std::size_t i = 0; i < chains.size(); ++i)
        if (p.waiting[i] == 0) release(i);
    std::vector<std::size_t> order;
    order.reserve(chains.size());
    bool known = false;
    double x = 0.0, y = 0.0;
    while (!ready.empty()) {
        // The first chain free in index order opens the cut, and follows a chain whose end is not
        // known; a free chain whose start is not known comes next; then the nearest free one.
        std::size_t at = *ready.begin();
        if (!order.empty() && known) at = !unmeasured.empty() ? *unmeasured.begin() : starts.nearest(x, y);
        ready.erase(at);
        unmeasured.erase(at);
        starts.switch_off(at);
        order.push_back(at);
        for (const std::size_t f : p.followers[at])
            if (--p.waiting[f] == 0) release(f);
        // An end that is not a number is not known either.
        known = chains[at].has_end && std::isfinite(chains[at].end_x) && std::isfinite(chains[at].end_y);
        x = chains[at].end_x;
        y = chains[at].end_y;
    }
    return order;
}

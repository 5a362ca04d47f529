// The tree of chain starts of the nearest-first cutting order (start_index.hpp).
#include "pocket_lanes/start_index.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The distance from (x, y) to the nearest point of a box; no point of the box is nearer, so a
// subtree whose box is farther than the best pick holds no better one.
double distance_to_box(double x, double y, double low_x, double low_y, double high_x, double high_y)
{
    const double dx = x < low_x ? low_x - x : (x > high_x ? x - high_x : 0.0);
    const double dy = y < low_y ? low_y - y : (y > high_y ? y - high_y : 0.0);
    return std::hypot(dx, dy);
}

}  // namespace

start_index::start_index(const std::vector<chain_ends>& chains) : chains_(chains), place_(chains.size(), none)
{
    for (std::size_t i = 0; i < chains.size(); ++i)
        if (chains[i].has_start && std::isfinite(chains[i].start_x) && std::isfinite(chains[i].start_y))
            order_.push_back(i);
    nodes_.resize(order_.size());
    switched_.assign(order_.size(), 0);
    build(0, order_.size());
    for (std::size_t k = 0; k < order_.size(); ++k) place_[order_[k]] = k;
}

// Splits the range at its middle along the longer side of its box, the middle start the node's
// own; then the two halves.
void start_index::build(std::size_t low, std::size_t high)
{
    if (low >= high) return;
    const std::size_t middle = low + (high - low) / 2;
    node& n = nodes_[middle];
    n.low_x = n.low_y = std::numeric_limits<double>::infinity();
    n.high_x = n.high_y = -std::numeric_limits<double>::infinity();
    for (std::size_t k = low; k < high; ++k) {
        const chain_ends& c = chains_[order_[k]];
        n.low_x = std::min(n.low_x, c.start_x);
        n.low_y = std::min(n.low_y, c.start_y);
        n.high_x = std::max(n.high_x, c.start_x);
        n.high_y = std::max(n.high_y, c.start_y);
    }
    n.split_x = n.high_x - n.low_x >= n.high_y - n.low_y;
    const bool split_x = n.split_x;
    const auto coordinate = [&](std::size_t i) { return split_x ? chains_[i].start_x : chains_[i].start_y; };
    std::nth_element(order_.begin() + static_cast<std::ptrdiff_t>(low),
                     order_.begin() + static_cast<std::ptrdiff_t>(middle),
                     order_.begin() + static_cast<std::ptrdiff_t>(high),
                     [&](std::size_t a, std::size_t b) { return coordinate(a) < coordinate(b); });
    build(low, middle);
    build(middle + 1, high);
}

// Walks from the root down to the chain's node, changing the count of every node on the way.
void start_index::count_along(std::size_t i, int change)
{
    const std::size_t at = place_[i];
    if (at == none || switched_[at] == (change > 0 ? 1 : 0)) return;
    switched_[at] = change > 0 ? 1 : 0;
    std::size_t low = 0, high = order_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        nodes_[middle].on += change;
        if (at == middle) return;
        if (at < middle)
            high = middle;
        else
            low = middle + 1;
    }
}

void start_index::search(std::size_t low, std::size_t high, double x, double y, best_pick& best) const
{
    if (low >= high) return;
    const std::size_t middle = low + (high - low) / 2;
    const node& n = nodes_[middle];
    // Equally near starts are searched too: the lower index wins a tie.
    if (n.on == 0 || distance_to_box(x, y, n.low_x, n.low_y, n.high_x, n.high_y) > best.distance) return;
    if (switched_[middle] != 0) {
        const std::size_t i = order_[middle];
        const double d = std::hypot(chains_[i].start_x - x, chains_[i].start_y - y);
        if (d < best.distance || (d == best.distance && i < best.chain)) best = {d, i};
    }
    const chain_ends& c = chains_[order_[middle]];
    const bool low_first = n.split_x ? x <= c.start_x : y <= c.start_y;
    if (low_first) {
        search(low, middle, x, y, best);
        search(middle + 1, high, x, y, best);
    } else {
        search(middle + 1, high, x, y, best);
        search(low, middle, x, y, best);
    }
}

std::size_t start_index::nearest(double x, double y) const
{
    best_pick best{std::numeric_limits<double>::infinity(), none};
    search(0, order_.size(), x, y, best);
    return best.chain;
}

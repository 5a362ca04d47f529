// A tree of the chains' start points for the nearest-first cutting order (chain_order.cpp): built
// once over every chain whose start is known, each chain switched on while it is free to be cut
// and off once it is cut; a query answers the nearest start switched on. It keeps that order's
// picks and their ties while each pick costs about log n instead of a scan of every free chain.
#pragma once

#include "pocket_lanes/chain_order.hpp"

#include <cstddef>
#include <vector>

class start_index {
public:
    // The tree of the starts of `chains` that have one (a start that is not a number is left out
    // as unknown); all switched off. The chains must outlive the index.
    explicit start_index(const std::vector<chain_ends>& chains);

    // Whether chain i's start is in the tree.
    bool holds(std::size_t i) const { return place_[i] != none; }

    // Switches chain i on or off (a chain without a start is not in the tree: no change).
    void switch_on(std::size_t i) { count_along(i, 1); }
    void switch_off(std::size_t i) { count_along(i, -1); }

    // The chain switched on whose start is nearest (x, y) (a point, not a number), the lower index
    // among equally near ones; `none` when every chain is off.
    std::size_t nearest(double x, double y) const;

    static constexpr std::size_t none = static_cast<std::size_t>(-1);

private:
    struct node {
        double low_x, low_y, high_x, high_y;  // the box of the starts of the node's subtree
        int on = 0;                           // how many of them are switched on
        bool split_x = true;                  // the axis its subtree is split along
    };
    struct best_pick {
        double distance;
        std::size_t chain;
    };

    void build(std::size_t low, std::size_t high);
    void count_along(std::size_t i, int change);
    void search(std::size_t low, std::size_t high, double x, double y, best_pick& best) const;

    const std::vector<chain_ends>& chains_;
    // The tree over the range [low, high) of `order_` has its point at the middle and its two
    // halves as subtrees; nodes_ and switched_ are indexed like order_.
    std::vector<std::size_t> order_;
    std::vector<node> nodes_;
    std::vector<char> switched_;
    std::vector<std::size_t> place_;  // each chain's place in order_, `none` without a start
};

// The point mover, least version: plain feed moves through the motion output.
#include "pocket_lanes/pocket_approach_least.hpp"

#include "pocket/pocket_state.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"

#include <array>

namespace {

constexpr int kPointsOnly = 1;
constexpr int kBaseFeed = 1;

// A move to the point (its z replaced by the current Z below dimension 3).
void feed_to(int dimension, const double* point, int& status)
{
    const double z = dimension < 3 ? pocket_state_block.current_z : point[2];
    PLINE_pts(kPointsOnly, {point[0], point[1], z}, {0.0, 0.0, 1.0}, status);
}

}  // namespace

void pocket_approach(int kind, int dimension, const double* from, const double* to, int& status)
{
    status = 0;
    if (kind > 20) kind -= 20;
    else if (kind > 10) kind -= 10;
    if (kind < kApproachFeed || kind > kApproachFull) return;
    set_mch_change_mode(kBaseFeed);
    if (kind != kApproachFeed) {
        feed_to(dimension, from, status);
        if (status < 0) return;
    }
    feed_to(dimension, to, status);
    if (status > 0) status = 0;
}

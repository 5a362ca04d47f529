// How the host keeps the curves of its curve sets (host/contours.cpp). Picking a loop curve by
// curve defines a set per pick, each the same loop begun at the picked curve (and run the way
// the chaining settles on): a run of curves shared by such sets, each reading it from its own
// first curve, forwards or backwards, keeps them in room linear in the loop instead of a copy
// per pick. A set reads back exactly the curves it was defined with. Internal to the host.
#pragma once

#include "host/control/curve_sets.hpp"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace vantu {

using curve_run = std::vector<control::curve_in_set>;

// The curves of one set: `curves` read from place `first` round to the place before it; a set
// read backwards takes each curve the other way round (start and end swapped, orientation
// negated), as a chain run the other way takes it.
struct curve_set_view {
    std::shared_ptr<curve_run> curves = std::make_shared<curve_run>();
    std::size_t first = 0;
    bool backwards = false;

    std::size_t size() const { return curves->size(); }
    control::curve_in_set operator[](std::size_t k) const;
    // The set's curves in a run of their own that nothing else reads (for changing one).
    curve_run& own();
};

// A curve taken the other way round.
control::curve_in_set turned(const control::curve_in_set& c);

// `wanted` as a view of `run` when it reads exactly as `run` from one of its curves on, forwards
// or backwards; nothing otherwise (also for runs of other lengths or empty ones).
std::optional<curve_set_view> view_of(const std::shared_ptr<curve_run>& run, const curve_run& wanted);

}  // namespace vantu

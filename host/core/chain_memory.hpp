// The chains of the contour chaining (host/contour_chaining.cpp) and its memory of the part: the
// part's curves and their end cells, kept from one pick to the next while the part and the
// tolerance stay as they were (the part is compared entity by entity, which costs far less than
// reading the curves again), with the last chain made from them. A pick of a curve of that chain
// is answered by the chain again when its joints leave no choice. Internal to the host.
#pragma once

#include "host/control/curve_sets.hpp"
#include "host/core/curve_end_cells.hpp"
#include "host/core/entity_store.hpp"

#include <cstddef>
#include <deque>
#include <map>
#include <unordered_map>
#include <vector>

namespace vantu::chaining {

// The curve of a chain in its direction of travel.
struct link {
    curve_ends curve;
    bool reversed = false;
    const point3& from() const { return reversed ? curve.end : curve.start; }
    const point3& to() const { return reversed ? curve.start : curve.end; }
    control::curve_in_set as_set_curve() const
    {
        return reversed ? control::curve_in_set{curve.id, curve.t1, curve.t0, -1.0}
                        : control::curve_in_set{curve.id, curve.t0, curve.t1, 1.0};
    }
};

// The chain run the other way round.
void reverse_chain(std::deque<link>& chain);

struct chaining_memory {
    std::map<int, entity> part;
    double tolerance = 0.0;
    std::vector<curve_ends> curves;
    std::unordered_map<int, std::size_t> curve_of_id;
    end_cells index;
    std::deque<link> chain;
    bool closed = false;
    bool clean = false;  // each joint of the chain holds only its own two ends (a free end: one)
    std::unordered_map<int, std::size_t> link_of_id;
};

// The memory of the part as it stands, read anew when the part or the tolerance changed.
chaining_memory& part_memory(double tolerance);

// Forgets the part and its chain (the host's reset).
void forget_part();

// The last chain as the chaining from the picked curve makes it, when the pick is one of its
// curves and the chain is clean; false otherwise.
bool recalled_chain(const chaining_memory& m, int picked_id, std::deque<link>& chain, bool& closed);

// Keeps `chain` as the last chain, with whether its joints leave no choice.
void remember_chain(chaining_memory& m, const std::deque<link>& chain, bool closed);

}  // namespace vantu::chaining

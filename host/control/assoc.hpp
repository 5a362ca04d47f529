// Control view of the associativity links (host/vantu_assoc.hpp).
#pragma once

#include <vector>

namespace vantu::control {

struct assoc_link {
    int entity;
    int code;
    int target;  // block number of the procedure
    bool operator==(const assoc_link&) const = default;
};

// Every link, in the order made.
std::vector<assoc_link> assoc_links();

// The association state asinqg answers for a curve that is in the part (kAssocUnchanged when
// none is set). Persisted in the part file as "assoc_states": [[entity, state], ...].
void set_assoc_state(int entity, int state);

}  // namespace vantu::control

// Fault injection: a test or the runner arms "call X fails on its k-th call (or on the next n
// calls from the k-th) with status s"; each host call that can fail asks fault_hit() first.
#pragma once

#include <optional>
#include <string_view>

namespace vantu {

// Counts this call of the named host call; answers the status to fail with when an armed fault
// covers this call, nothing otherwise.
std::optional<int> fault_hit(std::string_view call);

}  // namespace vantu

// Control of the contour descriptors (host/vantu_descriptors.hpp): what a test or a part gives
// the curve set at a position besides its curves. A curve set without a descriptor of its own
// answers one group, closed, no check curves, no working plane and the length
// kDescriptorHeadItems + kDescriptorCurveItems per curve. Persisted in the part file as
//   "descriptors": [{"position": 1, "groups": 1, "open": 0, "checks": [[-2, 0.0], [-2, 0.0]],
//                    "length": 7, "plane": [0, 0, 1, -5]}]
// ("length" may be left out: then it is computed; "plane" only for a contour defined in a
// working plane, given as a, b, c, d of a x + b y + c z + d = 0 with (a, b, c) of unit length).
#pragma once

#include <array>
#include <optional>
#include <utility>

namespace vantu::control {

struct contour_descriptor {
    int groups = 1;
    int open = 0;
    std::array<std::pair<int, double>, 2> checks{{{-2, 0.0}, {-2, 0.0}}};  // side 1, side 2
    std::optional<int> length;                                             // none: computed from the curve count
    std::optional<std::array<double, 4>> plane;  // the working plane of a contour defined in one
};

// Sets (or replaces) the descriptor of the curve set at the position (1 or more).
void define_descriptor(int position, const contour_descriptor& descriptor);

}  // namespace vantu::control

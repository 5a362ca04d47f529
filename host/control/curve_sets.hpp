// Control of the host's curve sets (the contours a test or a script hands to the pocket).
#pragma once

#include <vector>

namespace vantu::control {

struct curve_in_set {
    int entity;
    double start;        // start parameter
    double end;          // end parameter
    double orientation;  // orientation value in the contour
};

// Defines (or replaces) curve set `set` (1 or more).
void define_curve_set(int set, std::vector<curve_in_set> curves);

}  // namespace vantu::control

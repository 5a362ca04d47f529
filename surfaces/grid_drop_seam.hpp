// The alternative grid drop of the triangle model (grid_drop_side): with the model's grid switch
// on, the grid heights along a hatch segment ask it on which side of the part a sample lies. No
// routine of this module provides it and the switch stays off, so the entry stays unfilled (a line
// and status -1 when called) unless a test puts a double in it (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kGridDropServicesName[] = "grid_drop_services";

// The side grid_drop_side answers for a sample below the part; any other side is above it.
inline constexpr int kGridDropBelow = 1;

struct grid_drop_services {
    using unfilled = unfilled_seam<kGridDropServicesName>;
    // The side of the sample point (x, y, z): kGridDropBelow or another value; status 0 or negative.
    void (*grid_drop_side)(const float* point, int& side, int& status) = unfilled{};
};

grid_drop_services& grid_drop_service_table();

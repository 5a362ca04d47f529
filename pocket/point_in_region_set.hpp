// The test of a point against the current set of region polygons (point_in_region_set): inside
// when it lies inside an odd number of them (inside the outline, not in an island). The current
// region is module state that the location's callers designate.
#pragma once

#include "pocket/reg_region.hpp"

// The region whose polygons point_in_region_set tests; none until a caller designates one.
struct region_set_state {
    reg_region* region = nullptr;
};
extern region_set_state region_set_block;

// True when the point (x, y) lies inside or on an odd number of the polygons of the region given,
// or of the current region when none is given. False with no region or a region whose points
// cannot be read. flag is set to 0.
bool point_in_region_set(const float* point, int& flag, reg_region* region = nullptr);

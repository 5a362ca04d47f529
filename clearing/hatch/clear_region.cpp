// The region of the clearing point list: the polygons of the polygon buffer kept as a way region.
#include "clearing/hatch/clear_region.hpp"

#include "clearing/hatch/clear_block.hpp"

void clr_region_add(const word* polygon)
{
    const int count = polygon[0];
    std::vector<std::array<double, 2>> corners;
    for (int i = 0; i < count; ++i)
        corners.push_back({word_to_real(polygon[1 + 2 * i]), word_to_real(polygon[2 + 2 * i])});
    way_region_add(clear_block.region, corners, 0.0);
}

void clr_region_forget() { way_region_forget(clear_block.region); }

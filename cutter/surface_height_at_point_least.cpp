// surface_height_at_point, least version (see the header).
#include "cutter/surface_height_at_point_least.hpp"

namespace {
constexpr int kNoHeight = 1;
}

void surface_height_at_point(int /*mode*/, const float* point, float /*tolerance*/, float /*offset1*/,
                             float /*offset2*/, float* located, int& status)
{
    if (located && point) {
        located[0] = point[0];
        located[1] = point[1];
        located[2] = kNoSurfaceHeight;
    }
    status = kNoHeight;
}

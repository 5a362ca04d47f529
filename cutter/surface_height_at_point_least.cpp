// surface_height_at_point, least version (see the header).
#include "cutter/surface_height_at_point_least.hpp"

namespace {
constexpr int kNoHeight = 1, kHeightFound = 0;
}

surface_height_function& surface_height_seam()
{
    static surface_height_function f = nullptr;
    return f;
}

void surface_height_at_point(int /*mode*/, const float* point, float /*tolerance*/, float /*offset1*/,
                             float /*offset2*/, float* located, int& status)
{
    const surface_height_function height = surface_height_seam();
    if (located && point) {
        located[0] = point[0];
        located[1] = point[1];
        located[2] = height != nullptr ? height(point[0], point[1]) : kNoSurfaceHeight;
    }
    status = height != nullptr && located && point ? kHeightFound : kNoHeight;
}

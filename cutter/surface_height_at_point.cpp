// surface_height_at_point (see the header).
#include "cutter/surface_height_at_point.hpp"

surface_height_function& surface_height_seam()
{
    static surface_height_function f = nullptr;
    return f;
}

void surface_height_at_point(int /*mode*/, const float* point, float /*tolerance*/, float /*stock*/,
                             float /*check_stock*/, float* normal, float* contact, float& height, int& entity,
                             int& status)
{
    const surface_height_function seam = surface_height_seam();
    height = seam != nullptr ? seam(point[0], point[1]) : kNoSurfaceHeight;
    normal[0] = normal[1] = 0.0f;
    normal[2] = 1.0f;
    contact[0] = point[0];
    contact[1] = point[1];
    contact[2] = height;
    entity = 0;
    status = seam != nullptr ? kHeightFound : kHeightNone;
}

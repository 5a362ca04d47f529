// against_hatch (see the header).
#include "clearing/surface_passes/hatch_direction.hpp"

#include "host/vantu.hpp"

#include <cmath>

bool against_hatch(const float* a, const float* b, float hatch_angle)
{
    float u[2] = {b[0] - a[0], b[1] - a[1]};
    float length = 0.0f;
    int status = 0;
    v2unit(u, length, status);
    if (status < 0) return false;
    const float dot = u[0] * std::cos(hatch_angle) + u[1] * std::sin(hatch_angle);
    return eqval(dot, -1.0f) != 0;
}

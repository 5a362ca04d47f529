// The perpendicular of a 2-D vector (see the header).
#include "pocket_lanes/moves/vec2_perp.hpp"

void vec2_perp(int flag, const double* v, double* result)
{
    const double x = v[0], y = v[1];
    result[0] = flag == 1 ? -y : y;
    result[1] = flag == 1 ? x : -x;
}

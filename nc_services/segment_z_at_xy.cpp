// segment_z_at_xy (see the header).
#include "nc_services/segment_z_at_xy.hpp"

#include "host/vantu_compare.hpp"

#include <cmath>

void segment_z_at_xy(const float* a, const float* b, const float* x, float& z, int& flag)
{
    flag = 0;
    const float dx = b[0] - a[0];
    const float dy = b[1] - a[1];
    const float dz = b[2] - a[2];
    if (gtval(std::fabs(dx), std::fabs(dy)) && neval0(dx)) {
        z = a[2] + dz * (x[0] - a[0]) / dx;
    } else if (eqval0(dx) && eqval0(dy)) {
        z = std::fmin(a[2], b[2]);
        flag = 1;
    } else {
        z = a[2] + dz * (x[1] - a[1]) / dy;
    }
}

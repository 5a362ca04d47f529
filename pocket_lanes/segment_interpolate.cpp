// Height and vector of a point along a segment in space (double precision).
#include "pocket_lanes/segment_interpolate.hpp"

#include "host/vantu_vector.hpp"

#include <cmath>

void segment_interpolate_d(const double* a, const double* b, const double* weight_a,
                           const double* weight_b, const double* point, double& z, double* weights,
                           int& flag)
{
    const double dx = b[0] - a[0];
    const double dy = b[1] - a[1];
    const double dz = b[2] - a[2];
    flag = 0;
    if (std::fabs(dx) > std::fabs(dy) && !eqvl0d(dx)) {
        z = (point[0] - a[0]) / dx * dz + a[2];
    } else if (!eqvl0d(dy) && (std::fabs(dx) < std::fabs(dy) || !eqvl0d(dx))) {
        z = (point[1] - a[1]) / dy * dz + a[2];
    } else {
        z = std::fmin(a[2], b[2]);
        flag = 1;
    }
    if (weights == nullptr) return;
    const double w = dz == 0.0 ? 1.0 : std::fabs(z - a[2]) / std::fabs(dz);
    for (int k = 0; k < 3; ++k) {
        const double at_a = weight_a != nullptr ? weight_a[k] : 0.0;
        const double at_b = weight_b != nullptr ? weight_b[k] : 0.0;
        weights[k] = (1.0 - w) * at_a + w * at_b;
    }
}

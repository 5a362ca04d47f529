// Height and vector of a point along a segment in space, in single and double precision: one
// routine serves both widths, with the host's zero test of each width.
#include "pocket_arrays/segment_interpolate.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_vector.hpp"

#include <cmath>

namespace {

int is_zero(double v) { return eqvl0d(v); }
int is_zero(float v) { return eqval0(v); }

template <typename Real>
void interpolate(const Real* a, const Real* b, const Real* weight_a, const Real* weight_b, const Real* point, Real& z,
                 Real* weights, int& flag)
{
    const Real dx = b[0] - a[0];
    const Real dy = b[1] - a[1];
    const Real dz = b[2] - a[2];
    flag = 0;
    if (std::fabs(dx) > std::fabs(dy) && !is_zero(dx)) {
        z = (point[0] - a[0]) / dx * dz + a[2];
    } else if (!is_zero(dy) && (std::fabs(dx) < std::fabs(dy) || !is_zero(dx))) {
        z = (point[1] - a[1]) / dy * dz + a[2];
    } else {
        z = std::fmin(a[2], b[2]);
        flag = 1;
    }
    if (weights == nullptr) return;
    const Real w = dz == Real(0) ? Real(1) : std::fabs(z - a[2]) / std::fabs(dz);
    for (int k = 0; k < 3; ++k) {
        const Real at_a = weight_a != nullptr ? weight_a[k] : Real(0);
        const Real at_b = weight_b != nullptr ? weight_b[k] : Real(0);
        weights[k] = (Real(1) - w) * at_a + w * at_b;
    }
}

}  // namespace

void segment_interpolate_d(const double* a, const double* b, const double* weight_a, const double* weight_b,
                           const double* point, double& z, double* weights, int& flag)
{
    interpolate(a, b, weight_a, weight_b, point, z, weights, flag);
}

void segment_interpolate(const float* a, const float* b, const float* weight_a, const float* weight_b,
                         const float* point, float& z, float* weights, int& flag)
{
    interpolate(a, b, weight_a, weight_b, point, z, weights, flag);
}

// Tolerance tests and box overlaps of the pocket engine. Called in every element loop, so they
// stay small and allocate nothing.
#include "pocket_arrays/pk_tolerance.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <cmath>

int pk_eq_pnt(const double* p, const double* q)
{
    const double dx = p[0] - q[0];
    const double dy = p[1] - q[1];
    const double planar = dx * dx + dy * dy;
    if (!(planar < kPocketPointSquared)) return 0;
    if (pocket_state_block.pocket_dimension == 2) return 1;
    const double dz = p[2] - q[2];
    return planar + dz * dz < kPocketPointSquared ? 1 : 0;
}

int pk_is_zero_vec3(const double* p, const double* q)
{
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double d = q != nullptr ? p[k] - q[k] : p[k];
        sum += d * d;
    }
    return sum < kPocketPointSquared ? 1 : 0;
}

int pokarr_is_closed(const pokarr& array)
{
    if (array.count <= 0 || array.kind == kPokarrEmpty) return 1;
    const int last = array.count - 1;
    const auto entry = [&](int i, double* p) {
        p[0] = array.x[i];
        p[1] = array.y != nullptr ? array.y[i] : 0.0;
        p[2] = array.z != nullptr ? array.z[i] : 0.0;
    };
    double first[3], final[3];
    entry(0, first);
    entry(last, final);
    return pk_eq_pnt(first, final);
}

int pk_box_overlap2(double a_xmin, double a_ymin, double a_xmax, double a_ymax, double b_xmin, double b_ymin,
                    double b_xmax, double b_ymax)
{
    if (!gevald(a_xmax, b_xmin)) return 0;
    if (!levald(a_xmin, b_xmax)) return 0;
    if (!gevald(a_ymax, b_ymin)) return 0;
    if (!levald(a_ymin, b_ymax)) return 0;
    return 1;
}

int pk_box_overlap_nd(int n, double reach, const double* a_min, const double* a_max, const double* b_min,
                      const double* b_max)
{
    for (int k = 0; k < n; ++k) {
        if (a_max[k] + reach < b_min[k]) return 0;
        if (b_max[k] + reach < a_min[k]) return 0;
    }
    return 1;
}

// Finiteness of a pocket array's numbers, for the kernel's entry points.
#include "pocket_arrays/pk_finite.hpp"

#include <cmath>

namespace {

// Whether all n numbers from v are finite. v * 0 is a zero for a finite v and NaN for an infinite
// or NaN one, and a sum of zeros turns NaN as soon as one NaN enters it; four sums side by side
// let the loop run without a test per number (the loop intersection checks both loops each call).
bool column_finite(const double* v, long n)
{
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    long i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += v[i] * 0.0;
        s1 += v[i + 1] * 0.0;
        s2 += v[i + 2] * 0.0;
        s3 += v[i + 3] * 0.0;
    }
    for (; i < n; ++i) s0 += v[i] * 0.0;
    return !std::isnan(s0 + s1 + s2 + s3);
}

// The same for two columns of n numbers in one pass (the x and y of a planar array).
bool columns_finite(const double* u, const double* v, long n)
{
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    long i = 0;
    for (; i + 2 <= n; i += 2) {
        s0 += u[i] * 0.0;
        s1 += u[i + 1] * 0.0;
        s2 += v[i] * 0.0;
        s3 += v[i + 1] * 0.0;
    }
    for (; i < n; ++i) s0 += u[i] * 0.0 + v[i] * 0.0;
    return !std::isnan(s0 + s1 + s2 + s3);
}

}  // namespace

bool pokarr_finite(const pokarr& array)
{
    if (array.x == nullptr || array.count <= 0) return true;
    const long n = array.count;
    const bool planar = array.y == nullptr ? column_finite(array.x, n) : columns_finite(array.x, array.y, n);
    return planar && (array.z == nullptr || column_finite(array.z, n)) &&
           (array.n == nullptr || column_finite(array.n, 3 * n));
}

// Finiteness of a pocket array's numbers, for the kernel's entry points.
#include "pocket_arrays/pk_finite.hpp"

#include <cmath>
#include <cstring>

namespace {

// Two doubles side by side: one multiply and one add serve both (the loop intersection checks
// both loops each call, mostly of a few entries).
using pair2 = double __attribute__((vector_size(16)));

pair2 load2(const double* p)
{
    pair2 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// v * 0 is a zero for a finite v and NaN for an infinite or NaN one, and a sum of zeros turns NaN
// as soon as one NaN enters it: the sums below are NaN exactly when a number is not finite, in
// whatever order they are added.
bool sum_finite(pair2 s, double tail) { return !std::isnan(s[0] + s[1] + tail); }

// Whether all n numbers from v are finite.
bool column_finite(const double* v, long n)
{
    const pair2 zero = {0.0, 0.0};
    pair2 s0 = zero, s1 = zero;
    long i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += load2(v + i) * zero;
        s1 += load2(v + i + 2) * zero;
    }
    if (i + 2 <= n) {
        s0 += load2(v + i) * zero;
        i += 2;
    }
    const double tail = i < n ? v[i] * 0.0 : 0.0;
    return sum_finite(s0 + s1, tail);
}

// The same for two columns of n numbers in one pass (the x and y of a planar array).
bool columns_finite(const double* u, const double* v, long n)
{
    const pair2 zero = {0.0, 0.0};
    pair2 s0 = zero, s1 = zero;
    long i = 0;
    for (; i + 2 <= n; i += 2) {
        s0 += load2(u + i) * zero;
        s1 += load2(v + i) * zero;
    }
    const double tail = i < n ? u[i] * 0.0 + v[i] * 0.0 : 0.0;
    return sum_finite(s0 + s1, tail);
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

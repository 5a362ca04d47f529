// The host's vector arithmetic of 3 (or nd) coordinates written inline, with the same operations
// in the same order as the host's v3subd, v3dotd, distd and v3untd, so the same bits: the
// crossing and nearest-point searches run them for every pair and every vertex they measure, where
// a call into the host per product cost more than the products.
#pragma once

#include "host/tolerance.hpp"

#include <cmath>

// d = a - b.
[[gnu::always_inline]] inline void pk_difference3(const double* a, const double* b, double* d)
{
    d[0] = a[0] - b[0];
    d[1] = a[1] - b[1];
    d[2] = a[2] - b[2];
}

[[gnu::always_inline]] inline double pk_dot3(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Distance of two points over nd coordinates.
template <int nd>
[[gnu::always_inline]] inline double pk_distance(const double* p, const double* q)
{
    double sum = 0.0;
    for (int k = 0; k < nd; ++k) sum += (p[k] - q[k]) * (p[k] - q[k]);
    return std::sqrt(sum);
}

// Divides v by its length in place; false (v unchanged) when the length is within the host's
// tolerance.
[[gnu::always_inline]] inline bool pk_normalise3(double* v, double& length)
{
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += v[k] * v[k];
    length = std::sqrt(sum);
    if (!(length > vantu::kDoubleTolerance)) return false;
    for (int k = 0; k < 3; ++k) v[k] /= length;
    return true;
}

// The host's vector arithmetic of 3 (or nd) coordinates written inline, with the same operations
// in the same order as the host's v3subd, v3dotd, distd, v3untd and intvvd, so the same bits: the
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
template <int nd> [[gnu::always_inline]] inline double pk_distance(const double* p, const double* q)
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

// Where the 2-D lines through p along u and through q along v meet, as the host's intvvd gives it
// (the same operations in the same order, so the same bits), when their directions are clearly
// not parallel. intvvd's parallel test takes two hypot calls; a comparison of squares with a wide
// margin settles every pair not near its threshold. False, with nothing written, for the others
// (near parallel, zero, huge, tiny or not finite), which the caller hands to intvvd.
[[gnu::always_inline]] inline bool pk_lines_meet2(const double* p, const double* u, const double* q, const double* v,
                                                  double* crossing, double& along_u, double& along_v)
{
    // Squared lengths within these bounds keep the squares below far from underflow and overflow.
    constexpr double shortest2 = 1.0e-100, longest2 = 1.0e100;
    // Twice the host's sine: rounding moves the squares by a few parts in 1e16 only.
    constexpr double sure = 2.0 * vantu::kDoubleParallelSine;
    const double uu = u[0] * u[0] + u[1] * u[1], vv = v[0] * v[0] + v[1] * v[1];
    const double cross = u[0] * v[1] - u[1] * v[0];
    if (!(uu > shortest2 && uu < longest2 && vv > shortest2 && vv < longest2 && cross * cross > sure * sure * uu * vv))
        return false;
    const double w[2] = {q[0] - p[0], q[1] - p[1]};
    along_u = (w[0] * v[1] - w[1] * v[0]) / cross;
    along_v = (w[0] * u[1] - w[1] * u[0]) / cross;
    crossing[0] = p[0] + along_u * u[0];
    crossing[1] = p[1] + along_u * u[1];
    return true;
}

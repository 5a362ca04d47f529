// Thinning of an open polyline (dilul) and the distances of points and lines in space (dislps,
// dminll), declared in host/vantu_surface_eval.hpp.
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_surface_eval.hpp"
#include "host/vantu_vector.hpp"

#include <algorithm>
#include <cmath>

void dilul(int dimension, float tolerance, float* points, int& count)
{
    int status = 0;
    dilula(dimension, points, count, tolerance, 0, status);
    vantu::trace_count("dilul");
}

void dislps(const double* p, const double* a, const double* b, double& distance, double& t, int& status)
{
    vantu::trace_count("dislps");
    const double ab[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double ap[3] = {p[0] - a[0], p[1] - a[1], p[2] - a[2]};
    const double length2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    status = -1;
    t = 0.0;
    if (length2 > vantu::kDoubleTolerance * vantu::kDoubleTolerance) {
        t = (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / length2;
        status = t <= 0.0 ? 1 : t >= 1.0 ? 2 : 0;
        t = std::clamp(t, 0.0, 1.0);
    }
    double d2 = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double e = ap[k] - t * ab[k];
        d2 += e * e;
    }
    distance = std::sqrt(d2);
}

void dminll(const float* a1, const float* a2, const float* b1, const float* b2, float* on_a, float* on_b, float& s,
            float& t, int& status)
{
    vantu::trace_count("dminll");
    double d1[3], d2[3], r[3];
    for (int k = 0; k < 3; ++k) {
        d1[k] = double(a2[k]) - a1[k];
        d2[k] = double(b2[k]) - b1[k];
        r[k] = double(a1[k]) - b1[k];
    }
    const double a = v3dotd(d1, d1), b = v3dotd(d1, d2), c = v3dotd(d2, d2), d = v3dotd(d1, r), e = v3dotd(d2, r);
    const double denominator = a * c - b * b;
    status = -1;
    if (a <= 0.0 || c <= 0.0 || denominator <= vantu::kDoubleParallelSine * a * c) return;
    const double sa = (b * e - c * d) / denominator, tb = (a * e - b * d) / denominator;
    for (int k = 0; k < 3; ++k) {
        on_a[k] = static_cast<float>(a1[k] + sa * d1[k]);
        on_b[k] = static_cast<float>(b1[k] + tb * d2[k]);
    }
    s = static_cast<float>(sa);
    t = static_cast<float>(tb);
    status = 0;
}

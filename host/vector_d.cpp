// Double-precision vector routines of the host: copies, differences, products, unit vectors,
// the clamped arc cosine, line intersections in the plane and in space, and the distance of a
// point from a segment. They are called in the inner loops of the pocket engine, so they only
// count themselves (trace_count) and allocate nothing.
#include "host/vantu_vector.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

using vantu::kDoubleParallelSine;
using vantu::kDoubleTolerance;

// ---- copies and differences -------------------------------------------------------------------

void movd(const double* source, int count, double* destination)
{
    VANTU_COUNT("movd");
    if (count <= 0 || source == nullptr || destination == nullptr) return;
    std::memmove(destination, source, static_cast<std::size_t>(count) * sizeof(double));
}

void v2subd(const double* a, const double* b, double* difference)
{
    VANTU_COUNT("v2subd");
    difference[0] = a[0] - b[0];
    difference[1] = a[1] - b[1];
}

void v3subd(const double* a, const double* b, double* difference)
{
    VANTU_COUNT("v3subd");
    difference[0] = a[0] - b[0];
    difference[1] = a[1] - b[1];
    difference[2] = a[2] - b[2];
}

void vsubd(int n, const double* a, const double* b, double* difference)
{
    VANTU_COUNT("vsubd");
    for (int k = 0; k < n; ++k) difference[k] = a[k] - b[k];
}

void v2addd(const double* point, const double* vector, double factor, double* result)
{
    VANTU_COUNT("v2addd");
    result[0] = point[0] + factor * vector[0];
    result[1] = point[1] + factor * vector[1];
}

void v3addd(const double* point, const double* vector, double factor, double* result)
{
    VANTU_COUNT("v3addd");
    result[0] = point[0] + factor * vector[0];
    result[1] = point[1] + factor * vector[1];
    result[2] = point[2] + factor * vector[2];
}

void v3btpd(const double* a, const double* b, double t, double* result)
{
    VANTU_COUNT("v3btpd");
    for (int k = 0; k < 3; ++k) result[k] = (1.0 - t) * a[k] + t * b[k];
}

// ---- products ---------------------------------------------------------------------------------

double v2dotd(const double* a, const double* b)
{
    VANTU_COUNT("v2dotd");
    return a[0] * b[0] + a[1] * b[1];
}

double v3dotd(const double* a, const double* b)
{
    VANTU_COUNT("v3dotd");
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double vdotd(int n, const double* a, const double* b)
{
    VANTU_COUNT("vdotd");
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += a[k] * b[k];
    return sum;
}

double v2crsd(const double* a, const double* b)
{
    VANTU_COUNT("v2crsd");
    return a[0] * b[1] - a[1] * b[0];
}

void v2prpd(const double* v, double* result)
{
    VANTU_COUNT("v2prpd");
    const double x = v[0];
    result[0] = -v[1];
    result[1] = x;
}

void v3crsd(const double* a, const double* b, double* cross)
{
    VANTU_COUNT("v3crsd");
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    cross[0] = x;
    cross[1] = y;
    cross[2] = z;
}

void m3vecd(const double* matrix, const double* vector, double* result)
{
    VANTU_COUNT("m3vecd");
    double out[3];
    for (int row = 0; row < 3; ++row)
        out[row] = matrix[3 * row] * vector[0] + matrix[3 * row + 1] * vector[1] + matrix[3 * row + 2] * vector[2];
    result[0] = out[0];
    result[1] = out[1];
    result[2] = out[2];
}

// ---- lengths and unit vectors -----------------------------------------------------------------

// The distance of n coordinates, inlined so that distd runs it unrolled for 2 and 3 (the same
// operations in the same order).
[[gnu::always_inline]] static inline double distance_of(int n, const double* p, const double* q)
{
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += (p[k] - q[k]) * (p[k] - q[k]);
    return std::sqrt(sum);
}

double distd(int n, const double* p, const double* q)
{
    VANTU_COUNT("distd");
    if (n == 2) return distance_of(2, p, q);
    if (n == 3) return distance_of(3, p, q);
    return distance_of(n, p, q);
}

// Shared by the unit-vector routines: normalise n coordinates unless the length is within the
// tolerance of zero. Inlined, so that the two- and three-component routines run it unrolled for
// their fixed n (the same operations in the same order).
[[gnu::always_inline]] static inline void unit_in_place(int n, double* vector, double& length, int& status)
{
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += vector[k] * vector[k];
    length = std::sqrt(sum);
    if (n <= 0 || !(length > kDoubleTolerance)) {
        status = -1;
        return;
    }
    for (int k = 0; k < n; ++k) vector[k] /= length;
    status = 0;
}

void v2untd(double* vector, double& length, int& status)
{
    VANTU_COUNT("v2untd");
    unit_in_place(2, vector, length, status);
}

void v3untd(double* vector, double& length, int& status)
{
    VANTU_COUNT("v3untd");
    unit_in_place(3, vector, length, status);
}

void vunitd(int n, double* vector, double& length, int& status)
{
    VANTU_COUNT("vunitd");
    length = 0.0;
    unit_in_place(n, vector, length, status);
}

void arcosd(double cosine, double& angle, int& status)
{
    VANTU_COUNT("arcosd");
    if (std::isnan(cosine)) {
        angle = 0.0;
        status = -1;
        return;
    }
    status = std::fabs(cosine) > 1.0 + kDoubleTolerance ? 1 : 0;
    angle = std::acos(std::fmax(-1.0, std::fmin(1.0, cosine)));
}

void setdeld_nc(double angle, double largest_step, int& count, double& step)
{
    vantu::trace_count("setdeld_nc");
    count = 1;
    if (std::isfinite(angle) && largest_step > 0.0) {
        const double needed = std::ceil(std::fabs(angle) / largest_step - kDoubleTolerance);
        count = static_cast<int>(std::clamp(needed, 1.0, static_cast<double>(kMostAngleSteps)));
    }
    step = std::isfinite(angle) ? angle / count : 0.0;
}

// ---- lines and segments -----------------------------------------------------------------------

void intvvd(const double* p, const double* u, const double* q, const double* v, double* crossing, double& along_u,
            double& along_v, int& status)
{
    VANTU_COUNT("intvvd");
    const double length_u = std::hypot(u[0], u[1]);
    const double length_v = std::hypot(v[0], v[1]);
    if (!(length_u > 0.0) || !(length_v > 0.0)) {
        status = -1;
        return;
    }
    const double cross = u[0] * v[1] - u[1] * v[0];
    if (std::fabs(cross) / (length_u * length_v) < kDoubleParallelSine) {
        status = -2;
        return;
    }
    // p + s u = q + t v, solved by Cramer's rule on w = q - p.
    const double w[2] = {q[0] - p[0], q[1] - p[1]};
    along_u = (w[0] * v[1] - w[1] * v[0]) / cross;
    along_v = (w[0] * u[1] - w[1] * u[0]) / cross;
    crossing[0] = p[0] + along_u * u[0];
    crossing[1] = p[1] + along_u * u[1];
    status = 0;
}

void intvvd3(const double* p, const double* u, const double* q, const double* v, double* crossing, double& along_u,
             double& along_v, int& status)
{
    VANTU_COUNT("intvvd3");
    const double uu = u[0] * u[0] + u[1] * u[1] + u[2] * u[2];
    const double vv = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (!(uu > 0.0) || !(vv > 0.0)) {
        status = -1;
        return;
    }
    const double uv = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    const double w[3] = {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
    const double uw = u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
    const double vw = v[0] * w[0] + v[1] * w[1] + v[2] * w[2];
    const double denominator = uu * vv - uv * uv;  // |u x v|^2
    if (denominator / (uu * vv) < kDoubleParallelSine * kDoubleParallelSine) {
        // Parallel: coincident when q lies on the first line.
        const double t = -uw / uu;
        double off = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double d = p[k] + t * u[k] - q[k];
            off += d * d;
        }
        if (std::sqrt(off) > kDoubleTolerance) {
            status = -2;
            return;
        }
        along_u = t;
        along_v = 0.0;
        for (int k = 0; k < 3; ++k) crossing[k] = q[k];
        status = 1;
        return;
    }
    along_u = (uv * vw - vv * uw) / denominator;
    along_v = (uu * vw - uv * uw) / denominator;
    for (int k = 0; k < 3; ++k) crossing[k] = 0.5 * ((p[k] + along_u * u[k]) + (q[k] + along_v * v[k]));
    status = 0;
}

// The foot of a point on the line or segment (mode 2) of n coordinates; inlined so that dsdlpt
// runs it unrolled for 2 and 3 (the same operations in the same order).
[[gnu::always_inline]] static inline void segment_foot(int mode, int n, const double* point, const double* start,
                                                       const double* end, double* nearest, double& parameter,
                                                       double& distance)
{
    double along = 0.0;
    double length2 = 0.0;
    for (int k = 0; k < n; ++k) {
        const double d = end[k] - start[k];
        along += (point[k] - start[k]) * d;
        length2 += d * d;
    }
    double t = length2 > 0.0 ? along / length2 : 0.0;
    if (mode == 2) {
        // fmax(0, fmin(1, t)) as the library answers it, without its two calls: a NaN becomes 1,
        // and a -0.0 stays -0.0.
        t = t < 1.0 ? t : 1.0;
        t = t < 0.0 ? 0.0 : t;
    }
    double sum = 0.0;
    for (int k = 0; k < n; ++k) {
        const double foot = start[k] + t * (end[k] - start[k]);
        nearest[k] = foot;
        sum += (point[k] - foot) * (point[k] - foot);
    }
    parameter = t;
    distance = std::sqrt(sum);
}

void dsdlpt(int mode, int dimension, const double* point, const double* start, const double* end, double* nearest,
            double& parameter, double& distance, int& status)
{
    VANTU_COUNT("dsdlpt");
    if ((dimension != 2 && dimension != 3) || (mode != 1 && mode != 2)) {
        status = -1;
        return;
    }
    if (dimension == 2)
        segment_foot(mode, 2, point, start, end, nearest, parameter, distance);
    else
        segment_foot(mode, 3, point, start, end, nearest, parameter, distance);
    status = 0;
}

int tptonl2d(const double* point, const double* a, const double* b)
{
    VANTU_COUNT("tptonl2d");
    const double d[2] = {b[0] - a[0], b[1] - a[1]};
    const double w[2] = {point[0] - a[0], point[1] - a[1]};
    const double length = std::hypot(d[0], d[1]);
    if (!(length > kDoubleTolerance)) return std::hypot(w[0], w[1]) <= kDoubleTolerance ? 1 : 0;
    return std::fabs(d[0] * w[1] - d[1] * w[0]) / length <= kDoubleTolerance ? 1 : 0;
}

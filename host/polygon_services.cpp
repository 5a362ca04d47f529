// Single-precision polygon services over the double-precision tests of host/polygon.cpp: point in
// polygon (inpol), touch of a boundary (tchptpol), point to segment (dislp2), signed area
// (plarea), orientation (polccw) and box (polbxr). The polygon packages of the module call
// them once per polygon or per point, so they only count themselves.
#include "host/vantu_polygon.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The points widened to doubles in a scratch list kept between calls (the host runs on one
// thread), so a test per point allocates nothing once the list is large enough.
const double* widened(const float* points, int count)
{
    static std::vector<double> scratch;
    scratch.assign(points, points + 2L * count);
    return scratch.data();
}

// Twice the signed area of count x, y pairs (shoelace), in double precision.
double twice_area(const float* points, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const float* a = points + 2L * i;
        const float* b = points + 2L * ((i + 1) % count);
        sum += static_cast<double>(a[0]) * b[1] - static_cast<double>(b[0]) * a[1];
    }
    return sum;
}

}  // namespace

void inpol(const float* points, int count, int /*mode*/, const float* point, int& result)
{
    vantu::trace_count("inpol");
    result = kInpolOutside;
    if (points == nullptr || point == nullptr || count < 1) return;
    const double p[2] = {point[0], point[1]};
    inpold(vantu::kRealTolerance, widened(points, count), count, p, result);
}

void tchptpol(int mode, double tolerance, const double* point, int count, const double* points, int& touch)
{
    vantu::trace_count("tchptpol");
    touch = 0;
    if (points == nullptr || point == nullptr || count < 1) return;
    const int edges = count == 1 ? 1 : (mode == 2 ? count : count - 1);
    for (int i = 0; i < edges; ++i) {
        const double* a = points + 2L * i;
        const double* b = count == 1 ? a : points + 2L * ((i + 1) % count);
        double nearest[2], parameter = 0.0, distance = 0.0;
        int status = 0;
        dsdlpt2(2, point, a, b, nearest, parameter, distance, status);
        if (status == 0 && distance <= tolerance) {
            touch = 1;
            return;
        }
    }
}

void dislp2(int mode, const float* point, const float* start, const float* end, float* nearest, float& parameter,
            float& distance, int& status)
{
    vantu::trace_count("dislp2");
    const double p[2] = {point[0], point[1]};
    const double a[2] = {start[0], start[1]};
    const double b[2] = {end[0], end[1]};
    double near_d[2], parameter_d = 0.0, distance_d = 0.0;
    dsdlpt2(mode, p, a, b, near_d, parameter_d, distance_d, status);
    if (status != 0) return;
    nearest[0] = static_cast<float>(near_d[0]);
    nearest[1] = static_cast<float>(near_d[1]);
    parameter = static_cast<float>(parameter_d);
    distance = static_cast<float>(distance_d);
}

void plarea(int count, const float* points, int mode, float& area, int& status)
{
    vantu::trace_count("plarea");
    area = 0.0f;
    status = mode == 0 && points != nullptr ? 0 : -1;
    if (status == 0 && count >= 3) area = static_cast<float>(0.5 * twice_area(points, count));
}

void polccw(int count, const float* points, int& direction)
{
    vantu::trace_count("polccw");
    direction = -1;
    if (points == nullptr || count < 3) return;
    const double area = 0.5 * twice_area(points, count);
    if (std::fabs(area) <= vantu::kRealTolerance) return;
    direction = area > 0.0 ? 1 : 0;
}

void polbxr(int mode, int dimension, const float* points, int count, float* box)
{
    vantu::trace_count("polbxr");
    if (points == nullptr || box == nullptr || count < 1 || (dimension != 2 && dimension != 3)) return;
    if (mode == 1) {
        for (int k = 0; k < dimension; ++k) box[k] = box[dimension + k] = points[k];
    }
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < dimension; ++k) {
            const float v = points[static_cast<long>(i) * dimension + k];
            box[k] = std::min(box[k], v);
            box[dimension + k] = std::max(box[dimension + k], v);
        }
    }
}

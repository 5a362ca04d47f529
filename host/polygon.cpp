// Point-in-polygon test (inpold) over one polygon or a set of polygons with islands, and the
// planar point-to-segment distance (dsdlpt2). The pocket engine calls them once per point of
// its inside tests, so they only count themselves and allocate nothing.
#include "host/vantu_polygon.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <cmath>

using vantu::kDoubleTolerance;

namespace {

const double* at(const double* points, int i) { return points + 2L * i; }

bool same_point(const double* p, const double* q)
{
    return std::fabs(p[0] - q[0]) <= kDoubleTolerance && std::fabs(p[1] - q[1]) <= kDoubleTolerance;
}

// Distance of p from the segment a..b.
double segment_distance(const double* p, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(p[0] - (a[0] + t * dx), p[1] - (a[1] + t * dy));
}

// Whether the edge a..b crosses the ray from p towards +x (half-open in y, so a vertex on the
// ray is counted once).
bool crosses_ray(const double* p, const double* a, const double* b)
{
    if ((a[1] > p[1]) == (b[1] > p[1])) return false;
    const double x = a[0] + (p[1] - a[1]) / (b[1] - a[1]) * (b[0] - a[0]);
    return x > p[0];
}

// One polygon of the list: points first .. last, closed back to first. Adds its ray crossings;
// answers true when p lies within tolerance of one of its edges.
bool scan_polygon(const double* points, int first, int last, const double* p, double tolerance, int& crossings)
{
    for (int i = first; i <= last; ++i) {
        const double* a = at(points, i);
        const double* b = at(points, i < last ? i + 1 : first);
        if (segment_distance(p, a, b) <= tolerance) return true;
        if (crosses_ray(p, a, b)) ++crossings;
    }
    return false;
}

}  // namespace

void inpold(double tolerance, const double* points, int count, const double* point, int& result)
{
    VANTU_COUNT("inpold");
    result = kInpolOutside;
    if (points == nullptr || point == nullptr || count < 1) return;
    const double reach = std::fabs(tolerance);
    int crossings = 0;
    int first = 0;
    while (first < count) {
        // The polygon runs to the next repetition of its first point, or to the list's end.
        int last = first + 1;
        while (last < count && !same_point(at(points, last), at(points, first))) ++last;
        const int end = last < count ? last - 1 : count - 1;
        if (scan_polygon(points, first, end, point, reach, crossings)) {
            result = kInpolOnBoundary;
            return;
        }
        first = last + 1;
    }
    result = crossings % 2 == 1 ? kInpolInside : kInpolOutside;
}

void dsdlpt2(int mode, const double* point, const double* start, const double* end, double* nearest, double& parameter,
             double& distance, int& status)
{
    vantu::trace_count("dsdlpt2");
    if (mode != 1 && mode != 2) {
        status = -1;
        return;
    }
    const double dx = end[0] - start[0], dy = end[1] - start[1];
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0.0 ? ((point[0] - start[0]) * dx + (point[1] - start[1]) * dy) / length2 : 0.0;
    const double along = mode == 2 ? std::fmax(0.0, std::fmin(1.0, t)) : t;
    nearest[0] = start[0] + along * dx;
    nearest[1] = start[1] + along * dy;
    parameter = t;
    distance = std::hypot(point[0] - nearest[0], point[1] - nearest[1]);
    status = 0;
}

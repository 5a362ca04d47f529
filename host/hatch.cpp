// Hatch-line services: the frame of a line, the crossing of an edge with a line of that frame,
// and the location of a point in a packed polygon set. The region hatching of the pocket engine
// calls them for every edge of every polygon it crosses, so they count themselves only.
#include "host/vantu_hatch.hpp"

#include "host/core/trace.hpp"

#include <cmath>

void hatchx(float angle, const float* point, float* result)
{
    VANTU_COUNT("hatchx");
    const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
    const double x = point[0], y = point[1];
    result[0] = static_cast<float>(x * c + y * s);
    result[1] = static_cast<float>(-x * s + y * c);
}

int hatint(float line_v, const float* a, const float* b, float& u)
{
    VANTU_COUNT("hatint");
    const double va = a[1], vb = b[1], v = line_v;
    if (va == v && vb == v) return kHatintNone;
    if (v < std::fmin(va, vb) || v > std::fmax(va, vb)) return kHatintNone;
    const double t = (v - va) / (vb - va);
    u = static_cast<float>(a[0] + t * (static_cast<double>(b[0]) - a[0]));
    return kHatintCrossing;
}

namespace {

// Distance of p from the segment a..b, in double precision.
double edge_distance(const double* p, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(p[0] - (a[0] + t * dx), p[1] - (a[1] + t * dy));
}

}  // namespace

void inpolr(const word* polygons, int count, const float* point, float tolerance, int& result)
{
    VANTU_COUNT("inpolr");
    result = kInpolrOutside;
    if (polygons == nullptr || count < 1 || point == nullptr) return;
    const double p[2] = {point[0], point[1]};
    bool inside = false;
    long at = 0;
    for (int k = 0; k < count; ++k) {
        const int n = polygons[at++];
        if (n < 1) continue;
        const word* xy = polygons + at;
        at += 2L * n;
        bool in_this = false;
        for (int i = 0; i < n; ++i) {
            const int j = i + 1 < n ? i + 1 : 0;
            const double a[2] = {word_to_real(xy[2 * i]), word_to_real(xy[2 * i + 1])};
            const double b[2] = {word_to_real(xy[2 * j]), word_to_real(xy[2 * j + 1])};
            if (edge_distance(p, a, b) <= tolerance) {
                result = kInpolrOnBoundary;
                return;
            }
            if ((a[1] > p[1]) != (b[1] > p[1]) && a[0] + (p[1] - a[1]) / (b[1] - a[1]) * (b[0] - a[0]) > p[0])
                in_this = !in_this;
        }
        if (in_this) inside = !inside;
    }
    result = inside ? kInpolrInside : kInpolrOutside;
}

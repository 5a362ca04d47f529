// Coordinate systems from points (xsys4, zsys3), stored as UCS entities that arcs name through "RP",
// and the Newton step between two planar curve records (intr0).
#include "host/vantu_curve_frames.hpp"

#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_entity.hpp"
#include "host/words.hpp"

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr int kUcsClass = 8, kUcsType = 1;
constexpr int kUcsWords = 16;
using vec = std::array<double, 3>;

vec difference(const float (&a)[3], const float (&b)[3]) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const vec& a, const vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
vec cross(const vec& a, const vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
// The unit vector along v; false when v has no length.
bool unit(vec& v)
{
    const double length = std::sqrt(dot(v, v));
    if (!(length > vantu::kDoubleTolerance)) return false;
    for (double& c : v) c /= length;
    return true;
}

// Stores a coordinate system (origin and unit axes) as a UCS entity; status 0, else -1.
void store_ucs(const float (&origin)[3], const vec& x, const vec& y, const vec& z, int& ucs, int& status)
{
    std::array<word, kUcsWords> words{};
    words[0] = real_to_word(1.0f);
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(k);
        words[1 + i] = real_to_word(origin[k]);
        words[4 + i] = real_to_word(static_cast<float>(x[i]));
        words[7 + i] = real_to_word(static_cast<float>(y[i]));
        words[10 + i] = real_to_word(static_cast<float>(z[i]));
    }
    int closed = 0;
    estore(kUcsClass, kUcsType, ucs, status);
    if (status == 0) eputn(kUcsWords, words.data(), status);
    eclose(closed);
    if (status != 0) status = -1;
}

}  // namespace

void xsys4(const float (&origin)[3], const float (&x_point)[3], const float (&plane_point)[3], int& ucs, int& status)
{
    vec x = difference(x_point, origin);
    vec y = difference(plane_point, origin);
    status = -1;
    if (unit(x)) {
        const double along = dot(x, y);
        for (int k = 0; k < 3; ++k) y[static_cast<std::size_t>(k)] -= along * x[static_cast<std::size_t>(k)];
        if (unit(y)) status = 0;
    }
    if (status == 0) {
        if (auto fault = vantu::fault_hit("xsys4")) status = *fault;
    }
    if (status == 0) store_ucs(origin, x, y, cross(x, y), ucs, status);
    vantu::trace_call("xsys4", std::to_string(status == 0 ? ucs : 0), status);
}

void zsys3(const float (&origin)[3], const float (&z_point)[3], int& ucs, int& status)
{
    vec z = difference(z_point, origin);
    status = unit(z) ? 0 : -1;
    if (status == 0) {
        if (auto fault = vantu::fault_hit("zsys3")) status = *fault;
    }
    if (status == 0) {
        // X runs where the new XY plane meets the world XY plane (world X when they are one
        // plane), so a plane tilted about one world axis keeps that axis as its X.
        vec x = cross({0.0, 0.0, 1.0}, z);
        if (!unit(x)) x = {1.0, 0.0, 0.0};
        store_ucs(origin, x, cross(z, x), z, ucs, status);
    }
    vantu::trace_call("zsys3", std::to_string(status == 0 ? ucs : 0), status);
}

void intr0(const curve_record& first, double& first_parameter, const curve_record& second, double& second_parameter,
           int& status)
{
    // The crossing of the two tangent lines: p1 + d1 a = p2 + d2 b in the XY plane.
    const double* d1 = first.first;
    const double* d2 = second.first;
    const double determinant = d1[0] * (-d2[1]) - d1[1] * (-d2[0]);
    const double scale = std::hypot(d1[0], d1[1]) * std::hypot(d2[0], d2[1]);
    status = -1;
    if (std::abs(determinant) > vantu::kDoubleParallelSine * scale && scale > 0.0) {
        const double rx = second.point[0] - first.point[0], ry = second.point[1] - first.point[1];
        double a = (rx * (-d2[1]) - ry * (-d2[0])) / determinant;
        double b = (d1[0] * ry - d1[1] * rx) / determinant;
        // One correction with the curvature terms: the second-order points at a and b, and the
        // tangent step that closes the gap left between them.
        const double gx = (second.point[0] + d2[0] * b + 0.5 * second.second[0] * b * b) -
                          (first.point[0] + d1[0] * a + 0.5 * first.second[0] * a * a);
        const double gy = (second.point[1] + d2[1] * b + 0.5 * second.second[1] * b * b) -
                          (first.point[1] + d1[1] * a + 0.5 * first.second[1] * a * a);
        const double e1x = d1[0] + first.second[0] * a, e1y = d1[1] + first.second[1] * a;
        const double e2x = d2[0] + second.second[0] * b, e2y = d2[1] + second.second[1] * b;
        const double corrected = e1x * (-e2y) - e1y * (-e2x);
        if (std::abs(corrected) > vantu::kDoubleParallelSine * scale) {
            a += (gx * (-e2y) - gy * (-e2x)) / corrected;
            b += (e1x * gy - e1y * gx) / corrected;
        }
        first_parameter += a;
        second_parameter += b;
        status = 0;
    }
    vantu::trace_count("intr0");
}

// Height bounds of one triangle for the drop front end (see the header). The XY contact meets a
// triangle either by its face, at the cutter's lowest point C towards the plane, or by its edges;
// the drop onto the plane bounds both, and when C lies clearly outside the triangle, only the
// edges can be met. Every contact is a point of the triangle under the cutter; allowed for is
// rounding: the record's single-precision plane and a height rounded up to single precision.
#include "cutter/drop_bounds.hpp"

#include "cutter/kernels/xy_contact.hpp"
#include "surfaces/qt_geometry.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Rounding of single-precision positions and heights, relative to the magnitudes involved.
constexpr double kRounding = 2.0e-6;
// Planes whose normal has a smaller z are too steep to bound a height soundly.
constexpr double kSteepPlane = 0.05;

// The drop along one edge (its highest point as the cutter, axis at (px, py), is lowered onto
// the edge), bounded from above: along the part of the edge within the radius the drop height is
// concave (linear height less the convex lift of the cutter's profile), so the tangent lines at
// three of its points lie above it everywhere, and the highest point of their lower envelope
// bounds it. -inf when no part of the edge lies within the radius.
double edge_envelope(const float* a, const float* b, double px, double py, const drop_cutter& cutter)
{
    const double dx = static_cast<double>(b[0]) - a[0], dy = static_cast<double>(b[1]) - a[1];
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0)) return -HUGE_VAL;
    const double ux = dx / length, uy = dy / length;
    const double along_a = (a[0] - px) * ux + (a[1] - py) * uy, along_b = along_a + length;
    const double d = ux * (a[1] - py) - uy * (a[0] - px);
    const double radius = cutter.radius, corner = cutter.corner, flat = radius - corner;
    if (!(std::fabs(d) < radius)) return -HUGE_VAL;
    const double half = std::sqrt(radius * radius - d * d);
    const double lo = std::max(along_a, -half), hi = std::min(along_b, half);
    if (lo > hi) return -HUGE_VAL;
    const double rise = (static_cast<double>(b[2]) - a[2]) / length;
    // The drop height and its slope at s along the line.
    auto tangent = [&](double s, double& value, double& slope) {
        const double rho = std::sqrt(s * s + d * d);
        value = a[2] + (s - along_a) * rise;
        slope = rise;
        if (rho <= flat || !(rho > 0.0)) return;
        const double off = std::min(rho - flat, corner);
        const double root = std::sqrt(std::max(corner * corner - off * off, 0.0));
        value -= corner - root;
        slope -= root > 0.0 ? off / root * (s / rho) : (s > 0.0 ? HUGE_VAL : -HUGE_VAL);
    };
    constexpr int kTangents = 3;
    constexpr double kAt[kTangents] = {0.1, 0.5, 0.9};
    double at[kTangents], value[kTangents], slope[kTangents];
    for (int k = 0; k < kTangents; ++k) {
        at[k] = lo + kAt[k] * (hi - lo);
        tangent(at[k], value[k], slope[k]);
    }
    auto envelope = [&](double s) {
        double lowest = HUGE_VAL;
        for (int k = 0; k < kTangents; ++k) lowest = std::min(lowest, value[k] + slope[k] * (s - at[k]));
        return lowest;
    };
    double highest = std::max(envelope(lo), envelope(hi));
    for (int i = 0; i < kTangents; ++i)
        for (int j = i + 1; j < kTangents; ++j) {
            if (!(slope[i] != slope[j])) continue;
            const double s = (value[j] - slope[j] * at[j] - value[i] + slope[i] * at[i]) / (slope[i] - slope[j]);
            if (s > lo && s < hi) highest = std::max(highest, envelope(s));
        }
    return highest;
}

double magnitude_of(const float* point, const drop_cutter& cutter)
{
    return 1.0 + std::fabs(point[0]) + std::fabs(point[1]) + cutter.radius;
}

}  // namespace

triangle_bounds::triangle_bounds(const float* point, const drop_cutter& cutter, const qt_entry& record,
                                 const float* corners)
    : point_{point[0], point[1]}, cutter_(cutter), record_(&record), face_(kFaceUnsure)
{
    std::memcpy(corners_, corners, sizeof corners_);
    // The lowest point as the face pass places it, from the plane of the corners.
    double rel[3][3], normal[3], lowest[2];
    for (int k = 0; k < 3; ++k) {
        rel[k][0] = static_cast<double>(corners[3 * k]) - point[0];
        rel[k][1] = static_cast<double>(corners[3 * k + 1]) - point[1];
        rel[k][2] = corners[3 * k + 2];
    }
    upward_normal_d(rel[0], rel[1], rel[2], normal);
    lowest_point_d(cutter.type, cutter.radius, cutter.corner, normal, lowest);
    cx_ = point[0] + lowest[0];
    cy_ = point[1] + lowest[1];

    // C beyond the tolerance of every edge line: outside one of them, the face pass finds mixed
    // signs and leaves the triangle to its edges; inside all, it meets the face at C.
    const double area =
        (static_cast<double>(corners[3]) - corners[0]) * (static_cast<double>(corners[7]) - corners[1]) -
        (static_cast<double>(corners[4]) - corners[1]) * (static_cast<double>(corners[6]) - corners[0]);
    if (area == 0.0) return;
    const double orientation = area > 0.0 ? 1.0 : -1.0;
    const double tolerance = kRounding * magnitude_of(point, cutter);
    bool outside = false;
    for (int k = 0; k < 3; ++k) {
        const float* a = corners + 3 * k;
        const float* b = corners + 3 * ((k + 1) % 3);
        const double dx = static_cast<double>(b[0]) - a[0], dy = static_cast<double>(b[1]) - a[1];
        const double edge = std::sqrt(dx * dx + dy * dy);
        if (!(edge > 0.0)) return;
        const double inside = orientation * (dx * (cy_ - a[1]) - dy * (cx_ - a[0])) / edge;
        if (std::fabs(inside) <= tolerance) return;
        if (inside < 0.0) outside = true;
    }
    face_ = outside ? kFaceOutside : kFaceInside;
}

float triangle_bounds::plane() const
{
    const float* n = record_->normal;
    if (!(n[2] > kSteepPlane)) return HUGE_VALF;
    double above = 0.0;
    for (int k = 0; k < 3; ++k) {
        const float* c = corners_ + 3 * k;
        const double off = static_cast<double>(n[0]) * c[0] + static_cast<double>(n[1]) * c[1] +
                           static_cast<double>(n[2]) * c[2] + record_->d;
        above = std::max(above, off / n[2]);
    }
    const double magnitude = (std::fabs(n[0] * cx_) + std::fabs(n[1] * cy_) + std::fabs(record_->d)) / n[2];
    const double z = -(n[0] * cx_ + n[1] * cy_ + record_->d) / n[2];
    const double height = z + (n[2] - 1.0) * cutter_.corner;
    return static_cast<float>(height + above + kRounding * (1.0 + magnitude + cutter_.radius));
}

float triangle_bounds::edges() const
{
    if (face_ != kFaceOutside) return HUGE_VALF;
    double highest = -HUGE_VAL, top = 0.0;
    for (int k = 0; k < 3; ++k) {
        const float* a = corners_ + 3 * k;
        const float* b = corners_ + 3 * ((k + 1) % 3);
        // The edge kernels meet points of the edge under the cutter only, bounded by the
        // envelope of its drop.
        top = std::max({top, std::fabs(static_cast<double>(a[2])), std::fabs(static_cast<double>(b[2]))});
        highest = std::max(highest, edge_envelope(a, b, point_[0], point_[1], cutter_));
    }
    return static_cast<float>(highest + kRounding * (magnitude_of(point_, cutter_) + top));
}

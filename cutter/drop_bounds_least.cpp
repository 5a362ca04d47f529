// Height bounds of one triangle for the drop front end (see the header). The XY contact meets a
// triangle either by its face, at the cutter's lowest point C towards the plane, or by its edges;
// the drop onto the plane bounds both, and when C lies outside the triangle beyond the face
// test's tolerance, only the edges can be met. Allowed for: the face test takes C up to 1e-4
// outside an edge line (its contact then moves onto the line); edges are tried up to 1e-4 beyond
// the radius, where a flat end rests on them and a ball meets their line with a small section
// (a bull-nose's corner meets nothing there); single-precision rounding.
#include "cutter/drop_bounds_least.hpp"

#include "cutter/kernels/xy_contact.hpp"
#include "surfaces/qt_geometry_least.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// How far beyond the radius a flat end or a ball can meet an edge, and how far the face test's
// contact can move onto an edge line.
constexpr double kBeyondReach = 2.0e-4;
constexpr double kFaceTolerance = 1.0e-4;
// Rounding of single-precision positions and heights, relative to the magnitudes involved.
constexpr double kRounding = 2.0e-6;
// Planes whose normal has a smaller z are too steep to bound a height soundly.
constexpr double kSteepPlane = 0.05;

// A ball meets the line of an edge up to kBeyondReach beyond its radius with a section of this
// radius, above its equator.
double ball_section(const drop_cutter& cutter)
{
    return cutter.type == kCutterBall ? std::sqrt(kBeyondReach * (2.0 * cutter.radius + kBeyondReach)) : 0.0;
}

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

// Distance from (x, y) to the segment a..b in the plane.
double segment_distance(double x, double y, const float* a, const float* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double squared = dx * dx + dy * dy;
    const double t = squared > 0.0 ? std::clamp(((x - a[0]) * dx + (y - a[1]) * dy) / squared, 0.0, 1.0) : 0.0;
    const double ex = x - (a[0] + t * dx), ey = y - (a[1] + t * dy);
    return std::sqrt(ex * ex + ey * ey);
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
    // The lowest point as the face pass places it.
    const float* n = record.normal;
    float horizontal[2] = {n[0], n[1]}, length = 0.0f;
    int status = 0;
    unit2d_snap(horizontal, length, status);
    const double flat = cutter.type == kCutterBall ? 0.0 : cutter.radius - cutter.corner;
    cx_ = point[0] - flat * horizontal[0] - cutter.corner * n[0];
    cy_ = point[1] - flat * horizontal[1] - cutter.corner * n[1];

    // C beyond the tolerance of every edge line: outside one of them, the face pass finds mixed
    // signs and leaves the triangle to its edges; inside all, it meets the face at C.
    const double area = (static_cast<double>(corners[3]) - corners[0]) * (static_cast<double>(corners[7]) - corners[1]) -
                        (static_cast<double>(corners[4]) - corners[1]) * (static_cast<double>(corners[6]) - corners[0]);
    if (area == 0.0) return;
    const double orientation = area > 0.0 ? 1.0 : -1.0;
    const double tolerance = kFaceTolerance + kRounding * magnitude_of(point, cutter);
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
    const double slope = std::sqrt(static_cast<double>(n[0]) * n[0] + static_cast<double>(n[1]) * n[1]) / n[2];
    const double beyond = cutter_.type == kCutterBullNose ? kFaceTolerance : kBeyondReach;
    const double height = z + (n[2] - 1.0) * cutter_.corner;
    return static_cast<float>(height + above + slope * beyond + ball_section(cutter_) +
                              kRounding * (1.0 + magnitude + cutter_.radius));
}

float triangle_bounds::edges() const
{
    if (face_ != kFaceOutside) return HUGE_VALF;
    double highest = -HUGE_VAL, top = 0.0;
    for (int k = 0; k < 3; ++k) {
        const float* a = corners_ + 3 * k;
        const float* b = corners_ + 3 * ((k + 1) % 3);
        // The edge kernels meet points of the edge only, bounded by the envelope of its drop.
        // Just beyond the radius a flat end rests on the edge and a ball meets it at its equator
        // (and the section allowed for below).
        const double highest_corner = std::max(a[2], b[2]);
        top = std::max(top, std::fabs(highest_corner));
        highest = std::max(highest, edge_envelope(a, b, point_[0], point_[1], cutter_));
        const double nearest = segment_distance(point_[0], point_[1], a, b);
        if (nearest >= cutter_.radius - kBeyondReach && nearest <= cutter_.radius + kBeyondReach &&
            cutter_.type != kCutterBullNose)
            highest = std::max(highest, highest_corner - (cutter_.type == kCutterBall ? cutter_.radius : 0.0));
    }
    return static_cast<float>(highest + ball_section(cutter_) + kRounding * (magnitude_of(point_, cutter_) + top));
}

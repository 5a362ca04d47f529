// The scallop between two neighbouring passes (scallop_between_contacts). The work is done in the
// section across the passes: a along the surface across them, n along the surface normal. A pass
// sweeps the cutter along its direction t, so across it the cutter leaves its shadow along t; two
// passes leave two copies of the shadow side by side, and the scallop is where their lower
// boundaries cross, above their lowest points.
#include "clearing/surface_services/scallop_between_contacts.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using vec3 = std::array<double, 3>;

// A mean normal whose z is below this stands upright: no pass over the surface there.
constexpr double kUprightZ = 1.0e-3;
// Normals whose dot product is at least this lie in one plane: there the touched points of a flat
// bottom may lie anywhere under it, and the tips alone measure the distance of the passes.
constexpr double kOnePlane = 1.0 - 1.0e-6;
// Boundary points of each half of the shadow (its chords lie inside it, so the scallop found is
// never lower than the shadow's own), and the halvings that find the crossing's height.
constexpr int kBoundaryPoints = 64;
constexpr int kHeightHalvings = 48;
// The cutter is taken up to one diameter over its tip: a scallop that high is no scallop.
constexpr double kCutterHeightDiameters = 1.0;

double dot(const vec3& u, const vec3& v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

vec3 cross(const vec3& u, const vec3& v)
{
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

bool unit(vec3& v)
{
    const double length = std::sqrt(dot(v, v));
    if (!(length > 0.0)) return false;
    for (double& c : v) c /= length;
    return true;
}

// The section across the passes and the cutter in it.
struct section {
    vec3 across, normal;
    double radius, corner, height;

    // The cutter's point farthest along m (its lowest disc grown by the corner, or the rim of its
    // top at `height`), relative to the tip, in the section's coordinates.
    std::array<double, 2> support(const vec3& m) const
    {
        const double flat = std::hypot(m[0], m[1]);
        const double ux = flat > 0.0 ? m[0] / flat : 0.0, uy = flat > 0.0 ? m[1] / flat : 0.0;
        const double disc = radius - corner;
        const vec3 low{disc * ux + corner * m[0], disc * uy + corner * m[1], corner + corner * m[2]};
        const vec3 top{radius * ux, radius * uy, height};
        const vec3& p = dot(top, m) > dot(low, m) ? top : low;
        return {dot(p, across), dot(p, normal)};
    }

    // The lower boundary of the shadow from its lowest point to its widest on one side (side +1
    // towards +across), by the direction of its outward normal.
    std::array<std::array<double, 2>, kBoundaryPoints + 1> half(double side) const
    {
        std::array<std::array<double, 2>, kBoundaryPoints + 1> points;
        for (int i = 0; i <= kBoundaryPoints; ++i) {
            const double beta = side * 0.5 * M_PI * i / kBoundaryPoints;
            const vec3 m{std::sin(beta) * across[0] - std::cos(beta) * normal[0],
                         std::sin(beta) * across[1] - std::cos(beta) * normal[1],
                         std::sin(beta) * across[2] - std::cos(beta) * normal[2]};
            points[static_cast<std::size_t>(i)] = support(m);
        }
        return points;
    }
};

// Where a half of the boundary (heights rising from its first point) stands across at height v.
double across_at(const std::array<std::array<double, 2>, kBoundaryPoints + 1>& half, double v)
{
    std::size_t i = 1;
    while (i < half.size() - 1 && half[i][1] < v) ++i;
    const auto& a = half[i - 1];
    const auto& b = half[i];
    const double rise = b[1] - a[1];
    const double t = rise > 0.0 ? std::clamp((v - a[1]) / rise, 0.0, 1.0) : 1.0;
    return a[0] + t * (b[0] - a[0]);
}

}  // namespace

void scallop_between_contacts(float diameter, float corner, const cutter_contact& a, const cutter_contact& b,
                              const float* mean_normal, const float* pass, float& scallop, int& status)
{
    status = 0;
    scallop = 0.0f;
    vec3 normal{mean_normal[0], mean_normal[1], mean_normal[2]};
    if (!unit(normal) || normal[2] < kUprightZ) {
        scallop = kScallopTooFar;
        status = -1;
        return;
    }
    // The pass runs along `pass` in the plane and along the surface.
    vec3 along{pass[0], pass[1], -(normal[0] * pass[0] + normal[1] * pass[1]) / normal[2]};
    vec3 across = cross(normal, along);
    if (!unit(across)) return;
    const vec3 tips{static_cast<double>(b.tip[0]) - a.tip[0], static_cast<double>(b.tip[1]) - a.tip[1],
                    static_cast<double>(b.tip[2]) - a.tip[2]};
    if (dot(tips, across) < 0.0)
        for (double& c : across) c = -c;
    double distance = dot(tips, across);
    const vec3 na{a.normal[0], a.normal[1], a.normal[2]}, nb{b.normal[0], b.normal[1], b.normal[2]};
    if (dot(na, nb) < kOnePlane * std::sqrt(dot(na, na) * dot(nb, nb))) {
        const vec3 touched{static_cast<double>(b.touched[0]) - a.touched[0],
                           static_cast<double>(b.touched[1]) - a.touched[1],
                           static_cast<double>(b.touched[2]) - a.touched[2]};
        distance = std::max(distance, dot(touched, across));
    }
    if (!(distance > 0.0)) return;

    const section s{across, normal, 0.5 * diameter, corner, kCutterHeightDiameters * diameter};
    const auto right = s.half(1.0), left = s.half(-1.0);
    const double lowest = right[0][1];
    const double top = std::min(right.back()[1], left.back()[1]);
    const auto width = [&](double v) { return across_at(right, v) - across_at(left, v); };
    if (width(top) < distance) {
        scallop = kScallopTooFar;
        status = -1;
        return;
    }
    double low = lowest, high = top;
    for (int k = 0; k < kHeightHalvings; ++k) {
        const double v = 0.5 * (low + high);
        (width(v) < distance ? low : high) = v;
    }
    scallop = static_cast<float>(high - lowest);
}

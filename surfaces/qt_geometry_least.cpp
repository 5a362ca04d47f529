// Geometry routines of the triangle model, least version (see the header).
#include "surfaces/qt_geometry_least.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kNoHeight = -1.0e10f;
constexpr double kMillimetresPerMicrometre = 1.0e-3;

// Capped distance from micrometre offsets.
void capped(double dx_um, double dy_um, float cap, float& distance, int& status)
{
    const double d = std::hypot(dx_um, dy_um) * kMillimetresPerMicrometre;
    status = d > cap ? 1 : 0;
    distance = status ? cap : static_cast<float>(d);
}

}  // namespace

float vertex_drop_height(const float* axis, const float* vertex, const float& radius, const float& flat)
{
    const double dx = static_cast<double>(vertex[0]) - axis[0], dy = static_cast<double>(vertex[1]) - axis[1];
    const double dist = std::sqrt(dx * dx + dy * dy);
    if (dist >= radius) return kNoHeight;
    if (dist <= flat) return vertex[2];
    const double corner = static_cast<double>(radius) - flat;
    const double off = dist - flat;
    return static_cast<float>(vertex[2] - (corner - std::sqrt(std::max(0.0, corner * corner - off * off))));
}

void qt_box_near_dist(const int& xmin, const int& ymin, const int& xmax, const int& ymax, const int& px,
                      const int& py, const float& cap, float& distance, int& status)
{
    const double dx = std::max({static_cast<double>(xmin) - px, 0.0, static_cast<double>(px) - xmax});
    const double dy = std::max({static_cast<double>(ymin) - py, 0.0, static_cast<double>(py) - ymax});
    capped(dx, dy, cap, distance, status);
}

void qt_box_far_dist(const int& xmin, const int& ymin, const int& xmax, const int& ymax, const int& px,
                     const int& py, const float& cap, float& distance, int& status)
{
    const double dx = std::max(std::fabs(static_cast<double>(px) - xmin), std::fabs(static_cast<double>(px) - xmax));
    const double dy = std::max(std::fabs(static_cast<double>(py) - ymin), std::fabs(static_cast<double>(py) - ymax));
    capped(dx, dy, cap, distance, status);
}

// Geometry routines of the triangle model (see the header).
#include "surfaces/qt_geometry.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMillimetresPerMicrometre = 1.0e-3;

// Capped distance from micrometre offsets.
void capped(double dx_um, double dy_um, float cap, float& distance, int& status)
{
    const double d = std::sqrt(dx_um * dx_um + dy_um * dy_um) * kMillimetresPerMicrometre;
    status = d > cap ? 1 : 0;
    distance = status ? cap : static_cast<float>(d);
}

}  // namespace

void qt_box_near_dist(const int& xmin, const int& ymin, const int& xmax, const int& ymax, const int& px, const int& py,
                      const float& cap, float& distance, int& status)
{
    const double dx = std::max({static_cast<double>(xmin) - px, 0.0, static_cast<double>(px) - xmax});
    const double dy = std::max({static_cast<double>(ymin) - py, 0.0, static_cast<double>(py) - ymax});
    capped(dx, dy, cap, distance, status);
}

void qt_box_far_dist(const int& xmin, const int& ymin, const int& xmax, const int& ymax, const int& px, const int& py,
                     const float& cap, float& distance, int& status)
{
    const double dx = std::max(std::fabs(static_cast<double>(px) - xmin), std::fabs(static_cast<double>(px) - xmax));
    const double dy = std::max(std::fabs(static_cast<double>(py) - ymin), std::fabs(static_cast<double>(py) - ymax));
    capped(dx, dy, cap, distance, status);
}

// Geometry routines of the triangle model that the cutter location uses: the drop
// height of a bull-nose cutter onto one vertex and the distances from a point to a quadtree box
// (boxes and points in integer micrometres).
#pragma once

#include <algorithm>
#include <cmath>

// The tool-tip height at which a cutter of radius R and flat radius w (corner r = R - w), its
// axis through `axis`, touches the vertex at XY distance dist: -1e10 when dist is R or more, the
// vertex z when dist is at most w, else z - (r - sqrt(r^2 - (dist - w)^2)). Inline: the drop
// along an edge calls it dozens of times per edge.
inline double vertex_drop_height_d(double dx, double dy, double z, double radius, double flat)
{
    const double squared = dx * dx + dy * dy;
    if (squared >= radius * radius) return -1.0e10;
    if (squared <= flat * flat) return z;
    const double corner = radius - flat, off = std::sqrt(squared) - flat;
    const double under = corner * corner - off * off;
    return z - (corner - std::sqrt(under > 0.0 ? under : 0.0));
}
inline float vertex_drop_height(const float* axis, const float* vertex, const float& radius, const float& flat)
{
    return static_cast<float>(vertex_drop_height_d(static_cast<double>(vertex[0]) - axis[0],
                                                   static_cast<double>(vertex[1]) - axis[1], vertex[2], radius, flat));
}

// Distance in millimetres from the point (px, py) to the box (0 inside it). Status 1 with the
// distance set to the cap when it exceeds the cap, else 0. Inline, as the capped distance of
// offsets in micrometres under it: the drop front end bounds dozens of boxes per point.
inline void qt_capped_distance(double dx_um, double dy_um, float cap, float& distance, int& status)
{
    constexpr double kMillimetresPerMicrometre = 1.0e-3;
    const double d = std::sqrt(dx_um * dx_um + dy_um * dy_um) * kMillimetresPerMicrometre;
    status = d > cap ? 1 : 0;
    distance = status ? cap : static_cast<float>(d);
}
inline void qt_box_near_dist(const int& xmin, const int& ymin, const int& xmax, const int& ymax, const int& px,
                             const int& py, const float& cap, float& distance, int& status)
{
    const double dx = std::max({static_cast<double>(xmin) - px, 0.0, static_cast<double>(px) - xmax});
    const double dy = std::max({static_cast<double>(ymin) - py, 0.0, static_cast<double>(py) - ymax});
    qt_capped_distance(dx, dy, cap, distance, status);
}
// The largest distance from the point to the box's far sides (to its farthest corner), capped
// as qt_box_near_dist.
inline void qt_box_far_dist(const int& xmin, const int& ymin, const int& xmax, const int& ymax, const int& px,
                            const int& py, const float& cap, float& distance, int& status)
{
    const double dx = std::max(std::fabs(static_cast<double>(px) - xmin), std::fabs(static_cast<double>(px) - xmax));
    const double dy = std::max(std::fabs(static_cast<double>(py) - ymin), std::fabs(static_cast<double>(py) - ymax));
    qt_capped_distance(dx, dy, cap, distance, status);
}

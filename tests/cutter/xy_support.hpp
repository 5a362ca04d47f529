// The XY contact of one triangle as the drivers prepare it: edges, statuses, plane and top from
// the corners, the cutter lowered at a point.
#pragma once

#include "cutter/kernels/xy_contact.hpp"

#include <algorithm>
#include <array>
#include <cmath>

struct xy_drop_result {
    float height = 0.0f;
    float contact[3] = {0.0f, 0.0f, 0.0f};
    float boundary = 0.0f;
    float value = 0.0f;
    int status = 9;
};

// The plane of three corners with the normal turned upwards.
inline std::array<float, 4> plane_of(const float* c)
{
    const double u[3] = {c[3] - c[0], c[4] - c[1], c[5] - c[2]};
    const double v[3] = {c[6] - c[0], c[7] - c[1], c[8] - c[2]};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) * (n[2] < 0 ? -1 : 1);
    for (double& x : n) x /= l;
    return {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2]),
            static_cast<float>(-(n[0] * c[0] + n[1] * c[1] + n[2] * c[2]))};
}

inline xy_drop_result xy_drop(const std::array<float, 9>& corners, float x, float y, int type, float radius,
                              float corner, signed char source = 0, int tolerance_switch = 0, int reach_switch = 0)
{
    xy_edge edges[3];
    int statuses[3];
    for (int k = 0; k < 3; ++k) {
        float d[2] = {corners[3 * ((k + 1) % 3)] - corners[3 * k], corners[3 * ((k + 1) % 3) + 1] - corners[3 * k + 1]};
        float length = 0;
        unit2d_snap(d, length, statuses[k]);
        edges[k].dx = d[0];
        edges[k].dy = d[1];
    }
    const auto plane = plane_of(corners.data());
    const float top = std::max({corners[2], corners[5], corners[8]});
    const float radii[2] = {radius, corner};
    float point[3] = {x, y, 12345.0f};
    xy_drop_result r;
    const float unused = 0;
    xy_triangle_contact(source, point, radii, type, tolerance_switch, corners.data(), edges, statuses, plane.data(),
                        unused, r.contact, reach_switch, r.boundary, r.value, top, r.status);
    r.height = point[2];
    return r;
}

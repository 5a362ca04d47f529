// The per-triangle drivers of the cutter location and the height bound of a quadtree box. The
// front end hands each candidate triangle to triangle_drop_single (the cutter lowered along its
// axis at an XY point) or triangle_push_double (the cutter moved at one height along a move),
// which prepare it for the XY contact kernels; qt_box_drop_height bounds what a box of triangles
// can give, so the front end skips boxes that cannot beat its best height.
#pragma once

#include "cutter/kernels/xy_contact.hpp"
#include "surfaces/qt_geometry.hpp"
#include "surfaces/tri_store_least.hpp"

#include <cmath>

// Statuses of the drivers: 1 no contact; otherwise the kernel's (0, 2 to 5).
inline constexpr int kDriverNoContact = 1;

// The height of a cutter (diameter D, corner r, type code) lowered at point (x, y) onto the
// triangle of the record, whose corners P1..P3 are passed (in the cutter frame for a tilted
// axis). The edges come from the record's nodes (NODKEY; rotated into the frame when
// linnet_params.tilted_axis is set). distance: the XY distance from the point to the contact, or
// to the triangle's boundary; value: set to -1e10, then the kernel's. Status 1 (height and
// distance 0) when the kernel finds no contact or the nodes cannot be read. Reads tri_store,
// linnet_params.tilted_axis and .tool_axis, cutter_frame.
void triangle_drop_single(const float* p1, const float* p2, const float* p3, const qt_entry& record, const float* point,
                          const int& type_code, const int& tolerance_switch, const int& reach_switch,
                          const float& pass_value, const float& diameter, const float& corner_radius, float& height,
                          float* contact, float& distance, float& value, int& status);

// How far a cutter moves from S towards E (x, y) at height z before it touches the triangle.
// axis_code and the matrices take points into the move's frame (move along +x) and back. Travel
// in: found so far; out: the new travel. Status 0 with the tool point and contact (machine
// frame), 1 no contact. Tapered cutters (code above 10) go to the tapered drop with the taper and
// cut length of linnet_params.
void triangle_push_double(const float* p1, const float* p2, const float* p3, const qt_entry& record, const float* start,
                          const float* end, const float& z, const int& axis_code, const double* to_move,
                          const double* from_move, const int& type_code, const float& unused, const double& edge_value,
                          const float& diameter, const float& corner_radius, float* tool_point, float* contact,
                          float& travel, int& status);

// The highest tool-tip height a cutter (R, r, type code; 10 and above count as a flat end) at the
// point can take on triangles inside the box whose highest corner is z: mode 2 measures the
// nearest distance to the box, other modes the farthest. Status 1 (height untouched) when the
// box lies beyond R, else 0. Point and box in micrometres.
// qt_box_drop_height's mode that measures the nearest distance; a bull-nose nearer than
// kQtOnFlat beyond its flat radius rests on its flat. Inline: the drop front end bounds dozens of
// boxes per point.
inline constexpr int kQtNearestDistance = 2;
inline constexpr float kQtOnFlat = 1.0e-4f;
inline void qt_box_drop_height(const int* point, const int* box, const float& z, const int& mode, const float& radius,
                               const float& corner_radius, const int& type_code, float& height, int& status)
{
    status = 0;
    const int type = type_code >= kCutterTapered ? kCutterFlat : type_code;
    const float flat = radius - corner_radius;
    float d = 0.0f;
    if (mode == kQtNearestDistance)
        qt_box_near_dist(box[0], box[1], box[2], box[3], point[0], point[1], radius, d, status);
    else
        qt_box_far_dist(box[0], box[1], box[2], box[3], point[0], point[1], radius, d, status);
    if (status == 1) return;
    if (type == kCutterFlat) {
        height = z;
        return;
    }
    float f = 0.0f;
    if (type == kCutterBall) {
        f = d * d;
    } else if (type == kCutterBullNose) {
        if (d - flat < kQtOnFlat) {
            height = z;
            return;
        }
        f = (d - flat) * (d - flat);
    }
    height = z - (corner_radius - std::sqrt(std::fabs(corner_radius * corner_radius - f)));
}

// The per-triangle drivers and the box height bound (see the header).
#include "cutter/kernels/triangle_drivers.hpp"

#include "cutter/kernels/axis_code_transform_least.hpp"
#include "cutter/kernels/cutter_frame.hpp"
#include "cutter/kernels/torus_travel.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_vector.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/qt_geometry.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The record's three nodes, or false when the model's nodes cannot be read or a number is not
// one of them.
bool record_nodes(const qt_entry& record, float* nodes)
{
    const float* base = static_cast<const float*>(mmcptr(tri_store_block.node_handle));
    if (base == nullptr) return false;
    for (int k = 0; k < 3; ++k) {
        const int number = record.nodes[k];
        if (number < 1 || number > tri_store_block.node_count) return false;
        std::memcpy(nodes + 3 * k, base + 3 * (number - 1), 3 * sizeof(float));
    }
    return true;
}

}  // namespace

void triangle_drop_single(const float* p1, const float* p2, const float* p3, const qt_entry& record, const float* point,
                          const int& type_code, const int& tolerance_switch, const int& reach_switch,
                          const float& pass_value, const float& diameter, const float& corner_radius, float& height,
                          float* contact, float& distance, float& value, int& status)
{
    status = 0;
    value = kNoHeight;
    float nodes[9];
    if (!record_nodes(record, nodes)) {
        status = kDriverNoContact;
        height = distance = 0.0f;
        return;
    }
    if (linnet_params_block.tilted_axis != 0)
        for (int k = 0; k < 3; ++k)
            frame_vector(cutter_frame_block.origin, linnet_params_block.tool_axis, nodes + 3 * k);

    xy_edge edges[3];
    int edge_status[3];
    float top_z = nodes[2];
    for (int k = 0; k < 3; ++k) {
        const float* a = nodes + 3 * k;
        const float* b = nodes + 3 * ((k + 1) % 3);
        float direction[2] = {b[0] - a[0], b[1] - a[1]}, length = 0.0f;
        unit2d_snap(direction, length, edge_status[k]);
        edges[k].dx = direction[0];
        edges[k].dy = direction[1];
        top_z = std::max(top_z, a[2]);
    }
    float corners[9];
    std::memcpy(corners, p1, 3 * sizeof(float));
    std::memcpy(corners + 3, p2, 3 * sizeof(float));
    std::memcpy(corners + 6, p3, 3 * sizeof(float));
    const float plane[4] = {record.normal[0], record.normal[1], record.normal[2], record.d};
    const float radii[2] = {diameter * 0.5f, corner_radius};
    float tool[3] = {point[0], point[1], 0.0f};
    int kernel_status = 0;
    xy_triangle_contact(record.normal_source, tool, radii, type_code, tolerance_switch, corners, edges, edge_status,
                        plane, pass_value, contact, reach_switch, distance, value, top_z, kernel_status);
    if (kernel_status < 0) {
        status = kDriverNoContact;
        height = distance = 0.0f;
        return;
    }
    status = kernel_status;
    height = tool[2];
    if (distance < 0.0f) {
        distance = dist2(point, contact);
        if (status == kXyOnEdge)
            status = kXyEdge;
        else if (status == kXyFace)
            status = kXyFaceInside;
    }
}

void triangle_push_double(const float* p1, const float* p2, const float* p3, const qt_entry& record, const float* start,
                          const float* end, const float& z, const int& axis_code, const double* to_move,
                          const double* from_move, const int& type_code, const float& unused, const double& edge_value,
                          const float& diameter, const float& corner_radius, float* tool_point, float* contact,
                          float& travel, int& status)
{
    const bool tapered = type_code > kCutterTapered;
    const int type = tapered ? type_code - kCutterTapered : type_code;
    auto into_frame = [&](const double* v, double* out) { axis_code_transform(axis_code, to_move, v, out); };

    const double s_machine[3] = {start[0], start[1], z};
    const double e_machine[3] = {end[0], end[1], z};
    double s[3], e[3], move[3];
    into_frame(s_machine, s);
    into_frame(e_machine, e);
    v3subd(e, s, move);

    const double normal[3] = {record.normal[0], record.normal[1], record.normal[2]};
    double plane[4];
    into_frame(normal, plane);
    plane[3] = record.d + v3dotd(normal, s_machine);

    double corners[9];
    const float* given[3] = {p1, p2, p3};
    for (int k = 0; k < 3; ++k) {
        const double c[3] = {given[k][0], given[k][1], given[k][2]};
        into_frame(c, corners + 3 * k);
        v3subd(corners + 3 * k, s, corners + 3 * k);
    }
    yz_edge_d edges[3];
    int edge_status[3];
    for (int k = 0; k < 3; ++k) {
        const double* a = corners + 3 * k;
        const double* b = corners + 3 * ((k + 1) % 3);
        const double a_yz[2] = {a[1], a[2]}, b_yz[2] = {b[1], b[2]};
        double direction[2], length = 0.0;
        v2subd(b_yz, a_yz, direction);
        v2untd(direction, length, edge_status[k]);
        edges[k] = {direction[0], direction[1], direction[0] * a[2] - direction[1] * a[1]};
    }

    const double origin[3] = {0.0, 0.0, 0.0};
    double tool[3] = {0.0, 0.0, 0.0}, touch[3] = {0.0, 0.0, 0.0}, distance = travel;
    int kernel_status = 0;
    if (tapered) {
        const double cutter[4] = {diameter, corner_radius, linnet_params_block.taper, linnet_params_block.cut_length};
        taper_triangle_drop(cutter, corners, tool, distance, touch, kernel_status);
        tool[0] = distance;
        tool[1] = tool[2] = 0.0;
    } else {
        const double radii[2] = {0.5 * diameter, corner_radius};
        const double unused_d = unused;
        push_triangle_contact_d(record.normal_source, origin, move, radii, type, unused_d, corners, edges, edge_status,
                                plane, edge_value, tool, touch, distance, kernel_status);
    }
    travel = static_cast<float>(distance);
    if (kernel_status < 0) {
        status = kDriverNoContact;
        return;
    }
    status = kernel_status;
    if (kernel_status != 0) return;
    const int back = -axis_code;
    for (double* p : {tool, touch}) {
        for (int k = 0; k < 3; ++k) p[k] += s[k];
        axis_code_transform(back, from_move, p, p);
    }
    for (int k = 0; k < 3; ++k) {
        tool_point[k] = static_cast<float>(tool[k]);
        contact[k] = static_cast<float>(touch[k]);
    }
}

// The cutter frame (see the header). plrot gives the rotation of the plane through the origin
// normal to the axis, m3inv its inverse.
#include "cutter/kernels/cutter_frame.hpp"

#include "host/vantu_vector_s.hpp"

#include <cmath>
#include <cstring>

cutter_frame cutter_frame_block;

namespace {

constexpr float kAxisStays = 1.0e-5f;
constexpr float kOriginStays = 1.0e-4f;

cutter_frame& frame = cutter_frame_block;

bool within(const float* a, const float* b, float tolerance)
{
    for (int k = 0; k < 3; ++k)
        if (!(std::fabs(a[k] - b[k]) <= tolerance)) return false;
    return true;
}

}  // namespace

void frame_update(const float* origin, const float* axis)
{
    if (within(axis, frame.axis, kAxisStays) && within(origin, frame.origin, kOriginStays)) return;
    std::memcpy(frame.axis, axis, sizeof frame.axis);
    std::memcpy(frame.origin, origin, sizeof frame.origin);
    const float plane[4] = {axis[0], axis[1], axis[2],
                            -(axis[0] * origin[0] + axis[1] * origin[1] + axis[2] * origin[2])};
    int status = 0;
    plrot(plane, frame.rotation, status);
    if (status != 0) {
        // No axis to turn: the frame is the machine's.
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::memcpy(frame.rotation, identity, sizeof identity);
    }
    m3inv(frame.rotation, frame.inverse, status);
    if (status != 0)
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                frame.inverse[3 * row + column] = frame.rotation[3 * column + row];
}

void frame_vector(const float* origin, const float* axis, float* vector)
{
    frame_update(origin, axis);
    m3vec(frame.rotation, vector, vector);
}

void frame_vector_back(float* vector) { m3vec(frame.inverse, vector, vector); }

void frame_triangle(const float* origin, const float* axis, const float* nodes, const qt_entry& in, qt_entry& out,
                    int* box, float* corners)
{
    frame_update(origin, axis);
    out = in;
    std::memset(corners, 0, 9 * sizeof(float));
    const int count = tri_store_block.node_count;
    const bool nodes_known = nodes != nullptr && in.nodes[0] >= 1 && in.nodes[0] <= count && in.nodes[1] >= 1 &&
                             in.nodes[1] <= count && in.nodes[2] >= 1 && in.nodes[2] <= count;
    if (nodes_known)
        for (int k = 0; k < 3; ++k) m3vec(frame.rotation, nodes + 3 * (in.nodes[k] - 1), corners + 3 * k);
    m3vec(frame.rotation, in.normal, out.normal);
    out.d = -(corners[0] * out.normal[0] + corners[1] * out.normal[1] + corners[2] * out.normal[2]);
    if (out.normal[2] < 0.0f) {
        for (float& c : out.normal) c = -c;
        out.d = -out.d;
    }
    qt_triangle_box(corners, out.box);
    std::memcpy(box, out.box, sizeof out.box);
}

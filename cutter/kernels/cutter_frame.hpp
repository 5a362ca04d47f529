// The cutter frame: the rotation that takes a tilted tool axis to +z, cached with its inverse,
// and the routines that rotate vectors and whole triangle records into and out of it. The front
// end builds it with the tool point and axis before it rotates anything, works in the frame and
// rotates its results back.
#pragma once

#include "surfaces/tri_store_least.hpp"

// The frame as last built: the axis and origin it was built for, the rotation M (row by row) and
// its inverse. All zero until the first build.
struct cutter_frame {
    float axis[3] = {};
    float origin[3] = {};
    float rotation[9] = {};
    float inverse[9] = {};
};
extern cutter_frame cutter_frame_block;

// Builds the frame for origin O and axis A unless every component of A lies within 1e-5 and of O
// within 1e-4 of the cached ones. A rotation that cannot be inverted keeps its transpose as the
// inverse (it is a rotation).
void frame_update(const float* origin, const float* axis);
// frame_update, then v := M v.
void frame_vector(const float* origin, const float* axis, float* vector);
// v := M^-1 v.
void frame_vector_back(float* vector);
// The triangle record in the frame: its corners from the nodes (NODKEY base, numbers from 1)
// rotated, its normal rotated (and turned upwards with its constant) and its box over the
// rotated corners, written into the record out and into box. A node number outside the model
// (reads tri_store.node_count) leaves the corners at the origin, a triangle without area.
void frame_triangle(const float* origin, const float* axis, const float* nodes, const qt_entry& in, qt_entry& out,
                    int* box, float* corners);

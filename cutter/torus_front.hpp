// The front-end pieces of the tapered drop: the candidate triangles under a cutter lowered
// straight down and the tapered cutter's drop on them (tool_drop_z_at_xy). The per-triangle
// steps of a push stand beside the solvers (cutter/kernels/torus_travel.hpp).
#pragma once

#include <vector>

// A triangle that a cutter lowered at a point may meet: its corners and its highest corner.
struct drop_triangle {
    double corners[9];
    double top;
};

// The triangles whose box lies within `reach` of the point's XY, highest top first: from the
// quadtree, or for a tilted axis (tilted non-zero) turned into the cutter frame by elm2nd (point
// in the frame). Reads tri_store, qt_nodes, cutter_frame. Status 0; -1 when the model cannot be
// read.
void drop_triangles(const float* point, const float& reach, const int& tilted, std::vector<drop_triangle>& triangles,
                    int& status);

// The tapered cutter of linnet_params (diameter, corner radius, taper, cut length) lowered at the
// point (in the cutter frame when tilted) onto the triangle model: the highest tip height and its
// contact, by the exact drop of its profile on each candidate (profile_triangle_drop_d), the
// height rounded up to single precision.
// Status 0; 1 when nothing lies under the cutter (outputs untouched); -1 when the model cannot be
// read. Reads linnet_params, tri_store, qt_nodes, cutter_frame.
void taper_drop_at(const float* point, const int& tilted, float& height, float* contact, int& status);

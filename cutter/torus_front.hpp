// The front-end pieces that hand pushes and drops to the toroidal solvers: the
// double-precision edge drop of a move and the tapered drop along a move (the push driver calls
// them per triangle), and the candidate triangles under a cutter lowered straight down with the
// tapered cutter's drop (tool_drop_z_at_xy).
#pragma once

#include <vector>

// An untapered cutter (radii: R, r) moved from the origin along +x onto one triangle
// (corners relative to the move's start, the tip at the origin), by torus_tri_contact: status 0
// with the travel, the tool point and the contact when it meets the triangle at a travel of 0 or
// more; 2 at once when all three corners lie below 1e-5; -1 otherwise (outputs untouched).
// cutter_value and move are not read.
void triangle_edges_drop_d(const double& cutter_value, const double* corners, const double* move, const double* radii,
                           double* tool_point, double& travel, double* contact, int& status);

// A tapered cutter (D, corner radius, taper in radians, cut length) moved from the origin along
// +x onto one triangle (corners relative to the tool point), by taper_torus_tri_contact: status 0
// with the travel, tool point and contact at a travel of 0 or more; -1 otherwise.
void taper_triangle_drop(const double* cutter, const double* corners, double* tool_point, double& travel,
                         double* contact, int& status);

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

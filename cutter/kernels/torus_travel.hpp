// A cutter moved from the origin along +x onto one triangle by the toroidal solvers
// (cutter/kernels/torus_contact.hpp): the per-triangle steps of the push driver and of the
// triangle drivers, answering in the statuses the contact kernels use.
#pragma once

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

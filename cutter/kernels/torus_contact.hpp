// The toroidal contact solvers: where a cutter standing at a point and moving along a direction
// first meets one triangle (its face, an edge or a vertex), the point of the triangle it touches
// and how far it travels. torus_tri_contact takes a flat-end, ball or bull-nose cutter (radius
// and corner radius); taper_torus_tri_contact also a tapered one (diameter, corner radius, taper,
// cut length and a stock offset). The collision test of a line-net move and the push and drop
// front ends call them once per candidate triangle. Everything is double precision, tool axis +z.
#pragma once

// Statuses of both solvers. The outputs are written with kTorusContact only; a negative distance
// is an outcome (the cutter has to move back), not a failure.
inline constexpr int kTorusContact = 0;
inline constexpr int kTorusNoContact = 1;   // also for a direction straight up or bad numbers
inline constexpr int kTorusDegenerate = 3;  // the triangle's normal is shorter than 1e-10

// The cutter with tip T (radius R, corner radius r by value) moving along u meets the triangle
// (P1, P2, P3: nine doubles): the distance travelled (the displacement . u), the touched point of
// the triangle and the new tip. A corner radius below R x 1e-5 is a flat end, from R x 0.99999
// a ball. u is used as given in general motion (not normalised); within 1e-8 of level it is made
// level with a unit horizontal part, within 1e-8 of vertical it becomes (0, 0, -1).
void torus_tri_contact(const double* triangle, const double* tip, double radius, double corner_radius,
                       const double* direction, double& distance, double* contact, double* new_tip, int& status);

// The same for a cutter of diameter D (where a taper's flank meets the tip plane), corner radius
// rc, taper theta (radians; below 1e-4 untapered), cut length L and offset e, which enlarges every
// radius of the cutter; the cutter point P is its lowest point on the axis (the real tip lowered
// by e). A tapered cutter is a corner torus, a cone band and a top torus at the cut length, with a
// cylinder above.
void taper_torus_tri_contact(const double* triangle, const double* cutter_point, double diameter, double corner_radius,
                             double taper, double cut_length, double offset, const double* direction, double& distance,
                             double* contact, double* new_point, int& status);

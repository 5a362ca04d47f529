// Element helpers of the pocket engine: side normals and corner tests, points and parameters on
// lines and arcs, the line-circle intersection, and the pocket-array operations built on them
// (reversal with arcs kept valid, splitting of arcs of half a turn or more, the point at a
// parameter of an element, the z and normal at a point of an element).
//
// An element of a pocket array ends at entry i: a line from entry i - 1, or, when entry i is an
// arc marker, the arc from entry i - 1 whose record fills entries i to i + 3. An arc is given by
// radius r, direction d (+1 counter-clockwise, -1 clockwise), centre c, start s and end e.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <vector>

// Parameter given to a point at the centre of an arc (it has no place on the arc).
inline constexpr double kParamAtCentre = 99.0;

// ---- vector helpers ---------------------------------------------------------------------------

// Mode 2: ax * by - ay * bx of 2-D vectors. Otherwise the length of the 3-D cross product a x b,
// negative when ax * by - ay * bx is below 0.
double vec_cross_signed(int mode, const double* a, const double* b);
// The unit normal of the direction from (x0, y0) to the target, scaled by side (+1 left, -1
// right). The target is (x1, y1) in mode 1 and (x2, y2) (an arc centre, say) otherwise. A target
// on the point gives (0, 0). The reserved value is not read.
void seg_side_normal(int mode, double x0, double y0, double reserved, double side, double x1, double y1, double x2,
                     double y2, double& nx, double& ny);
// Where c lies against the corner at p from a to b in the turning direction: 0 between them, 2
// beyond b, -2 before a (by the unit vectors from p; 2-D points).
void dir_in_corner(int direction, const double* p, const double* a, const double* b, const double* c, int& result);

// ---- lines and arcs ---------------------------------------------------------------------------

// The point p0 + t (p1 - p0). Answers 1 when t is 0 or 1 within the value tolerance, or when the
// point equals an end coordinate by coordinate (a very short segment: the midpoint is given);
// 0 otherwise.
int seg_pnt_at_param(double x0, double y0, double x1, double y1, double t, double& x, double& y);
// The point at parameter t of an arc by angles; an angle difference of at most 0.01 radian
// between the ends interpolates along the chord.
void arc_pnt_by_angle(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey, double t,
                      double& x, double& y);
// The point at parameter t of an arc by blending the radial unit vectors of its ends (falls back
// to arc_pnt_by_angle for ends on one line through the centre).
void arc_pnt_by_vector(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey, double t,
                       double& x, double& y);
// The points at the parameters t[0 .. count - 1] of one arc, each as arc_pnt_by_vector gives it
// (the ends' radial unit vectors made once).
void arc_pnts_by_vector(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey,
                        const double* t, int count, double* x, double* y);
// The parameter of a point on an arc by angles (0 at the start, 1 at the end); an arc with no
// sweep gives 0.
void arc_param_of_pnt(double r, int d, double cx, double cy, double sx, double sy, double ex, double ey, double px,
                      double py, double& t);
// The angles of an arc's start and end seen from its centre, as arc_param_of_pnt takes them.
struct arc_end_angles {
    double start, end;
};
// The parameter of a point on the arc of a pocket array whose marker is entry e, as
// arc_param_of_pnt gives it. A caller that asks for many points along one array keeps its arcs'
// end angles in `ends`, one per entry (loop_arc_angles_reset), each measured at its arc's first
// point.
double loop_arc_param(const pokarr& a, int e, double x, double y, std::vector<arc_end_angles>& ends);
void loop_arc_angles_reset(int entries, std::vector<arc_end_angles>& ends);
// Distance of a point from the arc's circle with the nearest point and its parameter; a point at
// the centre gives the radius and kParamAtCentre (nearest point not set). Mode 2 keeps the
// nearest point on the arc: outside 0..1 the nearer end is taken.
void arc_dist_pnt(int mode, double px, double py, double r, int d, double cx, double cy, double sx, double sy,
                  double ex, double ey, double& distance, double& nearest_x, double& nearest_y, double& t);
// The parameter of a point on an arc below half a turn by arc cosines (direction not used); an
// arc with no sweep gives 0. 2-D points.
void arc_param_by_acos(double reserved, const double* c, const double* s, const double* e, const double* p, double& t);
void arc_param_by_acos_xy(double reserved, double cx, double cy, double sx, double sy, double ex, double ey, double px,
                          double py, double& t);
// The parameter as arc_param_by_acos and the unit tangent in the arc's direction at the point.
void arc_param_tangent(int d, double cx, double cy, double sx, double sy, double ex, double ey, double px, double py,
                       double& t, double& tx, double& ty);
// Intersection of the line through p0 and p1 with the circle (c, r): result -1 for a line
// without length, 0 no point, 1 tangent (q1 = q2 = the foot), 2 two points; t1 and t2 are the
// points' parameters on p0..p1. 2-D points.
void line_circle_intersect(const double* p0, const double* p1, const double* c, double r, double& t1, double& t2,
                           double* q1, double* q2, int& result);

// ---- pocket-array operations ------------------------------------------------------------------

// Reverses the entries of an array of dimension 2 to 4 in place; each arc record stays valid
// (marker, radius with the opposite direction, centre, and the old start as its end). The cached
// direction is negated, the area stays.
void pokarr_reverse(pokarr& array);
// The same on plain x and y arrays; answers the count unchanged.
int xy_reverse(double* x, double* y, int count);
// Reverses a plain record list in place (mode 2: x, y records; 3: x, y, z; 4: x, y, z records
// followed in the same list by one normal record per point). Any failure gives status 11.
void records_reverse(int mode, double* records, int count, int& status);
// Splits every arc of half a turn or more (2-D arrays) into quarter turns and a remainder below
// half a turn. A failed insertion stops with its status.
void pokarr_split_big_arcs(pokarr& array, int& status);
// The point at parameter t of the element ending at entry index: point receives x, y (and z in
// dimensions 3 and 4). In a 2-D array an index inside a trailing arc record is first pulled
// back to the record's marker (written back). An index outside the array gives the nearest
// existing entry.
void pokarr_pnt_at_param(const pokarr& array, int& index, double t, double* point);
// Fills point[2] (the z) and the normal at the point (x, y given) of the element ending at entry
// index, interpolated between the element's ends; flag 1 when the element is vertical. An
// element ending beyond the array ends at entry 1 (the first element of a closed loop).
void pokarr_elem_ends(const pokarr& array, int index, double* point, double* normal, int& flag);

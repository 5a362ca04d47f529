// Geometric primitives on single elements of pocket arrays: the box of an arc, the distance and
// parameter of a point on a segment, the position of a point on an arc, and the intersections of
// segments, circles and arcs in the plane and in space. The intersection search, the loop
// removal, the offset clean-up, the corner moves and the nearest-point searches use them in
// their element-pair loops: they keep no state and allocate nothing.
//
// Segment intersections take, for each segment, the two points its line is computed from and,
// separately, its true end points, against which range tests and end snapping are made.
// Point equality is pk_eq_pnt2 (pk_eq_pnt in the pocket's dimension, pk_is_zero_vec3 in space).
#pragma once

// Status words of the intersections.
inline constexpr int kNoCrossing = 0;
inline constexpr int kCrossing = 1;  // found and returned
inline constexpr int kParallel = 2;  // parallel, coincident or degenerate
inline constexpr int kNearParallelCrossing = 3;
// A crossing moved onto an element's end after a near miss beyond it; callers take it as a
// crossing that is an end-point contact.
inline constexpr int kEndContactCrossing = 4;

// A direction vector whose first component is at least kDirectionAbsentLimit is "not given";
// kDirectionAbsent is the value callers put there.
inline constexpr double kDirectionAbsent = 1.0e25;
inline constexpr double kDirectionAbsentLimit = 1.0e20;

// An arc as the arc intersections take it: centre, radius, direction (1 counter-clockwise, -1
// clockwise), start and end point.
struct pk_arc {
    double cx, cy, r;
    int direction;
    double sx, sy, ex, ey;
};

// Box of an arc (a direction below 1 is clockwise): its ends and each extreme of its circle along
// an axis that it passes. Ends together (the same point, or radii within a sine of 1e-12 pointing
// the same way) give the whole circle's box: an arc of no sweep is stored only as a full circle.
void arc_box(double cx, double cy, double r, int direction, double sx, double sy, double ex, double ey, double& xmin,
             double& ymin, double& xmax, double& ymax);
// Distance of a point from the segment a..b with the nearest point (dsdlpt in dimension 2 with
// the given mode: 1 the whole line, 2 the segment).
void seg_dist2(int mode, double px, double py, double ax, double ay, double bx, double by, double& distance,
               double& nearest_x, double& nearest_y);
// Parameter of a point on the segment a..b of n coordinates, along the coordinate of largest
// extent; a degenerate segment gives 0 for a point within its range and 1.5 outside it.
void seg_param_of_pnt_nd(int n, const double* a, const double* b, const double* p, double& t);
// The same in 2-D; y is used when its extent is at least the x extent.
void seg_param_of_pnt(double x0, double y0, double x1, double y1, double px, double py, double& t);
// Position of a point taken to lie on the arc's circle: 0 not on the arc, 1 inside it, 2 at its
// start, 3 at its end. 2-D points.
int pnt_on_arc(const double* centre, int direction, const double* start, const double* end, const double* point);

// Intersection of two circles: count -1 for the same circle, 0, 1 (touching) or 2 points.
void circle_circle_intersect(const double* c1, double r1, const double* c2, double r2, double* p1, double* p2,
                             int& count);
void circle_circle_intersect_xy(double c1x, double c1y, double r1, double c2x, double c2y, double r2, int& count,
                                double& p1x, double& p1y, double& p2x, double& p2y);
// Intersection of two arcs. Choice mode 1 returns the first crossing along the first arc, any
// other the first along the second. End-point mode 0 lets arcs on one circle meet at a shared
// end; 1 refuses touching points at an end; 2 prefers the other point to one at an arc start.
// Status 0 none, 1 found, 2 same circle.
void arc_arc_intersect(int choice_mode, int end_mode, const pk_arc& arc1, const pk_arc& arc2, double& x, double& y,
                       int& status);
// The crossings of two arcs, every one of them (count 0 to 2): the point arc_arc_intersect gives
// comes first, the other point on both arcs second.
void arc_arc_crossings(int choice_mode, int end_mode, const pk_arc& arc1, const pk_arc& arc2, double (*points)[2],
                       int& count, int& status);
// Intersection of the line a..b with an arc, ranged on the true segment ends. Modes: first 1
// and 3 refuse a tangent point, 2 accepts it (unless the fourth is 1 and it lies at an end);
// second 2 prefers segment ends to arc ends for points at both; third 2 orders two points along
// the segment instead of the arc; fourth picks 1 the first point, 2 the second, 3 the last.
// Status 0 none, 1 found, 2 two circle points of which neither lies on both elements.
void seg_arc_intersect(int mode1, int mode2, int mode3, int mode4, const double* centre, double r, int direction,
                       const double* a, const double* b, const double* arc_start, const double* arc_end,
                       const double* seg_start, const double* seg_end, double* point, int& status);
// The crossings of the line a..b with the arc, every one of them (count 0 to 2): the point
// seg_arc_intersect gives comes first, the other valid crossing (if any) second. Where the arc
// and the segment already meet at their ends, or both crossings lie at ends of both, only the
// one seg_arc_intersect gives.
void seg_arc_crossings(int mode1, int mode2, int mode3, int mode4, const double* centre, double r, int direction,
                       const double* a, const double* b, const double* arc_start, const double* arc_end,
                       const double* seg_start, const double* seg_end, double (*points)[2], int& count, int& status);
// What seg_arc_crossings gives for a line and an arc that share the vertex (the line runs from
// the vertex to line_far, the arc's other end is arc_far), judged without it. near_vertex: every
// point it gives (in any mode, for the arc or a part of it ending at the vertex) lies within half
// the point tolerance of the vertex; at_vertex: besides, it gives in any mode exactly one point,
// the vertex itself (status 1); unsure: the exact routine has to decide. Plane only.
enum class vertex_meeting { unsure, near_vertex, at_vertex };
vertex_meeting seg_arc_vertex_meeting(const double* centre, double r, const double* vertex, const double* line_far,
                                      const double* arc_far);
void seg_arc_intersect_xy(int mode1, int mode2, int mode3, int mode4, double cx, double cy, double r, int direction,
                          double ax, double ay, double bx, double by, double sx, double sy, double ex, double ey,
                          double seg_start_x, double seg_start_y, double seg_end_x, double seg_end_y, double& x,
                          double& y, int& status);
// Intersection of the segments p1..p2 and q1..q2 (2-D): status 0, 1 or 2 (parallel or
// degenerate). A crossing within the point tolerance of an end is that end exactly.
void seg_seg_intersect(const double* p1, const double* p2, const double* q1, const double* q2, double* point,
                       int& status);
// Intersection of two segments with separate line points and true ends, each coordinate a
// double; dir_p and dir_q are the directions at p and q (2-D vectors, or not given). Only the
// parity of the mode counts: 1 returns the crossing of the lines. Status 0, 1, 2, or 3 for a
// crossing found while the segments are near-parallel with the direction at p given.
void seg_seg_intersect_xy(int mode, double p1x, double p1y, double p2x, double p2y, double q1x, double q1y, double q2x,
                          double q2y, double tp1x, double tp1y, double tp2x, double tp2y, double tq1x, double tq1y,
                          double tq2x, double tq2y, const double* dir_p, const double* dir_q, double& x, double& y,
                          int& status);
// The same for segments whose line points are their true ends (the element searches), without
// passing and comparing the ends twice.
void seg_seg_intersect_ends_xy(int mode, double p1x, double p1y, double p2x, double p2y, double q1x, double q1y,
                               double q2x, double q2y, const double* dir_p, const double* dir_q, double& x, double& y,
                               int& status);
// The same on points of the pocket's dimension (2, or 3 for the surface paths); reads
// pocket_state.pocket_dimension.
void seg_seg_intersect_nd(int mode, const double* p1, const double* p2, const double* q1, const double* q2,
                          const double* tp1, const double* tp2, const double* tq1, const double* tq2,
                          const double* dir_p, const double* dir_q, double* point, int& status);
// Intersection, or closest approach, of two segments in space: points holds P1, P2, Q1, Q2 (12
// doubles); boxes (Pmin, Pmax, Qmin, Qmax, 12 doubles) or null. Parameters are fractions of the
// segments. Status 1 found (or moved onto an end after a near miss), 0 none, 2 parallel, -1 or
// -2 for a degenerate first or second segment.
void elem_dist3(const double* points, const double* boxes, double* point, double& t_p, double& t_q, int& status);
// Intersection of two lines in space through p and q along unit directions: distances along
// them. Status 0, -2 parallel, -3 skew.
void line_line_intersect3(const double* p, const double* dp, const double* q, const double* dq, double* point,
                          double& t_p, double& t_q, int& status);

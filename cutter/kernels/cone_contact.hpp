// The conical contact kernel: the signed distance between a cutter (flat end, ball, bull-nose or
// tapered, grown by an offset) standing at a position and one triangle, with the two points that
// realise it. The tapered front end (locpnt_taper) calls cone_tri_distance once per candidate
// triangle and keeps the smallest answer. The stages below it work on cone_state_block only and
// are declared here for each other and for the tests.
#pragma once

#include "cutter/kernels/cone_state.hpp"

// ---- entry and set-up -------------------------------------------------------------------------

// cutter: D, r, L, a (radians), off; position: the lowest point of the offset cutter on its axis
// (the tip minus the offset); triangle: V0, V1, V2 (nine doubles). Writes the distance (positive
// clearance, negative depth of the triangle inside the cutter; 1e26 when no element recorded a
// contact) and points: the cutter point followed by the triangle point of the winning contact.
// The first argument is never read. The set-up runs on the first call and when a cutter value
// changes.
void cone_tri_distance(const int& ignored, const double* cutter, const double* position, const double* triangle,
                       double& distance, double* points);

// Classes the cutter of cone_state_block.cutter and derives its element data.
void cone_engine_setup();

// ---- face stage -------------------------------------------------------------------------------

// The triangle's plane against the one element a plane meets first; 1 when a contact inside the
// triangle was recorded (the edge stage is then skipped), else 0.
int cone_face_contact();
int cone_face_class6();
// Sub-classes 5, 7, 8 (and 9, which takes the elements of 8).
int cone_face_class78();
// The face test of the revolved element described in the face fields of cone_state_block.
int cone_face_element();

// ---- edge and vertex stage --------------------------------------------------------------------

void cone_edges_vertices();
// The current edge (upper and lower ends in cone_state_block), by class.
void cone_edge_contact();
void cone_edge_class5();
void cone_edge_class6();
void cone_edge_class7();
void cone_edge_class8();
void cone_vertex_contact(const cone_vec& point);
void cone_vertex_contact78(const cone_vec& point);

// ---- edge geometry: parameters t from L (t = 0) to U in the zone cut, from U to L elsewhere ----

// The crossings of the edge's line with zone cone zone_index: cut_count, t1 <= t2, cut points.
void edge_zone_cone_cut();
// circle_point := the point of the circle (edge_circle_centre, edge_circle_radius) in the plan
// direction of edge_point (+x when edge_point lies on the axis).
void circle_point_toward();
// edge_point := the point of the edge's line nearest the axis in plan; t1 its parameter.
void edge_nearest_axis();
// The nearest pair of the edge's line and the offset cone: t1 (-1 when none), edge_point,
// cone_foot.
void edge_cone_nearest();
// The nearest pair of the edge's line and the circle (edge_circle_centre, edge_circle_radius): t1,
// edge_point, circle_point.
void edge_circle_nearest();

// ---- records and element zones ----------------------------------------------------------------

// Each measures the signed distance between its element and the triangle point p and keeps it
// when its record is empty or it is strictly smaller than the one kept. Rim and torus measure
// from circle_point, which the caller places first.
void record_cylinder_contact(const cone_vec& p);
void record_rim_contact(const cone_vec& p);
void record_cone_contact(const cone_vec& p);
void record_torus_contact(const cone_vec& p);
void record_bottom_contact(const cone_vec& p);
void record_sphere_contact(const cone_vec& p);

// 1 when p lies inside zone cone k and low - 1e-10 < p.z < high + 1e-10, else 0.
int in_zone_cone_between(const cone_vec& p, const int& k, const double& low, const double& high);
// 1 when p lies inside zone cone k and p.z < high + 1e-10, else 0.
int in_zone_cone_below(const cone_vec& p, const int& k, const double& high);
// Whether p belongs to the element (kElement*) of the current tapered sub-class.
bool point_in_element_zone(const cone_vec& p, const int& element);

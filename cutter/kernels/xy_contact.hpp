// Cutter-triangle contact in the XY plane: the height at which an untapered cutter lowered along
// +z at one XY point first touches one triangle (xy_triangle_contact, single precision), and how
// far such a cutter moves along +x before it touches one (push_triangle_contact_d, double), with
// the edge kernels of the cutter kinds, the sampled drop along a segment and the 2-D helpers.
// The triangle drivers call them once per candidate triangle; the front end keeps the best.
//
// Heights are tool-tip heights. Cutter type codes: 1 ball, 2 flat end, 3 bull-nose, plus 10 when
// tapered. Corners are 9 floats (x, y, z per corner); the plane is nx, ny, nz (nz not negative),
// d with n . X + d = 0; edge k runs from corner k to corner k + 1 (cyclically).
#pragma once

#include <cmath>

inline constexpr int kCutterBall = 1;
inline constexpr int kCutterFlat = 2;
inline constexpr int kCutterBullNose = 3;
inline constexpr int kCutterTapered = 10;  // added to the type of a tapered cutter

// A height not found yet.
inline constexpr float kNoHeight = -1.0e10f;

// Statuses of xy_triangle_contact (and of the edge kernels: -1 out of reach, 2 reached).
inline constexpr int kXyNoContact = -1;
inline constexpr int kXyFace = 0;  // face contact, tool axis outside the triangle
inline constexpr int kXyNoContactAtRadius = 2;
inline constexpr int kXyOnEdge = 3;      // an on-edge contact (the drivers' word; the exact face test makes none)
inline constexpr int kXyEdge = 4;        // an edge contact, or an on-edge contact with a distance
inline constexpr int kXyFaceInside = 5;  // face contact with a boundary distance

// An edge of a triangle as the kernels see it: its XY unit direction and the signed distance of
// the tool axis from its line (s = dy x - dx y + c for a point relative to the axis).
struct xy_edge {
    float dx = 0.0f;
    float dy = 0.0f;
    float c = 0.0f;
};

// The same in double precision on the y-z plane of a move's frame (u along y, v along z):
// s = v y - u z + c.
struct yz_edge_d {
    double u = 0.0;
    double v = 0.0;
    double c = 0.0;
};

// The height (in point[2]), contact and status of a cutter lowered at point (x, y) onto one
// triangle. radii = (R, r). A normal-source byte of 2 or -2 tries the edges before the face. The
// face is met where the cutter's lowest point towards the plane lies in the triangle (on an edge
// line counts); the tolerance switch widens that test to 0.004 (and point_in_triangle_xy's to
// 0.004 from 1e-4); the reach switch retries the face when the edges found nothing. Only edges
// within the cutter's radius are met. boundary_distance is the distance from the axis to the
// triangle's boundary (0 with the axis inside, -1 unknown), value the height at its nearest
// point. The work is done in double with the plane formed from the corners (the record's plane
// and top_z are not read) and the height is rounded up: never below the touch. Tapered cutters
// read cutter_block and call the tapered edge seam. Statuses: see kXy*; -1 no contact (point[2]
// untouched).
void xy_triangle_contact(const signed char& normal_source, float* point, const float* radii, const int& type_code,
                         const int& tolerance_switch, const float* corners, xy_edge* edges, const int* edge_status,
                         const float* plane, const float& unused, float* contact, const int& reach_switch,
                         float& boundary_distance, float& value, const float& top_z, int& status);

// The unit normal of the triangle c0, c1, c2 (double corners, relative to any origin) turned
// upwards; false, with a zero normal, for a triangle without area.
bool upward_normal_d(const double* c0, const double* c1, const double* c2, double* normal);
// The XY of the point where an untapered cutter (type, R, r) with its axis at the origin is
// lowest towards a plane of the given upward unit normal (the axis itself for a level plane).
void lowest_point_d(int type, double radius, double corner, const double* normal, double* point);

// How far a cutter moves from the origin along +x (the move vector) before it touches one
// triangle, in the move's frame: corners relative to the start, edges on the y-z plane, plane
// constant relative to the start. travel: in, the travel found so far (the triangle is skipped
// when it lies beyond it); out, the travel, -1 when none. Status 0 contact, 1 not within the
// move, -1 none; the edges are handed to the edge drop (triangle_edges_drop_d).
void push_triangle_contact_d(const signed char& normal_source, const double* origin, const double* move,
                             const double* radii, const int& type_code, const double& unused, const double* corners,
                             const yz_edge_d* edges, const int* edge_status, const double* plane,
                             const double& edge_value, double* tool_point, double* contact, double& travel,
                             int& status);

// A height computed in double as a single-precision height never below it: the nearest float,
// or the next one up when the nearest lies below.
inline float rounded_up(double height)
{
    const float nearest = static_cast<float>(height);
    return static_cast<double>(nearest) < height ? std::nextafter(nearest, HUGE_VALF) : nearest;
}

// An edge as the double-precision kernels see it: its ends relative to the tool axis in x and y
// (z as it is), its XY unit direction u from a to b, and the signed distance d of the axis from
// its line (d = u.x a.y - u.y a.x).
struct xy_edge_d {
    double a[3];
    double b[3];
    double u[2];
    double d;
};

// What an edge kernel finds on one edge: status -1 when the cutter cannot reach it (its line
// lies beyond R or its ends beyond the cutter's section); else 2 with the exact tool-tip height,
// the contact (relative to the axis in x and y), the nearest distance from the axis to the edge
// and the edge's height there.
struct edge_touch_d {
    int status = -1;
    double height = 0.0;
    double contact[3] = {0.0, 0.0, 0.0};
    double nearest = 0.0;
    double z_near = 0.0;
};

// The edge from a to b (points relative to the tool axis in x and y); an edge without XY length
// gets the direction (0, 0).
xy_edge_d edge_between_d(const double* a, const double* b);
// Whether the point (x, y), relative to the axis, lies in the triangle of the three edges: on the
// same side of every edge line, a point on a line counting as inside.
bool point_in_edges_d(const xy_edge_d* edges, double x, double y);

// The edge kernel of an untapered cutter type (1 ball, 2 flat end, other bull-nose) of radius R
// and corner r.
void edge_contact_d(int type, const xy_edge_d& edge, double radius, double corner, edge_touch_d& touch);
// The reach test and the nearest approach alone.
void edge_nearest_d(const xy_edge_d& edge, double radius, edge_touch_d& touch);

// Edge kernels in single precision: the edge from a to b relative to the tool axis (z absolute),
// u its XY unit direction, d in: the signed distance of the axis from its line, out: the nearest
// distance from the axis to the edge; z_near the edge's height there. Status -1 out of reach
// (outputs untouched), else 2 with the tool-tip height (the double kernel's, rounded up) and the
// contact (relative to the axis in x, y).
void ball_edge_contact(const float* a, const float* b, const float* u, const float& radius, float& d, float* contact,
                       float& height, float& z_near, int& status);
void flat_edge_contact(const float* a, const float* b, const float* u, const float& radius, float& d, float* contact,
                       float& height, float& z_near, int& status);
void bullnose_edge_contact(const float* a, const float* b, const float* u, const float* radii, float& d, float* contact,
                           float& height, float& z_near, int& status);
// The reach test and the nearest approach of the edge kernels, without a height.
void edge_foot_distance(const float* a, const float* b, const float* u, const float& radius, float& d, float& z_near,
                        int& status);

// The highest drop height of a bull-nose cutter (radius R, flat radius w, axis through `axis`)
// over the segment a..b (direction: the unit vector from a to b, formed again from the ends in
// double), rounded up, and its contact point. Status 1 when the contact is the higher end in XY,
// else 0.
float segment_drop_height(const float* a, const float* b, const float* direction, const float* axis,
                          const float& radius, const float& flat, float* contact, int& status);

// Whether the point lies in the triangle of the edges (the edges' constants taken for the
// point): result 0 inside, 1 outside; tolerance 1e-4, 0.004 with the switch.
void point_in_triangle_xy(const int& tolerance_switch, const float* point, const xy_edge* edges, int& result);

// Normalises a 2-D vector, snapping it to an axis within 1e-13; status -1 (vector unchanged,
// length 0) when its squared length is below 1e-12.
void unit2d_snap(float* vector, float& length, int& status);

// p1 + t1 d1 = p2 + t2 d2. Status 0; -1 parallel and apart; -2 one line given twice.
void line_line_intersect_2d_d(const double* p1, const double* d1, const double* p2, const double* d2, double& t1,
                              double& t2, int& status);

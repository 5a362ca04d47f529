// The state of the conical contact kernel (cone_state): the cutter as loaded and what the set-up
// derives from it, the element points of the current position, the six element records and the
// working values of the face and edge stages. Every routine of the kernel reads and writes this
// one block; the kernel is not reentrant.
#pragma once

#include <cmath>

// A point or vector in double precision. Plan means its x and y only.
struct cone_vec {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline cone_vec operator+(const cone_vec& a, const cone_vec& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline cone_vec operator-(const cone_vec& a, const cone_vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline cone_vec operator*(double s, const cone_vec& a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(const cone_vec& a, const cone_vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double plan_dot(const cone_vec& a, const cone_vec& b) { return a.x * b.x + a.y * b.y; }
inline double plan_squared(const cone_vec& a) { return a.x * a.x + a.y * a.y; }
inline double abs_sum(const cone_vec& a) { return std::fabs(a.x) + std::fabs(a.y) + std::fabs(a.z); }
inline double plan_abs_sum(const cone_vec& a) { return std::fabs(a.x) + std::fabs(a.y); }
inline double length(const cone_vec& a) { return std::sqrt(dot(a, a)); }

// The kernel's zero: lengths, parameters and squared lengths below it count as none.
inline constexpr double kConeZero = 1.0e-10;
// The distance marking that no element recorded a contact.
inline constexpr double kConeNoContact = 1.0e26;

// Cutter classes of the kernel (its own, not the front end's type codes).
inline constexpr int kConeFlat = 1, kConeBall = 2, kConeBullNose = 3, kConeTapered = 4;
// Sub-classes of the tapered class: 5 with a flat bottom, 6 short taper (the corner bisector and
// the cone-to-cylinder bisector cross before the axis), 7 to 9 without a flat bottom (tapered
// ball): 7 taper top not below the corner centre, 8 below it, 9 below it with the
// cone-to-cylinder bisector apex below the corner centre too.
inline constexpr int kTaperFlatBottom = 5, kTaperShort = 6, kTaperBallHigh = 7, kTaperBallLow = 8, kTaperBallLowest = 9;
// Cutter elements, the codes of point_in_element_zone.
inline constexpr int kElementCylinder = 1, kElementRim = 2, kElementCone = 3, kElementTorus = 4, kElementBottom = 5,
                     kElementSphere = 6;

// What one element recorded: the smallest distance taken so far with its pair of points.
struct cone_record {
    int empty = 1;          // 1 until the first candidate is taken (the found flag)
    double distance = 0.0;  // -1e26 while empty
    cone_vec cutter_point;
    cone_vec triangle_point;
};

// The cutter and what the set-up derives from it; kept between calls while the cutter values
// stay the same. Heights are above the position (the lowest point of the offset cutter).
struct cone_cutter_model {
    int cutter_class = 0;          // kCone*
    int taper_class = 0;           // kTaper*, class 4 only
    double reff = 0.0;             // effective radius D/2 + off; class 4: c28 + off
    double rc = 0.0;               // effective corner radius r + off
    double c18 = 0.0;              // radius of the corner circle (the flat bottom's radius)
    double c28 = 0.0;              // radius of the taper top: L tan a + D/2
    double crossing_radius = 0.0;  // plan radius where the two bisectors cross (sub-class 6)
    double h2 = 0.0;               // apex of the corner bisector
    double top = 0.0;              // the taper top, L + off
    double h0 = 0.0;               // apex of the cone-to-cylinder bisector
    double hx = 0.0;               // height where the two bisectors cross (sub-class 6)
    double h4 = 0.0;               // apex of the 45 degree line through that crossing (sub-class 6)
    double cone_apex = 0.0;        // apex of the offset cone (usually below the position)
    double sin_a = 0.0, cos_a = 1.0, tan_a = 0.0;
    double zone_apex[5] = {};   // apex heights of the zone cones 0 to 4
    double zone_ratio[5] = {};  // their radius per unit of height
    double cylinder_radius = 0.0;
    double rim_tube = 0.0;       // off (class 4)
    double torus_tube = 0.0;     // 0 (class 1), rc (classes 3, 4)
    double sphere_radius = 0.0;  // Reff (class 2), rc (sub-classes 7 to 9)
    double bottom_offset = 0.0;  // height of the bottom centre point above the bottom
};

struct cone_state {
    double cutter[5] = {};  // D, r, L, a (radians), off as last loaded
    int loaded = 0;         // 1 once cone_tri_distance has run the set-up
    cone_cutter_model model;

    // This call: the position (lowest point of the offset cutter), the triangle, and the element
    // points, all on the axis through the position.
    cone_vec position;
    cone_vec triangle[3];
    cone_vec bottom_centre;      // the sphere centre or the centre of the corner circle
    cone_vec corner_bisector;    // apex of the corner bisector (classes 1, 3: of the 45 degree line)
    cone_vec crossing_point;     // height hx (sub-class 6)
    cone_vec crossing_apex;      // height h4 (sub-class 6)
    cone_vec taper_top;          // height L + off
    cone_vec cylinder_bisector;  // apex of the cone-to-cylinder bisector, height h0
    cone_vec cone_apex;
    cone_vec zone_apex[5];

    // The records, in the order the result is chosen.
    cone_record cylinder, rim, cone, torus, bottom, sphere;

    // The face stage: the downward normal (absolute components summing to 1) and the element
    // the plane meets (axis point B, offset base G0 with its offset, circle centre K and radius,
    // and the record it goes to).
    cone_vec face_normal;
    cone_vec face_axis_point;
    cone_vec face_offset_base;
    double face_circle_offset = 0.0;
    cone_vec face_circle_centre;
    double face_circle_radius = 0.0;
    int face_selector = 0;  // kElementRim or kElementTorus

    // The edge stage: the current edge (upper end U, lower end L, U not below L), the circle the
    // edge geometry measures against (centre K on the axis, radius rho), and what the geometry
    // routines found.
    cone_vec upper;
    cone_vec lower;
    cone_vec edge_circle_centre;
    double edge_circle_radius = 0.0;
    int zone_index = 0;         // the zone cone edge_zone_cone_cut crosses
    int cut_count = 0;          // its crossings: 0, 1, 2, or 3 when the edge lies in the cone
    double t1 = 0.0, t2 = 0.0;  // edge parameters; -1 marks no result
    cone_vec first_cut, second_cut;
    cone_vec edge_point;    // the edge's point found by the geometry routines
    cone_vec cone_foot;     // the offset cone's point found by edge_cone_nearest
    cone_vec circle_point;  // the element circle's point nearest the triangle point
    int edge_found = 0;     // 1 when the last edge test recorded a contact inside the edge
};

// The kernel's one block, zero at load.
extern cone_state cone_state_block;

// Whether an edge parameter lies on the edge.
inline bool within_unit(double t) { return t >= 0.0 && t <= 1.0; }

// The point of the current edge at height h, with its parameter t from the lower end (the edge
// not level).
inline cone_vec edge_at_height(const cone_state& s, double h, double& t)
{
    const cone_vec d = s.upper - s.lower;
    t = (h - s.lower.z) / d.z;
    return s.lower + t * d;
}

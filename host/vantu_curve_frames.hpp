// Coordinate systems made from points and the crossing of two planar curve records: what the
// default tool symbols need to draw corner arcs in their own plane and to round tool tips.
#pragma once

// Makes a coordinate system from three points: the origin, a point on its X axis and a point on
// the positive side of its XY plane (Z = X x Y). It is stored as a UCS entity (class 8, type 1),
// whose id comes back in ucs; trchk answers it as its own view, and an arc whose "RP" names it
// is evaluated and drawn in it. Status 0; -1 when the points do not span a plane (nothing made).
void xsys4(const float (&origin)[3], const float (&x_point)[3], const float (&plane_point)[3], int& ucs, int& status);
// Makes a coordinate system from its origin and a point on its positive Z axis, stored as a UCS
// entity like xsys4's. Its X axis is the line where its XY plane meets the world XY plane
// (world X when the planes are parallel), Y = Z x X. Status 0; -1 when the points coincide.
void zsys3(const float (&origin)[3], const float (&z_point)[3], int& ucs, int& status);

// A planar curve at a parameter: its point and its first and second derivatives (x and y used).
struct curve_record {
    double point[3];
    double first[3];
    double second[3];
};

// Moves the parameters of two curve records towards their crossing in the XY plane: each record
// stands for its curve near its parameter (the second-order expansion), and one Newton step on
// that pair updates both parameters (exact for lines). Status 0; -1 when the curves run
// parallel there (parameters unchanged).
void intr0(const curve_record& first, double& first_parameter, const curve_record& second, double& second_parameter,
           int& status);

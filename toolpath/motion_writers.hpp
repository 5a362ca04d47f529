// The motion writers: every linear move, point string, arc and NURBS move of a procedure reaches
// the tool path through these, as blocks in the open sub-list, numbered from the list. Before a
// motion the pending machine parameters are written (PUTMCH, not before single string points);
// each block is shown as it is written (display mode 1: shown, 2: not), and a break reported by
// the display opens the execution menu. They read the machine type of NPT1, the cutter
// compensation of PRM9 and the current position of DSP8, and keep LSP2.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

// Linear move: dimension 1 points only, 2 with surface normals, any other with tool direction;
// vector is the direction or the normal.
void PLINE(int dimension, const point3& point, const point3& vector, int display, int& status);
// PLINE with display mode 1; dimension 2 becomes 1 while cutter compensation is off.
void PLINE_entry(int dimension, const point3& point, const point3& vector, int& status);
// PLINE_entry with the point and direction in double precision.
void PLINE_pts(int dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction, int& status);

// Appends a point to the open point string, opening one when none is open.
void string_move(int dimension, const point3& point, const point3& vector, int& status);
void string_move_entry(int dimension, const point3& point, const point3& vector, int& status);
// Closes the open point string: mode 1 displays it, 2 does not, -1 displays it without offering
// the execution menu; any other mode reports "PCLSST, WRONG MODE" and acts as 1.
void PCLSST(int mode);
void PCLSST_entry();

// Arc in plane 1 (x y), 2 (x z) or 3 (y z) with the centre's two coordinates in that plane;
// angles in radians.
void PCIRC(int dimension, int plane, float angle, float delta, const std::array<float, 2>& centre, const point3& end,
           const point3& vector, int display, int& status);
// The delta angle from a chord tolerance, then PCIRC with display mode 1: 2 arccos(1 - tol / r),
// the angle itself when that is 0, at most 36 degrees. Nothing is written for a zero angle or
// radius.
void arc_move_tol(int dimension, float tolerance, int plane, float angle, const std::array<float, 2>& centre,
                  const point3& end, const point3& vector, int& status);
void arc_move_tol01(int dimension, int plane, float angle, const std::array<float, 2>& centre, const point3& end,
                    const point3& vector, int& status);
// arc_move_tol in double precision, the centre given in three coordinates (those of the plane
// are used).
void arc_move_d(int dimension, double tolerance, int plane, double angle, const std::array<double, 3>& centre,
                const std::array<double, 3>& end, const std::array<double, 3>& direction, int& status);
// The delta angle arc_move_tol works out for a chord tolerance and a radius.
float arc_delta_angle(float tolerance, float radius, float angle);

// A NURBS move of order k through n control points (3 doubles each) with k + n values; the
// caller word is not read.
void put_nurbs_move(int caller, int display, int k, int n, const double* values, const double* points, int& status);
void nurbs_move_entry(int caller, int k, int n, const double* values, const double* points, int& status);

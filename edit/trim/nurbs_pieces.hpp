// The NURBS moves of the trimming code as curves: read from their block and built as temporary
// curves in world coordinates, the parameter where such a curve passes a height or crosses a
// contour edge, and a piece of it written back as a NURBS move. The Z-level change and the motion
// walk cut NURBS moves with them.
#pragma once

#include <vector>

// A NURBS move's curve: its order, control point count and parameter range, and the temporary
// curve (evbcre_bsp) built from it in world coordinates; id 0 when none was built.
struct nurbs_curve {
    int order = 0, count = 0;
    double t0 = 0.0, t1 = 0.0;
    int id = 0;
};

// Reads the NURBS move at the list's read position (behind its type word; size the block's size)
// and builds its curve. Status 0; -1 for a block whose counts do not fit it or a curve that
// cannot be built; a list read's negative status.
void nurbs_read_curve(int size, nurbs_curve& curve, int& status);
// Frees the temporary curve.
void nurbs_release(nurbs_curve& curve);

// Points and heights are those of the tool-path list (machine coordinates).

// The first parameter t between t0 and t1 where the curve passes the height z (its points on the
// height are passed over), and the curve's point there. Status 0; 1 when it
// does not pass it; -1 for a curve that cannot be evaluated.
void FIND_PNT_ON_SPLINE_BY_Z(const nurbs_curve& curve, double z, double t0, double t1, double& t, double* point,
                             int& status);

// The first parameter t between t0 and t1 where the curve, seen in the plane of `transform`
// (world to plane, 12 doubles; null: the XY plane), crosses the line through the plane points a
// and b (x, y), and its point there. Status 0; 1 when it does not cross; -1 for a curve that
// cannot be evaluated.
void FIND_INTERSECTION_SPLINE_WITH_LINE(const nurbs_curve& curve, const double* a, const double* b,
                                        const double* transform, double t0, double t1, double& t, double* point,
                                        int& status);

// The parameter of the curve's point nearest to the point. Status 0; -1 when it cannot be found.
double nurbs_parameter_near(const nurbs_curve& curve, const float* point, int& status);

// A piece of a curve as the control points and knots of a NURBS move (machine coordinates).
struct nurbs_piece {
    int order = 0, count = 0;
    std::vector<double> knots, control;
};

// The piece of the curve between t0 and t1: it runs through the same points. Status 0; -1 when
// it cannot be made.
void nurbs_make_piece(const nurbs_curve& curve, double t0, double t1, nurbs_piece& piece, int& status);
// Writes the piece as a NURBS move through the motion output, after the list position. Status 0;
// the writer's negative status.
void nurbs_write_piece(const nurbs_piece& piece, int& status);

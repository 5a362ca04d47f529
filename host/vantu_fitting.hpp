// Curve fitting of the host: the knots of an interpolating cubic B-spline (cal_i_knt), its
// control points (calbsp) and a weighted approximation within a tolerance (itrnrpt). Points,
// knots and control points are plain arrays of doubles, three per point. The motion output fits
// runs of points with them; the curve it makes is evaluated through the temporary curves
// (evbcre_bsp, cptcrv2 in vantu_temp_curves.hpp).
#pragma once

// The interpolating spline of n points has n + 2 control points (the two end conditions: no
// curvature at either end) and n + 6 knots: the chord-length parameters of the points (the
// first 0), the two ends four times each.
inline int interpolation_control_count(int points) { return points + 2; }
inline int interpolation_knot_count(int points) { return points + 6; }

// Knots of the interpolation of count points (dimension 3, order 4 only): knots receives
// interpolation_knot_count(count) values. Status 0; -1 for another dimension or order, fewer
// than 2 points, two consecutive points at one place or numbers that are not finite (nothing
// written).
void cal_i_knt(int dimension, int order, int count, const double* points, double* knots, int& status);

// Control points of the cubic B-spline through the count points at the knots of cal_i_knt:
// control receives interpolation_control_count(count) points and control_count their number.
// Status 0; -1 for another dimension or order, fewer than 2 points, knots that are not those of
// cal_i_knt (decreasing, or an inner parameter repeated) or a system that cannot be solved.
void calbsp(int dimension, int order, int count, const double* points, const double* knots, double* control,
            int& control_count, int& status);

// Weighted approximation of count points (dimension 2 or 3 doubles each) by a B-spline of the
// order (2 to 8) within the tolerance: every point lies within the tolerance of the curve. Each
// weight (above 0; null: all 1) says how strongly its point pulls the curve; the end points are
// always met. The curve has control_count + 2 control points (dimension doubles each, into
// control) and control_count + 2 + order knots (into knots, clamped at 0 and 1); room counts
// control points. Status 1 with the curve; 0 (control_count 0) when no approximation was made:
// another dimension or order, fewer points than the order (but for two points, which give the
// straight line between them), points or weights that are not usable, a
// tolerance not above 0, or a curve that would need more than room control points.
void itrnrpt(int dimension, int order, int count, const double* points, const double* weights, double tolerance,
             int room, double* knots, double* control, int& control_count, int& status);

// Least-squares fit of count samples (points and their unit normals, three doubles each) by a
// curve of the order, within tolerance1 at the samples and tolerance2 between them; lane_tolerance
// is the tolerance of the surfaces the samples lie on. result receives the fitted points, six
// doubles each (point, normal), at most room of them, and result_count their number. The stand-in
// fits by thinning: the samples that the polyline of the kept ones passes within the smaller
// tolerance of are left out, so every fitted point is a sample. Status 0; -1 for an order below
// 2, fewer than 2 samples, a tolerance that is not positive, too little room, or a failure armed
// for tests (fault "lsq_nrb_2tols"): then result_count 0.
void lsq_nrb_2tols(int order, int count, const double* points, const double* normals, double tolerance1,
                   double tolerance2, double lane_tolerance, int room, double* result, int& result_count, int& status);

// The least-squares plane a x + b y + c z + d = 0 of count points (x, y, z interleaved floats):
// (a, b, c) a unit normal across the least spread of the points, its largest component
// positive, the plane through their centroid. Status 0; -1 for fewer than 3 points or points on
// one line within kRealTolerance (plane not written).
void lsqrpl(int count, const float* points, double (&plane)[4], int& status);

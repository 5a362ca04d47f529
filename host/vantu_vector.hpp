// Double-precision vector routines, tolerant comparisons and point-list thinning of the host.
// Points and vectors are plain arrays of doubles (2 or 3 per point as the name says: v2* work
// on x, y; v3* on x, y, z; v* take the coordinate count n). Inputs come by value or const
// pointer, outputs by reference or pointer, a status word last where the call can refuse.
// The comparisons answer non-zero for true and use vantu::kDoubleTolerance (host/tolerance.hpp).
#pragma once

// ---- copies and differences -------------------------------------------------------------------

// Copies count doubles from source to destination (the ranges may overlap); count <= 0 copies
// nothing.
void movd(const double* source, int count, double* destination);

// difference = a - b.
void v2subd(const double* a, const double* b, double* difference);
void v3subd(const double* a, const double* b, double* difference);
// n coordinates; n <= 0 writes nothing.
void vsubd(int n, const double* a, const double* b, double* difference);

// result = point + factor * vector.
void v2addd(const double* point, const double* vector, double factor, double* result);
void v3addd(const double* point, const double* vector, double factor, double* result);
// The point at fraction t between a and b: (1 - t) a + t b, so that t = 0 gives a and t = 1 gives
// b exactly (t outside 0 .. 1 extrapolates; result may be a or b).
void v3btpd(const double* a, const double* b, double t, double* result);

// ---- products ---------------------------------------------------------------------------------

double v2dotd(const double* a, const double* b);
double v3dotd(const double* a, const double* b);
double vdotd(int n, const double* a, const double* b);  // n <= 0 gives 0
// z component of the cross product of two 2-D vectors: ax * by - ay * bx.
double v2crsd(const double* a, const double* b);
// The perpendicular of a 2-D vector, a quarter turn counter-clockwise: (-v.y, v.x) (result may be v).
void v2prpd(const double* v, double* result);
// cross = a x b (cross may be a or b).
void v3crsd(const double* a, const double* b, double* cross);
// result = matrix * vector, the matrix given row by row (9 doubles); result may be vector.
void m3vecd(const double* matrix, const double* vector, double* result);

// ---- lengths and unit vectors -----------------------------------------------------------------

// Distance of two points of n coordinates (n <= 0 gives 0).
double distd(int n, const double* p, const double* q);

// Normalise the vector in place and give its former length. A vector whose length is not above
// kDoubleTolerance is left as it was with status -1 (length still given); status 0 otherwise.
void v2untd(double* vector, double& length, int& status);
void v3untd(double* vector, double& length, int& status);
// n coordinates (1 to 3 in practice); n <= 0 gives status -1.
void vunitd(int n, double* vector, double& length, int& status);

// Arc cosine of a cosine in radians, clamped to 0 .. pi: a value outside [-1, 1] is taken as
// -1 or 1 (rounding of a dot product of unit vectors). Status 0; 1 when the value was more than
// kDoubleTolerance outside the range (clamped all the same); -1 for NaN (angle 0).
void arcosd(double cosine, double& angle, int& status);
// Divides a swept angle into count equal steps of step radians: the smallest count (at least 1)
// for which |step| does not exceed the largest step. A largest step that is not above 0, or an
// angle that is no number, gives one step; the count is kept to at most kMostAngleSteps.
inline constexpr int kMostAngleSteps = 1000000;
void setdeld_nc(double angle, double largest_step, int& count, double& step);

// ---- lines and segments -----------------------------------------------------------------------

// Intersection of two lines in the plane, each through a point along a direction (unit
// directions make the parameters distances): crossing = p + along_u * u = q + along_v * v.
// Status 0; -2 when the lines are parallel (the sine of their angle below
// kDoubleParallelSine); -1 when a direction has no length. Nothing is written on failure.
void intvvd(const double* p, const double* u, const double* q, const double* v, double* crossing, double& along_u,
            double& along_v, int& status);
// The same in space. Skew lines give their closest approach: the parameters of the two nearest
// points and their midpoint as the crossing, status 0. Parallel lines give -2, or 1 when they
// coincide (the point q and its parameter on the first line, along_v 0); -1 for a zero direction.
void intvvd3(const double* p, const double* u, const double* q, const double* v, double* crossing, double& along_u,
             double& along_v, int& status);

// Distance of a point from the segment start..end in dimension 2 or 3, with the nearest point
// and its parameter (0 at start, 1 at end). Mode 1 measures against the whole line through the
// two points (the parameter may lie outside 0..1); mode 2 against the segment (parameter clamped).
// A segment without length gives the start point and parameter 0. Status 0; -1 for a dimension
// other than 2 or 3 or a mode other than 1 or 2 (nothing written).
void dsdlpt(int mode, int dimension, const double* point, const double* start, const double* end, double* nearest,
            double& parameter, double& distance, int& status);

// Non-zero when the 2-D point lies on the line through a and b within kDoubleTolerance (for a
// and b equal: when the point equals a within it).
int tptonl2d(const double* point, const double* a, const double* b);

// ---- tolerant comparisons ---------------------------------------------------------------------
// "Equal" means |a - b| <= kDoubleTolerance; "greater" means greater by more than it; "greater or
// equal" means not less by more than it, and so on.

int eqvald(double a, double b);  // |a - b| <= tol
int nevald(double a, double b);  // not eqvald
int gtvald(double a, double b);  // a > b + tol
int gevald(double a, double b);  // a >= b - tol
int ltvald(double a, double b);  // a < b - tol
int levald(double a, double b);  // a <= b + tol

int eqvl0d(double a);  // |a| <= tol
int nevl0d(double a);  // |a| > tol
int gtvl0d(double a);  // a > tol
int gevl0d(double a);  // a >= -tol
int levl0d(double a);  // a <= tol: zero or negative within the tolerance
// "Not above zero within the tolerance": the same answer as levl0d. The pocket engine's tangent
// test of two circles relies on tiny positive values counting here.
int ltvl0d(double a);

// Names some callers use for the same two-value comparisons.
int eqvldd(double a, double b);  // as eqvald
int nevldd(double a, double b);  // as nevald
int gtvldd(double a, double b);  // as gtvald
int ltvldd(double a, double b);  // as ltvald
int levldd(double a, double b);  // as levald
int lev0dd(double a);            // as levl0d
int nev0dd(double a);            // as nevl0d

// Two points of n coordinates equal within kDoubleTolerance in every coordinate.
int eqptd(int n, const double* p, const double* q);

// ---- thinning of a point list -----------------------------------------------------------------

// Thins an interleaved point list (x, y per point for dimension 2; x, y, z for dimension 3) in
// place. The kept points are compacted to the front in their order and count becomes the number
// kept. Both end points are always kept, and every dropped point lies within the tolerance of the
// kept polyline (of the kept chord between the two kept points around it): a run of points keeps
// only its ends when all its points lie within the tolerance of their chord, otherwise it is split
// at its farthest point and both halves are judged again.
// Mode 0: only the tolerance decides. Mode 1: in addition no kept chord is longer than extra (a
// positive length; extra <= 0 sets no limit): a run within the tolerance but with a longer chord
// is split at its middle point, so that later interpolation along the chords stays close to the
// dropped points in z and normal as well. When normals is not null it holds one record of three
// doubles per point, normal_stride bytes apart (24 for packed records); the records of the kept
// points move with them. Lists of one or two points stay as they are.
// Status 0; -1 for a dimension other than 2 or 3, a negative count or tolerance, a mode other
// than 0 or 1, a null list with points, or normals with a stride below 24 or not a multiple of 8
// (nothing changed).
void dladstd(int dimension, double tolerance, int mode, double extra, double* points, int& count, double* normals,
             int normal_stride, int& status);
// The polyline thinning of dladstd for count points of three doubles (mode 0, no normals): both
// ends kept, every dropped point within the tolerance of the kept polyline; count becomes the
// number kept. Status 0; -1 for a negative count or tolerance or a null list with points.
void diluld(double* points, int& count, double tolerance, int& status);
// The single-precision forms of the thinning, sharing its code: count points of dimension 2 or 3
// floats; closed non-zero makes the list a loop that runs on from its last point back to its
// first (a last point equal to the first is taken as that closing point), so the closing chord is
// judged as well and the first point is always kept. dladst moves the normals (three floats per
// point, or null) with their points; dilula thins points only. Status 0; -1 for a dimension other
// than 2 or 3, a negative count or tolerance or a null list with points (nothing changed).
void dladst(int dimension, float tolerance, int closed, float* points, int& count, float* normals, int& status);
void dilula(int dimension, float* points, int& count, float tolerance, int closed, int& status);
// The distance of point from the segment start..end (three floats each) in value. Status 0; -1
// when start and end coincide within the host's single-precision tolerance (value untouched).
void p3tol(const float* start, const float* point, const float* end, float& value, int& status);

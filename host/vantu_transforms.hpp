// Rotations and rigid transformations of the host in double precision: the rotation of the
// current view, the check of a rotation, the transformation of a work plane, and the building and
// use of a 3-D transformation. The trimming tool maps points into the plane of its contour with
// them.
//
// A rotation is 9 doubles row by row; its rows are the axes of the frame in world coordinates.
// A transformation is 12 doubles: the rotation row by row, then the translation, and it maps a
// world point p to R p + t: the point's coordinates in the frame.
#pragma once

inline constexpr int kRotationDoubles = 9, kTransformDoubles = 12;

// The rotation of the current view: its rows are the screen's x, y and z axes (z towards the
// viewer) in world coordinates. The top view (identity) until a part or a test sets another.
void gtvrot(double (&rotation)[kRotationDoubles]);

// What a rotation is: kRotationIdentity, kRotationProper (orthonormal rows, determinant +1, not
// the identity), or kRotationBad (anything else), each within kDoubleTolerance.
inline constexpr int kRotationIdentity = 0, kRotationProper = 1, kRotationBad = -1;
void trchkd(const double* rotation, int& kind);

// The transformation of work plane `plane` (a UCS entity; 0 is world: the identity), mapping
// world points into the plane's coordinates. Status 0; -1 for an id that is no UCS entity (the
// identity written).
void trgetd(int plane, double (&transform)[kTransformDoubles], int& status);

// The transformation into the frame whose axes are the rows of rotation and whose origin is the
// given world point: R (p - origin). Status 0; -1 when rotation is no rotation (trchkd), with
// nothing written.
void m3crtd(const double* rotation, const double* origin, double (&transform)[kTransformDoubles], int& status);

// result = the point mapped by the transformation (result may be point).
void m3vc2d(const double* transform, const double* point, double* result);

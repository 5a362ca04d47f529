// Crossings of a polyline with a contour polygon, and the angle of a point about a centre in one
// of the three principal planes. The trimming tool's motion walk finds where a motion meets its
// contour with them.
#pragma once

// Most crossings ind2po gives.
inline constexpr int kInd2poMost = 100;

// One crossing: the point (x, y); the polyline segment it lies on (1-based: segment k runs from
// point k to point k + 1) and its fraction along that segment; the contour segment and fraction
// likewise (the closing segment of the contour is segment contour_count).
struct polyline_crossing {
    double point[2];
    int segment;
    double along;
    int contour_segment;
    double contour_along;
};

// The crossings of the polyline of line_count points with the closed polygon of contour_count
// points (both x, y pairs of doubles; a last contour point equal to the first is taken as the
// closing point), in order along the polyline; a crossing at a vertex of either is given once.
// Segments that overlap along a line give no crossing there. At most min(room, kInd2poMost)
// crossings are written. Status 0; 1 when there were more (the first ones written); -1 for
// fewer than 2 polyline or 3 contour points, a null list or a room below 0 (count 0).
void ind2po(const double* line, int line_count, const double* contour, int contour_count, int room,
            polyline_crossing* crossings, int& count, int& status);

// The angle (radians, 0 to 2 pi) of point about centre in plane 1 XY (from +X towards +Y),
// 2 XZ (from +X towards +Z) or 3 YZ (from +Y towards +Z); both are x, y, z. Status 0; -1 for
// another plane or a point on the centre within kDoubleTolerance (angle 0).
inline constexpr int kAngpntXY = 1, kAngpntXZ = 2, kAngpntYZ = 3;
void angpnt(int plane, const double* centre, const double* point, double& angle, int& status);

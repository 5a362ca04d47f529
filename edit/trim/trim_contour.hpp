// The trimming contour: the user's contour offset by the tool radius and CONT. OFFSET into the
// polygon the motion walk cuts motions at, and lengths along that polygon.
#pragma once

#include <vector>

// The contour picked last: its chain record (kept so that the polygon can be made again for a
// new offset or side without picking), its entity, and the polyline shown for the polygon.
struct trim_contour_words {
    std::vector<int> record;
    int entity = -1;
    int temporary = 0;     // 1 when the definition made the contour as a temporary entity
    int shown_curve = -1;  // the polyline entity showing the polygon, -1 none
};
trim_contour_words& trim_contour();

// The length along the closed polygon (n vertices as x, y doubles, the last repeating the first)
// from vertex a at fraction ta of segment a to vertex b at fraction tb of segment b (vertices and
// segments from 1; segment k runs from vertex k to k + 1). With a = b and tb > ta the part of
// segment a between them; otherwise the walk goes forward from a, past the last segment on to
// the first, to b. -1.0 when a or b lies outside 1..n.
double poly_arc_length(const double* vertices, int n, int a, int b, double ta, double tb);
// The length of segment k (from 1) of that polygon.
double segment_length(const double* vertices, int k);

// The polygon of the trimming contour: with pick 1 the user defines the contour first; then the
// contour is offset to side 1 (inside: the tool stays off the inside) or 2 by the tool radius
// plus offset and turned into a closed polygon, shown as a polyline. BY CONTOUR:ANY PLANE does
// this in the plane of the current view (a contour lying in a plane parallel to the screen): the
// polygon is in that plane's coordinates, which trim_words().plane_transform maps points into.
// Answers the polygon (x, y doubles per vertex, host memory from DM_ALLOC that the caller frees),
// its vertex count and perimeter. Only a closed contour is defined. Status 0; a negative status
// of the definition (the user left it: no message; an open contour refused: "WARNING: CANNOT
// CALCULATE OFFSET FOR THE SELECTED CONTOUR."); -1 with that message for any other failure. Null
// when there is no polygon. Reads trim_words(): selection_method, contour_tol; sets its plane
// words for BY CONTOUR:ANY PLANE.
double* trim_contour_offset(float offset, int side, int pick, int& vertex_count, double& perimeter, int& status);

// Deletes the shown polygon and, when the definition made it, the contour's temporary entity.
void trim_contour_release();

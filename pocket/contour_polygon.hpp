// The polygon of a stored contour record as the host makes it (dfcpol), in room that grows until
// the polygon fits: the region build (crtpol), the polygon buffers and the crossing check of the
// contours take their polygons from it, so no contour is refused for its number of points.
#pragma once

#include <vector>

// Points (x, y pairs) of the chain record that begins at `entry`, its chords within tolerance:
// answers the point count, 0 when the record gives no polygon (a bad record or tolerance, a curve
// that cannot be evaluated). points keeps its room between calls.
int contour_polygon(const int* entry, float tolerance, std::vector<float>& points);

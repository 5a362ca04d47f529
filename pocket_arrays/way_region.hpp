// The region a link may cross below the top of the material, and the height of a link over to a
// point. The region is the inside (even-odd) of closed polygons in the part's plane, each with the
// clearance a way must keep from its boundary: the hatch clearing keeps the polygons of the
// tool-centre boundary it clears (clearance 0), the lane drawing the contours of its pocket, each
// with the distance its lanes keep from it. Where the straight way over to the next point would
// leave the region, it would pass through an island or a wall: a link below the top of the
// material goes at the top instead.
#pragma once

#include <array>
#include <vector>

struct way_region {
    // The corners of every polygon one after the other, the index after each polygon's last
    // corner, the clearance from each polygon and its box (min x, min y, max x, max y).
    std::vector<std::array<double, 2>> corners;
    std::vector<int> ends;
    std::vector<double> clearances;
    std::vector<std::array<double, 4>> boxes;
};

// Adds one closed polygon (its corners, the last joined to the first) with the clearance a way
// must keep from its boundary. A polygon of fewer than two corners is not added.
void way_region_add(way_region& region, const std::vector<std::array<double, 2>>& polygon, double clearance);

// Forgets every polygon.
void way_region_forget(way_region& region);

// Whether the straight way from a to b (x, y) stays in the region: it keeps every polygon's
// clearance less slack from that polygon's boundary, and every piece of it between two crossings
// of the boundaries lies inside (even-odd over all polygons) or within slack of a boundary. False
// when the region holds no polygon.
bool way_in_region(const way_region& region, const double* a, const double* b, double slack);

// The room of a point (x, y) inside the region: the least over the polygons of its distance from
// the boundary less the clearance, at most `reach` (edges farther than their clearance and reach
// are not measured); outside the region the negative of its distance from the nearest boundary
// and that polygon's clearance (-reach when none lies within reach). nearest_point, when given,
// receives the boundary point that leaves the least room (untouched when none is within reach).
double way_region_room(const way_region& region, const double* point, double reach, double* nearest_point = nullptr);

// The height of a link over from a to b (x, y): `height` where it is not below `top` (within the
// host's single-precision tolerance) or the way stays in the region (way_in_region with slack),
// else `top`.
double way_height(const way_region& region, const double* a, const double* b, double height, double top, double slack);

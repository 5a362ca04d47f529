// Whether a point comes nearer a loop than a distance. The grid hands out the elements that come
// into the square round the point; a line is measured to its nearest point, an arc to its circle
// where the point faces the arc and to its ends elsewhere.
#include "pocket_lanes/loop_reach.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Squared distance of (px, py) from the segment a..b.
double segment_distance2(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy;
    double t = l2 > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / l2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - ax - t * dx, ey = py - ay - t * dy;
    return ex * ex + ey * ey;
}

bool element_nearer(const loop_reach& reach, int k, double px, double py, double distance)
{
    const chain_element e = chain_element_at(reach.x, reach.y, reach.count, k);
    if (!e.valid) return false;
    const double sx = reach.x[e.start], sy = reach.y[e.start], ex = reach.x[e.end], ey = reach.y[e.end];
    if (!e.arc) return segment_distance2(px, py, sx, sy, ex, ey) < distance * distance;
    // Every point of the arc lies on its circle: a point farther than the distance from the
    // circle is farther from the arc.
    const double r = std::fabs(e.r);
    if (!(std::fabs(std::hypot(px - e.cx, py - e.cy) - r) < distance)) return false;
    double d = 0.0, nx = 0.0, ny = 0.0, t = 0.0;
    arc_dist_pnt(2, px, py, r, e.dir, e.cx, e.cy, sx, sy, ex, ey, d, nx, ny, t);
    return d < distance;
}

}  // namespace

void loop_reach_build(const pokarr& loop, loop_reach& reach)
{
    reach.x = loop.x;
    reach.y = loop.y;
    reach.count = loop.count;
    // Lines are listed only in the cells along them: a long slanting line (a star's spike) has a
    // box over the cells of many elements it never comes near, and a box over too many cells would
    // make it a candidate of every question. An element nearer the point than the distance has a
    // point in the square, so it comes into the square all the same.
    pokarr_elem_index_along(loop.count, loop.x, loop.y, reach.grid);
}

bool loop_reach_nearer(loop_reach& reach, double px, double py, double distance)
{
    bool nearer = false;
    pk_elem_index_visit(reach.grid, 1, px - distance, py - distance, px + distance, py + distance, [&](int k) {
        nearer = element_nearer(reach, k, px, py, distance);
        return !nearer;
    });
    return nearer;
}

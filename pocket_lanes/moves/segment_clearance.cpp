// Clearance tests of a segment against lane elements, for the crossings of a segment with a lane
// (seg_lane_hits). Every test answers "clear" only where the element-pair search finds nothing:
// its crossings lie on the segment's line within 1e-6, within 1e-6 of the segment's parameter
// range, and within 1e-6 of the element (of an arc: of its circle, inside its angle).
#include "pocket_lanes/moves/segment_clearance.hpp"

#include "pocket_arrays/pokarr.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Least sweep, as a share of the squared radius in the cross product of the arc's radii, of an
// arc whose box is trusted (about half a degree; just as far from half a turn).
constexpr double kSweepShare = 0.01;

// Whether the box lies apart from the segment's widened box.
bool box_apart(const clearance_segment& s, double xmin, double ymin, double xmax, double ymax)
{
    return xmin > s.xmax || xmax < s.xmin || ymin > s.ymax || ymax < s.ymin;
}

// Signed distance of p from the segment's line (positive on its left).
double side(const clearance_segment& s, double px, double py) { return s.ux * (py - s.a[1]) - s.uy * (px - s.a[0]); }

// Whether the box lies wholly on one side of the segment's line, farther than the clearance.
bool box_off_line(const clearance_segment& s, double xmin, double ymin, double xmax, double ymax)
{
    // The corners lowest and highest along the normal (-uy, ux).
    const double low = side(s, s.uy > 0.0 ? xmax : xmin, s.ux > 0.0 ? ymin : ymax);
    const double high = side(s, s.uy > 0.0 ? xmin : xmax, s.ux > 0.0 ? ymax : ymin);
    return low > kSegmentClearance || high < -kSegmentClearance;
}

// A line from p to q: apart by boxes, or one of the two lies wholly on one side of the other's line.
bool line_clear(const clearance_segment& s, double px, double py, double qx, double qy)
{
    if (box_apart(s, std::min(px, qx), std::min(py, qy), std::max(px, qx), std::max(py, qy))) return true;
    const double dp = side(s, px, py), dq = side(s, qx, qy);
    if ((dp > kSegmentClearance && dq > kSegmentClearance) || (dp < -kSegmentClearance && dq < -kSegmentClearance))
        return true;
    // A plain root: the test keeps a hundredfold margin over the search's tolerances, which the
    // rounding of the length cannot bridge (an overflow to infinity only refuses the shortcut).
    const double length = std::sqrt((qx - px) * (qx - px) + (qy - py) * (qy - py));
    if (!(length > 0.0)) return false;
    const double vx = (qx - px) / length, vy = (qy - py) / length;
    const double da = vx * (s.a[1] - py) - vy * (s.a[0] - px), db = vx * (s.b[1] - py) - vy * (s.b[0] - px);
    return (da > kSegmentClearance && db > kSegmentClearance) || (da < -kSegmentClearance && db < -kSegmentClearance);
}

// Whether the arc from (sx, sy) to (ex, ey) round (cx, cy) turns clearly less than half a turn
// (and clearly more than none): then its box holds it. Its box is made by the quadrants it
// passes, which an arc of more than three quarters starting and ending in one quadrant defeats.
bool arc_box_holds(double cx, double cy, double r, int direction, double sx, double sy, double ex, double ey)
{
    const double cross = (sx - cx) * (ey - cy) - (sy - cy) * (ex - cx);
    return direction * cross > kSweepShare * r * r;
}

// An arc on the circle round (cx, cy) of radius r: its circle's box lies apart, or the segment
// runs wholly outside the circle or wholly inside it.
bool arc_clear(const clearance_segment& s, double cx, double cy, double r)
{
    if (!(r > 0.0)) return false;
    if (box_apart(s, cx - r, cy - r, cx + r, cy + r)) return true;
    const double ax = cx - s.a[0], ay = cy - s.a[1];
    const double length = std::hypot(s.b[0] - s.a[0], s.b[1] - s.a[1]);
    const double along = std::clamp(ax * s.ux + ay * s.uy, 0.0, length);
    const double nearest = std::hypot(ax - along * s.ux, ay - along * s.uy);
    if (nearest > r + kSegmentClearance) return true;
    const double far = std::max(std::hypot(ax, ay), std::hypot(cx - s.b[0], cy - s.b[1]));
    return far < r - kSegmentClearance;
}

// element_clear, inlined into the group test that runs it for every element of a group.
[[gnu::always_inline]] inline bool element_clear_at(const clearance_segment& s, const double* x, const double* y,
                                                    int count, int k)
{
    if (!s.valid || k < 1 || k >= count || pk_is_marker(x[k - 1])) return false;
    if (!pk_is_marker(x[k])) return line_clear(s, x[k - 1], y[k - 1], x[k], y[k]);
    if (k + 3 >= count) return false;
    return arc_clear(s, x[k + 2], y[k + 2], x[k + 1]);
}

}  // namespace

clearance_segment make_clearance_segment(const double* from, const double* to)
{
    clearance_segment s;
    const double dx = to[0] - from[0], dy = to[1] - from[1];
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0)) return s;
    s.valid = true;
    s.ux = dx / length;
    s.uy = dy / length;
    const double reach = kSegmentClearance + kSegmentStretchShare * length;
    s.a[0] = from[0] - reach * s.ux;
    s.a[1] = from[1] - reach * s.uy;
    s.b[0] = to[0] + reach * s.ux;
    s.b[1] = to[1] + reach * s.uy;
    s.xmin = std::min(s.a[0], s.b[0]) - kSegmentClearance;
    s.xmax = std::max(s.a[0], s.b[0]) + kSegmentClearance;
    s.ymin = std::min(s.a[1], s.b[1]) - kSegmentClearance;
    s.ymax = std::max(s.a[1], s.b[1]) + kSegmentClearance;
    return s;
}

bool element_clear(const clearance_segment& s, const double* x, const double* y, int count, int k)
{
    return element_clear_at(s, x, y, count, k);
}

bool group_clear(const clearance_segment& s, const double* x, const double* y, int count, const pk_box_table& boxes,
                 int g)
{
    if (!s.valid || g < 1 || g > boxes.groups) return false;
    const int i = g - 1;
    // A group box apart from the segment's keeps the search off the group, whatever its arcs:
    // the search tests the same boxes (the first group element by element).
    if (box_apart(s, boxes.xmin[i], boxes.ymin[i], boxes.xmax[i], boxes.ymax[i])) return true;
    // The elements the search reads in the group, stepped over as it steps: an arc's record is
    // passed as a whole.
    const int from = boxes.first[i], to = boxes.first[g] - 1;
    const auto next = [x, count](int k) { return k >= 1 && k + 3 < count && pk_is_marker(x[k]) ? k + 4 : k + 1; };
    // A group box off the line holds its elements when every arc's box holds its arc.
    if (box_off_line(s, boxes.xmin[i], boxes.ymin[i], boxes.xmax[i], boxes.ymax[i])) {
        bool held = true;
        for (int k = from; k <= to && k < count && held; k = next(k))
            if (k >= 1 && k + 3 < count && pk_is_marker(x[k]))
                held = arc_box_holds(x[k + 2], y[k + 2], x[k + 1], pk_arc_direction(y[k + 1]), x[k - 1], y[k - 1],
                                     x[k + 3], y[k + 3]);
        if (held) return true;
    }
    for (int k = from; k <= to && k < count; k = next(k))
        if (!element_clear_at(s, x, y, count, k)) return false;
    return true;
}

// The direction of a closed loop from its turn at the lowest-left point. Near that point the whole
// loop lies on one side of the vertical line through it, so a simple loop turns left there when it
// runs counter-clockwise and right when it runs clockwise. The point is a vertex of the loop or
// the leftmost point of one of its arcs; on an arc the loop runs the way the arc does (the loop's
// inside lies towards the arc's centre there).
#include "pocket_lanes/loop_turn.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <cmath>

namespace {

// A turn whose sine (between the unit directions in and out) is below this is a tangent join or
// a cusp, where rounding may give either sign: the area decides there.
constexpr double kClearTurnSine = 1.0e-6;
// Pseudo-angles run over [0, 4) for a whole turn; the leftmost point of a circle lies at 2.
constexpr double kWholeTurn = 4.0;
constexpr double kLeftward = 2.0;

// An angle measure of the direction (x, y), increasing counter-clockwise from 0 along +x: cheaper
// than an angle and ordered as one.
double pseudo_angle(double x, double y)
{
    const double p = x / (std::fabs(x) + std::fabs(y));
    return y >= 0.0 ? 1.0 - p : 3.0 + p;
}

// The counter-clockwise turn from one pseudo-angle to another, in [0, 4).
double turn_from(double from, double to)
{
    const double a = to - from;
    return a < 0.0 ? a + kWholeTurn : a;
}

// Whether the arc passes through the leftmost point of its circle strictly between its ends.
bool arc_holds_leftmost(const pokarr& loop, const chain_element& e)
{
    const double su = pseudo_angle(loop.x[e.start] - e.cx, loop.y[e.start] - e.cy);
    const double ev = pseudo_angle(loop.x[e.end] - e.cx, loop.y[e.end] - e.cy);
    const double sweep = e.dir > 0 ? turn_from(su, ev) : turn_from(ev, su);
    const double to_left = e.dir > 0 ? turn_from(su, kLeftward) : turn_from(kLeftward, su);
    return to_left > 0.0 && to_left < sweep;
}

// The direction of travel along element e at its start (at_end false) or its end.
void tangent(const pokarr& loop, const chain_element& e, bool at_end, double& tx, double& ty)
{
    if (!e.arc) {
        tx = loop.x[e.end] - loop.x[e.start];
        ty = loop.y[e.end] - loop.y[e.start];
        return;
    }
    const int p = at_end ? e.end : e.start;
    tx = -(loop.y[p] - e.cy) * e.dir;
    ty = (loop.x[p] - e.cx) * e.dir;
}

}  // namespace

int loop_turn_direction(const pokarr& loop)
{
    const int n = loop.count;
    const double* x = loop.x;
    const double* y = loop.y;
    if (loop.dimension < 2 || y == nullptr || n < 3 || x[0] != x[n - 1] || y[0] != y[n - 1]) return 0;
    // The lowest-left point: the start of the element at entry `at` (after the one at `before`,
    // 0 for the first element, whose predecessor is the last), or the leftmost point of that
    // element when it is an arc. Elements are named by their first entry until the end.
    double bx = x[0], by = y[0];
    int at = 1, before = 0, previous = 0, elements = 0;
    bool on_arc = false;
    for (int i = 1; i < n;) {
        const bool arc = pk_is_marker(x[i]);
        if (arc && i + 3 >= n) return 0;
        const double sx = x[i - 1], sy = y[i - 1];
        if (sx < bx || (sx == bx && sy < by)) bx = sx, by = sy, at = i, before = previous, on_arc = false;
        // The sweep is looked at only for a circle that reaches as far left as the point so far.
        if (arc) {
            const double left = x[i + 2] - std::fabs(x[i + 1]), cy = y[i + 2];
            if ((left < bx || (left == bx && cy < by)) && arc_holds_leftmost(loop, chain_element_at(x, y, n, i)))
                bx = left, by = cy, at = i, on_arc = true;
        }
        previous = i;
        ++elements;
        i += arc ? kArcRecordEntries : 1;
    }
    if (elements < 2) return 0;
    const chain_element e = chain_element_at(x, y, n, at);
    if (on_arc) return e.dir > 0 ? 1 : -1;
    double ix = 0.0, iy = 0.0, ox = 0.0, oy = 0.0;
    tangent(loop, chain_element_at(x, y, n, before > 0 ? before : previous), true, ix, iy);
    tangent(loop, e, false, ox, oy);
    const double cross = ix * oy - iy * ox, lengths2 = (ix * ix + iy * iy) * (ox * ox + oy * oy);
    if (!(cross * cross > kClearTurnSine * kClearTurnSine * lengths2)) return 0;
    return cross > 0.0 ? 1 : -1;
}

int loop_direction(pokarr& loop)
{
    const int turn = loop_turn_direction(loop);
    if (turn != 0) return turn;
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(loop, area, direction);
    return direction;
}

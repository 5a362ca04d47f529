// Direction of a lane at a point given by element and parameter: the cutting order links lanes
// by it and the scaling of offsets compares it. A point at an element's end belongs to the next
// element, so the direction there is the one the tool leaves with.
#include "pocket_arrays/nearest_points.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cmath>

void lane_dir_at_point(const double* x, const double* y, int n, int lane_direction, int element, double t,
                       double* direction, int& closed, int& status)
{
    status = -1;
    closed = 0;
    direction[0] = direction[1] = 0.0;
    if (x == nullptr || y == nullptr || n < 2) return;
    closed = pk_eq_val(x[0], x[n - 1]) && pk_eq_val(y[0], y[n - 1]) ? 1 : 0;
    chain_element e = chain_element_at(x, y, n, element);
    if (!e.valid) return;
    if (eqvald(t, 1.0)) {
        e = chain_element_at(x, y, n, e.next < n ? e.next : 1);
        t = 0.0;
        if (!e.valid) return;
    }
    if (e.arc) {
        double sweep = 0.0;
        arc_sweep(e.dir, e.cx, e.cy, x[e.start], y[e.start], x[e.end], y[e.end], sweep);
        const double angle = std::atan2(y[e.start] - e.cy, x[e.start] - e.cx) + e.dir * t * sweep;
        // The tangent of a counter-clockwise arc is the radius turned a quarter to the left.
        direction[0] = -e.dir * std::sin(angle);
        direction[1] = e.dir * std::cos(angle);
    } else {
        direction[0] = x[e.end] - x[e.start];
        direction[1] = y[e.end] - y[e.start];
    }
    double length = 0.0;
    v2untd(direction, length, status);
    if (status != 0) {
        status = -1;
        return;
    }
    if (lane_direction == -1) direction[0] = -direction[0], direction[1] = -direction[1];
}

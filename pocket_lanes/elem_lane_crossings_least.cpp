// Crossings of one element with a chain, least version: every element pair is intersected on
// its own (line with line, line with circle, circle with circle), the points that lie on both
// elements are ordered along the element and the repeats where two chain elements meet dropped.
#include "pocket_lanes/elem_lane_crossings_least.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A line (r 0) or an arc of the element or the chain.
struct element {
    double s[2], e[2], c[2];
    double r = 0.0;
    int direction = 1;
    bool arc() const { return r > 0.0; }
};

struct crossing {
    double along;
    double p[2];
};

// Whether a point on the element's carrier lies on the element, and its parameter along it.
bool on_element(const element& el, const double* p, double& along)
{
    if (!el.arc()) {
        seg_param_of_pnt(el.s[0], el.s[1], el.e[0], el.e[1], p[0], p[1], along);
        const double dx = el.e[0] - el.s[0], dy = el.e[1] - el.s[1];
        const double length = std::hypot(dx, dy);
        const double slack = length > 0.0 ? kPocketRangeSlack / length : 0.0;
        return along >= -slack && along <= 1.0 + slack;
    }
    if (pnt_on_arc(el.c, el.direction, el.s, el.e, p) == 0) return false;
    arc_param_of_pnt(el.r, el.direction, el.c[0], el.c[1], el.s[0], el.s[1], el.e[0], el.e[1], p[0], p[1], along);
    return true;
}

// The points where the carriers of a and b meet.
int carrier_points(const element& a, const element& b, double (*q)[2])
{
    if (!a.arc() && !b.arc()) {
        int status = 0;
        seg_seg_intersect(a.s, a.e, b.s, b.e, q[0], status);
        return status == kCrossing ? 1 : 0;
    }
    if (a.arc() && b.arc()) {
        int n = 0;
        circle_circle_intersect(a.c, a.r, b.c, b.r, q[0], q[1], n);
        return n < 0 ? 0 : n;
    }
    const element& line = a.arc() ? b : a;
    const element& arc = a.arc() ? a : b;
    double t1 = 0.0, t2 = 0.0;
    int n = 0;
    line_circle_intersect(line.s, line.e, arc.c, arc.r, t1, t2, q[0], q[1], n);
    return n < 0 ? 0 : n;
}

}  // namespace

void elem_lane_crossings(int kind, double start_x, double start_y, double end_x, double end_y, double centre_x,
                         double centre_y, double radius, double direction, const double* x, const double* y,
                         int count, int room, double* x_out, double* y_out, int& count_out)
{
    count_out = 0;
    if (count < 2 || room < 2 || x == nullptr || y == nullptr) return;
    element own{{start_x, start_y}, {end_x, end_y}, {centre_x, centre_y}, 0.0, direction < 0.0 ? -1 : 1};
    if (kind == kElementArc) own.r = std::fabs(radius);
    std::vector<crossing> found;
    for (int i = 1; i < count;) {
        element other{{x[i - 1], y[i - 1]}, {x[i], y[i]}, {0.0, 0.0}, 0.0, 1};
        int next = i + 1;
        if (pk_is_marker(x[i])) {
            if (i + kArcRecordEntries - 1 >= count) break;
            other = {{x[i - 1], y[i - 1]}, {x[i + 3], y[i + 3]}, {x[i + 2], y[i + 2]}, std::fabs(x[i + 1]),
                     pk_arc_direction(y[i + 1])};
            next = i + kArcRecordEntries;
        }
        i = next;
        double q[2][2];
        const int n = carrier_points(own, other, q);
        for (int k = 0; k < n; ++k) {
            double along = 0.0, unused = 0.0;
            if (on_element(own, q[k], along) && on_element(other, q[k], unused))
                found.push_back({along, {q[k][0], q[k][1]}});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const crossing& a, const crossing& b) { return a.along < b.along; });
    for (const crossing& c : found) {
        if (count_out >= room - 1) break;
        if (count_out > 0) {
            const double last[2] = {x_out[count_out - 1], y_out[count_out - 1]};
            if (pk_eq_pnt2(last, c.p) != 0) continue;
        }
        x_out[count_out] = c.p[0];
        y_out[count_out] = c.p[1];
        ++count_out;
    }
}

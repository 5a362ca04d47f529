// Nearest point of a chain of interleaved (x, y) points, used to start a lane at a given point.
// Unlike the other nearest-point searches it keeps a line candidate off sharp corners, so that a
// lane is never started right at a corner where the tool would leave a mark.
#include "pocket_arrays/nearest_points.hpp"

#include "host/vantu.hpp"
#include "host/vantu_polygon.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cmath>
#include <vector>

namespace {

// A line candidate this close (in parameter) to a sharp corner is moved to this distance.
constexpr double kCornerParam = 0.05;
// Directions whose unit vectors have a smaller dot product meet at a sharp corner.
constexpr double kSmoothDot = 0.98;

struct chain {
    std::vector<double> x, y;
    int n = 0;
};

struct best_point {
    double position = -1.0;
    double distance = kNoDistance;
    double x = 0.0, y = 0.0;
    int on_arc = 0;
};

// The previous result handed in: its element, parameter and distance.
struct previous_result {
    bool given = false;
    int element = 0;
    double t = 0.0;
    double distance = 0.0;
    bool same(int element_index, double param, double d) const
    {
        return given && element_index == element && eqvald(param, t) && pk_eq_val(distance, d);
    }
};

// Whether the joint at the start of element e is a sharp corner.
bool sharp_corner_at(const chain& c, int e)
{
    double din[2], dout[2];
    lane_start_dir(c.x.data(), c.y.data(), c.n, e, din, dout);
    return din[0] * dout[0] + din[1] * dout[1] < kSmoothDot;
}

// The element after e, the first after the last.
int next_element(const chain& c, const chain_element& e) { return e.next < c.n ? e.next : 1; }

// Measures line element i and moves a strictly nearer candidate off a sharp corner.
void measure_line(const chain& c, int i, const chain_element& e, double px, double py, double best, double& t,
                  double& d, double* q, int& status)
{
    const double p[2] = {px, py};
    const double a[2] = {c.x[e.start], c.y[e.start]}, b[2] = {c.x[e.end], c.y[e.end]};
    dsdlpt2(2, p, a, b, q, t, d, status);
    t = std::fmin(1.0, std::fmax(0.0, t));
    if (status != 0 || !(d < best)) return;
    double moved = t;
    if (t < kCornerParam && d > 0.0 && sharp_corner_at(c, i)) moved = kCornerParam;
    if (t > 1.0 - kCornerParam && sharp_corner_at(c, next_element(c, e))) moved = 1.0 - kCornerParam;
    if (moved == t) return;
    t = moved;
    q[0] = a[0] + t * (b[0] - a[0]);
    q[1] = a[1] + t * (b[1] - a[1]);
    d = std::hypot(px - q[0], py - q[1]);
}

void take(best_point& best, double position, double d, double qx, double qy, int on_arc)
{
    best.position = position;
    best.distance = d;
    best.x = qx;
    best.y = qy;
    best.on_arc = on_arc;
}

}  // namespace

void nearest_on_pnt_chain(double px, double py, int n, const double* xy, double& position, double& distance,
                          double* nearest, int& on_arc, int& status)
{
    status = 0;
    on_arc = 0;
    previous_result previous;
    if (position >= 0.0) {
        previous.given = true;
        previous.element = static_cast<int>(std::floor(position)) + 1;
        previous.t = position - std::floor(position);
        previous.distance = distance;
    }
    best_point best;
    if (xy == nullptr || n < 1 || n > kPokarrMaxEntries) {
        position = -1.0;
        distance = kNoDistance;
        return;
    }
    chain c;
    c.n = n;
    c.x.resize(n);
    c.y.resize(n);
    for (int i = 0; i < n; ++i) c.x[i] = xy[2 * i], c.y[i] = xy[2 * i + 1];

    for (int i = 1; i < n;) {
        const chain_element e = chain_element_at(c.x.data(), c.y.data(), n, i);
        if (!e.valid) break;
        const double vd = std::hypot(px - c.x[e.start], py - c.y[e.start]);
        if (!previous.same(i, 0.0, vd) && levald(vd, best.distance))
            take(best, i - 1, vd, c.x[e.start], c.y[e.start], 0);
        double t = 0.0, d = 0.0, q[2] = {0.0, 0.0};
        if (e.arc) {
            arc_dist_pnt(2, px, py, e.r, e.dir, e.cx, e.cy, c.x[e.start], c.y[e.start], c.x[e.end], c.y[e.end], d, q[0],
                         q[1], t);
            if (!previous.same(i, t, d) && levald(d, best.distance)) {
                // The arc's end point is the next element's start, not a point inside the arc.
                if (eqvald(t, 1.0))
                    take(best, i + 3, d, q[0], q[1], 0);
                else
                    take(best, i - 1 + t, d, q[0], q[1], 1);
            }
        } else {
            measure_line(c, i, e, px, py, best.distance, t, d, q, status);
            if (status != 0) return;
            if (!previous.same(i, t, d) && levald(d, best.distance)) take(best, i - 1 + t, d, q[0], q[1], 0);
        }
        i = e.next;
    }
    if (previous.given && best.distance > previous.distance + 1.0e-6) {
        nearest[0] = best.x, nearest[1] = best.y;
        on_arc = 0;
        return;  // position and distance keep the previous result
    }
    position = best.position;
    distance = best.distance;
    nearest[0] = best.x;
    nearest[1] = best.y;
    on_arc = best.on_arc;
}

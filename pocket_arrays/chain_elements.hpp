// Reading the elements of a chain held in x and y arrays (the pocket-array layout): used by the
// nearest-point searches, the closest approach and the lane directions.
#pragma once

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <algorithm>
#include <cmath>

#include <vector>

// Element i (from 1) of a chain: start entry i - 1, end entry i (a line) or i + 3 (an arc whose
// record fills entries i .. i + 3).
struct chain_element {
    bool valid = false;  // false past the chain's end or for a broken arc record
    bool arc = false;
    int start = 0;  // entry of the start point
    int end = 0;    // entry of the end point
    int next = 0;   // index of the following element
    double r = 0.0;
    int dir = 1;
    double cx = 0.0, cy = 0.0;
};

inline chain_element chain_element_at(const double* x, const double* y, int n, int i)
{
    chain_element e;
    if (i < 1 || i >= n) return e;
    e.start = i - 1;
    if (pk_is_marker(x[i])) {
        if (i + 3 >= n) return e;
        e.arc = true;
        e.end = i + 3;
        e.next = i + kArcRecordEntries;
        e.r = x[i + 1];
        e.dir = pk_arc_direction(y[i + 1]);
        e.cx = x[i + 2];
        e.cy = y[i + 2];
    } else {
        e.end = i;
        e.next = i + 1;
    }
    e.valid = true;
    return e;
}

// The farthest a point of element e lies from the nearer of its ends (an upper bound): half a
// line's length; for an arc turning clearly less than half a circle its chord (at most 0.71 of
// the chord would do), for any other its diameter, each widened by how far the ends stand off
// the arc's circle. Not a number when a coordinate is not.
inline double chain_element_reach(const double* x, const double* y, const chain_element& e)
{
    // A turn whose sine is below this is not told apart from a full circle.
    constexpr double kClearSine = 1.0e-9;
    const double sx = x[e.start], sy = y[e.start], ex = x[e.end], ey = y[e.end];
    const double chord = std::hypot(ex - sx, ey - sy);
    if (!e.arc) return 0.5 * chord;
    const double ux = sx - e.cx, uy = sy - e.cy, wx = ex - e.cx, wy = ey - e.cy;
    const double lu = std::hypot(ux, uy), lw = std::hypot(wx, wy), r = std::fabs(e.r);
    const double off = std::fabs(lu - r) + std::fabs(lw - r);
    const bool minor = e.dir * (ux * wy - uy * wx) > kClearSine * lu * lw;
    return (minor ? chord : 2.0 * r) + 2.0 * off;
}

// The elements of a chain of n entries in their order, up to the first that cannot be read.
inline void chain_elements_of(const double* x, const double* y, int n, std::vector<chain_element>& out)
{
    out.clear();
    for (int i = 1; i < n;) {
        const chain_element e = chain_element_at(x, y, n, i);
        if (!e.valid) break;
        out.push_back(e);
        i = e.next;
    }
}

// An element with a box that holds it (x min, y min, x max, y max): its ends' box, widened for an
// arc to its circle's.
struct boxed_chain_element {
    chain_element e;
    double box[4] = {0.0, 0.0, 0.0, 0.0};
};

inline boxed_chain_element boxed_chain_element_of(const double* x, const double* y, const chain_element& e)
{
    const double sx = x[e.start], sy = y[e.start], ex = x[e.end], ey = y[e.end];
    boxed_chain_element b{e, {std::min(sx, ex), std::min(sy, ey), std::max(sx, ex), std::max(sy, ey)}};
    if (e.arc) {
        const double r = std::fabs(e.r);
        b.box[0] = std::min(b.box[0], e.cx - r), b.box[1] = std::min(b.box[1], e.cy - r);
        b.box[2] = std::max(b.box[2], e.cx + r), b.box[3] = std::max(b.box[3], e.cy + r);
    }
    return b;
}

// The point of element e nearest to (px, py) and its parameter along the element (0 at the start,
// 1 at the end).
inline void chain_element_nearest(const double* x, const double* y, const chain_element& e, double px, double py,
                                  double& nx, double& ny, double& t)
{
    const double sx = x[e.start], sy = y[e.start], ex = x[e.end], ey = y[e.end];
    nx = sx, ny = sy, t = 0.0;
    if (e.arc) {
        double distance = 0.0;
        arc_dist_pnt(2, px, py, e.r, e.dir, e.cx, e.cy, sx, sy, ex, ey, distance, nx, ny, t);
        return;
    }
    const double dx = ex - sx, dy = ey - sy, l2 = dx * dx + dy * dy;
    t = l2 > 0.0 ? std::clamp(((px - sx) * dx + (py - sy) * dy) / l2, 0.0, 1.0) : 0.0;
    nx = sx + t * dx, ny = sy + t * dy;
}

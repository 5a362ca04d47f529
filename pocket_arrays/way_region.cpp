// The region a link may cross below the top of the material and the height of a link over to a
// point (see the header).
#include "pocket_arrays/way_region.hpp"

#include "host/vantu_compare.hpp"

#include <algorithm>
#include <cmath>

namespace {

using corner = std::array<double, 2>;
using box = std::array<double, 4>;

// Sine of the angle below which the way and an edge count as parallel: such an edge meets the way
// nowhere or along a stretch whose pieces the slack test takes as on the boundary.
constexpr double kParallelSine = 1.0e-9;

double cross(const corner& u, const corner& v) { return u[0] * v[1] - u[1] * v[0]; }
corner minus(const corner& u, const corner& v) { return {u[0] - v[0], u[1] - v[1]}; }

box box_of(const corner& a, const corner& b, double grown)
{
    return {std::min(a[0], b[0]) - grown, std::min(a[1], b[1]) - grown, std::max(a[0], b[0]) + grown,
            std::max(a[1], b[1]) + grown};
}

bool boxes_meet(const box& u, const box& v) { return u[0] <= v[2] && v[0] <= u[2] && u[1] <= v[3] && v[1] <= u[3]; }

// Calls f(p, q) for every edge of polygon k, the closing edge included.
template <class F> void for_each_edge_of(const way_region& r, std::size_t k, F f)
{
    const int first = k == 0 ? 0 : r.ends[k - 1], end = r.ends[k];
    for (int i = first; i < end; ++i) {
        const int next = i + 1 < end ? i + 1 : first;
        f(r.corners[static_cast<std::size_t>(i)], r.corners[static_cast<std::size_t>(next)]);
    }
}

// Calls f(p, q) for every edge of the polygons whose box meets `near`.
template <class F> void for_each_edge_near(const way_region& r, const box& near, F f)
{
    for (std::size_t k = 0; k < r.ends.size(); ++k)
        if (boxes_meet(r.boxes[k], near)) for_each_edge_of(r, k, f);
}

// Where along the segment from p to q (0 at p, 1 at q) the point nearest m lies.
double nearest_along(const corner& m, const corner& p, const corner& q)
{
    const corner e = minus(q, p), w = minus(m, p);
    const double length2 = e[0] * e[0] + e[1] * e[1];
    return length2 > 0.0 ? std::clamp((w[0] * e[0] + w[1] * e[1]) / length2, 0.0, 1.0) : 0.0;
}

double point_segment_distance(const corner& m, const corner& p, const corner& q)
{
    const corner e = minus(q, p), w = minus(m, p);
    const double t = nearest_along(m, p, q);
    return std::hypot(w[0] - t * e[0], w[1] - t * e[1]);
}

// Distance of two segments: 0 where they cross, else the least of their ends' distances from the
// other segment.
double segment_distance(const corner& a, const corner& b, const corner& p, const corner& q)
{
    const corner ab = minus(b, a), pq = minus(q, p);
    const double d1 = cross(pq, minus(a, p)), d2 = cross(pq, minus(b, p));
    const double d3 = cross(ab, minus(p, a)), d4 = cross(ab, minus(q, a));
    if (((d1 < 0.0 && d2 > 0.0) || (d1 > 0.0 && d2 < 0.0)) && ((d3 < 0.0 && d4 > 0.0) || (d3 > 0.0 && d4 < 0.0)))
        return 0.0;
    return std::min({point_segment_distance(a, p, q), point_segment_distance(b, p, q), point_segment_distance(p, a, b),
                     point_segment_distance(q, a, b)});
}

// Whether the way keeps every polygon's clearance less slack from its boundary.
bool keeps_clearances(const way_region& r, const corner& a, const corner& b, double slack)
{
    for (std::size_t k = 0; k < r.ends.size(); ++k) {
        const double least = r.clearances[k] - slack;
        const box near = box_of(a, b, least);
        if (least <= 0.0 || !boxes_meet(r.boxes[k], near)) continue;
        bool kept = true;
        // An edge whose box misses the way's grown by the clearance lies farther from it.
        for_each_edge_of(r, k, [&](const corner& p, const corner& q) {
            if (kept && boxes_meet(box_of(p, q, 0.0), near)) kept = segment_distance(a, b, p, q) >= least;
        });
        if (!kept) return false;
    }
    return true;
}

// The places along the way from a to b (0 at a, 1 at b) where it meets an edge.
std::vector<double> crossings_along(const way_region& r, const corner& a, const corner& b)
{
    std::vector<double> at{0.0, 1.0};
    const corner d = minus(b, a);
    for_each_edge_near(r, box_of(a, b, 0.0), [&](const corner& p, const corner& q) {
        const corner e = minus(q, p);
        const double denominator = cross(d, e);
        if (std::fabs(denominator) <= kParallelSine * std::hypot(d[0], d[1]) * std::hypot(e[0], e[1])) return;
        const corner w = minus(p, a);
        const double t = cross(w, e) / denominator, u = cross(w, d) / denominator;
        if (t > 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0) at.push_back(t);
    });
    std::sort(at.begin(), at.end());
    return at;
}

// Even-odd over every polygon, by the crossings of the ray from m towards +x.
bool inside(const way_region& r, const corner& m)
{
    bool in = false;
    for (std::size_t k = 0; k < r.ends.size(); ++k) {
        const box& b = r.boxes[k];
        if (b[1] > m[1] || b[3] <= m[1] || b[2] < m[0]) continue;
        for_each_edge_of(r, k, [&](const corner& p, const corner& q) {
            if ((p[1] > m[1]) == (q[1] > m[1])) return;
            const double x = p[0] + (m[1] - p[1]) * (q[0] - p[0]) / (q[1] - p[1]);
            if (x > m[0]) in = !in;
        });
    }
    return in;
}

bool near_boundary(const way_region& r, const corner& m, double slack)
{
    bool near = false;
    for_each_edge_near(r, box_of(m, m, slack), [&](const corner& p, const corner& q) {
        if (!near) near = point_segment_distance(m, p, q) <= slack;
    });
    return near;
}

}  // namespace

void way_region_add(way_region& region, const std::vector<std::array<double, 2>>& polygon, double clearance)
{
    if (polygon.size() < 2) return;
    box b = box_of(polygon.front(), polygon.front(), 0.0);
    for (const corner& c : polygon) {
        region.corners.push_back(c);
        b = {std::min(b[0], c[0]), std::min(b[1], c[1]), std::max(b[2], c[0]), std::max(b[3], c[1])};
    }
    region.ends.push_back(static_cast<int>(region.corners.size()));
    region.clearances.push_back(clearance);
    region.boxes.push_back(b);
}

void way_region_forget(way_region& region) { region = way_region{}; }

bool way_in_region(const way_region& region, const double* a, const double* b, double slack)
{
    if (region.ends.empty()) return false;
    const corner from{a[0], a[1]}, to{b[0], b[1]};
    if (!keeps_clearances(region, from, to, slack)) return false;
    const std::vector<double> at = crossings_along(region, from, to);
    for (std::size_t i = 1; i < at.size(); ++i) {
        const double t = 0.5 * (at[i - 1] + at[i]);
        const corner m{from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1])};
        if (!inside(region, m) && !near_boundary(region, m, slack)) return false;
    }
    return true;
}

double way_region_room(const way_region& region, const double* point, double reach, double* nearest_point)
{
    const corner m{point[0], point[1]};
    double room = reach, nearest = 1e300, nearest_clearance = 0.0;
    for (std::size_t k = 0; k < region.ends.size(); ++k) {
        const double clearance = region.clearances[k];
        const box near = box_of(m, m, clearance + reach);
        if (!boxes_meet(region.boxes[k], near)) continue;
        for_each_edge_of(region, k, [&](const corner& p, const corner& q) {
            if (!boxes_meet(box_of(p, q, 0.0), near)) return;
            const double d = point_segment_distance(m, p, q);
            if (d - clearance < room && nearest_point != nullptr) {
                const double t = nearest_along(m, p, q);
                nearest_point[0] = p[0] + t * (q[0] - p[0]);
                nearest_point[1] = p[1] + t * (q[1] - p[1]);
            }
            room = std::min(room, d - clearance);
            if (d < nearest) nearest = d, nearest_clearance = clearance;
        });
    }
    if (region.ends.empty() || inside(region, m)) return room;
    return nearest < 1e300 ? -nearest - nearest_clearance : -reach;
}

double way_height(const way_region& region, const double* a, const double* b, double height, double top, double slack)
{
    if (ltval(static_cast<float>(height), static_cast<float>(top)) == 0 || way_in_region(region, a, b, slack))
        return height;
    return top;
}

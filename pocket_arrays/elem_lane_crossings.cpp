// Crossings of one element with a pocket array: the array's groups whose boxes meet the element's
// box are searched element by element, every pair giving all its crossings (a line and an arc,
// or two arcs, may cross twice); the crossings are ordered by their place along the element and
// points met by two consecutive elements of the array are kept once.
#include "pocket_arrays/elem_lane_crossings.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct crossing {
    double along;  // distance from the start (line) or parameter (arc)
    double x, y;
};

// The own element: a line or an arc, with its box.
struct own_element {
    int kind;
    pk_arc arc;
    double box[4];
};

own_element make_own(int kind, double sx, double sy, double ex, double ey, double cx, double cy, double radius,
                     double direction)
{
    own_element o{kind, {cx, cy, radius, direction < 0.0 ? -1 : 1, sx, sy, ex, ey}, {}};
    if (kind == kElementArc) {
        arc_box(cx, cy, radius, o.arc.direction, sx, sy, ex, ey, o.box[0], o.box[1], o.box[2], o.box[3]);
    } else {
        o.box[0] = std::min(sx, ex), o.box[1] = std::min(sy, ey);
        o.box[2] = std::max(sx, ex), o.box[3] = std::max(sy, ey);
    }
    return o;
}

double along(const own_element& o, double px, double py)
{
    if (o.kind != kElementArc) return std::hypot(px - o.arc.sx, py - o.arc.sy);
    double t = 0.0;
    arc_param_of_pnt(o.arc.r, o.arc.direction, o.arc.cx, o.arc.cy, o.arc.sx, o.arc.sy, o.arc.ex, o.arc.ey, px, py, t);
    return t;
}

// The crossings of the own element with element e of the array (ending at entry e).
void pair_crossings(const own_element& o, const double* x, const double* y, int n, int e, std::vector<crossing>& out)
{
    const bool arc = pk_is_marker(x[e]);
    if (arc && e + 3 >= n) return;
    const double s[2] = {x[e - 1], y[e - 1]};
    const double end[2] = {arc ? x[e + 3] : x[e], arc ? y[e + 3] : y[e]};
    double cb[4];
    if (arc)
        arc_box(x[e + 2], y[e + 2], x[e + 1], pk_arc_direction(y[e + 1]), s[0], s[1], end[0], end[1], cb[0], cb[1],
                cb[2], cb[3]);
    else
        cb[0] = std::min(s[0], end[0]), cb[1] = std::min(s[1], end[1]), cb[2] = std::max(s[0], end[0]),
        cb[3] = std::max(s[1], end[1]);
    if (!pk_box_overlap2(o.box[0], o.box[1], o.box[2], o.box[3], cb[0], cb[1], cb[2], cb[3])) return;
    double points[2][2];
    int count = 0, status = 0;
    const double os[2] = {o.arc.sx, o.arc.sy}, oe[2] = {o.arc.ex, o.arc.ey};
    if (o.kind != kElementArc && !arc) {
        const double absent[2] = {kDirectionAbsent, 0.0};
        seg_seg_intersect_xy(0, os[0], os[1], oe[0], oe[1], s[0], s[1], end[0], end[1], os[0], os[1], oe[0], oe[1],
                             s[0], s[1], end[0], end[1], absent, absent, points[0][0], points[0][1], status);
        count = status == kCrossing || status == kNearParallelCrossing || status == kEndContactCrossing ? 1 : 0;
    } else if (o.kind == kElementArc && !arc) {
        const double centre[2] = {o.arc.cx, o.arc.cy};
        seg_arc_crossings(1, 1, 1, 0, centre, o.arc.r, o.arc.direction, s, end, os, oe, s, end, points, count, status);
    } else if (o.kind != kElementArc) {
        const double centre[2] = {x[e + 2], y[e + 2]};
        seg_arc_crossings(1, 2, 2, 0, centre, x[e + 1], pk_arc_direction(y[e + 1]), os, oe, s, end, os, oe, points,
                          count, status);
    } else {
        const pk_arc other{x[e + 2], y[e + 2], x[e + 1], pk_arc_direction(y[e + 1]), s[0], s[1], end[0], end[1]};
        arc_arc_crossings(1, 0, o.arc, other, points, count, status);
    }
    for (int i = 0; i < count; ++i) out.push_back({along(o, points[i][0], points[i][1]), points[i][0], points[i][1]});
}

}  // namespace

void elem_lane_crossings(int kind, double sx, double sy, double ex, double ey, double cx, double cy, double radius,
                         double direction, const double* x, const double* y, int n, int room, double* x_out,
                         double* y_out, int& count)
{
    count = 0;
    if (n < 2 || room < 2 || x == nullptr || y == nullptr) return;
    const own_element o = make_own(kind, sx, sy, ex, ey, cx, cy, radius, direction);
    auto boxes = std::make_unique_for_overwrite<pk_box_table>();
    pokarr_boxes(n, x, y, *boxes);
    std::vector<crossing> found;
    for (int g = 0; g < boxes->groups; ++g) {
        if (!pk_box_overlap2(o.box[0], o.box[1], o.box[2], o.box[3], boxes->xmin[g], boxes->ymin[g], boxes->xmax[g],
                             boxes->ymax[g]))
            continue;
        for (int e = boxes->first[g]; e < boxes->first[g + 1] && e < n; e += pk_is_marker(x[e]) ? kArcRecordEntries : 1)
            pair_crossings(o, x, y, n, e, found);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const crossing& a, const crossing& b) { return a.along < b.along; });
    for (const crossing& c : found) {
        const double point[2] = {c.x, c.y};
        if (count > 0) {
            const double last[2] = {x_out[count - 1], y_out[count - 1]};
            if (pk_eq_pnt2(point, last)) continue;
        }
        if (count >= room - 1) break;
        x_out[count] = c.x;
        y_out[count] = c.y;
        ++count;
    }
}

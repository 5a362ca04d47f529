// Search of one element (line or arc) against the elements of a pocket array, group by group
// through the array's box table, or through the array's grid index (the loop intersection). The
// loop removal, the loop intersection and the offset tests call it element by element; it is
// the engine's hot path, so it allocates nothing and tests a box before every element. The steps
// per candidate: passed over, crossings of the pair (up to two, in order along the element),
// each refused or taken.
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

constexpr int kLine = 0;
constexpr int kArc = 1;

// One element with its ends, arc data and box.
struct element {
    int kind = kLine;
    double sx = 0, sy = 0, ex = 0, ey = 0;
    double sz = 0, ez = 0;  // z of the ends in a search in space
    double cx = 0, cy = 0, r = 0;
    int direction = 1;
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;

    void finish()
    {
        if (kind == kArc) {
            arc_box(cx, cy, r, direction, sx, sy, ex, ey, xmin, ymin, xmax, ymax);
        } else {
            xmin = std::min(sx, ex);
            xmax = std::max(sx, ex);
            ymin = std::min(sy, ey);
            ymax = std::max(sy, ey);
        }
    }
    // Unit direction of a line (of the chord of an arc); false when it has no length.
    bool unit_direction(double& ux, double& uy) const
    {
        const double length = std::hypot(ex - sx, ey - sy);
        if (!(length > 0.0)) return false;
        ux = (ex - sx) / length;
        uy = (ey - sy) / length;
        return true;
    }
    pk_arc as_arc() const { return pk_arc{cx, cy, r, direction, sx, sy, ex, ey}; }
    void start(double* p) const
    {
        p[0] = sx;
        p[1] = sy;
        p[2] = sz;
    }
    void end(double* p) const
    {
        p[0] = ex;
        p[1] = ey;
        p[2] = ez;
    }
};

// Boxes clearly apart (by more than twice the host's tolerance on one axis) cannot overlap
// under the host's tolerant test; rejecting them here keeps the host comparison calls off the
// hot path of the search, where nearly every box test fails.
bool boxes_apart(double a_xmin, double a_ymin, double a_xmax, double a_ymax, double b_xmin, double b_ymin,
                 double b_xmax, double b_ymax)
{
    constexpr double margin = 2.0 * vantu::kDoubleTolerance;
    return a_xmax < b_xmin - margin || a_xmin > b_xmax + margin || a_ymax < b_ymin - margin || a_ymin > b_ymax + margin;
}

// Boxes that overlap or touch on both axes overlap under the host's tolerant test too (it widens
// every bound by its tolerance, and b - tolerance never rounds above b); the indexed search meets
// mostly such neighbours, and the elements of a loop touch their neighbours.
bool boxes_clearly_overlap(double a_xmin, double a_ymin, double a_xmax, double a_ymax, double b_xmin, double b_ymin,
                           double b_xmax, double b_ymax)
{
    return a_xmax >= b_xmin && a_xmin <= b_xmax && a_ymax >= b_ymin && a_ymin <= b_ymax;
}

bool boxes_overlap(double a_xmin, double a_ymin, double a_xmax, double a_ymax, double b_xmin, double b_ymin,
                   double b_xmax, double b_ymax)
{
    if (boxes_apart(a_xmin, a_ymin, a_xmax, a_ymax, b_xmin, b_ymin, b_xmax, b_ymax)) return false;
    return boxes_clearly_overlap(a_xmin, a_ymin, a_xmax, a_ymax, b_xmin, b_ymin, b_xmax, b_ymax) ||
           pk_box_overlap2(a_xmin, a_ymin, a_xmax, a_ymax, b_xmin, b_ymin, b_xmax, b_ymax);
}

// Reach of the segment-circle rejects: far above the rounding of the circle points and the half
// chord under which a tangent becomes one point; a share of the segment's length is added, for
// the parameter tolerance with which a point beyond an end still counts as lying at it.
constexpr double kCircleReach = 1.0e-4;
constexpr double kEndParameterReach = 2.0 * vantu::kDoubleTolerance;
// Shorter segments are left to the exact routine, which measures their parameter along one
// coordinate only.
constexpr double kShortestRejectedSegment = 1.0e-3;
// The arc-box reject takes arcs whose sweep has at least this sine: clearly below half a turn,
// where the arc's box holds the whole arc.
constexpr double kClearSweepSine = 1.0e-3;

double reject_reach(double length) { return kCircleReach + kEndParameterReach * length; }

// Whether the piece from s to e stays farther than reach from the circle (c, r): wholly outside
// or wholly inside it. Comparisons with NaN reject nothing.
bool piece_off_circle(double sx, double sy, double ex, double ey, double cx, double cy, double r, double reach)
{
    const double dx = ex - sx, dy = ey - sy;
    const double length2 = dx * dx + dy * dy;
    // The centre seen from the piece's ends, and its nearest point on the piece.
    const double ax = cx - sx, ay = cy - sy, bx = cx - ex, by = cy - ey;
    const double t = length2 > 0.0 ? std::clamp((ax * dx + ay * dy) / length2, 0.0, 1.0) : 0.0;
    const double nx = ax - t * dx, ny = ay - t * dy;
    const double outside = r + reach;
    if (nx * nx + ny * ny > outside * outside) return true;
    const double inside = r - reach;
    return inside > 0.0 && std::max(ax * ax + ay * ay, bx * bx + by * by) < inside * inside;
}

// Whether the line lies wholly outside or wholly inside the circle (c, r), farther from it than
// the reach: the line-arc intersection then finds no valid point, since every point it takes
// lies on the circle and on the segment stretched by its end tolerance.
bool segment_misses_circle(const element& line, double cx, double cy, double r)
{
    const double dx = line.ex - line.sx, dy = line.ey - line.sy;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(r > 0.0) || !(length > kShortestRejectedSegment)) return false;
    return piece_off_circle(line.sx, line.sy, line.ex, line.ey, cx, cy, r, reject_reach(length));
}

// Clips the parameter range [t0, t1] of the segment s + t d to the box; false when nothing is
// left (Liang-Barsky).
bool clip_to_box(double sx, double sy, double dx, double dy, double xmin, double ymin, double xmax, double ymax,
                 double& t0, double& t1)
{
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {sx - xmin, xmax - sx, sy - ymin, ymax - sy};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

// Whether the line misses the arc clearly: it misses the circle, or its part within the arc's
// box stays off the circle. A valid point lies on the arc, so in the arc's box widened by the
// reach and by how far the arc's ends lie off its circle. Saves the exact work for most pairs
// whose boxes overlap. Finite input only; anything else is left to the exact routine.
// `circle_reached`: the caller has found already that the line does not miss the circle.
bool segment_misses_arc(const element& line, const element& arc, bool circle_reached = false)
{
    if (!circle_reached && segment_misses_circle(line, arc.cx, arc.cy, arc.r)) return true;
    const double dx = line.ex - line.sx, dy = line.ey - line.sy;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double usx = arc.sx - arc.cx, usy = arc.sy - arc.cy, uex = arc.ex - arc.cx, uey = arc.ey - arc.cy;
    const double rs = std::sqrt(usx * usx + usy * usy), re = std::sqrt(uex * uex + uey * uey);
    const double sweep_sine = arc.direction * (usx * uey - usy * uex) / (rs * re);
    const double reach = reject_reach(length);
    const double widen = reach + std::max(std::fabs(rs - arc.r), std::fabs(re - arc.r));
    const bool finite =
        std::isfinite(length) && std::isfinite(widen) && std::isfinite(arc.xmin + arc.ymin + arc.xmax + arc.ymax);
    if (!finite || !(arc.r > 0.0) || !(length > kShortestRejectedSegment) || !(sweep_sine >= kClearSweepSine))
        return false;
    double t0 = 0.0, t1 = 1.0;
    if (!clip_to_box(line.sx, line.sy, dx, dy, arc.xmin - widen, arc.ymin - widen, arc.xmax + widen, arc.ymax + widen,
                     t0, t1))
        return true;
    return piece_off_circle(line.sx + t0 * dx, line.sy + t0 * dy, line.sx + t1 * dx, line.sy + t1 * dy, arc.cx, arc.cy,
                            arc.r, reach);
}

bool is_arc_at(const double* x, int count, int k) { return k >= 1 && k + 3 < count && pk_is_marker(x[k]); }
int next_element(const double* x, int count, int k) { return is_arc_at(x, count, k) ? k + 4 : k + 1; }

// Element k of the array (with the z of its ends when z is given); false when its entries do
// not lie inside the array.
bool element_at(const double* x, const double* y, int count, int k, element& e, const double* z = nullptr)
{
    if (k < 1 || k >= count) return false;
    if (pk_is_marker(x[k])) {
        if (k + 3 >= count) return false;
        e.kind = kArc;
        e.r = x[k + 1];
        e.direction = pk_arc_direction(y[k + 1]);
        e.cx = x[k + 2];
        e.cy = y[k + 2];
        e.ex = x[k + 3];
        e.ey = y[k + 3];
    } else {
        e.kind = kLine;
        e.ex = x[k];
        e.ey = y[k];
    }
    if (pk_is_marker(x[k - 1])) return false;
    e.sx = x[k - 1];
    e.sy = y[k - 1];
    if (z != nullptr) {
        e.sz = z[k - 1];
        e.ez = z[e.kind == kArc ? k + 3 : k];
    }
    e.finish();
    return true;
}

// Unit direction at the start of element k (the tangent of an arc), or not given.
void direction_at_start(const double* x, const double* y, int count, int k, double* d)
{
    d[0] = kDirectionAbsent;
    d[1] = 0.0;
    element e;
    if (!element_at(x, y, count, k, e)) return;
    if (e.kind == kArc) {
        seg_side_normal(2, e.sx, e.sy, 0.0, -e.direction, 0.0, 0.0, e.cx, e.cy, d[0], d[1]);
    } else {
        double ux = 0.0, uy = 0.0;
        if (e.unit_direction(ux, uy)) d[0] = ux, d[1] = uy;
    }
}

// Decoded mode word.
struct search_mode {
    bool self = false;         // the element belongs to the searched array; skip up to the walk
    bool start_check = false;  // crossings at the element's start need an unrecorded junction
    bool keep_found = false;   // the input found element stays the reference of a walk
    int range_rule = 0;        // 0 start after the element and its neighbour, 1 whole first group
};

constexpr search_mode decode(int mode)
{
    search_mode m;
    if (mode > 5) {
        m.self = true;
        mode -= 10;
    }
    if (mode == -3) {
        m.start_check = true;
        mode = 0;
    } else {
        if (mode > 2) {
            m.start_check = true;
            mode -= 2;
        }
        if (mode > 1) {
            m.keep_found = true;
            mode -= 1;
        }
    }
    m.range_rule = std::clamp(mode, 0, 1);
    return m;
}

// The crossing the search has chosen so far.
struct crossing {
    bool found = false;
    bool end_contact = false;
    // Taken from a pair that a continuing walk at it passes over (pk_spent_pair): two lines that
    // meet only there, directions not given, or a line and an arc of a self search meeting near
    // their shared vertex alone.
    bool spent_pair = false;
    bool shared_vertex = false;  // the second kind
    double x = 0, y = 0, z = 0;
    int element = 0, group = 0;
    double distance = 0;  // from the element's start; a walk weighs none
};

// What one element pair gives: up to two crossings (a line meets a line once; a line and an arc
// or two arcs meet up to twice), as the primitives order them, with the primitive's status.
struct pair_crossings {
    int status = kNoCrossing;
    int count = 0;
    double point[2][3] = {{0, 0, 0}, {0, 0, 0}};
    bool hit() const { return status == kCrossing || status == kNearParallelCrossing || status == kEndContactCrossing; }
};

// ---- what is searched ------------------------------------------------------------------------

// The element searched with, the array searched and the walk the search belongs to; the entry
// points set it up and every step reads it.
struct search_query {
    search_mode mode;
    int own;  // the element's own number; see the kOwn... values
    element self_element;
    const double* direction_given;
    const double* own_x;
    const double* own_y;
    int own_count = 0;  // entries of the own array; 0 when not known (no parallel retry then)
    const double* x;
    const double* y;
    const double* z = nullptr;      // z of the searched array in a search in space
    const pokarr* array = nullptr;  // the searched array of a search in space
    int count;
    int closing, after_closing;
    double previous[3];
    int walk;                         // the walk's current element (self search, continuing walks)
    int found_in;                     // the input found element
    bool found_pair_refused = false;  // the input found element gives nothing (continues_from_single)

    // The element is one of the searched array's own elements (range rules, shared vertices).
    bool own_in_array() const { return own > kOwnForeign; }
    // Of two lines, candidate k is the first segment of the line intersection where it comes
    // before the element in its own array.
    bool candidate_first(int k) const { return own_in_array() && k < own; }
    // A walk: the first crossing in group and element order wins, not the nearest one.
    bool walk_order() const { return own <= kOwnWalk; }
    // A walk going on after a crossing on the input found element, from the previous point.
    bool walk_continues() const { return own == kOwnWalkContinues; }

    bool space() const { return z != nullptr; }
    // Point equality of the search: in the plane, or with z in space (as the pocket's dimension
    // says).
    bool same(const double* p, const double* q) const { return space() ? pk_eq_pnt(p, q) != 0 : pk_eq_pnt2(p, q) != 0; }

    // The element after element k of the loop, element 1 after the last one.
    int wrapped_next(int k) const
    {
        const int n = next_element(x, count, k);
        return n >= count ? 1 : n;
    }

    // z of a point of the own element, proportional to its way along the element.
    double z_along(double px, double py) const
    {
        const element& o = self_element;
        if (!space() || o.sz == o.ez) return o.sz;
        double fraction = 0.0;
        if (o.kind == kArc) {
            double t = 0.0, whole = 0.0;
            arc_param_by_acos_xy(0.0, o.cx, o.cy, o.sx, o.sy, o.ex, o.ey, px, py, t);
            arc_param_by_acos_xy(0.0, o.cx, o.cy, o.sx, o.sy, o.ex, o.ey, o.ex, o.ey, whole);
            fraction = whole > 0.0 ? t / whole : 0.0;
        } else {
            const double length = std::hypot(o.ex - o.sx, o.ey - o.sy);
            fraction = length > 0.0 ? std::hypot(px - o.sx, py - o.sy) / length : 0.0;
        }
        return o.sz + std::clamp(fraction, 0.0, 1.0) * (o.ez - o.sz);
    }

    // Way from the own element's start to p: the parameter along an arc, the distance along a line.
    double distance_from_start(const double* p) const
    {
        const element& o = self_element;
        if (o.kind == kArc) {
            double t = 0.0;
            arc_param_by_acos_xy(0.0, o.cx, o.cy, o.sx, o.sy, o.ex, o.ey, p[0], p[1], t);
            return t;
        }
        if (space()) return std::sqrt(std::pow(p[0] - o.sx, 2) + std::pow(p[1] - o.sy, 2) + std::pow(p[2] - o.sz, 2));
        return std::hypot(p[0] - o.sx, p[1] - o.sy);
    }
};

// The search under way: what it looks for, the crossing chosen so far, and whether the
// once-only second look of a continuing walk at an arc has been taken.
struct search {
    search_query q;
    crossing best;
    bool reexamined = false;
    pk_pair_memo* memo = nullptr;  // of the index searched through, if any
};

// ---- the crossings of one pair -------------------------------------------------------------

void keep_points(const search_query& q, const double (*points)[2], pair_crossings& out)
{
    for (int i = 0; i < out.count; ++i) {
        out.point[i][0] = points[i][0];
        out.point[i][1] = points[i][1];
        out.point[i][2] = q.z_along(points[i][0], points[i][1]);
    }
}

// Crossing of two lines: in the plane, or in the pocket's dimension for a search in space.
void line_line(const search_query& q, int line_mode, const element& p, const element& r, const double* dir_p,
               const double* dir_r, pair_crossings& out)
{
    double* point = out.point[0];
    if (q.space() && !pokarr_search_lines_in_plane) {
        double p1[3], p2[3], r1[3], r2[3];
        p.start(p1);
        p.end(p2);
        r.start(r1);
        r.end(r2);
        seg_seg_intersect_nd(line_mode, p1, p2, r1, r2, p1, p2, r1, r2, dir_p, dir_r, point, out.status);
    } else {
        seg_seg_intersect_ends_xy(line_mode, p.sx, p.sy, p.ex, p.ey, r.sx, r.sy, r.ex, r.ey, dir_p, dir_r, point[0],
                                  point[1], out.status);
        point[2] = q.z_along(point[0], point[1]);
    }
    out.count = out.hit() ? 1 : 0;
}

// A line with an arc: both crossings, the one the modes pick first.
void line_arc(const search_query& q, int m1, int m2, int m3, int m4, const element& arc, const element& line,
              pair_crossings& out)
{
    const double centre[2] = {arc.cx, arc.cy};
    const double a[2] = {line.sx, line.sy}, b[2] = {line.ex, line.ey};
    const double as[2] = {arc.sx, arc.sy}, ae[2] = {arc.ex, arc.ey};
    double points[2][2];
    seg_arc_crossings(m1, m2, m3, m4, centre, arc.r, arc.direction, a, b, as, ae, a, b, points, out.count, out.status);
    keep_points(q, points, out);
}

// Two arcs: both crossings, the one the choice mode picks first.
void arc_arc(const search_query& q, int choice, int end_mode, const element& first, const element& second,
             pair_crossings& out)
{
    double points[2][2];
    arc_arc_crossings(choice, end_mode, first.as_arc(), second.as_arc(), points, out.count, out.status);
    keep_points(q, points, out);
}

// Two lines: the candidate first where it comes before the element in its own array. The
// direction after the candidate only counts where the first segment's direction is given: the
// candidate's own, when it comes first, or the element's.
void line_pair(const search_query& q, const element& o, int k, const element& c, bool after_parallel,
               pair_crossings& out)
{
    // Three words each: the search in space reads directions in the pocket's dimension.
    const double absent[3] = {kDirectionAbsent, 0.0, 0.0};
    const double* own_dir = q.direction_given != nullptr ? q.direction_given : absent;
    const int line_mode = after_parallel || q.mode.keep_found ? 2 : 0;
    const bool candidate_first = q.candidate_first(k);
    double next_dir[3] = {kDirectionAbsent, 0.0, 0.0};
    if (candidate_first || q.direction_given != nullptr)
        direction_at_start(q.x, q.y, q.count, next_element(q.x, q.count, k), next_dir);
    line_line(q, line_mode, candidate_first ? c : o, candidate_first ? o : c, candidate_first ? next_dir : own_dir,
              candidate_first ? own_dir : next_dir, out);
}

// Crossings of the own element o with candidate k, as the primitives give them. The first-mode
// and choice-mode overrides serve the second look of a continuing walk.
// The first mode of the line-arc routine and the choice mode of the arc-arc routine for
// candidate k, as the search's modes set them.
int arc_first_mode_of(const search_query& q) { return q.mode.self ? 3 : (q.mode.keep_found || q.walk_order() ? 2 : 1); }
int arc_choice_of(const search_query& q, int k)
{
    const bool closing_pair = q.own == q.closing && k == q.after_closing;
    return closing_pair || (q.mode.keep_found && q.walk_order()) ? 2 : 1;
}

void intersect(const search_query& q, const element& o, int k, const element& c, int neighbour_mark,
               bool after_parallel, pair_crossings& out, int first_mode_override = 0, int choice_override = 0)
{
    out = pair_crossings{};
    const int arc_first_mode = first_mode_override != 0 ? first_mode_override : arc_first_mode_of(q);
    if (o.kind == kLine && c.kind == kLine) {
        line_pair(q, o, k, c, after_parallel, out);
    } else if (o.kind == kArc && c.kind == kLine) {
        // A rejected pair reports no crossing where the exact routine may report its two
        // invalid circle points as parallel; the next line pair reads that only as the line
        // mode 2 instead of 0, which the line intersection takes by its parity: the same.
        if (!segment_misses_arc(c, o)) line_arc(q, arc_first_mode, 1, 1, neighbour_mark, o, c, out);
    } else if (o.kind == kLine && c.kind == kArc) {
        // The own line met every candidate arc's circle before it was examined
        // (clearly_nothing); a moved start (the second look) has to meet it again.
        const bool circle_reached = &o == &q.self_element;
        if (!segment_misses_arc(o, c, circle_reached)) line_arc(q, arc_first_mode, 2, 2, neighbour_mark, c, o, out);
    } else {
        const int choice = choice_override != 0 ? choice_override : arc_choice_of(q, k);
        arc_arc(q, choice, neighbour_mark, o, c, out);
    }
}

// A continuing walk whose own line runs along a parallel candidate line, the element's end
// lying on it: the crossing is sought once more against the walk's next element in the own
// array, and taken only when it is the element's end (where the walk leaves the candidate).
bool parallel_retry(const search_query& q, const element& c, double* point)
{
    const element& o = q.self_element;
    const double* own_x = q.own_x;
    const double* own_y = q.own_y;
    if (!q.walk_order() || o.kind != kLine || q.direction_given == nullptr || own_x == nullptr || own_y == nullptr)
        return false;
    const double end[2] = {o.ex, o.ey}, cs[2] = {c.sx, c.sy}, ce[2] = {c.ex, c.ey};
    if (!tptonl2d(end, cs, ce)) return false;
    if (q.walk < 1 || q.walk >= q.own_count) return false;
    // The walk's next element starts at the entry after the current element's end.
    const int after = pk_is_marker(own_x[q.walk]) ? q.walk + 4 : q.walk + 1;
    if (after >= q.own_count || (pk_is_marker(own_x[after]) && after + 3 >= q.own_count)) return false;
    int status = kNoCrossing;
    double p[2] = {0.0, 0.0};
    if (pk_is_marker(own_x[after])) {
        const int e = after - 1;
        seg_arc_intersect_xy(1, 2, 2, 0, own_x[after + 2], own_y[after + 2], own_x[after + 1],
                             pk_arc_direction(own_y[after + 1]), c.sx, c.sy, c.ex, c.ey, own_x[e], own_y[e],
                             own_x[after + 3], own_y[after + 3], c.sx, c.sy, c.ex, c.ey, p[0], p[1], status);
    } else {
        const int e = after - 1;
        const double dx = own_x[after] - own_x[e], dy = own_y[after] - own_y[e];
        seg_seg_intersect_xy(0, c.sx, c.sy, c.ex, c.ey, own_x[e], own_y[e], own_x[e] + dx, own_y[e] + dy, c.sx, c.sy,
                             c.ex, c.ey, own_x[e], own_y[e], own_x[after], own_y[after], nullptr, nullptr, p[0], p[1],
                             status);
    }
    if (status != kCrossing && status != kNearParallelCrossing) return false;
    if (!pk_eq_pnt2(p, end)) return false;
    point[0] = o.ex;
    point[1] = o.ey;
    point[2] = o.ez;
    return true;
}

// The once-only second look of a continuing walk that met its previous crossing point on an
// arc: the element is searched again from that point, with contacts at element ends refused,
// so that a further crossing the previous one hid is found.
bool second_look(search& s, int k, const element& c, pair_crossings& out)
{
    const search_query& q = s.q;
    if (s.reexamined || (q.self_element.kind != kArc && c.kind != kArc)) return false;
    s.reexamined = true;
    // A walk that met its previous crossing at the element's end has nothing of it left: an arc
    // from that point to its own end would be read as the whole circle, and give the far point of
    // its circle with a neighbouring arc as a crossing beyond the element's end.
    double own_end[3];
    q.self_element.end(own_end);
    if (q.same(q.previous, own_end)) return false;
    element from = q.self_element;
    from.sx = q.previous[0];
    from.sy = q.previous[1];
    from.sz = q.previous[2];
    from.finish();
    intersect(q, from, k, c, 1, false, out, 2, 2);
    out.count = out.hit() && out.count > 0 && !q.same(out.point[0], q.previous) ? 1 : 0;
    return out.count > 0;
}

// ---- which crossing is taken ---------------------------------------------------------------

// Whether the crossing at p repeats the previous crossing of a continuing walk at the input
// found element (or the one before it).
bool at_previous(const search_query& q, int k, const double* p)
{
    if (!q.walk_continues()) return false;
    const bool at_found = k == q.found_in || q.wrapped_next(k) == q.found_in;
    return at_found && q.same(p, q.previous);
}

// Whether a continuing walk has passed p already: on the input found element, a crossing that
// lies before the previous one along the own element was met earlier in the walk.
bool walked_past(const search_query& q, int k, const double* p)
{
    return q.walk_continues() && k == q.found_in && q.distance_from_start(p) < q.distance_from_start(q.previous);
}

// The start-point check: a junction already recorded in the snapshot.
bool junction_recorded(const search_query& q, int k, const double* p)
{
    int known = 0;
    if (!q.own_in_array()) {
        const int point_mode = q.space() ? pocket_state_block.pocket_dimension : 2;
        pk_point_known(point_mode, q.own, k, p, known);
    } else if (q.space()) {
        pk_junction_known(*q.array, q.own, k, p, known);
    } else {
        xy_junction_known(q.x, q.y, q.count, q.own, k, p, known);
    }
    return known != 0;
}

// Whether a crossing at p with candidate k is refused (step 7 of the search).
bool refused(const search& s, int k, const element& c, const double* p)
{
    const search_query& q = s.q;
    double own_start[3], own_end[3], cand_start[3], cand_end[3];
    q.self_element.start(own_start);
    q.self_element.end(own_end);
    c.start(cand_start);
    c.end(cand_end);
    if (q.walk_continues() && (k < q.found_in || at_previous(q, k, p) || walked_past(q, k, p))) return true;
    if (q.walk_order() && s.best.found) return true;
    const double best_point[3] = {s.best.x, s.best.y, s.best.z};
    if (s.best.found && s.best.element == k && q.same(p, best_point)) return true;
    if (q.mode.start_check && q.same(p, own_start) && junction_recorded(q, k, p)) return true;
    // Consecutive elements meet at their shared vertex on every loop: no crossing.
    if (q.own_in_array()) {
        if (q.same(p, own_start) && q.same(p, cand_end) && q.wrapped_next(k) == q.own) return true;
        if (q.same(p, own_end) && q.same(p, cand_start) && q.wrapped_next(q.own) == k) return true;
    }
    return false;
}

void take(search& s, int k, int group, const double* p, bool end_contact, bool spent_pair, bool shared_vertex)
{
    // A walk keeps its first crossing and weighs no distance (an arc's costs an arc cosine).
    if (s.q.walk_order()) {
        if (!s.best.found)
            s.best = crossing{true, end_contact, spent_pair, shared_vertex, p[0], p[1], p[2], k, group, 0.0};
        return;
    }
    const double distance = s.q.distance_from_start(p);
    // The later crossing wins at equal distance.
    if (s.best.found && s.best.distance < distance) return;
    s.best = crossing{true, end_contact, spent_pair, shared_vertex, p[0], p[1], p[2], k, group, distance};
}

// Puts the two crossings of a pair in their order along the own element.
void order_along_own(const search_query& q, pair_crossings& pc)
{
    if (pc.count < 2 || q.distance_from_start(pc.point[0]) <= q.distance_from_start(pc.point[1])) return;
    std::swap(pc.point[0], pc.point[1]);
}

// How the own element meets candidate k where the two are a line and an arc and the candidate
// starts where the element ends (consecutive elements of a searched loop): judged without the
// line-arc routine (seg_arc_vertex_meeting). Unsure for every other pair.
vertex_meeting neighbour_meeting(const search_query& q, const element& c)
{
    const element& o = q.self_element;
    if (q.space() || (o.kind == kArc) == (c.kind == kArc) || o.ex != c.sx || o.ey != c.sy)
        return vertex_meeting::unsure;
    const bool own_line = o.kind == kLine;
    const element& arc = own_line ? c : o;
    const double centre[2] = {arc.cx, arc.cy};
    const double vertex[2] = {o.ex, o.ey};
    const double line_far[2] = {own_line ? o.sx : c.ex, own_line ? o.sy : c.ey};
    const double arc_far[2] = {own_line ? c.ex : o.sx, own_line ? c.ey : o.sy};
    return seg_arc_vertex_meeting(centre, arc.r, vertex, line_far, arc_far);
}

// A continuing walk of a self search at its input found element k gives nothing with it where k
// meets the walk's element only near their shared vertex: the walk's previous crossing is a
// point of the pair, so near that vertex, and every point the pair or its second look gives is
// that crossing again, refused.
bool continues_past_shared_vertex(const search_query& q, int k, vertex_meeting meeting)
{
    return meeting != vertex_meeting::unsure && q.mode.self && q.walk_continues() && k == q.found_in;
}

// The key of a pair with an arc as intersect reads it in a walk of the plane: both elements
// (the own element's z is 0 there) and the modes, as bits.
void pair_key(const search_query& q, int k, const element& c, int neighbour, unsigned long long* key)
{
    const element& o = q.self_element;
    const double modes = 100.0 * arc_first_mode_of(q) + 10.0 * arc_choice_of(q, k) + neighbour;
    const double words[pk_pair_memo::kKeyWords] = {
        double(o.kind), o.sx, o.sy, o.ex, o.ey, o.cx, o.cy, o.r, double(o.direction),
        double(c.kind), c.sx, c.sy, c.ex, c.ey, c.cx, c.cy, c.r, double(c.direction),
        modes,          0.0};
    for (int i = 0; i < pk_pair_memo::kKeyWords; ++i) key[i] = std::bit_cast<unsigned long long>(words[i]);
}

// The pair's crossings from the memo of the search's index when a continuing walk examines the
// pair its search before took its crossing from (the search modes of a walk's searches agree),
// else from intersect; kept there when they hit.
void walk_pair_crossings(search& s, int k, const element& c, int neighbour, bool after_parallel, pair_crossings& pc)
{
    const search_query& q = s.q;
    pk_pair_memo* m =
        s.memo != nullptr && q.walk_order() && !q.space() && (q.self_element.kind == kArc || c.kind == kArc) ? s.memo
                                                                                                             : nullptr;
    unsigned long long key[pk_pair_memo::kKeyWords];
    const bool asked = m != nullptr && m->valid && q.walk_continues() && k == q.found_in;
    if (asked) pair_key(q, k, c, neighbour, key);
    if (asked && std::equal(key, key + pk_pair_memo::kKeyWords, m->key)) {
        pc.status = m->status;
        pc.count = m->count;
        std::copy(&m->points[0][0], &m->points[0][0] + 6, &pc.point[0][0]);
        return;
    }
    intersect(q, q.self_element, k, c, neighbour, after_parallel, pc);
    if (m == nullptr || !pc.hit()) return;
    if (!asked) pair_key(q, k, c, neighbour, key);
    m->valid = true;
    std::copy(key, key + pk_pair_memo::kKeyWords, m->key);
    m->status = pc.status;
    m->count = pc.count;
    std::copy(&pc.point[0][0], &pc.point[0][0] + 6, &m->points[0][0]);
}

// Steps 2 and 3: the crossings of candidate k (whose box overlaps the element's), each judged
// in its order along the own element; `after_parallel` carries the parallel result of the
// candidate before.
void examine(search& s, int k, const element& c, int g, int mark, bool& after_parallel)
{
    const search_query& q = s.q;
    const bool lines = q.self_element.kind == kLine && c.kind == kLine;
    const int neighbour = q.mode.range_rule == 1 && !lines ? 1 : mark;
    const vertex_meeting meeting = neighbour_meeting(q, c);
    if (continues_past_shared_vertex(q, k, meeting)) {
        after_parallel = false;
        return;
    }
    pair_crossings pc;
    if (meeting == vertex_meeting::at_vertex) {
        // The pair gives its shared vertex alone, as the line-arc routine would.
        const double vertex[1][2] = {{c.sx, c.sy}};
        pc.count = 1;
        pc.status = kCrossing;
        keep_points(q, vertex, pc);
    } else {
        walk_pair_crossings(s, k, c, neighbour, after_parallel, pc);
    }
    after_parallel = pc.status == kParallel;
    if (pc.status == kParallel && lines && parallel_retry(q, c, pc.point[0])) {
        pc.status = kCrossing;
        pc.count = 1;
    }
    if (!pc.hit()) return;
    order_along_own(q, pc);
    // A continuing walk that meets its previous crossing again as the pair's only crossing
    // looks once more from there.
    if (pc.count == 1 && q.walk_continues() && k >= q.found_in && at_previous(q, k, pc.point[0]) &&
        !second_look(s, k, c, pc))
        return;
    const bool end_contact = pc.status == kEndContactCrossing;
    // Lines meet once; without directions their crossing depends on their ends alone. A line and
    // an arc meeting near their shared vertex give a continuing walk nothing more.
    const bool shared_vertex = meeting != vertex_meeting::unsure && q.mode.self;
    const bool spent_pair = (lines && q.direction_given == nullptr) || shared_vertex;
    for (int i = 0; i < pc.count; ++i)
        if (!refused(s, k, c, pc.point[i])) take(s, k, g, pc.point[i], end_contact, spent_pair, shared_vertex);
}

// ---- the walk over the candidates ----------------------------------------------------------

// First and last candidate of group g with the neighbour mark of the range rules.
void group_range(const search_query& q, const pk_box_table& table, int g, int first_group, int& from, int& to,
                 int& mark)
{
    from = table.first[g - 1];
    to = table.first[g] - 1;
    mark = 0;
    const int n = table.groups;
    if (g == first_group && q.own_in_array()) {
        const bool own_arc = q.self_element.kind == kArc;
        if (q.mode.range_rule == 0) {
            if (own_arc) {
                from = std::max(from, q.own + 4);
                mark = 1;
            } else if (is_arc_at(q.x, q.count, q.own + 1)) {
                from = std::max(from, q.own + 1);
                mark = 1;
            } else {
                from = std::max(from, q.own + 2);
            }
        }
    }
    if (g == n && q.own_in_array() && q.own == q.closing) {
        const int end = table.first[n];
        if (q.self_element.kind == kArc) {
            to = std::min(to, end - 1);
            mark = 1;
        } else if (is_arc_at(q.x, q.count, q.after_closing)) {
            to = std::min(to, end - 1);
        } else {
            to = std::min(to, end - 2);
        }
    }
}

// The part of step 1 the candidate's number decides: the element itself, and those up to the
// walk's current element in a self search. Tested first, it spares building them.
bool passed_over_by_number(const search_query& q, int k) { return k == q.own || (q.mode.self && k <= q.walk); }

// The lowest candidate number every search along the element asks for: a self search passes
// over the elements up to the walk's current element, which stays the same along the element.
int lowest_past_walk(const search_query& q)
{
    constexpr int most = std::numeric_limits<int>::max();
    if (!q.mode.self) return std::numeric_limits<int>::min();
    return q.walk < most ? q.walk + 1 : q.walk;
}

// The lowest candidate number that lowest_past_walk lets through and that a continuing walk
// does not refuse: it gives nothing with the candidates before its input found element (step 7
// refuses every crossing with them, and nothing else of theirs is kept), nor with that element
// when it is known to give only the previous crossing again (found_pair_refused).
int lowest_unrefused(const search_query& q)
{
    constexpr int most = std::numeric_limits<int>::max();
    int lowest = lowest_past_walk(q);
    if (q.walk_continues())
        lowest = std::max(lowest, q.found_pair_refused && q.found_in < most ? q.found_in + 1 : q.found_in);
    return lowest;
}

// Candidates passed over before any geometry: the element itself, those up to the
// walk's current element in a self search, the closing pair of two lines.
bool passed_over(const search_query& q, int k, const element& c)
{
    if (passed_over_by_number(q, k)) return true;
    if (q.own_in_array() && q.self_element.kind == kLine && c.kind == kLine) {
        const int last = q.count - 1;
        if ((q.own == q.closing && k == q.after_closing) || (q.own == last && k == 1)) return true;
    }
    return false;
}

// Whether the line o (the element) lies clearly apart from the line candidate k
// (segments_apart, in the order the line intersection takes them): the pair gives no crossing.
// Neighbours on a loop, sharing an end, are passed on at once.
bool lines_clearly_apart(const search_query& q, const element& o, int k)
{
    if (q.space() && !pokarr_search_lines_in_plane) return false;
    const double* x = q.x;
    const double* y = q.y;
    if ((x[k - 1] == o.ex && y[k - 1] == o.ey) || (x[k] == o.sx && y[k] == o.sy)) return false;
    if (q.candidate_first(k)) return segments_apart(x[k - 1], y[k - 1], x[k], y[k], o.sx, o.sy, o.ex, o.ey);
    return segments_apart(o.sx, o.sy, o.ex, o.ey, x[k - 1], y[k - 1], x[k], y[k]);
}

// Whether the line o clearly misses the arc at k: it misses the arc's circle, or its box lies
// clearly apart from the arc's own box (which building the arc would give). Kept out of line:
// its call frame would weigh on every candidate clearly_nothing judges.
[[gnu::noinline]] bool line_clearly_misses_arc(const element& o, const double* x, const double* y, int k)
{
    if (segment_misses_circle(o, x[k + 2], y[k + 2], x[k + 1])) return true;
    double b[4];
    arc_box(x[k + 2], y[k + 2], x[k + 1], pk_arc_direction(y[k + 1]), x[k - 1], y[k - 1], x[k + 3], y[k + 3], b[0],
            b[1], b[2], b[3]);
    return boxes_apart(o.xmin, o.ymin, o.xmax, o.ymax, b[0], b[1], b[2], b[3]);
}

// Whether candidate k clearly gives nothing, judged before it is built: its box lies clearly
// apart from the element's, so that the box test after it would refuse it (an arc judged by a
// box holding it, with its circle's box, which spares building its own box); or the element is
// a line that clearly misses the arc's circle or lies clearly apart from the line. Such a pair
// gives no crossing; its parallel status would only make the next line pair's mode even or
// odd, which the line intersection reads by parity alone, and it is even either way. The box
// goes first: it refuses most arcs a line's search meets, at a fraction of the circle test; a
// line that reaches an arc's circle mostly passes beside the arc, which the arc's box tells.
bool clearly_nothing(const search_query& q, int k)
{
    if (k < 1 || k >= q.count) return false;
    const element& o = q.self_element;
    const double* x = q.x;
    const double* y = q.y;
    double h[4];
    if (is_arc_at(x, q.count, k)) {
        elem_holding_box(1, x[k + 2], y[k + 2], x[k + 1], x[k - 1], y[k - 1], x[k + 3], y[k + 3], h);
        return boxes_apart(o.xmin, o.ymin, o.xmax, o.ymax, h[0], h[1], h[2], h[3]) ||
               (o.kind == kLine && line_clearly_misses_arc(o, x, y, k));
    }
    elem_holding_box(0, 0.0, 0.0, 0.0, x[k - 1], y[k - 1], x[k], y[k], h);
    return boxes_apart(o.xmin, o.ymin, o.xmax, o.ymax, h[0], h[1], h[2], h[3]) ||
           (o.kind == kLine && lines_clearly_apart(q, o, k));
}

// Candidate k of group g within the group's range, which does not clearly give nothing: skipped
// when its box stays apart from the element's, else examined.
void examine_built(search& s, int k, int g, int mark, bool& after_parallel)
{
    const search_query& q = s.q;
    element c;
    if (!element_at(q.x, q.y, q.count, k, c, q.z) || passed_over(q, k, c)) return;
    const element& o = q.self_element;
    if (!boxes_overlap(o.xmin, o.ymin, o.xmax, o.ymax, c.xmin, c.ymin, c.xmax, c.ymax)) return;
    examine(s, k, c, g, mark, after_parallel);
}

// Candidate k of group g within the group's range: skipped when it clearly gives nothing, else
// built and examined.
void examine_candidate(search& s, int k, int g, int mark, bool& after_parallel)
{
    if (!clearly_nothing(s.q, k)) examine_built(s, k, g, mark, after_parallel);
}

bool walk_done(const search& s) { return s.q.walk_order() && s.best.found; }

void group_pass(search& s, const pk_box_table& table, int g, int first_group)
{
    const search_query& q = s.q;
    int from = 0, to = 0, mark = 0;
    group_range(q, table, g, first_group, from, to, mark);
    bool after_parallel = false;
    // Bounded by the entries: every step advances at least one element.
    for (int k = from; k <= to && k < q.count; k = next_element(q.x, q.count, k)) {
        if (walk_done(s)) return;
        if (!passed_over_by_number(q, k)) examine_candidate(s, k, g, mark, after_parallel);
    }
}

// Searches the groups from the first one on; a group after the first only when its box overlaps
// the element's.
void run(search& s, const pk_box_table& table, int first_group)
{
    const element& o = s.q.self_element;
    for (int g = std::max(1, first_group); g <= table.groups; ++g) {
        if (g != first_group && !boxes_overlap(o.xmin, o.ymin, o.xmax, o.ymax, table.xmin[g - 1], table.ymin[g - 1],
                                               table.xmax[g - 1], table.ymax[g - 1]))
            continue;
        group_pass(s, table, g, first_group);
        if (walk_done(s)) break;
    }
}

// The group of element k (the one whose first element is the last not above k) for candidates
// that come in increasing order: the elements of the group found last are known, so that most
// candidates, which lie in it, need no search of the table, and the others only of the groups
// after it.
struct group_finder {
    const pk_box_table& table;
    int group = 0;
    int low = 0, high = 0;  // the group holds the elements from low to high - 1

    int of(int k)
    {
        if (k >= low && k < high) return group;
        // Past the group's elements, k lies in a later group (first[group] is at most k).
        const int* from = k >= high && group < table.groups ? table.first + group : table.first;
        group = static_cast<int>(std::upper_bound(from, table.first + table.groups, k) - table.first);
        low = group >= 1 ? table.first[group - 1] : std::numeric_limits<int>::min();
        high = group < table.groups ? table.first[group] : std::numeric_limits<int>::max();
        return group;
    }
};

// What a walk leaves for its continuing search: the pair its crossing came from when the
// continuing search would take nothing more from it (only a walk's crossing is met again by a
// continuing walk), and whether the walk stopped before the index's last candidate for the
// element.
void leave_spent_pair(const search& s, pk_spent_pair& m, bool stopped_before_last)
{
    const search_query& q = s.q;
    m.valid = false;
    if (!s.best.found || !s.best.spent_pair || !q.walk_order() || q.space()) return;
    const int k = s.best.element;
    const element& o = q.self_element;
    const bool own_arc = o.kind == kArc, other_arc = is_arc_at(q.x, q.count, k);
    const int end = other_arc ? k + 3 : k;
    m = pk_spent_pair{true,
                      s.best.shared_vertex,
                      k,
                      own_arc ? 1 : 0,
                      {o.sx, o.sy, o.ex, o.ey},
                      {own_arc ? o.cx : 0.0, own_arc ? o.cy : 0.0, own_arc ? o.r : 0.0,
                       own_arc ? static_cast<double>(o.direction) : 0.0},
                      {q.x[k - 1], q.y[k - 1], q.x[end], q.y[end]},
                      {other_arc ? q.x[k + 1] : 0.0, other_arc ? q.y[k + 1] : 0.0, other_arc ? q.x[k + 2] : 0.0,
                       other_arc ? q.y[k + 2] : 0.0},
                      s.best.x,
                      s.best.y,
                      !stopped_before_last};
}

// The same walk over the candidates the index gives for the element's box, or for a line the
// cells along it (in increasing element order, so in group order): each meets the rules of its
// group as group_pass applies them. Those below lowest_unrefused, the element itself and those
// that clearly give nothing are dropped first; what they would skip is pure (the group of the
// next candidate examined is set up for it as it would have been before). A candidate left out
// comes nowhere near the element, so it would give no crossing; the parallel mark it would carry
// to the next candidate only changes a line pair's mode between two even values, which the line
// intersection reads by parity alone.
void run_indexed(search& s, const pk_box_table& table, int first_group, pk_elem_index& index)
{
    const search_query& q = s.q;
    int group = 0, from = 0, to = 0, mark = 0;
    bool after_parallel = false, stopped = false;
    const element& o = q.self_element;
    s.memo = &index.last_pair;
    group_finder groups{table};
    // The visit leaves out every candidate below lowest_unrefused, so of those the number tests
    // pass over only the element itself comes.
    auto visit = [&](int k) {
        if (walk_done(s)) return !(stopped = true);
        if (k == q.own || clearly_nothing(q, k)) return true;
        const int g = groups.of(k);
        if (g < std::max(1, first_group) || g > table.groups) return true;
        if (g != group) {
            group = g;
            group_range(q, table, g, first_group, from, to, mark);
            after_parallel = false;
        }
        if (k >= from && k <= to && k < q.count) examine_built(s, k, g, mark, after_parallel);
        return true;
    };
    // The list the index keeps serves every search along the element.
    const int listed_from = lowest_past_walk(q), lowest = lowest_unrefused(q);
    if (o.kind == kLine)
        pk_elem_index_visit_query(index, listed_from, lowest, true, o.sx, o.sy, o.ex, o.ey, visit);
    else
        pk_elem_index_visit_query(index, listed_from, lowest, false, o.xmin, o.ymin, o.xmax, o.ymax, visit);
    leave_spent_pair(s, index.last_spent, stopped);
}

// The searched element with its box (start and end of three doubles), built where the search
// keeps it.
void own_element(element& o, int kind, double cx, double cy, double radius, double direction, const double* start,
                 const double* end)
{
    o.kind = kind == 1 ? kArc : kLine;
    o.sx = start[0];
    o.sy = start[1];
    o.sz = start[2];
    o.ex = end[0];
    o.ey = end[1];
    o.ez = end[2];
    o.cx = cx;
    o.cy = cy;
    o.r = radius;
    o.direction = pk_arc_direction(direction);
    o.finish();
}

// The parts of a search both entry points share: the decoded mode and the walk (the element is
// built in the search by own_element or plane_element).
void prepare(search& s, int mode, int own, const double* direction_at, int closing, int after_closing,
             const double* previous, int found_element, int found_group)
{
    search_query& q = s.q;
    q.mode = decode(mode);
    q.own = own;
    q.direction_given = direction_at != nullptr && direction_at[0] < kDirectionAbsentLimit ? direction_at : nullptr;
    q.closing = closing;
    q.after_closing = after_closing;
    for (int k = 0; k < 3; ++k) q.previous[k] = previous[k];
    q.walk = found_group;
    q.found_in = found_element;
}

}  // namespace

int pokarr_search_lines_in_plane = 0;

namespace {

// The search of the plane entries, set up for the element and the searched array x, y (inlined
// into both: it is most of their set-up).
[[gnu::always_inline]] inline void plane_search(search& s, int mode, int own, const double* direction_at,
                                                const double* own_x, const double* own_y, const double* x,
                                                const double* y, int count, int closing, int after_closing,
                                                double previous_x, double previous_y, int found_element,
                                                int found_group)
{
    const double previous[3] = {previous_x, previous_y, 0.0};
    prepare(s, mode, own, direction_at, closing, after_closing, previous, found_element, found_group);
    search_query& q = s.q;
    q.own_x = own_x;
    q.own_y = own_y;
    // The plane entry is not told the length of a foreign own array: only the searched array
    // itself is bounded well enough for the parallel retry to read it.
    q.own_count = own_x == x && own_y == y ? count : 0;
    q.x = x;
    q.y = y;
    q.count = count;
}

// Hands the chosen crossing to the plane entry's outputs (nothing changes when none was found).
void give_crossing(const search& s, int& found_element, int& found_group, double& crossing_x, double& crossing_y,
                   int& found)
{
    if (!s.best.found) return;
    crossing_x = s.best.x;
    crossing_y = s.best.y;
    found_element = s.best.element;
    found_group = s.best.group;
    found = s.best.end_contact ? kSearchEndContact : kSearchFound;
}

bool plane_input_sound(const double* x, const double* y, int count, const pk_box_table& table)
{
    return x != nullptr && y != nullptr && count >= 2 && table.groups >= 1 && table.groups <= kBoxGroupsMax;
}

// Whether a continuing walk (own kOwnWalkContinues) from (px, py) at element k goes on from the
// spent pair m, with the element and k unchanged: of two lines (no direction given) the pair's
// crossing would be that point again, which the walk refuses at its input found element; a line
// and an arc of a self search at their shared vertex are passed over there (examine). Either way
// that element gives nothing.
bool continues_from_spent(const pk_spent_pair& m, int mode, int own, int kind, double cx, double cy, double radius,
                          double direction, double sx, double sy, double ex, double ey, const double* direction_at,
                          const double* x, const double* y, int count, int k, double px, double py)
{
    const bool direction_absent = direction_at == nullptr || direction_at[0] >= kDirectionAbsentLimit;
    if (own != kOwnWalkContinues || (m.shared_vertex ? !decode(mode).self : !direction_absent || kind == 1))
        return false;
    return pk_spent_pair_holds(m, kind, cx, cy, radius, direction, sx, sy, ex, ey, x, y, count, k, px, py);
}

bool continues_from_spent(const pk_spent_pair& m, const pk_walk_search& w)
{
    return continues_from_spent(m, w.mode, w.own, w.kind, w.cx, w.cy, w.radius, w.direction, w.sx, w.sy, w.ex, w.ey,
                                w.direction_at, w.x, w.y, w.count, w.found_element, w.previous_x, w.previous_y);
}

// The element of a plane entry (z 0), built where the search keeps it.
void plane_element(element& o, int kind, double cx, double cy, double radius, double direction, double sx, double sy,
                   double ex, double ey)
{
    const double start[3] = {sx, sy, 0.0}, end[3] = {ex, ey, 0.0};
    own_element(o, kind, cx, cy, radius, direction, start, end);
}

}  // namespace

void elem_pair_intersect(int mode, int own, int first_group, int kind, double cx, double cy, double radius,
                         double direction, double sx, double sy, double ex, double ey, const double* direction_at,
                         const double* own_x, const double* own_y, const double* x, const double* y, int count,
                         int closing, int after_closing, double previous_x, double previous_y,
                         const pk_box_table& table, int& found_element, int& found_group, double& crossing_x,
                         double& crossing_y, int& found)
{
    found = kSearchNone;
    if (!plane_input_sound(x, y, count, table)) return;
    search s;
    plane_element(s.q.self_element, kind, cx, cy, radius, direction, sx, sy, ex, ey);
    plane_search(s, mode, own, direction_at, own_x, own_y, x, y, count, closing, after_closing, previous_x, previous_y,
                 found_element, found_group);
    run(s, table, first_group);
    give_crossing(s, found_element, found_group, crossing_x, crossing_y, found);
}

namespace {

// The indexed search after the entry's input checks and reach test.
void indexed_search(pk_elem_index& index, const pk_box_table& table, pk_walk_search& w)
{
    // A self search passes over the elements up to the walk's: past the last one none is left.
    if (decode(w.mode).self && w.found_group >= index.last_element) return;
    const bool found_pair_refused = continues_from_spent(index.last_spent, w);
    if (found_pair_refused && index.last_spent.nothing_after) return;
    search s;
    plane_element(s.q.self_element, w.kind, w.cx, w.cy, w.radius, w.direction, w.sx, w.sy, w.ex, w.ey);
    plane_search(s, w.mode, w.own, w.direction_at, w.own_x, w.own_y, w.x, w.y, w.count, w.closing, w.after_closing,
                 w.previous_x, w.previous_y, w.found_element, w.found_group);
    s.q.found_pair_refused = found_pair_refused;
    run_indexed(s, table, w.first_group, index);
    give_crossing(s, w.found_element, w.found_group, w.crossing_x, w.crossing_y, w.found);
}

}  // namespace

void elem_pair_intersect_indexed(pk_elem_index& index, int mode, int own, int first_group, int kind, double cx,
                                 double cy, double radius, double direction, double sx, double sy, double ex, double ey,
                                 const double* direction_at, const double* own_x, const double* own_y, const double* x,
                                 const double* y, int count, int closing, int after_closing, double previous_x,
                                 double previous_y, const pk_box_table& table, int& found_element, int& found_group,
                                 double& crossing_x, double& crossing_y, int& found)
{
    found = kSearchNone;
    if (!plane_input_sound(x, y, count, table) || index.count != count) return;
    // An element far from every element of the array finds nothing: testing a box that holds its
    // own spares building that (an arc's is the costly part).
    if (!pk_elem_index_reaches(index, kind, cx, cy, radius, sx, sy, ex, ey)) return;
    pk_walk_search w{mode,       own,        first_group,   kind,        cx,
                     cy,         radius,     direction,     sx,          sy,
                     ex,         ey,         direction_at,  own_x,       own_y,
                     x,          y,          count,         closing,     after_closing,
                     previous_x, previous_y, found_element, found_group, crossing_x,
                     crossing_y, kSearchNone};
    indexed_search(index, table, w);
    found_element = w.found_element;
    found_group = w.found_group;
    crossing_x = w.crossing_x;
    crossing_y = w.crossing_y;
    found = w.found;
}

bool elem_walk_spent(const pk_elem_index& index, const pk_walk_search& w)
{
    return index.last_spent.nothing_after && continues_from_spent(index.last_spent, w);
}

void elem_walk_intersect_indexed(pk_elem_index& index, const pk_box_table& table, pk_walk_search& w)
{
    w.found = kSearchNone;
    if (!plane_input_sound(w.x, w.y, w.count, table) || index.count != w.count) return;
    indexed_search(index, table, w);
}

void pokarr_elem_intersect(int mode, int own, int first_group, int kind, const double* centre, double radius,
                           double direction, const double* start, const double* end, const double* direction_at,
                           const pokarr* own_array, const pokarr& array, int closing, int after_closing,
                           const double* previous, const pk_box_table& table, int& found_element, int& found_group,
                           double* crossing, int& found)
{
    found = kSearchNone;
    if (array.x == nullptr || array.y == nullptr || array.dimension < 2 || array.count < 2 || start == nullptr ||
        end == nullptr || previous == nullptr || crossing == nullptr || (kind == 1 && centre == nullptr) ||
        table.groups < 1 || table.groups > kBoxGroupsMax)
        return;
    search s;
    // Points carry z; a planar pocket compares and measures in the plane.
    const bool planar = array.z == nullptr || pocket_state_block.pocket_dimension == 2;
    double s3[3] = {start[0], start[1], planar ? 0.0 : start[2]};
    double e3[3] = {end[0], end[1], planar ? 0.0 : end[2]};
    double p3[3] = {previous[0], previous[1], planar ? 0.0 : previous[2]};
    own_element(s.q.self_element, kind, centre != nullptr ? centre[0] : 0.0, centre != nullptr ? centre[1] : 0.0,
                radius, direction, s3, e3);
    prepare(s, mode, own, direction_at, closing, after_closing, p3, found_element, found_group);
    search_query& q = s.q;
    if (own_array != nullptr && own_array->x != nullptr && own_array->y != nullptr) {
        q.own_x = own_array->x;
        q.own_y = own_array->y;
        q.own_count = own_array->count;
    } else {
        q.own_x = q.own_y = nullptr;
    }
    q.x = array.x;
    q.y = array.y;
    q.count = array.count;
    if (!planar) {
        q.z = array.z;
        q.array = &array;
    }
    run(s, table, first_group);
    if (!s.best.found) return;
    crossing[0] = s.best.x;
    crossing[1] = s.best.y;
    crossing[2] = planar ? 0.0 : s.best.z;
    found_element = s.best.element;
    found_group = s.best.group;
    found = s.best.end_contact ? kSearchEndContact : kSearchFound;
}

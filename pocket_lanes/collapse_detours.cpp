// Collapse lanes cut within the cut of their source (see the header): the list the cutting stages
// make of them, and their insertion into the source's path.
#include "pocket_lanes/collapse_detours.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/loop_turn.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace {

constexpr int kPlanar = 2;

// Appends (x, y) unless it is the array's last point.
void add_point(double x, double y, pokarr& a, int& status)
{
    const double p[3] = {x, y, 0.0};
    if (a.count > 0) {
        const double last[2] = {a.x[a.count - 1], a.y[a.count - 1]};
        if (pk_eq_pnt2(p, last) != 0) return;
    }
    pokarr_add_pnt(p, a, status);
}

// Appends element e of a path (a line or an arc) as it runs on to (x, y) from the array's last
// point, unless it would have no length.
void add_element_to(const chain_element& e, double x, double y, pokarr& a, int& status)
{
    if (!e.arc) {
        add_point(x, y, a, status);
        return;
    }
    const double p[2] = {x, y}, last[2] = {a.x[a.count - 1], a.y[a.count - 1]};
    if (pk_eq_pnt2(p, last) != 0) return;
    pokarr_add_arc(x, y, nullptr, e.cx, e.cy, e.r, e.dir, a, status);
}

// Where a detour lane joins the path: its vertex entry, the path's element there, the point's
// parameter on the element and the point.
struct attachment {
    int lane = 0;
    int vertex = -1;
    // The entry where the detour's way out ends (out along it from `vertex` and back the same
    // way), -1 when the detour is gone round whole.
    int run_end = -1;
    int element = 0;
    double t = 0.0;
    double point[3] = {0.0, 0.0, 0.0};
    double distance = 1.0e300;
};

// The path's elements in their order with their boxes, read once for all the detours of the
// path. A path with many detours also orders them by the boxes' left sides, with the widest box's
// width: a detour asks about a vertex or two, and only the elements whose left sides lie within
// that width (and the reach) of its box can come near it. With a few detours the sort costs more
// than a scan of every element for each.
constexpr int kOrderedFromDetours = 8;

struct path_elements {
    std::vector<boxed_chain_element> boxed;  // in the path's order
    std::vector<int> by_left;                // places in `boxed` by box[0]; empty: scan them all
    double widest = 0.0;
};

void boxed_elements(const pokarr& path, int detours, path_elements& elements)
{
    std::vector<boxed_chain_element>& boxed = elements.boxed;
    boxed.clear();
    elements.widest = 0.0;
    for (int i = 1; i < path.count;) {
        const chain_element e = chain_element_at(path.x, path.y, path.count, i);
        if (!e.valid) break;
        boxed.push_back(boxed_chain_element_of(path.x, path.y, e));
        i = e.next;
    }
    elements.by_left.clear();
    if (detours < kOrderedFromDetours) return;
    for (const boxed_chain_element& b : boxed) elements.widest = std::max(elements.widest, b.box[2] - b.box[0]);
    elements.by_left.resize(boxed.size());
    for (std::size_t k = 0; k < boxed.size(); ++k) elements.by_left[k] = static_cast<int>(k);
    std::sort(elements.by_left.begin(), elements.by_left.end(), [&boxed](int a, int b) {
        return boxed[static_cast<std::size_t>(a)].box[0] < boxed[static_cast<std::size_t>(b)].box[0];
    });
}

// Whether every point of the box lies off the arc's circle by more than the margin: the box's
// nearest point from the centre beyond the circle, or its farthest point within it.
bool off_circle(const chain_element& e, const double* box, double margin)
{
    const double dx = std::max({box[0] - e.cx, 0.0, e.cx - box[2]});
    const double dy = std::max({box[1] - e.cy, 0.0, e.cy - box[3]});
    const double fx = std::max(std::abs(box[0] - e.cx), std::abs(box[2] - e.cx));
    const double fy = std::max(std::abs(box[1] - e.cy), std::abs(box[3] - e.cy));
    const double r = std::abs(e.r), outside = r + margin, inside = r - margin;
    return dx * dx + dy * dy > outside * outside || (inside > 0.0 && fx * fx + fy * fy < inside * inside);
}

// Whether the element lies clearly farther than `reach` from every point of the box (x min, y min,
// x max, y max): apart from its own box widened by twice the reach, or for an arc, off its circle
// by more than that (an arc's ends lie on its circle well within the reach). The margin keeps
// every element that the distance measured below could find within the reach, so squared
// distances serve as well as exact ones.
inline bool clearly_apart(const boxed_chain_element& b, const double* box, double reach)
{
    const double margin = 2.0 * reach;
    if (box[0] > b.box[2] + margin || box[2] < b.box[0] - margin || box[1] > b.box[3] + margin ||
        box[3] < b.box[1] - margin)
        return true;
    return b.e.arc && off_circle(b.e, box, margin);
}

// Rounding slack of the bounds below: the distance measured to an element never falls short of
// them by more than this at the coordinates of a pocket.
constexpr double kBoundSlack = 1.0e-9;

// Whether the element lies farther than `reach` from (px, py) by bounds cheaper than the distance
// itself: the point's distance from the element's box, and for an arc from its circle.
bool beyond_reach(const boxed_chain_element& b, double px, double py, double reach)
{
    const double limit = reach + kBoundSlack;
    const double dx = std::max({b.box[0] - px, 0.0, px - b.box[2]});
    const double dy = std::max({b.box[1] - py, 0.0, py - b.box[3]});
    if (dx * dx + dy * dy > limit * limit) return true;
    if (!b.e.arc) return false;
    const double cx = px - b.e.cx, cy = py - b.e.cy;
    return std::abs(std::sqrt(cx * cx + cy * cy) - std::abs(b.e.r)) > limit;
}

// The point of the path nearest to (px, py) among the candidate elements within `reach` (an
// element of 0 when none is; the first of equally near elements in the path's order). Elements
// beyond the reach are passed by: none of them could be nearer than one within it.
attachment nearest_within(const pokarr& path, const std::vector<const boxed_chain_element*>& candidates, double px,
                          double py, double reach)
{
    attachment best;
    for (const boxed_chain_element* b : candidates) {
        if (beyond_reach(*b, px, py, reach)) continue;
        double nx = 0.0, ny = 0.0, t = 0.0;
        chain_element_nearest(path.x, path.y, b->e, px, py, nx, ny, t);
        const double distance = std::hypot(px - nx, py - ny);
        if (!(distance < best.distance)) continue;
        best.element = b->e.start + 1, best.t = t, best.distance = distance;
        best.point[0] = nx, best.point[1] = ny;
    }
    return best;
}

// The box of the loop's vertices (the element ends that a detour may join at).
void vertex_box(const pokarr& loop, double* box)
{
    box[0] = box[1] = 1.0e300;
    box[2] = box[3] = -1.0e300;
    for (int i = 1; i < loop.count;) {
        const chain_element e = chain_element_at(loop.x, loop.y, loop.count, i);
        if (!e.valid) break;
        i = e.next;
        box[0] = std::min(box[0], loop.x[e.end]), box[1] = std::min(box[1], loop.y[e.end]);
        box[2] = std::max(box[2], loop.x[e.end]), box[3] = std::max(box[3], loop.y[e.end]);
    }
}

// The detour's first vertex within the working tolerance of the candidate elements, else its
// vertex nearest to the path.
attachment first_joining_vertex(const pokarr& loop, const pokarr& path,
                                const std::vector<const boxed_chain_element*>& candidates)
{
    const double on_path = pocket_work_block.working_tolerance;
    attachment best;
    for (int pass = 0; pass < 2 && best.vertex < 0; ++pass) {
        if (pass == 0 && candidates.empty()) continue;
        for (int i = 1; i < loop.count;) {
            const chain_element e = chain_element_at(loop.x, loop.y, loop.count, i);
            if (!e.valid) break;
            i = e.next;
            attachment a;
            if (pass == 0) {
                a = nearest_within(path, candidates, loop.x[e.end], loop.y[e.end], on_path);
                if (a.element == 0 || a.distance > on_path) continue;
            } else {
                const double q[3] = {loop.x[e.end], loop.y[e.end], 0.0};
                a.element = 0;
                pokarr_nearest_pnt(kPlanar, q, path, a.element, a.t, a.point, a.distance);
                if (a.element < 1 || !(a.distance < best.distance)) continue;
            }
            a.vertex = e.end;
            best = a;
            if (pass == 0) break;
        }
    }
    return best;
}

// The length of an element, and for an arc its sweep and start angle.
double element_length(const pokarr& loop, const chain_element& e, double& start_angle, double& sweep)
{
    const double sx = loop.x[e.start], sy = loop.y[e.start], ex = loop.x[e.end], ey = loop.y[e.end];
    if (!e.arc) return std::hypot(ex - sx, ey - sy);
    start_angle = std::atan2(sy - e.cy, sx - e.cx);
    arc_sweep(e.dir, e.cx, e.cy, sx, sy, ex, ey, sweep);
    return std::abs(e.r) * sweep;
}

double cross(double ux, double uy, double vx, double vy) { return ux * vy - uy * vx; }

// Whether (px, py) lies within `reach` of an arc element: of one of its ends, or of its circle in a
// direction from the centre that the arc sweeps over (counter-clockwise from the first end to the
// second, the other way round for a clockwise arc). A whole circle (ends together) is measured
// the long way.
bool near_arc(const pokarr& path, const chain_element& e, double px, double py, double reach)
{
    const double s[2] = {path.x[e.start], path.y[e.start]}, t[2] = {path.x[e.end], path.y[e.end]};
    if (std::hypot(px - s[0], py - s[1]) <= reach || std::hypot(px - t[0], py - t[1]) <= reach) return true;
    const double qx = px - e.cx, qy = py - e.cy;
    if (std::abs(std::hypot(qx, qy) - std::abs(e.r)) > reach) return false;
    if (pk_eq_pnt2(s, t) != 0) {
        double nx = 0.0, ny = 0.0, u = 0.0;
        chain_element_nearest(path.x, path.y, e, px, py, nx, ny, u);
        return std::hypot(px - nx, py - ny) <= reach;
    }
    double ax = s[0] - e.cx, ay = s[1] - e.cy, bx = t[0] - e.cx, by = t[1] - e.cy;
    if (e.dir < 0) std::swap(ax, bx), std::swap(ay, by);
    if (cross(ax, ay, bx, by) >= 0.0) return cross(ax, ay, qx, qy) >= 0.0 && cross(qx, qy, bx, by) >= 0.0;
    return !(cross(bx, by, qx, qy) > 0.0 && cross(qx, qy, ax, ay) > 0.0);
}

// Whether (px, py) lies within `reach` of one of the candidate elements.
bool near_candidates(const pokarr& path, const std::vector<const boxed_chain_element*>& candidates, double px,
                     double py, double reach)
{
    for (const boxed_chain_element* b : candidates) {
        if (beyond_reach(*b, px, py, reach)) continue;
        if (b->e.arc) {
            if (near_arc(path, b->e, px, py, reach)) return true;
            continue;
        }
        double nx = 0.0, ny = 0.0, t = 0.0;
        chain_element_nearest(path.x, path.y, b->e, px, py, nx, ny, t);
        if (std::hypot(px - nx, py - ny) <= reach) return true;
    }
    return false;
}

// The room of the run search, kept from one detour to the next.
struct run_scratch {
    std::vector<chain_element> elements;
    std::vector<double> length, along;  // along: the element's length when it lies along the path
    std::vector<double> start_angle, sweep;
};

// The longest run of elements with a length in `along`, round past the loop's end (a run starts
// after an element with none): its length, first and last element; every element when all have one.
double longest_run(const std::vector<double>& along, std::size_t& first, std::size_t& last)
{
    const std::size_t n = along.size();
    double longest = 0.0;
    if (std::all_of(along.begin(), along.end(), [](double a) { return a > 0.0; })) {
        first = 0, last = n - 1;
        for (const double a : along) longest += a;
        return longest;
    }
    for (std::size_t k = 0; k < n; ++k) {
        if (along[k] <= 0.0 || along[(k + n - 1) % n] > 0.0) continue;
        double length = 0.0;
        std::size_t end = k;
        for (std::size_t m = k; along[m] > 0.0; m = (m + 1) % n) length += along[m], end = m;
        if (length > longest) longest = length, first = k, last = end;
    }
    return longest;
}

// Where a detour runs along the path for part of its way round (a horn's end cut out of the next
// offset is bounded by the source on one side), going round it whole cuts that part of the path a
// second time. When its longest run along the path is longer than the rest of it, the detour goes
// out along the rest and back the same way instead: the same moves are cut, the shorter part
// twice rather than the longer. The way out: from the entry where that run ends (`vertex`) round
// to the one where it starts (`run_end`); none (-1) when going round is shorter. An element lies
// along the path when its ends and its middle lie within the working tolerance of the candidate
// elements; the middles are asked about only when the runs between vertices on the path could be
// long enough.
void run_off_path(const pokarr& loop, const pokarr& path, const std::vector<const boxed_chain_element*>& candidates,
                  run_scratch& r, int& vertex, int& run_end)
{
    vertex = run_end = -1;
    const double on_path = pocket_work_block.working_tolerance;
    chain_elements_of(loop.x, loop.y, loop.count, r.elements);
    const std::size_t n = r.elements.size();
    if (n < 2) return;
    r.length.assign(n, 0.0), r.start_angle.assign(n, 0.0), r.sweep.assign(n, 0.0);
    double total = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        r.length[k] = element_length(loop, r.elements[k], r.start_angle[k], r.sweep[k]);
        total += r.length[k];
    }
    // The vertices one by one (the loop is closed: element k starts where element k - 1 ends): a
    // vertex off the path takes both its elements off, and once the elements left could not make up
    // half the loop, no run along the path can be the longer part.
    r.along = r.length;
    double possible = total;
    const auto take_off = [&r, &possible](std::size_t k) {
        possible -= r.along[k];
        r.along[k] = 0.0;
    };
    for (std::size_t k = 0; k < n; ++k) {
        const chain_element& e = r.elements[k];
        if (near_candidates(path, candidates, loop.x[e.start], loop.y[e.start], on_path)) continue;
        take_off((k + n - 1) % n);
        take_off(k);
        if (!(0.5 * total < possible)) return;
    }
    std::size_t first = 0, last = 0;
    const double bound = longest_run(r.along, first, last);
    if (!(total - bound < bound)) return;
    for (std::size_t k = 0; k < n; ++k) {
        if (r.along[k] <= 0.0) continue;
        const chain_element& e = r.elements[k];
        double mx = 0.5 * (loop.x[e.start] + loop.x[e.end]), my = 0.5 * (loop.y[e.start] + loop.y[e.end]);
        if (e.arc) {
            const double middle = r.start_angle[k] + e.dir * 0.5 * r.sweep[k];
            mx = e.cx + std::abs(e.r) * std::cos(middle), my = e.cy + std::abs(e.r) * std::sin(middle);
        }
        if (!near_candidates(path, candidates, mx, my, on_path)) r.along[k] = 0.0;
    }
    // A detour along the path all the way round is gone round as it is.
    const double longest = longest_run(r.along, first, last);
    if (!(total - longest < longest) || !(longest < total)) return;
    vertex = r.elements[last].end;
    run_end = r.elements[first].start;
}

// Where the detour joins the path: the start of its way out when it has one, else its first
// vertex on the path (or nearest to it).
attachment joining(const pokarr& loop, const pokarr& path, const std::vector<const boxed_chain_element*>& candidates,
                   run_scratch& scratch)
{
    int vertex = -1, run_end = -1;
    if (!candidates.empty()) run_off_path(loop, path, candidates, scratch, vertex, run_end);
    if (vertex < 0) return first_joining_vertex(loop, path, candidates);
    const double on_path = pocket_work_block.working_tolerance;
    attachment at = nearest_within(path, candidates, loop.x[vertex], loop.y[vertex], on_path);
    at.vertex = vertex;
    at.run_end = run_end;
    return at;
}

// A detour lane shares a point with its source where the horn it fills ends: its first vertex
// within the working tolerance of the path joins there; else its vertex nearest to the path. The
// path's elements clearly apart from every vertex are left out once, before the vertices are
// tried one by one.
attachment attach(const pokarr& loop, const pokarr& path, const path_elements& elements,
                  std::vector<const boxed_chain_element*>& candidates, run_scratch& scratch)
{
    const double on_path = pocket_work_block.working_tolerance;
    double box[4];
    vertex_box(loop, box);
    candidates.clear();
    if (elements.by_left.empty()) {
        for (const boxed_chain_element& b : elements.boxed)
            if (!clearly_apart(b, box, on_path)) candidates.push_back(&b);
        return joining(loop, path, candidates, scratch);
    }
    // An element whose left side lies beyond these bounds is apart from the box by its own box
    // (the bounds hold the margin of clearly_apart twice over, against rounding at the edge).
    const double margin = 4.0 * on_path, from = box[0] - margin - elements.widest, to = box[2] + margin;
    const auto left = [&elements](int k) { return elements.boxed[static_cast<std::size_t>(k)].box[0]; };
    auto k = std::lower_bound(elements.by_left.begin(), elements.by_left.end(), from,
                              [&left](int a, double x) { return left(a) < x; });
    for (; k != elements.by_left.end() && left(*k) <= to; ++k) {
        const boxed_chain_element& b = elements.boxed[static_cast<std::size_t>(*k)];
        if (!clearly_apart(b, box, on_path)) candidates.push_back(&b);
    }
    // In the path's order, which decides between equally near elements.
    std::sort(candidates.begin(), candidates.end());
    return joining(loop, path, candidates, scratch);
}

// Appends the loop's entries after v up to entry `to` (round past the loop's end when `to` comes
// before v; the closing entry 0 passed over).
void append_round(const pokarr& loop, int v, int to, pokarr& out, int& status)
{
    if (to > v) {
        pokarr_append(to - v, loop, v + 1, out, status);
        return;
    }
    if (v + 1 < loop.count) pokarr_append(loop.count - v - 1, loop, v + 1, out, status);
    if (status == 0 && to >= 1) pokarr_append(to, loop, 1, out, status);
}

// Appends, from the path, the detour joined at `at` (its lane read into `loop`, running the other
// way round from the path): the path's element up to the point, out to the detour's vertex, round
// the detour from it (or out along its run off the path and back, `run` holding the way out) and
// back to the point.
void add_detour(const pokarr& loop, const attachment& at, const chain_element& e, pokarr& run, pokarr& out, int& status)
{
    const int v = at.vertex;
    add_element_to(e, at.point[0], at.point[1], out, status);
    if (status == 0) add_point(loop.x[v], loop.y[v], out, status);
    if (at.run_end < 0) {
        if (status == 0) append_round(loop, v, v, out, status);
    } else {
        pokarr_reset(run, loop.count + 1, status);
        if (status == 0) add_point(loop.x[v], loop.y[v], run, status);
        if (status == 0) append_round(loop, v, at.run_end, run, status);
        if (status == 0) pokarr_append(run.count - 1, run, 1, out, status);
        if (status == 0) pokarr_reverse(run);
        if (status == 0) pokarr_append(run.count - 1, run, 1, out, status);
    }
    if (status == 0) add_point(at.point[0], at.point[1], out, status);
}

// Entries a join adds to the path besides its detour's own: the element up to the join and its
// rest (an arc record each), the way out and back, with a margin.
constexpr int kJoinRoom = 16;

// The path with the detours joined to it (`joins` in their order along the path, two on one
// element by their parameters), made in one walk along the path: the entries up to an element
// that a detour joins, the element up to each join and the detour there, the rest of the element.
void insert_detours(const std::deque<pokarr_work>& loops, const std::vector<attachment>& joins, pokarr& run,
                    pokarr& out, pokarr& path, int& status)
{
    // Room for the whole path at once: appended piece by piece, it would move at every piece.
    int room = path.count + kJoinRoom * static_cast<int>(joins.size());
    for (const attachment& at : joins)
        room += (at.run_end < 0 ? 1 : 2) * loops[static_cast<std::size_t>(at.lane)].a.count;
    pokarr_reset(out, room, status);
    if (status != 0) return;
    int copied = 0;      // the path's entries before this one are in `out`
    chain_element open;  // the element joined last, whose rest is still to come
    auto finish = [&]() {
        if (!open.valid || status != 0) return;
        add_element_to(open, path.x[open.end], path.y[open.end], out, status);
        copied = open.end + 1;
        open.valid = false;
    };
    for (const attachment& at : joins) {
        const chain_element e = chain_element_at(path.x, path.y, path.count, at.element);
        if (at.vertex < 0 || !e.valid) continue;
        if (open.valid && open.start != e.start) finish();
        if (status == 0 && !open.valid) {
            if (copied < e.start + 1) pokarr_append(e.start + 1 - copied, path, copied, out, status);
            copied = e.start + 1;
            open = e;
        }
        if (status == 0) add_detour(loops[static_cast<std::size_t>(at.lane)].a, at, e, run, out, status);
        if (status != 0) return;
    }
    finish();
    if (status == 0 && copied < path.count) pokarr_append(path.count - copied, path, copied, out, status);
    if (status != 0) return;
    // A path in room of its own hands that room on to the next path; other paths take a copy.
    if (path.kind >= 0 && out.kind >= 0)
        pokarr_swap(out, path, status);
    else
        pokarr_move(out, path, status);
}

}  // namespace

struct collapse_detour_room {
    std::deque<pokarr_work> loops;  // the detour lanes of the path, the first `used` of them read
    std::size_t used = 0;
    path_elements elements;
    std::vector<const boxed_chain_element*> candidates;
    run_scratch runs;
    std::vector<attachment> joins;
    pokarr_work out{kPlanar};
    pokarr_work run{kPlanar};  // a detour's way out along its run off the path
};

collapse_detours::collapse_detours() = default;
collapse_detours::~collapse_detours() = default;
collapse_detours collapse_detours_block;

bool collapse_detour_lane(int n)
{
    const lane_table& lt = lane_table_block;
    return lane_valid(n) && lt.status[n] == 0 && lt.contour_type[n] == kContourCollapse && lane_valid(lt.parent[n]);
}

bool has_collapse_detours(int n)
{
    const collapse_detours& d = collapse_detours_block;
    return n >= 1 && static_cast<std::size_t>(n) < d.first.size() && d.first[static_cast<std::size_t>(n)] != 0;
}

void collapse_detours_list()
{
    collapse_detours& d = collapse_detours_block;
    const int last = std::min(pocket_box_block.first_output_lane - 1, lane_table_block.count);
    d.first.assign(static_cast<std::size_t>(std::max(last, 0)) + 1, 0);
    d.next.assign(d.first.size(), 0);
    for (int n = last; n >= 1; --n) {
        if (!collapse_detour_lane(n)) continue;
        const std::size_t p = static_cast<std::size_t>(lane_table_block.parent[n]);
        if (p >= d.first.size()) continue;
        d.next[static_cast<std::size_t>(n)] = d.first[p];
        d.first[p] = n;
    }
}

void collapse_detours_clear()
{
    collapse_detours_block.first.clear();
    collapse_detours_block.next.clear();
    collapse_detours_block.room.reset();
}

void collapse_detours_cut(int lane, pokarr& path, int& status)
{
    status = 0;
    collapse_detours& d = collapse_detours_block;
    if (path.dimension != kPlanar || lane < 1 || static_cast<std::size_t>(lane) >= d.first.size() ||
        d.first[static_cast<std::size_t>(lane)] == 0 || path.count < 4)
        return;
    if (d.room == nullptr) d.room = std::make_unique<collapse_detour_room>();
    collapse_detour_room& room = *d.room;
    pokarr measured = path;  // a direction the area fixes is cached in the header measured, not in the path
    const int direction = loop_direction(measured);
    // Each detour runs the other way round from the path; where they join the path is found on
    // the path as it comes, and all go in with one walk along it.
    room.used = 0;
    room.joins.clear();
    int detours = 0;
    for (int n = d.first[static_cast<std::size_t>(lane)]; n != 0; n = d.next[static_cast<std::size_t>(n)]) ++detours;
    boxed_elements(path, detours, room.elements);
    for (int n = d.first[static_cast<std::size_t>(lane)]; n != 0; n = d.next[static_cast<std::size_t>(n)]) {
        if (room.used == room.loops.size()) room.loops.emplace_back(kPlanar);
        pokarr& loop = room.loops[room.used++].a;
        lane_to_pokarr(n, loop, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        if (loop.count < 4) continue;
        if (loop_direction(loop) == direction) pokarr_reverse(loop);
        attachment at = attach(loop, path, room.elements, room.candidates, room.runs);
        at.lane = static_cast<int>(room.used) - 1;
        if (at.vertex >= 0) room.joins.push_back(at);
    }
    if (room.joins.empty()) return;
    // In the path's order; joins at one point keep the order of their lanes.
    std::sort(room.joins.begin(), room.joins.end(), [](const attachment& a, const attachment& b) {
        if (a.element != b.element) return a.element < b.element;
        return a.t != b.t ? a.t < b.t : a.lane < b.lane;
    });
    insert_detours(room.loops, room.joins, room.run.a, room.out.a, path, status);
    if (status != 0) status = kEngineArrayFailed;
}

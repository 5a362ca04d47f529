// The part of a small collapse piece inside its source from the crossings of its elements with
// the source elements near it (collapse_lanes_record asks before the general clip), and the
// inside test of a point by a ray through the source's index. The part is
// walked as the common-loop walk walks it: from the crossing where the source enters the piece,
// along the source to the other crossing, back along the piece, cleaned the same way.
#include "pocket_lanes/collapse_horn_tail.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_run.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

// Within this distance of another loop's element a crossing or a vertex is left to the general
// clip: there the crossing search moves crossings onto vertices, marks touching rows and drops
// them (its slack is a micron; a hundred times that keeps well clear of every such rule).
constexpr double kTouchReach = 100.0 * kPocketRangeSlack;
// A crossing whose elements' directions make a smaller sine is left to the general clip, which
// drops near-tangent rows (at a sine a dozen times smaller).
constexpr double kCrossingSine = 1.0e-3;
// Source elements near a piece beyond this many send it to the general clip.
constexpr int kMostNearElements = 32;

// Crossings of the piece with the source beyond this many send it to the general clip.
constexpr int kMostCrossings = 8;

// A crossing with its place along each loop (element, then the way along it) and its direction.
struct crossing {
    int source_element = 0, piece_element = 0;
    double source_along = 0.0, piece_along = 0.0;
    double x = 0.0, y = 0.0;
    bool entry = false;  // the source enters the piece here
    int link = 0;        // its place along the piece, from 1
};

// Sorts the few entries of a small array in place (the standard sort's unrolled insertion step
// reaches past an array this small, and the compiler says so).
template <class T, class Less> void sort_few(T* v, int count, Less less)
{
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && less(v[j], v[j - 1]); --j) std::swap(v[j], v[j - 1]);
}

// The direction of an element at a point on it (an arc's tangent in its direction), not made
// unit.
void direction_at(const pokarr& loop, const chain_element& e, double px, double py, double& ux, double& uy)
{
    ux = e.arc ? -e.dir * (py - e.cy) : loop.x[e.end] - loop.x[e.start];
    uy = e.arc ? e.dir * (px - e.cx) : loop.y[e.end] - loop.y[e.start];
}

// The length of a vector (coordinates of a pocket never come near over- or underflow, which the
// standard hypot guards at many times the cost).
double length_of(double x, double y) { return std::sqrt(x * x + y * y); }

// A measure of the direction (x, y) that grows with its angle from +x counter-clockwise, in
// [0, 4): the way round the unit diamond. It keeps the angles' order at the cost of a division
// where an angle costs an arc tangent.
double diamond_angle(double x, double y)
{
    const double sum = std::fabs(x) + std::fabs(y);
    if (!(sum > 0.0)) return 0.0;
    const double t = y / sum;  // in [-1, 1]
    if (y >= 0.0) return x >= 0.0 ? t : 2.0 - t;
    return x < 0.0 ? 2.0 - t : 4.0 + t;
}

// The way along an element to a point on it, for ordering points on one element: on a line its
// projection from the start (the squared length times the fraction), on an arc the turn from the
// start in its direction, measured round the diamond (in [0, 4)).
double along(const pokarr& loop, const chain_element& e, double px, double py)
{
    const double sx = loop.x[e.start], sy = loop.y[e.start];
    if (!e.arc) return (px - sx) * (loop.x[e.end] - sx) + (py - sy) * (loop.y[e.end] - sy);
    double swept = e.dir * (diamond_angle(px - e.cx, py - e.cy) - diamond_angle(sx - e.cx, sy - e.cy));
    if (swept < 0.0) swept += 4.0;
    return swept;
}

// The squared distance of a point from a line element.
double segment_distance2(const pokarr& loop, const chain_element& e, double px, double py)
{
    const double sx = loop.x[e.start], sy = loop.y[e.start], dx = loop.x[e.end] - sx, dy = loop.y[e.end] - sy;
    const double l2 = dx * dx + dy * dy;
    const double t = l2 > 0.0 ? std::clamp(((px - sx) * dx + (py - sy) * dy) / l2, 0.0, 1.0) : 0.0;
    const double ex = px - sx - t * dx, ey = py - sy - t * dy;
    return ex * ex + ey * ey;
}

// Whether a point comes within reach of an element, or of an arc's circle (enough for a guard
// that only has to be sure where it lets a piece pass). Squares only: it runs for every vertex
// against every element near it.
bool within_reach(const pokarr& loop, const chain_element& e, double px, double py)
{
    if (!e.arc) return segment_distance2(loop, e, px, py) < kTouchReach * kTouchReach;
    const double r = std::fabs(e.r), dx = px - e.cx, dy = py - e.cy, d2 = dx * dx + dy * dy;
    const double inner = std::max(0.0, r - kTouchReach);
    return d2 < (r + kTouchReach) * (r + kTouchReach) && d2 > inner * inner;
}

// Whether an arc's circle comes near grazing the other element's line or circle: there the
// crossing search may find a touch or two crossings where the primitives find none.
bool grazes(const pokarr& a_loop, const chain_element& a, const pokarr& b_loop, const chain_element& b)
{
    if (!a.arc && !b.arc) return false;
    if (a.arc && b.arc) {
        const double d = length_of(a.cx - b.cx, a.cy - b.cy), ra = std::fabs(a.r), rb = std::fabs(b.r);
        return std::fabs(d - (ra + rb)) < kTouchReach || std::fabs(d - std::fabs(ra - rb)) < kTouchReach;
    }
    const chain_element& arc = a.arc ? a : b;
    const chain_element& line = a.arc ? b : a;
    const pokarr& l = a.arc ? b_loop : a_loop;
    const double sx = l.x[line.start], sy = l.y[line.start], dx = l.x[line.end] - sx, dy = l.y[line.end] - sy;
    const double length = length_of(dx, dy);
    if (!(length > 0.0)) return true;
    const double from_line = std::fabs((arc.cx - sx) * dy - (arc.cy - sy) * dx) / length;
    return std::fabs(from_line - std::fabs(arc.r)) < kTouchReach;
}

// Whether the two elements come near touching: an end of either within reach of the other, or
// grazing circles.
bool near_touch(const pokarr& a_loop, const chain_element& a, const pokarr& b_loop, const chain_element& b)
{
    for (const int k : {a.start, a.end})
        if (within_reach(b_loop, b, a_loop.x[k], a_loop.y[k])) return true;
    for (const int k : {b.start, b.end})
        if (within_reach(a_loop, a, b_loop.x[k], b_loop.y[k])) return true;
    return grazes(a_loop, a, b_loop, b);
}

// Whether two arcs' circles stand apart or one within the other by more than kTouchReach: then no
// end of either comes within reach of the other's circle, they neither touch nor cross.
bool circles_far_apart(const chain_element& a, const chain_element& b)
{
    if (!a.arc || !b.arc) return false;
    const double d = length_of(a.cx - b.cx, a.cy - b.cy), ra = std::fabs(a.r), rb = std::fabs(b.r);
    return d > ra + rb + kTouchReach || d < std::fabs(ra - rb) - kTouchReach;
}

// Whether the point (qx, qy) of the arc's circle lies off the arc: outside its sweep and farther
// than kTouchReach from both its ends (where the primitives' end rules decide). A whole circle
// holds every point.
bool off_arc(const pokarr& loop, const chain_element& e, double qx, double qy)
{
    const double sx = loop.x[e.start], sy = loop.y[e.start], ex = loop.x[e.end], ey = loop.y[e.end];
    if (std::fabs(sx - ex) + std::fabs(sy - ey) < kTouchReach) return false;
    const double reach2 = kTouchReach * kTouchReach;
    if ((qx - sx) * (qx - sx) + (qy - sy) * (qy - sy) < reach2 ||
        (qx - ex) * (qx - ex) + (qy - ey) * (qy - ey) < reach2)
        return false;
    return !arc_sweep_holds(loop, e, qx - e.cx, qy - e.cy);
}

// Whether an arc's circle stands clear of the other element (a circle apart from or within the
// other; a circle whose two crossings with the other's each lie off one of the arcs; a line
// meeting the circle only beyond its ends or off the arc's sweep): then they cannot cross, and
// the primitives need not be asked.
bool circles_apart(const pokarr& a_loop, const chain_element& a, const pokarr& b_loop, const chain_element& b)
{
    if (!a.arc && !b.arc) return false;
    if (a.arc && b.arc) {
        if (circles_far_apart(a, b)) return true;
        const double d = length_of(a.cx - b.cx, a.cy - b.cy), ra = std::fabs(a.r), rb = std::fabs(b.r);
        // The crossings of the circles: along the line of centres at `along` from a's, `off` to
        // either side (circles that nearly touch were sent to the general clip before).
        if (!(d > 0.0)) return false;
        const double along = (d * d + ra * ra - rb * rb) / (2.0 * d), off2 = ra * ra - along * along;
        if (!(off2 > 0.0)) return false;
        const double ux = (b.cx - a.cx) / d, uy = (b.cy - a.cy) / d, off = std::sqrt(off2);
        for (const double side : {-off, off}) {
            const double qx = a.cx + along * ux - side * uy, qy = a.cy + along * uy + side * ux;
            if (!off_arc(a_loop, a, qx, qy) && !off_arc(b_loop, b, qx, qy)) return false;
        }
        return true;
    }
    const chain_element& arc = a.arc ? a : b;
    const chain_element& line = a.arc ? b : a;
    const pokarr& l = a.arc ? b_loop : a_loop;
    const pokarr& arc_loop = a.arc ? a_loop : b_loop;
    // Where the line's carrier meets the circle: |f + t d| = r.
    const double fx = l.x[line.start] - arc.cx, fy = l.y[line.start] - arc.cy;
    const double dx = l.x[line.end] - l.x[line.start], dy = l.y[line.end] - l.y[line.start];
    const double r = std::fabs(arc.r), dd = dx * dx + dy * dy, fd = fx * dx + fy * dy;
    const double disc = fd * fd - dd * (fx * fx + fy * fy - r * r);
    if (!(dd > 0.0)) return false;
    if (disc < 0.0) return true;
    // A point of the circle may be a crossing when it lies on the line within reach of its ends,
    // and within the arc's sweep or within reach of the arc's ends.
    const double margin = kTouchReach / std::sqrt(dd), root = std::sqrt(disc);
    const double ax = arc_loop.x[arc.start], ay = arc_loop.y[arc.start];
    const double bx = arc_loop.x[arc.end], by = arc_loop.y[arc.end];
    if (std::fabs(ax - bx) + std::fabs(ay - by) < kTouchReach) return false;  // a whole circle
    for (const double t : {(-fd - root) / dd, (-fd + root) / dd}) {
        if (t < -margin || t > 1.0 + margin) continue;
        const double qx = fx + t * dx, qy = fy + t * dy;  // from the centre
        if (arc_sweep_holds(arc_loop, arc, qx, qy)) return false;
        const double sx = qx + arc.cx - ax, sy = qy + arc.cy - ay, ex = qx + arc.cx - bx, ey = qy + arc.cy - by;
        if (std::min(sx * sx + sy * sy, ex * ex + ey * ey) < kTouchReach * kTouchReach) return false;
    }
    return true;
}

// The crossings of source element s with piece element p, as the crossing search's primitives
// give them (the source's element searched against the piece's); count -1 for a pair that the
// primitives call parallel or near-parallel, or arcs on one circle.
int pair_crossings(const pokarr& source, const chain_element& s, const pokarr& piece, const chain_element& p,
                   double (*points)[2])
{
    const double ss[2] = {source.x[s.start], source.y[s.start]}, se[2] = {source.x[s.end], source.y[s.end]};
    const double ps[2] = {piece.x[p.start], piece.y[p.start]}, pe[2] = {piece.x[p.end], piece.y[p.end]};
    int count = 0, status = kNoCrossing;
    if (circles_apart(source, s, piece, p)) return 0;
    if (!s.arc && !p.arc) {
        const double absent[2] = {kDirectionAbsent, 0.0};
        seg_seg_intersect_ends_xy(0, ss[0], ss[1], se[0], se[1], ps[0], ps[1], pe[0], pe[1], absent, absent,
                                  points[0][0], points[0][1], status);
        if (status == kNearParallelCrossing) return -1;
        return status == kCrossing ? 1 : 0;
    }
    if (s.arc && p.arc) {
        const pk_arc a{s.cx, s.cy, s.r, s.dir, ss[0], ss[1], se[0], se[1]};
        const pk_arc b{p.cx, p.cy, p.r, p.dir, ps[0], ps[1], pe[0], pe[1]};
        arc_arc_crossings(1, 0, a, b, points, count, status);
        return status == kParallel ? -1 : count;
    }
    const chain_element& arc = s.arc ? s : p;
    const double* as = s.arc ? ss : ps;
    const double* ae = s.arc ? se : pe;
    const double* ls = s.arc ? ps : ss;
    const double* le = s.arc ? pe : se;
    const double centre[2] = {arc.cx, arc.cy};
    const int order = s.arc ? 1 : 2;
    seg_arc_crossings(1, order, order, 0, centre, arc.r, arc.dir, ls, le, as, ae, ls, le, points, count, status);
    return count;
}

// The crossings of the piece's elements with the source elements near them, ordered along the
// source, each with its place along the piece; false when the general clip must decide.
bool find_crossings(const pokarr& source, pk_elem_index& source_index, const pokarr& piece, crossing* found, int& count)
{
    count = 0;
    double box[4] = {1.0e300, 1.0e300, -1.0e300, -1.0e300};
    boxed_chain_element elements[kHornTailMostElements];
    int piece_count = 0;
    for (int i = 1; i < piece.count;) {
        const chain_element e = chain_element_at(piece.x, piece.y, piece.count, i);
        if (!e.valid || piece_count == kHornTailMostElements) return false;
        i = e.next;
        const boxed_chain_element& b = elements[piece_count++] = boxed_chain_element_of(piece.x, piece.y, e);
        box[0] = std::min(box[0], b.box[0]), box[1] = std::min(box[1], b.box[1]);
        box[2] = std::max(box[2], b.box[2]), box[3] = std::max(box[3], b.box[3]);
    }
    pk_elem_index_candidates(source_index, box[0] - kTouchReach, box[1] - kTouchReach, box[2] + kTouchReach,
                             box[3] + kTouchReach, source_index.candidates);
    if (source_index.candidates.size() > static_cast<std::size_t>(kMostNearElements)) return false;
    for (const int k : source_index.candidates) {
        const chain_element s = chain_element_at(source.x, source.y, source.count, k);
        if (!s.valid) return false;
        const boxed_chain_element boxed = boxed_chain_element_of(source.x, source.y, s);
        for (int j = 0; j < piece_count; ++j) {
            const chain_element& p = elements[j].e;
            // Elements whose boxes stand apart neither cross nor touch.
            if (!boxes_meet(boxed.box, elements[j].box, kTouchReach)) continue;
            if (circles_far_apart(s, p)) continue;
            if (near_touch(source, s, piece, p)) return false;
            double points[2][2];
            const int n = pair_crossings(source, s, piece, p, points);
            if (n < 0 || count + n > kMostCrossings) return false;
            for (int q = 0; q < n; ++q) {
                crossing& c = found[count++];
                c.x = points[q][0], c.y = points[q][1];
                c.source_element = k, c.piece_element = p.start + 1;
                c.source_along = along(source, s, c.x, c.y), c.piece_along = along(piece, p, c.x, c.y);
                double sx = 0.0, sy = 0.0, px = 0.0, py = 0.0;
                direction_at(source, s, c.x, c.y, sx, sy);
                direction_at(piece, p, c.x, c.y, px, py);
                const double sine = (px * sy - py * sx) / std::sqrt((px * px + py * py) * (sx * sx + sy * sy));
                if (!(std::fabs(sine) > kCrossingSine)) return false;
                // The inside of a counter-clockwise piece lies to its left.
                c.entry = sine > 0.0;
            }
        }
    }
    if (count % 2 != 0) return false;
    // The crossing search orders its rows along the source, and the walk takes the piece's runs
    // by their places along the piece.
    sort_few(found, count, [](const crossing& a, const crossing& b) {
        return a.source_element != b.source_element ? a.source_element < b.source_element
                                                    : a.source_along < b.source_along;
    });
    int order[kMostCrossings];
    std::iota(order, order + count, 0);
    sort_few(order, count, [found](int a, int b) {
        const crossing &p = found[a], &q = found[b];
        return p.piece_element != q.piece_element ? p.piece_element < q.piece_element : p.piece_along < q.piece_along;
    });
    for (int k = 0; k < count; ++k) found[order[k]].link = k + 1;
    // The source enters and leaves the piece by turns along both loops.
    for (int k = 0; k + 1 < count; ++k)
        if (found[k].entry == found[k + 1].entry || found[order[k]].entry == found[order[k + 1]].entry) return false;
    return true;
}

// Walks the part from the entry crossing `first` as the common-loop walk does: along the source to
// the next crossing, along the piece to the crossing after that one, until it is back; cleaned
// as that walk cleans its loops, and kept when it runs counter-clockwise.
void walk_part(const pokarr& source, const pokarr& piece, const crossing* rows, int count, int first,
               const int* row_of_link, bool* used, loop_buffer& out, int& status)
{
    pokarr_work loop(2);
    const double start[3] = {rows[first].x, rows[first].y, 0.0};
    pokarr_reset(loop.a, 0, status);
    if (status == 0) pokarr_add_pnt(start, loop.a, status);
    used[first] = true;
    int r = first;
    bool closed_walk = false;
    for (int steps = 0; steps <= count && status == 0 && !closed_walk; ++steps) {
        const int next_a = r + 1 < count ? r + 1 : 0;
        const double pa[3] = {rows[next_a].x, rows[next_a].y, 0.0};
        pokarr_append_run(source, rows[r].source_element, rows[next_a].source_element, next_a <= r, pa, loop.a, status);
        const int link = rows[next_a].link;
        const int next_b = row_of_link[link >= count ? 1 : link + 1];
        const double pb[3] = {rows[next_b].x, rows[next_b].y, 0.0};
        if (status == 0)
            pokarr_append_run(piece, rows[next_a].piece_element, rows[next_b].piece_element, link >= count, pb, loop.a,
                              status);
        closed_walk = next_b == first;
        used[next_b] = true;
        r = next_b;
    }
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    if (!closed_walk) return;
    pokarr_drop_short(loop.a);
    pokarr_tidy_pass1(loop.a);
    int closed = 1;
    pokarr_drop_redundant(closed, 0, loop.a);
    pokarr_drop_short(loop.a);
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(loop.a, area, direction);
    if (direction != 1 || !(area > 0.0) || loop.a.count < 4) return;
    loop_buffer_add(out, loop.a, direction, status);
    if (status != 0) status = kEngineArrayFailed;
}

// The crossings of the ray from (px, py) towards +x with an element, added to `count`: near when
// the element passes within reach of the point, unsure when an end of the element or a tangent
// point comes within reach of the ray, else outside (the count says).
ray_side ray_crossings(const pokarr& loop, const chain_element& e, double px, double py, int& count)
{
    if (within_reach(loop, e, px, py)) return ray_side::near;
    for (const int k : {e.start, e.end})
        if (std::fabs(loop.y[k] - py) < kTouchReach && loop.x[k] > px - kTouchReach) return ray_side::unsure;
    if (!e.arc) {
        const double sx = loop.x[e.start], sy = loop.y[e.start], ex = loop.x[e.end], ey = loop.y[e.end];
        if ((sy > py) == (ey > py)) return ray_side::outside;
        const double x = sx + (py - sy) * (ex - sx) / (ey - sy);
        if (std::fabs(x - px) < kTouchReach) return ray_side::near;
        count += x > px ? 1 : 0;
        return ray_side::outside;
    }
    const double r = std::fabs(e.r), dy = py - e.cy, h2 = r * r - dy * dy;
    const ray_side clear = ray_side::outside;
    if (!(h2 > 0.0)) return std::fabs(dy) - r >= kTouchReach || e.cx + r < px ? clear : ray_side::unsure;
    const double h = std::sqrt(h2);
    if (h < kTouchReach) return e.cx + h < px - kTouchReach ? clear : ray_side::unsure;
    for (const double wx : {-h, h}) {
        const double x = e.cx + wx;
        if (x < px - kTouchReach || !arc_sweep_holds(loop, e, wx, dy)) continue;
        if (x < px + kTouchReach) return ray_side::near;
        ++count;
    }
    return clear;
}

// Adds an element's answer to the answer so far: near outweighs unsure, which outweighs a count.
void weigh(ray_side element, ray_side& answer)
{
    if (element == ray_side::near || (element == ray_side::unsure && answer != ray_side::near)) answer = element;
}

}  // namespace

ray_side horn_tail_point_side(const pokarr& source, pk_elem_index& source_index, double px, double py)
{
    pk_elem_index_candidates(source_index, px - kTouchReach, py - kTouchReach,
                             std::max(px, source_index.box[2]) + kTouchReach, py + kTouchReach,
                             source_index.candidates);
    int count = 0;
    ray_side answer = ray_side::outside;
    for (const int k : source_index.candidates) {
        const chain_element e = chain_element_at(source.x, source.y, source.count, k);
        if (!e.valid) return ray_side::unsure;
        weigh(ray_crossings(source, e, px, py, count), answer);
        if (answer == ray_side::near) return answer;
    }
    return answer == ray_side::unsure ? answer : count % 2 != 0 ? ray_side::inside : ray_side::outside;
}

ray_side horn_tail_point_side_in_loop(const pokarr& loop, double px, double py)
{
    int count = 0;
    ray_side answer = ray_side::outside;
    for (int i = 1; i < loop.count;) {
        const chain_element e = chain_element_at(loop.x, loop.y, loop.count, i);
        if (!e.valid) return ray_side::unsure;
        weigh(ray_crossings(loop, e, px, py, count), answer);
        if (answer == ray_side::near) return answer;
        i = e.next;
    }
    return answer == ray_side::unsure ? answer : count % 2 != 0 ? ray_side::inside : ray_side::outside;
}

bool horn_tail_inside_loops(const pokarr& source, pk_elem_index& source_index, const pokarr& piece, loop_buffer& out,
                            int& crossings, int& status)
{
    status = 0;
    crossings = 0;
    if (source.dimension != 2 || piece.dimension != 2) return false;
    crossing rows[kMostCrossings];
    int count = 0;
    if (!find_crossings(source, source_index, piece, rows, count)) return false;
    crossings = count;
    int row_of_link[kMostCrossings + 1] = {};
    bool used[kMostCrossings] = {};
    for (int k = 0; k < count; ++k) row_of_link[rows[k].link] = k;
    // Runs of the source inside the piece start at the crossings where it enters.
    for (int k = rows[0].entry ? 0 : 1; k < count && status == 0; k += 2)
        if (!used[k]) walk_part(source, piece, rows, count, k, row_of_link, used, out, status);
    return true;
}

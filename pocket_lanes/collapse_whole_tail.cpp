// Whole horn tails: their recognition in the wedge of the source's tip, and the bound that proves
// their witness points within reach of the tip's walls or of the lane corner.
#include "pocket_lanes/collapse_whole_tail.hpp"

#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_lanes/collapse_horn_tail.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Within this distance two points count as one (the tip and the source's vertex, X and the lane
// corner), and a tail nearer a wall than this, or the tip nearer the tail, is left to the general
// clip, whose crossing search snaps and drops touches within a micron: a hundred times that keeps
// clear of every such rule.
constexpr double kTailReach = 100.0 * kPocketRangeSlack;
// A lane or a tip turning left by a smaller sine runs on smoothly: no corner.
constexpr double kCornerSine = 1.0e-3;
// Distances are compared with the reach less this much, so that rounding in the bound never
// passes over a point the general measure would keep (its squares differ by far less).
constexpr double kCoverMargin = kPocketValueTolerance;

struct point {
    double x = 0.0, y = 0.0;
};

double length_of(double x, double y) { return std::sqrt(x * x + y * y); }
double distance2(point a, point b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }
point at(const pokarr& loop, int entry) { return {loop.x[entry], loop.y[entry]}; }

// The squared distance of p from the segment a b.
double segment_distance2(point a, point b, point p)
{
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    return distance2({a.x + t * dx, a.y + t * dy}, p);
}

// The direction of an element at a point on it (an arc's tangent in its direction), not unit.
point direction_at(const pokarr& loop, const chain_element& e, point p)
{
    if (!e.arc) return {loop.x[e.end] - loop.x[e.start], loop.y[e.end] - loop.y[e.start]};
    return {-e.dir * (p.y - e.cy), e.dir * (p.x - e.cx)};
}

// Whether the loop turns left from direction u onto v by a real corner.
bool turns_left(point u, point v)
{
    const double l = length_of(u.x, u.y) * length_of(v.x, v.y);
    return l > 0.0 && u.x * v.y - u.y * v.x > kCornerSine * l;
}

// How far p stands on the region's side of the element's carrier (its line, or its circle: a
// counter-clockwise arc holds the region inside, a clockwise one outside), negative beyond it.
double inside_by(const pokarr& loop, const chain_element& e, point p)
{
    if (e.arc) {
        const double from_centre = length_of(p.x - e.cx, p.y - e.cy), r = std::fabs(e.r);
        return e.dir > 0 ? r - from_centre : from_centre - r;
    }
    const point s = at(loop, e.start), u = direction_at(loop, e, s);
    return (u.x * (p.y - s.y) - u.y * (p.x - s.x)) / length_of(u.x, u.y);
}

// Whether p lies within `within` of the element (squares only: every witness point of every tail
// is measured so).
bool element_within(const pokarr& loop, const chain_element& e, point p, double within)
{
    const point s = at(loop, e.start), t = at(loop, e.end);
    const double within2 = within * within;
    if (!e.arc) return segment_distance2(s, t, p) <= within2;
    if (arc_sweep_holds(loop, e, p.x - e.cx, p.y - e.cy)) {
        const double r = std::fabs(e.r), from_centre2 = distance2(p, {e.cx, e.cy}), inner = std::max(0.0, r - within);
        return from_centre2 <= (r + within) * (r + within) && from_centre2 >= inner * inner;
    }
    return std::min(distance2(s, p), distance2(t, p)) <= within2;
}

// The noted corner nearest p within kTailReach; false when there is none.
bool corner_at(const std::vector<tail_corner>& corners, point p, tail_corner& found)
{
    auto first = std::lower_bound(corners.begin(), corners.end(), p.x - kTailReach,
                                  [](const tail_corner& c, double x) { return c.x < x; });
    double best = kTailReach * kTailReach;
    bool any = false;
    for (; first != corners.end() && first->x <= p.x + kTailReach; ++first) {
        const double d2 = distance2({first->x, first->y}, p);
        if (d2 < best) best = d2, found = *first, any = true;
    }
    return any;
}

// Whether the element may meet the box (x min, y min, x max, y max): its own box meets it, and for a
// line the box's corners do not all lie on one side of it (a long slanting line passes by many
// boxes its own box holds).
bool meets_box(const pokarr& loop, const chain_element& e, const double* box)
{
    const boxed_chain_element b = boxed_chain_element_of(loop.x, loop.y, e);
    if (b.box[0] > box[2] || b.box[2] < box[0] || b.box[1] > box[3] || b.box[3] < box[1]) return false;
    if (e.arc) return true;
    const point s = at(loop, e.start), t = at(loop, e.end);
    int left = 0, right = 0;
    for (const point c : {point{box[0], box[1]}, point{box[2], box[1]}, point{box[0], box[3]}, point{box[2], box[3]}}) {
        const double side = (t.x - s.x) * (c.y - s.y) - (t.y - s.y) * (c.x - s.x);
        left += side >= 0.0 ? 1 : 0, right += side <= 0.0 ? 1 : 0;
    }
    return left > 0 && right > 0;
}

// The two source elements that meet the box, the one ending at the tip first; false when
// any other element meets it or they do not meet at the tip (an arc that closes on itself
// has no tip).
bool walls_at(const pokarr& source, pk_elem_index& index, const double* box, point tip, chain_element (&walls)[2])
{
    chain_element found[2];
    int count = 0;
    pk_elem_index_visit(index, 1, box[0], box[1], box[2], box[3], [&](int k) {
        const chain_element e = chain_element_at(source.x, source.y, source.count, k);
        if (!e.valid || count == 2) {
            count = 3;
            return false;
        }
        // The grid lists elements by its cells: only an element that meets the query box counts.
        if (!meets_box(source, e, box)) return true;
        found[count++] = e;
        return true;
    });
    if (count != 2) return false;
    auto on_tip = [&](int entry) { return distance2(at(source, entry), tip) < kTailReach * kTailReach; };
    for (int first = 0; first < 2; ++first) {
        const chain_element &in = found[first], &out = found[1 - first];
        if (!on_tip(in.end) || !on_tip(out.start) || on_tip(in.start) || on_tip(out.end)) continue;
        walls[0] = in, walls[1] = out;
        return true;
    }
    return false;
}

// Whether the segment a b stays clear of the wall's far side, given that both ends stand on the
// region's side by kTailReach: a line's half-plane and a counter-clockwise arc's disk are convex;
// the disk of a clockwise arc (the region outside it) must stay apart from the segment.
bool segment_clear(const chain_element& wall, point a, point b)
{
    if (!wall.arc || wall.dir > 0) return true;
    const double r = std::fabs(wall.r) + kTailReach;
    return segment_distance2(a, b, {wall.cx, wall.cy}) > r * r;
}

}  // namespace

void whole_tail_corners_note(const pokarr& lane, std::vector<tail_corner>& corners)
{
    const chain_element first = chain_element_at(lane.x, lane.y, lane.count, 1);
    for (chain_element in = first; in.valid;) {
        const chain_element next = chain_element_at(lane.x, lane.y, lane.count, in.next);
        const chain_element& out = next.valid ? next : first;
        const point c = at(lane, in.end), u = direction_at(lane, in, c), v = direction_at(lane, out, c);
        // Most corners of a lane turn right or run on: the sign passes them over before the sine.
        if (u.x * v.y - u.y * v.x > 0.0 && turns_left(u, v)) corners.push_back({c.x, c.y});
        in = next;
    }
}

void whole_tail_corners_sort(std::vector<tail_corner>& corners)
{
    std::sort(corners.begin(), corners.end(), [](const tail_corner& a, const tail_corner& b) { return a.x < b.x; });
}

// The tail X -> B' -> A' (counter-clockwise; X the vertex at a lane corner) sits in the wedge of
// the tip T, which stands at the distance from both feet, right of the chord B' -> A'. Wall A
// ends at T and wall B starts there, turning left (a convex tip). The query box holds the tail and
// T; when the walls are the only source elements whose boxes meet it, nothing else of the source
// reaches the tail or the segment from T to A'. Every vertex of the tail stands on the region's
// side of both walls' carriers by more than kTailReach, and so do its edges (segment_clear); the
// segment T -> A' leaves T on the region's side of both (the same convexity, and heading away
// from the disk of a clockwise arc). So the tail and that segment, less T, meet no source
// element: the tail lies on the side of the source that the wedge next to a convex tip of a
// counter-clockwise loop lies on, inside, and no vertex of either loop comes within kTailReach of
// the other's elements: the clip finds no crossing.
bool whole_tail_candidate(const pokarr& piece)
{
    if (piece.dimension != 2 || piece.count != 4) return false;
    for (int i = 1; i < 4; ++i)
        if (pk_is_marker(piece.x[i])) return false;
    return piece.x[3] == piece.x[0] && piece.y[3] == piece.y[0];
}

bool whole_tail_find(const pokarr& source, pk_elem_index& source_index, const pokarr& piece, double distance,
                     const std::vector<tail_corner>& corners, whole_tail& tail)
{
    if (!whole_tail_candidate(piece) || !(distance > 0.0)) return false;
    const point v[3] = {at(piece, 0), at(piece, 1), at(piece, 2)};
    int x_at = 0;
    while (x_at < 3 && !corner_at(corners, v[x_at], tail.corner)) ++x_at;
    if (x_at == 3) return false;
    const point b = v[(x_at + 1) % 3], a = v[(x_at + 2) % 3];
    const double half2 = 0.25 * distance2(a, b), chord = 2.0 * std::sqrt(half2);
    if (!(half2 < distance * distance) || !(chord > 0.0)) return false;
    const double rise = std::sqrt(distance * distance - half2) / chord;
    const point tip{0.5 * (a.x + b.x) + rise * (a.y - b.y), 0.5 * (a.y + b.y) - rise * (a.x - b.x)};
    double box[4] = {tip.x, tip.y, tip.x, tip.y};
    for (const point& p : v)
        box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y), box[2] = std::max(box[2], p.x),
        box[3] = std::max(box[3], p.y);
    box[0] -= kTailReach, box[1] -= kTailReach, box[2] += kTailReach, box[3] += kTailReach;
    if (!walls_at(source, source_index, box, tip, tail.walls)) return false;
    const chain_element &in = tail.walls[0], &out = tail.walls[1];
    const point t = at(source, in.end);
    if (!turns_left(direction_at(source, in, t), direction_at(source, out, t))) return false;
    for (const chain_element& wall : tail.walls) {
        for (int i = 0; i < 3; ++i)
            if (!(inside_by(source, wall, v[i]) > kTailReach) || !segment_clear(wall, v[i], v[(i + 1) % 3]))
                return false;
        // Away from a clockwise arc's disk: along the outward radius at T.
        if (wall.arc && wall.dir < 0 && !((a.x - t.x) * (t.x - wall.cx) + (a.y - t.y) * (t.y - wall.cy) > 0.0))
            return false;
    }
    for (int i = 0; i < 3; ++i)
        if (!(segment_distance2(v[i], v[(i + 1) % 3], t) > kTailReach * kTailReach)) return false;
    tail.source = &source;
    return true;
}

// The general measure keeps a point that lies farther than the reach from every source element
// and every lane. Its distance to the source is at most that to either wall, and its distance to
// the lanes at most that to the corner X, a point of a lane: a point within reach of one of them
// is within reach of the source or of a lane, and a tail whose points all are holds no material.
bool whole_tail_covers(const whole_tail& tail, const std::vector<double>& points, double reach)
{
    const double within = reach - kCoverMargin;
    if (tail.source == nullptr || !(within > 0.0)) return false;
    for (std::size_t k = 0; k + 1 < points.size(); k += 2) {
        const point p{points[k], points[k + 1]};
        if (distance2({tail.corner.x, tail.corner.y}, p) <= within * within) continue;
        if (!element_within(*tail.source, tail.walls[0], p, within) &&
            !element_within(*tail.source, tail.walls[1], p, within))
            return false;
    }
    return true;
}

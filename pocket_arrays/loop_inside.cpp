// Point in loop through the host's polygon test, with the arcs of the loop sampled into chords
// (arc_points). The sampled list is sized for the arcs of the loop before it is filled: every arc
// can give up to 91 points, so twice the entry count would not hold it. The sampling and the
// polygon test are needed only near the loop: a point outside the box of everything the sampling
// can give is outside, and a point clear of every element by more than the band and the chords'
// stray gets the polygon test's answer from the loop's elements directly (far_point_side). A
// loop made ready once (inside_loop) is checked and, when needed, sampled once for all the points
// tested against it.
#include "pocket_arrays/loop_inside.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "host/vantu_polygon.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/ray_rows.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Two pi as the angle sums of the engine have always taken it (single-precision rounding).
constexpr double kTwoPi = 6.2831854820251465;
// Chord tolerance of the arc sampling of the inside test.
constexpr double kInsideChordTolerance = 0.001;
// Boundary band of the inside test: at most this in a planar pocket, and the engine's value
// tolerance on surfaces.
constexpr double kPlanarBandCap = 0.001;
constexpr double kSurfaceBand = 1.0e-6;
constexpr int kArcChordsMin = 3;
constexpr int kArcChordsMax = kArcPointsMax - 1;
// Rounding reach of the box test, per unit of the largest coordinate: far above the few units in
// the last place by which a sampled point or the polygon test's arithmetic can stray.
constexpr double kBoxSlackPerUnit = 1.0e-9;

// The far-point decision (see far_point_side). Reach beyond the band: the sampling drops a point
// within 1e-6 of the one before it, so the sampled loop may stray that much more, far below this.
constexpr double kFarSlack = 1.0e-5;
// Half the largest turn of a chord of a sampled arc: 90 chords over at most two pi. The chords of
// an arc stray from it by at most the chord tolerance or by r (1 - cos of this) <= r x^2 / 2.
constexpr double kHalfTurnMax = kTwoPi / (2.0 * kArcChordsMax);
// Angle the sampled arc's end may differ from its true end by (two pi taken in single precision,
// the angle functions' rounding), per unit of the radius.
constexpr double kAngleSlack = 1.0e-6;
// A chord shorter than this share of its radius does not tell which side of it the arc lies on.
constexpr double kShortestChordShare = 1.0e-6;
// Relative reach of a squared distance around the squared limit within which the distance itself
// decides: far above the few units in the last place by which the square and the hypotenuse can
// differ.
constexpr double kSquareMargin = 1.0e-12;

// States of a loop made ready, in the order pnt_in_pokarr has always checked them.
constexpr int kLoopReady = 0;
constexpr int kLoopNotFinite = 1;  // refused, with the message
constexpr int kLoopNoPoints = 2;   // every point outside
constexpr int kLoopTooLarge = 3;   // the sampled list cannot be had

// The interleaved list handed to the host, filled without repeating a point.
struct point_list {
    double* xy = nullptr;
    int points = 0;
    int room = 0;
    void add(double x, double y)
    {
        if (points > 0 && pk_eq_val(x, xy[2 * points - 2]) && pk_eq_val(y, xy[2 * points - 1])) return;
        if (points >= room) return;  // sized beforehand; never reached
        xy[2 * points] = x;
        xy[2 * points + 1] = y;
        ++points;
    }
};

// Points the sampled loop can need, or -1 for a broken arc record.
long sampled_size(const pokarr& loop)
{
    long size = 1;
    for (int i = 1; i < loop.count;) {
        if (pk_is_marker(loop.x[i])) {
            if (i + 3 >= loop.count) return -1;
            size += kArcPointsMax;
            i += kArcRecordEntries;
        } else {
            size += 1;
            i += 1;
        }
    }
    return size;
}

void sample_loop(const pokarr& loop, point_list& list)
{
    double ax[kArcPointsMax], ay[kArcPointsMax];
    list.add(loop.x[0], loop.y[0]);
    for (int i = 1; i < loop.count;) {
        if (!pk_is_marker(loop.x[i])) {
            list.add(loop.x[i], loop.y[i]);
            ++i;
            continue;
        }
        int n = 0;
        arc_points(kInsideChordTolerance, loop.x[i + 1], pk_arc_direction(loop.y[i + 1]), loop.x[i + 2], loop.y[i + 2],
                   loop.x[i - 1], loop.y[i - 1], loop.x[i + 3], loop.y[i + 3], ax, ay, n);
        for (int k = 0; k < n; ++k) list.add(ax[k], ay[k]);
        i += kArcRecordEntries;
    }
}

void grow_box(double* box, double x, double y)
{
    box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
    box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
}

// The box of every point sample_loop can give: the loop's points and, for each arc, its whole
// circle (a sampled arc point lies on the circle up to rounding). The arc records are whole
// (sampled_size checked them).
void sampled_box(const pokarr& loop, double* box, double& slack)
{
    box[0] = box[2] = loop.x[0];
    box[1] = box[3] = loop.y[0];
    for (int i = 1; i < loop.count;) {
        if (!pk_is_marker(loop.x[i])) {
            grow_box(box, loop.x[i], loop.y[i]);
            ++i;
            continue;
        }
        const double r = std::fabs(loop.x[i + 1]), cx = loop.x[i + 2], cy = loop.y[i + 2];
        grow_box(box, cx - r, cy - r);
        grow_box(box, cx + r, cy + r);
        grow_box(box, loop.x[i + 3], loop.y[i + 3]);
        i += kArcRecordEntries;
    }
    const double largest = std::max({std::fabs(box[0]), std::fabs(box[1]), std::fabs(box[2]), std::fabs(box[3])});
    slack = kBoxSlackPerUnit * (1.0 + largest);
}

// Whether the host's polygon test would answer "outside" for sure: a point farther than the
// band from the box is nearer no edge than the band, and a ray from it crosses every closed
// polygon of the list an even number of times (none when it passes beside the box, each edge
// across its line when it starts before the box).
bool clearly_outside(const inside_loop& p, double x, double y, double band)
{
    const double reach = band + p.slack;
    return x < p.box[0] - reach || y < p.box[1] - reach || x > p.box[2] + reach || y > p.box[3] + reach;
}

// Whether p lies farther than `reach` from the segment a..b, by the distance the host's polygon
// test measures (the hypotenuse of the offset to the segment's nearest point). A point beyond the
// segment's box by more than the reach and `slack` across x or y is farther: the nearest point
// lies in the box, and the slack (the loop's rounding reach, at least kBoxSlackPerUnit of every
// coordinate near the loop) is far above the rounding of the measure. Elsewhere the square of
// that offset decides wherever it is clear of reach squared by far more than the rounding of
// either form; near the limit the measured distance does.
bool farther_from_segment(double px, double py, double ax, double ay, double bx, double by, double reach, double slack)
{
    const double clear = reach + slack;
    if (px < std::min(ax, bx) - clear || px > std::max(ax, bx) + clear || py < std::min(ay, by) - clear ||
        py > std::max(ay, by) + clear)
        return true;
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    const double ox = px - (ax + t * dx), oy = py - (ay + t * dy);
    const double offset2 = ox * ox + oy * oy, reach2 = reach * reach;
    if (offset2 > reach2 * (1.0 + kSquareMargin)) return true;
    if (offset2 < reach2 * (1.0 - kSquareMargin)) return false;
    return std::hypot(ox, oy) > reach;
}

// Whether the edge a..b crosses the ray from p towards +x (half-open in y, as the host's test).
bool crosses_ray(double px, double py, double ax, double ay, double bx, double by)
{
    if ((ay > py) == (by > py)) return false;
    return ax + (py - ay) / (by - ay) * (bx - ax) > px;
}

// Whether the host's test takes the sampled list of the loop as one polygon: it starts a new
// polygon after any point but the last that repeats the first (within kDoubleTolerance). Decided
// from the vertices and the arcs without the sampling; false when unsure. An arc's samples keep
// clear of the first point when its circle does. When the circle passes by it, the samples lie a
// chord's turn (at least a 90th of the sweep) apart and from the arc's ends, so they keep half a
// turn from a first point that lies beyond the arc or within half a turn of its ends.
bool one_polygon(const pokarr& loop)
{
    const double x0 = loop.x[0], y0 = loop.y[0];
    const double reach = 2.0 * vantu::kDoubleTolerance;
    const int last = loop.count - 1;
    double ax = x0, ay = y0;
    for (int i = 1; i < loop.count;) {
        const bool arc = pk_is_marker(loop.x[i]);
        const int end = arc ? i + 3 : i;
        const double ex = loop.x[end], ey = loop.y[end];
        if (end < last && !(std::max(std::fabs(ex - x0), std::fabs(ey - y0)) > reach)) return false;
        const double r = arc ? loop.x[i + 1] : 0.0;
        const double cx = arc ? loop.x[i + 2] : 0.0, cy = arc ? loop.y[i + 2] : 0.0;
        const double start_radius = arc ? std::hypot(ax - cx, ay - cy) : 0.0;
        const double first_radius = arc ? std::hypot(x0 - cx, y0 - cy) : 0.0;
        if (arc && r > 0.0 && start_radius > 0.0 && !(std::fabs(first_radius - r) > reach + kAngleSlack * r)) {
            const int direction = pk_arc_direction(loop.y[i + 1]);
            double sweep = 0.0, at = 0.0;
            arc_sweep(direction, cx, cy, ax, ay, ex, ey, sweep);
            arc_sweep(direction, cx, cy, ax, ay, x0, y0, at);
            const double half_turn = 0.5 * sweep / kArcChordsMax;
            if (at > half_turn && at < sweep - half_turn) return false;
            const double apart = 2.0 / std::numbers::pi * r * (half_turn - kAngleSlack) - std::fabs(first_radius - r);
            if (!(apart > reach)) return false;
        }
        ax = ex, ay = ey;
        i = end + 1;
    }
    return true;
}

// What far_point_side answers when the point is too near the loop for it.
constexpr int kSideUnknown = -1;

// How far an arc's sampled chords may stray from its circle, with how far its ends lie off it
// (start_radius and end_radius: their distances from the centre).
double arc_slop(double r, double start_radius, double end_radius)
{
    const double sagitta = std::max(kInsideChordTolerance, 0.5 * r * kHalfTurnMax * kHalfTurnMax);
    return sagitta + std::fabs(start_radius - r) + std::fabs(end_radius - r) + kAngleSlack * r;
}

// One element of the loop from a to b on the way round: false when p is too near it; otherwise
// flips `odd` for each crossing of the ray from p with the element as it is sampled. A line (or
// an arc the sampling takes as a line) crosses as a line. An arc crosses as its chord plus, when p
// lies in the circular segment between arc and chord, once more: the sampled chords of the arc
// and the chord bound a region that holds p exactly when the segment does, while p stays clear of
// the circle by more than the chords stray from it and, inside the circle, clear of the chord.
// Inlined into both of its walks: it runs for every element a point meets, and a call costs a
// good part of what a line's test does.
[[gnu::always_inline]] inline bool far_from_element(const pokarr& loop, int i, double px, double py, double reach,
                                                    double slack, double ax, double ay, bool& odd)
{
    const bool arc = pk_is_marker(loop.x[i]);
    const double bx = arc ? loop.x[i + 3] : loop.x[i], by = arc ? loop.y[i + 3] : loop.y[i];
    const double r = arc ? loop.x[i + 1] : 0.0;
    const double cx = arc ? loop.x[i + 2] : 0.0, cy = arc ? loop.y[i + 2] : 0.0;
    const double start_radius = arc ? std::hypot(ax - cx, ay - cy) : 0.0;
    if (!arc || !(r > 0.0) || !(start_radius > 0.0)) {
        if (!farther_from_segment(px, py, ax, ay, bx, by, reach, slack)) return false;
        odd ^= crosses_ray(px, py, ax, ay, bx, by);
        return true;
    }
    const double slop = arc_slop(r, start_radius, std::hypot(bx - cx, by - cy));
    const int direction = pk_arc_direction(loop.y[i + 1]);
    const double chord = std::hypot(bx - ax, by - ay);
    // Which side of the chord p lies on: 1 the arc's (a counter-clockwise arc lies right of its
    // chord, a clockwise one left), -1 the other, 0 too near to tell (the true chord's line may
    // turn from this one by the slop at either end).
    auto chord_side = [&]() {
        if (!(chord > kShortestChordShare * r)) return 0;
        const double side = ((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / chord;
        if (!(std::fabs(side) > reach + slop * (1.0 + 4.0 * r / chord))) return 0;
        return (direction > 0) == (side < 0.0) ? 1 : -1;
    };
    const double centre_distance = std::hypot(px - cx, py - cy);
    bool in_segment = false;
    if (std::fabs(centre_distance - r) > reach + slop) {
        if (centre_distance < r) {
            const int side = chord_side();
            if (side == 0) return false;
            in_segment = side > 0;
        }
    } else {
        // Near the circle p is clear of the arc only beside it: the sampled chords keep within the
        // arc's angle and the slop of the circle, so none comes nearer p than its nearer end less
        // twice the slop (the end and the chords' last point on its radius each stray by the slop).
        // There p lies on the chord's other side.
        double sweep = 0.0, at = 0.0;
        arc_sweep(direction, cx, cy, ax, ay, bx, by, sweep);
        arc_sweep(direction, cx, cy, ax, ay, px, py, at);
        if (!(at > sweep + kAngleSlack && at < kTwoPi - kAngleSlack)) return false;
        if (!(std::min(std::hypot(px - ax, py - ay), std::hypot(px - bx, py - by)) > reach + 2.0 * slop)) return false;
        if (chord_side() >= 0) return false;
    }
    odd ^= crosses_ray(px, py, ax, ay, bx, by) != in_segment;
    return true;
}

// The host's polygon test over the sampled loop decided without the sampling, for a point clear
// of every element by more than the band: the ray from it crosses the sampled loop as often
// (modulo 2) as the loop's vertex polygon plus the circular segments of the arcs that hold it.
// kLoopInside or kLoopOutside, or kSideUnknown when the point is too near an element.
int far_point_side(const pokarr& loop, double px, double py, double band, double slack)
{
    const double reach = band + kFarSlack + slack;
    bool odd = false;
    double ax = loop.x[0], ay = loop.y[0];
    for (int i = 1; i < loop.count;) {
        if (!far_from_element(loop, i, px, py, reach, slack, ax, ay, odd)) return kSideUnknown;
        const int end = pk_is_marker(loop.x[i]) ? i + 3 : i;
        ax = loop.x[end], ay = loop.y[end];
        i = end + 1;
    }
    // The host's test closes the list back to its first point.
    if (!farther_from_segment(px, py, ax, ay, loop.x[0], loop.y[0], reach, slack)) return kSideUnknown;
    odd ^= crosses_ray(px, py, ax, ay, loop.x[0], loop.y[0]);
    return odd ? kLoopInside : kLoopOutside;
}

// The box of the segment a..b widened by `clear`, as farther_from_segment widens it.
std::array<double, 4> segment_reach_box(double ax, double ay, double bx, double by, double clear)
{
    return {std::min(ax, bx) - clear, std::min(ay, by) - clear, std::max(ax, bx) + clear, std::max(ay, by) + clear};
}

// A box outside whose y range, or right of which, a point gets from far_from_element (element i
// from a, with reach and slack as there) neither "too near" nor a crossing: the ray from it
// passes the element's chord, and a point clear of an arc's circle by more than its slop lies
// outside the circle. Beyond the box by the loop's slack, far above the rounding of the
// coordinates, the measures of far_from_element keep clear of their limits.
std::array<double, 4> element_reach_box(const pokarr& loop, int i, double ax, double ay, double reach, double slack)
{
    const bool arc = pk_is_marker(loop.x[i]);
    const double bx = arc ? loop.x[i + 3] : loop.x[i], by = arc ? loop.y[i + 3] : loop.y[i];
    std::array<double, 4> box = segment_reach_box(ax, ay, bx, by, reach + slack);
    const double r = arc ? loop.x[i + 1] : 0.0;
    const double cx = arc ? loop.x[i + 2] : 0.0, cy = arc ? loop.y[i + 2] : 0.0;
    const double start_radius = arc ? std::hypot(ax - cx, ay - cy) : 0.0;
    if (!arc || !(r > 0.0) || !(start_radius > 0.0)) return box;
    const double wide = reach + arc_slop(r, start_radius, std::hypot(bx - cx, by - cy)) + slack;
    box[0] = std::min(box[0], cx - r - wide), box[1] = std::min(box[1], cy - r - wide);
    box[2] = std::max(box[2], cx + r + wide), box[3] = std::max(box[3], cy + r + wide);
    return box;
}

}  // namespace

// The elements of a loop in rows, their boxes widened for one reach (see element_reach_box); the
// last box is the closing line's, from the loop's last entry back to its first.
struct inside_rows {
    ray_rows rows;
    std::vector<int> starts;  // per box, the element's first entry (the loop's count: the closing line)
    double reach = 0.0;
};

namespace {

void build_rows(const pokarr& loop, double reach, double slack, inside_rows& r)
{
    r.reach = reach;
    r.rows.boxes.clear();
    r.starts.clear();
    for (int i = 1; i < loop.count;) {
        r.rows.boxes.push_back(element_reach_box(loop, i, loop.x[i - 1], loop.y[i - 1], reach, slack));
        r.starts.push_back(i);
        i = (pk_is_marker(loop.x[i]) ? i + 3 : i) + 1;
    }
    const int last = loop.count - 1;
    r.rows.boxes.push_back(segment_reach_box(loop.x[last], loop.y[last], loop.x[0], loop.y[0], reach + slack));
    r.starts.push_back(loop.count);
    ray_rows_build(r.rows);
}

// far_point_side from the rows: only the elements whose boxes the point's ray meets can answer
// "too near" or flip the count, and the count's parity does not depend on their order.
int far_point_side(const pokarr& loop, const inside_rows& r, double px, double py, double slack)
{
    const double reach = r.reach;
    bool odd = false;
    const bool far = ray_rows_visit(r.rows, px, py, [&](int k) {
        const int i = r.starts[static_cast<std::size_t>(k)];
        if (i < loop.count) return far_from_element(loop, i, px, py, reach, slack, loop.x[i - 1], loop.y[i - 1], odd);
        const int last = loop.count - 1;
        const double ax = loop.x[last], ay = loop.y[last];
        if (!farther_from_segment(px, py, ax, ay, loop.x[0], loop.y[0], reach, slack)) return false;
        odd ^= crosses_ray(px, py, ax, ay, loop.x[0], loop.y[0]);
        return true;
    });
    if (!far) return kSideUnknown;
    return odd ? kLoopInside : kLoopOutside;
}

// A loop is walked whole for its first far-point decisions (most loops are asked about a few
// points only) and gets its rows at the next; one of fewer entries is always walked.
constexpr int kWalksBeforeRows = 8;
constexpr int kRowsLeastEntries = 64;

// The rows of a loop made ready for the band, made when it has been walked often enough; null
// while it is walked, and for a band other than the one the rows were made for.
const inside_rows* rows_for(inside_loop& p, double band)
{
    if (p.rows == nullptr && (p.loop->count < kRowsLeastEntries || p.far_walks < kWalksBeforeRows)) {
        ++p.far_walks;
        return nullptr;
    }
    const double reach = band + kFarSlack + p.slack;
    if (p.rows == nullptr) {
        p.rows.reset(new inside_rows);
        build_rows(*p.loop, reach, p.slack, *p.rows);
    }
    return p.rows->reach == reach ? p.rows.get() : nullptr;
}

// far_point_side for a loop made ready: by a walk or from its rows.
int far_side(inside_loop& p, double px, double py, double band)
{
    const inside_rows* rows = rows_for(p, band);
    if (rows != nullptr) return far_point_side(*p.loop, *rows, px, py, p.slack);
    return far_point_side(*p.loop, px, py, band, p.slack);
}

// The boundary band of the inside test (reads pocket_state.pocket_dimension and
// pocket_work.tolerance).
double inside_band()
{
    return pocket_state_block.pocket_dimension == 2 ? std::min(kPlanarBandCap, pocket_work_block.tolerance)
                                                    : kSurfaceBand;
}

// Samples the loop into its list on first need; false when the list cannot be had.
bool sampled(inside_loop& p)
{
    if (p.points >= 0) return true;
    int status = 0;
    pokarr_init_dyn(1, static_cast<int>(2 * p.size), p.list, status);
    if (status != 0) return false;
    point_list list{p.list.x, 0, static_cast<int>(p.size)};
    sample_loop(*p.loop, list);
    p.points = list.points;
    return true;
}

}  // namespace

void arc_sweep(int direction, double cx, double cy, double sx, double sy, double ex, double ey, double& sweep)
{
    const double start = std::atan2(sy - cy, sx - cx);
    const double end = std::atan2(ey - cy, ex - cx);
    sweep = direction < 0 ? start - end : end - start;
    while (sweep < 0.0) sweep += kTwoPi;
    while (sweep >= kTwoPi) sweep -= kTwoPi;
}

void arc_points(double tolerance, double radius, int direction, double cx, double cy, double sx, double sy, double ex,
                double ey, double* x, double* y, int& count)
{
    x[0] = sx;
    y[0] = sy;
    const double length = std::hypot(sx - cx, sy - cy);
    if (!(radius > 0.0) || !(length > 0.0)) {
        x[1] = ex;
        y[1] = ey;
        count = 2;
        return;
    }
    double sweep = 0.0;
    arc_sweep(direction, cx, cy, sx, sy, ex, ey, sweep);
    const double half_step = std::acos(std::clamp(1.0 - tolerance / radius, -1.0, 1.0));
    const double steps = half_step > 0.0 ? sweep / (2.0 * half_step) : kArcChordsMax;
    const int n =
        std::clamp(static_cast<int>(std::min(steps, double(kArcChordsMax))) + 1, kArcChordsMin, kArcChordsMax);
    const double turn = (direction < 0 ? -sweep : sweep) / n;
    const double ux = (sx - cx) / length, uy = (sy - cy) / length;
    for (int k = 1; k < n; ++k) {
        const double a = turn * k;
        x[k] = cx + radius * (ux * std::cos(a) - uy * std::sin(a));
        y[k] = cy + radius * (ux * std::sin(a) + uy * std::cos(a));
    }
    x[n] = ex;
    y[n] = ey;
    count = n + 1;
}

void inside_rows_delete::operator()(inside_rows* rows) const { delete rows; }

inside_loop::~inside_loop() { pokarr_free(list); }

namespace {

// Fills the prepared loop; the finiteness check is skipped where the caller already made it.
void make_ready(const pokarr& loop, bool known_finite, inside_loop& prepared)
{
    pokarr_free(prepared.list);
    prepared.loop = &loop;
    prepared.points = -1;
    prepared.one_polygon = -1;
    prepared.far_walks = 0;
    prepared.rows.reset();
    prepared.state = kLoopReady;
    if (!known_finite && !pokarr_finite(loop)) {
        prepared.state = kLoopNotFinite;
        return;
    }
    if (loop.count < 1 || loop.dimension < 2 || pk_is_marker(loop.x[0])) {
        prepared.state = kLoopNoPoints;
        return;
    }
    prepared.size = sampled_size(loop);
    if (prepared.size < 0 || 2 * prepared.size > kPokarrMaxFlat) {
        prepared.state = kLoopTooLarge;
        return;
    }
    sampled_box(loop, prepared.box, prepared.slack);
}

}  // namespace

void inside_loop_make(const pokarr& loop, inside_loop& prepared) { make_ready(loop, false, prepared); }

void inside_loop_make_finite(const pokarr& loop, inside_loop& prepared) { make_ready(loop, true, prepared); }

void inside_loop_make_many(const pokarr& loop, inside_loop& prepared)
{
    make_ready(loop, false, prepared);
    prepared.far_walks = kWalksBeforeRows;
}

void pnt_in_inside_loop(double x, double y, inside_loop& prepared, int& result, int& status)
{
    status = 0;
    result = kLoopOutside;
    if (!std::isfinite(x) || !std::isfinite(y) || prepared.state == kLoopNotFinite) {
        eroutc("[pnt_in_pokarr] POINT OR LOOP HOLDS A NUMBER THAT IS NOT FINITE", 0);
        status = kInsideRefused;
        return;
    }
    if (prepared.state == kLoopNoPoints) return;
    if (prepared.state == kLoopTooLarge) {
        status = kInsideFailed;
        return;
    }
    const double band = inside_band();
    if (clearly_outside(prepared, x, y, band)) return;
    if (prepared.one_polygon < 0) prepared.one_polygon = one_polygon(*prepared.loop) ? 1 : 0;
    const int side = prepared.one_polygon != 0 ? far_side(prepared, x, y, band) : kSideUnknown;
    if (side != kSideUnknown) {
        result = side;
        return;
    }
    if (!sampled(prepared)) {
        status = kInsideFailed;
        return;
    }
    const double point[2] = {x, y};
    int where = kInpolOutside;
    inpold(band, prepared.list.x, prepared.points, point, where);
    result = where == kInpolInside ? kLoopInside : where == kInpolOnBoundary ? kLoopOnBoundary : kLoopOutside;
}

void pnt_in_pokarr(double x, double y, const pokarr& loop, int& result, int& status)
{
    inside_loop prepared;
    inside_loop_make(loop, prepared);
    pnt_in_inside_loop(x, y, prepared, result, status);
}

int points_against_loop(const pokarr& points, inside_loop& loop, int& status)
{
    status = 0;
    for (int k = 0; k < points.count;
         k += k + 1 < points.count && pk_is_marker(points.x[k + 1]) ? kArcRecordEntries : 1) {
        int result = kLoopOnBoundary;
        pnt_in_inside_loop(points.x[k], points.y[k], loop, result, status);
        if (status != 0 || result != kLoopOnBoundary) return result;
    }
    return kLoopOnBoundary;
}

int middles_against_loop(const pokarr& chain, inside_loop& loop, int& status)
{
    status = 0;
    std::vector<chain_element> elements;
    chain_elements_of(chain.x, chain.y, chain.count, elements);
    const std::size_t n = elements.size();
    for (std::size_t k = 0; k < n; ++k) {
        const chain_element& e = elements[(n / 2 + k) % n];
        const double sx = chain.x[e.start], sy = chain.y[e.start], ex = chain.x[e.end], ey = chain.y[e.end];
        double mx = 0.5 * (sx + ex), my = 0.5 * (sy + ey);
        if (e.arc) arc_pnt_by_vector(e.r, e.dir, e.cx, e.cy, sx, sy, ex, ey, 0.5, mx, my);
        int result = kLoopOnBoundary;
        pnt_in_inside_loop(mx, my, loop, result, status);
        if (status != 0 || result != kLoopOnBoundary) return result;
    }
    return kLoopOnBoundary;
}

int points_against_loop(const pokarr& points, const pokarr& loop, int& status)
{
    inside_loop prepared;
    inside_loop_make(loop, prepared);
    return points_against_loop(points, prepared, status);
}

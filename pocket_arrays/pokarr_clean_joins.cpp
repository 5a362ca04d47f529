// Clean-up of the joins of a raw offset loop. The steps in the order they run: arcs that are
// nearly flat become lines; lines shorter than the reach go; then, twice over the loop, every
// join is tested for a zig-zag (a short element E1 whose two turns both fold back) and E1 is cut
// out by joining the element before it (PE) with the element after it (E2), at their
// intersection where they have one (treatment A); on surfaces two folds in the same sense are
// closed by the closest approach of the neighbouring lines (treatment B). pokarr_drop_short ends.
#include "pocket_arrays/pokarr_clean_joins.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Reach of the short-line pass: a tenth of W in a planar pocket, never below 0.0001.
constexpr double kReachFactor = 0.1;
constexpr double kReachFloor = 0.0001;
constexpr double kSurfaceReach = 1.0e-6;
// Corner limits: a turn counts as a fold when its cosine is below the limit.
constexpr double kLimitStrict = -0.01;
constexpr double kLimitSharp = -0.85;
// A join whose forward chord is shorter than this is retried with a longer chord, at most
// kChordRetries times.
constexpr double kShortChord = 0.01;
constexpr int kChordRetries = 3;
// The second fold of a one-sided zig-zag only has to turn back at all.
constexpr double kFoldCosine = 1.0e-10;
// Zig-zags smaller than this many W are cut (one fold: 1 W).
constexpr double kZigzagFactor = 4.0;
// The meeting point of the elements either side of a cut zig-zag is taken only this many W
// from the removed piece (never less than the reach floor); nearly parallel elements meet far
// off, and the join then stays at the element ends.
constexpr double kJoinReachFactor = 4.0;
constexpr int kJoinPasses = 2;

struct vec {
    double x = 0.0, y = 0.0, z = 0.0;
};

double dot(const vec& a, const vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double cross_z(const vec& a, const vec& b) { return a.x * b.y - a.y * b.x; }

vec point_of(const pokarr& a, int i) { return {a.x[i], a.y[i], a.z != nullptr ? a.z[i] : 0.0}; }

// b - a.
vec difference(const vec& a, const vec& b) { return {b.x - a.x, b.y - a.y, b.z - a.z}; }

// Whether a chord has no length (no direction) for the fold check.
bool no_length(const vec& d) { return pk_is_zero(d.x) && pk_is_zero(d.y) && pk_is_zero(d.z); }

// Unit vector of b - a; false (and v untouched) when it has no length. Inlined with
// element_directions: the fold check runs them for every element of every loop it cleans.
[[gnu::always_inline]] inline bool unit_chord(const vec& a, const vec& b, vec& v, double* length = nullptr)
{
    const vec d = difference(a, b);
    const double l = std::sqrt(dot(d, d));
    if (length != nullptr) *length = l;
    if (no_length(d)) return false;
    v = {d.x / l, d.y / l, d.z / l};
    return true;
}

// Entries of the element that starts at entry k: 4 for an arc, 1 for a line.
int step_at(const pokarr& a, int k) { return k + 1 < a.count && pk_is_marker(a.x[k + 1]) ? kArcRecordEntries : 1; }

bool is_arc_at(const pokarr& a, int k) { return step_at(a, k) == kArcRecordEntries; }

// Start of the element that ends at entry k (the last element for k 0).
int start_of_element_ending(const pokarr& a, int k)
{
    if (k == 0) k = a.count - 1;
    return k >= 4 && pk_is_marker(a.x[k - 3]) ? k - 4 : k - 1;
}

// The arc tangent at point p of the arc starting at entry s.
bool arc_tangent(const pokarr& a, int s, const vec& p, vec& t)
{
    const double dir = a.y[s + 2] < 0.0 ? -1.0 : 1.0;
    const vec c = point_of(a, s + 3);
    const double l = std::hypot(p.x - c.x, p.y - c.y);
    if (!(l > 0.0)) return false;
    t = {-dir * (p.y - c.y) / l, dir * (p.x - c.x) / l, 0.0};
    return true;
}

// What element_directions found: the start direction, the end direction, and whether the
// element is a line with length (both directions its chord).
constexpr int kFoundStart = 1, kFoundEnd = 2, kFoundLine = 4;

// Directions at the start and at the end of the element that starts at entry s (either may be
// null); each left as it was when the element has no length (or an arc no radius there).
// Answers what it found (kFound* bits, for the directions asked).
[[gnu::always_inline]] inline int element_directions(const pokarr& a, int s, vec* start, vec* end)
{
    const bool arc = is_arc_at(a, s);
    const int e = s + (arc ? kArcRecordEntries : 1);
    const vec ps = point_of(a, s), pe = point_of(a, e);
    if (arc) {
        // Of its chord an arc needs only unit_chord's test.
        if (no_length(difference(ps, pe))) return 0;
        int found = 0;
        vec t;
        if (start != nullptr && arc_tangent(a, s, ps, t)) *start = t, found |= kFoundStart;
        if (end != nullptr && arc_tangent(a, s, pe, t)) *end = t, found |= kFoundEnd;
        return found;
    }
    vec chord;
    if (!unit_chord(ps, pe, chord)) return 0;
    if (start != nullptr) *start = chord;
    if (end != nullptr) *end = chord;
    return kFoundStart | kFoundEnd | kFoundLine;
}

void remove_entries(pokarr& a, int first, int n)
{
    if (n <= 0 || first >= a.count) return;
    n = std::min(n, a.count - first);
    pokarr_shift_entries(a, first + n, first);
    a.count -= n;
}

void set_xy(pokarr& a, int i, double x, double y)
{
    a.x[i] = x;
    a.y[i] = y;
}

// Keeps the closing entry on entry 0.
void close_loop(pokarr& a)
{
    if (a.count >= 2) pokarr_copy_entry(a, 0, a.count - 1);
}

// ---- short lines ------------------------------------------------------------------------------

// Whether the line that ends at entry i is shorter than the reach along every axis. Inlined into
// the short-line pass, which runs over every loop cleaned.
[[gnu::always_inline]] inline bool short_line(const pokarr& a, int i, double reach)
{
    return std::fabs(a.x[i] - a.x[i - 1]) < reach && std::fabs(a.y[i] - a.y[i - 1]) < reach &&
           (a.dimension == 2 || a.z == nullptr || std::fabs(a.z[i] - a.z[i - 1]) < reach);
}

void drop_short_lines(pokarr& a, double reach)
{
    int i = pk_is_marker(a.x[1]) ? 5 : 2;
    while (i < a.count) {
        if (pk_is_marker(a.x[i])) {
            i += kArcRecordEntries;
            continue;
        }
        if (!short_line(a, i, reach)) {
            ++i;
            continue;
        }
        if (a.dimension == 2 && i > 4 && pk_is_marker(a.x[i - 4])) pokarr_join_arc(i - 5, i, 0, a);
        remove_entries(a, i - 1, 1);
    }
}

// ---- intersections of PE and E2 ---------------------------------------------------------------

struct element_view {
    bool arc = false;
    vec s, e, c;
    double r = 0.0;
    int dir = 1;
};

element_view view_of(const pokarr& a, int s)
{
    element_view v;
    v.arc = is_arc_at(a, s);
    v.s = point_of(a, s);
    v.e = point_of(a, s + step_at(a, s));
    if (v.arc) {
        v.r = a.x[s + 2];
        v.dir = pk_arc_direction(a.y[s + 2]);
        v.c = point_of(a, s + 3);
    }
    return v;
}

bool on_arc(const element_view& arc, double x, double y)
{
    const double c[2] = {arc.c.x, arc.c.y}, s[2] = {arc.s.x, arc.s.y}, e[2] = {arc.e.x, arc.e.y};
    const double p[2] = {x, y};
    return pnt_on_arc(c, arc.dir, s, e, p) != 0;
}

bool near_xy(const vec& p, double x, double y) { return pk_eq_val(p.x, x) && pk_eq_val(p.y, y); }

// The one point where a line meets an arc; none for two points or for a point at one of the
// given ends.
bool line_arc_point(const element_view& line, const element_view& arc, const vec* ends, int n_ends, vec& s)
{
    const double p0[2] = {line.s.x, line.s.y}, p1[2] = {line.e.x, line.e.y};
    const double c[2] = {arc.c.x, arc.c.y};
    double t1 = 0.0, t2 = 0.0, q1[2], q2[2];
    int result = 0;
    line_circle_intersect(p0, p1, c, arc.r, t1, t2, q1, q2, result);
    if (result <= 0) return false;
    int found = 0;
    const double ts[2] = {t1, t2};
    const double* qs[2] = {q1, q2};
    for (int k = 0; k < (result == 1 ? 1 : 2); ++k) {
        if (ts[k] < -kPocketRangeSlack || ts[k] > 1.0 + kPocketRangeSlack) continue;
        if (!on_arc(arc, qs[k][0], qs[k][1])) continue;
        s = {qs[k][0], qs[k][1], 0.0};
        ++found;
    }
    if (found != 1) return false;
    for (int k = 0; k < n_ends; ++k)
        if (near_xy(ends[k], s.x, s.y)) return false;
    return true;
}

bool arc_arc_point(const element_view& a, const element_view& b, vec& s)
{
    int count = 0;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    circle_circle_intersect_xy(a.c.x, a.c.y, a.r, b.c.x, b.c.y, b.r, count, x1, y1, x2, y2);
    if (count <= 0) return false;
    int found = 0;
    const double xs[2] = {x1, x2}, ys[2] = {y1, y2};
    for (int k = 0; k < std::min(count, 2); ++k) {
        if (!on_arc(a, xs[k], ys[k]) || !on_arc(b, xs[k], ys[k])) continue;
        s = {xs[k], ys[k], 0.0};
        ++found;
    }
    return found == 1;
}

// The intersection S of PE and E2 as treatment A takes it.
bool join_point(const pokarr& a, const element_view& pe, const element_view& e2, const vec& j, vec& s)
{
    if (!pe.arc && !e2.arc) {
        if (a.dimension != 2) return false;
        const double p[2] = {pe.s.x, pe.s.y}, u[2] = {pe.e.x - pe.s.x, pe.e.y - pe.s.y};
        const double q[2] = {e2.s.x, e2.s.y}, v[2] = {e2.e.x - e2.s.x, e2.e.y - e2.s.y};
        double crossing[2], along_u = 0.0, along_v = 0.0;
        int status = 0;
        intvvd(p, u, q, v, crossing, along_u, along_v, status);
        if (status != 0) return false;
        s = {crossing[0], crossing[1], 0.0};
        return true;
    }
    if (pe.arc && e2.arc) return arc_arc_point(pe, e2, s);
    const vec ends[4] = {pe.s, pe.e, j, e2.e};
    return pe.arc ? line_arc_point(e2, pe, ends, 4, s) : line_arc_point(pe, e2, ends, 4, s);
}

// ---- treatments -------------------------------------------------------------------------------

// Distance of p from the segment a..b in the plane.
double distance_to_segment(const vec& p, const vec& a, const vec& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Cuts E1 (from entry k to entry j) out by joining PE and E2; their meeting point is taken only
// near the removed piece (within `reach`).
void treatment_a(pokarr& a, int k, int j, double reach)
{
    const bool wrap = j == a.count - 1;
    const int e2_start = wrap ? 0 : j;
    const element_view pe = view_of(a, start_of_element_ending(a, k));
    const element_view e2 = view_of(a, e2_start);
    vec s;
    const bool has_s =
        join_point(a, pe, e2, point_of(a, j), s) && distance_to_segment(s, point_of(a, k), point_of(a, j)) <= reach;

    if (!e2.arc || !pe.arc) {
        if (wrap) {
            if (has_s) {
                set_xy(a, k, s.x, s.y);
                set_xy(a, 0, s.x, s.y);
            } else if (!e2.arc) {
                set_xy(a, 0, a.x[k], a.y[k]);
            } else {
                set_xy(a, k, a.x[0], a.y[0]);
            }
            if (a.z != nullptr) a.z[0] = a.z[k];
            a.count = k + 1;
            return;
        }
        remove_entries(a, k + 1, j - k);
        if (has_s) set_xy(a, k, s.x, s.y);
        if (k == 0) close_loop(a);
        return;
    }

    // Two arcs.
    if (has_s) {
        if (wrap) {
            set_xy(a, k, s.x, s.y);
            set_xy(a, 0, s.x, s.y);
            a.count = k + 1;
            return;
        }
        set_xy(a, k, s.x, s.y);
        remove_entries(a, k + 1, j - k);
        if (k == 0) close_loop(a);
        return;
    }
    double distance = 0.0, qx = 0.0, qy = 0.0, t = 0.0;
    arc_dist_pnt(2, a.x[k], a.y[k], e2.r, e2.dir, e2.c.x, e2.c.y, e2.s.x, e2.s.y, e2.e.x, e2.e.y, distance, qx, qy, t);
    const bool q_at_end = near_xy(e2.e, qx, qy);
    if (wrap) {
        if (q_at_end) {
            set_xy(a, 0, qx, qy);
            if (k + 1 < a.count) set_xy(a, k + 1, qx, qy);
            a.count = std::min(k + 2, a.count);
            remove_entries(a, 1, kArcRecordEntries);
        } else {
            pokarr_join_arc(a.count - 1, k, 1, a);
            pokarr_copy_entry(a, k, 0);
            a.count = k + 1;
        }
        return;
    }
    if (q_at_end) {
        // E1 becomes a line to Q; both records give way.
        remove_entries(a, k + 1, j + kArcRecordEntries - 1 - k);
    } else {
        pokarr_join_arc(j, k, 1, a);
        remove_entries(a, k + 1, j - k);
    }
    if (k == 0) close_loop(a);
    return;
}

// Closes a same-sense double fold on a surface path by the closest approach of the lines before
// and after it; false when that fails (treatment A then runs).
bool treatment_b(pokarr& a, int k, int j)
{
    const int before = k == 0 ? a.count - 2 : k - 1;
    const int after = j == a.count - 1 ? 1 : j + 1;
    if (before < 0 || after >= a.count) return false;
    const int ids[4] = {before, k, j, after};
    double points[12];
    for (int m = 0; m < 4; ++m) {
        if (pk_is_marker(a.x[ids[m]])) return false;
        const vec p = point_of(a, ids[m]);
        points[3 * m] = p.x, points[3 * m + 1] = p.y, points[3 * m + 2] = p.z;
    }
    double x[3], tp = 0.0, tq = 0.0;
    int status = 0;
    elem_dist3(points, nullptr, x, tp, tq, status);
    if (status != 1) return false;
    set_xy(a, k, x[0], x[1]);
    if (a.z != nullptr) a.z[k] = x[2];
    remove_entries(a, j, 1);
    if (k == 0) close_loop(a);
    return true;
}

// ---- the join loop ----------------------------------------------------------------------------

struct join_settings {
    double limit;
    double w;
    bool planar;
    bool protect;
    double join_reach;  // how far from a cut zig-zag its neighbours may meet
};

bool pass_skipped(const pokarr& a)
{
    if (a.count <= 3) return true;
    if (a.count >= 8) return false;
    for (int e = 1; e <= a.count - 5; ++e)
        if (pk_is_marker(a.x[e])) return true;
    return false;
}

// The forward test of a join: f = D . unit(chord from R to the end of E2), with the chord
// stretched over following elements while it is short and points back.
double forward_measure(const pokarr& a, const vec& d, const vec& r, int e2_end, bool& spike, bool lines)
{
    vec c;
    double length = 0.0;
    double f = -1.0;
    if (unit_chord(r, point_of(a, e2_end), c, &length))
        f = dot(d, c);
    else
        spike = lines;
    int end = e2_end;
    for (int retry = 0; f < 0.0 && length < kShortChord && retry < kChordRetries; ++retry) {
        const int from = end == a.count - 1 ? 0 : end;
        end = from + step_at(a, from);
        if (end >= a.count) break;
        f = unit_chord(r, point_of(a, end), c, &length) ? dot(d, c) : -1.0;
    }
    return f;
}

// A direction as the fold check holds it: a unit vector, a line's chord not yet divided by its
// length, or an arc's tangent not yet divided by the radius at its point (the radius vector
// turned a quarter, whose length hypot gives as it gives the radius vector's).
enum class turn_scale : unsigned char { unit, chord, tangent };
struct turn_direction {
    vec v;
    turn_scale scale = turn_scale::unit;
};

// The unit vector of a direction, with unit_chord's and arc_tangent's arithmetic (the same bits).
vec unit_of(const turn_direction& d)
{
    if (d.scale == turn_scale::unit) return d.v;
    if (d.scale == turn_scale::tangent) {
        // hypot ignores the order and the signs of its arguments.
        const double l = std::hypot(d.v.x, d.v.y);
        return {d.v.x / l, d.v.y / l, 0.0};
    }
    const double l = std::sqrt(dot(d.v, d.v));
    return {d.v.x / l, d.v.y / l, d.v.z / l};
}

// The tangent at point p of the arc starting at entry s, as arc_tangent finds it, but left
// undivided while the radius vector is finite and not below kLeastUndivided: its length
// (arc_tangent's divisor) is then finite and positive, and arc_tangent finds a tangent.
// Otherwise arc_tangent decides. Below the bound the products of two such tangents in the turn
// test could underflow and lose their sign.
constexpr double kLeastUndivided = 1.0e-100;
[[gnu::always_inline]] inline bool arc_turn_direction(const pokarr& a, int s, const vec& p, turn_direction& t)
{
    const vec c = point_of(a, s + 3);
    const double rx = p.x - c.x, ry = p.y - c.y;
    if (!(std::isfinite(rx) && std::isfinite(ry) && std::max(std::fabs(rx), std::fabs(ry)) >= kLeastUndivided)) {
        t.scale = turn_scale::unit;
        return arc_tangent(a, s, p, t.v);
    }
    const double dir = a.y[s + 2] < 0.0 ? -1.0 : 1.0;  // arc_tangent's sense
    t.v = {-dir * ry, dir * rx, 0.0};
    t.scale = turn_scale::tangent;
    return true;
}

// Both tangents of the arc that starts at entry s, as arc_turn_directions finds them, when its
// chord has a length (element_directions' test); answers the kFound* bits. Out of line: the
// lines' path through the fold check stays as short as it was.
[[gnu::noinline]] int arc_turn_directions(const pokarr& a, int s, turn_direction& start, turn_direction& end)
{
    const vec ps = point_of(a, s), pe = point_of(a, s + kArcRecordEntries);
    if (no_length(difference(ps, pe))) return 0;
    int found = 0;
    if (arc_turn_direction(a, s, ps, start)) found |= kFoundStart;
    if (arc_turn_direction(a, s, pe, end)) found |= kFoundEnd;
    return found;
}

// Both directions of the element that starts at entry s (an arc record when `arc`), as
// element_directions finds them, but a line's chord and an arc's tangents are left undivided.
// Answers the kFound* bits.
[[gnu::always_inline]] inline int turn_directions(const pokarr& a, int s, bool arc, turn_direction& start,
                                                  turn_direction& end)
{
    if (arc) return arc_turn_directions(a, s, start, end);
    const vec ps = point_of(a, s), pe = point_of(a, s + 1);
    const vec d = difference(ps, pe);
    // unit_chord's test: a chord without length gives no direction.
    if (no_length(d)) return 0;
    start = end = {d, turn_scale::chord};
    return kFoundStart | kFoundEnd | kFoundLine;
}

// Whether the turn from direction a to direction b keeps a cosine of at least the (negative)
// limit. A finite dot of at least zero before the divisions is a dot of the unit vectors above
// -1e-14 (the rounding of the divisions and the sums), far above any corner limit: the unit
// vectors are then left unmade. (An undivided direction is a line's chord, a coordinate of it
// at least the value tolerance, or an arc's tangent, one at least kLeastUndivided: no product
// underflows far enough to matter.)
constexpr double kLeastCornerLimit = -1.0e-6;
[[gnu::always_inline]] inline bool turn_passes(const turn_direction& a, const turn_direction& b, double limit)
{
    const double raw = dot(a.v, b.v);
    if (limit < kLeastCornerLimit && raw >= 0.0 && raw <= std::numeric_limits<double>::max()) return true;
    return dot(unit_of(a), unit_of(b)) >= limit;
}

// Walks the elements from entry k, where one starts, to entry end, where one ends: true when every
// element has both its directions and no turn between two of them is below the limit. `first`
// gets the start direction of the first element, `last` the end direction of the last, `walked`
// the start of the last (all three are left as they were when there is none). Each element's
// directions are found once.
[[gnu::always_inline]] inline bool turns_pass(const pokarr& a, int k, int end, double limit, turn_direction& first,
                                              turn_direction& last, int& walked)
{
    constexpr int kBoth = kFoundStart | kFoundEnd;
    const int from = k;
    turn_direction start, finish;
    while (k < end) {
        const int step = step_at(a, k);
        const int j = k + step;
        if (j > end) return false;
        if ((turn_directions(a, k, step == kArcRecordEntries, start, finish) & kBoth) != kBoth) return false;
        if (k == from)
            first = start;
        else if (!turn_passes(last, start, limit))
            return false;
        last = finish;
        walked = k;
        k = j;
    }
    return true;
}

// Whether some join of the loop may fold: every treatment of a join pass starts from a turn whose
// cosine (end direction of one element . start direction of the next) is below the limit. False
// only when every element has both its directions (a missing one would leave a stale one in the
// pass) and no turn is below the limit: the join passes then pass every join over. The turn into
// the first element is tested last, from the end direction of the element that ends the loop.
bool may_fold(const pokarr& a, double limit)
{
    const int last_start = start_of_element_ending(a, 0);
    if (last_start < 0) return true;
    turn_direction first, before, start;
    int walked = -1;  // start of the last element walked
    if (!turns_pass(a, 0, a.count - 1, limit, first, before, walked)) return true;
    // The walk ends on the loop's last element unless its records are damaged.
    if (walked != last_start &&
        (turn_directions(a, last_start, is_arc_at(a, last_start), start, before) & kFoundEnd) == 0)
        return true;
    return walked >= 0 && !turn_passes(before, first, limit);
}

void join_pass(pokarr& a, const join_settings& js)
{
    if (pass_skipped(a)) return;
    const int protected_mid = (a.count - 1) / 2;
    vec d;
    {
        const int last_start = start_of_element_ending(a, 0);
        if (last_start >= 0) element_directions(a, last_start, nullptr, &d);
    }
    vec r = point_of(a, 0);
    vec e1_start, e1_end, e2_start;
    // A join passed over leaves the array as it was: when E2's start direction was found, it
    // (e2_start) is the start direction of the next E1, which starts at `carried`, and when E2 was
    // a line with length, its end direction too.
    int carried = -1;
    bool carried_line = false;
    // Every treatment removes entries; the bound only guards against a treatment that cannot.
    long budget = 4L * a.count + 16;
    int k = 0;
    while (k < a.count - 1 && budget-- > 0) {
        const int step = step_at(a, k);
        const int j = k + step;
        if (j >= a.count) break;
        const bool wrap = j == a.count - 1;
        const int e2 = wrap ? 0 : j;
        const int e2_end = e2 + step_at(a, e2);
        if (e2_end >= a.count) break;
        if (k != carried)
            element_directions(a, k, &e1_start, &e1_end);
        else if (carried_line)
            e1_start = e1_end = e2_start;
        else
            e1_start = e2_start, element_directions(a, k, nullptr, &e1_end);
        const int e2_found = element_directions(a, e2, &e2_start, nullptr);
        carried = -1;

        bool spike = false;
        const bool lines = !is_arc_at(a, k) && !is_arc_at(a, e2);
        const double f = forward_measure(a, d, r, e2_end, spike, lines);
        const double g = dot(d, e2_start);
        const vec pj = point_of(a, j);
        auto go_on = [&]() {
            d = e1_end;
            r = pj;
            k = j;
            if ((e2_found & kFoundStart) != 0 && !wrap) carried = j, carried_line = (e2_found & kFoundLine) != 0;
        };
        if (js.protect && (k == 0 || k == protected_mid)) {
            go_on();
            continue;
        }
        const double cos1 = dot(d, e1_start);
        const double cos2 = dot(e1_end, e2_start);
        vec u;
        double ell = 0.0;
        unit_chord(pj, point_of(a, k), u, &ell);
        const double h = std::max(std::fabs(cross_z(u, d)) * ell, std::fabs(cross_z(u, e2_start)) * ell);
        const bool both = cos1 < js.limit && cos2 < js.limit && h < kZigzagFactor * js.w;
        const bool one =
            ((cos1 < js.limit && cos2 < kFoldCosine) || (cos2 < js.limit && cos1 < kFoldCosine)) && h < js.w;
        if (!(f > 0.0 && g > 0.0 && (both || one))) {
            go_on();
            continue;
        }
        const double s1 = cross_z(d, e1_start);
        const double s2 = cross_z(e1_end, e2_start);
        if (eqvl0d(s1) || eqvl0d(s2) || spike || s1 * s2 < 0.0) {
            r = pj;
            treatment_a(a, k, j, js.join_reach);
            continue;
        }
        if (js.planar) {
            go_on();
            continue;
        }
        if (treatment_b(a, k, j)) {
            d = e1_end;
            r = pj;
            k += 1;
            continue;
        }
        r = pj;
        treatment_a(a, k, j, js.join_reach);
    }
}

// Whether an arc record among the entries from `from` to `to` (whole elements) is flat enough for
// pokarr_tidy_pass2 to make it a line: the pass runs on a copy of them, as its test of a record
// reads only the record and the point before it. A range longer than the copy holds answers true.
bool flat_arc_between(const pokarr& a, int from, int to)
{
    constexpr int kMostEntries = 64;
    const int n = to - from + 1;
    if (n > kMostEntries) return true;
    double x[kMostEntries], y[kMostEntries];
    std::copy(a.x + from, a.x + to + 1, x);
    std::copy(a.y + from, a.y + to + 1, y);
    pokarr copy;
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, n, n, copy, status);
    if (status != 0) return true;
    pokarr_tidy_pass2(copy);
    return copy.count != n;
}

// Whether a line among the elements from entry `from` to entry `to` is short for the short-line
// pass.
bool short_line_between(const pokarr& a, int from, int to, double reach)
{
    for (int k = from; k < to; k += step_at(a, k))
        if (!is_arc_at(a, k) && short_line(a, k + 1, reach)) return true;
    return false;
}

struct clean_settings {
    bool planar;
    double reach;  // of the short-line pass
    double limit;  // the corner limit
};

clean_settings settings_of(int mode_a, double w)
{
    const bool planar = pocket_state_block.pocket_dimension == 2;
    return {planar, planar ? std::max(kReachFactor * w, kReachFloor) : kSurfaceReach,
            mode_a == kJoinsStrict || mode_a == kJoinsNoShortPass ? kLimitStrict : kLimitSharp};
}

}  // namespace

bool pokarr_clean_joins_untouched(int mode_a, int mode_b, double& w, pokarr& array)
{
    if (array.dimension < 2 || array.dimension > 4 || array.count < 2) return false;
    const int count = array.count;
    const clean_settings cs = settings_of(mode_a, w);
    if (cs.planar && array.dimension == 2) pokarr_tidy_pass2(array);
    if (mode_a != kJoinsNoShortPass && array.count >= 2) drop_short_lines(array, cs.reach);
    const join_settings js{cs.limit, w, cs.planar, mode_b != 0, std::max(kJoinReachFactor * w, kReachFloor)};
    // A pass that finds no fold changes nothing, and the next one finds the same.
    const bool walked = !pass_skipped(array);
    const bool folds = walked && may_fold(array, cs.limit);
    if (folds)
        for (int pass = 0; pass < kJoinPasses; ++pass) join_pass(array, js);
    pokarr_drop_short(array);
    // Every step either leaves the loop as it is or takes entries out of it.
    return walked && !folds && array.count == count;
}

void pokarr_clean_joins(int mode_a, int mode_b, double& w, pokarr& array)
{
    pokarr_clean_joins_untouched(mode_a, mode_b, w, array);
}

bool pokarr_clean_joins_idle_between(int mode_a, double w, const pokarr& array, int from, int to)
{
    if (array.dimension < 2 || array.dimension > 4 || from < 0 || to >= array.count || from >= to) return false;
    const clean_settings cs = settings_of(mode_a, w);
    if (cs.planar && array.dimension == 2 && flat_arc_between(array, from, to)) return false;
    if (mode_a != kJoinsNoShortPass && short_line_between(array, from, to, cs.reach)) return false;
    turn_direction first, last;
    int walked = -1;
    return turns_pass(array, from, to, cs.limit, first, last, walked) &&
           pokarr_drop_short_idle_between(array, from, to);
}

// Removal of redundant points. One compacting pass over the points: a point between two neighbours goes
// when it doubles the previous point, when the path runs straight through it, or (planar arrays)
// when it lies on the chord of its neighbours; in a planar pocket the points removed since the
// last kept one must also stay near the new chord, so a slow drift is not thinned away.
#include "pocket_arrays/pokarr_drop_redundant.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/pk_vector.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Shorter vectors than this have no direction: their point doubles its neighbour.
constexpr double kDuplicateLength = 1.0e-6;
// Planar limits: sine of a straight run, distance from a chord. Surfaces use 1e-6 for both.
constexpr double kPlanarSine = 0.0005;
constexpr double kPlanarDeviation = 0.0001;
constexpr double kSurfaceLimit = 1.0e-6;
// Straight runs longer than big on both sides keep their points unless they lie on the chord:
// big is max(kBigFactor x max(side step, extra offset), kBigMinimum).
constexpr double kBigFactor = 10.0;
constexpr double kBigMinimum = 50.0;
// The pending check's hull answers only this share clear of the limit, far above the rounding
// of the full check's arithmetic, so that it never answers otherwise than the full check.
constexpr double kHullMargin = 1.0e-9;
// Last and first arc: records agreeing within this are one circle; joined while their ends lie
// within 60 degrees.
constexpr double kArcAgreement = 0.001;
constexpr double kArcJoinCosine = 0.5;

struct limits {
    bool planar;
    double sine;
    double deviation;
    double big;
};

limits current_limits()
{
    const bool planar = pocket_state_block.pocket_dimension == 2;
    const double step = std::max(pocket_work_block.side_step, pocket_work_block.extra_offset);
    return {planar, planar ? kPlanarSine : kSurfaceLimit, planar ? kPlanarDeviation : kSurfaceLimit,
            std::max(kBigFactor * step, kBigMinimum)};
}

struct vec3 {
    double v[3] = {0.0, 0.0, 0.0};
};

// An entry's coordinates, read once for the three differences of the point test; z is 0.0 when
// not asked for or absent.
struct point3 {
    double x, y, z;
};

[[gnu::always_inline]] inline point3 point_at(const pokarr& a, int i, bool with_z)
{
    return {a.x[i], a.y[i], with_z && a.z != nullptr ? a.z[i] : 0.0};
}

// to - from; z only when asked.
[[gnu::always_inline]] inline vec3 difference(const point3& to, const point3& from, bool with_z)
{
    vec3 d;
    d.v[0] = to.x - from.x;
    d.v[1] = to.y - from.y;
    if (with_z) d.v[2] = to.z - from.z;
    return d;
}

// The vector arithmetic of the point test, inline: the pass runs it for every point of every
// offset, where a host call per product cost more than the products. Each is the host's
// routine's arithmetic in the host's order (v2crsd, v3crsd, v3dotd, v3untd), so it answers the
// same bits.
double dot3(const vec3& a, const vec3& b) { return pk_dot3(a.v, b.v); }

// |a x b| of unit vectors; planar unless with_z.
double cross_size(const vec3& a, const vec3& b, bool with_z)
{
    if (!with_z) return std::fabs(a.v[0] * b.v[1] - a.v[1] * b.v[0]);
    vec3 c;
    c.v[0] = a.v[1] * b.v[2] - a.v[2] * b.v[1];
    c.v[1] = a.v[2] * b.v[0] - a.v[0] * b.v[2];
    c.v[2] = a.v[0] * b.v[1] - a.v[1] * b.v[0];
    return std::sqrt(dot3(c, c));
}

// Length of a vector as the host's v3untd takes it.
[[gnu::always_inline]] inline double length_of(const vec3& a) { return std::sqrt(dot3(a, a)); }

// Whether a vector of this length has a direction that is not a duplicate step (the host's
// tolerance and the duplicate length, both checked by the full test).
bool has_direction(double length) { return length > vantu::kDoubleTolerance && length >= kDuplicateLength; }

// Divides a vector by its length, component by component as v3untd does.
[[gnu::always_inline]] inline void normalise(vec3& a, double length)
{
    for (double& c : a.v) c /= length;
}

// Whether the point test's dot product of the two unit vectors is surely not positive, read from
// the vectors before they are normalised: a dot below the margin times the lengths stays negative
// through the rounding of the normalisation (some 1e-15 of the lengths), and a product of which
// every term has a zero factor is a zero after it too. Corners that turn a right angle or more,
// the common case, are then kept without the divisions. Lengths beyond kTurnRange (never a
// pocket's) go the full way, so that nothing overflows here.
constexpr double kTurnMargin = 1.0e-12;
constexpr double kTurnRange = 1.0e100;
// Without z both vectors keep the 0.0 z of a new vec3, a zero term already.
[[gnu::always_inline]] inline bool surely_turns_back(const vec3& a, const vec3& b, double la, double lb, bool with_z)
{
    if (!(la < kTurnRange && lb < kTurnRange)) return false;
    const auto zero_term = [&](int k) { return a.v[k] == 0.0 || b.v[k] == 0.0; };
    return (zero_term(0) && zero_term(1) && (!with_z || zero_term(2))) || dot3(a, b) < -kTurnMargin * la * lb;
}

enum class verdict { keep, redundant, duplicate };

// A step between two entries (to - from, z as the test takes it) and its length: the step after
// a point the main pass kept is the step before the next point it judges.
struct step_vector {
    vec3 v;
    double length = 0.0;
    bool known = false;
};

// Steps 3 to 5 of the point test: the point `mid` between `before` and `after`. z enters A and B
// under with_z_ab and K under with_z_k. The unit chord is written once the point has passed the
// turn test; the pending check reads it for a redundant point. `step` may hold the step from
// before to mid (the same arithmetic, so the same bits); it comes back with the step from mid to
// after when that was measured. Inlined into both callers: it runs for every point of every
// offset.
[[gnu::always_inline]] inline verdict judge(const pokarr& a, int before, int mid, int after, bool with_z_ab,
                                            bool with_z_k, const limits& lim, vec3& chord, step_vector& step)
{
    const bool with_z = with_z_ab || with_z_k;
    const point3 pm = point_at(a, mid, with_z), pa = point_at(a, after, with_z);
    vec3 va;
    double l1 = 0.0;
    if (step.known) {
        va = step.v, l1 = step.length;
    } else {
        va = difference(pm, point_at(a, before, with_z), with_z_ab);
        l1 = length_of(va);
    }
    step.known = false;
    if (!has_direction(l1)) return verdict::duplicate;
    vec3 vb = difference(pa, pm, with_z_ab);
    const double l2 = length_of(vb);
    step = {vb, l2, true};
    // Either of these keeps the point; the turn is known before the chord is measured.
    if (!has_direction(l2) || surely_turns_back(va, vb, l1, l2, with_z_ab)) return verdict::keep;
    const point3 pb = point_at(a, before, with_z);
    vec3 vk = difference(pa, pb, with_z_k);
    const double lk = length_of(vk);
    if (!has_direction(lk)) return verdict::keep;
    normalise(va, l1);
    normalise(vb, l2);
    normalise(vk, lk);
    if (dot3(va, vb) <= 0.0) return verdict::keep;
    const double sine = cross_size(va, vb, with_z_ab);
    const double deviation = cross_size(va, vk, with_z) * l1;
    chord = vk;
    if (sine < lim.sine && (l1 <= lim.big || l2 <= lim.big)) return verdict::redundant;
    if (a.dimension == 2 && deviation < lim.deviation) return verdict::redundant;
    return verdict::keep;
}

// Whether a pending point lies off the new chord from entry `from` (unit chord given).
bool pending_strays(const pokarr& pending, const pokarr& a, int from, const vec3& chord, double deviation)
{
    for (int k = 0; k < pending.count; ++k) {
        vec3 q;
        q.v[0] = pending.x[k] - a.x[from];
        q.v[1] = pending.y[k] - a.y[from];
        double length = 0.0;
        int status = 0;
        v2untd(q.v, length, status);
        if (status != 0) continue;
        if (std::fabs(v2crsd(chord.v, q.v)) * length >= deviation) return true;
    }
    return false;
}

// The convex hull of the pending points (taken from the last kept point), kept as an upper and a
// lower chain along the run's first direction, so that the pending check learns the farthest
// pending point on either side of a chord by two binary searches instead of a loop over the run.
// The points of a run go forward along it; one that comes back leaves the hull unordered and the
// full check runs for the rest of the run.
class pending_hull {
public:
    // Empties the hull; its points are taken from the kept point (ox, oy).
    void reset(double ox, double oy)
    {
        ordered_ = true;
        axis_ = false;
        ox_ = ox, oy_ = oy;
        upper_.clear();
        lower_.clear();
    }
    void add(double x, double y)
    {
        const double vx = x - ox_, vy = y - oy_;
        const double length = std::hypot(vx, vy);
        if (!(length > 0.0)) return;  // the kept point itself lies on every chord
        if (!axis_) {
            axis_ = true;
            ax_ = vx / length, ay_ = vy / length;
        }
        const point p{ax_ * vx + ay_ * vy, ax_ * vy - ay_ * vx};
        if (!upper_.empty() && p.t < upper_.back().t) ordered_ = false;
        if (!ordered_) return;
        push(upper_, p, 1.0);
        push(lower_, p, -1.0);
    }
    // The largest and the smallest (c x v) over the pending points v taken from the point
    // (ox, oy) for the unit chord c; false when the hull cannot tell (its points were taken from
    // another point, as after an arc record within a run; unordered; or the chord turned a right
    // angle from the run).
    bool extremes(double ox, double oy, double cx, double cy, double& largest, double& smallest) const
    {
        largest = smallest = 0.0;
        if (!ordered_ || ox != ox_ || oy != oy_) return false;
        if (!axis_) return true;
        // The normal n = (-cy, cx) of the chord in the hull's frame (t along the axis, s across).
        const double nt = ax_ * -cy + ay_ * cx, ns = ax_ * cx + ay_ * cy;
        if (!(ns > 0.0)) return false;
        largest = farthest(upper_, nt, ns);
        smallest = -farthest(lower_, -nt, -ns);
        return true;
    }

private:
    struct point {
        double t, s;
    };
    static double turn(const point& o, const point& a, const point& b)
    {
        return (a.t - o.t) * (b.s - o.s) - (a.s - o.s) * (b.t - o.t);
    }
    // Andrew's chain: the upper one keeps right turns (side 1), the lower one left turns (-1).
    static void push(std::vector<point>& chain, const point& p, double side)
    {
        while (chain.size() >= 2 && side * turn(chain[chain.size() - 2], chain.back(), p) >= 0.0) chain.pop_back();
        chain.push_back(p);
    }
    // The largest n . p over a chain whose edges turn away from n (the upper chain for an upward
    // n, the lower one for a downward n): n . edge falls from positive to negative along it, so a
    // binary search finds the top.
    static double farthest(const std::vector<point>& chain, double nt, double ns)
    {
        std::size_t lo = 0, hi = chain.size() - 1;
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            const double rise = nt * (chain[mid + 1].t - chain[mid].t) + ns * (chain[mid + 1].s - chain[mid].s);
            if (rise > 0.0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return nt * chain[lo].t + ns * chain[lo].s;
    }

    bool ordered_ = true;
    bool axis_ = false;
    double ox_ = 0.0, oy_ = 0.0;
    double ax_ = 1.0, ay_ = 0.0;
    std::vector<point> upper_, lower_;
};

// The pending check: whether a pending point lies off the chord from entry `from` by the
// deviation or more. The hull answers where its answer is clear of the limit by far more than
// rounding; at the limit, and when it cannot tell, the loop over the points decides.
bool pending_off_chord(const pending_hull& hull, const pokarr& pending, const pokarr& a, int from, const vec3& chord,
                       double deviation)
{
    double largest = 0.0, smallest = 0.0;
    if (hull.extremes(a.x[from], a.y[from], chord.v[0], chord.v[1], largest, smallest)) {
        const double farthest = std::max(largest, -smallest);
        if (farthest < deviation * (1.0 - kHullMargin)) return false;
        if (farthest > deviation * (1.0 + kHullMargin)) return true;
    }
    return pending_strays(pending, a, from, chord, deviation);
}

// One pass that compacts the array as it goes: entries before `kept` are the result so far and
// entries from `next` on are not yet read, so a removed point costs nothing and the point under
// test sits between the last kept point (kept - 1) and the next unread one (next + 1). Answers
// whether it met an arc marker (without one it read every entry from the first on).
bool main_pass(pokarr& a, bool with_z, const limits& lim, pokarr& pending)
{
    const int n = a.count;
    if (n < 2) return true;
    bool arcs = false;
    int kept = 1, next = 1;
    bool removed_last = false;
    // Made when the first run of removed points starts (most loops have none).
    std::optional<pending_hull> hull;
    // The step from the last kept point to the point under test, known after a kept point.
    step_vector step;
    // Copies `entries` entries (fewer at the end) unchanged; before the first removal they are
    // already in place.
    auto keep = [&](int entries) {
        const int end = std::min(next + entries, n);
        if (kept == next) {
            kept = next = std::max(next, end);
            return;
        }
        for (; next < end; ++next, ++kept) pokarr_copy_entry(a, next, kept);
    };
    while (next < n - 1) {
        if (pk_is_marker(a.x[next])) {
            arcs = true;
            step.known = false;
            keep(kArcRecordEntries);
            continue;
        }
        if (pk_is_marker(a.x[next + 1])) {
            arcs = true;
            step.known = false;
            keep(kArcRecordEntries + 1);
            continue;
        }
        vec3 chord;
        verdict v = judge(a, kept - 1, next, next + 1, with_z, with_z, lim, chord, step);
        // Stays within the planar pending check: the removed run must hug the new chord.
        if (v == verdict::redundant && lim.planar && removed_last &&
            pending_off_chord(*hull, pending, a, kept - 1, chord, lim.deviation))
            v = verdict::keep;
        if (v == verdict::keep) {
            pending.count = 0;
            removed_last = false;
            keep(1);
            continue;
        }
        // The next point is judged from the same kept point: its step is measured anew.
        step.known = false;
        // A run of removed points starts: its pending points are taken from the last kept one.
        if (!removed_last) {
            pending.count = 0;
            if (!hull) hull.emplace();
            hull->reset(a.x[kept - 1], a.y[kept - 1]);
        }
        if (lim.planar) {
            int status = 0;
            const double z = a.z != nullptr ? a.z[next] : 0.0;
            pokarr_add_xyz(a.x[next], &a.y[next], &z, nullptr, pending, status);
            if (status == 0) hull->add(a.x[next], a.y[next]);
        }
        ++next;
        removed_last = true;
    }
    keep(n - next);
    a.count = kept;
    return arcs;
}

// Joins a last and a first arc of one circle across the closing point; true when joined.
bool join_end_arcs(pokarr& a)
{
    const int n = a.count;
    if (n <= 9 || !pk_is_marker(a.x[1]) || !pk_is_marker(a.x[n - 4])) return false;
    const double first[3] = {a.x[0], a.y[0], a.z != nullptr ? a.z[0] : 0.0};
    const double last[3] = {a.x[n - 1], a.y[n - 1], a.z != nullptr ? a.z[n - 1] : 0.0};
    if (!eqptd(3, first, last)) return false;
    const int m = n - 4;  // marker of the last arc
    if (std::fabs(a.x[2] - a.x[m + 1]) > kArcAgreement || std::fabs(a.y[2] - a.y[m + 1]) > kArcAgreement ||
        std::fabs(a.x[3] - a.x[m + 2]) > kArcAgreement || std::fabs(a.y[3] - a.y[m + 2]) > kArcAgreement)
        return false;
    vec3 va, vb;
    va.v[0] = a.x[m - 1] - a.x[3], va.v[1] = a.y[m - 1] - a.y[3];
    vb.v[0] = a.x[4] - a.x[3], vb.v[1] = a.y[4] - a.y[3];
    double la = 0.0, lb = 0.0;
    int sa = 0, sb = 0;
    v2untd(va.v, la, sa);
    v2untd(vb.v, lb, sb);
    if (sa != 0 || sb != 0) return false;
    double s = v2crsd(va.v, vb.v);
    if (a.y[2] < 0.0) s = -s;
    if (!gevl0d(s) || !(v2dotd(va.v, vb.v) > kArcJoinCosine)) return false;
    a.x[0] = a.x[m - 1];
    a.y[0] = a.y[m - 1];
    if (a.z != nullptr) a.z[0] = a.z[m - 1];
    a.count -= kArcRecordEntries;
    return true;
}

// The closing point between the last-but-one point and the second point.
void closing_point(pokarr& a, int z_flag, const limits& lim)
{
    const int n = a.count;
    if (n < 3 || pk_is_marker(a.x[1]) || (n > 4 && pk_is_marker(a.x[n - 4]))) return;
    vec3 chord;
    step_vector step;
    const bool has_z = a.z != nullptr;
    const verdict v = judge(a, n - 2, 0, 1, has_z, has_z && z_flag != 0, lim, chord, step);
    if (v == verdict::keep) return;
    a.x[0] = a.x[n - 2];
    a.y[0] = a.y[n - 2];
    if (has_z) a.z[0] = a.z[n - 2];
    if (a.n != nullptr)
        for (int k = 0; k < 3; ++k) a.n[k] = a.n[3L * (n - 2) + k];
    --a.count;
}

}  // namespace

void pokarr_drop_redundant(int& closed, int z_flag, pokarr& array)
{
    if (array.dimension < 2 || array.dimension > 4) return;
    const limits lim = current_limits();
    const bool with_z = z_flag != 0 && array.z != nullptr;
    // The pending points: an empty array (what pokarr_init makes) that takes memory only when a
    // planar pass removes a point; it is given back only then.
    pokarr pending;
    pending.dimension = array.dimension == 2 ? 2 : 3;
    // Without arc markers nothing below makes one, and there are no arcs to merge.
    const bool arcs = array.count < 3 || main_pass(array, with_z, lim, pending);
    const bool joined = join_end_arcs(array);
    if (!joined && closed != 0) closing_point(array, z_flag, lim);
    if (arcs) pokarr_merge_arcs(array);
    if (pending.kind != kPokarrEmpty) pokarr_free(pending);
}

void xy_drop_redundant(int& closed, double* x, double* y, int& count)
{
    if (x == nullptr || y == nullptr || count < 1) return;
    pokarr a;
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, count, count, a, status);
    if (status < 0) return;
    pokarr_drop_redundant(closed, 0, a);
    count = a.count;
}

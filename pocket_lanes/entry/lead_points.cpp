// Lead points at lane ends: the lane's end, tangent and side, the straight and the arc lead with
// their tests, the two-sided choice for open islands, and the fallback along a closed lane.
#include "pocket_lanes/entry/lead_points.hpp"

#include "host/vantu.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/entry/lead_arcs.hpp"
#include "pocket_lanes/entry/lead_lane_checks.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "pocket_lanes/moves/vec2_perp.hpp"
#include "toolpath/updown_buffers.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kStraightLead = 1, kArcLead = 2;
constexpr int kWholeOffsets = 1;
constexpr int kOpenIslandType = 3, kStockContour = 2;
constexpr int kLive = 1;
constexpr int kSurfaceCodeA = 34, kSurfaceCodeB = 38;
constexpr int kStartFindingRun = 10;
// Reach and tangent walk.
constexpr double kLeastReachShare = 0.2;
constexpr double kTangentWalk = 0.005;
// Probes of the straight lead's side test, of the link reductions and of the arc.
constexpr double kNearProbe = 0.1, kFarProbe = 0.2;
constexpr int kLinkReductions = 10;
constexpr double kLinkReductionStep = 0.1;
constexpr double kFirstProbe = 0.01;
constexpr int kProbeAdjustments = 2;
constexpr double kShortenedArcShare = 0.9;
constexpr double kBisectionShare = 0.25;
constexpr int kBisectionSteps = 64;
constexpr double kPerCent = 100.0;

// A pocket array that gives its block back when it goes out of scope.
struct work_array {
    pokarr a;
    work_array() { pokarr_init(2, a); }
    ~work_array() { pokarr_free(a); }
    work_array(const work_array&) = delete;
    work_array& operator=(const work_array&) = delete;
};

// What the lane gives both sides of a lead.
struct lead_frame {
    int island_mode = 0;
    int lane = 0;      // |lane number|
    bool out = false;  // lead-out
    int entry_mode = 0;
    bool follower = false;  // lead-out: a lane follows whose start is `follower_start`
    double follower_start[2] = {0.0, 0.0};
    std::vector<double> x, y;
    pokarr own;  // the lane (static over x, y)
    work_array ring;
    pokarr* test = nullptr;          // the test array A
    bool closed = false;             // of A
    int orientation = 0;             // of A
    double end[2] = {0.0, 0.0};      // the lane end E0
    double tangent[2] = {0.0, 0.0};  // the lane's cutting direction at E0
    double reach = 0.0;
    double tolerance = 0.0;
    double tool[2] = {0.0, 0.0};
    double length = 0.0;  // the lead value of the active mode
};

struct lead_answer {
    double lead[2] = {0.0, 0.0};
    double centre[2] = {0.0, 0.0};
    double direction = 1.0;
    int shortened = 0;
    int status = 0;
};

void copy2(const double* from, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
}

bool same_place(const double* a, const double* b) { return eqptd(2, a, b) != 0; }

bool unit_of(const double* from, const double* to, double* u)
{
    double length = 0.0;
    int status = 0;
    v2subd(to, from, u);
    v2untd(u, length, status);
    return status >= 0;
}

void refuse(const lead_frame& f, lead_answer& a, int shortened)
{
    copy2(f.end, a.lead);
    a.status = kNoUsableLead;
    a.shortened = shortened;
}

double lead_value(bool out)
{
    const pocket_state& ps = pocket_state_block;
    if (ps.lead_mode == kArcLead) return ps.lead_values[0];
    if (ps.lead_mode == kStraightLead) return ps.lead_values[out ? 2 : 1];
    return 0.0;
}

// The reach r of the probes: the extra offset or the tool radius, at least a fifth of the
// tolerance; with offsets not one per contour, the larger (lead-in) or smaller (lead-out) of it and
// the side step.
double lead_reach(bool out)
{
    const pocket_work& pw = pocket_work_block;
    double r = pw.extra_offset;
    if (r == 0.0) r = pw.tool_radius;
    r = std::max(r, kLeastReachShare * pw.tolerance);
    if (pocket_state_block.offsets_mode != kWholeOffsets)
        r = out ? std::min(pw.side_step, r) : std::max(pw.side_step, r);
    return r;
}

bool is_marker_at(const lead_frame& f, int i)
{
    return i >= 0 && i < static_cast<int>(f.x.size()) && pk_is_marker(f.x[static_cast<std::size_t>(i)]);
}

// The arc's tangent in its sense at p (centre c, sense from the record's direction word).
bool arc_tangent(double sense, const double* c, const double* p, double* t)
{
    double r[2];
    if (!unit_of(c, p, r)) return false;
    vec2_perp(sense < 0.0 ? 0 : 1, r, t);
    return true;
}

// The cutting direction at the lane end: along the lane from P0 while the points passed stay
// within kTangentWalk (never past an arc or the last but one point), or the arc's tangent.
bool lane_tangent(lead_frame& f)
{
    const int n = static_cast<int>(f.x.size());
    auto at = [&](int i) {
        return std::array<double, 2>{f.x[static_cast<std::size_t>(i)], f.y[static_cast<std::size_t>(i)]};
    };
    if (!f.out) {
        if (is_marker_at(f, 1)) {
            const auto rec = at(2), c = at(3), p = at(0);
            return arc_tangent(rec[1], c.data(), p.data(), f.tangent);
        }
        int k = 1;
        double sum = distd(2, at(0).data(), at(1).data());
        while (sum < kTangentWalk && k + 1 < n - 1 && !is_marker_at(f, k + 1)) {
            ++k;
            sum += distd(2, at(0).data(), at(k).data());
        }
        return unit_of(at(0).data(), at(k).data(), f.tangent);
    }
    if (is_marker_at(f, n - 4)) {
        const auto rec = at(n - 3), c = at(n - 2), p = at(n - 1);
        return arc_tangent(rec[1], c.data(), p.data(), f.tangent);
    }
    int k = n - 2;
    double sum = distd(2, at(n - 1).data(), at(k).data());
    // Walking back stops at an arc's end point (its record lies behind it) and at the second point.
    while (sum < kTangentWalk && k - 1 > 0 && !is_marker_at(f, k - 3) && !is_marker_at(f, k - 1)) {
        --k;
        sum += distd(2, at(n - 1).data(), at(k).data());
    }
    return unit_of(at(k).data(), at(n - 1).data(), f.tangent);
}

// The linking move that must stay clear of the lanes ends at `target`: from the tool position
// (lead-in, straight) or the next lane's start (lead-out). True when it crosses a lane.
bool link_crosses(const lead_frame& f, const double* from, const double* target, int& status)
{
    double point[2];
    int hit = 0;
    segment_lane_crossing(f.island_mode, f.lane, from, target, status, point, hit);
    return status == 0 && hit != 0;
}

// The lead-in's or lead-out's linking move start; false when none is tested.
bool link_start(const lead_frame& f, bool arc, double* from)
{
    if (f.entry_mode == kEntryModeNoLinkTest) return false;
    if (f.out) {
        if (!f.follower) return false;
        copy2(f.follower_start, from);
        return true;
    }
    if (arc && point_mover().level_drawn == 0) return false;
    copy2(f.tool, from);
    return true;
}

// The part-surface clip of the NC functions that carry part surfaces (34 and 38; not in the
// start-finding run for a lead-in). True when no lead remains.
bool part_clip(const lead_frame& f, int sense, double radius, const double* centre, lead_answer& a)
{
    const int code = nu_sgcd_get_code();
    if (code != kSurfaceCodeA && code != kSurfaceCodeB) return false;
    if (!f.out && pocket_state_block.drawing_mode == kStartFindingRun) return false;
    int clipped = 0, status = 0;
    lead_clip_to_part(sense, radius, centre, f.end, a.lead, clipped, status);
    if (clipped != 0) a.shortened = 1;
    if (status < 0) {
        a.status = status;
        return true;
    }
    if (status == kNoLeadLeft) {
        refuse(f, a, a.shortened);
        return true;
    }
    return false;
}

// Side test of a point against the test array: conflict on the wrong side, far beyond the
// tolerance. False when the inside test fails.
bool side_of(const lead_frame& f, int side, const double* p, int& conflict, int& far)
{
    int inside = 0, status = 0;
    double distance = 0.0;
    pnt_lane_side_test(f.tolerance, p, *f.test, inside, far, distance, status);
    if (status != 0) return false;
    conflict = side_conflict(f.orientation, inside, side);
    return true;
}

// ---- the straight lead ------------------------------------------------------------------------

void straight_lead(const lead_frame& f, int side, const double* normal, lead_answer& a)
{
    const double d = f.length;
    if (f.closed) {
        for (const double share : {kNearProbe, kFarProbe}) {
            double q[2];
            v2addd(f.end, normal, share * d, q);
            int conflict = 0, far = 0;
            if (!side_of(f, side, q, conflict, far)) {
                a.status = -1;
                return;
            }
            if (conflict != 0 && far != 0) return refuse(f, a, 1);
        }
    }
    double target[2];
    v2addd(f.end, normal, d, target);
    int hit = 0, status = 0;
    segment_lane_crossing(f.island_mode, f.lane, f.end, target, status, a.lead, hit);
    if (status != 0) {
        a.status = -1;
        return;
    }
    if (hit != 0 && same_place(a.lead, f.end)) return refuse(f, a, 0);
    if (hit != 0) a.shortened = 1;
    if (f.closed && !same_place(a.lead, f.end)) {
        const double mid[2] = {0.5 * (a.lead[0] + f.end[0]), 0.5 * (a.lead[1] + f.end[1])};
        int conflict = 0, far = 0;
        if (!side_of(f, side, mid, conflict, far)) {
            a.status = -1;
            return;
        }
        if (conflict != 0) return refuse(f, a, a.shortened);
    }
    const double zero[2] = {0.0, 0.0};
    if (part_clip(f, 0, 0.0, zero, a)) return;
    double from[2];
    if (!link_start(f, false, from)) return;
    const double first[2] = {a.lead[0], a.lead[1]};
    for (int k = 1; link_crosses(f, from, a.lead, status); ++k) {
        if (k > kLinkReductions) {
            copy2(f.end, a.lead);
            a.shortened = 0;
            return;
        }
        const double share = 1.0 - kLinkReductionStep * k;
        a.lead[0] = f.end[0] + share * (first[0] - f.end[0]);
        a.lead[1] = f.end[1] + share * (first[1] - f.end[1]);
        a.shortened = 1;
    }
    if (status != 0) a.status = -1;
}

// ---- the arc lead -----------------------------------------------------------------------------

// The point at parameter t of the arc walked from the lane end to the lead point.
void walk_point(const lead_arc& arc, double t, double* p)
{
    arc_pnt_by_angle(arc.radius, arc.sense, arc.centre[0], arc.centre[1], arc.lane_end[0], arc.lane_end[1], arc.lead[0],
                     arc.lead[1], t, p[0], p[1]);
}

// The closed lane's element at the lane end is an arc of radius at most R centred within R of
// the lead's centre: the lead would run inside it.
bool end_arc_inside_lead(const lead_frame& f, double radius, const double* centre)
{
    const int n = static_cast<int>(f.x.size());
    const int marker = f.out ? n - 4 : 1;
    if (!f.closed || !is_marker_at(f, marker)) return false;
    const double r = std::fabs(f.y[static_cast<std::size_t>(marker + 1)]);
    const double c[2] = {f.x[static_cast<std::size_t>(marker + 2)], f.y[static_cast<std::size_t>(marker + 2)]};
    return r <= radius && distd(2, c, centre) < radius;
}

// The overlap probe test of step "overlap": the linking move to the probe M, and the move from
// the lead point to M. True when blocked.
bool overlap_blocked(const lead_frame& f, const double* lead, int& status)
{
    const int p = pocket_state_block.entry_shift;
    double m[2] = {lead[0], lead[1]};
    double u[2];
    if (p > 0 && unit_of(lead, f.end, u)) v2addd(lead, u, p / kPerCent * distd(2, lead, f.end), m);
    double from[2];
    const bool linking = link_start(f, true, from) && link_crosses(f, from, m, status);
    if (status != 0) return false;
    const bool own = p > 0 && link_crosses(f, lead, m, status);
    if (status != 0) return false;
    return linking || own;
}

// Tests the arc against every live offset lane; false when the lead was refused or a test failed.
bool arc_lane_tests(const lead_frame& f, int marked, double q, const double* probe, lead_arc& arc, lead_answer& a)
{
    const lane_table& lt = lane_table_block;
    double best = kNoLeadCrossing;
    int own_ring = f.lane;
    lane_ring_first(f.island_mode, own_ring);
    for (int j = 1; j <= lt.count; ++j) {
        if (!lead_tests_lane(f.island_mode, j, false)) continue;
        int flag = 0;
        if (j == f.lane) {
            copy2(probe, arc.start);
            flag = f.closed ? 1 : 0;
            lead_arc_own_lane_check(marked, f.orientation, arc, f.test->x, f.test->y, f.test->count, q, arc.lead, best,
                                    flag);
        } else {
            work_array other;
            int status = 0;
            pokmain_to_arr(1, lt.first[j], lt.first[j + 1], other.a, status);
            if (status != 0) {
                a.status = -1;
                return false;
            }
            bool kin = lt.status[j] == lt.status[f.lane] && lt.level[j] == lt.level[f.lane];
            if (f.out && !f.closed && !kin) {
                int ring = j;
                lane_ring_first(f.island_mode, ring);
                kin = ring == own_ring;
            }
            copy2(kin ? probe : f.end, arc.start);
            lead_arc_lane_check(arc, other.a.x, other.a.y, other.a.count, arc.lead, best, flag);
        }
        if (flag == kArcCheckRefused) {
            refuse(f, a, 1);
            return false;
        }
        if (flag == kArcCheckShortened) a.shortened = 1;
    }
    return true;
}

void arc_lead(const lead_frame& f, int side, const double* normal, lead_answer& a)
{
    const double radius = f.length;
    v2addd(f.end, normal, radius, a.centre);
    v2addd(a.centre, f.tangent, f.out ? radius : -radius, a.lead);
    a.direction = v2crsd(f.tangent, normal) < 0.0 ? -1.0 : 1.0;
    if (end_arc_inside_lead(f, radius, a.centre)) return refuse(f, a, 1);
    lead_arc arc{};
    copy2(a.lead, arc.lead);
    copy2(a.centre, arc.centre);
    copy2(f.end, arc.lane_end);
    copy2(f.end, arc.start);
    arc.radius = radius;
    arc.sense = static_cast<int>(f.out ? a.direction : -a.direction);
    arc.side = side;
    arc.tolerance = f.tolerance;
    // The probe next to the lane end: within the reach, but not within the tolerance.
    double q = kFirstProbe, probe[2];
    walk_point(arc, q, probe);
    for (int k = 0; k < kProbeAdjustments && distd(2, f.end, probe) > f.reach; ++k) {
        q *= 0.1;
        walk_point(arc, q, probe);
    }
    if (distd(2, f.end, probe) < f.tolerance) {
        q *= 10.0;
        walk_point(arc, q, probe);
    }
    int marked = 0;
    if (f.closed) {
        double second[2];
        walk_point(arc, 2.0 * q, second);
        for (const double* p : {static_cast<const double*>(probe), static_cast<const double*>(second)}) {
            int conflict = 0, far = 0;
            if (!side_of(f, side, p, conflict, far)) {
                a.status = -1;
                return;
            }
            if (conflict != 0 && far != 0) return refuse(f, a, 1);
            if (conflict != 0) marked = 1;
        }
    }
    if (!arc_lane_tests(f, marked, q, probe, arc, a)) return;
    copy2(arc.lead, a.lead);
    if (f.closed && a.shortened == 0) {
        int conflict = 0, far = 0;
        if (!side_of(f, side, a.lead, conflict, far)) {
            a.status = -1;
            return;
        }
        if (conflict != 0) return refuse(f, a, 1);
    }
    if (a.shortened != 0) {
        walk_point(arc, kShortenedArcShare, a.lead);
        copy2(a.lead, arc.lead);
    }
    int status = 0;
    if (overlap_blocked(f, a.lead, status)) {
        // Bisection along the arc between the free lane end and the blocked lead point.
        double free_end[2] = {f.end[0], f.end[1]}, blocked[2] = {a.lead[0], a.lead[1]};
        for (int k = 0; k < kBisectionSteps && distd(2, free_end, blocked) >= kBisectionShare * f.reach; ++k) {
            double u1[2], u2[2], mid[2];
            if (!unit_of(a.centre, free_end, u1) || !unit_of(a.centre, blocked, u2)) break;
            mid[0] = u1[0] + u2[0];
            mid[1] = u1[1] + u2[1];
            double length = 0.0;
            int unit = 0;
            v2untd(mid, length, unit);
            if (unit < 0) break;
            const double m[2] = {a.centre[0] + radius * mid[0], a.centre[1] + radius * mid[1]};
            if (overlap_blocked(f, m, status))
                copy2(m, blocked);
            else
                copy2(m, free_end);
            if (status != 0) break;
        }
        copy2(free_end, a.lead);
        a.shortened = 1;
        if (distd(2, f.end, a.lead) <= f.tolerance) return refuse(f, a, 1);
    }
    if (status != 0) {
        a.status = -1;
        return;
    }
    part_clip(f, arc.sense, radius, a.centre, a);
}

// ---- both sides ------------------------------------------------------------------------------

void lead_side(const lead_frame& f, int side, lead_answer& a)
{
    a = lead_answer{};
    copy2(f.end, a.lead);
    double normal[2];
    vec2_perp(side == 1 ? 1 : 0, f.tangent, normal);
    if (pocket_state_block.lead_mode == kStraightLead)
        straight_lead(f, side, normal, a);
    else
        arc_lead(f, side, normal, a);
}

// The lead point a side would have before its tests lies inside a level-1 lane of a stock outer
// contour, or outside an island lane of a stock island: the side is bad.
bool side_is_bad(const lead_frame& f, int side, int& status)
{
    const lane_table& lt = lane_table_block;
    double normal[2], p[2];
    vec2_perp(side == 1 ? 1 : 0, f.tangent, normal);
    if (pocket_state_block.lead_mode == kStraightLead) {
        v2addd(f.end, normal, f.length, p);
    } else {
        double c[2];
        v2addd(f.end, normal, f.length, c);
        v2addd(c, f.tangent, f.out ? f.length : -f.length, p);
    }
    for (int j = 1; j <= lt.count; ++j) {
        if (lt.status[j] != kLive || lt.first[j + 1] <= lt.first[j]) continue;
        const int level = lt.level[j];
        const bool outer = level == 1 && lt.contour_type[1] == kStockContour;
        const int contour = level - kLevelIsland;
        const bool island = contour >= 1 && contour <= kLaneRows && lt.contour_type[contour] == kStockContour;
        if (!outer && !island) continue;
        work_array lane;
        pokmain_to_arr(1, lt.first[j], lt.first[j + 1], lane.a, status);
        if (status != 0) {
            status = -1;
            return false;
        }
        int inside = 0;
        pnt_in_pokarr(p[0], p[1], lane.a, inside, status);
        if (status != 0) {
            status = -1;
            return false;
        }
        if ((outer && inside != 0) || (island && inside == 0)) return true;
    }
    return false;
}

// An island lane of an arc lead must lie inside some closed live outer lane; false when none
// holds its lane end. Status -1 when an inside test fails.
bool island_inside_outer(const lead_frame& f, int& status)
{
    const lane_table& lt = lane_table_block;
    for (int j = 1; j <= lt.count; ++j) {
        if (lt.level[j] >= kLevelSeparator || lt.status[j] != kLive || lt.first[j + 1] <= lt.first[j]) continue;
        work_array outer;
        pokmain_to_arr(1, lt.first[j], lt.first[j + 1], outer.a, status);
        if (status != 0) break;
        const pokarr* loop = &outer.a;
        const double a0[2] = {outer.a.x[0], outer.a.y[0]};
        const double an[2] = {outer.a.x[outer.a.count - 1], outer.a.y[outer.a.count - 1]};
        int found = 0, closed = same_place(a0, an) ? 1 : 0;
        work_array ring;
        if (closed == 0) {
            lane_ring_points(f.island_mode, j, ring.a, found, closed, status);
            if (status != 0) break;
            if (found == 0 || closed == 0) continue;
            loop = &ring.a;
        }
        int inside = 0;
        if (f.island_mode != 0) {
            int far = 0;
            double distance = 0.0;
            pnt_lane_side_test(f.tolerance, f.end, *loop, inside, far, distance, status);
            inside = inside != 0 || far == 0 ? 1 : 0;
        } else {
            pnt_in_pokarr(f.end[0], f.end[1], *loop, inside, status);
        }
        if (status != 0) break;
        if (inside != 0) return true;
    }
    if (status != 0) status = -1;
    return false;
}

// The fallback of a refused straight lead on a closed lane: the lead point on the lane behind
// the lane start (lead-in) or ahead of the lane end (lead-out), at half the neighbouring segment,
// at most the lead length; none when that segment is an arc.
void fallback_along_lane(const lead_frame& f, lead_answer& a)
{
    const int n = static_cast<int>(f.x.size());
    if (n < 3) return;
    const int neighbour = f.out ? 1 : n - 2;
    if (is_marker_at(f, neighbour) || (!f.out && is_marker_at(f, n - 4))) return;
    const double p[2] = {f.x[static_cast<std::size_t>(neighbour)], f.y[static_cast<std::size_t>(neighbour)]};
    double u[2];
    if (!unit_of(f.end, p, u)) return;
    const double half = 0.5 * distd(2, f.end, p);
    v2addd(f.end, u, std::min(half, f.length), a.lead);
    if (half >= f.length) a.shortened = 0;
}

// The kind-3 choice between the two sides: the first side stands when it is whole; otherwise the
// other side is tried and the first restored when it is the better of the two.
void both_sides(const lead_frame& f, lead_answer& a)
{
    const int s = pocket_state_block.direction_sign;
    int status = 0;
    const bool first_bad = side_is_bad(f, s, status);
    if (status != 0) {
        a.status = -1;
        return;
    }
    lead_side(f, s, a);
    if (a.status < 0 || (a.status == kLeadStands && a.shortened == 0)) return;
    const lead_answer first = a;
    const bool second_bad = side_is_bad(f, -s, status);
    if (status != 0) {
        a.status = -1;
        return;
    }
    lead_side(f, -s, a);
    if (a.status < 0) return;
    const bool second_refused = a.status == kNoUsableLead, first_refused = first.status == kNoUsableLead;
    if ((second_bad && !first_bad) || (second_refused && !first_refused) ||
        distd(2, f.end, first.lead) >= distd(2, f.end, a.lead))
        a = first;
}

// Fills the frame from the lane: points, end, test array, orientation, tangent. False when there
// is nothing to lead into (status set).
bool frame_lane(lead_frame& f, int n, const double* points, lead_answer& a)
{
    f.x.resize(static_cast<std::size_t>(n));
    f.y.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        f.x[static_cast<std::size_t>(i)] = points[2 * i];
        f.y[static_cast<std::size_t>(i)] = points[2 * i + 1];
    }
    int status = 0;
    pokarr_init_static(2, f.x.data(), f.y.data(), nullptr, nullptr, n, n, f.own, status);
    const double p0[2] = {f.x[0], f.y[0]};
    const double pn[2] = {f.x[static_cast<std::size_t>(n - 1)], f.y[static_cast<std::size_t>(n - 1)]};
    copy2(f.out ? pn : p0, f.end);
    copy2(f.end, a.lead);
    f.closed = same_place(p0, pn);
    f.test = &f.own;
    if (status != 0) {
        a.status = -1;
        return false;
    }
    return true;
}

void lead_calc(bool out, int island_mode, int lane, int n, const double* points, int& entry_mode, int& shortened,
               double* lead, double* centre, double& direction, int& status)
{
    shortened = 0;
    status = kLeadStands;
    centre[0] = centre[1] = 0.0;
    direction = 1.0;
    if (n < 1 || points == nullptr) {
        status = kNoUsableLead;
        return;
    }
    lead_frame f;
    lead_answer a;
    f.out = out;
    f.island_mode = island_mode;
    f.lane = std::abs(lane);
    f.length = lead_value(out);
    f.tolerance = pocket_work_block.tolerance;
    const lane_table& lt = lane_table_block;
    auto hand_back = [&] {
        copy2(a.lead, lead);
        if (a.status == kLeadStands && pocket_state_block.lead_mode == kArcLead) {
            copy2(a.centre, centre);
            direction = a.direction;
        }
        shortened = a.shortened;
        status = a.status;
    };
    if (out && entry_mode < 1)
        entry_mode = entry_mode < 0 ? -entry_mode : 1;
    else if (out)
        f.follower = true;
    f.entry_mode = entry_mode;
    if (!frame_lane(f, n, points, a) || eqvl0d(f.length) != 0) return hand_back();
    // A lane of one point, or one the lane table does not hold, has nothing to lead along.
    if (n < 2 || f.lane < 1 || f.lane > lt.count) {
        a.status = kNoUsableLead;
        return hand_back();
    }
    f.reach = lead_reach(out);
    const int level = lt.level[f.lane];
    const int contour = level - kLevelIsland;
    const bool kind3 =
        island_mode != 0 && contour >= 1 && contour <= kLaneRows && lt.contour_type[contour] == kOpenIslandType;
    if (pocket_state_block.lead_mode == kArcLead && level > kLevelIsland && !kind3) {
        int inside_status = 0;
        if (!island_inside_outer(f, inside_status)) {
            if (inside_status != 0)
                a.status = -1;
            else
                refuse(f, a, 1);
            return hand_back();
        }
    }
    point3 last{};
    updown_last_point(DSP8().position(), last);
    f.tool[0] = last[0];
    f.tool[1] = last[1];
    if (!f.closed && !kind3) {
        int found = 0, closed = 0, ring_status = 0;
        lane_ring_points(island_mode, f.lane, f.ring.a, found, closed, ring_status);
        if (ring_status != 0) {
            a.status = -1;
            return hand_back();
        }
        if (found != 0) {
            f.test = &f.ring.a;
            f.closed = closed != 0;
        }
    }
    double area = 0.0;
    pokarr_area_dir(*f.test, area, f.orientation);
    if (out && f.follower) {
        const int next = pocket_state_block.order_flag != 0 ? f.lane + 1 : f.lane - 1;
        f.follower = next >= 1 && next <= lt.count && lt.first[next + 1] > lt.first[next];
        if (f.follower) {
            work_array follower;
            int read = 0;
            pokmain_to_arr(1, lt.first[next], lt.first[next + 1], follower.a, read);
            if (read != 0) {
                a.status = -1;
                return hand_back();
            }
            f.follower = follower.a.count > 0;
            if (f.follower) {
                f.follower_start[0] = follower.a.x[0];
                f.follower_start[1] = follower.a.y[0];
            }
        }
    }
    if (!lane_tangent(f)) {
        refuse(f, a, 0);
        return hand_back();
    }
    if (kind3 && lane < 0)
        both_sides(f, a);
    else
        lead_side(f, pocket_state_block.direction_sign, a);
    if (a.status == kNoUsableLead && pocket_state_block.lead_mode == kStraightLead && f.closed)
        fallback_along_lane(f, a);
    hand_back();
}

}  // namespace

void lead_in_calc(int island_mode, int lane, int n, const double* points, int entry_mode, int& shortened, double* lead,
                  double* centre, double& direction, int& status)
{
    lead_calc(false, island_mode, lane, n, points, entry_mode, shortened, lead, centre, direction, status);
}

void lead_out_calc(int island_mode, int lane, int n, const double* points, int& entry_mode, int& shortened,
                   double* lead, double* centre, double& direction, int& status)
{
    lead_calc(true, island_mode, lane, n, points, entry_mode, shortened, lead, centre, direction, status);
}

// The tests of a lead against the lanes (see the header).
#include "pocket_lanes/entry/lead_lane_checks.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/elem_lane_crossings.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"

#include <array>
#include <cmath>

namespace {

constexpr int kLive = 1, kRingStatus = 0;
constexpr int kStockContour = 2;
constexpr int kFromAll = -1;
// The move's first step into itself, and the step from which the own ring is tried again.
constexpr double kStepShare = 0.2, kLongestStep = 0.01, kRetrySteps = 3.0;
constexpr int kOwnCrossingsMost = 10;

// A pocket array that gives its block back when it goes out of scope.
struct lane_points {
    pokarr a;
    lane_points() { pokarr_init(2, a); }
    ~lane_points() { pokarr_free(a); }
    lane_points(const lane_points&) = delete;
    lane_points& operator=(const lane_points&) = delete;
};

void load_lane(int lane, pokarr& array, int& status)
{
    const lane_table& lt = lane_table_block;
    pokmain_to_arr(1, lt.first[lane], lt.first[lane + 1], array, status);
    if (status != 0) status = -1;
}

bool same_place(const double* a, const double* b) { return eqptd(2, a, b) != 0; }

// The unit vector from the centre towards p; false at the centre.
bool radial(const double* centre, const double* p, double* u)
{
    double length = 0.0;
    int status = 0;
    v2subd(p, centre, u);
    v2untd(u, length, status);
    return status >= 0;
}

}  // namespace

bool lead_tests_lane(int island_mode, int lane, bool any_sign)
{
    const lane_table& lt = lane_table_block;
    const int below = pocket_box_block.first_output_lane > 0 ? pocket_box_block.first_output_lane : lt.count + 1;
    if (lane < 1 || lane > lt.count || lane >= below) return false;
    const int status = any_sign ? std::abs(lt.status[lane]) : lt.status[lane];
    if (status != kLive || lt.first[lane + 1] <= lt.first[lane]) return false;
    if (island_mode == 0) return true;
    const int level = lt.level[lane];
    if (level < kLevelSeparator) return lt.contour_type[1] != kStockContour;
    const int contour = level - kLevelIsland;
    return contour < 1 || contour > kLaneRows || lt.contour_type[contour] != kStockContour;
}

void lane_ring_first(int island_mode, int& lane)
{
    const lane_table& lt = lane_table_block;
    if (lane < 1 || lane > lt.count) return;
    const int level = lt.level[lane], status = lt.status[lane];
    int first = lane;
    for (int j = 1; j < lane; ++j)
        if (lt.level[j] == level && lt.status[j] == status) {
            first = j;
            break;
        }
    if (island_mode != 0 && first == lane && status == kLive)
        for (int j = 1; j <= lt.count; ++j)
            if (lt.level[j] == level && lt.status[j] == kRingStatus) {
                first = j;
                break;
            }
    lane = first;
}

void lane_ring_points(int island_mode, int lane, pokarr& ring, int& found, int& closed, int& status)
{
    status = 0;
    found = 0;
    closed = 0;
    int first = lane;
    lane_ring_first(island_mode, first);
    if (first == lane) return;
    load_lane(first, ring, status);
    if (status != 0 || ring.count < 1) return;
    found = 1;
    const double a[2] = {ring.x[0], ring.y[0]}, b[2] = {ring.x[ring.count - 1], ring.y[ring.count - 1]};
    closed = same_place(a, b) ? 1 : 0;
    if (pocket_state_block.direction_sign == -1) pokarr_reverse(ring);
}

void segment_lane_crossing(int island_mode, int lane, const double* from, const double* to, int& status, double* point,
                           int& hit)
{
    status = 0;
    hit = 0;
    point[0] = to[0];
    point[1] = to[1];
    const lane_table& lt = lane_table_block;
    double u[2], length = 0.0;
    int unit = 0;
    v2subd(to, from, u);
    v2untd(u, length, unit);
    if (unit < 0) return;
    point[0] = from[0];
    point[1] = from[1];
    const bool own_known = lane >= 1 && lane <= lt.count;
    int ring = lane;
    lane_ring_first(island_mode, ring);
    bool own_closed = false;
    if (own_known) {
        lane_points own;
        load_lane(lane, own.a, status);
        if (status != 0) return;
        if (own.a.count > 1) {
            const double a[2] = {own.a.x[0], own.a.y[0]};
            const double b[2] = {own.a.x[own.a.count - 1], own.a.y[own.a.count - 1]};
            own_closed = same_place(a, b);
        }
    }
    const double step = std::fmin(kStepShare * length, kLongestStep);
    const double a1[3] = {from[0] + step * u[0], from[1] + step * u[1], 0.0};
    const double a3[3] = {from[0] + kRetrySteps * step * u[0], from[1] + kRetrySteps * step * u[1], 0.0};
    const double start[3] = {from[0], from[1], 0.0}, end[3] = {to[0], to[1], 0.0};
    double best = kNoLeadCrossing;
    for (int j = 1; j <= lt.count; ++j) {
        if (!lead_tests_lane(island_mode, j, true)) continue;
        bool same_ring = j == lane;
        if (!same_ring && own_known) {
            int j_ring = j;
            lane_ring_first(island_mode, j_ring);
            const bool same_words = lt.status[j] == lt.status[lane] && lt.level[j] == lt.level[lane];
            same_ring = own_closed ? same_words : (j_ring == ring || same_words);
        }
        lane_points other;
        load_lane(j, other.a, status);
        if (status != 0) return;
        const double* begin = same_ring ? a1 : start;
        for (int attempt = 0; attempt < 2; ++attempt) {
            double crossing[3] = {0.0, 0.0, 0.0};
            int element = 0, found = 0;
            seg_lane_hits(kSegHitsEntry, begin, end, other.a, 1, crossing, element, found);
            if (found < 0) {
                status = -1;
                return;
            }
            if (found == 0) break;
            if (same_place(crossing, begin)) {
                if (!same_ring) {
                    point[0] = from[0];
                    point[1] = from[1];
                    hit = 1;
                    return;
                }
                begin = a3;
                continue;
            }
            const double d = distd(2, crossing, a1);
            if (d < length && d < best) {
                best = d;
                point[0] = crossing[0];
                point[1] = crossing[1];
                hit = 1;
            }
            break;
        }
    }
    if (hit == 0) {
        point[0] = to[0];
        point[1] = to[1];
    }
}

void pnt_lane_side_test(double tolerance, const double* point, const pokarr& array, int& inside, int& far,
                        double& distance, int& status)
{
    status = 0;
    int result = 0;
    pnt_in_pokarr(point[0], point[1], array, result, status);
    if (status != 0) {
        status = -1;
        return;
    }
    inside = result != kLoopOutside ? 1 : 0;
    int k = kFromAll;
    double t = 0.0, nearest[3] = {0.0, 0.0, 0.0};
    const double p[3] = {point[0], point[1], 0.0};
    pokarr_nearest_pnt(2, p, array, k, t, nearest, distance);
    far = distance > tolerance ? 1 : 0;
}

void pnt_chain_side_test(double tolerance, const double* point, const double* x, const double* y, int count,
                         int& inside, int& far, double& distance, int& status)
{
    status = 0;
    int result = 0;
    pnt_in_xy_loop(point[0], point[1], x, y, count, result, status);
    if (status != 0) {
        status = -1;
        return;
    }
    inside = result != kLoopOutside ? 1 : 0;
    int k = 0;
    double t = 0.0, nx = 0.0, ny = 0.0;
    distance = kNoDistance;
    nearest_on_xy_chain(point[0], point[1], x, y, count, k, t, nx, ny, distance);
    far = distance > tolerance ? 1 : 0;
}

int side_conflict(int orientation, int inside, int side)
{
    if (orientation == -side && inside != 0) return 1;
    if (orientation == side && inside == 0) return 1;
    return 0;
}

void lead_arc_lane_check(const lead_arc& arc, const double* x, const double* y, int count, double* lead, double& best,
                         int& flag)
{
    flag = kArcCheckClear;
    double cx[2] = {0.0, 0.0}, cy[2] = {0.0, 0.0};
    int found = 0;
    elem_lane_crossings(kElementArc, arc.start[0], arc.start[1], lead[0], lead[1], arc.centre[0], arc.centre[1],
                        arc.radius, arc.sense, x, y, count, 2, cx, cy, found);
    if (found < 1) return;
    const double y0[2] = {cx[0], cy[0]};
    const double d = distd(2, y0, arc.lane_end);
    if (eqvl0d(d) != 0) {
        flag = kArcCheckRefused;
        lead[0] = arc.lane_end[0];
        lead[1] = arc.lane_end[1];
        return;
    }
    if (d < best) {
        best = d;
        lead[0] = y0[0];
        lead[1] = y0[1];
        flag = kArcCheckShortened;
    }
}

namespace {

// The side of a point of the arc against the lane: conflict 1 on the wrong side, far 1 beyond the
// tolerance. False when the inside test fails.
bool arc_point_side(const lead_arc& arc, int orientation, const double* p, const double* x, const double* y, int count,
                    int& conflict, int& far)
{
    int inside = 0, status = 0;
    double distance = 0.0;
    pnt_chain_side_test(arc.tolerance, p, x, y, count, inside, far, distance, status);
    if (status != 0) return false;
    conflict = side_conflict(orientation, inside, arc.side);
    return true;
}

}  // namespace

void lead_arc_own_lane_check(int marked, int orientation, const lead_arc& arc, const double* x, const double* y,
                             int count, double q, double* lead, double& best, int& flag)
{
    const bool closed = flag == 1;
    flag = kArcCheckClear;
    auto refuse = [&] {
        flag = kArcCheckRefused;
        lead[0] = arc.lane_end[0];
        lead[1] = arc.lane_end[1];
    };
    // Tests the lead point itself when the arc is marked on a closed lane.
    auto test_lead = [&] {
        if (marked == 0 || !closed) return;
        int conflict = 0, far = 0;
        if (!arc_point_side(arc, orientation, lead, x, y, count, conflict, far))
            flag = kArcCheckRefused;
        else if (conflict != 0)
            refuse();
    };
    std::array<double, kOwnCrossingsMost + 1> cx{}, cy{};
    int found = 0;
    const double end[2] = {lead[0], lead[1]};
    elem_lane_crossings(kElementArc, arc.start[0], arc.start[1], end[0], end[1], arc.centre[0], arc.centre[1],
                        arc.radius, arc.sense, x, y, count, kOwnCrossingsMost + 1, cx.data(), cy.data(), found);
    if (found >= kOwnCrossingsMost) {
        refuse();
        return;
    }
    if (found < 1) {
        test_lead();
        return;
    }
    double previous[2] = {arc.lane_end[0], arc.lane_end[1]};
    double u0[2];
    if (!radial(arc.centre, previous, u0)) {
        flag = kArcCheckRefused;
        return;
    }
    bool shortened = false;
    for (int k = 0; k < found; ++k) {
        const double yk[2] = {cx[static_cast<std::size_t>(k)], cy[static_cast<std::size_t>(k)]};
        if (eqvl0d(distd(2, yk, previous)) != 0) continue;
        double uk[2];
        if (!radial(arc.centre, yk, uk)) continue;
        bool passed_over = false;
        if (closed) {
            double mid[2] = {u0[0] + uk[0], u0[1] + uk[1]};
            double length = 0.0;
            int unit = 0;
            v2untd(mid, length, unit);
            int conflict = 0, far = 0;
            if (unit >= 0) {
                const double p[2] = {arc.centre[0] + arc.radius * mid[0], arc.centre[1] + arc.radius * mid[1]};
                if (!arc_point_side(arc, orientation, p, x, y, count, conflict, far)) {
                    flag = kArcCheckRefused;
                    return;
                }
            }
            passed_over = conflict != 0 && far == 0;
            if (k == 0 && conflict != 0 && far != 0) {
                refuse();
                return;
            }
            if (k == 0 && conflict == 0) {
                double t = 0.0, p[2] = {0.0, 0.0};
                arc_param_of_pnt(arc.radius, arc.sense, arc.centre[0], arc.centre[1], arc.lane_end[0], arc.lane_end[1],
                                 end[0], end[1], yk[0], yk[1], t);
                arc_pnt_by_angle(arc.radius, arc.sense, arc.centre[0], arc.centre[1], arc.lane_end[0], arc.lane_end[1],
                                 end[0], end[1], t + q, p[0], p[1]);
                int next_conflict = 0, next_far = 0;
                if (!arc_point_side(arc, orientation, p, x, y, count, next_conflict, next_far)) {
                    flag = kArcCheckRefused;
                    return;
                }
                if (next_conflict != 0 && next_far != 0) {
                    refuse();
                    return;
                }
            }
        }
        previous[0] = yk[0];
        previous[1] = yk[1];
        u0[0] = uk[0];
        u0[1] = uk[1];
        if (passed_over) continue;
        const double d = distd(2, yk, arc.lane_end);
        if (d < best) {
            best = d;
            lead[0] = yk[0];
            lead[1] = yk[1];
            flag = kArcCheckShortened;
            shortened = true;
        }
    }
    if (!shortened) test_lead();
}

// Corner loops in a lane's x/y list (see the header).
#include "pocket_lanes/corner_moves.hpp"

#include "host/vantu.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/elem_lane_crossings.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

// A corner qualifies from a turn of 45 degrees on: the dot of the incoming direction and the
// reversed outgoing one is -cos 45 at exactly 45 degrees and grows with the turn. The value
// tolerance keeps a turn of 45 degrees from being rounded out of it.
constexpr double kQualifyDot = -std::numbers::sqrt2 / 2.0 - kPocketValueTolerance;
constexpr double kShrinkShare = 0.33333334;
constexpr int kGrowSlots = 500;
constexpr int kStockType = 2;
constexpr int kFindStartMode = 10;
constexpr int kCrossingRoom = 4;

using box = std::array<double, 4>;  // xmin, ymin, xmax, ymax

// Boxes of the cut lanes from the first cut lane on, built as far as a lane asks.
std::vector<box>& box_store()
{
    static std::vector<box> store;
    return store;
}

bool marker(const double* slot) { return slot[0] > kMarkerLimit; }

void unit(double* v)
{
    double l = 0.0;
    int st = 0;
    v2untd(v, l, st);
}

// The tangent of an arc record (marker at rec) at its end, with the arc's direction.
void arc_end_tangent(const double* rec, double* t)
{
    const double r[2] = {rec[6] - rec[4], rec[7] - rec[5]};
    v2prpd(r, t);
    unit(t);
    t[0] *= rec[3];
    t[1] *= rec[3];
}

// The tangent at the start `start` of an arc record, turned against the arc's direction.
void arc_start_back(const double* rec, const double* start, double* t)
{
    const double r[2] = {start[0] - rec[4], start[1] - rec[5]};
    v2prpd(r, t);
    unit(t);
    t[0] *= -rec[3];
    t[1] *= -rec[3];
}

box loop_box(const double* corner, const double* loop)
{
    box b = {corner[0], corner[1], corner[0], corner[1]};
    const double* start = corner;
    for (int a = 0; a < 4; ++a) {
        const double* rec = loop + 8 * a;
        const double* end = a == 3 ? corner : rec + 6;
        double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
        arc_box(rec[4], rec[5], rec[2], rec[3] > 0.0 ? 1 : -1, start[0], start[1], end[0], end[1], x0, y0, x1, y1);
        b = {std::min(b[0], x0), std::min(b[1], y0), std::max(b[2], x1), std::max(b[3], y1)};
        start = end;
    }
    return b;
}

bool overlap(const box& a, const box& b) { return a[0] <= b[2] && b[0] <= a[2] && a[1] <= b[3] && b[1] <= a[3]; }

bool read_lane(int lane, pokarr& a)
{
    const lane_table& lt = lane_table_block;
    int status = 0;
    pokarr_reset(a, 0, status);
    if (status == 0) pokmain_to_arr(1, lt.first[lane], lt.first[lane + 1], a, status);
    return status == 0;
}

// Crossings of arc a of the loop with the lane's array.
bool arc_crosses(const double* corner, const double* loop, int a, const pokarr& lane)
{
    const double* rec = loop + 8 * a;
    const double* start = a == 0 ? corner : loop + 8 * (a - 1) + 6;
    const double* end = a == 3 ? corner : rec + 6;
    double xs[kCrossingRoom], ys[kCrossingRoom];
    int n = 0;
    elem_lane_crossings(kElementArc, start[0], start[1], end[0], end[1], rec[4], rec[5], rec[2], rec[3], lane.x, lane.y,
                        lane.count, kCrossingRoom, xs, ys, n);
    return n > 0;
}

// The boxes of the cut lanes below `lane`, extended when a later lane asks.
void extend_boxes(int lane)
{
    const int first = pocket_box_block.first_output_lane;
    std::vector<box>& store = box_store();
    pokarr a;
    pokarr_init(2, a);
    for (int l = first + static_cast<int>(store.size()); l < lane; ++l) {
        box b = {1.0, 1.0, -1.0, -1.0};  // empty: overlaps nothing
        if (read_lane(l, a) && a.count > 0) pokarr_box(a, b.data());
        store.push_back(b);
    }
    pokarr_free(a);
}

void insert_loop(double*& points, int& count, int& capacity, const double* loop, int position, int& status)
{
    if (count + kCornerLoopSlots > capacity) {
        const int grown = capacity + std::max(kGrowSlots, count + kCornerLoopSlots - capacity);
        void* moved = DM_REALLOC(points, sizeof(double) * 2 * static_cast<std::size_t>(grown));
        if (moved == nullptr) {
            status = -1;
            return;
        }
        points = static_cast<double*>(moved);
        capacity = grown;
    }
    std::memmove(points + 2 * (position + kCornerLoopSlots), points + 2 * position,
                 sizeof(double) * 2 * static_cast<std::size_t>(count - position));
    std::memcpy(points + 2 * position, loop, sizeof(double) * 2 * (kCornerLoopSlots - 1));
    points[2 * (position + kCornerLoopSlots - 1)] = points[2 * (position - 1)];
    points[2 * (position + kCornerLoopSlots - 1) + 1] = points[2 * (position - 1) + 1];
    count += kCornerLoopSlots;
}

}  // namespace

bool corner_test(const double* slots, int n, int direction_switch, corner_directions& d)
{
    const double* first = slots;
    const bool second_arc = marker(slots + 2);
    const int corner_slot = second_arc ? 4 : 1;
    const double* corner = slots + 2 * corner_slot;
    if (second_arc) {
        arc_end_tangent(slots + 2, d.in);
    } else {
        v2subd(corner, first, d.in);
        unit(d.in);
    }
    const double* third = slots + 2 * (corner_slot + 1);
    if (n > corner_slot + 2 && marker(third)) {
        arc_start_back(third, corner, d.out);
    } else {
        v2subd(corner, third, d.out);
        unit(d.out);
    }
    if (direction_switch == 1) return v2dotd(d.in, d.out) >= kQualifyDot && v2crsd(d.in, d.out) >= 0.0;
    if (direction_switch == -1) return v2dotd(d.out, d.in) >= kQualifyDot && v2crsd(d.out, d.in) >= 0.0;
    return false;
}

void corner_loop_build(const corner_directions& d, const double* corner, double s, int direction_switch, double* loop)
{
    const double sw = direction_switch == 1 ? 1.0 : -1.0;
    const double R = (v2dotd(d.in, d.out) > 0.0 ? 2.0 : 4.0) * s;
    double n_in[2], n_out[2];
    v2prpd(d.in, n_in);
    v2prpd(d.out, n_out);
    for (int i = 0; i < 2; ++i) {
        n_in[i] *= -sw;
        n_out[i] *= sw;
    }
    const double A[2] = {corner[0] + R * n_in[0], corner[1] + R * n_in[1]};
    const double B[2] = {corner[0] + R * n_out[0], corner[1] + R * n_out[1]};
    double m[2] = {0.5 * (d.in[0] + d.out[0]), 0.5 * (d.in[1] + d.out[1])};
    unit(m);
    const double c = v2crsd(n_out, m), dd = v2dotd(n_out, m);
    const double reach = dd * R + std::sqrt(std::max(0.0, (R + s) * (R + s) - (c * R) * (c * R)));
    const double D[2] = {corner[0] + reach * m[0], corner[1] + reach * m[1]};
    auto towards = [R](const double* from, const double* to, double* out) {
        double v[2] = {to[0] - from[0], to[1] - from[1]};
        unit(v);
        out[0] = from[0] + R * v[0];
        out[1] = from[1] + R * v[1];
    };
    double E1[2], E2[2];
    towards(A, D, E1);
    towards(B, D, E2);
    const double F[2] = {D[0] + s * m[0], D[1] + s * m[1]};
    const double big = -sw, small = sw;
    const double recs[4][8] = {{kArcMarker, 0.0, R, big, A[0], A[1], E1[0], E1[1]},
                               {kArcMarker, 0.0, s, small, D[0], D[1], F[0], F[1]},
                               {kArcMarker, 0.0, s, small, D[0], D[1], E2[0], E2[1]},
                               {kArcMarker, 0.0, R, big, B[0], B[1], corner[0], corner[1]}};
    std::memcpy(loop, recs, sizeof recs);
}

void arc_clearance_test(double direction, double radius, const double* centre, const double* start, const double* end,
                        int& collision, int& status)
{
    collision = 0;
    status = 0;
    const double w =
        pocket_work_block.working_tolerance > 0.0 ? pocket_work_block.working_tolerance : pocket_work_block.tolerance;
    if (radius <= 0.0 || w <= 0.0 || w >= radius) return;
    const double a0 = std::atan2(start[1] - centre[1], start[0] - centre[0]);
    double sweep = std::atan2(end[1] - centre[1], end[0] - centre[0]) - a0;
    const double two_pi = 2.0 * std::acos(-1.0);
    if (direction > 0.0 && sweep <= 0.0) sweep += two_pi;
    if (direction < 0.0 && sweep >= 0.0) sweep -= two_pi;
    double half = 0.0;
    arcosd(1.0 - w / radius, half, status);
    if (status != 0 || half <= 0.0) {
        status = 0;
        return;
    }
    const double step = 2.0 * half;
    const int steps = std::min(10000, std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / step))));
    // The points of the arc are where the part would be probed; without part surfaces in this
    // module no point meets the part.
    (void)steps;
}

int corner_loop_check(const double* corner, const double* loop, int lane)
{
    const lane_table& lt = lane_table_block;
    const pocket_state& ps = pocket_state_block;
    const int code = nu_sgcd_get_code();
    const bool retest = (code == 34 || code == 38) && ps.drawing_mode != kFindStartMode;
    pokarr a;
    pokarr_init(2, a);
    int collides = 0;
    for (int l = 1; collides == 0 && l <= lt.count; ++l) {
        if (lt.status[l] != 1) continue;
        if (lt.level[l] > kLevelIsland && lt.level[l] - kLevelIsland <= kLaneRows &&
            lt.contour_type[lt.level[l] - kLevelIsland] == kStockType)
            continue;
        if (!read_lane(l, a)) {
            collides = 1;
            break;
        }
        for (int arc = 0; collides == 0 && arc < 4; ++arc) {
            if (!arc_crosses(corner, loop, arc, a)) continue;
            int conflict = 1, status = 0;
            if (retest) {
                const double* rec = loop + 8 * arc;
                const double* start = arc == 0 ? corner : loop + 8 * (arc - 1) + 6;
                arc_clearance_test(rec[3], rec[2], rec + 4, start, arc == 3 ? corner : rec + 6, conflict, status);
                if (status == 1 || status < 0) conflict = 1;
            }
            collides = conflict;
        }
    }
    const box lb = loop_box(corner, loop);
    const int first = pocket_box_block.first_output_lane;
    extend_boxes(lane);
    const std::vector<box>& store = box_store();
    for (int l = lane - 1; collides == 0 && l >= first; --l) {
        const std::size_t at = static_cast<std::size_t>(l - first);
        if (at >= store.size() || !overlap(store[at], lb)) continue;
        if (!read_lane(l, a)) {
            collides = 1;
            break;
        }
        for (int arc = 0; collides == 0 && arc < 4; ++arc) collides = arc_crosses(corner, loop, arc, a) ? 1 : 0;
    }
    pokarr_free(a);
    return collides;
}

void corner_moves_insert(double*& points, int& count, int lane, int& capacity, int& status)
{
    status = 0;
    if (count < 3) return;
    curve_approx_words& ca = proc_geometry().curve_approx;
    const int sw = pocket_state_block.direction_sign;
    const float size = ca.corner_size;
    const double least = 0.5 * ca.tolerance;
    for (int j = 0; j + 2 < count; ++j) {
        if (marker(points + 2 * j) || (j >= 1 && marker(points + 2 * (j - 1))) ||
            (j >= 2 && marker(points + 2 * (j - 2))))
            continue;
        // The two elements after slot j.
        int n = 1, at = j + 1;
        int corner_slot = 0;
        bool fits = true;
        for (int e = 0; e < 2 && fits; ++e) {
            if (at >= count) {
                fits = false;
            } else if (marker(points + 2 * at)) {
                if (at + 3 >= count) fits = false;
                n += 4;
                at += 4;
            } else {
                n += 1;
                at += 1;
            }
            if (e == 0) corner_slot = at - 1;
        }
        if (!fits) break;
        const double corner[2] = {points[2 * corner_slot], points[2 * corner_slot + 1]};
        corner_directions d;
        if (!corner_test(points + 2 * j, n, sw, d)) continue;
        double loop[2 * kCornerLoopSlots];
        double s = size;
        bool made = false;
        for (;;) {
            corner_loop_build(d, corner, s, sw, loop);
            if (corner_loop_check(corner, loop, lane) == 0) {
                made = true;
                break;
            }
            const double next = s - (size - least) * kShrinkShare;
            if (next < least) break;
            s = next;
        }
        ca.corner_size = size;
        if (!made) continue;
        insert_loop(points, count, capacity, loop, corner_slot + 1, status);
        if (status != 0) return;
        j = corner_slot + kCornerLoopSlots - 1;
    }
}

void corner_box_store_release()
{
    box_store().clear();
    box_store().shrink_to_fit();
}

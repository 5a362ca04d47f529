// The choice of the ramp lane and the circle of a circular entry (see the header).
#include "pocket_lanes/entry/ramp_entry.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kNoRamp = 1.0e25;
constexpr double kNone = -1.0e10;
constexpr double kExcludedLength = -10.0;
constexpr double kFarthestReach = 100000.0;
constexpr double kShortShare = 0.1;
constexpr int kGrowthStep = 1000;

// Classes of the score table: a lane of status 1, a usable lane, a short lane, an excluded one.
constexpr int kClassLead = 1, kClassUsable = 2, kClassShort = 3, kClassExcluded = -1;

struct lane_score {
    double length = kExcludedLength;
    double connection = kExcludedLength;
    double score = kNone;
    int kind = kClassExcluded;
};

int root_of(int lane)
{
    const lane_table& lt = lane_table_block;
    for (int guard = 0; lane >= 1 && lane <= lt.count && lt.status[lane] > 1 && guard < lt.count; ++guard) {
        const int parent = lt.parent[lane];
        if (parent < 1 || parent > lt.count) break;
        lane = parent;
    }
    return lane;
}

// The lane's length; false when it cannot be read or measured.
bool lane_length(int lane, double& length)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    lane_to_pokarr(lane, a, status);
    if (status == 0) pokarr_length(2, a, nullptr, length, status);
    pokarr_free(a);
    return status == 0;
}

// The entries of a lane as separate x and y lists (relative to the frame origin).
bool lane_xy(int lane, std::vector<double>& x, std::vector<double>& y)
{
    int n = 0;
    lane_npnts(lane, n);
    if (n < 1) return false;
    x.resize(static_cast<std::size_t>(n));
    y.resize(static_cast<std::size_t>(n));
    int got = 0;
    lane_get_xy(lane, x.data(), y.data(), n, got);
    return got == n;
}

// The connection from the lane's nearest point to P inside the pocket and its length; false
// when the lane is out of reach or the connection fails or might gouge.
bool connection_length(int lane, const double* p_rel, const double* p_abs, xy_output& work, double& length)
{
    std::vector<double> x, y;
    if (!lane_xy(lane, x, y)) return false;
    int k = 0;
    double t = 0.0, nx = 0.0, ny = 0.0, d = 0.0;
    nearest_on_xy_chain(p_rel[0], p_rel[1], x.data(), y.data(), static_cast<int>(x.size()), k, t, nx, ny, d);
    if (k == 0 || d > kFarthestReach) return false;
    const double* origin = pocket_frame_block.origin;
    const double n_abs[3] = {nx + origin[0], ny + origin[1], pocket_state_block.current_z};
    const double to[3] = {p_abs[0], p_abs[1], pocket_state_block.current_z};
    int count = 0, gouge = 0, status = 0;
    work.used = 0;
    region_hatch().temp_hatch(kHatchPoints, n_abs, to, count, work, gouge, status);
    if (status != 0 || gouge != 0) return false;
    const double* path = work.handle >= 0 ? static_cast<const double*>(mmcptr(work.handle)) : nullptr;
    length = 0.0;
    double prev[2] = {n_abs[0], n_abs[1]};
    for (int i = 0; path != nullptr && i < count; ++i) {
        length += std::hypot(path[2 * i] - prev[0], path[2 * i + 1] - prev[1]);
        prev[0] = path[2 * i];
        prev[1] = path[2 * i + 1];
    }
    length += std::hypot(to[0] - prev[0], to[1] - prev[1]);
    return true;
}

int pick(const std::vector<lane_score>& scores, int kind)
{
    int best = 0;
    for (std::size_t i = 1; i < scores.size(); ++i)
        if (scores[i].kind == kind && (best == 0 || scores[i].score > scores[static_cast<std::size_t>(best)].score))
            best = static_cast<int>(i);
    return best;
}

// Room for `wanted` doubles: the array opened, or grown by the missing count raised to the next
// thousand.
void reserve(ramp_entry_array& out, int wanted, int& status)
{
    void* base = nullptr;
    status = 0;
    if (out.handle < 0) {
        out.capacity = (wanted / kGrowthStep + 1) * kGrowthStep;
        MM_OPEN_ARRAY(8, out.capacity, out.handle, base, status);
        if (status != 0) out.handle = -1;
    } else if (out.capacity < wanted) {
        const int more = ((wanted - out.capacity) / kGrowthStep + 1) * kGrowthStep;
        MM_RESIZE_ARRAY(out.handle, more, base, status);
        if (status == 0) out.capacity += more;
    }
}

// The chosen lane's points into the output array as absolute (x, y) pairs.
void copy_lane(int order_flag, int lane, ramp_entry_array& out, int& status)
{
    const lane_table& lt = lane_table_block;
    const int n = lt.first[lane + 1] - lt.first[lane];
    if (n < 1) {
        status = -1;
        return;
    }
    // Room for the lane and the four entries more that a re-start at a point inside an arc adds.
    const int wanted = 2 * (n + 4);
    reserve(out, wanted, status);
    if (status != 0) return;
    pokmain_get_xy(order_flag != 0 ? 1 : 0, lt.first[lane], lt.first[lane + 1],
                   static_cast<double*>(mmcptr(out.handle)), out.capacity / 2, status);
    out.used = status == 0 ? 2 * n : 0;
}

}  // namespace

void ramp_next_lane(int lane, int& next, int& not_found)
{
    const lane_table& lt = lane_table_block;
    next = 0;
    not_found = 1;
    if (lane < 1 || lane > lt.count || lt.link2[lane] < 1 || lt.link2[lane] > lt.count) return;
    next = lt.link2[lane];
    not_found = 0;
}

void ramp_entry_calc(int order_flag, const double* start, int& lane, ramp_entry_array& out, int& status)
{
    const lane_table& lt = lane_table_block;
    const pocket_state& ps = pocket_state_block;
    status = 0;
    const double diameter = 2.0 * pocket_work_block.tool_radius;
    const double tangent = std::tan(ps.ramp_angle * std::acos(-1.0) / 180.0);
    const double ramp_length = eqvl0d(tangent) != 0 ? kNoRamp : ps.z_step / tangent;
    const double p_rel[2] = {start[0] - pocket_frame_block.origin[0], start[1] - pocket_frame_block.origin[1]};
    const int engine_end = std::min(pocket_box_block.first_output_lane, lt.count + 1);
    if (engine_end < 2) {
        lane = 0;
        status = -1;
        return;
    }
    // The ramp-fit test needs a ramp width above twice the tolerance; the width comes from a
    // setting that nothing fills, so every lane passes it and it is not asked here.
    std::vector<lane_score> scores(static_cast<std::size_t>(engine_end));
    double best_length = kNone, best_connection = kNone;
    int reference = 0, chosen = 0, not_found = 1;
    ramp_next_lane(lane, reference, not_found);
    if (reference >= engine_end) not_found = 1;
    double l = 0.0;
    if (not_found == 0 && lane_length(reference, l)) {
        if (engine_end == 2 || (l >= ramp_length && lt.status[reference] >= 2)) {
            chosen = reference;
        } else {
            lane_score& s = scores[static_cast<std::size_t>(reference)];
            s.length = std::min(l, ramp_length);
            s.connection = 0.0;
            best_length = s.length;
            best_connection = 0.0;
            s.kind = lt.status[reference] == 1             ? kClassLead
                     : (l >= diameter || l >= ramp_length) ? kClassUsable
                                                           : kClassShort;
        }
    } else {
        reference = 0;
    }
    if (chosen == 0) {
        const int root = reference > 0 ? root_of(reference) : 0;
        xy_output work;
        for (int i = 1; i < engine_end; ++i) {
            if (i == reference) continue;
            lane_score& s = scores[static_cast<std::size_t>(i)];
            if (lt.status[i] < 1) continue;
            if (root > 0 && (lt.group[i] != lt.group[root] || root_of(i) != root)) continue;
            if (!lane_length(i, l)) continue;
            if (l < kShortShare * diameter && l < ramp_length) continue;
            double c = 0.0;
            if (!connection_length(i, p_rel, start, work, c)) continue;
            s.kind = lt.status[i] == 1 ? kClassLead : (l < diameter && l < ramp_length) ? kClassShort : kClassUsable;
            s.length = std::min(l, ramp_length);
            s.connection = c;
            best_length = std::max(best_length, s.length);
            best_connection = std::max(best_connection, c);
        }
        if (work.handle >= 0) MM_CLOSE(work.handle, status);
        status = 0;
        for (lane_score& s : scores)
            if (s.kind != kClassExcluded) s.score = (best_connection - s.connection) + s.length;
        chosen = pick(scores, kClassUsable);
        if (chosen == 0) chosen = pick(scores, kClassLead);
        if (chosen == 0) chosen = pick(scores, kClassShort);
    }
    lane = chosen;
    if (chosen == 0) {
        status = -1;
        return;
    }
    copy_lane(order_flag, chosen, out, status);
    (void)best_length;
}

void circle_entry_points(const double* start, const double* centre, double radius, const double* direction, int& count,
                         ramp_entry_array& out, int& status)
{
    status = 0;
    count = 0;
    const double t = pocket_work_block.tolerance;
    if (radius <= t) {
        status = -1;
        return;
    }
    const double two_pi = 2.0 * std::acos(-1.0);
    const int n = static_cast<int>(two_pi / (2.0 * std::acos(1.0 - 0.5 * t / radius)) + 1.0);
    const double step = two_pi / n;
    reserve(out, 2 * (n + 1), status);
    if (status != 0) return;
    double* p = static_cast<double*>(mmcptr(out.handle));
    const double to_centre[2] = {centre[0] - start[0], centre[1] - start[1]};
    const double sense = direction[0] * to_centre[1] - direction[1] * to_centre[0] < 0.0 ? -1.0 : 1.0;
    const double rx = start[0] - centre[0], ry = start[1] - centre[1];
    for (int k = 0; k < n; ++k) {
        const double a = sense * k * step;
        p[2 * k] = centre[0] + rx * std::cos(a) - ry * std::sin(a);
        p[2 * k + 1] = centre[1] + rx * std::sin(a) + ry * std::cos(a);
    }
    p[2 * n] = p[0];
    p[2 * n + 1] = p[1];
    count = n + 1;
    out.used = 2 * count;
}

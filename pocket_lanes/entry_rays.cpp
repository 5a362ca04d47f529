// Rays of the cutting order: a lane's right-hand normal at a point of one of its elements, and the
// first point where such a ray meets the lane's parent, with the angle check that the ray runs
// along an arc's radius or nearly square across a line.
#include "pocket_lanes/entry_rays.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"
#include "pocket_lanes/moves/segment_clearance.hpp"

#include <algorithm>
#include <cmath>

entry_ray_switches entry_ray_switches_block;

namespace {

constexpr int kPlanar = 2;
// Local tolerance of a ray's element: half the working tolerance, within these bounds.
constexpr double kLocalCap = 0.001;
constexpr double kLocalFloor = 0.0001;
// The back point lies this share of the step behind the point on surfaces.
constexpr double kBackShare = 0.25;
// Angle checks: the ray along an arc's radius within this sine; across a line at least this
// sine (planar), or this one on surfaces.
constexpr double kAlongRadiusSine = 0.001;
constexpr double kSquareSine = 0.999;
constexpr double kSquareSineSurface = 0.7071;
// A hit this near the element's start (in x and in y) measures the element's direction from the
// hit to its end.
constexpr double kNearStart = 0.01;
constexpr int kShowLane = 2, kShowRay = 1;
// A lane of fewer groups is searched whole at once: testing so few groups for the near search
// costs more than it spares.
constexpr int kLeastNearGroups = 4;
// The box an emptied group of a narrowed box table gets: it overlaps no segment's box, so the
// search passes the group by.
constexpr double kEmptyGroupBox = 1.0e12;

bool planar() { return pocket_state_block.pocket_dimension == kPlanar; }

double local_tolerance()
{
    return std::max(std::min(0.5 * pocket_work_block.working_tolerance, kLocalCap), kLocalFloor);
}

bool unit2(double& x, double& y)
{
    const double length = std::hypot(x, y);
    if (!(length > 0.0)) return false;
    x /= length;
    y /= length;
    return true;
}

// The point at (element, t) and the right-hand normal of the travel there (turned for an island
// side). Status 1 for a line too short to give a direction.
void normal_at(int side, int element, double t, const pokarr& lane, double* point, double* normal, int& status)
{
    status = 0;
    const int e = std::clamp(element, 1, std::max(1, lane.count - 1));
    const double turn = side > kIslandSide ? -1.0 : 1.0;
    point[2] = !planar() && lane.z != nullptr ? lane.z[e - 1] : 0.0;
    if (pk_is_marker(lane.x[e]) && e + 3 < lane.count) {
        const double r = lane.x[e + 1];
        const int d = pk_arc_direction(lane.y[e + 1]);
        const double cx = lane.x[e + 2], cy = lane.y[e + 2];
        arc_pnt_by_angle(r, d, cx, cy, lane.x[e - 1], lane.y[e - 1], lane.x[e + 3], lane.y[e + 3], t, point[0],
                         point[1]);
        normal[0] = point[0] - cx;
        normal[1] = point[1] - cy;
        unit2(normal[0], normal[1]);
        const double sense = (d < 0 ? -1.0 : 1.0) * turn;
        normal[0] *= sense;
        normal[1] *= sense;
        return;
    }
    double ux = lane.x[e] - lane.x[e - 1], uy = lane.y[e] - lane.y[e - 1];
    const double tolerance = local_tolerance();
    if (std::fabs(ux) < tolerance && std::fabs(uy) < tolerance) {
        status = kRayElementShort;
        return;
    }
    seg_pnt_at_param(lane.x[e - 1], lane.y[e - 1], lane.x[e], lane.y[e], t, point[0], point[1]);
    unit2(ux, uy);
    normal[0] = turn * uy;
    normal[1] = -turn * ux;
}

// N turned 45 degrees: the unit vector of N and N turned by +90.
void widen(double* normal)
{
    double x = normal[0] - normal[1], y = normal[1] + normal[0];
    if (unit2(x, y)) normal[0] = x, normal[1] = y;
}

void show_ray(const pokarr& lane, const double* back, const double* end, int bits)
{
    if ((bits & kShowLane) != 0) pokarr_show_std(lane);
    if ((bits & kShowRay) == 0) return;
    pokarr_work segment(3);
    int status = 0;
    pokarr_add_pnt(back, segment.a, status);
    pokarr_add_pnt(end, segment.a, status);
    if (status == 0) pokarr_show_std(segment.a);
}

// Ray end and back point from the point and the normal.
void ray_ends(const double* point, const double* normal, double* end, double* back)
{
    const double behind = planar() ? 0.0 : kBackShare * pocket_work_block.engine_step;
    for (int k = 0; k < 2; ++k) {
        end[k] = point[k] + kRayLength * normal[k];
        back[k] = point[k] - behind * normal[k];
    }
    end[2] = back[2] = point[2];
}

// The first crossing of the ray back..end with a planar lane when it lies within `within` of
// back, found as seg_lane_hits_boxed finds the first crossing of the whole ray, over only the
// groups of the lane's box table that the ray's first `within` reaches. The search's tolerance
// along the ray grows with the ray's length (a crossing a little behind back counts as one at
// back), so that stretch is stretched by as much as the whole ray is for its clearance tests.
// The other groups hold no crossing that near, and the search's state starts afresh at every
// group, so a crossing found within that length is the one the search over every group finds.
// Answers near_found with that crossing, near_none when the lane holds no crossing that near, and
// near_unknown when the stretch cannot be searched alone (it is nearly the whole ray). Kept out of
// line: its narrowed table is a large frame, which the callers that never search near (so few
// groups, no reach) should not set up.
enum class near_answer { found, none, unknown };
[[gnu::noinline]] near_answer near_hit(const pokarr& lane, const pk_box_table& boxes, const double* back,
                                       const double* end, double within, double* hit, int& element)
{
    const double dx = end[0] - back[0], dy = end[1] - back[1], length = std::sqrt(dx * dx + dy * dy);
    const double stretch = kSegmentStretchShare * length;
    if (!(within + 2.0 * stretch < length)) return near_answer::unknown;
    const double ux = dx / length, uy = dy / length;
    const double near_start[2] = {back[0] - stretch * ux, back[1] - stretch * uy};
    const double near_end[2] = {back[0] + (within + stretch) * ux, back[1] + (within + stretch) * uy};
    const clearance_segment reach = make_clearance_segment(near_start, near_end);
    if (!reach.valid) return near_answer::unknown;
    // Filled group by group below; its columns need no clearing.
    pk_box_table narrowed;
    int first_group = 0;
    for (int g = 1; g <= boxes.groups; ++g) {
        const int i = g - 1;
        const bool apart = group_clear(reach, lane.x, lane.y, lane.count, boxes, g);
        if (!apart && first_group == 0) first_group = g;
        narrowed.xmin[i] = apart ? kEmptyGroupBox : boxes.xmin[i];
        narrowed.ymin[i] = apart ? kEmptyGroupBox : boxes.ymin[i];
        narrowed.xmax[i] = apart ? -kEmptyGroupBox : boxes.xmax[i];
        narrowed.ymax[i] = apart ? -kEmptyGroupBox : boxes.ymax[i];
    }
    if (first_group == 0) return near_answer::none;
    std::copy_n(boxes.first, boxes.groups + 1, narrowed.first);
    narrowed.groups = boxes.groups;
    const double absent[2] = {kDirectionAbsent, 0.0};
    const int search_mode = 0, own = -1, kind = 0, after_closing = 1;
    int found_element = 0, found_group = 0, found = kSearchNone;
    double qx = lane.x[0], qy = lane.y[0];
    elem_pair_intersect(search_mode, own, first_group, kind, 0.0, 0.0, 0.0, 0.0, back[0], back[1], end[0], end[1],
                        absent, nullptr, nullptr, lane.x, lane.y, lane.count, pk_last_element(lane), after_closing, qx,
                        qy, narrowed, found_element, found_group, qx, qy, found);
    // The first crossing of the near groups lying beyond `within`: any crossing that near would
    // lie in those groups and come before it.
    if (found != kSearchFound || !(std::hypot(qx - back[0], qy - back[1]) <= within)) return near_answer::none;
    hit[0] = qx, hit[1] = qy, hit[2] = 0.0;
    element = found_element;
    return near_answer::found;
}

}  // namespace

void entry_ray(int wider, int side, int element, double t, const pokarr& lane, double* point, double* end, double* back,
               int& status)
{
    if (entry_ray_switches_block.mean_normal != 0) {
        entry_ray_mean(wider, side, element, t, lane, point, end, back, status);
        return;
    }
    double normal[2] = {0.0, 0.0};
    normal_at(side, element, t, lane, point, normal, status);
    if (status != 0) return;
    if (wider != 0) widen(normal);
    ray_ends(point, normal, end, back);
    if (entry_ray_switches_block.ray_debug != 0) show_ray(lane, back, end, entry_ray_switches_block.ray_debug);
}

void entry_ray_mean(int wider, int side, int element, double t, const pokarr& lane, double* point, double* end,
                    double* back, int& status)
{
    double normal[2] = {0.0, 0.0};
    normal_at(side, element, t, lane, point, normal, status);
    if (status != 0 || wider == 0) {
        if (status == 0) ray_ends(point, normal, end, back);
        return;
    }
    pokarr_work restarted(lane.dimension);
    pokarr_copy_pnts(lane.count, lane, 0, restarted.a, 0, status);
    double x = point[0], y = point[1];
    if (status == 0) pokarr_restart_at(restarted.a, element, kRestartAtPoint, t, x, y, status);
    if (status != 0) return;
    // The normal of the element that now starts the lane and of the one that ends it.
    const pokarr& r = restarted.a;
    const int last = r.count >= 5 && pk_is_marker(r.x[r.count - 4]) ? r.count - 4 : r.count - 1;
    double after[3], n_after[2] = {0.0, 0.0}, before[3], n_before[2] = {0.0, 0.0};
    int s1 = 0, s2 = 0;
    normal_at(side, 1, 0.0, r, after, n_after, s1);
    normal_at(side, last, 1.0, r, before, n_before, s2);
    double mx = n_after[0] + n_before[0], my = n_after[1] + n_before[1];
    if (s1 != 0 || s2 != 0 || !unit2(mx, my)) {
        const double* fallback = side > 0 ? n_after : n_before;
        mx = fallback[0];
        my = fallback[1];
    }
    normal[0] = mx;
    normal[1] = my;
    ray_ends(point, normal, end, back);
}

void entry_hit_on_parent(int parent, const double* back, const double* end, int check, int& result, double* hit,
                         double& param, int& element)
{
    result = 0;
    param = 0.0;
    hit[0] = hit[1] = hit[2] = 0.0;
    pokarr_work lane(planar() ? 2 : 3);
    int status = 0;
    lane_to_pokarr(parent, lane.a, status);
    if (status != 0) {
        element = -1;
        return;
    }
    entry_hit_on_lane(lane.a, nullptr, back, end, check, result, hit, param, element);
}

void entry_hit_on_lane(const pokarr& lane, const pk_box_table* boxes, const double* back, const double* end, int check,
                       int& result, double* hit, double& param, int& element, const clearance_segment* ray,
                       double within, bool nothing_beyond)
{
    result = 0;
    param = 0.0;
    hit[0] = hit[1] = hit[2] = 0.0;
    if (lane.count < 2) {
        element = -1;
        return;
    }
    const int bits = entry_ray_switches_block.hit_debug;
    if ((bits & kShowLane) != 0) pokarr_show_std(lane);
    if ((bits & kShowRay) != 0) show_ray(lane, back, end, kShowRay);
    int found = 0, crossings = 0;
    const bool near_search = boxes != nullptr && boxes->groups >= kLeastNearGroups && within > 0.0 &&
                             (lane.dimension <= kPlanar || lane.z == nullptr);
    const near_answer near = near_search ? near_hit(lane, *boxes, back, end, within, hit, found) : near_answer::unknown;
    if (near == near_answer::found)
        crossings = 1;
    else if (near == near_answer::unknown || !nothing_beyond)
        seg_lane_hits_boxed(kSegHitsEntry, back, end, lane, boxes, 1, hit, found, crossings, ray);
    if (crossings <= 0 || found < 1 || found >= lane.count) {
        hit[0] = hit[1] = hit[2] = 0.0;
        element = 0;
        return;
    }
    element = found;
    result = 1;
    const pokarr& p = lane;
    const int e = found;
    const bool arc = pk_is_marker(p.x[e]) && e + 3 < p.count;
    if (arc) {
        arc_param_of_pnt(p.x[e + 1], pk_arc_direction(p.y[e + 1]), p.x[e + 2], p.y[e + 2], p.x[e - 1], p.y[e - 1],
                         p.x[e + 3], p.y[e + 3], hit[0], hit[1], param);
    } else {
        seg_param_of_pnt(p.x[e - 1], p.y[e - 1], p.x[e], p.y[e], hit[0], hit[1], param);
    }
    if (check == 0) return;
    double ux = end[0] - back[0], uy = end[1] - back[1];
    // A given ray holds this unit direction already (the same quotients of the same length).
    if (ray != nullptr) {
        if (!ray->valid) return;
        ux = ray->ux;
        uy = ray->uy;
    } else if (!unit2(ux, uy)) {
        return;
    }
    if (arc) {
        double rx = hit[0] - p.x[e + 2], ry = hit[1] - p.y[e + 2];
        if (unit2(rx, ry) && std::fabs(rx * uy - ry * ux) > kAlongRadiusSine) result = -1;
        return;
    }
    const bool near_start = std::fabs(hit[0] - p.x[e - 1]) < kNearStart && std::fabs(hit[1] - p.y[e - 1]) < kNearStart;
    double dx = near_start ? p.x[e] - hit[0] : hit[0] - p.x[e - 1];
    double dy = near_start ? p.y[e] - hit[1] : hit[1] - p.y[e - 1];
    if (!unit2(dx, dy)) return;
    const double limit = lane.dimension > kPlanar ? kSquareSineSurface : kSquareSine;
    if (std::fabs(dx * uy - dy * ux) < limit) result = -1;
}

bool entry_hit_taken(int offsets_mode, int result, bool relaxed, bool wider)
{
    constexpr int kOneOffset = 1, kMet = 1, kRefusedAngle = -1;
    if (offsets_mode == kOneOffset) return result != 0;
    return result == kMet || (result == kRefusedAngle && (relaxed || wider));
}

// Lanes where a collapse leaves material farther than half a step from every lane: the half-step
// lane of each collapse lane whose middle stands farther than that from its outline, and the
// spots too small for a lane that the half-step offset leaves. The lane loop calls
// collapse_part_lanes after recording the collapse lanes of a branch offset; the half-step lane
// calls collapse_half_step_spots after its offset.
#include "pocket_lanes/collapse_part_lanes.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_horn_tail.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_measures.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kPlanar = 2;

// Whether the point stands a reach or more from the element. An element whose box lies that far
// off is passed over by its box; an arc is measured against its circle where the point lies
// within its sweep, against its nearer end elsewhere.
bool clear_of(const pokarr& part, const boxed_chain_element& b, double px, double py, double reach)
{
    const double* box = b.box;
    const double bx = std::max({box[0] - px, 0.0, px - box[2]}), by = std::max({box[1] - py, 0.0, py - box[3]});
    const double reach2 = reach * reach;
    if (bx * bx + by * by >= reach2) return true;
    const chain_element& e = b.e;
    const double sx = part.x[e.start], sy = part.y[e.start], ex = part.x[e.end], ey = part.y[e.end];
    if (e.arc && arc_sweep_holds(part, e, px - e.cx, py - e.cy))
        return std::fabs(std::hypot(px - e.cx, py - e.cy) - std::fabs(e.r)) >= reach;
    if (e.arc)
        return std::min((px - sx) * (px - sx) + (py - sy) * (py - sy), (px - ex) * (px - ex) + (py - ey) * (py - ey)) >=
               reach2;
    double qx = 0.0, qy = 0.0, t = 0.0;
    chain_element_nearest(part.x, part.y, e, px, py, qx, qy, t);
    return (px - qx) * (px - qx) + (py - qy) * (py - qy) >= reach2;
}

// Whether a point a reach inside the part, off one of its elements, stands a reach or more from
// every element and inside the part: only then can the half-step offset find room. The points lie
// off each element's middle, and off points a reach apart along a longer line (the deepest part
// of a triangle lies a reach off the point where its inscribed circle touches a side). Most
// collapse parts are thin horns, passed over here before any offset is made. `direction` is the
// part's (1 counter-clockwise): its inside lies to the left of a counter-clockwise part.
bool deep_inside(const pokarr& part, int direction, double reach, std::vector<boxed_chain_element>& elements)
{
    elements.clear();
    for (int i = 1; i < part.count;) {
        const chain_element e = chain_element_at(part.x, part.y, part.count, i);
        if (!e.valid) break;
        i = e.next;
        elements.push_back(boxed_chain_element_of(part.x, part.y, e));
    }
    const auto deep = [&](double mx, double my, double nx, double ny) {
        const double length = std::sqrt(nx * nx + ny * ny);
        if (!(length > 0.0)) return false;
        const double px = mx + direction * reach * nx / length, py = my + direction * reach * ny / length;
        for (const boxed_chain_element& other : elements)
            if (!clear_of(part, other, px, py, reach)) return false;
        return horn_tail_point_side_in_loop(part, px, py) != ray_side::outside;
    };
    for (const boxed_chain_element& b : elements) {
        const chain_element& e = b.e;
        const double sx = part.x[e.start], sy = part.y[e.start], ex = part.x[e.end], ey = part.y[e.end];
        if (e.arc) {
            double mx = 0.0, my = 0.0;
            arc_pnt_by_vector(e.r, e.dir, e.cx, e.cy, sx, sy, ex, ey, 0.5, mx, my);
            if (deep(mx, my, e.dir * (e.cx - mx), e.dir * (e.cy - my))) return true;
            continue;
        }
        const int probes = 1 + static_cast<int>(std::hypot(ex - sx, ey - sy) / reach);
        for (int k = 0; k < probes; ++k) {
            const double t = (k + 0.5) / probes;
            if (deep(sx + t * (ex - sx), sy + t * (ey - sy), -(ey - sy), ex - sx)) return true;
        }
    }
    return false;
}

// Whether the spot lies inside the source and every vertex of it stands the distance less the
// tolerance or more from it: a piece of the raw offset cut out elsewhere (beyond a concave
// corner, outside the source) is no spot of the region.
bool spot_of_region(const pokarr& spot, const pokarr& source, double distance)
{
    int inside = 0, status = 0;
    pnt_in_pokarr(spot.x[0], spot.y[0], source, inside, status);
    if (status != 0 || inside != kLoopInside) return false;
    const double least = distance - pocket_work_block.tolerance;
    for (int i = 1; i < spot.count;) {
        const chain_element e = chain_element_at(spot.x, spot.y, spot.count, i);
        if (!e.valid) return false;
        i = e.next;
        const double point[2] = {spot.x[e.end], spot.y[e.end]};
        double nearest[3] = {0.0, 0.0, 0.0}, t = 0.0, d = 0.0;
        int k = 0;
        pokarr_nearest_pnt(kPlanar, point, source, k, t, nearest, d);
        if (k == 0 || d < least) return false;
    }
    return true;
}

}  // namespace

int collapse_part_lanes(const oneoff_request& branch, int first, int last)
{
    const lane_table& lt = lane_table_block;
    const pocket_work& w = pocket_work_block;
    const double reach = 0.5 * w.engine_step + w.tolerance;
    pokarr_work part;
    std::vector<boxed_chain_element> elements;
    for (int n = first; n <= last; ++n) {
        if (lt.contour_type[n] != kContourCollapse) continue;
        int status = 0;
        lane_to_pokarr(n, part.a, status);
        if (status != 0) return kEngineArrayFailed;
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(part.a, area, direction);
        // A disc of the reach needs that much room.
        if (!(area > std::numbers::pi * reach * reach) || !deep_inside(part.a, direction, reach, elements)) continue;
        // The lanes open a branch of their own; the number goes back when none was made.
        int& branches = *branch.branch_count;
        oneoff_request inner = branch;
        inner.level = ++branches;
        const int before = lt.count;
        const int result = collapse_half_step(inner, part.a, nullptr);
        if (lt.count == before && branches == inner.level) --branches;
        if (result != 0 && result != kOneoffNoOffset && result != kEngineEndLoopSmall) return result;
    }
    return 0;
}

int collapse_half_step_spots(const oneoff_request& half, const collapse_pieces& b, const pokarr& source, int first_new,
                             int result)
{
    const lane_table& lt = lane_table_block;
    bool level_taken = false;
    for (int n = first_new; n <= lt.count && !level_taken; ++n) level_taken = lt.level[n] == half.level;
    std::vector<double> x, y;
    std::size_t first = 0;
    for (const int count : b.counts) {
        x.assign(b.x.begin() + static_cast<std::ptrdiff_t>(first),
                 b.x.begin() + static_cast<std::ptrdiff_t>(first + count));
        y.assign(b.y.begin() + static_cast<std::ptrdiff_t>(first),
                 b.y.begin() + static_cast<std::ptrdiff_t>(first + count));
        first += static_cast<std::size_t>(count);
        pokarr spot;
        pokarr_init(kPlanar, spot);
        int status = 0;
        pokarr_init_static(kPlanar, x.data(), y.data(), nullptr, nullptr, count, count, spot, status);
        double area = 0.0;
        int direction = 0;
        if (status == 0) pokarr_area_dir(spot, area, direction);
        // A larger piece of the offset's direction was judged as a lane: noted, it crossed its
        // source.
        if (status == 0 && direction == 1 && !(area > kOuterMinArea) && !loop_is_crumb(spot, area) &&
            spot_of_region(spot, source, half.distance)) {
            const int level = level_taken ? ++*half.branch_count : half.level;
            level_taken = true;
            lane_add(half.pass, level, half.source_lane, half.source_lane, 0, half.distance, kContourCollapse, spot,
                     status);
            if (status != 0) {
                pokarr_free(spot);
                return status;
            }
            result = 0;
        }
        pokarr_free(spot);
    }
    return result;
}

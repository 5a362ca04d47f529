// The region the links of the lane drawing may cross below the top of the material (see the
// header).
#include "pocket_lanes/moves/link_region.hpp"

#include "host/tolerance.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/lane_arc_points.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kForward = 1;
constexpr int kOpenContour = 3;
// Arcs are stepped within this share of the tolerance: the chords give little of the slack that
// the way test allows away.
constexpr double kChordShare = 0.25;
// And never finer than the single-precision rounding of the tool path's points.
constexpr double kLeastChordDistance = vantu::kRealTolerance;

// The distance the lanes keep from the contour of this level: its offset at the current level,
// or at the top where a draft makes it larger there (the material above the level stands out to
// that), with the extra offset and the first offset.
double clearance_of(int level)
{
    const pocket_work& w = pocket_work_block;
    const pocket_state& s = pocket_state_block;
    const double here = w.offsets[level];
    const double at_top = here - (s.first_level_z + s.z_step - s.current_z) * w.taper[level];
    return std::max(here, at_top) + w.lanes_extra_offset + w.first_offset;
}

// Whether a lane row is a closed contour whose offset slot exists.
bool contour_row(int row)
{
    const lane_table& t = lane_table_block;
    const int level = t.level[row];
    const bool named = level == kOuterLevel || (level > kLevelIsland && level <= kOffsetSlots);
    return named && t.contour_type[row] != kOpenContour && t.first[row + 1] > t.first[row];
}

// The side of the region from the engine's lanes (rows after the contours up to the first cut
// lane, with a live status): the turning sense of the one of the largest area, read forward.
bool engine_lanes_left(pokarr& lane, int& status)
{
    const lane_table& t = lane_table_block;
    const int end = std::min(pocket_box_block.first_output_lane, t.count + 1);
    double largest = 0.0;
    bool left = true;
    for (int row = t.island_count + 2; row < end && status == 0; ++row) {
        if (t.status[row] < 1 || t.first[row + 1] <= t.first[row]) continue;
        pokmain_to_arr(kForward, t.first[row], t.first[row + 1], lane, status);
        const double area = status == 0 ? lane_signed_area(lane.x, lane.y, lane.count) : 0.0;
        if (std::fabs(area) <= largest) continue;
        largest = std::fabs(area);
        left = area > 0.0;
    }
    return left;
}

bool& lanes_left()
{
    static bool left = true;
    return left;
}

}  // namespace

way_region& link_region()
{
    static way_region region;
    return region;
}

void contour_region_fill(way_region& region, int& status)
{
    status = 0;
    const lane_table& t = lane_table_block;
    const double distance = std::max(kChordShare * pocket_work_block.tolerance, kLeastChordDistance);
    const int rows = std::min(t.count, t.island_count + 1);
    pokarr contour;
    pokarr_init(2, contour);
    for (int row = 1; row <= rows && status == 0; ++row) {
        if (!contour_row(row)) continue;
        pokmain_to_arr(kForward, t.first[row], t.first[row + 1], contour, status);
        if (status != 0) break;
        // The region lies inside the outer contour and outside the islands.
        const bool counter_clockwise = lane_signed_area(contour.x, contour.y, contour.count) > 0.0;
        const bool region_left = counter_clockwise == (t.level[row] == kOuterLevel);
        way_region_add(region, lane_points_reversed(contour.x, contour.y, contour.count, distance, region_left),
                       clearance_of(t.level[row]));
    }
    pokarr_free(contour);
}

void link_region_build(int& status)
{
    way_region& region = link_region();
    way_region_forget(region);
    contour_region_fill(region, status);
    if (status != 0) return;
    // Read backward, every lane turns the other way.
    pokarr lane;
    pokarr_init(2, lane);
    lanes_left() = engine_lanes_left(lane, status) == (pocket_state_block.order_flag != 0);
    pokarr_free(lane);
}

void link_region_forget()
{
    way_region_forget(link_region());
    lanes_left() = true;
}

bool link_region_lanes_left() { return lanes_left(); }

double link_height(const double* to, double usual)
{
    // Outside the drawing no region is kept: the callers keep their usual heights there.
    if (link_region().ends.empty()) return usual;
    const pocket_state& s = pocket_state_block;
    const std::array<float, 3> at = DSP8().position();
    const double from[2] = {at[0], at[1]};
    return way_height(link_region(), from, to, usual, s.first_level_z + s.z_step, pocket_work_block.tolerance);
}

// The ramps into a level: down the start of the first lane (ramp_in_first_lane) and from the
// path start point in the entry motion (ramp_along_first_lane); both lay the ramp along a string
// made of the first lane (see ramp_entry.hpp).
#include "pocket_lanes/entry/ramp_entry.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/warn_at_point.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/entry/ramp_points.hpp"
#include "pocket_lanes/moves/link_region.hpp"
#include "pocket_lanes/moves/open_strings.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kPointsOnly = 1;
constexpr int kFeedBase = 1, kFeedRamp = 3;
constexpr int kStringFirst = 9000;
// The ramp string grows by doubling; this many tries cover any lane the store can hold.
constexpr int kStringTriesMost = 16;
constexpr const char* kEntryPointPrefix = "ENTRY POINT:";

const std::array<double, 3> kUp = {0.0, 0.0, 1.0};

// The ramp points (x, y, z doubles) that CLCRMP made; the array is closed when this goes.
struct ramp_points {
    int handle = -1;
    int count = 0;
    ramp_points() = default;
    ramp_points(const ramp_points&) = delete;
    ramp_points& operator=(const ramp_points&) = delete;
    ~ramp_points()
    {
        int status = 0;
        if (handle >= 0) MM_CLOSE(handle, status);
    }
    std::array<double, 3> at(int i) const
    {
        const double* p = static_cast<const double*>(mmcptr(handle)) + 3 * i;
        return {p[0], p[1], p[2]};
    }
};

// The ramp string: the point to reach, then the first lane as plain points (closed lanes turned
// to start at that point); then the ramp laid along it.
void make_ramp(const double* reach, int count, const double* points, bool turn_closed, ramp_points& ramp, int& status)
{
    std::vector<double> string(static_cast<std::size_t>(std::max(kStringFirst, 8 * count + 2)));
    int written = 0;
    status = -1;
    for (int tries = 0; tries < kStringTriesMost && status != 0; ++tries) {
        if (tries > 0) string.resize(2 * string.size());
        string[0] = reach[0];
        string[1] = reach[1];
        TK2STR(1, pocket_work_block.tolerance, link_region_lanes_left(), count, points,
               static_cast<int>(string.size()) - 2, written, string.data() + 2, status);
    }
    if (status != 0) return;
    double* lane = string.data() + 2;
    const bool closed = written > 2 && eqptd(2, lane, lane + 2 * (written - 1)) != 0;
    if (turn_closed && closed) lane_start_at_point(reach[0], reach[1], written, lane);
    const int on_string = eqptd(2, reach, lane) != 0 ? 1 : 0;
    CLCRMP(written + 1, string.data(), closed ? 1 : on_string, ramp.count, ramp.handle, status);
}

// Feed mode 3 down the ramp from its top (the last point) to its foot (the first).
void down_the_ramp(const ramp_points& ramp, int& status)
{
    set_mch_change_mode(kFeedRamp);
    for (int i = ramp.count - 1; i >= 0 && status >= 0; --i) PLINE_pts(kPointsOnly, ramp.at(i), kUp, status);
}

// Whether the straight way from the ramp's foot to `to` would gouge: the hatch's test against the
// contours, and, while the drawing keeps its link region, the distance the lanes keep from them.
bool way_back_gouges(const double* foot, const double* to, int& status)
{
    int n = 0, gouge = 0;
    xy_output none;
    region_hatch().temp_hatch(kHatchGougeTest, foot, to, n, none, gouge, status);
    if (status < 0) return true;
    status = 0;
    if (gouge != 0) return true;
    const way_region& region = link_region();
    return !region.ends.empty() && !way_in_region(region, foot, to, pocket_work_block.tolerance);
}

}  // namespace

void ramp_in_first_lane(const double* lane_start, int count, const double* points, int& status)
{
    pocket_state& ps = pocket_state_block;
    ramp_points ramp;
    make_ramp(lane_start, count, points, true, ramp, status);
    if (status != 0 || ramp.count < 1) {
        status = -1;
        return;
    }
    const std::array<double, 3> foot = ramp.at(0);
    const double to[3] = {lane_start[0], lane_start[1], foot[2]};
    // The ramp may lie on another lane than the one it enters; the way from its foot to the lane
    // start is tested first, so that a ramp that cannot reach the lane cuts nothing. A foot on the
    // lane start has no way back (the hatch has no direction for a move of no length).
    const bool way_back = eqptd(2, foot.data(), to) == 0;
    if (way_back && way_back_gouges(foot.data(), to, status)) {
        if (status >= 0) status = kRampNotMade;
        return;
    }
    const double rise = ps.clear_height;
    std::array<double, 3> top = ramp.at(ramp.count - 1);
    if (!DSP8().stands_at(3, top.data())) {
        std::array<double, 3> above = top;
        above[2] = link_height(top.data(), above[2] + rise);
        int dimension = kPointsOnly;
        fast2m_d(dimension, above, kUp, 1, HEI8().real(heights_state::kIncremental) - rise, status);
        if (status < 0) return;
    }
    down_the_ramp(ramp, status);
    if (status < 0) return;
    if (way_back) {
        int n = 0, gouge = 0;
        xy_output none;
        region_hatch().temp_hatch(kHatchWrite, foot.data(), to, n, none, gouge, status);
        if (status < 0) return;
        if (gouge != 0) {
            status = -1;
            return;
        }
    }
    point_mover_words& pm = point_mover();
    if (ps.level_counter == 1 && pm.entry_pending != 0) {
        const float e[3] = {static_cast<float>(to[0]), static_cast<float>(to[1]), static_cast<float>(to[2])};
        if (ps.offsets_mode != 1) warn_at_point(kEntryPointPrefix, e, " ");
        pm.entry_pending = 0;
        set_exec_disp_mode(kExecDisplayNormal);
    }
    set_mch_change_mode(kFeedBase);
    PLINE_pts(kPointsOnly, {to[0], to[1], to[2]}, kUp, status);
    if (status > 0) status = 0;
}

void ramp_along_first_lane(int m, int count, const double* points, int& gouge, bool& ramped, int& status)
{
    pocket_state& ps = pocket_state_block;
    ramped = false;
    ramp_points ramp;
    make_ramp(ps.path_start, count, points, true, ramp, status);
    if (status != 0 || ramp.count < 1) {
        if (status > 0) status = -1;
        return;
    }
    const std::array<double, 3> foot = ramp.at(0);
    const double start[3] = {ps.path_start[0], ps.path_start[1], foot[2]};
    gouge = 0;
    xy_output none;
    int n = 0;
    const bool way_back = eqptd(2, foot.data(), start) == 0;
    if (way_back) {
        gouge = way_back_gouges(foot.data(), start, status) ? 1 : 0;
        if (status < 0) return;
    }
    std::array<double, 3> top = {ps.path_start[0], ps.path_start[1], ps.current_z + ps.approach_height};
    if (gouge == 0) {
        top = ramp.at(ramp.count - 1);
        top[2] += ps.clear_height;
    }
    if (!DSP8().stands_at(3, top.data())) {
        pocket_strend({top[0], top[1], link_height(top.data(), top[2])}, m, 0.0, status);
        if (status < 0) return;
        set_exec_disp_mode(kExecDisplayNormal);
    }
    if (gouge != 0) return;
    if (!DSP8().stands_at(3, top.data())) {
        PLINE_pts(kPointsOnly, top, kUp, status);
        if (status < 0) return;
    }
    down_the_ramp(ramp, status);
    if (status < 0) return;
    set_mch_change_mode(kFeedBase);
    if (way_back) {
        region_hatch().temp_hatch(kHatchWrite, foot.data(), start, n, none, gouge, status);
        if (status < 0) return;
    }
    status = 0;
    ramped = true;
}

// The entry motion of a chain and the snap of the indicated start point (see the header).
#include "pocket_lanes/entry/pocket_entry.hpp"

#include "host/vantu.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/entry/entry_bookkeeping.hpp"
#include "pocket_lanes/entry/lane_leads.hpp"
#include "pocket_lanes/entry/ramp_entry.hpp"
#include "pocket_lanes/pocket_approach.hpp"
#include "pocket_lanes/region_hatch_seams.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/exec_disp_mode.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/nc_entr.hpp"
#include "toolpath/tool_position.hpp"
#include "toolpath/user_lines.hpp"
#include "toolpath/warn_at_point.hpp"

#include <cmath>
#include <vector>

namespace {

constexpr int kPointsOnly = 1;
constexpr int kFeedBase = 1;
constexpr int kArcLead = 2;
constexpr int kSearchApproach = 1, kPlainApproach = 3;
constexpr int kWireCodeA = 34, kWireCodeB = 38;
constexpr double kSnapReach = 10.0;
constexpr double kFarAway = 1.0e10;
constexpr int kStartPolygons = 5;
constexpr const char* kEntryPointPrefix = "ENTRY POINT:";
constexpr const char* kIgnoredStart =
    "WARNING: MOTION FROM INDICATED STARTING POINT TO POCKET  |         MIGHT GOUGE THE CONTOURS, THEREFORE IT WAS "
    "IGNORED.";
constexpr const char* kIgnoredStartGouge =
    "WARNING: MOTION FROM INDICATED STARTING POINT TO POCKET |          MIGHT GOUGE THE CONTOURS, THEREFORE IT WAS "
    "IGNORED.";
constexpr const char* kRefusedStart =
    "WARNING: MOTION FROM INDICATED STARTING POINT TO POCKET |         MIGHT GOUGE THE CONTOURS, THEREFORE IT WAS "
    "IGNORED.";
constexpr const char* kMightGouge =
    "WARNING: MOTION FROM INDICATED STARTING POINT|         TO POCKET  MIGHT GOUGE THE CONTOURS";
constexpr const char* kGougeSuffix = "|WARNING: MOTION TO POCKET MIGHT GOUGE THE CONTOURS";

const std::array<double, 3> kUp = {0.0, 0.0, 1.0};

void give_up_start_point(bool& use_start)
{
    pocket_state_block.start_point_entry = 0;
    use_start = false;
    int request = 1;
    entpnt_flag_gs(2, request);
}

// Records and reports the entry point (step 9 of the entry).
void record_entry(int gouge, int& status)
{
    pocket_state& ps = pocket_state_block;
    point_mover_words& pm = point_mover();
    int request = 0;
    entpnt_flag_gs(1, request);
    if (ps.start_point_entry != 0 && request == 0) {
        ps.path_start[0] = ps.start_point[0];
        ps.path_start[1] = ps.start_point[1];
    }
    pm.entry_pending = 1;
    ps.path_start[2] = ps.current_z;
    const float e[3] = {static_cast<float>(ps.path_start[0]), static_cast<float>(ps.path_start[1]),
                        static_cast<float>(ps.current_z)};
    const int code = nu_sgcd_get_code();
    if (code == kWireCodeA || code == kWireCodeB) {
        int fresh = 1;
        mark_entry_point(e, fresh);
        if (fresh == 0) {
            pm.entry_pending = 0;
            nc_entr_add(e, status);
            if (status < 0) return;
        }
    }
    if (pm.entry_pending == 0) return;
    if (gouge == 0) {
        if (ps.offsets_mode != 1) warn_at_point(kEntryPointPrefix, e, " ");
    } else {
        warn_at_point(kEntryPointPrefix, e, kGougeSuffix);
        ps.start_point_used = 1;
    }
    pm.entry_pending = 0;
    set_exec_disp_mode(kExecDisplayNormal);
    if (request != 0) {
        userrc_lines(gouge == 0 ? kIgnoredStart : kIgnoredStartGouge);
        int cleared = 0;
        entpnt_flag_gs(2, cleared);
    }
}

}  // namespace

void pocket_entry_motion(int search_flag, int approach_flag, int ramp_request, int record_flag, int side, int kind,
                         int lane, const double* lane_start, int count, const double* points, int& plunge_pending,
                         entry_approach& approach, int& status)
{
    pocket_state& ps = pocket_state_block;
    status = 0;
    const int saved_entry = ps.start_point_entry;
    const double saved_start[2] = {ps.start_point[0], ps.start_point[1]};
    struct restore {
        int flag;
        double x, y;
        ~restore()
        {
            pocket_state_block.start_point_entry = flag;
            pocket_state_block.start_point[0] = x;
            pocket_state_block.start_point[1] = y;
        }
    } const on_exit{saved_entry, saved_start[0], saved_start[1]};
    const int m = search_flag != 0 ? kSearchApproach : kPlainApproach;
    int gouge = 0;
    const std::array<double, 3> target = {lane_start[0], lane_start[1], ps.current_z};
    if (DSP8().stands_at(3, target.data())) {
        set_mch_change_mode(kFeedBase);
        PLINE_pts(kPointsOnly, target, kUp, status);
        if (status < 0) return;
        plunge_pending = 0;
        ps.path_start[0] = target[0];
        ps.path_start[1] = target[1];
        if (record_flag != 0 && ps.level_counter == 1) record_entry(gouge, status);
        return;
    }
    bool use_start = ps.start_point_entry != 0 && (ps.start_offset[0] != 0.0 || ps.start_offset[1] != 0.0);
    if (use_start) {
        start_point_snap(status);
        if (status < 0) return;
        ramp_request = 0;
    }
    const int k = use_start ? kHatchIndicatedStart : 0;
    double aim[2] = {lane_start[0], lane_start[1]};
    if (approach_flag != 0) {
        approach_retry(side, approach.result, kind, lane, count, points, approach.point, approach.centre,
                       approach.direction, approach.found, status);
        if (status < 0) {
            approach.result = kApproachFailed;
            return;
        }
        aim[0] = approach.point[0];
        aim[1] = approach.point[1];
        if (ps.lead_mode == kArcLead && approach.result == kApproachFound && ps.entry_shift > 0 &&
            pocket_work_block.approach_shift != 0) {
            aim[0] += 0.1 * (lane_start[0] - aim[0]);
            aim[1] += 0.1 * (lane_start[1] - aim[1]);
        }
    }
    ps.path_start[0] = aim[0];
    ps.path_start[1] = aim[1];
    bool start_move = ps.start_point_entry != 0;
    if (start_move && eqptd(2, ps.start_point, ps.path_start) != 0) start_move = false;
    if (ps.start_point_entry != 0) ramp_request = 0;
    bool ramped = false;
    xy_output none;
    if (start_move) {
        const double from[3] = {ps.start_point[0], ps.start_point[1], ps.current_z};
        const double to[3] = {ps.path_start[0], ps.path_start[1], ps.current_z};
        int n = 0;
        region_hatch().temp_hatch(kHatchGougeTest + k, from, to, n, none, gouge, status);
        (void)n;
        if (status < 0) return;
        if (status == kHatchRefused || gouge != 0) {
            give_up_start_point(use_start);
            start_move = false;
            gouge = 0;
            status = 0;
            if (ramp_request < 0) {
                status = kEntryStartRefused;
                return;
            }
        }
    }
    if (ramp_request > 0 && !start_move) {
        ramp_along_first_lane(m, count, points, gouge, ramped, status);
        if (status < 0) return;
    }
    std::array<double, 3> p = {ps.path_start[0], ps.path_start[1], ps.current_z};
    if (start_move) p = {ps.start_point[0], ps.start_point[1], ps.current_z};
    std::array<double, 3> q = p;
    if (use_start) {
        q[0] += ps.start_offset[0];
        q[1] += ps.start_offset[1];
    }
    if (!ramped && !DSP8().stands_at(3, p.data())) {
        const std::array<double, 3> above = {q[0], q[1], ps.current_z + ps.approach_height};
        pocket_strend(above, m, 0.0, status);
        if (status < 0) return;
    }
    if (ps.start_point_entry != 0 || use_start || approach_flag == 0) {
        plunge_pending = 0;
        if (!ramped) {
            plnzup_d(kPointsOnly, q, kUp, ps.approach_height, status);
            if (status < 0) return;
        }
        if (use_start) {
            PLINE_pts(kPointsOnly, p, kUp, status);
            if (status < 0) return;
        }
    }
    if (start_move) {
        const double from[3] = {ps.start_point[0], ps.start_point[1], ps.current_z};
        const double to[3] = {ps.path_start[0], ps.path_start[1], ps.current_z};
        int n = 0;
        region_hatch().temp_hatch(kHatchWrite + k, from, to, n, none, gouge, status);
        if (status < 0) return;
        if (status == kHatchRefused) {
            userrc_lines(kRefusedStart);
            gouge = 0;
            status = 0;
            bool dropped = use_start;
            give_up_start_point(dropped);
        }
    }
    if (record_flag != 0 && ps.level_counter == 1) {
        record_entry(gouge, status);
    } else if (gouge != 0) {
        userrc_lines(kMightGouge);
    }
    if (status > 0) status = 0;
}

void start_point_snap(int& status)
{
    pocket_state& ps = pocket_state_block;
    status = 0;
    const double reach = kSnapReach * pocket_work_block.tolerance;
    int current = 0;
    polbuf_select(1, current, status);
    if (status < 0) return;
    int wanted = kStartPolygons;
    polbuf_select(0, wanted, status);
    if (status < 0) return;
    double best = kFarAway, best_x = 0.0, best_y = 0.0;
    int polygons = 0;
    polbuf_get_npol(polygons, status);
    std::vector<double> x, y;
    for (int p = 1; status == 0 && p <= polygons; ++p) {
        int n = 0;
        polbuf_get_np(p, n, status);
        if (status != 0 || n < 1) continue;
        x.resize(static_cast<std::size_t>(n));
        y.resize(static_cast<std::size_t>(n));
        for (int i = 1; status == 0 && i <= n; ++i) {
            float px = 0.0f, py = 0.0f;
            polbuf_get_point(p, i, px, py, status);
            x[static_cast<std::size_t>(i - 1)] = px;
            y[static_cast<std::size_t>(i - 1)] = py;
        }
        int k = 0;
        double t = 0.0, nx = 0.0, ny = 0.0, d = 0.0;
        nearest_on_xy_chain(ps.start_point[0], ps.start_point[1], x.data(), y.data(), n, k, t, nx, ny, d);
        if (k > 0 && d < best) {
            best = d;
            best_x = nx;
            best_y = ny;
        }
    }
    const int failed = status;
    polbuf_select(0, current, status);
    if (failed != 0) status = failed;
    if (status == 0 && best <= reach) {
        ps.start_point[0] = best_x;
        ps.start_point[1] = best_y;
    }
}

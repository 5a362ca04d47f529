// The entry motion of a chain and the snap of the indicated start point (see the header).
#include "pocket_lanes/entry/pocket_entry.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_entr.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/user_lines.hpp"
#include "nc_services/warn_at_point.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/loop_tree.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/entry/lane_leads.hpp"
#include "pocket_lanes/entry/ramp_entry.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/link_region.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"

#include <algorithm>
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

// The point of the loop pieces nearest the lane start becomes the start point and the path start
// point, as an indicated start point would; false when the pieces give none.
bool enter_on_loops(const double* lane_start)
{
    pocket_state& ps = pocket_state_block;
    double found[2] = {0.0, 0.0};
    int status = 0;
    start_point_on_loops(lane_start, found, status);
    if (status != 0) return false;
    ps.start_point_entry = 1;
    for (int i = 0; i < 2; ++i) ps.start_point[i] = ps.path_start[i] = found[i];
    return true;
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
    const double saved_path[2] = {ps.path_start[0], ps.path_start[1]};
    const int requested_ramp = ramp_request;
    int gouge = 0, k = 0;
    bool use_start = false, start_move = false;
    // The first pass of a search enters on the loop pieces nearest the lane start when it finds
    // a point there; a move from it into the pocket that would cross a contour sends the entry
    // round a second pass without it.
    for (bool on_loops = search_flag != 0 && enter_on_loops(lane_start);; on_loops = false) {
        ramp_request = requested_ramp;
        gouge = 0;
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
        use_start = ps.start_point_entry != 0 && (ps.start_offset[0] != 0.0 || ps.start_offset[1] != 0.0);
        if (use_start) {
            start_point_snap(status);
            if (status < 0) return;
            ramp_request = 0;
        }
        k = use_start ? kHatchIndicatedStart : 0;
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
        start_move = ps.start_point_entry != 0;
        if (start_move && eqptd(2, ps.start_point, ps.path_start) != 0) start_move = false;
        if (ps.start_point_entry != 0) ramp_request = 0;
        if (start_move) {
            const double from[3] = {ps.start_point[0], ps.start_point[1], ps.current_z};
            const double to[3] = {ps.path_start[0], ps.path_start[1], ps.current_z};
            int n = 0;
            xy_output none;
            const int strict = ps.strict_gouge;
            if (on_loops) ps.strict_gouge = 1;
            region_hatch().temp_hatch(kHatchGougeTest + k, from, to, n, none, gouge, status);
            ps.strict_gouge = strict;
            if (status < 0) return;
            if (on_loops && (status == kHatchRefused || gouge != 0)) {
                ps.start_point_entry = saved_entry;
                for (int i = 0; i < 2; ++i) {
                    ps.start_point[i] = saved_start[i];
                    ps.path_start[i] = saved_path[i];
                }
                status = 0;
                continue;
            }
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
        break;
    }
    bool ramped = false;
    xy_output none;
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
        const std::array<double, 3> above = {q[0], q[1], link_height(q.data(), ps.current_z + ps.approach_height)};
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

namespace {

// Room of the x/y arrays for a piece of a lane of `entries` entries: the piece's own start and
// end points, the entries it passes (round a closed lane at most all of them once more) and the
// arc record it may end inside.
constexpr int kPieceSlack = 8;

// The piece of a lane that a segment record describes, relative to the pocket frame.
void segment_piece(const word* segment, std::vector<double>& x, std::vector<double>& y, int& count)
{
    const int lane = static_cast<int>(segment[kSegmentLane]);
    int entries = 0;
    count = -1;
    lane_npnts(lane, entries);
    if (entries < 1) return;
    const int room = 2 * entries + kPieceSlack;
    x.assign(static_cast<std::size_t>(room), 0.0);
    y.assign(static_cast<std::size_t>(room), 0.0);
    const double start[2] = {words_to_double(segment + kSegmentStartPoint),
                             words_to_double(segment + kSegmentStartPoint + 2)};
    const double end[2] = {words_to_double(segment + kSegmentEndPoint),
                           words_to_double(segment + kSegmentEndPoint + 2)};
    lane_extract_part(lane, static_cast<int>(segment[kSegmentMode]), static_cast<int>(segment[kSegmentStartElement]),
                      words_to_double(segment + kSegmentStartParameter), start,
                      static_cast<int>(segment[kSegmentEndElement]), words_to_double(segment + kSegmentEndParameter),
                      end, x.data(), y.data(), room, count);
}

// The segment records of a node of the copy, null when it has none or its loop is a contour's.
const word* node_segments(const word* node, int& count)
{
    count = 0;
    const int handle = static_cast<int>(node[kNodeHandle]);
    if (handle < 0) return nullptr;
    const loop_record* loop = loop_of_key(static_cast<int>(node[kNodeKey]));
    if (loop != nullptr && loop->state == kLoopContour) return nullptr;
    const word* segments = static_cast<const word*>(mmcptr(handle));
    if (segments == nullptr) return nullptr;
    count = std::min(static_cast<int>(node[kNodeSegments]), MM_CUR_N_ENTRIES(handle));
    return segments;
}

}  // namespace

void start_point_on_loops(const double* point, double* nearest, int& status)
{
    nearest[0] = point[0];
    nearest[1] = point[1];
    status = -1;
    const node_arrays& n = node_arrays_block;
    const word* nodes = n.copy_handle >= 0 ? static_cast<const word*>(mmcptr(n.copy_handle)) : nullptr;
    if (nodes == nullptr) return;
    const double* origin = pocket_frame_block.origin;
    const double px = point[0] - origin[0], py = point[1] - origin[1];
    const int node_count = std::min(n.count, MM_CUR_N_ENTRIES(n.copy_handle));
    double best = kFarAway;
    std::vector<double> x, y;
    for (int i = 0; i < node_count; ++i) {
        int segment_count = 0;
        const word* segments = node_segments(nodes + kNodeWords * i, segment_count);
        for (int s = 0; s < segment_count; ++s) {
            const word* segment = segments + kSegmentWords * s;
            if (segment[kSegmentUsed] == 0) continue;
            int count = 0;
            segment_piece(segment, x, y, count);
            if (count < 1) continue;
            int k = 0;
            double t = 0.0, nx = 0.0, ny = 0.0, d = 0.0;
            nearest_on_xy_chain(px, py, x.data(), y.data(), count, k, t, nx, ny, d);
            if (k < 1 || !(d < best)) continue;
            best = d;
            nearest[0] = nx + origin[0];
            nearest[1] = ny + origin[1];
            status = 0;
        }
    }
}

// DRAWPK: the lanes of the lane table drawn as the tool path of one Z level, chain by chain (see
// the header); drawpk_find_start around it.
#include "pocket_lanes/pocket_drawing.hpp"

#include "driver/machining_type.hpp"
#include "driver/prog_line.hpp"
#include "host/vantu.hpp"
#include "pocket/pocket_draw_words.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/pocket_state.hpp"
#include "pocket/pocket_work.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/corner_moves.hpp"
#include "pocket_lanes/entry_bookkeeping.hpp"
#include "pocket_lanes/lane_leads.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_lanes/open_strings.hpp"
#include "pocket_lanes/pocket_approach.hpp"
#include "pocket_lanes/pocket_entry.hpp"
#include "pocket_lanes/ramp_entry.hpp"
#include "toolpath/proc_geometry_words_least.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tool_position.hpp"
#include "toolpath/updown_buffers.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <cstring>

namespace {

constexpr int kDrawMode = 1, kFindStartMode = 10;
constexpr int kFeedRapid = 4, kFeedBase = 1, kFeedPercentage = 25;
constexpr int kLevelPair = 2, kLevelClose = 4;
constexpr int kStockType = 2;
constexpr int kContourPassType = 13;
constexpr int kLinkMode = 1;
constexpr int kCornerModeSize = 4, kCornerModeWire = 5;
constexpr int kArcLead = 2;
constexpr int kMostStrings = 50;
constexpr int kLeadOutKind = 21;
constexpr int kLeadInKind = 12, kLeadInApproachKind = 13;
constexpr int kLaneKind = 2, kLaneApproachKind = 3;
constexpr int kFeedKind = 1;
constexpr double kApproachPullIn = 0.1;
constexpr int kProgressKind = 0;

bool code_in(int code, std::initializer_list<int> codes) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }
bool wire_code(int code) { return code == 34 || code == 38; }
// Machines whose levels are not closed by an end marker 2/4.
bool no_level_marker(int code) { return code_in(code, {2, 27, 34, 38, 50, 51, 56}); }

void report_failure(int& status)
{
    eroutc(kDrawpkFailure, 0);
    status = -1;
}

// The working storage of one call, released on every exit.
struct draw_buffers {
    double* xy = nullptr;
    double* z = nullptr;
    int capacity = 0;     // doubles of the x/y list (two per point); the z list holds half
    int entry_handle = -1;
    int entry_capacity = kDrawListFirst;
    int string_handle = -1;
    int string_capacity = kDrawListFirst;

    draw_buffers() = default;
    draw_buffers(const draw_buffers&) = delete;
    draw_buffers& operator=(const draw_buffers&) = delete;
    ~draw_buffers()
    {
        free_lists();
        int status = 0;
        if (entry_handle >= 0) MM_CLOSE(entry_handle, status);
        if (string_handle >= 0) MM_CLOSE(string_handle, status);
    }
    void free_lists()
    {
        DM_FREE(xy, 0);
        DM_FREE(z, 0);
        xy = z = nullptr;
    }
    // Both lists at `doubles` entries of the x/y list; contents are not kept.
    bool allocate(int doubles, bool with_z)
    {
        free_lists();
        capacity = doubles;
        xy = static_cast<double*>(DM_ALLOC(sizeof(double) * static_cast<std::size_t>(doubles)));
        if (with_z) z = static_cast<double*>(DM_ALLOC(sizeof(double) * static_cast<std::size_t>(doubles / 2 + 1)));
        return xy != nullptr && (!with_z || z != nullptr);
    }
    // Room for a lane of `points` entries: the lists double until 2 x points stays below the
    // capacity.
    bool fit(int points, bool with_z)
    {
        if (2 * points < capacity) return true;
        int doubles = capacity;
        while (2 * points >= doubles) doubles *= 2;
        return allocate(doubles, with_z);
    }
};

// The per-call words of the lane loop.
struct draw_call {
    int code = 0;
    int dimension = 2;
    int saved_sign = 1;
    int first_cut = 0;
    int new_chain = 1;
    int chain_drawn = 0;
    int first_lane = 1;
    int ramp_pending = 0;
    int skip_chain = 0;
    int failed_lane = 0;
    int lead_in_allowed = 1;
    int lead_out_allowed = 1;
    int start_moves_allowed = 1;
    int split_lane = 0;      // the last lane went through chkocont
    entry_approach approach;
    // Open strings of the last split lane waiting to be drawn.
    int strings = 0;
    int next_string = 0;
    int string_counts[kMostStrings + 2] = {};
    int string_offset = 0;   // doubles of the store before the next string
};

bool level_drawn() { return point_mover().level_drawn != 0; }

// The lane's entries into the lists (absolute), forward or backward by the order flag.
void read_lane(int lane, draw_buffers& b, const draw_call& c, int& status)
{
    const lane_table& lt = lane_table_block;
    const int forward = pocket_state_block.order_flag != 0 ? 1 : 0;
    const int end = lt.first[lane + 1];
    if (c.dimension == 2) pokmain_get_xy(forward, lt.first[lane], end, b.xy, b.capacity / 2, status);
    else pokmain_get_xyz(forward, lt.first[lane], end, b.xy, b.z, b.capacity / 2, status);
}

bool lane_closed(const double* xy, int count)
{
    return count > 2 && eqvald(xy[0], xy[2 * count - 2]) != 0 && eqvald(xy[1], xy[2 * count - 1]) != 0;
}

// The ramp of the chain's first lane: the ramp lane into the entry array, turned to start at the
// path start point when closed. A failure skips the chain (skip-chain, failed lane kept).
bool compute_ramp(draw_call& c, int lane, draw_buffers& b, int& ramp_lane, int& ramp_count)
{
    pocket_state& ps = pocket_state_block;
    ramp_lane = lane;
    int status = 0;
    ramp_entry_array out{b.entry_handle, b.entry_capacity, 0};
    ramp_entry_calc(ps.order_flag, ps.path_start, ramp_lane, out, status);
    b.entry_handle = out.handle;
    b.entry_capacity = out.capacity;
    if (status != 0) {
        c.skip_chain = 1;
        c.failed_lane = lane;
        c.ramp_pending = -1;
        return false;
    }
    ramp_count = out.used / 2;
    double* points = static_cast<double*>(mmcptr(b.entry_handle));
    if (lane_closed(points, ramp_count)) lane_start_at_point(ps.path_start[0], ps.path_start[1], ramp_count, points);
    return true;
}

// Ramps into the chain's first lane along the ramp lane (steps 12 to 14 of the lane loop).
bool ramp_into(draw_call& c, int lane, draw_buffers& b, int& status)
{
    int ramp_lane = 0, ramp_count = 0;
    if (!compute_ramp(c, lane, b, ramp_lane, ramp_count)) return false;
    const double* points = static_cast<const double*>(mmcptr(b.entry_handle));
    ramp_in_first_lane(b.xy, ramp_count, points, status);
    c.ramp_pending = 0;
    return true;
}

// Step 11: the first lane of the call. Answers false when the lane is not drawn or the call
// ends (done set; status as it ends).
bool first_lane_entry(draw_call& c, int lane, int count, bool lead_lane, draw_buffers& b, bool& done, int& status)
{
    pocket_state& ps = pocket_state_block;
    const double first[2] = {b.xy[0], b.xy[1]};
    if (lead_lane) {
        approach_retry(0, c.approach.result, kLeadInApproachKind, lane, count, b.xy, c.approach.point,
                       c.approach.centre, c.approach.direction, c.approach.found, status);
        if (status < 0) {
            done = true;
            return false;
        }
    }
    if (ps.drawing_mode == kFindStartMode) {
        double start[2] = {first[0], first[1]};
        if (lead_lane) {
            start[0] = c.approach.point[0];
            start[1] = c.approach.point[1];
            if (ps.lead_mode == kArcLead && c.approach.result == kApproachFound) {
                start[0] += kApproachPullIn * (first[0] - start[0]);
                start[1] += kApproachPullIn * (first[1] - start[1]);
            }
        }
        if (ps.start_point_entry != 0) {
            start[0] = ps.start_point[0];
            start[1] = ps.start_point[1];
        }
        ps.path_start[0] = start[0];
        ps.path_start[1] = start[1];
        status = 0;
        done = true;
        return false;
    }
    ps.path_start[0] = lead_lane ? c.approach.point[0] : first[0];
    ps.path_start[1] = lead_lane ? c.approach.point[1] : first[1];
    const double* entry_points = b.xy;
    int entry_count = count;
    if (c.ramp_pending == 1) {
        int ramp_lane = 0;
        if (compute_ramp(c, lane, b, ramp_lane, entry_count)) {
            entry_points = static_cast<const double*>(mmcptr(b.entry_handle));
        } else if (ps.start_point_entry == 0) {
            return false;
        } else {
            status = 0;
        }
    }
    if (ps.start_point_entry != 0) {
        ps.path_start[0] = ps.start_point[0];
        ps.path_start[1] = ps.start_point[1];
    }
    const std::array<float, 3> before = DSP8().position();
    int plunge = 1;
    const int record = ps.level_counter == 1 ? 1 : 0;
    pocket_entry_motion(0, 0, c.ramp_pending == 1 ? 1 : 0, record, 0, kLeadInApproachKind, lane, ps.path_start,
                        entry_count, entry_points, plunge, c.approach, status);
    if (status == -1 || status == kEntryStartRefused) {
        report_failure(status);
        done = true;
        return false;
    }
    if (c.ramp_pending == 1) c.ramp_pending = 0;
    const std::array<float, 3> after = DSP8().position();
    if (after != before) point_mover().level_drawn = 1;
    if (std::abs(after[2] - ps.current_z) <= 1.0e-4) c.first_lane = 0;
    if (ps.start_point_used != 0) {
        ps.last_position[0] = ps.start_point[0];
        ps.last_position[1] = ps.start_point[1];
    }
    ps.last_position[2] = after[2];
    return true;
}

void progress_step()
{
    prog_count_set(4, 0);
    prog_percent(kProgressKind);
}

// The end of a call: fit, close, level end marker, the report of a lane that could not be
// entered.
void end_of_call(const draw_call& c, int& status)
{
    pocket_state& ps = pocket_state_block;
    int st = 0;
    if (fit_state().count > 0) motion_bspline_fit(st);
    updown_close(st);
    if (level_drawn() && !no_level_marker(c.code)) {
        tp_mrkr_write(kMarkerClose, kLevelPair, kLevelClose, static_cast<float>(ps.current_z), ps.level_counter, st);
        if (st < 0) {
            report_failure(status);
            return;
        }
    }
    status = 0;
    const std::array<float, 3> tool = DSP8().position();
    ps.last_position[0] = tool[0];
    ps.last_position[1] = tool[1];
    if (c.failed_lane == 0) return;
    if (wire_code(c.code)) {
        double x = 0.0, y = 0.0;
        lane_first_xy(c.failed_lane, x, y);
        char text[96];
        std::snprintf(text, sizeof text, "X = %.4f Y = %.4f Z = %.4f", x + pocket_frame_block.origin[0],
                      y + pocket_frame_block.origin[1], ps.current_z);
        msg_mdls(400, 70, text);
    }
    if (proc_geometry().curve_approx.lane_report != 0) msg_mdls(400, 110);
    else if (IsDebugMode() != 0) lane_show(c.failed_lane);
    status = kLaneNotEntered;
}

}  // namespace

void DRAWPK(int /*mode_a*/, int /*mode_b*/, int& status)
{
    pocket_state& ps = pocket_state_block;
    const lane_table& lt = lane_table_block;
    const curve_approx_words& ca = proc_geometry().curve_approx;
    draw_buffers b;
    draw_call c;
    c.dimension = ps.pocket_dimension;
    const bool with_z = c.dimension != 2;
    status = 0;
    int st = 0;
    void* base = nullptr;
    if (!b.allocate(kDrawListFirst, with_z)) return report_failure(status);
    MM_OPEN_ARRAY(8, kDrawListFirst, b.entry_handle, base, st);
    if (st == 0) MM_OPEN_ARRAY(8, kDrawListFirst, b.string_handle, base, st);
    if (st != 0) return report_failure(status);
    c.code = nu_sgcd_get_code();
    c.saved_sign = ps.direction_sign;
    // Whatever way the call ends: the sign, the lead settings and the corner boxes go back.
    struct call_end {
        const draw_call& c;
        ~call_end()
        {
            if (c.split_lane != 0) restore_lead_params();
            pocket_state_block.direction_sign = c.saved_sign;
            corner_box_store_release();
            prog_reset_text();
        }
    } const on_exit{c};
    pk_draw_phase_reset();
    const std::array<float, 3> tool = DSP8().position();
    for (int i = 0; i < 3; ++i) ps.last_position[i] = tool[static_cast<std::size_t>(i)];
    clr_tp_flag();
    set_mch_change_mode(kFeedRapid);
    point_mover_words& pm = point_mover();
    if (!code_in(c.code, {2, 34, 38})) pm.level_start_marker = 0;
    if (!no_level_marker(c.code)) pm.level_start_marker = 1;
    ps.start_point_used = 0;
    ps.stored_feed = ps.percentage_feed = 0;
    pm.entry_pending = 1;
    c.first_cut = pocket_box_block.first_output_lane;
    const int cut_lanes = lt.count - c.first_cut;
    if (c.first_cut < 1 || cut_lanes <= 0) return report_failure(status);
    pm.level_drawn = 0;
    prog_reset_all();
    prog_count_set(1, cut_lanes);
    c.ramp_pending = ps.ramp_flag != 0 ? 1 : 0;
    if (ps.start_point_entry == 0 && wire_code(c.code) && lt.outer_type == kStockType && lt.island_count == 0) {
        ps.lead_values[0] = 0.0;
        c.ramp_pending = 0;
        c.lead_out_allowed = 0;
        if (ps.order_flag != 0) c.lead_in_allowed = 0;
    }
    const bool forward = ps.order_flag != 0;
    const int step = forward ? 1 : -1;
    const int last_cut = lt.count - 1;
    int lane = forward ? c.first_cut - 1 : last_cut + 1;
    const int machining = machining_type();
    for (;;) {
        int count = 0;
        bool contour_lane = false;
        // 1: the open strings of the last split lane come first.
        if (c.next_string < c.strings) {
            const int n = c.string_counts[++c.next_string];
            const int offset = c.string_offset;
            c.string_offset += 2 * n;
            if (n <= 1) continue;
            if (!b.fit(n, with_z)) return report_failure(status);
            std::memcpy(b.xy, static_cast<const double*>(mmcptr(b.string_handle)) + offset,
                        sizeof(double) * 2 * static_cast<std::size_t>(n));
            count = n;
            c.new_chain = 1;
            c.chain_drawn = 0;
        } else {
            // 2 to 8: the next lane.
            if (c.split_lane != 0) {
                restore_lead_params();
                c.split_lane = 0;
            }
            c.strings = c.next_string = 0;
            ps.direction_sign = c.saved_sign;
            lane += step;
            if (lane < c.first_cut || lane > last_cut) break;
            progress_step();
            if (lt.level[lane] == kLevelSeparator) {
                c.new_chain = 1;
                c.chain_drawn = 0;
                c.skip_chain = 0;
                continue;
            }
            if (c.skip_chain != 0) continue;
            if (ps.contour_pass >= 1 && lt.status[lane] == 1 && lt.group[lane] == 0) {
                contour_lane = (machining == kContourPassType && ps.contour_pass == 2) || lt.level[lane] < kLevelIsland;
                if (machining != kContourPassType && lt.level[lane] < kLevelIsland) continue;
            }
            count = lt.first[lane + 1] - lt.first[lane];
            if (ps.pocket_dimension == 4) count /= 2;
            if (!b.fit(count, with_z)) return report_failure(status);
            if (count <= 0) continue;
            read_lane(lane, b, c, st);
            if (st != 0) return report_failure(status);
            const bool closed = lane_closed(b.xy, count);
            const int level = lt.level[lane];
            if (closed && lt.status[lane] == 1 && level > kLevelIsland &&
                lt.contour_type[level - kLevelIsland] == kStockType) {
                c.chain_drawn = 0;
                continue;
            }
            if (level > kLevelIsland && !forward && ps.offsets_mode != 1) ps.direction_sign = -ps.direction_sign;
            // 8: open strings.
            int split_mode = 0;
            bool split = false;
            if (ps.drawing_mode == kDrawMode) {
                if (contour_lane) split = true;
                else if (machining == kContourPassType && lt.status[lane] == 1 && lt.group[lane] == 0 &&
                         ps.offsets_mode == 1 && ca.open_contour != 1) {
                    split = true;
                    split_mode = kOpenStringsUntested;
                }
            }
            if (split) {
                open_string_store store{b.string_handle, b.string_capacity, 0};
                c.string_counts[1] = count;
                c.strings = 1;
                c.split_lane = 1;
                chkocont(split_mode, ps.direction_sign, ps.current_z, kMostStrings, ps.working_tolerance, b.xy,
                         c.strings, c.string_counts, ps.last_position, store, st);
                b.string_handle = store.handle;
                b.string_capacity = store.capacity;
                if (st < 0) return report_failure(status);
                if (st == kOpenStringsCut) c.failed_lane = lane;
                if (c.strings <= 0) continue;
                c.next_string = 1;
                c.string_offset = 0;
                count = c.string_counts[1];
                if (!b.fit(count, with_z)) return report_failure(status);
                std::memcpy(b.xy, static_cast<const double*>(mmcptr(b.string_handle)),
                            sizeof(double) * 2 * static_cast<std::size_t>(count));
                c.string_offset = 2 * count;
            }
        }
        // 9, 10.
        if (c.new_chain != 0) c.ramp_pending = ps.ramp_flag != 0 ? 1 : 0;
        const bool connection = lt.group[lane] == kGroupConnection;
        const bool lead_lane = lt.status[lane] == 1 && c.dimension == 2 && ca.motion_link_mode != kLinkMode &&
                               !connection;
        const bool fit_lane = lt.status[lane] == 1 && c.dimension == 2 && ca.motion_link_mode == kLinkMode;
        if (connection) c.ramp_pending = 0;
        // 11.
        if (c.first_lane != 0) {
            bool done = false;
            if (!first_lane_entry(c, lane, count, lead_lane, b, done, status)) {
                if (done) return status >= 0 && ps.drawing_mode != kFindStartMode ? end_of_call(c, status) : void();
                continue;
            }
        }
        const double* z = with_z ? b.z : nullptr;
        // 12: the lead-in.
        if (lead_lane && c.lead_in_allowed != 0) {
            const bool starts = c.new_chain != 0 || c.first_lane != 0 || !level_drawn();
            const int kind = starts ? kLeadInApproachKind : kLeadInKind;
            c.first_lane = 0;
            if (starts && c.ramp_pending == 1) {
                if (!ramp_into(c, lane, b, st)) continue;
                if (st < 0) return report_failure(status);
            }
            if (c.approach.result < 0) {
                approach_retry(0, c.approach.result, kind, lane, count, b.xy, c.approach.point, c.approach.centre,
                               c.approach.direction, c.approach.found, st);
                if (st < 0) return report_failure(status);
            }
            const double first[3] = {b.xy[0], b.xy[1], ps.current_z};
            const tool_position_state& tool = DSP8();
            if (wire_code(c.code) && (eqptd(2, c.approach.point, first) != 0 || tool.stands_at(2, first)) &&
                eqval(tool.position()[2], static_cast<float>(ps.current_z)) != 0)
                c.start_moves_allowed = 0;
            if (c.start_moves_allowed != 0) {
                lane_start_move(c.approach.result, kind, c.dimension, b.xy, z, c.approach.point, c.approach.centre,
                                c.approach.direction, 0, st);
                if (st < 0) return report_failure(status);
            }
            c.approach.result = -1;
            set_mch_change_mode(kFeedBase);
        } else if (c.chain_drawn != 0) {
            // 13: the link from the last lane of the chain.
            set_mch_change_mode(kFeedPercentage);
            ps.percentage_feed = 1;
            if (c.new_chain == 0 && level_drawn()) {
                if (ca.motion_link_mode == kLinkMode) {
                    pocket_links().link = pocket_links().link_source;
                } else {
                    const double first[3] = {b.xy[0], b.xy[1], z != nullptr ? z[0] : ps.current_z};
                    pocket_approach(kFeedKind, c.dimension, ps.last_position, first, st);
                    if (st < 0) return report_failure(status);
                }
            } else if (c.ramp_pending == 1) {
                if (!ramp_into(c, lane, b, st)) continue;
                if (st < 0) return report_failure(status);
            }
            set_mch_change_mode(kFeedBase);
            ps.percentage_feed = 0;
        }
        // 14: the lane's first move.
        int kind = kLaneKind;
        if (c.new_chain != 0 || c.first_lane != 0 || !level_drawn()) {
            kind = kLaneApproachKind;
            if (c.ramp_pending == 1 && !connection) {
                if (!ramp_into(c, lane, b, st)) continue;
                if (st < 0) return report_failure(status);
                kind = kLaneKind;
            }
        }
        c.chain_drawn = 1;
        int entry_param = lt.status[lane] == 1 ? 1 : 0;
        pk_entry_param_gs(2, entry_param);
        // 16: corner loops.
        if (lt.status[lane] != 1 &&
            ((ca.corner_move_mode == kCornerModeSize && ca.corner_size != 0.0f && (c.code == 27 || c.code == 2)) ||
             (ca.corner_move_mode == kCornerModeWire && wire_code(c.code)))) {
            double* list = b.xy;
            int capacity = b.capacity / 2;
            corner_moves_insert(list, count, lane, capacity, st);
            b.xy = list;
            b.capacity = 2 * capacity;
            if (st != 0) return report_failure(status);
        }
        // 17, 18.
        lane_end_link(connection ? 1 : 0, kind, c.new_chain, count, b.xy, z, c.dimension, st);
        if (st < 0) return report_failure(status);
        prog_percent(kProgressKind);
        // 19: the lead-out.
        if (lead_lane && c.lead_out_allowed != 0) {
            if (fit_state().count > 0) motion_bspline_fit(st);
            if (st >= 0) lane_lead_out(0, kLeadOutKind, c.dimension, count, lane, b.xy, z, st);
            if (st >= 0 && fit_state().count > 0) motion_bspline_fit(st);
            if (st < 0) return report_failure(status);
        } else if (fit_lane && fit_state().count > 0) {
            motion_bspline_fit(st);
            if (st < 0) return report_failure(status);
        }
        // 20.
        if (ca.motion_link_mode == kLinkMode) {
            pocket_links().link = 1;
            c.new_chain = pocket_links().link_source == 0 ? 1 : 0;
        } else {
            c.new_chain = 0;
        }
    }
    end_of_call(c, status);
}

void drawpk_find_start(int& status)
{
    pocket_state& ps = pocket_state_block;
    word& entry_mode = drelan_params_current.at(drelan_params::kEntryMode);
    const word saved = entry_mode;
    ps.drawing_mode = kFindStartMode;
    entry_mode = 1;
    ps.start_point_entry = 0;
    DRAWPK(0, 0, status);
    entry_mode = saved;
    ps.drawing_mode = kDrawMode;
}

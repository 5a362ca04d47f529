// DRAWPK: the lanes of the lane table drawn as the tool path of one Z level, chain by chain (see
// the header); drawpk_find_start around it. The lane loop runs in named steps: the next open
// string or lane (steps 1 to 8), how it is entered (9 to 11), and the lane drawn with its
// lead-in or link, first move, corner loops, moves and lead-out (12 to 20).
#include "pocket_lanes/pocket_drawing.hpp"

#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/prog_line.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/pocket_draw_words.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/corner_moves.hpp"
#include "pocket_lanes/entry/lane_leads.hpp"
#include "pocket_lanes/entry/pocket_entry.hpp"
#include "pocket_lanes/entry/ramp_entry.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/link_region.hpp"
#include "pocket_lanes/moves/open_strings.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/updown_buffers.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

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

bool code_in(int code, std::initializer_list<int> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}
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
    int capacity = 0;  // doubles of the x/y list (two per point); the z list holds half
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
    int split_lane = 0;   // the last lane went through chkocont
    bool with_z = false;  // the lists carry z (a pocket in space)
    // The walk over the cut lanes.
    bool forward = true;
    int step = 1;
    int last_cut = 0;
    int lane = 0;
    int machining = 0;
    entry_approach approach;
    // Open strings of the last split lane waiting to be drawn.
    int strings = 0;
    int next_string = 0;
    int string_counts[kMostStrings + 2] = {};
    int string_offset = 0;  // doubles of the store before the next string
};

bool level_drawn() { return point_mover().level_drawn != 0; }

// The lane's entries into the lists (absolute), forward or backward by the order flag.
void read_lane(int lane, draw_buffers& b, const draw_call& c, int& status)
{
    const lane_table& lt = lane_table_block;
    const int forward = pocket_state_block.order_flag != 0 ? 1 : 0;
    const int end = lt.first[lane + 1];
    if (c.dimension == 2)
        pokmain_get_xy(forward, lt.first[lane], end, b.xy, b.capacity / 2, status);
    else
        pokmain_get_xyz(forward, lt.first[lane], end, b.xy, b.z, b.capacity / 2, status);
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
// `ramped` tells whether the tool came down the ramp; a ramp whose way to the lane gouges is left
// out and the lane is entered as without one.
bool ramp_into(draw_call& c, int lane, draw_buffers& b, bool& ramped, int& status)
{
    int ramp_lane = 0, ramp_count = 0;
    ramped = false;
    if (!compute_ramp(c, lane, b, ramp_lane, ramp_count)) return false;
    const double* points = static_cast<const double*>(mmcptr(b.entry_handle));
    ramp_in_first_lane(b.xy, ramp_count, points, status);
    c.ramp_pending = 0;
    ramped = status == 0;
    if (status == kRampNotMade) status = 0;
    return true;
}

// The first lane of the call. Answers false when the lane is not drawn or the call
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
    if (proc_geometry().curve_approx.lane_report != 0)
        msg_mdls(400, 110);
    else if (IsDebugMode() != 0)
        lane_show(c.failed_lane);
    status = kLaneNotEntered;
}

// Whatever way the call ends: the sign, the lead settings and the corner boxes go back.
struct call_end {
    const draw_call& c;
    ~call_end()
    {
        if (c.split_lane != 0) restore_lead_params();
        pocket_state_block.direction_sign = c.saved_sign;
        corner_box_store_release();
        prog_reset_text();
        link_region_forget();
    }
};

// What a step of the lane loop tells the loop: go on with the lane, go to the next one (nothing
// more of this lane is drawn), stop after the last lane, fail, or end the call at once.
enum class lane_step { go_on, skip, no_more_lanes, failed, call_ended };

// The lane (or open string of a lane) the loop is drawing.
struct lane_in_hand {
    int count = 0;            // entries of the x/y list
    bool connection = false;  // a connection lane: approached, never ramped into
    bool lead_lane = false;   // entered by a lead-in and left by a lead-out
    bool fit_lane = false;    // fitted after it is written (motion-link mode 1)
};

const double* lane_z(const draw_call& c, const draw_buffers& b) { return c.with_z ? b.z : nullptr; }

// ---- the call and the level ------------------------------------------------------------------

// The lists and the two work arrays of the call; false when one cannot be had.
bool open_call(draw_buffers& b, draw_call& c)
{
    c.dimension = pocket_state_block.pocket_dimension;
    c.with_z = c.dimension != 2;
    if (!b.allocate(kDrawListFirst, c.with_z)) return false;
    int status = 0;
    void* base = nullptr;
    MM_OPEN_ARRAY(8, kDrawListFirst, b.entry_handle, base, status);
    if (status == 0) MM_OPEN_ARRAY(8, kDrawListFirst, b.string_handle, base, status);
    return status == 0;
}

// The level before its first lane: the tool position, rapid feed, the point mover's markers and
// flags, the progress count; false when the table holds no cut lane.
bool start_level(draw_call& c)
{
    pocket_state& ps = pocket_state_block;
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
    const int cut_lanes = lane_table_block.count - c.first_cut;
    if (c.first_cut < 1 || cut_lanes <= 0) return false;
    pm.level_drawn = 0;
    prog_reset_all();
    prog_count_set(1, cut_lanes);
    return true;
}

// The ramp and lead switches of the call and the walk over the cut lanes: a wire pocket of stock
// without islands is entered without ramp and left without lead-out.
void start_lane_walk(draw_call& c)
{
    pocket_state& ps = pocket_state_block;
    const lane_table& lt = lane_table_block;
    c.ramp_pending = ps.ramp_flag != 0 ? 1 : 0;
    if (ps.start_point_entry == 0 && wire_code(c.code) && lt.outer_type == kStockType && lt.island_count == 0) {
        ps.lead_values[0] = 0.0;
        c.ramp_pending = 0;
        c.lead_out_allowed = 0;
        if (ps.order_flag != 0) c.lead_in_allowed = 0;
    }
    c.forward = ps.order_flag != 0;
    c.step = c.forward ? 1 : -1;
    c.last_cut = lt.count - 1;
    c.lane = c.forward ? c.first_cut - 1 : c.last_cut + 1;
    c.machining = machining_type();
}

// ---- the next lane or string -------------------------------------------------------------------

// Copies n points of the string store from `offset` (doubles) into the x/y list.
void string_into_list(draw_buffers& b, int offset, int n)
{
    std::memcpy(b.xy, static_cast<const double*>(mmcptr(b.string_handle)) + offset,
                sizeof(double) * 2 * static_cast<std::size_t>(n));
}

// The next open string of the lane split last, drawn as a chain of its own.
lane_step take_next_string(draw_call& c, draw_buffers& b, lane_in_hand& l)
{
    const int n = c.string_counts[++c.next_string];
    const int offset = c.string_offset;
    c.string_offset += 2 * n;
    if (n <= 1) return lane_step::skip;
    if (!b.fit(n, c.with_z)) return lane_step::failed;
    string_into_list(b, offset, n);
    l.count = n;
    c.new_chain = 1;
    c.chain_drawn = 0;
    return lane_step::go_on;
}

// Steps 2 to 4: on to the next lane of the table. A separator starts a new chain; the lanes of a
// skipped chain and the contour-pass lanes of other machining types are passed over.
lane_step advance_lane(draw_call& c, bool& contour_lane)
{
    pocket_state& ps = pocket_state_block;
    const lane_table& lt = lane_table_block;
    if (c.split_lane != 0) {
        restore_lead_params();
        c.split_lane = 0;
    }
    c.strings = c.next_string = 0;
    ps.direction_sign = c.saved_sign;
    c.lane += c.step;
    const int lane = c.lane;
    if (lane < c.first_cut || lane > c.last_cut) return lane_step::no_more_lanes;
    progress_step();
    if (lt.level[lane] == kLevelSeparator) {
        c.new_chain = 1;
        c.chain_drawn = 0;
        c.skip_chain = 0;
        return lane_step::skip;
    }
    if (c.skip_chain != 0) return lane_step::skip;
    if (ps.contour_pass >= 1 && lt.status[lane] == 1 && lt.group[lane] == 0) {
        contour_lane = (c.machining == kContourPassType && ps.contour_pass == 2) || lt.level[lane] < kLevelIsland;
        if (c.machining != kContourPassType && lt.level[lane] < kLevelIsland) return lane_step::skip;
    }
    return lane_step::go_on;
}

// Steps 5 to 7: the lane's points into the lists. A closed island lane of stock is not drawn;
// island lanes cut backward turn the direction sign.
lane_step read_next_lane(draw_call& c, draw_buffers& b, lane_in_hand& l)
{
    pocket_state& ps = pocket_state_block;
    const lane_table& lt = lane_table_block;
    const int lane = c.lane;
    int count = lt.first[lane + 1] - lt.first[lane];
    if (ps.pocket_dimension == 4) count /= 2;
    if (!b.fit(count, c.with_z)) return lane_step::failed;
    if (count <= 0) return lane_step::skip;
    int status = 0;
    read_lane(lane, b, c, status);
    if (status != 0) return lane_step::failed;
    const bool closed = lane_closed(b.xy, count);
    const int level = lt.level[lane];
    if (closed && lt.status[lane] == 1 && level > kLevelIsland && lt.contour_type[level - kLevelIsland] == kStockType) {
        c.chain_drawn = 0;
        return lane_step::skip;
    }
    if (level > kLevelIsland && !c.forward && ps.offsets_mode != 1) ps.direction_sign = -ps.direction_sign;
    l.count = count;
    return lane_step::go_on;
}

// Whether the lane is split into open strings, and the mode of the split (contour-pass
// lanes are tested step by step, the lanes of an open contour pass are taken whole).
bool split_wanted(const draw_call& c, bool contour_lane, int& split_mode)
{
    const pocket_state& ps = pocket_state_block;
    const lane_table& lt = lane_table_block;
    split_mode = 0;
    if (ps.drawing_mode != kDrawMode) return false;
    if (contour_lane) return true;
    if (c.machining == kContourPassType && lt.status[c.lane] == 1 && lt.group[c.lane] == 0 && ps.offsets_mode == 1 &&
        proc_geometry().curve_approx.open_contour != 1) {
        split_mode = kOpenStringsUntested;
        return true;
    }
    return false;
}

// The lane split into its usable open strings; the first comes into the lists, the
// others wait for step 1. A split cut short marks the lane as not entered.
lane_step split_into_strings(draw_call& c, draw_buffers& b, int split_mode, lane_in_hand& l)
{
    pocket_state& ps = pocket_state_block;
    open_string_store store{b.string_handle, b.string_capacity, 0};
    c.string_counts[1] = l.count;
    c.strings = 1;
    c.split_lane = 1;
    int status = 0;
    chkocont(split_mode, ps.direction_sign, ps.current_z, kMostStrings, ps.working_tolerance, b.xy, c.strings,
             c.string_counts, ps.last_position, store, status);
    b.string_handle = store.handle;
    b.string_capacity = store.capacity;
    if (status < 0) return lane_step::failed;
    if (status == kOpenStringsCut) c.failed_lane = c.lane;
    if (c.strings <= 0) return lane_step::skip;
    c.next_string = 1;
    c.string_offset = 0;
    l.count = c.string_counts[1];
    if (!b.fit(l.count, c.with_z)) return lane_step::failed;
    string_into_list(b, 0, l.count);
    c.string_offset = 2 * l.count;
    return lane_step::go_on;
}

// Steps 2 to 8: the next lane of the table, split into open strings where asked.
lane_step take_next_lane(draw_call& c, draw_buffers& b, lane_in_hand& l)
{
    bool contour_lane = false;
    lane_step step = advance_lane(c, contour_lane);
    if (step == lane_step::go_on) step = read_next_lane(c, b, l);
    if (step != lane_step::go_on) return step;
    int split_mode = 0;
    return split_wanted(c, contour_lane, split_mode) ? split_into_strings(c, b, split_mode, l) : lane_step::go_on;
}

// Steps 9 and 10: how the lane is entered and left; a new chain may be ramped into.
void classify_lane(draw_call& c, lane_in_hand& l)
{
    const lane_table& lt = lane_table_block;
    const curve_approx_words& ca = proc_geometry().curve_approx;
    if (c.new_chain != 0) c.ramp_pending = pocket_state_block.ramp_flag != 0 ? 1 : 0;
    const bool cut = lt.status[c.lane] == 1 && c.dimension == 2;
    l.connection = lt.group[c.lane] == kGroupConnection;
    l.lead_lane = cut && ca.motion_link_mode != kLinkMode && !l.connection;
    l.fit_lane = cut && ca.motion_link_mode == kLinkMode;
    if (l.connection) c.ramp_pending = 0;
}

// The entry into the level at the first lane of the call.
lane_step enter_level(draw_call& c, draw_buffers& b, const lane_in_hand& l, int& status)
{
    if (c.first_lane == 0) return lane_step::go_on;
    bool done = false;
    if (first_lane_entry(c, c.lane, l.count, l.lead_lane, b, done, status)) return lane_step::go_on;
    return done ? lane_step::call_ended : lane_step::skip;
}

// ---- one lane drawn ----------------------------------------------------------------------------

// The lead-in of a lead lane, after the ramp into a new chain.
lane_step lead_in(draw_call& c, draw_buffers& b, const lane_in_hand& l)
{
    const pocket_state& ps = pocket_state_block;
    const bool starts = c.new_chain != 0 || c.first_lane != 0 || !level_drawn();
    const int kind = starts ? kLeadInApproachKind : kLeadInKind;
    c.first_lane = 0;
    int status = 0;
    if (starts && c.ramp_pending == 1) {
        bool ramped = false;
        if (!ramp_into(c, c.lane, b, ramped, status)) return lane_step::skip;
        if (status < 0) return lane_step::failed;
    }
    entry_approach& a = c.approach;
    if (a.result < 0) {
        approach_retry(0, a.result, kind, c.lane, l.count, b.xy, a.point, a.centre, a.direction, a.found, status);
        if (status < 0) return lane_step::failed;
    }
    // A wire already standing at the lane's start needs no start move.
    const double first[3] = {b.xy[0], b.xy[1], ps.current_z};
    const tool_position_state& tool = DSP8();
    if (wire_code(c.code) && (eqptd(2, a.point, first) != 0 || tool.stands_at(2, first)) &&
        eqval(tool.position()[2], static_cast<float>(ps.current_z)) != 0)
        c.start_moves_allowed = 0;
    if (c.start_moves_allowed != 0) {
        lane_start_move(a.result, kind, c.dimension, b.xy, lane_z(c, b), a.point, a.centre, a.direction, 0, status);
        if (status < 0) return lane_step::failed;
    }
    a.result = -1;
    set_mch_change_mode(kFeedBase);
    return lane_step::go_on;
}

// In percentage feed, the link from the chain's last lane, or the ramp into a new chain.
lane_step link_in_chain(draw_call& c, draw_buffers& b)
{
    pocket_state& ps = pocket_state_block;
    set_mch_change_mode(kFeedPercentage);
    ps.percentage_feed = 1;
    int status = 0;
    if (c.new_chain == 0 && level_drawn()) {
        if (proc_geometry().curve_approx.motion_link_mode == kLinkMode) {
            pocket_links().link = pocket_links().link_source;
        } else {
            const double* z = lane_z(c, b);
            const double first[3] = {b.xy[0], b.xy[1], z != nullptr ? z[0] : ps.current_z};
            pocket_approach(kFeedKind, c.dimension, ps.last_position, first, status);
            if (status < 0) return lane_step::failed;
        }
    } else if (c.ramp_pending == 1) {
        bool ramped = false;
        if (!ramp_into(c, c.lane, b, ramped, status)) return lane_step::skip;
        if (status < 0) return lane_step::failed;
    }
    set_mch_change_mode(kFeedBase);
    ps.percentage_feed = 0;
    return lane_step::go_on;
}

// The kind of the lane's first move: an approach where a chain or the level starts,
// unless the ramp into it has just brought the tool down.
lane_step first_move_kind(draw_call& c, draw_buffers& b, const lane_in_hand& l, int& kind)
{
    kind = kLaneKind;
    if (c.new_chain == 0 && c.first_lane == 0 && level_drawn()) return lane_step::go_on;
    kind = kLaneApproachKind;
    if (c.ramp_pending == 1 && !l.connection) {
        int status = 0;
        bool ramped = false;
        if (!ramp_into(c, c.lane, b, ramped, status)) return lane_step::skip;
        if (status < 0) return lane_step::failed;
        if (ramped) kind = kLaneKind;
    }
    return lane_step::go_on;
}

// Corner loops into a lane that is not a lead lane, where the machine asks for them.
bool insert_corner_loops(const draw_call& c, draw_buffers& b, lane_in_hand& l)
{
    const curve_approx_words& ca = proc_geometry().curve_approx;
    const bool by_size =
        ca.corner_move_mode == kCornerModeSize && ca.corner_size != 0.0f && (c.code == 27 || c.code == 2);
    const bool by_wire = ca.corner_move_mode == kCornerModeWire && wire_code(c.code);
    if (lane_table_block.status[c.lane] == 1 || !(by_size || by_wire)) return true;
    double* list = b.xy;
    int capacity = b.capacity / 2;
    int status = 0;
    corner_moves_insert(list, l.count, c.lane, capacity, status);
    b.xy = list;
    b.capacity = 2 * capacity;
    return status == 0;
}

// Steps 17 to 19: the lane written, then its lead-out (or the fit of a fitted lane).
bool write_lane(const draw_call& c, const draw_buffers& b, const lane_in_hand& l, int kind)
{
    const double* z = lane_z(c, b);
    int status = 0;
    lane_end_link(l.connection ? 1 : 0, kind, c.new_chain, l.count, b.xy, z, c.dimension, status);
    if (status < 0) return false;
    prog_percent(kProgressKind);
    if (l.lead_lane && c.lead_out_allowed != 0) {
        if (fit_state().count > 0) motion_bspline_fit(status);
        if (status >= 0) lane_lead_out(0, kLeadOutKind, c.dimension, l.count, c.lane, b.xy, z, status);
        if (status >= 0 && fit_state().count > 0) motion_bspline_fit(status);
    } else if (l.fit_lane && fit_state().count > 0) {
        motion_bspline_fit(status);
    }
    return status >= 0;
}

// Whether the next lane goes on with the chain.
void chain_on(draw_call& c)
{
    if (proc_geometry().curve_approx.motion_link_mode != kLinkMode) {
        c.new_chain = 0;
        return;
    }
    pocket_links().link = 1;
    c.new_chain = pocket_links().link_source == 0 ? 1 : 0;
}

// Steps 12 to 20: one lane (or open string) drawn: its entry, its moves, its exit.
lane_step draw_lane(draw_call& c, draw_buffers& b, lane_in_hand& l)
{
    lane_step step = lane_step::go_on;
    if (l.lead_lane && c.lead_in_allowed != 0)
        step = lead_in(c, b, l);
    else if (c.chain_drawn != 0)
        step = link_in_chain(c, b);
    int kind = kLaneKind;
    if (step == lane_step::go_on) step = first_move_kind(c, b, l, kind);
    if (step != lane_step::go_on) return step;
    c.chain_drawn = 1;
    int entry_param = lane_table_block.status[c.lane] == 1 ? 1 : 0;
    pk_entry_param_gs(2, entry_param);
    if (!insert_corner_loops(c, b, l) || !write_lane(c, b, l, kind)) return lane_step::failed;
    chain_on(c);
    return lane_step::go_on;
}

}  // namespace

void DRAWPK(int /*mode_a*/, int /*mode_b*/, int& status)
{
    draw_buffers b;
    draw_call c;
    status = 0;
    if (!open_call(b, c)) return report_failure(status);
    c.code = nu_sgcd_get_code();
    c.saved_sign = pocket_state_block.direction_sign;
    const call_end on_exit{c};
    if (!start_level(c)) return report_failure(status);
    if (pocket_state_block.drawing_mode == kDrawMode) {
        link_region_build(status);
        if (status != 0) return report_failure(status);
    }
    start_lane_walk(c);
    for (;;) {
        lane_in_hand l;
        lane_step step = c.next_string < c.strings ? take_next_string(c, b, l) : take_next_lane(c, b, l);
        if (step == lane_step::go_on) {
            classify_lane(c, l);
            step = enter_level(c, b, l, status);
        }
        if (step == lane_step::go_on) step = draw_lane(c, b, l);
        if (step == lane_step::no_more_lanes) break;
        if (step == lane_step::failed) return report_failure(status);
        if (step == lane_step::call_ended) {
            if (status >= 0 && pocket_state_block.drawing_mode != kFindStartMode) end_of_call(c, status);
            return;
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

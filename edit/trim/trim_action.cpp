// The trim action on one block range (see the header). A deleted range is replaced by its
// connection in one step: the connection is written behind the range's last motion while the
// range still stands, and only once it stands are the range's motions deleted. A connection that
// cannot be written is taken out again, so a failure leaves the range as it was.
#include "edit/trim/trim_action.hpp"

#include "driver/exec_pause_menu.hpp"
#include "edit/editor/connect_tables.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/machining_state.hpp"
#include "edit/editor/region_range.hpp"
#include "edit/editor/written_blocks.hpp"
#include "edit/trim/block_polyline.hpp"
#include "edit/trim/motion_walk.hpp"
#include "edit/trim/motion_z_level.hpp"
#include "edit/trim/project_on_surf.hpp"
#include "edit/trim/reconnect_gap.hpp"
#include "edit/trim/trim_arrays.hpp"
#include "edit/trim/trim_contour.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_polygon.hpp"
#include "listing/live_display.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/unwind_guard.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cmath>

namespace {

// List markers: the range's first block, the position on entry, the range's last block while the
// gap's sides are read, the start of the range and the block redisplay starts from (Z-level
// runs), the place the start connection returns to, the probe of next_motion_readable, the last
// block of a connection.
constexpr int kRangeFirst = 10, kEntry = 12, kRangeLast = 13, kRangeStart = 14, kRedisplayFrom = 15;
constexpr int kStartReturn = 15, kProbe = 16, kConnectionEnd = 20;
constexpr int kMarkSet = 1;
// Actions, projection options and connection options of the trimming page.
constexpr int kActionDeltaZ = 1, kActionProject = 2, kActionDelete = 3;
constexpr int kProjBelowPlane = 1, kProjAllOnPlane = 2, kProjCheckBelowSurface = 5;
constexpr int kAllProcedureBlocks = 4;
// The status of a projection after which the feed words are not given back.
constexpr int kProjectionGone = -5;
constexpr int kThroughClear = 1, kThruIncrClear = 2, kDirectly = 3, kAlongContour = 4;
// Feed modes of set_mch_change_mode.
constexpr int kFeedBase = 1, kFeedPlunge = 3, kFeedRapid = 4, kFeedUp = 26, kFeedStored = 27;
constexpr int kRetractRapid = 3;
// The current-feed word: -1.0 rapid, -2.0 or less the stored feed.
constexpr float kRapidFeed = -1.0f, kStoredFeed = -2.0f;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};
// The motion's position on the trim contour polygon: the polygon's own precision, as the walk.
constexpr double kOnContour = kWalkSideTolerance;
constexpr int kOnPolygon = 2;

bool rapid_or_stored(float feed) { return feed == kRapidFeed || feed <= kStoredFeed; }

// PRM9's base feed and the two percentage words, kept over a run and put back.
struct feed_words {
    word base = PRM9().words[machine_params::kBaseFeed];
    word down = PRM9().words[machine_params::kFeedPercent2];
    word plunge = PRM9().words[machine_params::kFeedPercent3];
    void restore() const
    {
        PRM9().words[machine_params::kBaseFeed] = base;
        PRM9().words[machine_params::kFeedPercent2] = down;
        PRM9().words[machine_params::kFeedPercent3] = plunge;
    }
};

// The feed mode of a vertical move under the current feed word.
int feed_mode_now()
{
    const float feed = trim_words().current_feed;
    const float base = PRM9().real(machine_params::kBaseFeed);
    if (feed == kRapidFeed) return kFeedRapid;
    if (feed <= kStoredFeed) return kFeedStored;
    if (feed == base) return kFeedBase;
    const float plunge = float(trim_words().plunge_feed_percent) * base * 0.01f;
    return feed == plunge ? kFeedPlunge : kFeedBase;
}

void set_plunge_percent() { PRM9().words[machine_params::kFeedPercent3] = trim_words().plunge_feed_percent; }

point3 last_written()
{
    return {trim_words().last_written[0], trim_words().last_written[1], trim_words().last_written[2]};
}

void set_last_written(const point3& p)
{
    for (std::size_t i = 0; i < 3; ++i) trim_words().last_written[i] = p[i];
}

// The point every writer starts from: the trim's last written point, the tool position and the
// move writer's last point.
void start_writers_at(const point3& p, const point3& direction)
{
    set_last_written(p);
    DSP8().set_vec(tool_position_state::kPosition, p);
    writer_continues_at(p, direction);
}

void step(int n, int& status)
{
    int answer = 0;
    lacces(n, answer);
    if (answer < 0 && status >= 0) status = answer;
}

bool mark(int marker)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    return answer >= 1;
}

// The words of one call.
struct range_run {
    int action = 0, projection = 0, per_motion = 0, connection = 0;
    bool z_level = false, surface = false;
    feed_words feeds;
    float del_z_up = trim_words().del_z_up;
    float range_feed = 0.0f;
    point3 last_end{};  // the end of the range's last motion as read
};

range_run begin_run(int start_flag, int end_flag)
{
    range_run run;
    const trim_state& t = trim_words();
    run.action = t.operation;
    run.projection = t.projection_option;
    run.per_motion = run.action == kActionDeltaZ         ? kMoveByDeltaZ
                     : run.projection == kProjAllOnPlane ? kAllOnPlane
                                                         : kBelowPlane;
    run.connection = t.connection_option;
    if (run.connection == kAlongContour && (start_flag != 0 || end_flag != 0)) run.connection = kThroughClear;
    run.z_level =
        run.action == kActionDeltaZ ||
        (run.action == kActionProject && (run.projection == kProjBelowPlane || run.projection == kProjAllOnPlane));
    run.surface = run.action == kActionProject && !run.z_level;
    trim_words().collected_count = 0;
    return run;
}

// The point before the range, the list on the range's first block (marker kRangeFirst). Without
// the start flag the motions are read from marker kRangeFirst on to the one numbered `first`;
// with it the range begins at the procedure's first block, from the position before the
// procedure. Status -2 when the list ends before the first block.
void find_start(int first, int start_flag, point3& point, point3& direction, int& status)
{
    if (start_flag != 0) {
        step(2, status);
        direction = kUp;
        if (status >= 0 && !mark(kRangeFirst)) status = -1;
        if (status >= 0) position_before_procedure(kRangeFirst, point, direction, status);
        direction = kUp;
    } else {
        tp_list_top_mark(kRangeFirst, status);
        for (int number = -1; status >= 0 && number != first;) {
            int type = 0;
            float end[3] = {}, axis[3] = {};
            trim_read_motion(1, number, type, end, axis, status);
            if (status >= 0 && number != first) tp_list_jump(1, status);
        }
        if (status >= 0 && !mark(kRangeFirst)) status = -1;
        int number = 0;
        if (status >= 0) PRVPNT(0, point, direction, number, status);
        if (status > 0) status = 0;
    }
    if (status >= 0) start_writers_at(point, direction);
}

// ---- the deleted range -------------------------------------------------------------------------

// Reads the range's motions from marker kRangeFirst to the one numbered `last`; the list stays on
// it. The feed over the range and the last motion's end go to the run.
void read_range(int last, range_run& run, int& status)
{
    tp_list_top_mark(kRangeFirst, status);
    for (int number = -1, round = 0; status >= 0 && number != last; ++round) {
        if (round > 0) tp_list_jump(1, status);
        int type = 0;
        float end[3] = {run.last_end[0], run.last_end[1], run.last_end[2]}, axis[3] = {0, 0, 1};
        if (status >= 0) trim_read_motion(1, number, type, end, axis, status);
        if (status < 0) return;
        if (round == 0) run.range_feed = trim_words().current_feed;
        run.last_end = {end[0], end[1], end[2]};
    }
}

// The sides of the gap the range leaves: the motion before the range (seen from the block before
// marker kRangeFirst) and the motion after its last block (the list position). The current feed
// word is not moved by the search.
gap_ends range_gap(const point3& from, const point3& to, int& status)
{
    gap_ends ends;
    ends.from = from;
    ends.to = to;
    const float feed = trim_words().current_feed;
    if (!mark(kRangeLast)) status = -1;
    int stepped = 0;
    if (status >= 0) tp_list_top_mark(kRangeFirst, stepped);
    if (stepped >= 0) tp_list_jump(-1, stepped);
    ends.start_found = stepped >= 0 ? gap_side_point(1, from, ends.before) : 0;
    if (status >= 0) tp_list_top_mark(kRangeLast, status);
    ends.end_found = gap_side_point(0, to, ends.after);
    trim_words().current_feed = feed;
    return ends;
}

// THROUGH CLEAR and THRU.INCR.CLR.: the reconnection through the clearance, with HEI8's
// incremental height and its use-absolute word set for the call.
void connect_through_clear(const range_run& run, const gap_ends& ends, float clear_z, int& status)
{
    heights_state& h = HEI8();
    const word incremental = h.at(heights_state::kIncremental), absolute = h.at(heights_state::kUseAbsolute);
    if (run.connection == kThruIncrClear) h.set_real(heights_state::kIncremental, trim_words().inc_clear);
    h.at(heights_state::kUseAbsolute) = run.connection == kThroughClear ? 1 : 0;
    const feed_words feeds;
    set_plunge_percent();
    float clear = clear_z, lift = run.del_z_up;
    gap_connect(clear, lift, ends, status);
    feeds.restore();
    h.at(heights_state::kIncremental) = incremental;
    h.at(heights_state::kUseAbsolute) = absolute;
}

// The machining state in force at the next motion: the feed there into DSM4's FEED.
void read_next_machining(int& status)
{
    const float feed = trim_words().current_feed;
    int moved = 0;
    step(1, moved);
    int number = 0, type = 0;
    float end[3] = {}, axis[3] = {};
    if (!mark(kProbe)) status = -1;
    if (status >= 0 && moved >= 0) trim_read_motion(1, number, type, end, axis, status);
    const int types[1] = {1};
    if (status >= 0) PRVMCH(2, 1, types, status);
    trim_words().current_feed = feed;
}

// A deleted range at the procedure's start with a motion after it: a retract from its end and the
// approach down onto it, lifted by DEL Z-UP unless the next motion is a rapid or stored feed.
void connect_at_start(const range_run& run, int& status)
{
    int list = 0;
    if (!mark(kStartReturn)) status = -1;
    if (status >= 0) read_next_machining(status);
    if (status >= 0) tp_list_top_mark(kStartReturn, list);
    if (status >= 0 && list < 0) status = list;
    if (status < 0) return;
    const float lift = rapid_or_stored(DSM4().real(modal_values::kFeed)) ? 0.0f : run.del_z_up;
    STREND(1, run.last_end, kUp, kRetractRapid, lift, status);
    const float tool_z = DSP8().vec(tool_position_state::kPosition)[2];
    if (status >= 0 && run.last_end[2] + lift < tool_z)
        PLINE_entry(1, {run.last_end[0], run.last_end[1], run.last_end[2] + lift}, kUp, status);
    if (status >= 0) pline_feed_mode3(1, run.last_end, kUp, status);
}

// The connection of the deleted range, written behind its last motion (the list position).
void write_range_connection(const range_run& run, const point3& point, float clear_z, int dimension, int& start_flag,
                            int end_flag, int& status)
{
    const bool follows = [&] {
        int moved = 0;
        tp_list_jump(1, moved);
        const int readable = moved >= 0 ? next_motion_readable() : 0;
        if (moved >= 0) tp_list_jump(-1, moved);
        return readable == 1;
    }();
    if (run.connection == kThroughClear || run.connection == kThruIncrClear) {
        const gap_ends ends = range_gap(point, run.last_end, status);
        if (status >= 0) connect_through_clear(run, ends, clear_z, status);
        start_flag = 0;
    } else if (start_flag != 0) {
        if (!follows)
            trim_words().nothing_follows = 1;
        else
            connect_at_start(run, status);
        start_flag = 0;
    } else {
        const int mode = pts_differ(run.last_end, last_written()) == 0 ? kDirectly : run.connection;
        connect_trimmed_gap(mode, run.range_feed, run.last_end, point, dimension, end_flag, status);
    }
}

void delete_range(int last, range_run& run, const point3& point, float clear_z, int dimension, int& start_flag,
                  int end_flag, int& status)
{
    read_range(last, run, status);
    if (status < 0) return;
    int kept_start = start_flag;
    const bool connected = write_or_take_back(
        list_cursor().cursor_proc_blkno,
        [&](int& st) { write_range_connection(run, point, clear_z, dimension, kept_start, end_flag, st); }, status);
    if (!connected) return;
    start_flag = kept_start;
    // The list stands on the connection's last block: the feed it gives back may meet the path's.
    if (!mark(kConnectionEnd)) status = -1;
    int deleted = 0;
    if (status >= 0 && delete_range_motions(kRangeFirst, last, deleted, status))
        drop_feed_before_feed(kConnectionEnd, status);
}

// ---- the Z-level run ---------------------------------------------------------------------------

// The vertical move ahead of the range to the Z the range is put at; mode a forced feed mode or 0.
void vertical_move(float target, int start_flag, int dimension, int& status)
{
    step(-1, status);
    int forced = 0;
    const float base = PRM9().real(machine_params::kBaseFeed);
    if (trim_words().current_feed == base && target < trim_words().last_written[2]) forced = kFeedPlunge;
    if (start_flag != 0 && trim_words().current_feed == kRapidFeed) forced = kFeedRapid;
    set_plunge_percent();
    if (forced != 0) set_mch_change_mode(forced);
    trim_words().last_written[2] = target;
    if (trim_words().selection_method == 3 && trim_words().first_chain != 0) {
        mch_slots().slots[1].force = 2;
        trim_words().first_chain = 0;
    }
    if (status >= 0) PLINE_entry(dimension, last_written(), kUp, status);
    if (forced != 0 && status >= 0) {
        set_mch_change_mode(feed_mode_now());
        PUTMCH(status);
    }
}

// Removes the leading motions of a range at the procedure's start that stand still or lead to
// it: motions are deleted up to the first whose end differs from the point before it, the
// retract written at its end. last_gone: the range's last block was among them.
void remove_leading(int& first, int last, point3& point, float del_z_up, bool& last_gone, int& status)
{
    last_gone = false;
    point3 before = point;
    for (bool moved = false; !moved && status >= 0;) {
        int number = 0, type = 0;
        float end[3] = {before[0], before[1], before[2]}, axis[3] = {0, 0, 1};
        trim_read_motion(1, number, type, end, axis, status);
        if (status < 0) return;
        tp_list_delete(1, status);
        last_gone = last_gone || number == last;
        const point3 now{end[0], end[1], end[2]};
        moved = pts_differ(now, before) != 0;
        before = now;
    }
    step(-1, status);
    STREND(1, before, kUp, kRetractRapid, del_z_up, status);
    int next = 0;
    get_tp_blkno(next);
    first = next - 1;
    point = before;
    start_writers_at(point, kUp);
    step(1, status);
}

// The move onto the new level ahead of the range, or the removal of the leading motions.
// false when the run ends (the range gone with them).
bool z_level_start(const range_run& run, int& first, int last, point3& point, float clear_z, int& start_flag,
                   int dimension, float z_plane, int& status)
{
    if (start_flag == 0) {
        if (!mark(kRangeStart)) status = -1;
        for (int walked = 0; status >= 0;) {
            tp_list_jump(-1, walked);
            int size = 0, type = 0, block_class = 0;
            if (walked >= 0) tp_block_head_read(kWhereList, size, type, block_class, walked);
            if (walked < 0 || (block_class == 1 && type == 1)) break;
        }
        if (status >= 0 && !mark(kRedisplayFrom)) status = -1;
        if (status >= 0) tp_list_top_mark(kRangeStart, status);
    } else if (!mark(kRedisplayFrom)) {
        status = -1;
    }
    if (status < 0) return false;
    float target = z_plane;
    bool needed = false, made = false;
    const float written_z = trim_words().last_written[2];
    if (run.action == kActionProject) {
        needed = start_flag == 0 || clear_z < z_plane;
        made = (run.per_motion == kAllOnPlane && written_z != z_plane) || written_z < z_plane;
    } else {
        target = written_z + trim_words().delta_z;
        if (target > clear_z) {
            target = clear_z;
            if (trim_words().clear_warning != 0) msg_mdls(317, 31);
            trim_words().clear_warning = 0;
        }
        needed = start_flag == 0 || !(clear_z < target);
        made = needed;
    }
    if (needed && made) {
        vertical_move(target, start_flag, dimension, status);
        if (status >= 0) step(1, status);
        if (run.action == kActionDeltaZ) {
            if (start_flag == 0)
                tp_list_top_mark(kRangeFirst, status);
            else
                start_flag = 0;
        }
        return status >= 0;
    }
    if (needed) {
        DSP8().set_vec(tool_position_state::kPosition, point);
        return true;
    }
    bool last_gone = false;
    remove_leading(first, last, point, run.del_z_up, last_gone, status);
    if (last_gone) start_flag = 0;
    return status >= 0 && !last_gone;
}

// For a Z-level run: every motion of the range handed to move_motion_to_plane.
void z_level_loop(range_run& run, int& first, int& last, point3& point, point3& direction, int dimension, float z_plane,
                  int& status)
{
    for (bool first_motion = true; status >= 0; first_motion = false) {
        int number = 0, type = 0;
        float end[3] = {point[0], point[1], point[2]}, axis[3] = {0, 0, 1};
        trim_read_motion(1, number, type, end, axis, status);
        if (status < 0) return;
        if (first_motion) run.range_feed = trim_words().current_feed;
        run.last_end = {end[0], end[1], end[2]};
        const bool was_first = number == first, was_last = number == last;
        int split = 0, returned = number;
        move_motion_to_plane(run.last_end, {axis[0], axis[1], axis[2]}, point, direction, run.per_motion, dimension,
                             z_plane, split, returned, status);
        if (was_first) first = returned;
        if (was_last) last = returned;
        if (split != 0) {
            int next = 0;
            get_tp_blkno(next);
            if (first == returned) first = next - 1;
            if (last == returned) last = next - 1;
        }
        if (was_last) {
            if (status < 0) status = 0;
            return;
        }
    }
}

// For a Z-level run: the range shown again, and the line back down to its last end.
void z_level_finish(const range_run& run, int first, int last, int& start_flag, int dimension, float z_plane,
                    int& status)
{
    bool in_range = false;
    trim_walk_blocks(
        kRedisplayFrom,
        [&](int number, int block_class, int& walk_status) {
            const bool starts = number == first;
            if (starts && start_flag != 0)
                start_flag = 0;
            else if (starts)
                in_range = true;
            int break_flag = 0;
            if (block_class != kClassMotion || in_range) DISPLB(1, break_flag, walk_status);
            if (starts) in_range = true;
            if (break_flag != 0) exec_pause_menu(1);
            return number == last;
        },
        status);
    if (status < 0) return;
    if (z_plane != run.last_end[2]) {
        const float feed = trim_words().current_feed;
        set_mch_change_mode(rapid_or_stored(feed) ? kFeedRapid : z_plane <= run.last_end[2] ? kFeedBase : kFeedPlunge);
        set_plunge_percent();
    }
    if (run.action == kActionDeltaZ) clr_tp_flag();
    PLINE_entry(dimension, run.last_end, kUp, status);
    run.feeds.restore();
    set_mch_change_mode(kFeedBase);
    if (status >= 0) PUTMCH(status);
}

// ---- the surface projection -------------------------------------------------------------------

// A projection from the procedure's start: the leading motions that stand still or are rapids are passed
// over. The polyline starts at the end of the last of them and the list stays on the motion
// after them; when that motion ends at or above clear Z it is passed over as well and its end
// starts the polyline. false when the range holds nothing else.
bool surface_start(int last, float clear_z, point3& point, point3& direction, int& status)
{
    point3 before = point;
    for (;;) {
        int number = 0, type = 0;
        float end[3] = {before[0], before[1], before[2]}, axis[3] = {0, 0, 1};
        trim_read_motion(1, number, type, end, axis, status);
        if (status < 0) return false;
        const point3 now{end[0], end[1], end[2]};
        if (pts_differ(now, before) != 0 && trim_words().current_feed != kRapidFeed) {
            point = before;
            if (now[2] >= clear_z) {
                point = now;
                direction = {axis[0], axis[1], axis[2]};
                if (number == last) return false;
                tp_list_jump(1, status);
            }
            start_writers_at(point, direction);
            return status >= 0;
        }
        if (number == last) return false;
        before = now;
        tp_list_jump(1, status);
        if (status < 0) return false;
    }
}

// Appends the n points of one motion's polyline, with their vectors from the work array, to the
// collected polyline: the first motion's from position 0, each later one's first point in place of
// the point before it.
void collect_points(const float* points, int n, int rooms[2], int& status)
{
    trim_state& t = trim_words();
    const int base = t.collected_count == 0 ? 0 : t.collected_count - 1;
    array_room(t.collected_points, rooms[0], base + n, status);
    if (status >= 0) array_room(t.collected_vectors, rooms[1], base + n, status);
    if (status < 0) return;
    auto* to_points = static_cast<point3*>(mmcptr(t.collected_points));
    auto* to_vectors = static_cast<point3*>(mmcptr(t.collected_vectors));
    const auto* vectors = static_cast<const point3*>(mmcptr(t.projection_work));
    for (int k = 0; k < n; ++k) {
        to_points[base + k] = {points[3 * k], points[3 * k + 1], points[3 * k + 2]};
        to_vectors[base + k] = vectors[k];
    }
    t.collected_count = base + n;
}

// A surface projection: the range's motions turned into one polyline.
void collect_polyline(range_run& run, int last, point3& point, point3& direction, int& status)
{
    int rooms[2] = {kTrimArrayStart, kTrimArrayStart}, work_room = kTrimArrayStart;
    for (bool first_motion = true; status >= 0; first_motion = false) {
        int broken = 0;
        check_display_break(broken);
        if (broken != 0) exec_pause_menu(1);
        int number = 0, type = 0;
        float end[3] = {point[0], point[1], point[2]}, axis[3] = {0, 0, 1};
        trim_read_motion(1, number, type, end, axis, status);
        if (status < 0) return;
        if (first_motion) run.range_feed = trim_words().current_feed;
        int n = 0;
        point3 block_end{end[0], end[1], end[2]}, block_vector{axis[0], axis[1], axis[2]};
        tp_arc_block arc{};
        float* points = block_polyline(point, direction, trim_words().projection_work, work_room, 1, n, block_end,
                                       block_vector, arc, status);
        if (points != nullptr && status >= 0) collect_points(points, n, rooms, status);
        DM_FREE(points, 0);
        if (status < 0) return;
        point = block_end;
        direction = block_vector;
        if (number == last) return;
        tp_list_jump(1, status);
    }
}

// The polyline projected with the trim's feeds, which are given
// back after the new strings unless the projection ran out of its status -5.
void project_range(const range_run& run, int first, int last, float clear_z, int surfaces, int& start_flag,
                   int end_flag, int& status)
{
    trim_state& t = trim_words();
    PRM9().set_real(machine_params::kBaseFeed, t.feed);
    PRM9().words[machine_params::kFeedPercent2] = t.down_feed_percent;
    PRM9().words[machine_params::kFeedPercent3] = t.plunge_feed_percent;
    const auto* points = static_cast<const point3*>(mmcptr(t.collected_points));
    if (points && t.collected_count > 0 && points[t.collected_count - 1][2] == clear_z &&
        (end_flag != 0 || t.selection_method == kAllProcedureBlocks))
        --t.collected_count;
    project_on_surf(surfaces, start_flag, first, last, status);
    if (status == kProjectionGone) return;
    run.feeds.restore();
    set_mch_change_mode(kFeedBase);
    if (status == 0 && run.projection != kProjCheckBelowSurface) PUTMCH(status);
}

// ---- along the contour -------------------------------------------------------------------------

// Length along the polygon from (segment s, fraction fs) forward to (segment e, fraction fe); on
// one segment with fe before fs the walk goes once round.
double length_between(const double* polygon, int n, int s, double fs, int e, double fe)
{
    if (s != e || fe > fs) return poly_arc_length(polygon, n, s, e, fs, fe);
    return poly_arc_length(polygon, n, 1, n - 1, 0.0, 1.0) - (fs - fe) * segment_length(polygon, s);
}

int wrap(int i, int n) { return i < 1 ? n - 1 : i >= n ? 1 : i; }

bool on_contour(const point3& p)
{
    const trim_state& t = trim_words();
    const double q[2] = {p[0], p[1]};
    int result = 0;
    inpold(kOnContour, t.contour, t.contour_vertices, q, result);
    return result == kOnPolygon;
}

// ALONG CONT.: the vertices between the range's contour positions, the shorter way round, the Z
// climbing evenly from the last written Z to the end's Z.
void along_contour(const point3& end, int dimension, int& status)
{
    const trim_state& t = trim_words();
    const int n = t.contour_vertices;
    const int s = t.range_start_segment, e = t.range_end_segment;
    if (t.contour == nullptr || n < 3 || s < 1 || s >= n || e < 1 || e >= n) return;
    if (!on_contour(end) || !on_contour(last_written())) return;
    const double total = poly_arc_length(t.contour, n, 1, n - 1, 0.0, 1.0);
    double d = length_between(t.contour, n, s, t.range_start_along, e, t.range_end_along);
    int dir = 1;
    if (total - d < d) {
        dir = -1;
        d = total - d;
    }
    if (d <= 0.0) return;
    const feed_words kept;
    PRM9().set_real(machine_params::kBaseFeed, trim_words().feed);
    const float z0 = trim_words().last_written[2], rise = end[2] - z0;
    set_mch_change_mode(end[2] > z0 ? kFeedUp : kFeedBase);
    // Walking forward the vertices passed are the ends s+1 .. e of the segments; backward their
    // starts s .. e+1: at most n - 1 of them, also when a position does not match the polygon.
    double walked = (dir > 0 ? 1.0 - t.range_start_along : t.range_start_along) * segment_length(t.contour, s);
    for (int i = s, steps = 0; i != e && steps < n - 1 && status >= 0; ++steps) {
        const int k = dir > 0 ? wrap(i + 1, n) : i;
        const float z = z0 + rise * float(std::min(walked / d, 1.0));
        set_last_written({float(t.contour[2 * (k - 1)]), float(t.contour[2 * (k - 1) + 1]), z});
        PLINE_entry(dimension, last_written(), kUp, status);
        i = wrap(i + dir, n);
        walked += segment_length(t.contour, i);
    }
    if (status >= 0) PLINE_entry(dimension, end, kUp, status);
    kept.restore();
    set_mch_change_mode(kFeedBase);
    if (status >= 0) PUTMCH(status);
}

// DIRECTLY: one line to the end at the feed the range and the next motion call for.
void directly(float range_feed, const point3& end, const point3& from, int dimension, int end_flag, int& status)
{
    const feed_words kept;
    PRM9().set_real(machine_params::kBaseFeed, trim_words().feed);
    read_next_machining(status);
    if (status < 0) return;
    const float next = DSM4().real(modal_values::kFeed);
    int mode = end[2] < trim_words().last_written[2] ? kFeedUp : kFeedBase;
    if (range_feed == kRapidFeed && next == kRapidFeed)
        mode = kFeedRapid;
    else if (rapid_or_stored(range_feed) && rapid_or_stored(next))
        mode = kFeedStored;
    point3 to = end;
    if (end_flag != 0) {
        to[0] = from[0];
        to[1] = from[1];
        mode = kFeedRapid;
    }
    set_mch_change_mode(mode);
    PLINE_entry(dimension, to, kUp, status);
    kept.restore();
    if (status >= 0 && !rapid_or_stored(range_feed)) {
        set_mch_change_mode(kFeedBase);
        PUTMCH(status);
    }
}

}  // namespace

int next_motion_readable()
{
    int status = 0;
    if (!mark(kProbe)) return 0;
    const float feed = trim_words().current_feed;
    int number = 0, type = 0;
    float end[3] = {}, axis[3] = {};
    trim_read_motion(1, number, type, end, axis, status);
    trim_words().current_feed = feed;
    int back = 0;
    tp_list_top_mark(kProbe, back);
    return status >= 0 ? 1 : 0;
}

void connect_trimmed_gap(int mode, float range_feed, const point3& end, const point3& from, int dimension, int end_flag,
                         int& status)
{
    if (mode == kAlongContour) along_contour(end, dimension, status);
    if (mode == kDirectly) directly(range_feed, end, from, dimension, end_flag, status);
}

void delete_trimed_blocks(int& first, int& last, point3& point, point3& direction, float& clear_z, int& surfaces,
                          int& start_flag, int& dimension, int& end_flag, float& z_plane, int& status)
{
    status = 0;
    range_run run = begin_run(start_flag, end_flag);
    if (!(run.action == kActionProject && run.projection == kProjCheckBelowSurface)) trim_block_flags(1, status);
    int entry = 0;
    step(1, entry);
    if (!mark(kEntry)) entry = -1;
    step(-1, entry);
    const int list = list_cursor().cursor_proc_blkno;
    if (!run.surface) ncd_delete_blocks(kCurrentDisplayFile, {2, list, first}, {2, list, last}, entry);
    find_start(first, start_flag, point, direction, status);
    if (status >= 0 && run.surface && !mark(kRangeStart)) status = -1;
    bool projected = run.surface && status >= 0;
    if (projected && start_flag != 0) projected = surface_start(last, clear_z, point, direction, status);
    if (status >= 0 && run.connection == kAlongContour && rapid_or_stored(trim_words().current_feed))
        run.connection = kDirectly;
    if (run.surface && status >= 0 && !projected) status = 1;
    bool go_on = status >= 0 && (!run.surface || projected);
    if (go_on && run.z_level)
        go_on = z_level_start(run, first, last, point, clear_z, start_flag, dimension, z_plane, status);
    // A stop in the execution menu leaves by an exception: the arrays go back then too.
    const unwind_only arrays_back([] { trim_arrays_close(); });
    if (go_on && trim_arrays_open(status)) {
        if (run.action == kActionDelete) {
            delete_range(last, run, point, clear_z, dimension, start_flag, end_flag, status);
        } else if (run.surface) {
            collect_polyline(run, last, point, direction, status);
            if (status >= 0) project_range(run, first, last, clear_z, surfaces, start_flag, end_flag, status);
        } else {
            z_level_loop(run, first, last, point, direction, dimension, z_plane, status);
            if (status >= 0) z_level_finish(run, first, last, start_flag, dimension, z_plane, status);
        }
    }
    trim_arrays_close();
    ncd_connect_toolpath(kCurrentDisplayFile);
    int back = 0;
    tp_list_top_mark(kEntry, back);
    step(-1, back);
}

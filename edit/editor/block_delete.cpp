// DLTBLK: the deletion of a range of motions under the editor's cursor (see the header). The range
// is found and shown, the user confirms and chooses how the gap is closed; the connection is
// written first, beside the range, because both its ends are known before anything is deleted.
// Only once it stands are the range's motions deleted, so a connection that cannot be written
// leaves the tool path as it was instead of an unbridged gap the tool would cross at feed.
#include "edit/editor/block_delete.hpp"

#include "edit/editor/connect_tables.hpp"
#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/gap_services.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/editor/loop_trimming.hpp"
#include "edit/editor/machining_state.hpp"
#include "edit/editor/region_range.hpp"
#include "edit/editor/written_blocks.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

// Markers: the first block of the range, its last block (and, once the connection stands, the
// block after which the cursor steps on).
constexpr int kFirstMarker = 5, kLastMarker = 6;
constexpr int kFailed = -3, kCancelled = -2;
constexpr int kAnswerYes = 1, kAnswerCancel = -1, kAskAgain = -3;
constexpr int kDirectly = 1, kThroughClear = 2, kDeleteLoop = 3;
constexpr int kFirstMill = 22, kLastMill = 26;
constexpr int kFeedParameter = 1;
// Feed modes (values of machine slot 1): base feed and rapid.
constexpr int kFeedBase = 1, kFeedRapid = 4;
constexpr int kWithDirection = 3;
// Limits of the THROUGH CLEAR dialog and the default lift.
constexpr float kClearLimit = 9999.0f;
constexpr float kDefaultZUp = 1.0f;

bool list_error(int& status) { return list_error_in("DLTBLK", status); }
bool back_to(int marker, int& status) { return list_back_to(marker, "DLTBLK", status); }

float origin_z() { return NPT1().real(tp_header_state::kMacsysOrigin + 2); }

// The range as FNDRNG found it: its ends in list order, the LAYER flag and the point before it.
struct found_range {
    block_ref a, b;
    int layer = 0;
    int no_previous = 0;
    point3 point{}, direction{};
    blk_path first_path, last_path;
};

// The THROUGH CLEAR values as the dialog shows them: relative to the header Z.
struct clear_values {
    float clearance = 0.0f;
    float z_up = kDefaultZUp;
};

// Repeats a question while it answers "ask again".
template <class Ask> int asked(Ask&& ask)
{
    int answer = kAskAgain;
    while (answer == kAskAgain) ask(answer);
    return answer;
}

// The THROUGH CLEAR dialog; false when it was left.
bool clear_dialog(clear_values& values)
{
    for (;;) {
        modinz();
        prcont();
        modrc("CLEAR", values.clearance, -kClearLimit, kClearLimit);
        modrc("Z-UP", values.z_up, 0.0f, kClearLimit);
        int line = 0;
        modif1(line);
        if (line == 0) return true;
        if (line < 0 && line != kAskAgain) return false;
    }
}

// How the gap is closed: the option chosen, or 0 with status -2 (-1 when the confirmation
// answered -1) when the user cancelled.
int ask_option(int mode, clear_values& values, int& status)
{
    const int machine = NPT1().machine_type();
    if (mode == kDeleteRange && machine >= kFirstMill && machine <= kLastMill) {
        prmptc("SEL. CONNECT OPTION");
        const int choice = asked([](int& a) { menuc("DIRECTLY@THROUGH CLEAR@DELETE LOOP", a); });
        if (choice == kDirectly || choice == kDeleteLoop) return choice;
        if (choice == kThroughClear && clear_dialog(values)) return choice;
        status = kCancelled;
        return 0;
    }
    const int answer = asked([](int& a) { irepyc("OK TO DELETE ?", a); });
    if (answer == kAnswerYes) return mode == kDeleteNoConnect ? kDirectly : kThroughClear;
    status = answer == kAnswerCancel ? kAnswerCancel : kCancelled;
    return 0;
}

// A cancel: the range released and one block marked again (the last with the editor's delete,
// else the first), the list on it; result names it.
void release_range(const found_range& r, int mode, int stay, blk_path& result, int& status)
{
    const bool last = mode == kDeleteRange && stay == 0;
    ncd_set_blocks_attention(kCurrentDisplayFile, r.first_path.address(), r.last_path.address(), 0);
    result = last ? r.last_path : r.first_path;
    ncd_set_blocks_attention(kCurrentDisplayFile, result.address(), result.address(), 1);
    int back = 0;
    if (!back_to(last ? kLastMarker : kFirstMarker, back)) status = back;
}

// The motion before the range: the list on it and its end point, direction and number; false
// (the list somewhere before the range) when the range starts the list's motions.
bool previous_motion(point3& point, point3& direction, int& number, int& status)
{
    if (!back_to(kFirstMarker, status)) return false;
    int lines = 0;
    llines(lines);
    for (int round = 0; round <= lines; ++round) {
        tp_list_jump(-1, status);
        if (status == -2) {
            status = 0;
            return false;
        }
        int size = 0, type = 0, block_class = 0;
        if (status >= 0) tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) return list_error(status);
        if (block_class == kClassMotion) {
            NXTPOI(1, point, direction, number, status);
            if (status < 0) return list_error(status);
            status = 0;
            return true;
        }
    }
    return list_error(status);
}

// THROUGH CLEAR: the machine parameters the next motions need, a rapid retract, move across and
// approach, then the feed in force before the range again.
void through_clear(const gap_ends& ends, const point3& direction, const clear_values& values, int& status)
{
    const int feed_type[1] = {kFeedParameter};
    PRVMCH(2, 1, feed_type, status);
    if (status < 0) return;
    const float kept_feed = DSM4().real(modal_values::kFeed);
    trim_block_flags(0, status);
    set_mch_change_mode(kFeedBase);
    mch_param_apply(2, status);
    set_mch_change_mode(kFeedRapid);
    DSP8().set_vec(tool_position_state::kPosition, ends.from);
    DSP8().set_vec(tool_position_state::kAxis, direction);
    float clearance = values.clearance + origin_z();
    float z_up = values.z_up;
    gap_service_table().gap_connect(clearance, z_up, ends, status);
    if (status < 0) return;
    PRM9().set_real(machine_params::kBaseFeed, kept_feed);
    set_mch_change_mode(kFeedBase);
    PUTMCH(status);
}

// Writes the connection after the list position. On failure what it wrote is taken out again
// and the writer state put back; the failure is reported.
bool write_connection(int option, const gap_ends& ends, const point3& direction, const point3& reentry_direction,
                      const clear_values& values, int& status)
{
    const bool written = write_or_take_back(
        list_cursor().cursor_proc_blkno,
        [&](int& st) {
            if (option == kDirectly)
                PLINE_entry(kWithDirection, ends.to, reentry_direction, st);
            else
                through_clear(ends, direction, values, st);
        },
        status);
    return written || list_error(status);
}

// Deletes the motion blocks from marker 5 through the block numbered last_number; the other
// blocks stay.
bool delete_motions(int last_number, int& deleted, int& status)
{
    return delete_range_motions(kFirstMarker, last_number, deleted, status) || list_error(status);
}

// Finds and shows the range; false with status -3 when it cannot be found.
bool find_range(const blk_path& first, const blk_path& last, found_range& r, int& status)
{
    const int procedure = list_cursor().cursor_proc_blkno;
    r.a = {2, procedure, first.block()};
    r.b = {2, procedure, last.block()};
    FNDRNG(kFirstMarker, kLastMarker, r.a, r.b, 0, r.layer, r.no_previous, r.point, r.direction, status);
    if (status < 0) return list_error(status);
    r.first_path.set(procedure, r.a.number);
    r.last_path.set(procedure, r.b.number);
    ncd_set_blocks_attention(kCurrentDisplayFile, r.first_path.address(), r.last_path.address(), 1);
    return true;
}

// The connection's ends, with the list left on the block after which it is written: the motion
// before the range, or (none) the range's last block. `previous` names that motion (-1: none).
bool gap_of(const found_range& r, gap_ends& ends, point3& direction, point3& reentry_direction, int& previous,
            int& status)
{
    int number = 0;
    if (!back_to(kLastMarker, status)) return false;
    PRVPNT(1, ends.to, reentry_direction, number, status);
    if (status < 0) return list_error(status);
    ends.end_found = gap_service_table().gap_side_point(0, ends.to, ends.after);
    ends.from = r.point;
    direction = r.direction;
    ends.start_found = 0;
    if (previous_motion(ends.from, direction, previous, status)) {
        ends.start_found = gap_service_table().gap_side_point(1, ends.from, ends.before);
        return true;
    }
    previous = -1;
    return status >= 0 && back_to(kLastMarker, status);
}

// Where the display puts the connection, and the result path: after the motion before the range,
// or at the start of the procedure.
bool place_display(int mode, int previous, blk_path& result, int& status)
{
    const int procedure = list_cursor().cursor_proc_blkno;
    if (previous < 0) {
        result.words.fill(-1);
        result.words[0] = 1;
        result.words[1] = procedure;
        ncd_set_block_position(kCurrentDisplayFile, -1, {1, procedure, 0}, status);
        if (status >= 0) return true;
        eroutc("DLTBLK, ERRORS IN THE DISPLAY FILE", 0);
        status = kFailed;
        return false;
    }
    result.set(procedure, previous);
    ncd_set_block_position(kCurrentDisplayFile, mode == kDeleteNoConnect ? -1 : 1, result.address(), status);
    ncd_set_attrs_as_curr_block(kCurrentDisplayFile);
    status = 0;
    return true;
}

// The confirmed deletion: the connection written, then the motions deleted; the list ends on the
// block after which the cursor steps on. previous names the motion before the range (-1: none).
bool delete_and_connect(const found_range& r, int mode, int option, const clear_values& values, blk_path& result,
                        int& previous, int& deleted, int& status)
{
    gap_ends ends;
    point3 direction{}, reentry_direction{};
    if (!gap_of(r, ends, direction, reentry_direction, previous, status)) return false;
    if (previous >= 0) writer_continues_at(ends.from, direction);
    if (!place_display(mode, previous, result, status)) return false;
    int lines_before = 0, lines_after = 0;
    llines(lines_before);
    if (mode != kDeleteNoConnect && !write_connection(option, ends, direction, reentry_direction, values, status))
        return false;
    llines(lines_after);
    // With nothing before the range and nothing written the list stands on the range's last block,
    // which goes: its marker passes to the block that follows, and the cursor steps on from the
    // block before that one.
    const bool on_range_end = previous < 0 && lines_after == lines_before;
    if (!on_range_end && !list_mark_set(kLastMarker)) return list_error(status);
    if (!delete_motions(r.b.number, deleted, status)) return false;
    // The feed the connection gives back at its end gives way to a feed block of the path after it.
    if (!on_range_end) drop_feed_before_feed(kLastMarker, status);
    if (status < 0) return list_error(status);
    ncd_delete_blocks(kCurrentDisplayFile, r.first_path.address(), r.last_path.address(), status);
    ncd_connect_toolpath(kCurrentDisplayFile);
    if (!back_to(kLastMarker, status)) return false;
    if (on_range_end) tp_list_jump(-1, status);
    status = 0;
    UPDBOT(status);
    return status >= 0 || list_error(status);
}

// The cursor one motion point on from the list position; type names the block reached.
void step_on(int& type, int& status)
{
    blk_path reached;
    int stepped = 0;
    step_cursor_mark(kDirForward, reached, type, stepped);
    if (stepped < 0 && status >= 0) status = stepped;
}

}  // namespace

void DLTBLK(int mode, int stay, blk_path& result, int& type, const blk_path& first, blk_path& last, int& deleted,
            int& in_layer, int& status)
{
    deleted = 0;
    in_layer = 0;
    status = 0;
    clear_values values;
    values.clearance = HEI8().real(heights_state::kClearance) - origin_z();
    modinz();
    found_range r;
    if (!find_range(first, last, r, status)) return;
    in_layer = r.layer;
    const int option = ask_option(mode, values, status);
    if (option == kDeleteLoop) {
        ncd_set_blocks_attention(kCurrentDisplayFile, r.first_path.address(), r.last_path.address(), 0);
        EDTLOP(first, last, type, deleted, in_layer, status);
        return;
    }
    if (option == 0) {
        release_range(r, mode, stay, result, status);
        in_layer = 0;
        if (stay == 0) step_on(type, status);
        return;
    }
    int previous = -1;
    const bool done = delete_and_connect(r, mode, option, values, result, previous, deleted, status);
    if (!done && deleted == 0) {
        // Nothing was deleted: the range is released as after a cancel, the failure kept.
        int kept = status;
        release_range(r, mode, 1, result, kept);
    }
    if (done) step_on(type, status);
    if (deleted == 0) in_layer = 0;
    if (status >= 0 && done && previous < 0) status = kDeletedAtStart;
}

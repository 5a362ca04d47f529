// Go-motion insertion at the editor's cursor (see the header): the machine groups and the masks
// of the dialog, the insertion place (EDTGOI), the driver EDTGO and the re-entry (EDTGOF).
#include "edit/editor/go_motions.hpp"

#include "edit/editor/block_delete.hpp"
#include "edit/editor/connect_tables.hpp"
#include "edit/editor/cursor_list.hpp"
#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/list_utilities.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_proc_dialogs.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/unwind_guard.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/proc_ctx_save.hpp"

namespace {

// List markers: the insertion place while EDTGOI writes there, and the last inserted block while
// the re-entry asks for its deletion (a number none of the deletion's routines uses).
constexpr int kPlaceMarker = 5, kInsertedEndMarker = 12;
constexpr int kNote = 1;
constexpr int kSaveContext = 2, kRestoreContext = 1;
constexpr int kFailed = -1, kReentryFailed = -3;
constexpr int kShowAgain = -3;
constexpr int kWithDirection = 3;
constexpr int kDisplayAfter = 1;
// The modal FEED that stands for rapid.
constexpr float kRapidFeed = -1.0f;
// Punch and nibble modes of a punching machine by its PUNCH and NIBBL words (2: on).
constexpr int kOn = 2, kPunchOn = 16, kPunchOff = 17, kNibbleOn = 13, kNibbleOff = 14;
// Picks of the re-entry before it gives up and joins at the insertion place.
constexpr int kMostPicks = 200;

struct group_row {
    int first_type, last_type;
    go_machine_group group;
};
constexpr group_row kGroups[] = {
    {22, 24, {1, 1, 0}}, {25, 26, {2, 1, 0}}, {12, 13, {3, 0, 1}}, {31, 31, {4, 1, 0}}, {61, 80, {5, 0, 0}},
};

constexpr int kMillMachineFields[] = {4, 5, 6, 8, 9};

template <std::size_t N> void enable(std::array<int, N>& mask, int position)
{
    mask[static_cast<std::size_t>(position - 1)] = 1;
}

void error_line(const char* text, int value, int& status)
{
    eroutc(text, 0);
    status = value;
}

bool note_place(int marker)
{
    int answer = 0;
    lmark(kNote, marker, answer);
    return answer > 0;
}

// The feed mode (or punch mode) and the nibble mode written at the insertion place.
void insertion_modes(const go_machine_group& g, int (&modes)[2])
{
    modes[0] = eqval(DSM4().real(modal_values::kFeed), kRapidFeed) != 0 ? kFeedRapid : kFeedBase;
    modes[1] = 0;
    if (g.punch_flag == 0) return;
    modes[0] = PRM9().words[machine_params::kPunch] == kOn ? kPunchOn : kPunchOff;
    modes[1] = PRM9().words[machine_params::kNibble] == kOn ? kNibbleOn : kNibbleOff;
}

blk_path procedure_path(int number)
{
    blk_path path;
    path.set(list_cursor().cursor_proc_blkno, number);
    return path;
}

bool display_after(int number, int& status)
{
    ncd_set_block_position(kCurrentDisplayFile, kDisplayAfter, procedure_path(number).address(), status);
    if (status >= 0) return true;
    error_line("EDTOGI, ERRORS IN THE DISPLAY FILE", kFailed, status);
    return false;
}

// EDTGOI's writes once the context is saved: the machine parameters of the place as parameter
// blocks, the list back on the place. false with status -1 on a failure.
bool write_place(const int (&flags)[2], const int (&modes)[2], int number, int& status)
{
    prm_from_modal(status);
    if (status < 0) {
        status = kFailed;
        return false;
    }
    if (!display_after(number, status)) return false;
    trim_block_flags(1, status);
    if (flags[0] != 0) set_mch_change_mode(modes[0]);
    if (flags[1] != 0) {
        set_punch_slot(modes[0]);
        set_nibble_slot(modes[1]);
    }
    if (status >= 0) mch_param_apply(2, status);
    if (status >= 0) PUTMCH(status);
    if (status < 0) {
        status = kFailed;
        return false;
    }
    tp_list_top_mark(kPlaceMarker, status);
    if (status < 0) {
        error_line("EDTGOI, ERRORS IN LIST", kFailed, status);
        return false;
    }
    return display_after(number, status);
}

// ---- the re-entry -------------------------------------------------------------------------------

// The block the user picks for the re-entry: its number, or -1 when the pick ended without one.
// false (with the message) when the block is not one of the procedure's.
bool pick_reentry(int& target)
{
    int choice = kShowAgain, entity = 0;
    for (int round = 0; round < kMostPicks && choice == kShowAgain; ++round) {
        prmptc("PICK RE-ENTRY BLOCK");
        enatpo();
        setatn(0);
        pick(choice, entity);
        setatn(1);
    }
    target = -1;
    if (choice != 0) return true;
    return picked_procedure_block(target);
}

// The end of the go-motions joined to the insertion point by one straight move; the cursor steps
// on to the motion after it.
void straight_join(const point3& point, const point3& direction, blk_path& cursor, int& block_type, int& status)
{
    point3 from{}, from_direction{};
    int last = -1;
    PRVPNT(1, from, from_direction, last, status);
    if (status >= 0) ncd_set_block_position(kCurrentDisplayFile, kDisplayAfter, procedure_path(last).address(), status);
    if (status >= 0) PLINE_entry(kWithDirection, point, direction, status);
    if (status < 0) return error_line("EDTGOF, ERRORS IN LIST", kReentryFailed, status);
    ncd_connect_toolpath(kCurrentDisplayFile);
    step_cursor_mark(kDirForward, cursor, block_type, status);
    status = status < 0 ? kReentryFailed : 0;
}

// Whether the target lies after the inserted motions: from the block after the list position (the
// last inserted one) on. The last inserted motion itself does not count: the deletion would start
// behind it and take it along.
bool after_inserted(int target, int& status)
{
    cursor_block block;
    cursor_read(block, status);
    int here = -1;
    if (status >= 0) cursor_number(here, status);
    const int found = status >= 0 && here != target ? LGLKEY(target, status) : 0;
    if (status < 0) error_line("EDTGFN, ERRORS IN LIST", kReentryFailed, status);
    return found != 0;
}

enum class deletion { done, declined, failed };

// The motions from the first block after the insertion through the target deleted and the gap
// closed by DLTBLK, after the user confirmed; declined leaves the list on the last inserted block.
deletion delete_to(int target, blk_path& cursor, int& block_type, int& layer_changed, int& status)
{
    if (!note_place(kInsertedEndMarker)) {
        error_line("EDTGFN, ERRORS IN LIST", kReentryFailed, status);
        return deletion::failed;
    }
    blk_path first;
    int first_type = 0;
    step_cursor_mark(kDirForward, first, first_type, status);
    if (status < 0) {
        status = kReentryFailed;
        return deletion::failed;
    }
    blk_path last = procedure_path(target);
    int deleted = 0, in_layer = 0;
    DLTBLK(kDeleteRange, 1, cursor, block_type, first, last, deleted, in_layer, status);
    if (deleted != 0) {
        layer_changed = in_layer;
        status = status < 0 ? kReentryFailed : 0;
        return status < 0 ? deletion::failed : deletion::done;
    }
    if (status == kReentryFailed) return deletion::failed;
    tp_list_top_mark(kInsertedEndMarker, status);
    if (status < 0) {
        error_line("EDTGOF, ERRORS IN LIST", kReentryFailed, status);
        return deletion::failed;
    }
    return deletion::declined;
}

// What EDTGO learns on its way.
struct insertion {
    point3 point{}, direction{};  // the last motion point before the place (EDTGOI)
    int number = -1;              // its block
    int place_layer = 0;          // the place lies inside a LAYER
    int reentry_layer = 0;        // the re-entry deleted blocks of a LAYER
    bool at_last = false;         // the place follows the procedure's last motion
};

// EDTGO's steps between the insertion place and the re-entry: the dialog, then (unless the
// motions follow the procedure's last motion) the re-entry.
void insert_motions(const go_machine_group& g, insertion& in, blk_path& cursor, int& block_type, int& changed,
                    int& status)
{
    // The motions go into the procedure being edited: the dialog writes no procedure block.
    int procedure_written = 1, motion_made = 0;
    mch_plane_dialog(g.group, 0, edit_go_masks(), procedure_written, motion_made, status);
    if (status != 0) return error_line("EDTGO, ERRORS IN LIST", kReentryFailed, status);
    changed = motion_made;
    modinz();
    if (cursor.names_block()) ncd_set_blocks_attention(kCurrentDisplayFile, cursor.address(), cursor.address(), 0);
    in.at_last = in.number == list_cursor().cursor_last_path.block();
    if (in.at_last) changed = 0;
    if (changed != 0) EDTGOF(in.point, in.direction, in.number, cursor, block_type, in.reentry_layer, status);
}

}  // namespace

go_machine_group go_group_of_machine(int machine_type)
{
    for (const group_row& row : kGroups)
        if (machine_type >= row.first_type && machine_type <= row.last_type) return row.group;
    return {};
}

go_page_masks go_masks_of_group(int group)
{
    go_page_masks masks;
    enable(masks.machine, 11);
    enable(masks.service, 4);
    enable(masks.display, 3);
    switch (group) {
    case 1:
    case 2: enable(masks.service, 1); [[fallthrough]];
    case 4:
        for (int position : kMillMachineFields) enable(masks.machine, position);
        break;
    case 3:
        enable(masks.machine, 1);
        enable(masks.machine, 8);
        break;
    default: break;
    }
    return masks;
}

go_page_masks& edit_go_masks()
{
    static go_page_masks masks;
    return masks;
}

void EDTGOI(const int (&flags)[2], const int (&modes)[2], point3& point, point3& direction, int& number, int& layer,
            int& status)
{
    layer = 0;
    status = 0;
    if (!note_place(kPlaceMarker)) return error_line("EDTGOI, ERRORS IN LIST", kFailed, status);
    PRVPNT(1, point, direction, number, status);
    if (status < 0) return error_line("EDTGOI, ERRORS IN LIST", kFailed, status);
    writer_continues_at(point, direction);
    layer = CHKLYR(status);
    if (status < 0) {
        status = kFailed;
        return;
    }
    int saved = 0;
    proc_ctx_save(0, kSaveContext, saved);
    if (write_place(flags, modes, number, status)) {
        status = 0;
        return;
    }
    int restored = 0;
    proc_ctx_save(0, kRestoreContext, restored);
}

void EDTGOF(const point3& point, const point3& direction, int number, blk_path& cursor, int& block_type,
            int& layer_changed, int& status)
{
    layer_changed = 0;
    status = 0;
    for (int round = 0; round < kMostPicks; ++round) {
        int target = -1;
        if (!pick_reentry(target)) continue;
        if (target == -1 || target == number) break;
        if (!after_inserted(target, status)) {
            if (status < 0) return;
            userrc("THE CONNECTION POINT SHOULD BE|      AFTER THE INSERTED MOVMENTS");
            continue;
        }
        const deletion outcome = delete_to(target, cursor, block_type, layer_changed, status);
        if (outcome != deletion::declined) return;
        break;
    }
    straight_join(point, direction, cursor, block_type, status);
}

void EDTGO(blk_path& cursor, int& block_type, int& changed, int& layer_changed, int& status)
{
    changed = 0;
    layer_changed = 0;
    status = 0;
    const go_machine_group g = go_group_of_machine(NPT1().machine_type());
    edit_go_masks() = go_masks_of_group(g.group);
    insertion in;
    if (g.group == 0) {
        error_line("WRONG TYPE OF MACHINING TYPE", kFailed, status);
    } else {
        const int flags[2] = {g.feed_flag, g.punch_flag};
        int modes[2] = {};
        insertion_modes(g, modes);
        EDTGOI(flags, modes, in.point, in.direction, in.number, in.place_layer, status);
        if (status >= 0) {
            // The context EDTGOI saved goes back on every way out, a failed dialog or re-entry too.
            const give_back restore([] {
                int restored = 0;
                proc_ctx_save(0, kRestoreContext, restored);
            });
            insert_motions(g, in, cursor, block_type, changed, status);
        }
    }
    ncd_connect_toolpath(kCurrentDisplayFile);
    layer_changed = changed != 0 && (in.place_layer != 0 || in.reentry_layer != 0) ? 1 : 0;
    if (in.at_last) changed = layer_changed = 1;
}

// DSPROC and display_proc_movmnt (see the header).
#include "listing/dsproc.hpp"

#include "host/vantu.hpp"
#include "listing/block_handlers.hpp"
#include "listing/dspblk.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/proc_common_services.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

namespace {

using T = tool_position_state;

constexpr int kFailed = -1, kInEntity = 3;
constexpr int kByNumber = 1000;
constexpr int kProcedureType = 12;
constexpr int kProcFont = 4;
constexpr int kSuspended = 2;
constexpr int kPositionOnly = 2, kGoesOn = 3, kKeepOld = 4;
constexpr int kAccessCurrent = 0, kAccessNext = 1, kAccessFirst = 2;
constexpr int kListEnd = -1, kListError = -2;
constexpr int kPlainMove = 1, kStatusWindow = 2;
constexpr int kQueryInstance = -1;
constexpr int kMovementLeadWords = 3;
constexpr int kMovementClass = 9, kMovementType = 8;
constexpr int kReallocationFactor = 7;

int list_level()
{
    int level = 0, status = 0;
    gtlstn(1, level, status);
    return level;
}

void size_simulation(int source)
{
    if (!is_sim_source(source)) return;
    int lines = 0;
    llines(lines);
    mrm_set_reallocation_size(kReallocationFactor * lines);
}

// The procedures displayed before procedure n in the display file: the entries of the procedure
// table before the one that holds n (at most the table's 200), less the suspended ones, those of
// NC functions 52 and 53 and those that hold no procedure.
int displayed_before(int number)
{
    int count = 0;
    for (int k = 1; k <= proc_summary_table::kProcedures; ++k) {
        const proc_summary_entry& e = *proc_table_entry(k);
        if (e.number == number) break;
        if (e.state == kSuspended || e.nc_function == 52 || e.nc_function == 53 || e.number <= 0) continue;
        ++count;
    }
    return count;
}

// The place of the procedure in the display file and the deletion of its old display.
bool place_in_display_file(int mode, int number, int& status)
{
    if (mode == kPositionOnly || mode == kKeepOld) return true;
    const ncd_address procedure{1, number, 0};
    if (displayed_before(number) <= 0)
        ncd_set_block_position(kCurrentDisplayFile, 1, ncd_address{}, status);
    else
        ncd_set_block_position(kCurrentDisplayFile, -1, procedure, status);
    if (status != 0 && mode != kGoesOn) {
        eroutc("DSPROC, ERRORS IN THE DISPLAY FILE", 0);
        status = kFailed;
        return false;
    }
    int deleted = 0;
    ncd_delete_block_or_proc(kCurrentDisplayFile, procedure, deleted);
    status = 0;
    return true;
}

bool list_failed(int& status)
{
    eroutc("DSPROC - ERROR IN LIST", 0);
    status = kFailed;
    return false;
}

// The replay of the movement entities of the procedure, copy after copy.
void replay_movements(int source, int& status)
{
    status = 0;
    display_copy& copy = display_copy_transform();
    while (proc_flags().options[kOptRecord - 1] >= 1) {
        int mode = 1;
        display_proc_movmnt(source, mode, proc_flags().options[kOptRecord - 1], status);
        if (status < 0) return;
        cltran(copy.matrix.data(), copy.translation.data(), status);
        if (status != 0) return;
    }
}

// Steps 8 to 10: the procedure block and its sub-list, each copy in turn. Returns false when the
// routine ends here (a failure, or the movement-entity road), with its status.
bool replay_lists(int block_mode, int source, int& status)
{
    const int start_level = list_level();
    display_copy& copy = display_copy_transform();
    int access = kAccessCurrent;
    bool first = true;
    for (;;) {
        int line = 0;
        lacces(access, line);
        if (line == kListError) return list_failed(status);
        if (line == kListEnd) {
            if (list_level() <= start_level) return true;
            int next_copy = 0;
            cltran(copy.matrix.data(), copy.translation.data(), next_copy);
            if (next_copy == 0) {
                access = kAccessFirst;
                continue;
            }
            tp_sublist_close(status);
            if (status < 0) return list_failed(status);
            if (list_level() <= start_level) return true;
            access = kAccessNext;
            continue;
        }
        shift_current_to_previous();
        int mode = block_mode, from = source, type = 0, asked = 0;
        DSPBLK(mode, from, type, asked, status);
        if (status < 0) {
            status = kFailed;
            return false;
        }
        if (status == kInEntity && first) {
            replay_movements(source, status);
            return false;
        }
        if (status > 0) return list_failed(status);
        first = false;
        if (type == kProcedureType) {
            access = kAccessFirst;
            size_simulation(source);
        } else {
            access = kAccessNext;
        }
    }
}

}  // namespace

void DSPROC(int& dmode, int& status)
{
    status = kFailed;
    const bool by_number = dmode >= kByNumber;
    int number = by_number ? dmode - kByNumber : 0;
    if (by_number) dmode = 1;
    const int source = dmode < kFirstSimSource ? kSourceList : dmode;
    const int mode = dmode < kFirstSimSource ? dmode : dmode - kSimShift;
    if (mode < 0 || mode > 4) {
        erou1c("DSPROC,INVALID DMODE TYPE. DMODE = ", mode);
        return;
    }
    const int block_mode = mode == 1 || mode == 3 || mode == 4 ? kDisplayDraw : mode;
    tool_position_state& d = DSP8();
    if (block_mode == kDisplayDraw) {
        const int colour = CLP1().at(proc_colour_pen::kColour), pen = CLP1().at(proc_colour_pen::kPen);
        ncd_update_current_attrs(-1, colour, pen);
        d.at(T::kLineFont) = kProcFont;
        d.at(T::kColour) = colour;
        d.at(T::kPen) = pen;
        dspblk_init_state(kSourceList);
    }
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status < 0) {
        list_failed(status);
        return;
    }
    if (type != kProcedureType) {
        eroutc("DSPROC,THE CURRENT BLOCK IS NOT A PROCEDURE", 0);
        status = kFailed;
        return;
    }
    proc_common_service_table().CURCOM(1, 1, 0, 1, 1, 1, status);
    std::array<float, 3> previous{}, previous_axis{}, next{}, next_axis{};
    int no_previous = 0, no_next = 0;
    if (status >= 0)
        proc_common_service_table().GETPOS(previous, previous_axis, no_previous, next, next_axis, no_next, status);
    if (status < 0) {
        status = kFailed;
        return;
    }
    d.set_vec(T::kPosition, previous);
    d.set_vec(T::kAxis, previous_axis);
    d.set_vec(T::kNormal, previous_axis);
    if (!by_number) {
        int tool = PRM9().words[machine_params::kToolId];
        proc_common_service_table().tool_inst_show(tool, previous, previous_axis, status);
        word read = 0;
        int count = 0, value_type = 0;
        if (status >= 0) TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, value_type, &read, 1, status);
        if (status < 0) {
            list_failed(status);
            return;
        }
        number = read;
    }
    if (!place_in_display_file(mode, number, status)) return;
    display_copy_transform() = display_copy{};
    if (!replay_lists(block_mode, source, status)) return;
    const int instance = tm_inst_id(kQueryInstance);
    if (!by_number && instance > 0) TOLMOV(instance, d.vec(T::kPosition), d.vec(T::kAxis), kPlainMove);
    status_refresh_all(kStatusWindow);
    status = 0;
}

void display_proc_movmnt(int source, int& mode, int procedure, int& status)
{
    status = 0;
    const int reader = source >= kFirstSimSource ? kFirstSimSource : kSourceEntity;
    mode = kDisplayDraw;
    ++dspblk().sub_procedure;
    int motion = -1;
    get_set_movmnt_id(1, procedure, motion);
    if (motion <= 0) return;
    int entity_class = 0, entity_type = 0;
    eopen(motion, entity_class, entity_type, status);
    if (status == 0 && (entity_class != kMovementClass || entity_type != kMovementType)) status = kFailed;
    if (status != 0) {
        eroutc(" PROBLEMS IN OPENNING ENTITY", 0);
        int closed = 0;
        eclose(closed);
        return;
    }
    int count = 0;
    TPSKIP(kWhereEntity, kMovementLeadWords, status);
    if (status >= 0) tp_get_int(kWhereEntity, count, status);
    if (status >= 0) TPSKIP(kWhereEntity, 1, status);
    if (status >= 0 && is_sim_source(reader)) mrm_set_reallocation_size(kReallocationFactor * count);
    // Every block takes at least two words or fails, so a wrong count ends at the entity's end.
    for (int i = 0; i < count && status >= 0; ++i) {
        int block_mode = mode, from = reader, type = 0, asked = 0;
        DSPBLK(block_mode, from, type, asked, status);
    }
    if (status > 0) status = 0;
    int closed = 0;
    eclose(closed);
}

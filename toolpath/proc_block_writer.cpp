// PTBT12: the procedure block in the order the tool path keeps it, the limit of procedures, and
// the deletion of a block that could not be written whole.
#include "toolpath/proc_block_writer.hpp"

#include "host/vantu.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_callback_segments.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kProcedureType = 12;
constexpr int kRecordKind = 1;
constexpr int kGet = 1;
constexpr int kSublistLevel = 2;
constexpr int kSublistItem = 1;
constexpr int kBlankFont = 4, kKeepFont = -1, kShown = 0;
constexpr int kDisplaySourceProcedure = 3;
constexpr int kEveryProcedure = -1;

int stored_count()
{
    word count = 0;
    int status = 0;
    mdget("NPRC", &count, 1, status);
    return status == 0 ? count : 0;
}

void store_count(int count)
{
    const word w = count;
    int status = 0;
    mdputn("NPRC", kRecordKind, 1, &w, status);
}

int list_level()
{
    int level = 0, status = 0;
    gtlstn(kGet, level, status);
    return level;
}

// The sub-list stack names the block at its level.
void record_in_stack(int level, int number)
{
    if (level < 1 || level > sublist_stack::kLevels) return;
    BLSK().words[0] = level;
    BLSK().words[static_cast<std::size_t>(level)] = number;
}

// The display attributes of the procedure's blocks.
void set_display_attributes(int procedure_type)
{
    const int colour = CLP1().at(proc_colour_pen::kColour), pen = CLP1().at(proc_colour_pen::kPen);
    if (proc_type_blank_attr(procedure_type) != 0) {
        ncd_update_blank_attribute(kShown);
        ncd_update_current_attrs(kBlankFont, colour, pen);
    } else {
        ncd_update_current_attrs(kKeepFont, colour, pen);
    }
    DSP8().at(tool_position_state::kLineFont) = kBlankFont;
    DSP8().at(tool_position_state::kColour) = colour;
    DSP8().at(tool_position_state::kPen) = pen;
    display_service_table().dspblk_init_state(kDisplaySourceProcedure);
}

struct block_request {
    int procedure_type;
    put_parameters_callback put_parameters;
    put_geometry_callback put_geometry;
    int machine_param_type;
};

// Steps 6 to 10: number, stack, attributes, procedure type and the segments.
void write_body(const block_request& r, int number, int level, int& status)
{
    tp_put_int(kWhereListNumbered, number, status);
    if (status < 0) return;
    record_in_stack(level, number);
    set_display_attributes(r.procedure_type);
    tp_put_int(kWhereListNumbered, r.procedure_type, status);
    int length = 0;
    if (status >= 0) wglprm(kWhereListNumbered, length, status);
    if (status >= 0) wflags(status);
    if (status >= 0) wmchtb(kWhereListNumbered, r.machine_param_type, length, status);
    if (status >= 0) wlcprm(r.procedure_type, r.put_parameters, status);
    if (status >= 0) wgeom(r.procedure_type, r.put_geometry, status);
    if (status >= 0) put_zero_lst(status);
}

// A block that could not be written whole is deleted; the count of procedures is given back.
void delete_block(int level, int count_before)
{
    eroutc("PTBT12, ERROR IN WRITING A PROCEDURE BLOCK, PROCEDURE IS DELETED", 0);
    BLKCLS(kWhereListNumbered);
    store_count(count_before);
    int status = 0;
    // Inside the new sub-list: back to the block first.
    if (list_level() > level) {
        tp_sublist_close(status);
        if (status < 0) return;
    }
    tp_list_delete(1, status);
}

// Steps 13 and 14: what the callbacks changed after segment 27 was written goes into it.
void settle_flags(contour_records_callback contour_records, int new_block)
{
    int records_status = 0;
    if (contour_records) {
        int mode = kContourRecordsStore, word = new_block, scratch = 0;
        contour_records(mode, word, scratch, records_status);
    }
    if (records_status < 0) erou1c("PTBT12, ERROR IN STORING THE CONTOUR RECORDS, STATUS = ", records_status);
    int flags_status = 0;
    update_flags(flags_status);
}

// Steps 15 and 16: the list on the sub-list header item, and the sub-list opened under it.
void open_motion_sublist(int& status)
{
    PLFIND(kGroupTopLevel, kSublistItem, status);
    if (status >= 0) TPSKIP(kWhereListNumbered, -1, status);
    if (status >= 0) tp_list_create(kSublistLevel, status);
}

}  // namespace

int proc_type_blank_attr(int procedure_type)
{
    switch (procedure_type) {
    case 24:
    case 25:
    case 26:
    case 41:
    case 50:
    case 51: return 1;
    default: return 0;
    }
}

void get_tp_blkno(int& number)
{
    int status = 0;
    const int level = list_level();
    number = 0;
    gsblkn(kGet, level, number, status);
}

void PTBT12(int procedure_type, int new_block, int procedure_number, contour_records_callback contour_records,
            put_parameters_callback put_parameters, put_geometry_callback put_geometry, int machine_param_type,
            int& status)
{
    status = 0;
    LSP2().at(move_writer_state::kFirstMovePending) = 1;
    const int count = stored_count();
    if (count >= kMaxProcedures) {
        user1c("NUMBER OF PROCEDURES IN TOOL PATH EXCEEDED", 'I', kMaxProcedures - 1, "");
        status = kProcedureLimit;
        return;
    }
    store_count(count + 1);
    const int level = list_level();
    BLKOPN(kWhereListNumbered, kProcedureType, 0, status);
    if (status < 0) {
        eroutc("PTBT12, ERROR IN OPENNING PROCEDURE BLOCK", 0);
        BLKCLS(kWhereListNumbered);
        store_count(count);
        return;
    }
    int number = 0;
    get_curr_blkno(number);
    if (number == 0) eroutc("[ptbt12: ]ATTENTION: PROCEDURE NUMBER 0 WAS CREATED", 0);
    write_body({procedure_type, put_parameters, put_geometry, machine_param_type}, number, level, status);
    if (status < 0) {
        delete_block(level, count);
        return;
    }
    BLKCLS(kWhereListNumbered);
    if (new_block == 0) {
        int written = 0;
        get_prev_blkno(written);
        ascopy(kEveryProcedure, procedure_number, kEveryProcedure, written);
    }
    settle_flags(contour_records, new_block);
    // A sub-list opened anywhere but under the block's header item would lose the motions.
    open_motion_sublist(status);
    if (status < 0) delete_block(level, count);
}

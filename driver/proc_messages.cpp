// The status line of a procedure, the created-procedures message and the execution lines. Reads
// the procedure-table columns, the tool path's block counter and the host's modify mode.
#include "driver/proc_messages.hpp"

#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/host_helpers.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/proc_type_tests.hpp"
#include "toolpath/proc_block_writer.hpp"

#include <array>
#include <string>

namespace {

constexpr int kModifyOnly = 1;
constexpr int kStageExecutingAgain = 15;
constexpr int kFirstLine = 1, kEndLine = 2, kLastLine = 8;

constexpr std::array<const char*, kLastLine> kExecutionLines = {
    "PROCEDURE EXECUTION START TIME  :", "PROCEDURE EXECUTION END TIME    :", "PROCEDURE EXECUTION INTERRUPT AT:",
    "PROCEDURE EXECUTION RESUME TIME :", "PROC. OPTIMIZATION START TIME   :", "PROC. OPTIMIZATION END TIME     :",
    "PROC. OPTIMIZATION INTERRUPT AT :", "PROC. OPTIMIZATION RESUME TIME  :"};

const char* stage_text(int stage)
{
    switch (stage) {
    case kStageVerifying: return "VERIFYING PROCEDURE";
    case kStageExecuting:
    case kStageExecutingAgain: return "EXECUTING PROCEDURE";
    case kStageModifying: return "MODIFYING PROCEDURE";
    case kStageNew: return "PROCEDURE";
    case kStageLoading: return "LOADING PARAMETERS FOR PROCEDURE";
    case kStageSaving: return "SAVING PARAMETERS OF PROCEDURE";
    case kStageOptimizing: return "OPTIMIZING PROCEDURE";
    case kStageCriteria: return "CHECKING CRITERIA";
    default: return "RE_RUNNING PROCEDURE";
    }
}

void blank_line() { shlmsg(" ", 1); }

int modify_mode()
{
    int mode = 0;
    gs_modify(1, mode);
    return mode;
}

}  // namespace

void proc_status_line(int position, int stage, int work_area_updated)
{
    const bool is_new = position < 0;
    int nc_function = stage, block = 0, manual = 0;
    if (is_new) {
        stage = kStageNew;
        get_tp_blkno(block);
    } else {
        const proc_summary_entry* entry = proc_table_entry(position);
        if (!entry) {
            erou1c("PROCEDURE TABLE, POSITION OUT OF RANGE:", position);
            return;
        }
        nc_function = entry->nc_function;
        block = entry->number;
        manual = entry->m;
    }
    std::string name, number, line;
    int length = 0;
    get_nc_function_name(nc_function, name);
    cvi2t(block, number, length);
    maktx3(stage_text(stage), name, "=" + number, line);
    if (!is_new && !proc_type_group_a(nc_function) && gnccod(nc_function)) maktxt(line, "FROM USER", line);

    if (work_area_updated) {
        if (manual)
            usrms5(line, "|NOTE: WORK AREA HAS BEEN UPDATED.", "MANUAL CHANGES WILL BE CANCELLED");
        else
            usrms4(line, "|NOTE: WORK AREA HAS BEEN UPDATED");
    } else if (is_new) {
        shlmsg(line.c_str(), static_cast<int>(line.size()));
    } else if (!manual) {
        usrmsg(line);
    } else if (modify_mode() != kModifyOnly) {
        usrms4(line, "|NOTE: MANUAL CHANGES WILL BE CANCELLED,FOR UPDATE ONLY USE 'MODIFY'");
    }
}

void proc_created_msg(int first_block, int last_block, int created)
{
    if (first_block > last_block || created <= 0) return;
    if (first_block == last_block && created == 1) {
        shlms1("PROCEDURE NUMBER", first_block, "IS CREATED");
    } else {
        std::string first, last, line;
        int length = 0;
        cvi2t(first_block, first, length);
        cvi2t(last_block, last, length);
        const char* kind = created == last_block - first_block + 1 ? "PROCEDURES" : "PROCEDURES/MESSAGES";
        maktx4(kind, "NUMBER", first + ".." + last, "ARE CREATED", line);
        shlmsg(line.c_str(), static_cast<int>(line.size()));
    }
    blank_line();
}

void msg_line_show(int index, int suspended, int silent)
{
    if (suspended) {
        const std::string line = "PROCEDURE EXECUTION IS SUSPENDED";
        shlmsg(line.c_str(), static_cast<int>(line.size()));
        blank_line();
        return;
    }
    if (silent) {
        blank_line();
        return;
    }
    if (index < kFirstLine || index > kLastLine) return;
    int now[6] = {};
    get_date_time(now);
    shlms6(kExecutionLines[static_cast<std::size_t>(index - 1)], now);
    if (index == kEndLine) blank_line();
}

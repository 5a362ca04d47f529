// PTUB12, WUPDSL and open_proc_movmnt.
#include "toolpath/proc_block_update.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/open_sub_list.hpp"
#include "toolpath/proc_first_last.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

#include <array>

namespace {

constexpr int kFailed = -1;
constexpr int kGet = 1, kSet = 2;
constexpr int kGlobals = 24, kFlags = 27, kMachineTable = 23;
constexpr int kSublistItem = 1;
constexpr int kProcedureWithTool = 100;
constexpr int kSuspendedAction = 3, kNotInDialog = 2;
constexpr int kSavedHeaderWords = 9, kLinkWords = 8, kLinkBlockCount = 1;
constexpr int kHostReads = 1, kBringBack = 3;
constexpr int kSublistOpened = 2;

// Overwrites the first n value words of item (group, code) of the block at the current position.
void overwrite(int group, int code, int type, const word* values, int n, int& status)
{
    PLFIND(group, code, status);
    if (status >= 0) TPSKIP(kWhereListNumbered, 2, status);
    if (status >= 0) TPCHNG(n, type, values, status);
}

void overwrite_point(int code, const point3& p, int& status)
{
    const word w[3] = {real_to_word(p[0]), real_to_word(p[1]), real_to_word(p[2])};
    overwrite(kGlobals, code, kTypeReal, w, 3, status);
}

template <typename Block> void overwrite_words(int code, int type, const Block& block, int first, int n, int& status)
{
    if (status >= 0) overwrite(kGlobals, code, type, block.words.data() + first, n, status);
}

int level_below(int& status)
{
    int level = 0;
    gtlstn(kGet, level, status);
    return level + 1;
}

// The NC state the execution ended with, and the block count of the sub-list.
void write_final_state(int& status)
{
    using T = tp_header_state;
    overwrite_words(8, kTypeInteger, NPT1(), T::kView, 1, status);
    overwrite_words(10, kTypeReal, NPT1(), T::kDepth, 1, status);
    overwrite_words(13, kTypeReal, NPT1(), T::kMacsysOrigin, 3, status);
    overwrite_words(14, kTypeReal, NPT1(), T::kHomePoint, 3, status);
    overwrite_words(36, kTypeExpression, HEI8(), heights_state::kClearance, 1, status);
    if (status < 0) return;
    word blocks = 0;
    const int below = level_below(status);
    if (status >= 0) gsblkn(kGet, below, blocks, status);
    if (status >= 0) overwrite(kGlobals, 20, kTypeInteger, &blocks, 1, status);
}

int procedure_type(int& status)
{
    int count = 0, type = 0;
    word value = 0;
    TPGETN(kWhereListNumbered, kGroupHead, kHeadProcType, count, type, &value, 1, status);
    return value;
}

void set_item(int group, int code, word value, int& status)
{
    if (status >= 0) TPCHNN(kWhereListNumbered, group, code, kTypeInteger, &value, 1, status);
}

word read_item(int where, int group, int code, int& status)
{
    int count = 0, type = 0;
    word value = 0;
    TPGETN(where, group, code, count, type, &value, 1, status);
    return value;
}

}  // namespace

void ptub12_points(int& status)
{
    point3 first{}, first_axis{}, last{}, last_axis{};
    int empty = 1;
    FSTLST(first, first_axis, last, last_axis, empty, status);
    if (status < 0 || empty != 0) return;
    overwrite_point(5, first, status);
    if (status >= 0) overwrite_point(27, first_axis, status);
    if (status >= 0) overwrite_point(6, last, status);
    if (status >= 0) overwrite_point(28, last_axis, status);
}

void PTUB12(int geometry_changed, int suspended, int display_changed, int display_mode, int& status)
{
    status = 0;
    auto list_failed = [] { eroutc("PTUB12, ERRORS IN LIST", 0); };
    if (geometry_changed != 0) {
        ptub12_points(status);
        if (status < 0) return list_failed();
    }
    int here = 0;
    lacces(0, here);
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status != 0) return;
    if (block_class != kClassProcedure) {
        eroutc("PTUB12, THE CURRENT BLOCK IS NOT A PROCEDURE", 0);
        status = kFailed;
        return;
    }
    write_final_state(status);
    if (status >= 0 && procedure_type(status) == kProcedureWithTool)
        set_item(kMachineTable, 10, PRM9().words[machine_params::kToolId], status);
    if (suspended != 0) {
        set_item(kGlobals, 44, kSuspendedAction, status);
        set_item(kGlobals, 22, kNotInDialog, status);
    }
    if (display_changed != 0) set_item(kGlobals, 31, display_mode, status);
    if (status < 0) return list_failed();
    status = 0;
}

void WUPDSL(int suspend)
{
    int criteria = 0;
    chk_crit_gs(kGet, criteria);
    if (criteria == 0) shmsgc(suspend == 0 ? "PROCEDURE HEADER IS UPDATED" : "PROCEDURE EXECUTION IS SUSPENDED");
    int status = 0;
    const word copied = read_item(kWhereListNumbered, kFlags, 82, status);
    if (status >= 0 && suspend == 0 && copied == 0) {
        open_proc_movmnt(kBringBack, status);
        return;
    }
    std::array<word, kSavedHeaderWords> saved{};
    int missing = 0;
    mdget("SONH", saved.data(), kSavedHeaderWords, missing);
    if (status >= 0 && suspend != 0 && copied == 0) {
        const int record = read_item(kWhereListNumbered, kFlags, 51, status);
        int motion = -1;
        get_set_movmnt_id(kGet, record, motion);
    }
    std::array<word, kLinkWords> link{};
    if (suspend == 0) std::copy_n(saved.begin(), kLinkWords, link.begin());
    if (status >= 0) overwrite(kGroupTopLevel, kSublistItem, kTypeInteger, link.data(), kLinkWords, status);
    int count = saved[kLinkBlockCount];
    const int below = status >= 0 ? level_below(status) : 0;
    if (status >= 0) gsblkn(kSet, below, count, status);
    set_item(kGlobals, 20, suspend == 0 ? saved[kLinkBlockCount] : 0, status);
    if (suspend != 0) set_item(kFlags, 82, 1, status);
    if (status < 0) eroutc("WUPDSL, ERRORS IN LIST", 0);
}

void open_proc_movmnt(int mode, int& status)
{
    status = 0;
    const word copied = read_item(kWhereList, kFlags, 82, status);
    const word record = status >= 0 ? read_item(kWhereList, kFlags, 51, status) : 0;
    if (status < 0) return;
    if (copied == 0 && record > 0) {
        int motion = -1;
        get_set_movmnt_id(kGet, record, motion);
        open_sub_list(mode, motion, status);
        if (status < 0) return;
        if (mode == kHostReads) {
            status = is_open_proc() != 0 ? 1 : 0;
            return;
        }
        const word now_copied = 1;
        TPCHNN(kWhereList, kFlags, 82, kTypeInteger, &now_copied, 1, status);
        if (status < 0) return;
    }
    const bool open_now = mode == 2 || (mode == kHostReads && copied != 0);
    if (!open_now) return;
    tp_sublist_open(status);
    if (status >= 0) status = kSublistOpened;
}

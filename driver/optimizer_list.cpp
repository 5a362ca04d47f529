// Reading the optimizer block from the current procedure block, the optimizer-active test and
// the tilted flag. Reads and writes opt_params_current() and PRM9 (current tool id).
#include "driver/optimizer_list.hpp"

#include "host/vantu_flags.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/optimizer_params.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <iterator>

namespace {

constexpr int kGlobalGroup = 24, kMachineGroup = 23, kToolIdItem = 10;
constexpr int kTiltFlag = 128;
constexpr int kKeepsPendingAction[] = {38, 54};

// The items read before the procedure type, between it and the tool id, and after it.
constexpr int kFirstItems[] = {59, 60, 61, 62, 63, 64, 65, 66,  122, 67, 68, 69, 70,
                               71, 72, 73, 74, 75, 76, 77, 108, 78,  79, 80, 81, 115};
constexpr int kTableItems[] = {109, 110, 111, 112, 114, 120, 121, 125, 126, 127, 128};
constexpr int kLastItems[] = {130, 131, 132, 133};

// Reads one item straight into its words of the current block; a missing item keeps them.
void read_item(int code, int& status)
{
    const optimizer_item* item = optimizer_item_of(code);
    int count = 0, type = 0;
    TPGETC(kWhereList, kGlobalGroup, code, count, type, &opt_params_current().at(code), item->count, status);
}

void read_items(const int* codes, int n, int& status)
{
    for (int i = 0; i < n; ++i) {
        read_item(codes[i], status);
        if (status < 0) return;
    }
    status = 0;
}

// One word of the list: count and type skipped, the value read into item 130.
void read_option_word(int where, int& status)
{
    optimizer_params& p = opt_params_current();
    p.set_ival(kOptOptionWord, 1);
    plfind_quiet(kGlobalGroup, kOptOptionWord, status);
    if (status != 0) return;
    TPSKIP(where, 2, status);
    if (status < 0) return;
    int value = 1;
    tp_get_int(where, value, status);
    if (status < 0) return;
    p.set_ival(kOptOptionWord, value);
}

}  // namespace

void opt_params_read(int& status)
{
    opt_params_defaults();
    read_items(kFirstItems, static_cast<int>(std::size(kFirstItems)), status);
    if (status < 0) return;
    int procedure_type = -1, count = 0, type = 0;
    TPGETC(kWhereList, kGroupHead, kHeadProcType, count, type, &procedure_type, 1, status);
    if (status < 0) return;
    read_items(kTableItems, static_cast<int>(std::size(kTableItems)), status);
    if (status < 0) return;
    TPGETC(kWhereList, kMachineGroup, kToolIdItem, count, type, &PRM9().words[machine_params::kToolId], 1, status);
    if (status < 0) return;
    read_items(kLastItems, static_cast<int>(std::size(kLastItems)), status);
    if (status < 0) return;
    if (procedure_type != kKeepsPendingAction[0] && procedure_type != kKeepsPendingAction[1])
        opt_params_current().set_ival(kOptPendingAction, 0);
}

int opt_active()
{
    const optimizer_params& p = opt_params_current();
    for (int code : {59, 62, 65, 71, 76})
        if (p.ival(code) != 1) return 1;
    return opt_mode_is1(p.ival(kOptOptionWord)) ? 0 : 1;
}

void tilt_flag_remove(int where, int& status)
{
    read_option_word(where, status);
    if (status != 0) return;
    optimizer_params& p = opt_params_current();
    const int value = p.ival(kOptOptionWord);
    if (!test_bit128(value)) return;
    if (IsNcDebug()) dbg_printf("Removing Tilted flag from list\n");
    const word cleared = value & ~kTiltFlag;
    p.set_ival(kOptOptionWord, cleared);
    TPSKIP(where, -1, status);
    if (status < 0) return;
    TPCHNG(1, kTypeInteger, &cleared, status);
}

void tilt_flag_test(int where, int& status)
{
    read_option_word(where, status);
    if (status < 0 || !IsNcDebug()) return;
    dbg_printf(test_bit128(opt_params_current().ival(kOptOptionWord)) ? "Procedure has Tilt flag\n"
                                                                      : "Procedure is not Tilted\n");
}

// divide_by_tool. The whole procedure is read before anything changes: the tool set, the machine
// table and every TOOL parameter of its sub-list, so that a tool outside the set or too many
// pieces is refused with the tool path untouched. Each piece is then made by copying the rest of
// the procedure and cutting both at the first tool change.
#include "edit/time/divide_by_tool.hpp"

#include "driver/copy_current_proc.hpp"
#include "edit/time/divide_pieces.hpp"
#include "host/vantu.hpp"
#include "listing/dsproc.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kDivided = 1;
constexpr int kMessageModule = 317, kNothingToDivide = 33, kToolNotInSet = 34;
constexpr int kDisplayByNumber = 1000;

// The pieces' tools: the tool of every change after the first TOOL parameter, each in the set;
// false (with the message or status) when the procedure cannot be divided as a whole. A change
// past the piece table's last entry is refused as a tool outside the set is.
bool check_changes(int procedure, int& changes, int& status)
{
    int read = 0;
    const std::vector<int> tools = divide_proc_tools(procedure, read);
    changes = static_cast<int>(tools.size()) - 1;
    if (read < 0) {
        status = kFailed;
        return false;
    }
    if (changes < 1) {
        msg_mdls(kMessageModule, kNothingToDivide);
        return false;
    }
    for (int k = 1; k <= changes; ++k) {
        if (k < divide_piece_table::kPieces && divide_tool_lookup(tools[static_cast<std::size_t>(k)], k) >= 0) continue;
        msg_mdls(kMessageModule, kToolNotInSet);
        status = kFailed;
        return false;
    }
    return true;
}

// One piece: the copy of p becomes p + 1, then both are cut at their first tool change. A copy
// that did not add exactly one procedure is refused before anything is cut.
bool make_piece(int procedure, int& status)
{
    int split = 1;
    split_by_tool_get_set(2, split);
    const int count = tp_procedure_count();
    COPY_CURRENT_PROC(procedure, status);
    if (status < 0 || tp_procedure_count() != count + 1) {
        status = kFailed;
        return false;
    }
    split_at_tool_change(procedure, status);
    return status >= 0;
}

// Writes each piece's words and redisplays it.
void finish_pieces(int first, int changes, int& status)
{
    divide_texts(changes, first);
    for (int k = 0; k <= changes && status >= 0; ++k) {
        divide_set_proc(first + k, k, status);
        if (status < 0) break;
        // A piece that cannot be shown is still a piece: the display's status stays its own.
        int count = 0, type = 0, shown = 0;
        word number = 0;
        TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &number, 1, shown);
        int dmode = kDisplayByNumber + number;
        if (shown >= 0) DSPROC(dmode, shown);
    }
}

}  // namespace

void divide_by_tool(int procedure, int& status)
{
    divide_parts_reset();
    int read = 0;
    divide_read_mch(procedure, read);
    int changes = 0;
    if (read < 0) {
        status = kFailed;
        return;
    }
    if (!check_changes(procedure, changes, status)) return;
    int p = procedure;
    for (int k = 0; k < changes; ++k, ++p)
        if (!make_piece(p, status)) return;
    int done = 0;
    finish_pieces(procedure, changes, done);
    divide_renumber(procedure);
    if (divide_goto_proc(procedure)) tp_sublist_open(done);
    status = kDivided;
}

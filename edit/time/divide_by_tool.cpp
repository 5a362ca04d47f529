// divide_by_tool and its steps. The whole procedure is read before anything changes: the tool
// set, the machine table and every TOOL parameter of its sub-list, so that a tool outside the set
// or too many pieces is refused with the tool path untouched. Each piece is then made by copying
// the remaining procedure and cutting both at the first tool change.
#include "edit/time/divide_by_tool.hpp"

#include "driver/copy_current_proc.hpp"
#include "driver/mch_slot_init.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/time/divide_pieces.hpp"
#include "host/vantu.hpp"
#include "listing/dsproc.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/nc_state_blocks.hpp"
#include "toolpath/nc_state_texts.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

constexpr int kFailed = -1;
constexpr int kDivided = 1;
constexpr int kMessageModule = 317, kNothingToDivide = 33, kToolNotInSet = 34;
constexpr int kToolChangeMarker = 9;
constexpr int kGroupGlobal = 24, kGroupMachine = 23;
constexpr int kItemKind = 62, kItemFeedPercent4 = 63, kItemSpinPercent4 = 64;
constexpr int kItemToolIds = 125, kItemSingleTool = 126, kItemFeedPercents = 127, kItemSpinPercents = 128;
constexpr int kItemState = 21, kPieceState = 2;
constexpr int kItemBaseFeed = 1, kItemSpin = 6, kItemTool = 10;
constexpr int kParamFeed = 1, kParamSpin = 2, kParamTool = 100;
constexpr int kKindOneTool = 4, kKindToolSet = 5;
constexpr int kDisplayByNumber = 1000;
// The link by which the motion output attaches a tool to its procedure, detached one tool at a time.
constexpr int kToolLinkCode = -1, kOneTool = 1;

// The procedure block's item (group, code) into values; false when missing or unreadable.
bool read_item(int group, int code, word* values, int capacity)
{
    int count = 0, type = 0, status = 0;
    TPGETC(kWhereList, group, code, count, type, values, capacity, status);
    return status == 0;
}

float real_item(int group, int code)
{
    word w = 0;
    return read_item(group, code, &w, 1) ? word_to_real(w) : 0.0f;
}

// Walks the open sub-list from its first block; visit(size, type, class) answers false to stop.
// The list is left on the block visit stopped at. Status of the walk.
template <typename Visit>
void walk_sublist(Visit visit, int& status)
{
    int length = 0;
    for (lacces(2, length); length > 0; lacces(1, length)) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0 || !visit(size, type, block_class)) return;
    }
}

// The parameter block just read (parameter type 0 for a block of another class).
tp_param_block read_param(int block_class, int& status)
{
    tp_param_block p;
    if (block_class == kClassParameter) tpread_param(kWhereList, p, status);
    if (block_class != kClassParameter || status < 0) p.prmtyp = 0;
    return p;
}

// The tool id of the block just read, or -1 when it is not a TOOL parameter.
int tool_of_block(int block_class, int& status)
{
    const tp_param_block p = read_param(block_class, status);
    return p.prmtyp == kParamTool ? p.int_value : -1;
}

// The tools of the TOOL parameter blocks of the open sub-list before line `position` (from 1)
// and from it on; the list is left on the sub-list's last block.
struct tool_sets {
    std::vector<int> before, after;
};
tool_sets tools_around(int position, int& status)
{
    tool_sets t;
    int line = 0;
    walk_sublist(
        [&](int, int, int block_class) {
            const int tool = tool_of_block(block_class, status);
            ++line;
            if (tool >= 0) (line < position ? t.before : t.after).push_back(tool);
            return status >= 0;
        },
        status);
    return t;
}

// Detaches from the procedure numbered `number` each removed tool that it names no more.
void detach_tools(word number, const std::vector<int>& removed, const std::vector<int>& kept)
{
    for (int tool : removed) {
        if (std::find(kept.begin(), kept.end(), tool) != kept.end()) continue;
        int status = 0;
        asdetl(kToolLinkCode, number, kOneTool, tool, status);
    }
}

bool go_to_procedure(int procedure)
{
    int status = 0, level = 1;
    gtlstn(2, level, status);
    NXTCNT(kClassProcedure, procedure, status);
    return status >= 0;
}

// The block number of procedure `procedure` (-1 when it cannot be read).
word block_number_of(int procedure)
{
    int count = 0, type = 0, status = 0;
    word number = -1;
    if (go_to_procedure(procedure)) TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &number, 1, status);
    return status < 0 ? -1 : number;
}

// Every tool id the procedure's TOOL parameter blocks name, in list order.
std::vector<int> procedure_tools(int procedure, int& status)
{
    std::vector<int> tools;
    if (!go_to_procedure(procedure)) {
        status = kFailed;
        return tools;
    }
    tp_sublist_open(status);
    if (status < 0) return tools;
    walk_sublist(
        [&](int, int, int block_class) {
            const int tool = tool_of_block(block_class, status);
            if (tool >= 0 || status < 0) tools.push_back(tool);
            return status >= 0;
        },
        status);
    int closed = 0;
    tp_sublist_close(closed);
    return tools;
}

// Deletes the current block and the `count` - 1 blocks after it.
void delete_blocks(int count, int& status)
{
    for (int i = 0; i < count && status >= 0; ++i) tp_list_delete(1, status);
}

}  // namespace

divide_piece_table& divide_pieces()
{
    static divide_piece_table table;
    return table;
}

void divide_parts_reset() { divide_pieces() = divide_piece_table{}; }

void divide_read_mch(int procedure, int& status)
{
    divide_piece_table& t = divide_pieces();
    if (!go_to_procedure(procedure)) {
        status = kFailed;
        return;
    }
    t.base_feed = real_item(kGroupMachine, kItemBaseFeed);
    word spin = 0, tool = -1, kind = 0;
    read_item(kGroupMachine, kItemSpin, &spin, 1);
    read_item(kGroupMachine, kItemTool, &tool, 1);
    t.spin = spin;
    PRM9().words[machine_params::kToolId] = tool;
    read_item(kGroupGlobal, kItemKind, &kind, 1);
    t.kind = kind;
    read_item(kGroupGlobal, kItemToolIds, t.set_tools.data(), divide_piece_table::kSet);
    read_item(kGroupGlobal, kItemFeedPercents, t.set_feed.data(), divide_piece_table::kSet);
    read_item(kGroupGlobal, kItemSpinPercents, t.set_spin.data(), divide_piece_table::kSet);
    t.feed4 = real_item(kGroupGlobal, kItemFeedPercent4);
    t.spin4 = real_item(kGroupGlobal, kItemSpinPercent4);
    status = 0;
}

int divide_tool_lookup(int tool, int piece)
{
    divide_piece_table& t = divide_pieces();
    if (piece < 0 || piece >= divide_piece_table::kPieces) return -1;
    divide_piece& entry = t.pieces[static_cast<std::size_t>(piece)];
    if (t.kind == kKindToolSet) {
        for (int j = 0; j < divide_piece_table::kSet; ++j) {
            if (t.set_tools[static_cast<std::size_t>(j)] != tool) continue;
            entry = {tool, t.set_feed[static_cast<std::size_t>(j)], t.set_spin[static_cast<std::size_t>(j)]};
            return j;
        }
        return -1;
    }
    if (t.kind != kKindOneTool) return -1;
    t.pieces[1] = {tool, static_cast<int>(t.feed4), static_cast<int>(t.spin4)};
    return 0;
}

void next_tool_change(int procedure, int& found, int& tool, int& status)
{
    found = 0;
    if (!go_to_procedure(procedure)) {
        status = kFailed;
        return;
    }
    tp_sublist_open(status);
    if (status < 0) return;
    int tools = 0;
    walk_sublist(
        [&](int, int, int block_class) {
            const int id = tool_of_block(block_class, status);
            if (id < 0 || ++tools < 2) return status >= 0;
            found = 1;
            tool = id;
            int marked = 0;
            lmark(1, kToolChangeMarker, marked);
            return false;
        },
        status);
}

void split_at_tool_change(int procedure, int& status)
{
    // p keeps what lies before its first tool change.
    const word original = block_number_of(procedure);
    int found = 0, tool = 0;
    next_tool_change(procedure, found, tool, status);
    if (status < 0 || !found) {
        status = kFailed;
        return;
    }
    int position = 0, lines = 0, closed = 0;
    ljump(0, position);
    llines(lines);
    const tool_sets p_tools = tools_around(position, status);
    int back = 0;
    lmark(2, kToolChangeMarker, back);
    if (status >= 0 && back < 0) status = kFailed;
    delete_blocks(lines - position + 1, status);
    tp_sublist_close(closed);
    if (status < 0) return;
    detach_tools(original, p_tools.after, p_tools.before);
    // The copy keeps its blocks from its first tool change on: before it, every motion and every
    // FEED, SPIN and TOOL parameter goes, the block just before the change included.
    const word copy = block_number_of(procedure + 1);
    next_tool_change(procedure + 1, found, tool, status);
    if (status < 0 || !found) {
        status = kFailed;
        return;
    }
    ljump(0, position);
    const tool_sets copy_tools = tools_around(position, status);
    int length = 0;
    lacces(2, length);
    for (int i = 1; i < position && status >= 0; ++i) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        const int prmtyp = read_param(block_class, status).prmtyp;
        const bool goes = block_class == kClassMotion || prmtyp == kParamFeed || prmtyp == kParamSpin ||
                          prmtyp == kParamTool;
        if (status < 0) break;
        if (goes)
            tp_list_delete(1, status);
        else
            lacces(1, length);
    }
    tp_sublist_close(closed);
    if (status >= 0) detach_tools(copy, copy_tools.before, copy_tools.after);
}

void divide_texts(int last_piece, int first)
{
    divide_piece_table& t = divide_pieces();
    const int n = last_piece + 1;
    for (int k = 1; k <= n && k <= divide_piece_table::kPieces; ++k) {
        char text[kTextChars + 1] = {};
        int status = 0, count = 0;
        if (go_to_procedure(first + k - 1)) GTTEXT(kWhereList, 0, kGroupGlobal, kTextCode, kTextChars, count, text, status);
        char numbered[64];
        std::snprintf(numbered, sizeof numbered, "%d of %d %s", k, n, text);
        t.texts[static_cast<std::size_t>(k - 1)] = std::string(numbered).substr(0, kTextChars);
    }
}

void divide_set_proc(int procedure, int piece, int& status)
{
    if (!go_to_procedure(procedure)) {
        status = kFailed;
        return;
    }
    const divide_piece_table& t = divide_pieces();
    // With kind 4 every piece takes entry 1.
    const divide_piece& p = t.pieces[static_cast<std::size_t>(t.kind == kKindOneTool && piece > 0 ? 1 : piece)];
    status = 0;
    if (piece > 0) {
        const word feed = real_to_word(static_cast<float>(p.feed_percent * t.base_feed * 0.01));
        const word spin = static_cast<word>(p.spin_percent * t.spin * 0.01);
        const word tool = p.tool;
        const word single = 1;
        std::array<word, divide_piece_table::kSet> none, full;
        none.fill(-1);
        full.fill(100);
        TPCHNN(kWhereList, kGroupMachine, kItemBaseFeed, kTypeReal, &feed, 1, status);
        if (status >= 0) TPCHNN(kWhereList, kGroupMachine, kItemTool, kTypeInteger, &tool, 1, status);
        if (status >= 0) TPCHNN(kWhereList, kGroupMachine, kItemSpin, kTypeInteger, &spin, 1, status);
        if (status >= 0) TPCHNN(kWhereList, kGroupGlobal, kItemSingleTool, kTypeInteger, &single, 1, status);
        for (int item : {kItemToolIds, kItemFeedPercents, kItemSpinPercents}) {
            if (status < 0) break;
            TPCHNN(kWhereList, kGroupGlobal, item, kTypeInteger, item == kItemToolIds ? none.data() : full.data(),
                   divide_piece_table::kSet, status);
        }
    }
    const word state = kPieceState;
    if (status >= 0) TPCHNN(kWhereList, kGroupGlobal, kItemState, kTypeInteger, &state, 1, status);
    if (status >= 0) CHTEXT(kWhereList, kGroupGlobal, kTextCode, t.texts[static_cast<std::size_t>(piece)], status);
}

namespace {

// The pieces' tools: the tool of every change after the first TOOL parameter, each in the set;
// false (with the message or status) when the procedure cannot be divided as a whole.
bool check_changes(int procedure, int& changes, int& status)
{
    int read = 0;
    const std::vector<int> tools = procedure_tools(procedure, read);
    changes = static_cast<int>(tools.size()) - 1;
    if (read < 0 || (!tools.empty() && tools.back() < 0)) {
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
    if (go_to_procedure(procedure)) tp_sublist_open(done);
    status = kDivided;
}

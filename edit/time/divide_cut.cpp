// The cut of a procedure and its copy at their first tool change, and the walks over a
// procedure's sub-list that find its tools.
#include "edit/time/divide_pieces.hpp"

#include "driver/mch_slot_init.hpp"
#include "host/vantu.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kToolChangeMarker = 9;
constexpr int kParamFeed = 1, kParamSpin = 2, kParamTool = 100;
// The link by which the motion output attaches a tool to its procedure, detached one tool at a time.
constexpr int kToolLinkCode = -1, kOneTool = 1;
// A line position past every sub-list: all its tools fall "before" it.
constexpr int kEveryLine = std::numeric_limits<int>::max();

// Walks the open sub-list from its first block; visit(size, type, class) answers false to stop.
// The list is left on the block visit stopped at. Status of the walk.
template <typename Visit> void walk_sublist(Visit visit, int& status)
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

// The line the list stands on, counted from 1 (the host answers the last line negated).
int line_position()
{
    int position = 0;
    ljump(0, position);
    return std::abs(position);
}

// Deletes the current block and the `count` - 1 blocks after it.
void delete_blocks(int count, int& status)
{
    for (int i = 0; i < count && status >= 0; ++i) tp_list_delete(1, status);
}

}  // namespace

bool divide_goto_proc(int procedure)
{
    int status = 0, level = 1;
    gtlstn(2, level, status);
    NXTCNT(kClassProcedure, procedure, status);
    return status >= 0;
}

word divide_block_number(int procedure)
{
    int count = 0, type = 0, status = 0;
    word number = -1;
    if (divide_goto_proc(procedure)) TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &number, 1, status);
    return status < 0 ? -1 : number;
}

std::vector<int> divide_proc_tools(int procedure, int& status)
{
    if (!divide_goto_proc(procedure)) {
        status = kFailed;
        return {};
    }
    tp_sublist_open(status);
    if (status < 0) return {};
    const tool_sets tools = tools_around(kEveryLine, status);
    int closed = 0;
    tp_sublist_close(closed);
    return tools.before;
}

void next_tool_change(int procedure, int& found, int& tool, int& status)
{
    found = 0;
    if (!divide_goto_proc(procedure)) {
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
    const word original = divide_block_number(procedure);
    int found = 0, tool = 0;
    next_tool_change(procedure, found, tool, status);
    if (status < 0 || !found) {
        status = kFailed;
        return;
    }
    int position = line_position(), lines = 0, closed = 0;
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
    const word copy = divide_block_number(procedure + 1);
    next_tool_change(procedure + 1, found, tool, status);
    if (status < 0 || !found) {
        status = kFailed;
        return;
    }
    position = line_position();
    const tool_sets copy_tools = tools_around(position, status);
    int length = 0;
    lacces(2, length);
    for (int i = 1; i < position && status >= 0; ++i) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        const int prmtyp = read_param(block_class, status).prmtyp;
        const bool goes =
            block_class == kClassMotion || prmtyp == kParamFeed || prmtyp == kParamSpin || prmtyp == kParamTool;
        if (status < 0) break;
        if (goes)
            tp_list_delete(1, status);
        else
            lacces(1, length);
    }
    tp_sublist_close(closed);
    if (status >= 0) detach_tools(copy, copy_tools.before, copy_tools.after);
}

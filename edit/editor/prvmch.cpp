// PRVMCH: the display and simulation state brought back in step with the list position by
// applying, for each parameter type asked, the last parameter block of that type before it.
#include "edit/editor/machining_state.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "listing/block_handlers.hpp"
#include "listing/status_line.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kMarkSet = 1;
constexpr int kStartMarker = 1;
constexpr int kSourceWritten = 3;
constexpr int kJumpUnmoved = -2, kJumpFailed = -1;
constexpr int kCutterCompType = 5;
constexpr int kToolPresent = 10;  // PRM9 word of machine-table item 9
constexpr int kStatusWindow = 2;
constexpr int kFirstMill = 22, kLastMill = 26;

// The work record of one search.
struct search_state {
    std::vector<char> found;  // per list entry
    int found_count = 0;
    int last_motion = 0;  // block number of the last motion block passed
    bool stop_at_jump = false;
};

void report(int& status)
{
    eroutc("PRVMCH, ERRORS IN LIST", 0);
    status = kFailed;
}

bool mill_machine()
{
    const int type = NPT1().at(tp_header_state::kMachineType);
    return type >= kFirstMill && type <= kLastMill;
}

// After a backward cursor step that passed no parameter block of a type, the value of that type
// shown is the one in force: its first entry counts as found at once.
void take_unchanged_types(const int* types, search_state& s)
{
    for (std::size_t i = 0; i < s.found.size(); ++i) {
        const int* flag = prm_unchanged_flag(types[i]);
        const bool first_of_type = std::find(types, types + i, types[i]) == types + i;
        if (flag && *flag == 1 && first_of_type) {
            s.found[i] = 1;
            ++s.found_count;
        }
    }
}

// At the start of the list: for each entry of cutter compensation (type 5) that no block set,
// up to the first such entry that was found, the tool field of the status line is refreshed
// while a tool is present.
void refresh_unset_tool(const int* types, const search_state& s)
{
    if (s.found_count == static_cast<int>(s.found.size())) return;
    for (std::size_t i = 0; i < s.found.size(); ++i) {
        if (types[i] != kCutterCompType) continue;
        if (s.found[i]) return;
        if (PRM9().words[kToolPresent] != 0) status_show_tool(kStatusWindow);
    }
}

// How a search ended.
enum class search_end { go_on, done, list_error, display_failed };

// Applies a parameter block to the first entry of its type not found yet; done when the search
// reached the start of a forward jump.
search_end serve_parameter(int mode, const int* types, search_state& s, int& status)
{
    tp_param_block block;
    tpread_param(kWhereList, block, status);
    if (status < 0) return search_end::list_error;
    const list_cursor_state& cursor = list_cursor();
    // Before a forward jump's start the state shown is already the one in force.
    if (s.stop_at_jump && cursor.cursor_dir == kDirJump && s.last_motion == cursor.cursor_jump_from)
        return search_end::done;
    for (std::size_t i = 0; i < s.found.size(); ++i) {
        if (s.found[i] || types[i] != block.prmtyp) continue;
        dip_context context;
        context.source = kSourceWritten;
        context.mode = mode;
        context.number = block.number;
        DIPBT1(context, block, status);
        if (status < 0) return search_end::display_failed;
        s.found[i] = 1;
        ++s.found_count;
        break;
    }
    return search_end::go_on;
}

// The backward search from the list position, block by block, until every entry is found or
// the list's first block was read.
search_end search_back(int mode, const int* types, search_state& s, int& status)
{
    const auto all_found = [&] { return s.found_count == static_cast<int>(s.found.size()); };
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereListNumbered, size, type, block_class, status);
    if (status < 0) return search_end::list_error;
    // Each step moves one line back, so the search meets every line of the level at most once.
    int lines = 0;
    llines(lines);
    for (int met = 0; met < lines && !all_found(); ++met) {
        if (block_class == kClassMotion) {
            word number = 0;
            tpget(kWhereList, 1, kTypeInteger, &number, status);
            if (status < 0) return search_end::list_error;
            s.last_motion = number;
        } else if (block_class == kClassParameter) {
            const search_end end = serve_parameter(mode, types, s, status);
            if (end != search_end::go_on) return end;
        }
        if (all_found()) break;
        int moved = 0;
        tp_list_jump(-1, moved);
        if (moved == kJumpFailed) return search_end::list_error;
        if (moved == kJumpUnmoved) {
            refresh_unset_tool(types, s);
            return search_end::done;
        }
        tp_block_head_read(kWhereListNumbered, size, type, block_class, status);
        if (status < 0) return search_end::list_error;
    }
    return search_end::done;
}

}  // namespace

prvmch_words& prvmch_state()
{
    static prvmch_words words;
    return words;
}

void prvmch_trust_unchanged_flags() { prvmch_state().trust_unchanged = 1; }

void PRVMCH(int mode, int count, const int* types, int& status)
{
    const bool trusted = prvmch_state().trust_unchanged != 0;
    prvmch_state().trust_unchanged = 0;
    status = 0;
    int noted = 0;
    lmark(kMarkSet, kStartMarker, noted);
    if (noted < 1 || count < 0 || count > kPrvmchMostTypes || (count > 0 && !types)) return report(status);
    search_state s;
    s.found.assign(static_cast<std::size_t>(count), 0);
    const list_cursor_state& cursor = list_cursor();
    if (trusted && cursor.cursor_dir == kDirBackward && mill_machine()) take_unchanged_types(types, s);
    s.stop_at_jump = cursor.cursor_dir == kDirJump && cursor.cursor_jump_to > cursor.cursor_jump_from;
    const search_end end = search_back(mode, types, s, status);
    if (end == search_end::display_failed) return;
    int returned = 0;
    tp_list_top_mark(kStartMarker, returned);
    if (end == search_end::list_error || returned < 0) return report(status);
    status = 0;
}

// Choosing an existing tool: the tool prompt of the tool pages (a menu of the list, a name typed
// while a macro runs, or a new tool), and the choice of the current tool of the machining steps.
// Reads and writes PRM9's tool id through tool_select_current.
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_lists.hpp"

#include "host/vantu.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_choice.hpp"
#include "tools/tool_utilities.hpp"

namespace {

constexpr int kListSlot = 0;
constexpr int kMenuPicked = 0, kMenuNameEntry = 1;
// Rounds of the prompt before it gives up on answers that choose nothing.
constexpr int kMaxRounds = 100;

// While a macro runs or is recorded: a typed name. True when it ended the choice.
bool typed_name(int slot, int& tool_id, int& status)
{
    for (int round = 0; round < kMaxRounds; ++round) {
        prmptc("ENTER TOOL OR <CR>");
        std::string text;
        int count = 0;
        rtexts(kToolText, text, count);
        if (count < 0) {
            status = -1;
            return true;
        }
        if (dd_trimmed(text).empty()) return false;
        int found = 1;
        toollist_find_name(slot, text, tool_id, found);
        if (found == 0) {
            status = 0;
            return true;
        }
        userrc("REQUESTED TOOL NOT FOUND");
    }
    status = -1;
    return true;
}

// The class of a new tool; 0 when the user's answer chose none.
int class_to_create(int tool_class)
{
    if (tool_class >= 1) return tool_class;
    int allowed = 0, only = 0;
    std::string menu;
    for (int c = 1; c <= kToolClasses; ++c) {
        if (!tool_class_allowed(c)) continue;
        ++allowed;
        only = c;
        menu += (menu.empty() ? "" : "@") + dd_trimmed(tool_class_name(c)) + " TOOL";
    }
    if (allowed == 1) return only;
    if (allowed == 0) return -tool_class;
    int choice = 0;
    menuc(menu, choice);
    for (int c = 1, k = 0; c <= kToolClasses; ++c)
        if (tool_class_allowed(c) && ++k == choice) return c;
    return 0;
}

int current_tool_of_prm9() { return PRM9().words[machine_params::kToolId]; }

// Makes the tool the current tool of the machining steps. Status 0 or non-zero.
void make_current(int tool_id, int first_class, int& status)
{
    tool_select_current(0, tool_id, status);
    if (status == 0) tool_type_params(status);
    if (status == 0 && is_wire_class(first_class)) tool_to_common();
}

}  // namespace

void tool_select_prompt(int slot, int tool_class, int may_create, int& tool_id, int& status)
{
    int count = 0;
    toollist_count(slot, count);
    bool menu = count > 0;
    if (menu && (macexe() != 0 || macdfn() != 0) && typed_name(slot, tool_id, status)) return;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (menu) {
            prmptc("CHANGE:SELECT TOOL");
            std::string name;
            const int mark = may_create == 0 || tool_id > 0 ? 1 : 0;
            toollist_menu(slot, 0, mark, may_create, tool_id, name, status);
            if (status != kMenuNameEntry) return;
        }
        menu = true;
        if (may_create == 0) {
            status = -1;
            return;
        }
        const int new_class = class_to_create(tool_class);
        if (new_class < 1 && count > 0) continue;  // back to the list
        if (new_class < 1) {
            status = -1;
            return;
        }
        if (tool_id > 0) {
            int entity_class = -1, entity_type = -1, found = 0;
            egclty(tool_id, entity_class, entity_type, found);
            if (found != 0 || entity_type != new_class) tool_id = -1;
        }
        tool_block().IDTOOL = kNoTool;
        tool_create(new_class, slot, tool_id, status);
        if (status == -2 && count > 0) continue;
        if (status != 0) {
            status = -1;
            tool_id = -1;
        }
        return;
    }
    status = -1;
}

void tool_select_from_list(int may_create, std::string& name, int& status)
{
    toollist_reset(kListSlot);
    int classes = 0, first_class = -1;
    toollist_fill(kListSlot, 0, classes, first_class);
    const int previous = current_tool_of_prm9();
    tool_get_name(previous, name);
    status = -1;
    if (classes >= 1) {
        int chosen = previous, prompted = 0;
        tool_select_prompt(kListSlot, classes > 1 ? -first_class : first_class, may_create, chosen, prompted);
        status = prompted < 0 ? -2 : 0;
        if (prompted == 0 && chosen >= 1 && chosen != previous) {
            int made = 0;
            make_current(chosen, first_class, made);
            if (made == 0) {
                tool_get_name(chosen, name);
            } else {
                int back = 0;
                if (previous >= 1) make_current(previous, first_class, back);
                status = -1;
            }
        }
    }
    int freed = 0;
    reltol(kListSlot, freed);
    if (freed != 0) status = -1;
}

void tool_select_c(int may_create, std::string& name, int& status)
{
    tool_select_from_list(may_create, name, status);
    name = dd_trimmed(name.substr(0, kToolText - 1));
}

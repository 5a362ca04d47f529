// The paged menu of a tool list: 60 entries a page in 6 columns of 10, or 3 of 23 when a name
// is long; "MORE" pages on (after the last page back to the first); an optional "NAME=___" item.
// On request the flagged entries (data word 1 not 0) and the current tool are marked: highlighted
// and preset as chosen.
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/tool_lists.hpp"

#include "host/vantu.hpp"
#include "host/vantu_menu_marks.hpp"

int toollist_page_of(int slot);
void toollist_set_page(int slot, int page);

namespace {

// Menu rounds before the menu gives up: far more than any user pages, so a script that answers
// "MORE" for ever ends instead of hanging.
constexpr int kMaxRounds = 1000;

std::string item_text(std::string_view name, int width)
{
    std::string text = dd_trimmed(name.substr(0, kToolText - 1));
    text.resize(static_cast<std::size_t>(width), ' ');
    return text;
}

}  // namespace

void toollist_menu(int slot, int mark_flagged, int mark_current, int name_entry, int& tool_id, std::string& name,
                   int& status)
{
    int count = 0;
    toollist_count(slot, count);
    if (count == 0) {
        status = -5;
        return;
    }
    int columns = 0, width = 0;
    toollist_layout(slot, columns, width);
    int pages = (count + kToolListPage - 1) / kToolListPage;
    bool more = count + (name_entry ? 1 : 0) > kToolListPage;
    int page = toollist_page_of(slot);
    if (mark_current) {
        for (int n = 1; n <= count; ++n) {
            int id = -1, found = 0;
            toollist_entry_id(slot, n, id, found);
            if (found == 0 && id == tool_id) page = (n - 1) / kToolListPage;
        }
    }
    if (page < 0 || page >= pages) page = 0;
    for (int round = 0; round < kMaxRounds; ++round) {
        toollist_set_page(slot, page);
        int first = page * kToolListPage + 1;
        int last = std::min(count, first + kToolListPage - 1);
        std::string text;
        for (int n = first; n <= last; ++n) {
            std::string entry;
            int d1 = 0, d2 = 0, found = 0, id = -1;
            toollist_entry(slot, n, entry, d1, d2, found);
            toollist_entry_id(slot, n, id, found);
            text += (text.empty() ? "" : "@") + item_text(entry, width);
            if ((mark_flagged && d1 != 0) || (mark_current && id == tool_id)) {
                int mark_status = 0;
                menu_item_mark(n - first + 1, 1, mark_status);
            }
        }
        int on_page = last - first + 1;
        bool name_item = name_entry && on_page < kToolListPage;
        if (name_item) text += "@NAME=___";
        int more_item = on_page + (name_item ? 1 : 0) + 1;
        if (more) text += "@MORE";
        int choice = -1;
        menuc(text, choice);
        if (choice == -1 || choice == -2) {
            status = choice;
            return;
        }
        if (more && choice == more_item) {
            page = (page + 1) % pages;
            continue;
        }
        if (choice >= 1 && choice <= on_page) {
            int d1 = 0, d2 = 0, found = 0;
            toollist_entry_id(slot, first + choice - 1, tool_id, found);
            toollist_entry(slot, first + choice - 1, name, d1, d2, found);
            status = 0;
            return;
        }
        if (choice > on_page) {
            status = 1;
            return;
        }
    }
    status = -1;
}

// The selection list of a name table (DMLSTY): masters sorted by name, other kinds in table
// order, shown page by page with "MORE" on the status line; and SBNAME, which opens it for one
// kind and reports an empty table.
#include "tools/dd_state.hpp"
#include "tools/master_names.hpp"

#include "host/vantu.hpp"
#include "host/vantu_masters.hpp"

#include <algorithm>

namespace {

constexpr int kMenuMore = -3, kMenuBack = -2;
constexpr int kMinLineWidth = 4;
// Menu rounds before the list gives up: far beyond any user's paging, so that a script that
// pages for ever ends instead of hanging.
constexpr int kMaxRounds = 1000;

struct list_entry {
    std::string name;
    int entity_id = 0;
};

std::string menu_line(const std::string& name)
{
    std::string line = name;
    if (line.size() < static_cast<std::size_t>(kMinLineWidth)) line.resize(kMinLineWidth, ' ');
    return line;
}

// The entries of the kind: text without its kind digit, trimmed. False after the sort message
// when a master name is too long to sort.
bool collect(const std::vector<name_table_entry>& table, int kind, std::vector<list_entry>& entries)
{
    const char digit = static_cast<char>('0' + kind);
    for (const name_table_entry& stored : table) {
        if (static_cast<int>(stored.text.size()) > kEntryTextWords) continue;
        const std::string text = name_entry_text(stored.text);
        if (text.empty() || text[0] != digit) continue;
        list_entry entry{dd_trimmed(text.substr(1)), stored.entity_id};
        if (kind == kLocalMaster && entry.name.size() > static_cast<std::size_t>(kMasterNameLength)) {
            eroutc("DMLSTY - CANNOT WRITE ITEM FOR SORT", 0);
            return false;
        }
        entries.push_back(std::move(entry));
    }
    if (kind == kLocalMaster)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const list_entry& a, const list_entry& b) { return a.name < b.name; });
    return true;
}

}  // namespace

int master_list_index(int page, int page_size, int choice, int entries)
{
    if (page < 1 || page_size < 1 || choice < 1 || choice > page_size) return 0;
    const long long index = static_cast<long long>(page - 1) * page_size + choice;
    return index <= entries ? static_cast<int>(index) : 0;
}

void DMLSTY(int table_id, int page_size, int kind, int prompt_group, int prompt_number, int& entity_id,
            std::string& name, int& result)
{
    if (page_size < 1 || page_size > kListPageLimit) page_size = kListPageLimit;
    std::vector<name_table_entry> table;
    std::vector<list_entry> entries;
    int status = 0;
    name_table_read(table_id, table, status);
    if (status != 0 || !collect(table, kind, entries)) {
        result = -1;
        return;
    }
    const int count = static_cast<int>(entries.size());
    result = 0;
    if (count == 0) return;
    const int pages = (count + page_size - 1) / page_size;
    int page = 1;
    for (int round = 0; round < kMaxRounds; ++round) {
        const int first = (page - 1) * page_size;
        const int on_page = std::min(page_size, count - first);
        std::string lines;
        for (int i = 0; i < on_page; ++i)
            lines += (i ? "@" : "") + menu_line(entries[static_cast<std::size_t>(first + i)].name);
        msg_prompt(prompt_group, prompt_number);
        int choice = 0;
        dmsmnu(lines, pages > 1 ? "MORE" : "", choice);
        if (choice == kMenuMore) {
            if (page == pages && kind != kLocalMaster) bell();
            page = page % pages + 1;
            continue;
        }
        if (choice == kMenuBack && kind == kLocalMaster && pages > 1) {
            page = page == 1 ? pages : page - 1;
            continue;
        }
        if (choice < 0) {
            result = choice;
            return;
        }
        // A choice can name a line past the last entry of a short page: refuse it.
        const int index = master_list_index(page, page_size, choice, count);
        if (index == 0 || choice > on_page) {
            eroutc("DMLSTY - CANNOT READ ITEM FROM SORT", 0);
            result = -1;
            return;
        }
        const list_entry& picked = entries[static_cast<std::size_t>(index - 1)];
        entity_id = picked.entity_id;
        name = picked.name;
        result = kind == kLocalMaster ? count : on_page;
        return;
    }
    result = -1;
}

void SBNAME(int kind, int mode, std::string& name, int& entity_id, int& status)
{
    status = -1;
    if (mode < 1 || mode > 3) {
        eroutc("SBNAME - INVALID MODE", 0);
        return;
    }
    if (kind < 1 || kind > 5 || (kind >= 3 && mode != 1)) {
        eroutc("SBNAME - INVALID TYPE", 0);
        return;
    }
    constexpr int kPromptGroup = 33, kPromptNumber = 5, kNothingToSelect = 203;
    int table_id = 0, seq_status = 0, result = 0;
    seq_db_id(kNameTableClass, mode == 2 ? kSecondNameTable : kOwnNameTable, table_id, seq_status);
    if (seq_status == 0) {
        DMLSTY(table_id, kListPageLimit, kind, kPromptGroup, kPromptNumber, entity_id, name, result);
        if (result == kMenuBack) status = -2;
        if (result > 0) status = 0;
        if (result != 0) return;
    }
    const int named_kind = (mode == 1 && (kind == 3 || kind == 5)) ? 4 : mode;
    std::string kind_name;
    int length = 0;
    ENTNAM(named_kind, 9, kind_name, length);
    msg_modal(kNothingToSelect, kind_name.substr(0, static_cast<std::size_t>(length)));
}

// Name tables of masters and patterns: entry texts, opening and creating a table, appending an
// entry and searching by text or entity id. The symbol code, the master records and the
// selection list read the tables through these routines.
#include "tools/dd_state.hpp"
#include "tools/master_names.hpp"

#include "host/vantu.hpp"

#include <array>

namespace {

constexpr int kByTextOwn = 1, kByTextSecond = 2, kByIdOwn = 3, kByIdSecond = 4;

std::vector<word> text_words(std::string_view text)
{
    std::vector<word> words;
    for (std::size_t at = 0; at < text.size(); at += 4) words.push_back(text4_to_word(text.substr(at)));
    return words;
}

// The table of the given type: its id, or 0 when the part has none.
int table_of_type(int table_type)
{
    int id = 0, status = 0;
    seq_db_id(kNameTableClass, table_type, id, status);
    return status == 0 ? id : 0;
}

void create_table(int table_type, int& table_id, int& status)
{
    int close_status = 0;
    estore(kNameTableClass, table_type, table_id, status);
    if (status == 0) ezeroi(kNameTableGrowth, status);
    eclose(close_status);
    if (status != 0) table_id = 0;
}

}  // namespace

std::string name_entry_text(const std::vector<word>& text)
{
    std::string out;
    for (word w : text) out += word_to_text4(w);
    return dd_trimmed(out);
}

void name_table_read(int table_id, std::vector<name_table_entry>& entries, int& status)
{
    entries.clear();
    int entity_class = 0, entity_type = 0, length = 0, count = 0, close_status = 0;
    eopen(table_id, entity_class, entity_type, status);
    if (status == 0 && entity_class != kNameTableClass) status = -1;
    if (status == 0) elngth(length, status);
    if (status == 0) egeti(1, &count, status);
    // Each entry takes at least two words: a count beyond that cannot be the table's.
    if (status == 0 && (count < 0 || count > length / 2)) status = -1;
    for (int k = 0; status == 0 && k < count; ++k) {
        std::array<int, 2> head{};
        egeti(2, head.data(), status);
        if (status != 0 || head[1] < 0 || head[1] > length) {
            status = -1;
            break;
        }
        name_table_entry entry{head[0], std::vector<word>(static_cast<std::size_t>(head[1]))};
        if (head[1] > 0) egetn(head[1], entry.text.data(), status);
        entries.push_back(std::move(entry));
    }
    eclose(close_status);
    if (status != 0) status = -1;
}

void ENTNAM(int kind, int capacity, std::string& name, int& length)
{
    static constexpr std::array<const char*, 5> kNames{"MASTER", "PATTERN", "CODE", "SUB-VIEW", "SUB-ASSY"};
    std::string text;
    if (kind >= 1 && kind <= 5)
        text = kNames[static_cast<std::size_t>(kind - 1)];
    else
        eroutc("ENTNAM - INVALID ENTITY TYPE", 0);
    if (capacity < 0) capacity = 0;
    text.resize(std::min(text.size(), static_cast<std::size_t>(capacity)));
    length = text.empty() ? 1 : static_cast<int>(text.size());
    name = text;
    name.resize(static_cast<std::size_t>(capacity), ' ');
}

void entry_text_build(int kind, std::string_view file_name, std::string_view name, int capacity, std::string& text,
                      int& status)
{
    status = -1;
    std::string built;
    const std::string digit(1, static_cast<char>('0' + kind));
    const std::string file = "(" + std::string(file_name) + ")";
    switch (kind) {
    case 0: built = std::string(file_name); break;
    case 1:
    case 5: built = digit + std::string(name); break;
    case 2:
    case 3: built = digit + std::string(name) + file; break;
    case 4: built = digit + file; break;
    default: return;
    }
    if (static_cast<int>(built.size()) > std::min(capacity, kEntryTextLength)) return;
    text = built;
    status = 0;
}

void OPMPTB(int mode, int& table_id, int& status)
{
    status = -1;
    if (mode < 1 || mode > 4) {
        eroutc("OPMPTB - INVALID MODE", 0);
        return;
    }
    const int table_type = (mode == 1 || mode == 3) ? kOwnNameTable : kSecondNameTable;
    if (int existing = table_of_type(table_type)) {
        if (mode <= 2) {
            eroutc("OPMPTB - TABLE ALREADY EXIST", 0);
            return;
        }
        table_id = existing;
        status = 0;
        return;
    }
    create_table(table_type, table_id, status);
    if (status != 0) {
        eroutc("OPMPTB - CAN NOT CREATE TABLE", 0);
        status = -1;
    }
}

void UPDMT(int table_id, int words_in_use, std::string_view text, int entity_id, int& status)
{
    const std::vector<word> words = text_words(text);
    const int w = static_cast<int>(words.size());
    int entity_class = 0, entity_type = 0, length = 0, count = 0, close_status = 0;
    eopen(table_id, entity_class, entity_type, status);
    if (status == 0) elngth(length, status);
    if (status != 0 || entity_class != kNameTableClass || words_in_use < 0 || words_in_use >= length) {
        eclose(close_status);
        eroutc("UPDMT - CAN NOT OPEN TABLE ENTITY", 0);
        status = -1;
        return;
    }
    // The count word, the id, the word count and the text must fit behind the words in use.
    while (status == 0 && words_in_use + 3 + w > length) {
        eskipn(length, status);
        if (status == 0) ezeroi(kNameTableGrowth, status);
        if (status == 0) eopen(table_id, entity_class, entity_type, status);
        if (status == 0) elngth(length, status);
    }
    if (status != 0) {
        eclose(close_status);
        eroutc("UPDMT - CAN NOT EXTEND TABLE ENTITY", 0);
        status = -1;
        return;
    }
    egeti(1, &count, status);
    const int grown = count + 1;
    const std::array<int, 2> head{entity_id, w};
    if (status == 0) eskipn(-1, status);
    if (status == 0) eputi(1, &grown, status);
    if (status == 0) eskipn(words_in_use, status);
    if (status == 0) eputi(2, head.data(), status);
    if (status == 0 && w > 0) eputn(w, words.data(), status);
    eclose(close_status);
    if (status != 0) {
        eroutc("UPDMT - CAN NOT EXTEND TABLE ENTITY", 0);
        status = -1;
    }
}

void FBNAME(int mode, std::string& text, int& table_id, int& words_in_use, int& entity_id, int& found_index,
            int& status)
{
    const int tens = mode / 10, units = mode % 10;
    found_index = 0;
    words_in_use = 0;
    status = 0;
    if (mode < 0 || tens > 1 || units < 1 || units > 4) {
        eroutc("FBNAME -INVALID MODE", 0);
        status = -1;
        return;
    }
    const bool by_text = units == kByTextOwn || units == kByTextSecond;
    const std::string wanted = dd_trimmed(text);
    if (by_text && wanted.empty()) return;
    const int table_type = (units == kByTextOwn || units == kByIdOwn) ? kOwnNameTable : kSecondNameTable;
    table_id = table_of_type(table_type);
    if (table_id == 0) {
        if (tens == 1) return;
        OPMPTB(table_type == kOwnNameTable ? 1 : 2, table_id, status);
        if (status != 0) {
            eroutc("FBNAME - CAN NOT CREATE TABLE", 0);
            status = -1;
        }
        return;
    }
    std::vector<name_table_entry> entries;
    name_table_read(table_id, entries, status);
    if (status != 0) {
        eroutc("FBNAME - CAN NOT OPEN TABLE", 0);
        return;
    }
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const name_table_entry& entry = entries[k];
        words_in_use += static_cast<int>(entry.text.size()) + 2;
        if (static_cast<int>(entry.text.size()) > kEntryTextWords) continue;
        const bool match = by_text ? name_entry_text(entry.text) == wanted : entry.entity_id == entity_id;
        if (!match) continue;
        if (by_text)
            entity_id = entry.entity_id;
        else
            text = name_entry_text(entry.text);
        found_index = static_cast<int>(k) + 1;
        return;
    }
}

void master_find_by_name(int kind, std::string_view name, int& entity_id, int& status)
{
    status = -1;
    std::string text;
    int built = 0;
    if (name.size() > static_cast<std::size_t>(kMasterNameLength)) return;
    entry_text_build(kind, "", dd_trimmed(name), kEntryTextLength, text, built);
    if (built != 0) return;
    int table_id = 0, words_in_use = 0, found = 0, id = 0, search = 0;
    FBNAME(kind + 10, text, table_id, words_in_use, id, found, search);
    if (search == 0 && found > 0) {
        entity_id = id;
        status = 0;
    }
}

// The table of record types (class 16, type 2): pages of 80 integers (160 16-bit words), 20
// entries a page, each entry 8 words (name length, 12-character name, entity id of the record
// table); an entry whose first word is -1 ends the list. DDINI1 finds it (and the pointer list,
// class 16 type 3) through the part's sequence database, creating both in a new part.
#include "tools/data_dictionary.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

namespace {

constexpr int kPageInts = 80;
constexpr int kPageWords = 160;
constexpr int kEntryWords = 8;
constexpr int kEntriesPerPage = 20;
constexpr std::uint16_t kEndOfList = 0xFFFF;
constexpr int kFind = 1, kAdd = 2, kDelete = 3, kFindById = 4;

struct type_entry {
    std::string name;
    int table_id;
};

int type_table_id()
{
    int id = -1, status = 0;
    seq_db_id(kDdClass, kDdTypeTableType, id, status);
    return status == 0 ? id : -1;
}

// Creates an entity of class 16 of the type with the given words.
void create_entity(int type, const std::vector<int>& words, int& status)
{
    int id = 0, close_status = 0;
    estore(kDdClass, type, id, status);
    if (status == 0 && !words.empty()) eputi(static_cast<int>(words.size()), words.data(), status);
    eclose(close_status);
}

bool read_entries(std::vector<type_entry>& entries, int& status)
{
    entries.clear();
    int table = type_table_id();
    int pages = 0;
    ddopen(table, pages, status);
    for (int page = 1; status == 0 && page <= pages; ++page) {
        std::vector<std::uint16_t> words;
        ddlaod(table, page, words, status);
        for (int e = 0; status == 0 && e < kEntriesPerPage; ++e) {
            const std::uint16_t* w = &words[static_cast<std::size_t>(e * kEntryWords)];
            if (w[0] == kEndOfList) return true;
            int length = std::min<int>(w[0], kDdTypeNameLength);
            entries.push_back({dd_trimmed(dd_get_text(w + 1, length)), w[7]});
        }
    }
    return status == 0;
}

void write_entries(const std::vector<type_entry>& entries, int& status)
{
    int pages = static_cast<int>(entries.size()) / kEntriesPerPage + 1;
    std::vector<std::uint16_t> words(static_cast<std::size_t>(pages * kPageWords), 0);
    for (std::size_t e = 0; e < entries.size(); ++e) {
        std::uint16_t* w = &words[e * kEntryWords];
        w[0] = static_cast<std::uint16_t>(entries[e].name.size());
        dd_put_text(w + 1, entries[e].name, kDdTypeNameLength);
        w[7] = static_cast<std::uint16_t>(entries[e].table_id);
    }
    words[entries.size() * kEntryWords] = kEndOfList;
    std::vector<int> packed = dd_pack(words.data(), static_cast<int>(words.size()));
    int c = 0, t = 0, close_status = 0;
    eopen(type_table_id(), c, t, status);
    if (status == 0) eputi(static_cast<int>(packed.size()), packed.data(), status);
    eclose(close_status);
}

}  // namespace

void DDINI1(int& status)
{
    status = 0;
    int id = -1, found = 0;
    seq_db_id(kDdClass, kDdTypeTableType, id, found);
    if (found != 0) {
        std::vector<std::uint16_t> page(kPageWords, 0);
        page[0] = kEndOfList;
        create_entity(kDdTypeTableType, dd_pack(page.data(), kPageWords), status);
    }
    seq_db_id(kDdClass, kDdPointerListType, id, found);
    if (status == 0 && found != 0) create_entity(kDdPointerListType, {0}, status);
    if (status != 0) {
        eroutc("DDINI1 - DATA BASE INCONSISTENCY", 0);
        status = -1;
    }
}

void ddopen(int table_id, int& pages, int& status)
{
    int c = -1, t = -1, close_status = 0;
    eopen(table_id, c, t, status);
    if (status != 0 || c != kDdClass || t != kDdTypeTableType) {
        eroutc("ddopen: wrong class or type", 0);
        status = -1;
    } else {
        int count = 0;
        elngth(count, status);
        if (status != 0 || count == 0 || count % kPageInts != 0) {
            eroutc("ddopen: wrong size", 0);
            status = -1;
        } else {
            pages = count / kPageInts;
        }
    }
    eclose(close_status);
}

void ddlaod(int table_id, int page, std::vector<std::uint16_t>& words, int& status)
{
    int pages = 0;
    ddopen(table_id, pages, status);
    if (status != 0) return;
    if (page < 1 || page > pages) {
        eroutc("ddlaod: wrong page", 0);
        status = -1;
        return;
    }
    int c = 0, t = 0, close_status = 0;
    std::vector<int> packed(kPageInts);
    eopen(table_id, c, t, status);
    if (status == 0) eskipi((page - 1) * kPageInts, status);
    if (status == 0) egeti(kPageInts, packed.data(), status);
    eclose(close_status);
    words.assign(kPageWords, 0);
    dd_unpack(packed, words.data(), kPageWords);
}

void DDTABL(int operation, std::string& type_name, int& table_id, int& status)
{
    if (operation < kFind || operation > kFindById) {
        eroutc("DDTABL - WRONG OPERATION", 0);
        status = -1;
        return;
    }
    DDINI1(status);
    std::vector<type_entry> entries;
    if (status != 0 || !read_entries(entries, status)) {
        status = -1;
        return;
    }
    std::string name = dd_upper(dd_trimmed(type_name.substr(0, kDdTypeNameLength)));
    status = 1;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        bool match = operation == kFindById ? entries[e].table_id == table_id : entries[e].name == name;
        if (!match) continue;
        if (operation == kFind) table_id = entries[e].table_id;
        if (operation == kFindById) type_name = entries[e].name;
        if (operation == kAdd) {
            eroutc("DDTABL - TYPE ALREADY EXISTS", 0);
            return;
        }
        status = 0;
        if (operation == kDelete) {
            entries.erase(entries.begin() + static_cast<long>(e));
            write_entries(entries, status);
        }
        return;
    }
    if (operation == kAdd) {
        entries.push_back({name, table_id});
        write_entries(entries, status);
    }
}

void dd_type_find(std::string_view type_name, int& table_id, int& status)
{
    if (type_name.size() > static_cast<std::size_t>(kDdTypeNameLength) &&
        dd_trimmed(type_name).size() > static_cast<std::size_t>(kDdTypeNameLength)) {
        status = -12;
        return;
    }
    std::string name(type_name);
    DDTABL(kFind, name, table_id, status);
}

// The five tool-list slots: entries in host dynamic arrays of 9 words (id, two data words, a
// 20-character name), with their counts; and the allowed-class flags.
#include "tools/tool_lists.hpp"
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/module_block.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

#include <array>
#include <cstring>

namespace {

constexpr int kEntryWords = 9;
constexpr int kEntryBytes = kEntryWords * 4;
constexpr int kGrowth = 10;
constexpr int kLongName = 10;
constexpr int kNameWords = 5;

struct tool_list_slot {
    int handle = -1;
    int count = 0;
    int capacity = 0;
    int flagged = 0;
    int long_names = 0;
    int page = 0;
    const void* base = nullptr;  // the array's address when this slot last opened or grew it
};

using tool_list_slots = std::array<tool_list_slot, kToolListSlots>;

tool_list_slot* slot_at(int slot)
{
    return slot >= 0 && slot < kToolListSlots ? &module_block<tool_list_slots>()[static_cast<std::size_t>(slot)]
                                              : nullptr;
}

// True when the slot's handle is open but names another array than the one the slot opened: a
// host reset hands handles out again from 1, and the host moves an array only when the slot
// itself grows it. Writing entries of 9 words there would overrun the other owner's array.
bool handle_taken_over(const tool_list_slot& s)
{
    const void* base = mmcptr(s.handle);
    return base && (base != s.base || MM_CUR_N_ENTRIES(s.handle) != s.capacity);
}

// Entry index (from 0) of the slot's array; null when the index lies beyond the array or the array
// is no longer the slot's.
word* entry_words(const tool_list_slot& s, int index)
{
    if (index < 0 || index >= s.capacity || handle_taken_over(s)) return nullptr;
    auto* base = static_cast<word*>(mmcptr(s.handle));
    return base ? base + static_cast<std::ptrdiff_t>(index) * kEntryWords : nullptr;
}

// Entry n (from 1) of a listed slot; null for a bad slot or n outside the list.
const word* listed_entry(int slot, int n)
{
    const tool_list_slot* s = slot_at(slot);
    if (!s || n < 1 || n > s->count) return nullptr;
    return entry_words(*s, n - 1);
}

std::string entry_name(const word* e)
{
    char text[kNameWords * 4];
    movi2t(e + 3, kNameWords, text);
    return std::string(text, kToolText);
}

bool long_name(std::string_view name) { return dd_trimmed(name).size() >= static_cast<std::size_t>(kLongName); }

void write_entry(word* e, int tool_id, int data1, std::string_view name, int data2)
{
    std::string text(kToolText, ' ');
    std::size_t length = std::min(name.find('\0'), std::min<std::size_t>(name.size(), kToolText - 1));
    text.replace(0, length, name.substr(0, length));
    text[kToolText - 1] = '\0';
    e[0] = tool_id;
    e[1] = data1;
    e[2] = data2;
    movt2i(text.data(), kNameWords, e + 3);
}

// Counts of flagged and long-named entries, recomputed from the entries.
void recount(tool_list_slot& s)
{
    s.flagged = s.long_names = 0;
    for (int i = 0; i < s.count; ++i) {
        const word* e = entry_words(s, i);
        if (!e) return;
        if (e[1] != 0) ++s.flagged;
        if (long_name(entry_name(e))) ++s.long_names;
    }
}

void memory_error(int& status)
{
    eroutc("puttol,DYNAMIC MEMORY ERROR", 0);
    status = -5;
}

std::array<int, kToolClasses>& allowed() { return tool_table_ids().allowed; }

void allow(int tool_class)
{
    if (tool_class >= 1 && tool_class <= kToolClasses) allowed()[static_cast<std::size_t>(tool_class - 1)] = 1;
}

}  // namespace

void set_allowed_tool_classes(int family_flag, int tool_class)
{
    allowed().fill(0);
    allow(tool_class);
    if (family_flag == 0) return;
    if (tool_class == kDrill || tool_class == kMill) {
        allow(kDrill);
        allow(kMill);
    } else if (tool_class == kLathe || tool_class == kLatheDrill || tool_class == kThread || tool_class == kGroove) {
        for (int c : {kLathe, kLatheDrill, kThread, kGroove}) allow(c);
    }
}

bool tool_class_allowed(int tool_class)
{
    return tool_class >= 1 && tool_class <= kToolClasses && allowed()[static_cast<std::size_t>(tool_class - 1)] != 0;
}

void puttol(int slot, int tool_id, int data1, std::string_view name, int data2, int& status)
{
    status = -5;
    tool_list_slot* s = slot_at(slot);
    if (!s) {
        status = -5;
        return;
    }
    for (int i = 0; i < s->count; ++i) {
        word* e = entry_words(*s, i);
        if (e && e[0] == tool_id) {
            write_entry(e, tool_id, data1, name, data2);
            recount(*s);
            status = 1;
            return;
        }
    }
    if (s->count == s->capacity) {
        if (handle_taken_over(*s)) {
            memory_error(status);
            return;
        }
        // A failed open answers handle 0: the slot keeps "no array" so that a later call opens one.
        int handle = s->handle;
        void* base = nullptr;
        int grown = 0;
        if (handle < 0)
            MM_OPEN_ARRAY(kEntryBytes, kGrowth, handle, base, grown);
        else
            MM_RESIZE_ARRAY(handle, kGrowth, base, grown);
        if (grown != 0) {
            memory_error(status);
            return;
        }
        s->handle = handle;
        s->capacity += kGrowth;
        s->base = base;
    }
    word* e = entry_words(*s, s->count);
    if (!e) {  // the host no longer holds the slot's array
        memory_error(status);
        return;
    }
    write_entry(e, tool_id, data1, name, data2);
    ++s->count;
    if (data1 != 0) ++s->flagged;
    if (long_name(entry_name(e))) ++s->long_names;
    status = 0;
}

void puttol_id(int slot, int tool_id, int& status) { puttol(slot, tool_id, 0, "", 0, status); }

void puttol_named(int slot, int tool_id, int data1, std::string_view name, int& status)
{
    puttol(slot, tool_id, data1, dd_upper(name.substr(0, kToolText)), 0, status);
}

void reltol(int slot, int& status)
{
    status = 0;
    tool_list_slot* s = slot_at(slot);
    if (!s || s->handle < 0) return;
    // A handle that now names another owner's array is left open: only the slot is forgotten.
    if (handle_taken_over(*s))
        status = -1;
    else
        MM_CLOSE(s->handle, status);
    if (status != 0) eroutc("reltol, CLOSE DYNAMIC MEMORY ERROR", 0);
    *s = tool_list_slot{};
}

void toollist_reset(int slot)
{
    if (tool_list_slot* s = slot_at(slot)) {
        s->count = s->flagged = s->long_names = 0;
        s->page = 0;
    }
}

void toollist_forget_all() { module_block<tool_list_slots>().fill(tool_list_slot{}); }

void toollist_count(int slot, int& count)
{
    tool_list_slot* s = slot_at(slot);
    count = s ? s->count : 0;
}

void toollist_entry_id(int slot, int n, int& tool_id, int& status)
{
    status = -5;
    const word* e = listed_entry(slot, n);
    if (!e) return;
    tool_id = e[0];
    status = 0;
}

void toollist_counts(int slot, int& count, int& unflagged)
{
    tool_list_slot* s = slot_at(slot);
    count = s ? s->count : 0;
    unflagged = s ? s->count - s->flagged : 0;
}

void toollist_entry(int slot, int n, std::string& name, int& data1, int& data2, int& status)
{
    status = -5;
    const word* e = listed_entry(slot, n);
    if (!e) return;
    name = entry_name(e);
    data1 = e[1];
    data2 = e[2];
    status = 0;
}

void toollist_find_name(int slot, std::string_view name, int& tool_id, int& status)
{
    tool_id = -1;
    status = 1;
    tool_list_slot* s = slot_at(slot);
    if (!s) return;
    std::string wanted = dd_upper(dd_trimmed(name.substr(0, kToolText)));
    for (int i = 0; i < s->count; ++i) {
        const word* e = entry_words(*s, i);
        if (!e) return;
        if (dd_upper(dd_trimmed(entry_name(e))) == wanted) {
            tool_id = e[0];
            status = 0;
            return;
        }
    }
}

void toollist_layout(int slot, int& columns, int& width)
{
    tool_list_slot* s = slot_at(slot);
    bool wide = s && s->long_names > 0;
    columns = wide ? 3 : 6;
    width = wide ? 23 : 10;
}

void tool_check_allowed(int tool_id, int& status)
{
    status = 1;
    if (tool_id < 1 || tool_id > lastid() || !asexsr(tool_id)) return;
    int entity_class = -1, entity_type = -1, found = 0;
    egclty(tool_id, entity_class, entity_type, found);
    if (found == 0 && entity_class == 20 && tool_class_allowed(entity_type)) status = 0;
}

int new_tool_colour() { return 1; }
int new_holder_colour() { return 1; }

// The menu works on the slot's entries through these.
int toollist_page_of(int slot) { return slot_at(slot) ? slot_at(slot)->page : 0; }
void toollist_set_page(int slot, int page)
{
    if (tool_list_slot* s = slot_at(slot)) s->page = page;
}

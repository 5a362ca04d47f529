// Tool lists: five slots of tools (id, two data words, a 20-character name) from which the user
// picks a tool in a paged menu, filled from the record tables of the allowed classes; and the
// allowed-class flags.
#pragma once

#include <string>
#include <string_view>

inline constexpr int kToolListSlots = 5;  // slots 0..4
inline constexpr int kToolListPage = 60;  // entries on one menu page

void set_allowed_tool_classes(int family_flag, int tool_class);
bool tool_class_allowed(int tool_class);
// Adds the tool, or updates its entry (status 1). Status 0, or -5 when memory is refused.
void puttol(int slot, int tool_id, int data1, std::string_view name, int data2, int& status);
void puttol_id(int slot, int tool_id, int& status);
void puttol_named(int slot, int tool_id, int data1, std::string_view name, int& status);
void reltol(int slot, int& status);
void toollist_reset(int slot);
// Forgets every slot's array without closing it (the host was reset under it).
void toollist_forget_all();
void toollist_count(int slot, int& count);
void toollist_entry_id(int slot, int n, int& tool_id, int& status);
void toollist_counts(int slot, int& count, int& unflagged);
// Entry n's name (20 characters) and data words, for tests and the listings.
void toollist_entry(int slot, int n, std::string& name, int& data1, int& data2, int& status);
void toollist_find_name(int slot, std::string_view name, int& tool_id, int& status);
// The paged menu; status 0 a tool picked (id and name), 1 the name entry, -1 / -2 left, -5 empty.
void toollist_menu(int slot, int mark_flagged, int mark_current, int name_entry, int& tool_id, std::string& name,
                   int& status);
// Columns and width the menu uses for the slot: 6 of 10, or 3 of 23 with a long name.
void toollist_layout(int slot, int& columns, int& width);
void toollist_fill(int slot, int check_flag, int& class_count, int& first_class);
void toollist_from_table(int tool_class, int check_flag, int table_id, int slot, int& status);
void tool_user_records_attach(int tool_class, int slot, int& status);
void tool_check_allowed(int tool_id, int& status);
int new_tool_colour();
int new_holder_colour();

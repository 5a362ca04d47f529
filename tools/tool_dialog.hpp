// The tool dialog, the one form through which a tool is defined, edited, copied, shown or listed;
// the choice of an existing tool for the next machining steps; and CRTOOL, which creates new tools
// and copies of tools through the dialog and stores them.
#pragma once

#include <string>
#include <string_view>

// Dialog modes the module itself uses: 15 a new tool, 10 show the current tool, 11 listing.
inline constexpr int kDialogNewTool = 15, kDialogShow = 10, kDialogListing = 11;

// Runs the form for the current tool (current_tool, tool_shape_records, holder_set), which the
// caller loaded or prepared; the caller stores the tool. used_flag: the tool is used by tool
// paths. Status 0 accepted (or listed, or shown), -1 / -2 left, -5 error.
void tool_dialog(int tool_class, int mode, int used_flag, int& status);

// The symbol item of the dialog: kind 9 the default symbol, 1 an internal master, 2 an external
// one; the master's name (20 characters) and part file (128).
struct symbol_choice {
    int kind = 9;
    std::string name, path;
    int shown_instance = 0;  // a symbol placed for viewing, removed after the next answer
    int shown_master = 0;    // its default master when it was made for viewing only
};
// The item's choice text ("@"-separated entries) and its starting entry.
void symbol_menu_text(const symbol_choice& symbol, int mode, std::string& text, int& starting_entry);
// Carries out entry `entry` of the symbol item for the tool of the class. changed: 1 when the
// form must be built again, 0 when there was nothing to do.
void symbol_menu_action(int tool_class, int mode, int entry, symbol_choice& symbol, int& changed);
// Removes a symbol placed for viewing.
void symbol_view_remove(symbol_choice& symbol);

// Lets the user pick another existing tool of the allowed classes as the current tool (PRM9).
// name: the current tool's name (20 characters). Status 0 (also when the same tool or none was
// chosen), -1 when no class is ready or the new tool cannot be made current, -2 when the choice
// failed without a pick. may_create: the list offers a new tool.
void tool_select_from_list(int may_create, std::string& name, int& status);
// The same with the name as a string of at most 19 characters.
void tool_select_c(int may_create, std::string& name, int& status);
// The tool choice of the tool pages: a tool of list slot `slot` picked by menu (or typed while a
// macro runs), or with may_create a new tool of the class (a class below 1 names the first of the
// allowed classes, a menu asks which when several are). Status 0 with tool_id, -1 or -2 left.
void tool_select_prompt(int slot, int tool_class, int may_create, int& tool_id, int& status);
// A new tool of the class, a copy of tool_id when it is above 0, made current. Status 0 with the
// new id; -2 when the user left the dialog; -1 other failures (tool_id -1); -5 when the new tool
// cannot be made current.
void tool_create(int tool_class, int slot, int& tool_id, int& status);
// Creates tools of the class: operation 2 a new tool (or a copy of entry list_position of the list
// slot when it is above 0), 15 a copy of tool_id (a new tool when it is negative), 7 copies of
// tools picked after "DUPLICATE:" until the user backs out, others one picked copy. Each tool
// made goes into the list slot and counts in list_position and created. Status 0, -2 when the
// user left the dialog, -5 with "CRTOOL, ERRORS IN CREATING TOOLS" or "... COPYING TOOLS".
void CRTOOL(int tool_class, int operation, int version, int slot, int& list_position, int& tool_id, int& created,
            int& status);

// The module reset of the tool code: the current tool and its blocks, the dialog's choices and
// colours, the materials, the tool-list slots (forgotten, not closed) and the holder-use flag.
// Tests call it after resetting the host, so that nothing of one run outlives the host's state.
void tool_module_reset();

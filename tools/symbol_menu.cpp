// The symbol item of the tool dialog: which entries it offers by the symbol kind and the dialog
// mode, and what each entry does (keep, back to the default symbol, pick a master, show the
// default or the current symbol).
#include "tools/current_tool.hpp"
#include "tools/default_symbol.hpp"
#include "tools/master_names.hpp"
#include "tools/symbol_masters.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_records.hpp"
#include "tools/tool_validation.hpp"

#include "host/vantu.hpp"

#include <vector>

namespace {

constexpr int kDefaultKind = 9, kExternalKind = 2;
constexpr float kViewScale = 1.0f;

enum class symbol_action { keep, use_default, internal_master, external_master, show_default, show_current };

struct symbol_entry {
    std::string text;
    symbol_action action;
};

std::string master_text(const symbol_choice& symbol, int mode)
{
    const char* prefix = symbol.kind == kExternalKind && mode != kDialogNewTool ? "EXT.MASTER=" : "INT.MASTER=";
    return prefix + symbol.name.substr(0, 10) + "@";
}

std::vector<symbol_entry> entries_of(const symbol_choice& symbol, int mode, int& starting_entry)
{
    const symbol_entry use_default{"DEFAULT SYMBOL     >@", symbol_action::use_default};
    const symbol_entry internal{"INTERNAL SYMBOL MASTER@", symbol_action::internal_master};
    const symbol_entry external{"EXTERNAL SYMBOL MASTER@", symbol_action::external_master};
    const symbol_entry show_default{"SHOW DEFAULT SYMBOL@", symbol_action::show_default};
    const symbol_entry show_current{"SHOW CURRENT SYMBOL@", symbol_action::show_current};
    const bool shown_only = mode == kDialogShow || mode == kDialogListing;
    if (symbol.kind == kDefaultKind) {
        starting_entry = 1;
        symbol_entry keep = use_default;
        keep.action = symbol_action::keep;
        if (shown_only || mode == 13 || mode == 14) return {keep, show_default};
        if (mode == kDialogNewTool) return {keep, internal, show_default};
        return {keep, internal, external, show_default};
    }
    const symbol_entry master{master_text(symbol, mode), symbol_action::keep};
    if (shown_only) {
        starting_entry = 1;
        return {master, show_default, show_current};
    }
    starting_entry = 2;
    if (mode == kDialogNewTool) return {use_default, master, internal, show_default, show_current};
    return {use_default, master, internal, external, show_default, show_current};
}

void pick_master(bool from_other_part, symbol_choice& symbol, int& changed)
{
    int id = -1, origin = 0, status = 0;
    std::string name, path;
    master_select(from_other_part, id, origin, name, path, status);
    if (status != 0) return;
    tool_block().MSTRID = id;
    symbol.kind = origin;
    symbol.name = name;
    symbol.path = path;
    changed = 1;
}

void show_default(int tool_class, int mode, symbol_choice& symbol)
{
    int status = 0;
    tool_validate(tool_class, status);
    if (status != 0) return;
    int master = tool_block().DMSRID;
    if (mode != kDialogShow) {
        SYTYPE(tool_class, master, status);
        if (status != 0) return;
        symbol.shown_master = master;
    }
    TLDSYM(master, kViewScale, symbol.shown_instance);
}

void show_current(symbol_choice& symbol)
{
    int status = -1;
    symbol_master_check(tool_block().MSTRID, status);
    if (status != 0) {
        userrc("CANNOT SHOW NON DEFAULT SYMBOL");
        return;
    }
    TLDSYM(tool_block().MSTRID, kViewScale, symbol.shown_instance);
}

}  // namespace

void symbol_menu_text(const symbol_choice& symbol, int mode, std::string& text, int& starting_entry)
{
    text.clear();
    for (const symbol_entry& e : entries_of(symbol, mode, starting_entry)) text += e.text;
}

void symbol_menu_action(int tool_class, int mode, int entry, symbol_choice& symbol, int& changed)
{
    changed = 0;
    int start = 1;
    const std::vector<symbol_entry> entries = entries_of(symbol, mode, start);
    if (entry < 1 || entry > static_cast<int>(entries.size())) return;
    switch (entries[static_cast<std::size_t>(entry - 1)].action) {
    case symbol_action::keep: break;
    case symbol_action::use_default:
        symbol.kind = kDefaultKind;
        tool_block().MSTRID = -1;
        symbol.name.assign(kMasterNameLength, ' ');
        symbol.path.assign(kPartFileLength, ' ');
        changed = 1;
        break;
    case symbol_action::internal_master: pick_master(false, symbol, changed); break;
    case symbol_action::external_master: pick_master(true, symbol, changed); break;
    case symbol_action::show_default: show_default(tool_class, mode, symbol); break;
    case symbol_action::show_current: show_current(symbol); break;
    }
}

void symbol_view_remove(symbol_choice& symbol)
{
    int ignored = 0;
    if (symbol.shown_instance > 0) edelet(symbol.shown_instance, ignored);
    symbol.shown_instance = 0;
    // A default symbol made only to be looked at goes with it, slaves and all.
    if (symbol.shown_master > 0) {
        DELSLV(-symbol.shown_master, 0, ignored);
        edelet(symbol.shown_master, ignored);
    }
    symbol.shown_master = 0;
}

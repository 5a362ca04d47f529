// Creating tools: CRTOOL makes new tools and copies of tools through the tool dialog and stores
// them with their holder entity and default symbol; tool_create is the creation a tool choice
// offers. Reads and writes current_tool, tool_shape_records and holder_set.
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/default_symbol.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_texts.hpp"

namespace {

constexpr int kFailed = -5;
constexpr int kNewTool = 2, kCopyGiven = 15, kDuplicate = 7;
constexpr int kSet = 2;
constexpr int kHolderCreate = 3;
constexpr int kNewToolPen = 2;
// Passes of operation 7 before CRTOOL gives up: far beyond a user's copies.
constexpr int kMaxPasses = 1000;

// What one pass made, removed again when the pass fails.
struct made_entities {
    int tool = -1, holder = -1, master = -1;
    void remove() const
    {
        int ignored = 0;
        if (master > 0) {
            DELSLV(-master, 0, ignored);
            edelet(master, ignored);
        }
        if (holder > 0) edelet(holder, ignored);
        if (tool > 0) edelet(tool, ignored);
    }
};

void set_attribute(int id, const char* key, int value)
{
    int status = 0;
    if (id > 0) eattc(id, kSet, key, value, status);
}

// The source of a pass: its id (-1 a new tool); false when the pass ends (status says how).
bool choose_source(int operation, int slot, int list_position, int given, int& source, int& status)
{
    source = -1;
    status = 0;
    if (operation == kNewTool) {
        if (list_position > 0) toollist_entry_id(slot, list_position, source, status);
        return status == 0;
    }
    if (operation == kCopyGiven) {
        source = given;
        return true;
    }
    prmptc("DUPLICATE:");
    std::string name;
    toollist_menu(slot, 0, 0, 0, source, name, status);
    if (status == -1 || status == -2) {
        status = 0;  // the user backed out: the passes end quietly
        return false;
    }
    return status == 0;
}

// One pass: the source read, the dialog, the entities made and stored. Status 0 with the new id,
// -1 / -2 when the user left, -5 on an error (everything made removed again).
void create_one(int tool_class, int operation, int version, int source, int& new_id, int& status)
{
    current_tool& t = tool_block();
    int holder = -1;
    if (source < 0) t.IDTOOL = kNoTool;
    tool_entity_io(kEntityRead, tool_class, source, holder, status);
    if (status != 0) return;
    tool_dialog(tool_class, operation, 0, status);
    if (status != 0) return;
    made_entities made;
    tool_entity_create(tool_class, made.tool, status);
    if (status == 0 && tool_class == kMill) {
        int holder_version = version;
        dbdholdr(kHolderCreate, made.holder, holder_version, tool_holders(), status);
        if (status != 0) made.holder = -1;
    }
    set_attribute(made.tool, "CO", new_tool_colour());
    set_attribute(made.tool, "PE", kNewToolPen);
    set_attribute(made.holder, "CO", new_holder_colour());
    if (status == 0) {
        t.IDTOOL = made.tool;
        SYTYPE(tool_class, made.master, status);
    }
    if (status == 0) {
        t.DMSRID = made.master;
        t.TLVERS = version;
        tool_entity_io(kEntityWrite, tool_class, made.tool, made.holder, status);
    }
    if (status != 0) {
        made.remove();
        t.IDTOOL = kNoTool;
        status = kFailed;
        return;
    }
    new_id = made.tool;
}

}  // namespace

void CRTOOL(int tool_class, int operation, int version, int slot, int& list_position, int& tool_id, int& created,
            int& status)
{
    status = 0;
    const int given = tool_id;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        int source = -1;
        if (!choose_source(operation, slot, list_position, given, source, status)) break;
        int new_id = -1;
        create_one(tool_class, operation, version, source, new_id, status);
        if (status != 0) break;  // an error, or the user left the dialog
        const std::string name = dd_trimmed(tool_block().TLNAME);
        int listed = 0;
        puttol_named(slot, new_id, 0, name, listed);
        ++list_position;
        ++created;
        tool_id = new_id;
        std::string class_name;
        class_name_text(tool_class, class_name);
        usrer6("NOTE: NEW", class_name, "TOOL CREATED:", name);
        if (operation != kDuplicate) break;
    }
    if (status != 0 && status != -1 && status != -2) {
        eroutc(operation == kNewTool || operation == kCopyGiven ? "CRTOOL, ERRORS IN CREATING TOOLS"
                                                                : "CRTOOL, ERRORS IN COPYING TOOLS",
               0);
        status = kFailed;
    }
    if (operation != kCopyGiven) prmptc("");
}

void tool_create(int tool_class, int slot, int& tool_id, int& status)
{
    int on = 1;
    holder_use_flag(2, on);
    int position = 0, unflagged = 0, created = 0;
    toollist_counts(slot, position, unflagged);
    const int version = prgvrs();
    material_list_load();
    std::string kept_text;
    state_text20_field(1, kept_text);
    const std::array<int, kToolClasses> kept_allowed = tool_table_ids().allowed;
    const int previous = tool_block().IDTOOL;
    int id = tool_id;
    int made = 0;
    CRTOOL(tool_class, kCopyGiven, version, slot, position, id, created, made);
    status = 0;
    if (made == 0 && created > 0) {
        tool_id = id;
        SGTOOL(2, id, status);
    } else {
        tool_id = -1;
        status = made == -2 ? -2 : -1;
        if (previous > 0) {
            int reloaded = 0;
            SGTOOL(3, previous, reloaded);
        }
    }
    state_text20_field(2, kept_text);
    tool_table_ids().allowed = kept_allowed;
    if (status != 0 && status != -1 && status != -2) status = kFailed;
}

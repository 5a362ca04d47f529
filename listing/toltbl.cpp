// TOLTBL and toltbl_ent (see the header).
#include "listing/toltbl.hpp"

#include "host/vantu.hpp"
#include "host/vantu_listfile_lines.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/nclist.hpp"
#include "listing/tool_path_names.hpp"
#include "listing/tp_entity_open.hpp"
#include "listing/tp_walk.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_ctx_save.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_records.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kFromEntity = 1, kCurrentList = 2;
constexpr int kMarker = 1;
constexpr int kWriteMode = 2;
constexpr int kParamType = 1, kProcedureType = 12, kToolParam = 100;
constexpr int kProcedureEntry = 1;
constexpr int kMovementClass = 9, kMovementType = 8, kMovementLeadWords = 5;
constexpr int kToHost = 2, kToModule = 1;  // ofmod
constexpr int kSave = 2, kRestore = 1;     // proc_ctx_save
constexpr int kReadTool = 3;               // SGTOOL
constexpr int kMill = 2, kLastListedClass = 10;
constexpr std::size_t kToolNameChars = 20;

void add_tool(int slot, int tool_id)
{
    int status = 0;
    if (tool_id > 0) puttol_id(slot, tool_id, status);
}

// The block at the position: a tool parameter adds its tool; any block is read or skipped
// whole. type answers the block type.
void collect_block(int where, int slot, int& type, int& nc_function, int& status)
{
    int size = 0, block_class = 0;
    tp_block_head_read(where, size, type, block_class, status);
    if (status < 0) return;
    if (type == kParamType) {
        tp_param_block b;
        tpread_param(where, b, status);
        if (status >= 0 && b.prmtyp == kToolParam) add_tool(slot, b.int_value);
        return;
    }
    if (type == kProcedureType && where == kWhereList) {
        int count = 0, value_type = 0;
        word nc = 0;
        TPGETN(kWhereList, kGroupHead, kHeadProcType, count, value_type, &nc, 1, status);
        nc_function = static_cast<int>(nc);
        return;
    }
    if (where == kWhereEntity) TPSKIP(where, size - 1, status);
}

struct collecting : tp_walk_visitor {
    int slot = kToolListingSlot;
    void block(int where, int& type, int& nc_function, int& status) override
    {
        collect_block(where, slot, type, nc_function, status);
    }
    void procedure_end(int) override {}
};

std::string fitted(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

// Titles, labelled lines and tool names start after 13 blanks.
constexpr int kIndent = 13;

// The parameter listing of each tool of the slot that has a class of 0 to 10. The class comes
// from the tool entity itself: reading a drill cycle (class 15) loads the cycle block and leaves
// the current tool's block, and with it the class accessor's answer, at the tool read before.
void list_tools(int slot, int count)
{
    int status = 0;
    for (int n = 1; n <= count; ++n) {
        int tool_id = 0, tool_class = -1;
        toollist_entry_id(slot, n, tool_id, status);
        if (status < 0) continue;
        tool_header header;
        read_tool_entity_header(tool_id, tool_class, header, status);
        if (status != 0 || tool_class < 0 || tool_class > kLastListedClass) continue;
        SGTOOL(kReadTool, tool_id, status);
        if (status != 0) continue;
        int version = 0;
        if (tool_class == kMill && header.holder_id > 0) dbdholdr(1, header.holder_id, version, tool_holders(), status);
        ofmod(kToHost, status);
        tool_dialog(tool_class, kDialogListing, 0, status);
        ofmod(kToModule, status);
    }
}

void write_list(int unit, int slot, int tool_path, int mode, const std::string& file, const tool_path_names& n)
{
    prmptc("W R I T I N G");
    int& line = lst_state().line;
    fltx7c(unit, kIndent, "T O O L   L I S T", line);
    fltx7c(unit, kIndent, std::string(17, '='), line);
    lst_blank(unit);
    filtx8(unit, kIndent, "PART FILE NAME: ", "\"" + file + "\"", line);
    filtx8(unit, kIndent, "MACSYS NAME   : ", "\"" + n.macsys + "\"", line);
    filtx8(unit, kIndent, "TOOL PATH NAME: ", "\"" + n.name + "\"", line);
    lst_blank(unit);
    int status = 0;
    ofmod(kToHost, status);
    if (mode == kFromEntity) {
        toltbl_ent(tool_path, slot, status);
    } else {
        collecting c;
        c.slot = slot;
        tp_walk(c);  // a failure ends the collection, not the listing
    }
    ofmod(kToModule, status);
    int count = 0;
    toollist_count(slot, count);
    filtx8(unit, kIndent, "NUMBER OF TOOLS = ", std::to_string(count), line);
    lst_blank(unit);
    lst_blank(unit);
    fltx7c(unit, kIndent, "TOOL NAMES", line);
    fltx7c(unit, kIndent, "----------", line);
    for (int i = 1; i <= count; ++i) {
        int tool_id = 0;
        toollist_entry_id(slot, i, tool_id, status);
        std::string name;
        tool_get_name(tool_id, name);
        fltx7c(unit, kIndent, fitted(name, kToolNameChars), line);
    }
    for (int i = 0; i < 3; ++i) lst_blank(unit);
    list_tools(slot, count);
    lst_blank(unit);
    lst_blank(unit);
    lst_line(unit, {li_text("END OF TOOL PATH")});
    lst_blank(unit);
}

// Frees the slot on every way out.
struct slot_guard {
    int slot;
    ~slot_guard()
    {
        int status = 0;
        reltol(slot, status);
    }
};

}  // namespace

void toltbl_ent(int tool_path, int slot, int& status)
{
    int count = 0;
    std::vector<int> entries;
    get_tp_info(tool_path, count, status);
    if (status == 0) dbd_tp(tool_path, entries, status);
    if (status != 0) {
        status = kFailed;
        return;
    }
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
        if (entries[i] != kProcedureEntry) continue;
        int motion = -1;
        get_set_movmnt_id(1, entries[i + 1], motion);
        if (motion <= 0) continue;
        int entity_class = 0, entity_type = 0;
        eopen(motion, entity_class, entity_type, status);
        if (status != 0) {
            close_entity();
            eroutc("nclist_ent, PROBLEMS IN OPENNING ENTITY", 0);
            status = kFailed;
            return;
        }
        if (entity_class != kMovementClass || entity_type != kMovementType) {
            close_entity();
            erou1c("nclist_ent, NOT A MOVEMENT ENTITY. id = ", motion);
            status = kFailed;
            return;
        }
        int blocks = 0;
        TPSKIP(kWhereEntity, kMovementLeadWords - 2, status);
        if (status >= 0) tp_get_int(kWhereEntity, blocks, status);
        if (status >= 0) TPSKIP(kWhereEntity, 1, status);
        // Every block takes at least two words or fails, so a wrong count ends at the entity's end.
        for (int b = 0; b < blocks && status >= 0; ++b) {
            int type = 0, nc = 0;
            collect_block(kWhereEntity, slot, type, nc, status);
        }
        close_entity();
    }
    status = 0;
}

void TOLTBL(int tool_path, int mode, int& status)
{
    status = 0;
    toollist_reset(kToolListingSlot);
    slot_guard guard{kToolListingSlot};
    if (mode == kCurrentList) {
        int saved = 0, marked = 0;
        proc_ctx_save(0, kSave, saved);
        lmark(1, kMarker, marked);
        if (saved < 0 || marked <= 0) {
            status = kFailed;
            return;
        }
    }
    const tool_path_names n = tool_path_names_of(tool_path, mode == kFromEntity);
    std::string file;
    if (n.view_kind != kMacsysViewKind) {
        eroutc("NOT IN MACSYS", 0);
    } else if (listing_file_name("TOOLS_LIST", file)) {
        int unit = 0, opened = 0;
        ofgunt(unit);
        aopen(unit, file, kWriteMode, opened);
        if (opened != 0) {
            eroutc("TOLTBL, CANNOT OPEN THE FILE", 0);
            status = kFailed;
        } else {
            write_list(unit, kToolListingSlot, tool_path, mode, file, n);
            ofloff();
            int closed = 0;
            aclose(unit, closed);
            if (closed != 0) {
                eroutc("TOLTBL, CANNOT CLOSE THE FILE", 0);
                status = kFailed;
            } else {
                listing_announce(file);
            }
        }
    }
    if (mode == kCurrentList) {
        int back = 0;
        tp_list_top_mark(kMarker, back);
        proc_ctx_save(0, kRestore, back);
    }
}

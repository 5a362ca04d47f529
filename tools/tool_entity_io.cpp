// Whole tools through the tool library: tool_entity_io reads a tool entity into the current tool
// or writes the current tool into one; master_info answers the names of a tool's symbol master.
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/symbol_masters.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_records.hpp"
#include "tools/tool_tables.hpp"

#include "host/vantu.hpp"

namespace {

constexpr int kFailed = -5;
constexpr int kHolderRead = 1, kHolderWrite = 2, kHolderReset = 4;
constexpr int kDefaultSymbolKind = 9;

// The class's table ids from SYT2, no records yet.
tool_header tables_of(int tool_class)
{
    tool_tables& t = tool_table_ids();
    tool_header h;
    h.table_id = t.table_of(tool_class);
    h.user_table = tool_class == kCycle ? t.table_of(kCycleUserTypeIndex) : t.table_of(tool_class + kUserTypeOffset);
    h.tech_table = tool_class < 11 ? t.table_of(kTechTypeIndex) : -1;
    return h;
}

bool holders_used(int tool_class)
{
    int used = 0;
    holder_use_flag(1, used);
    return tool_class == kMill && used != 0;
}

// The records of `written` that `before` did not have, to be removed after a failed write.
tool_header appended(const tool_header& before, const tool_header& written)
{
    tool_header h = written;
    auto fresh = [](int old, int now) { return old < 1 ? now : -1; };
    h.record_id = fresh(before.record_id, written.record_id);
    h.user_record = fresh(before.user_record, written.user_record);
    for (std::size_t k = 0; k < h.conditions.size(); ++k)
        h.conditions[k] = fresh(before.conditions[k], written.conditions[k]);
    return h;
}

void read_tool(int tool_class, int tool_id, int& holder_id, int& status)
{
    tool_header header = tables_of(tool_class);
    if (tool_id >= 1) {
        int found_class = -1;
        read_tool_entity_header(tool_id, found_class, header, status);
        if (status != 0 || found_class != tool_class) {
            status = kFailed;
            return;
        }
    }
    tool_block().holder_mode = header.holder_mode;
    tool_records_copy(kCopyRead, tool_class, header, status);
    if (status != 0) return;
    holder_id = header.holder_id;
    if (!holders_used(tool_class)) return;
    int version = tool_block().TLVERS;
    const int before = header.holder_id;
    dbdholdr(tool_id < 1 ? kHolderReset : kHolderRead, header.holder_id, version, tool_holders(), status);
    holder_id = header.holder_id;
    // A mill read without a holder entity got one: its header names it from now on.
    if (status == 0 && tool_id >= 1 && header.holder_id != before) tool_header_put(tool_id, header, status);
}

void write_tool(int tool_class, int tool_id, int holder_id, int& status)
{
    tool_header header = tables_of(tool_class);
    if (tool_id >= 1) {
        tool_header stored;
        int found_class = -1, read = 0;
        read_tool_entity_header(tool_id, found_class, stored, read);
        // Records the entity already has are rewritten in place.
        if (read == 0 && found_class == tool_class && stored.table_id == header.table_id) header = stored;
    }
    const tool_header before = header;
    tool_records_copy(kCopyWrite, tool_class, header, status);
    if (status == 0) {
        header.holder_id = holder_id;
        header.holder_mode = tool_block().holder_mode;
        tool_header_put(tool_id, header, status);
    }
    if (status == 0 && holders_used(tool_class)) {
        int version = tool_block().TLVERS, id = holder_id;
        dbdholdr(kHolderWrite, id, version, tool_holders(), status);
    }
    if (status != 0) tool_delete(-1, appended(before, header));
}

}  // namespace

void tool_entity_io(int mode, int tool_class, int tool_id, int& holder_id, int& status)
{
    status = kFailed;
    int ready = 0;
    tool_tables_ensure(tool_class, ready);
    if (ready < 0) return;
    if (mode == kEntityRead)
        read_tool(tool_class, tool_id, holder_id, status);
    else if (mode == kEntityWrite && tool_id >= 1)
        write_tool(tool_class, tool_id, holder_id, status);
    if (status != 0) status = kFailed;
}

void master_info(int& master_id, int& kind, std::string& name, std::string& file_name, int& status)
{
    name.assign(kToolText, ' ');
    file_name.assign(128, ' ');
    status = kFailed;
    if (master_id >= 1) {
        std::string file, master_name;
        int found = -1;
        symbol_master_name(master_id, kind, file, master_name, found);
        if (found == 0) {
            name = dd_upper(master_name);
            name.resize(kToolText, ' ');
            file_name = file;
            file_name.resize(128, ' ');
            status = 0;
            return;
        }
    }
    master_id = -1;
    kind = kDefaultSymbolKind;
}

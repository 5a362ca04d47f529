// Filling a tool list from the record tables of the allowed classes, and giving the tools of a
// class user records when its user record type appears.
#include "tools/data_dictionary.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_tables.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

void toollist_from_table(int tool_class, int check_flag, int table_id, int slot, int& status)
{
    status = 0;
    if (table_id < 1) return;
    bool cycle = tool_class == kCycle;
    int id_field = 0, name_field = 0, records = 0, in_use = 0;
    find_tool_field(table_id, cycle ? "IDCYCL" : "IDTOOL", id_field, status);
    if (status == 0) find_tool_field(table_id, cycle ? "CYNAME" : "TLNAME", name_field, status);
    if (status == 0) tool_record_count(table_id, records, in_use, status);
    if (status != 0) {
        status = kToolNotRead;
        return;
    }
    int blank_named = 0, read = 0;
    for (int r = 1; r <= records && read < in_use; ++r) {
        int id = -1, unused_int = 0, got = 0;
        float unused_real = 0.0f;
        std::string name;
        tool_field_get_put(kCopyRead, table_id, r, id_field, id, unused_real, name, got);
        if (got != 0) continue;  // a free record
        ++read;
        tool_field_get_put(kCopyRead, table_id, r, name_field, unused_int, unused_real, name, got);
        if (dd_trimmed(name).empty()) {
            blank_named = id;
            continue;
        }
        int flag = check_flag && asexsr(id) ? 1 : 0;
        puttol_named(slot, id, flag, name, got);
        if (got < 0) {
            status = got;
            return;
        }
    }
    status = blank_named;
}

void tool_user_records_attach(int tool_class, int slot, int& status)
{
    status = kToolNotRead;
    int user_table = tool_table_ids().table_of(tool_class + kUserTypeOffset);
    int record = -1;
    toolrec_open(kAttachSlot, user_table, -1, status);
    if (status != 0) return;
    int count = 0;
    toollist_count(slot, count);
    for (int n = 1; n <= count; ++n) {
        int id = -1, found = 0, entity_class = -1;
        toollist_entry_id(slot, n, id, found);
        tool_header header;
        read_tool_entity_header(id, entity_class, header, found);
        if (found != 0 || entity_class != tool_class) continue;
        record = -1;
        toolrec_put(kAttachSlot, record, status);
        if (status != 0) return;
        header.user_table = user_table;
        header.user_record = record;
        tool_header_put(id, header, status);
        if (status != 0) return;
    }
    status = 0;
}

void toollist_fill(int slot, int check_flag, int& class_count, int& first_class)
{
    class_count = 0;
    first_class = -1;
    for (int c = 1; c <= kToolClasses; ++c) {
        if (!tool_class_allowed(c)) continue;
        int ensured = 0, status = 0;
        tool_tables_ensure(c, ensured);
        if (ensured < 0) continue;
        ++class_count;
        if (first_class < 0) first_class = c;
        toollist_from_table(c, check_flag, tool_table_ids().table_of(c), slot, status);
        if (status < 0) return;
        if (ensured == 1) {
            tool_user_records_attach(c, slot, status);
            if (status < 0) return;
        }
    }
}

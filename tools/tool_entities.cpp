// Creating, writing and deleting tool entities, a tool's library name, and the lookup of a tool
// name across the tool tables.
#include "tools/tool_entities.hpp"
#include "tools/data_dictionary.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

namespace {
// The tool dialog's name check needs to know which class uses a name: the tool tables are the
// lists that hold every tool of the part.
void find_in_class(int tool_class, const std::string& name, int& tool_id)
{
    tool_id = -1;
    int table = tool_table_ids().table_of(tool_class);
    if (table < 1) return;
    int record = 0;
    tool_record_fields(table, "TLNAME", 4, 0, 0.0f, name, record);
    if (record < 1) return;
    int field = 0, status = 0;
    find_tool_field(table, "IDTOOL", field, status);
    float real = 0.0f;
    std::string text;
    int id = -1;
    if (status == 0) tool_field_get_put(kCopyRead, table, record, field, id, real, text, status);
    if (status == 0) tool_id = id;
}
}  // namespace

void tool_entity_create(int tool_class, int& entity_id, int& status)
{
    int close_status = 0;
    std::array<int, kToolHeaderWords> words;
    words.fill(-1);
    entity_id = -1;
    estore(kToolEntityClass, tool_class, entity_id, status);
    if (status == 0) eputi(kToolHeaderWords, words.data(), status);
    eclose(close_status);
    std::string all_views = "/";
    if (status == 0) evism(2, entity_id, all_views, status);
    if (status != 0) {
        int ignored = 0;
        if (entity_id > 0) edelet(entity_id, ignored);
        entity_id = -1;
        status = kToolNotRead;
    }
}

void tool_header_put(int entity_id, const tool_header& header, int& status)
{
    int entity_class = -1, entity_type = -1, close_status = 0;
    int state = 0, give_back = 0;
    eginfo(state);
    eopen(entity_id, entity_class, entity_type, status);
    std::array<int, kToolHeaderWords> words = header.to_words();
    if (status == 0 && entity_class == kToolEntityClass)
        eputi(kToolHeaderWords, words.data(), status);
    else
        status = kToolNotRead;
    eclose(close_status);
    if (status != 0) status = kToolNotRead;
    if (state == 1) esinfo(give_back);
}

void tool_delete(int entity_id, const tool_header& header)
{
    int status = 0;
    auto delete_record = [&](int table, int record) {
        if (table < 1 || record < 1) return;
        dd_type().table_id = table;
        NGGDE1(status);
        int r = record;
        if (status == 0) NGREM1(kDdDelete, r, status);
    };
    if (entity_id > 0) edelet(entity_id, status);
    delete_record(header.table_id, header.record_id);
    delete_record(header.user_table, header.user_record);
    if (header.tech_table > 0)
        for (int record : header.conditions) delete_record(header.tech_table, record);
}

void tool_library_name(int tool_id, std::string& name, int& status)
{
    name.assign(kToolText, ' ');
    status = -1;
    if (tool_id < 1) return;
    int tool_class = -1;
    tool_header header;
    read_tool_entity_header(tool_id, tool_class, header, status);
    int field = 0;
    if (status == 0) find_tool_field(header.table_id, "TLNAME", field, status);
    int int_value = 0;
    float real_value = 0.0f;
    std::string text;
    if (status == 0)
        tool_field_get_put(kCopyRead, header.table_id, header.record_id, field, int_value, real_value, text, status);
    if (status == 0) name = dd_upper(tool_text(text).substr(0, kToolText - 1)) + ' ';
}

void tool_list_find_name(int list, std::string_view name, int& tool_id, int& found_list)
{
    tool_id = -1;
    found_list = -1;
    std::string wanted = dd_upper(dd_trimmed(name.substr(0, kToolText)));
    if (wanted.empty()) return;
    auto search = [&](int c) {
        find_in_class(c, wanted, tool_id);
        if (tool_id > 0) found_list = c;
        return tool_id > 0;
    };
    if (list >= 1 && list <= kToolClasses && search(list)) return;
    for (int c = 1; c <= kToolClasses; ++c)
        if (c != list && search(c)) return;
    tool_id = -1;
}

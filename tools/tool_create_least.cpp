// A new tool of a class with its default values (least version, see the header).
#include "tools/tool_create_least.hpp"

#include "host/vantu_entity_ext.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_records.hpp"
#include "tools/tool_tables.hpp"

#include <string>

namespace {
constexpr int kReadMode = 3;
}  // namespace

void tool_create(int tool_class, int /*slot*/, int& tool_id, int& status)
{
    tool_id = -1;
    status = kToolNotRead;
    if (tool_class < 1 || tool_class > kToolClasses) return;
    tool_tables_ensure(tool_class, status);
    if (status < 0) return;
    int id = -1;
    tool_entity_create(tool_class, id, status);
    if (status != 0) return;
    tool_header header;
    header.table_id = tool_table_ids().table_of(tool_class);
    header.tech_table = tool_table_ids().table_of(kTechTypeIndex);
    current_tool& t = tool_block();
    t = current_tool{};
    tool_shapes() = tool_shape_records{};
    t.IDTOOL = id;
    t.TLVERS = prgvrs();
    std::string name = tool_class_name(tool_class);
    name.erase(name.find_last_not_of(' ') + 1);
    t.TLNAME = tool_text(name + " " + std::to_string(id));
    t.tool_class = tool_class;
    tool_records_copy(kCopyWrite, tool_class, header, status);
    if (status == 0) tool_header_put(id, header, status);
    // The block now names the new tool; it becomes current only once read back from its records.
    t.IDTOOL = kNoTool;
    if (status == 0) SGTOOL(kReadMode, id, status);
    if (status != 0) {
        // Nothing half-made stays in the part.
        tool_delete(id, header);
        status = kToolNotRead;
        return;
    }
    tool_id = id;
}

// The module reset of the tool code: every block that lives as long as the module goes back to
// its load state, and host handles kept in them are forgotten (the host was reset under them).
#include "tools/current_tool.hpp"
#include "tools/default_symbol.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_pages.hpp"
#include "tools/tool_records.hpp"

void tool_module_reset()
{
    tool_block() = current_tool{};
    tool_shapes() = tool_shape_records{};
    cycle_block() = drill_cycle_record{};
    tool_holders() = holder_set{};
    tool_colours() = tool_colour_cells{};
    tool_materials() = tool_material_list{};
    part_materials() = part_material_lists{};
    conditions_shown() = condition_work{};
    page_choices_reset();
    toollist_forget_all();
    for (int slot : {kUserSlot, kAttachSlot, kMainSlot, kConditionSlot, kCycleUserSlot}) toolrec_slot_clear(slot);
    int off = 0;
    holder_use_flag(2, off);
    tool_table_ids().allowed.fill(0);
    tool_tables_init();
}

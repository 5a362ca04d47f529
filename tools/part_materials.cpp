// The part materials of the tool dialog's part-material item: the material a tool is meant for.
// The lists take the names of the tool material list when they are first needed; the part
// material chosen is kept as the model datum "MTRN".
#include "tools/module_block.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_library.hpp"

#include "host/vantu.hpp"
#include "nc_services/host_helpers.hpp"

namespace {

constexpr int kPartMaterial = 1;
constexpr int kNarrowMenu = 10, kWideMenu = 20;
constexpr int kMaxRounds = 100;

void fill_from_tool_materials(part_material_lists& lists)
{
    const tool_material_list& tool = tool_materials();
    lists.menu_count = lists.name_count = std::min(tool.count, kMaxPartMaterials);
    for (int k = 0; k < lists.name_count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        lists.menu[i] = lists.names[i] = tool.names[i];
    }
    lists.narrow = tool.long_names ? 0 : 1;
}

bool part_material_set(const part_material_lists& lists)
{
    return lists.part_index >= 0 && lists.part_index < lists.name_count;
}

}  // namespace

part_material_lists& part_materials() { return module_block<part_material_lists>(); }

int material_index(int menu_position)
{
    const part_material_lists& lists = part_materials();
    if (menu_position < 1 || menu_position > lists.menu_count) return lists.name_count;
    const std::string& wanted = lists.menu[static_cast<std::size_t>(menu_position - 1)];
    for (int k = 0; k < lists.name_count; ++k)
        if (lists.names[static_cast<std::size_t>(k)] == wanted) return k;
    return lists.name_count;
}

void material_name(int kind, std::string& name)
{
    const part_material_lists& lists = part_materials();
    const int index = std::max(kind == kPartMaterial ? lists.part_index : lists.chosen_index, 0);
    name = index < lists.name_count ? lists.names[static_cast<std::size_t>(index)] : std::string();
    name.resize(kMaterialChars, ' ');
}

void material_choose(int kind)
{
    part_material_lists& lists = part_materials();
    if (lists.name_count == 0) fill_from_tool_materials(lists);
    if (kind == kPartMaterial && part_material_set(lists)) return;
    for (int round = 0; round < kMaxRounds; ++round) {
        prmptc(kind == kPartMaterial ? "MATERIAL FOR PFM:" : "CHOOSE MATERIAL:");
        dminz5(lists.narrow ? kNarrowMenu : kWideMenu);
        for (int k = 0; k < lists.menu_count; ++k) dmdefc(lists.menu[static_cast<std::size_t>(k)]);
        dmshow();
        int item = 0;
        dminpt_single(item);
        if (item == -1 || item == -2) return;
        if (item < 1 || item > lists.menu_count) continue;
        const int index = material_index(item);
        if (kind != kPartMaterial) {
            lists.chosen_index = index;
            return;
        }
        const word picked = item - 1;
        int status = 0;
        mdptnc("MTRN", 1, 1, &picked, status);
        if (status == 0) lists.part_index = index;
        return;
    }
}

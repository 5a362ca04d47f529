// The tool materials: "DEFAULT" and the first words of the lines of "material.tol", and the data
// menu in which the user picks one.
#include "tools/data_file_path.hpp"
#include "tools/dd_state.hpp"
#include "tools/module_block.hpp"
#include "tools/tool_library.hpp"

#include "host/vantu.hpp"
#include "nc_services/host_helpers.hpp"

#include <fstream>
#include <sstream>

namespace {

constexpr std::size_t kShortName = 10;  // names up to this fit the narrow menu
constexpr int kNarrowMenu = 10, kWideMenu = 20;
// Menu rounds before the menu gives up on answers that pick nothing.
constexpr int kMaxRounds = 100;

std::string material_word(const std::string& line)
{
    std::istringstream words(dd_upper(line));
    std::string word;
    words >> word;
    return word;
}

}  // namespace

tool_material_list& tool_materials() { return module_block<tool_material_list>(); }

void material_list_load()
{
    tool_material_list& list = tool_materials();
    list = tool_material_list{};
    list.names[0] = "DEFAULT";
    list.count = 1;
    int length = 0, status = -1;
    std::string path;
    data_file_path(kDataFileFind, "material.tol", length, path, status);
    if (status != 0) return;
    std::ifstream file(path);
    std::string line;
    while (file && list.count < kMaxMaterials && next_data_line(file, line) > 0) {
        const std::string word = material_word(line);
        if (word.empty()) continue;
        // A word longer than an entry is cut to the entry's 20 characters.
        if (word.size() > kShortName) list.long_names = 1;
        list.names[static_cast<std::size_t>(list.count++)] = word.substr(0, kMaterialChars);
    }
}

void material_menu(std::string& name, int& status)
{
    const tool_material_list& list = tool_materials();
    status = -1;
    for (int round = 0; round < kMaxRounds; ++round) {
        prmptc("TOOL MATERIAL:");
        dminz5(list.long_names ? kWideMenu : kNarrowMenu);
        for (int k = 0; k < list.count; ++k) dmdefc(list.names[static_cast<std::size_t>(k)]);
        dmshow();
        int item = 0;
        dminpt_single(item);
        if (item == -1 || item == -2) {
            status = item;
            return;
        }
        if (item >= 1 && item <= list.count) {
            name = list.names[static_cast<std::size_t>(item - 1)];
            name.resize(kMaterialChars, ' ');
            status = 0;
            return;
        }
    }
}

// Control view of the tool instance moves (host/vantu_toolinst.hpp).
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace vantu::control {

struct instance_place {
    int instance = 0;
    std::array<float, 3> origin{};
    std::array<float, 9> matrix{};
    int mode = 0;
};

// Every figmvx in order (trace copies included).
const std::vector<instance_place>& instance_moves();
// Where the tool instance the host holds stands: its last move, else the position words of its
// symbol instance entity; nothing when there is no instance.
std::optional<std::array<float, 3>> tool_instance_position();
// The XOR mode in force (0: off).
int tool_xor_mode();
// Whether the tool is hidden (nc_tool_disp_hide(0) and not shown again since).
bool tool_hidden();

}  // namespace vantu::control

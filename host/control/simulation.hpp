// Control view of the material-removal simulation (host/vantu_simulation.hpp).
#pragma once

#include <string>
#include <vector>

namespace vantu::control {

// One line per simulation call, e.g. "mrm_tpmov 1.0000 2.0000 0.0000 block 3".
const std::vector<std::string>& simulation_lines();

}  // namespace vantu::control

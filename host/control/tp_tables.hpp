// Control view of the loaded procedure tables (host/vantu_tp_tables.hpp).
#pragma once

namespace vantu::control {

// The tool path whose procedure tables update_tp_flags 2 loaded; -1 while the current one's are.
int loaded_tool_path();

}  // namespace vantu::control

// Control view of the host calls behind the NC state blocks (host/vantu_ncstate.hpp), for the
// tests and the runner. The view, the function names and the model origin persist in the part file's "nc_state"
// section.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vantu::control {

// Message-window width when none was set.
inline constexpr int kDefaultMaxColumns = 80;

void set_view_number(int view);
// The name the host's function table holds for NC function code (1 to 100).
void set_nc_function_name(int code, std::string_view name);
// Marks NC function code (1 to 100) as user-defined (gnccod answers 1) or not.
void set_user_nc_function(int code, bool user_defined);
void set_max_columns(int columns);
// Origin of the model frame in world coordinates: mapw2m subtracts it.
void set_model_origin(const std::array<float, 3>& origin);

// What the module last handed over.
int tool_instance();
int work_plane_view();
float display_depth();
// The work-plane words of gswpld.
std::array<int, 2> work_plane_words();
void set_work_plane_words(const std::array<int, 2>& words);
// The last switch given to a symbol item (-1: never set).
int symbol_switch(int item);

}  // namespace vantu::control

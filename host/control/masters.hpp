// Control calls of the master resolution and placement stand-in (host/vantu_masters.hpp): the
// part file name, the external masters the host resolves, the drawing mode and the current
// view. For the runner and the tests only.
#pragma once

#include <array>
#include <string>

namespace vantu::control {

void set_part_file_name(std::string name);
// A master `name` of part file `file` (compared in upper case) resolves to resolved_id (0: the
// unit frame). Views resolve by their 6-character name with an empty file name.
void add_external_master(const std::string& file, const std::string& name, int resolved_id);
void set_2d_mode(bool on);
void set_view_matrix(const std::array<float, 9>& matrix);
// Depth of saved part contexts (0 when every saved context was restored).
int part_context_depth();

}  // namespace vantu::control

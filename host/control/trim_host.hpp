// Control of the host calls the trimming tool uses: the current view's rotation, the surface
// buffers of the procedure and the mode fields (host/vantu_transforms.hpp, vantu_proc_run.hpp,
// vantu_pick_menus.hpp).
#pragma once

#include <string>
#include <vector>

namespace vantu::control {

// Sets the rotation gtvrot answers (9 doubles row by row); false (kept) when it is no rotation.
bool set_view_rotation(const std::vector<double>& rotation);
// Sets the surface ids of the procedure's surface buffer (0 to 2); false for another buffer.
bool set_procedure_surfaces(int buffer, const std::vector<int>& ids);
// What mode field `field` shows ("" when clear or no such field).
std::string mode_field(int field);

}  // namespace vantu::control

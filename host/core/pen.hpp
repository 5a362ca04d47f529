// Where the tool path's pen stands: the last point of ncd_move_to, or of moveto and drawto outside
// the figures the module opened. The display file starts its first block there. Internal to the
// host.
#pragma once

#include <array>
#include <optional>

namespace vantu {

void pen_moved(const float* point);
std::optional<std::array<double, 3>> pen_point();

}  // namespace vantu

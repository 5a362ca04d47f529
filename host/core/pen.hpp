// Where the host's pen stands: the last point of moveto, drawto or ncd_move_to. The display file
// starts each new block there. Internal to the host.
#pragma once

#include <array>
#include <optional>

namespace vantu {

void pen_moved(const float* point);
std::optional<std::array<double, 3>> pen_point();

}  // namespace vantu

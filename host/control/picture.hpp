// The picture of host/control/display.hpp (picture_svg) written straight into a stream: the
// runner writes a long tool path's picture into its file without holding the whole text.
#pragma once

#include "host/control/display.hpp"

#include <cstddef>
#include <iosfwd>
#include <vector>

namespace vantu::control {

void write_picture_svg(std::ostream& out, const std::vector<polyline3>& tool_path, std::size_t level = 0);

}  // namespace vantu::control

// Control view of the main window's text area (host/vantu_textarea.hpp): what a row shows now,
// without trailing blanks. For the tests only.
#pragma once

#include <string>

namespace vantu::control {

std::string text_area_row(int row);

}  // namespace vantu::control

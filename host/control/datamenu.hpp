// Control view of the dynamic menu (host/vantu_datamenu.hpp): its entries, their marks and
// whether it is shown. For the tests only.
#pragma once

#include <string>
#include <vector>

namespace vantu::control {

std::vector<std::string> dynamic_menu_entries();
std::vector<int> dynamic_menu_marks();
bool dynamic_menu_shown();

}  // namespace vantu::control

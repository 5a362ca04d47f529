// Control view of the listing files (host/vantu_listfile.hpp).
#pragma once

#include <string>
#include <vector>

namespace vantu::control {

// The lines written on a unit: while it is open, or those of the file it closed last.
std::vector<std::string> listing_lines(int unit);
// The name of the file last opened on the unit (empty when none was).
std::string listing_file_name(int unit);

}  // namespace vantu::control

// Control view of the text files (host/vantu_textfiles.hpp).
#pragma once

#include <string>

namespace vantu::control {

// The part file's 4-character marker that gtpfmx answers (blank by default).
void set_part_marker(std::string marker);
// Text files left open.
int text_files_open();
// The full path a name given to fileopen or sexist stands for.
std::string text_file_path(const std::string& name);

}  // namespace vantu::control

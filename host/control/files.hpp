// Control of the host's file places (runner options --data and --out).
#pragma once

#include <string>
#include <vector>

namespace vantu::control {

void set_data_directories(std::vector<std::string> directories);
void set_part_directory(std::string directory);
void set_output_directory(std::string directory);

}  // namespace vantu::control

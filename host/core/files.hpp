// Where the host finds its data files and writes its output files: the directories given to the
// runner (--data), the folder of the loaded part, and the output folder (--out). Internal to the
// host; the data-file search and file-name calls answer from here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantu {

const std::vector<std::string>& data_directories();  // searched in order, then the part's folder
const std::string& part_directory();                 // folder of the loaded part, "" when none
const std::string& output_directory();               // "" means the current directory

// The data-file search (host/datafiles.cpp): the first existing file of that name in the data
// directories, then the part's folder; nothing for a name that is empty, longer than 255
// characters or found nowhere.
std::optional<std::string> find_data_file(std::string_view name);

}  // namespace vantu

// Data files of the tool code: the path of a data file through the host's data-file search, and
// a reader of the meaningful lines of a data file.
#pragma once

#include "host/words.hpp"

#include <istream>
#include <string>
#include <string_view>

inline constexpr int kDataFileFind = 1;   // the host's data-file search
inline constexpr int kDataFileBuild = 2;  // the path in the host's data directory
inline constexpr int kDataDirectoryKind = 7;
inline constexpr int kMaxDataPath = 255;

// Path of data file `name`. Mode 1 finds an existing file (status 0); mode 2, or a search that
// itself fails, builds the path in the data directory and checks it. When the status stays -1
// the host shows its message 350/12. Other modes do nothing (status -1).
void data_file_path(int mode, std::string_view name, int& path_length, std::string& path, int& status);
// The same for a name held in 8 words (32 characters, blank-padded); the path is cut at 255.
void data_file_path_words(int mode, const word* name_words, int& path_length, std::string& path, int& status);
// The next line (at most 255 characters, without its end) that is not empty, not blank and does
// not begin with "*"; answers its length, 0 at the end of the file.
int next_data_line(std::istream& file, std::string& line);

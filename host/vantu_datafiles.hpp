// The host's data-file search and file tests. Data files are looked up by name in the directories
// given to the runner (--data), in order, then in the folder of the loaded part.
#pragma once

#include <string>
#include <string_view>

// Finds the data file `name`: path receives the first existing file of that name in the data
// directories, then the part's folder. Status 0 found, -1 not found or a bad name (empty, or
// longer than 255 characters); path untouched on failure.
void get_dat_name(std::string_view name, std::string& path, int& status);
// Builds the path of `name` in the host's data directory of the given kind (the first data
// directory, else the part's folder, else the current directory); the file need not exist.
// Status 0, or -1 for a bad name.
void dat_name(int kind, std::string_view name, std::string& path, int& status);
// Checks that the file exists or can be created in its folder. Status 0, or -1.
void chk_crt(std::string_view path, int& status);
// 1 when path names an existing regular file, else 0.
int fexist(std::string_view path);

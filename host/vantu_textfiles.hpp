// Output file names made from the part file's name, and plain text files opened by name in the
// output folder: the criteria lists and the other text files the procedure framework writes.
// Names without a folder go into the output folder (the runner's --out); the question before an
// existing file is overwritten is a dialog the script answers.
#pragma once

#include <string>
#include <string_view>

// The name without its folder.
void nopath(std::string_view path, std::string& name);
// The part file's 4-character marker (blank-padded; blank when the part has none).
void gtpfmx(std::string& marker);
// An output file name made of the part name (with its marker), the name text and the suffix,
// joined by "_" (blanks at their ends dropped, empty parts left out). Status 0; -1 for an empty
// part name or a name longer than 255 characters.
void makfln(std::string_view part, std::string_view text, std::string_view suffix, std::string& name, int& status);
// The position (1-based) of the last character that is neither blank nor NUL; 0 when none.
int lastnb(std::string_view text);
// The text in the host's file-name case (lower case).
void convcs(std::string& text);
// 1 when a file of that name exists (in the output folder for a name without a folder), else 0.
int sexist(std::string_view name);
// Asks whether the existing file may be overwritten: 1 yes, 0 no, -1 cancel, -2 back.
void inqflw(std::string_view name, int& answer);

// Opens a text file: mode "w" empties it, "a" appends. handle > 0 with status 0; status -1 (no
// handle) for another mode, an empty name or a file that cannot be opened.
void fileopen(std::string_view name, std::string_view mode, int& handle, int& status);
// Appends text as it is (the writer puts its own "\n"). Status 0; -1 for a handle not open.
void fileputs(int handle, std::string_view text, int& status);
// Closes the file. Status 0; -1 for a handle not open.
void fileclose(int handle, int& status);

// Control view of the machine status line (host/vantu_statusline.hpp).
#pragma once

#include "host/words.hpp"

#include <string>
#include <vector>

namespace vantu::control {

// The text shown in a field (1 to 14) of a window's status line: kStatusFieldChars characters,
// blanks before anything was shown.
std::string status_field(int window, int field);
// Whether the field was last shown highlighted.
bool status_field_flag(int window, int field);
// Windows that were painted, ascending.
std::vector<int> status_windows();
// "status line W: |f1|f2|...|f14|" per window.
std::string status_line_text();
// Paint brackets opened so far, and those still open.
int status_paints();
int status_paints_open();
// The host's copy of a block handed over ("NPT1", "DSP8", "DSM4", "PRM9", "TOOL", "RAXN").
std::vector<word> nc_block_copy(const std::string& name);

}  // namespace vantu::control

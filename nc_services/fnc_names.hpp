// Names of the NC functions, 8 characters blank-padded, for listings and the display.
#pragma once

#include <array>
#include <string>

// The name of NC function code; blanks and "FNCNAM, ERROR IN CODE" for an unknown code.
void FNCNAM(int code, std::string& name);

// User names of NC functions 1 to 100 (none until someone fills them).
struct user_function_names {
    std::array<std::string, 101> names{};  // index = code; empty: no entry
};
user_function_names& user_fnc_names();

// FNCNAM when the host's extended flag is set, otherwise the user name (blanks without one).
void get_nc_function_name(int code, std::string& name);
// The same cut at its last non-blank, at most 8 characters.
void get_nc_function_name_c(int code, std::string& name);

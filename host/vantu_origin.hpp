// The host's procedure origin: the common NC arguments its procedure functions work on (handed
// over and taken back around a host call), the repositioning of a procedure, and the test whether
// a change of MACSYS is a pure rotation.
#pragma once

#include "host/words.hpp"

#include <array>

// The common NC arguments, words as they stand in the module's NC state blocks (reals inside
// words); the host reads and may change them, the module takes them back.
struct nc_common_arguments {
    std::array<word, 9> macsys_matrix{};  // the MACSYS matrix, row by row
    std::array<word, 3> home_point{};
    std::array<word, 3> origin{};
    std::array<word, 3> position{};    // the current tool position
    std::array<word, 24> clearance{};  // the clearance height field (value and expression)
    std::array<word, 24> absolute{};   // the absolute height field
    word macsys = 0;                   // the MACSYS (UCS) id of the tool path
    word machine_word = 0;
    word view = 0;
    word depth = 0;

    bool operator==(const nc_common_arguments&) const = default;
};

// Mode 2 hands the arguments to the host; mode 1 answers what the host holds now. Another mode
// changes nothing.
void gs_common_arguments(int mode, nc_common_arguments& args);

// Repositions the current procedure on the common arguments the host holds (mode and flag are
// the host's). Answers the status it sets: 0, or negative when the host refuses.
int repos_proc(int mode, int flag, int& status);

// The host's current-machine call on the common arguments it holds; a and b are the host's.
void curmac(int a, int b);

// Non-zero when the change from MACSYS old_id to MACSYS new_id is a pure rotation: both are
// known, they differ, their origins coincide within the host's tolerance and their matrices do
// not. 0 otherwise (a translation, no change, an unknown MACSYS).
int if_rotate_ucs(int new_id, int old_id);

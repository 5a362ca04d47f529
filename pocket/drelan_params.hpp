// The pocket procedure's parameter block: 468 words, kept as the current block (edited by the
// dialogs, written into the procedure block and saved as module data) and the previous block
// (the copy taken before define, which the parameters-changed test compares against).
// The driver treats both as opaque arrays of the registered length.
#pragma once

#include "host/words.hpp"

inline constexpr int kDrelanParamsLength = 468;

struct drelan_params {
    word words[kDrelanParamsLength];
};

// Module-level blocks that live while the module is loaded; zero until a run fills them.
extern drelan_params drelan_params_current;
extern drelan_params drelan_params_previous;

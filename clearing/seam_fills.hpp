// The entries that the hatch clearing fills, when the module is loaded, in the seam tables of
// lower folders (toolpath/seam_entry.hpp): its steps of the pocket's engine step table. A test
// that replaced them fills them again with this.
#pragma once

#include "pocket/engine_steps.hpp"

void fill_hatch_clearing_steps(pocket_engine_steps& steps);

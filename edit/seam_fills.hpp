// The entries that the editing fills, when the module is loaded, in the seam tables of lower
// folders (pocket_arrays/seam_entry.hpp): the execution menu's editing services. A test that replaced
// entries fills them again with this.
#pragma once

#include "driver/edit_seams.hpp"

void fill_edit_services(edit_services& services);

// The entries that the tools fill, when the module is loaded, in the seam tables of lower folders
// (pocket_arrays/seam_entry.hpp): the current mill's diameter and corner radius that the motion output
// reads and sets. A test that replaced entries fills them again with this.
#pragma once

#include "nc_services/mill_services.hpp"

void fill_mill_services(mill_services& services);

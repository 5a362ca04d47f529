// The entries that the listing fills, when the module is loaded, in the seam tables of lower
// folders (pocket_arrays/seam_entry.hpp): the display services of the motion output and the tools. A
// test that replaced entries fills them again with this.
#pragma once

#include "nc_services/display_services.hpp"

void fill_display_services(display_services& services);

// The entries that the cutter location fills, when the module is loaded, in the seam tables of
// lower folders (pocket_arrays/seam_entry.hpp): the motion output's surface queries. A test that
// replaced them fills them again with this.
#pragma once

#include "toolpath/surface_query_seams.hpp"

void fill_surface_queries(surface_query_seams& table);

// The procedure's surface selections (least version, see the header).
#include "surfaces/surface_selection_least.hpp"

void nc_surf_select_buf(int /*mode*/, int which, int& count, int& status)
{
    count = 0;
    status = which == kSurfacePart || which == kSurfaceCheck ? 0 : -1;
}

void mask_new_surfaces(int /*type*/, int& changed) { changed = 0; }

// The procedure's surface buffers, least version (see the header).
#include "surfaces/surface_select_least.hpp"

surface_select_words& surface_select()
{
    static surface_select_words words;
    return words;
}

void nc_surf_select_buf(int mode, int buffer, int& count, int& status)
{
    status = 0;
    if (buffer < 0 || buffer >= kSurfaceBuffers) {
        status = -1;
        return;
    }
    surface_select_words& s = surface_select();
    s.current = buffer;
    if (mode == kSurfaceCountGet)
        count = s.counts[buffer];
    else
        s.counts[buffer] = count;
}

void mask_new_surfaces(int /*type*/, int& changed) { changed = 0; }

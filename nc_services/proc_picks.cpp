// Rejection of picks and clearing of the procedure's surface selections (see the header).
#include "nc_services/proc_picks.hpp"

#include "host/vantu.hpp"
#include "nc_services/proc_geometry_words_least.hpp"

#include <algorithm>

namespace {
constexpr int kPartSurfaces = 0, kCheckSurfaces = 1;
}

void reject_picks(int keep, int& n)
{
    // The selection list bounds the count: a larger n cannot reject what was never picked.
    const int count = std::min(n, sllen());
    for (int i = 0; i < count; ++i) {
        int status = 0;
        slrjct(status);
    }
    if (keep == 0) n = 0;
}

void clear_proc_surfaces()
{
    slclr();
    proc_geometry_words& g = proc_geometry();
    for (surface_pair& pair : g.surface_pairs) pair = surface_pair{0, -1};
    const auto holds_any = [](const auto& ids) {
        return std::any_of(ids.begin(), ids.end(), [](int id) { return id != 0; });
    };
    if (holds_any(g.selection[kPartSurfaces])) nc_surf_dela(kPartSurfaces);
    if (holds_any(g.selection[kCheckSurfaces])) nc_surf_dela(kCheckSurfaces);
    g.selection[kPartSurfaces].fill(0);
    g.selection[kCheckSurfaces].fill(0);
}

// The run of a loop between two crossings, for the loop removal and the common-loop walk.
#include "pocket_arrays/pokarr_run.hpp"

#include "pocket_arrays/pokarr_convert.hpp"

void pokarr_append_run(const pokarr& a, int e, int n, bool wrap, const double* point, pokarr& loop, int& status)
{
    status = 0;
    if (wrap) {
        if (e < a.count) pokarr_append(a.count - e, a, e, loop, status);
        if (status == 0 && n > 1) pokarr_append(n - 1, a, 1, loop, status);
    } else if (n > e) {
        pokarr_append(n - e, a, e, loop, status);
    }
    if (status != 0) return;
    if (n + 3 < a.count && pk_is_marker(a.x[n])) {
        const double* z = a.z != nullptr ? &a.z[n + 2] : nullptr;
        pokarr_add_arcpart(a.x[n + 2], a.y[n + 2], z, a.x[n + 1], pk_arc_direction(a.y[n + 1]), loop, status);
        if (status != 0) return;
    }
    pokarr_add_pnt(point, loop, status);
}

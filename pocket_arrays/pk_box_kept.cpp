// Box tables kept by lane caches: whole for a lane of many groups, as their rows for a small one.
#include "pocket_arrays/pk_box_kept.hpp"

#include <cstddef>

void pk_box_keep(const pokarr& lane, pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch)
{
    pk_box_table& table = pk_box_made(scratch);
    pokarr_get_boxes(lane, table);
    const int groups = table.groups;
    kept.rows.clear();
    if (groups > kBoxKeptRowsMax) {
        kept.whole = std::move(scratch);
        return;
    }
    kept.whole.reset();
    if (groups <= 0) return;  // no groups: nothing is read
    kept.rows.resize(5 * static_cast<std::size_t>(groups) + 1);
    double* row = kept.rows.data();
    for (int g = 0; g < groups; ++g, row += 4) {
        row[0] = table.xmin[g];
        row[1] = table.ymin[g];
        row[2] = table.xmax[g];
        row[3] = table.ymax[g];
    }
    for (int g = 0; g <= groups; ++g) row[g] = table.first[g];
}

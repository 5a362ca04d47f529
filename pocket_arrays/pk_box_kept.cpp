// Box tables kept by lane caches: whole for a lane of many groups, as their rows for a small one.
#include "pocket_arrays/pk_box_kept.hpp"

#include <cstddef>

namespace {

pk_box_table& made(std::unique_ptr<pk_box_table>& table)
{
    if (table == nullptr) table = std::make_unique_for_overwrite<pk_box_table>();
    return *table;
}

}  // namespace

void pk_box_keep(const pokarr& lane, pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch)
{
    pk_box_table& table = made(scratch);
    pokarr_get_boxes(lane, table);
    const int groups = table.groups;
    kept.rows.clear();
    kept.first.clear();
    if (groups > kBoxKeptRowsMax) {
        kept.whole = std::move(scratch);
        return;
    }
    kept.whole.reset();
    if (groups <= 0) return;  // no groups: nothing is read
    for (int g = 0; g < groups; ++g) {
        kept.rows.insert(kept.rows.end(), {table.xmin[g], table.ymin[g], table.xmax[g], table.ymax[g]});
        kept.first.push_back(table.first[g]);
    }
    kept.first.push_back(table.first[groups]);
}

const pk_box_table& pk_box_lend(const pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch)
{
    if (kept.whole != nullptr) return *kept.whole;
    pk_box_table& table = made(scratch);
    const int groups = static_cast<int>(kept.first.size()) - 1;
    table.groups = groups > 0 ? groups : 0;
    if (groups <= 0) return table;
    for (int g = 0; g < groups; ++g) {
        const double* row = kept.rows.data() + 4 * static_cast<std::size_t>(g);
        table.xmin[g] = row[0];
        table.ymin[g] = row[1];
        table.xmax[g] = row[2];
        table.ymax[g] = row[3];
        table.first[g] = kept.first[static_cast<std::size_t>(g)];
    }
    table.first[groups] = kept.first.back();
    return table;
}

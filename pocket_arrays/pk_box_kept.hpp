// A lane's element box table kept while the lane is searched again and again (the lane reads that
// the move tests of the cutting order cache). A whole table has room for 750 groups, some 27 KB,
// while a small lane such as an island's offset has a handful of groups: such a lane keeps only
// its groups, and copies them into its user's scratch table when it is searched.
#pragma once

#include "pocket_arrays/pk_search.hpp"

#include <memory>
#include <vector>

// Most groups a lane keeps as rows; a lane of more keeps the whole table, searched in place.
inline constexpr int kBoxKeptRowsMax = 8;

struct pk_box_kept {
    std::unique_ptr<pk_box_table> whole;  // a lane of many groups: its table
    // A lane of few groups: xmin, ymin, xmax, ymax of each group, then its group starts
    // first[0 .. groups] (whole numbers, held exactly); empty for a lane without groups.
    std::vector<double> rows;
};

// The boxes of the lane's elements (pokarr_get_boxes), made in the scratch table (made when
// there is none) and kept as rows, or kept whole by taking the scratch table over.
void pk_box_keep(const pokarr& lane, pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch);
// The table, made when there is none (its columns are written before they are read).
inline pk_box_table& pk_box_made(std::unique_ptr<pk_box_table>& table)
{
    if (table == nullptr) table = std::make_unique_for_overwrite<pk_box_table>();
    return *table;
}

// The kept table: the whole one, or the rows copied into the scratch table (made when there is
// none). Inline: a move test lends a kept table for every lane it crosses.
inline const pk_box_table& pk_box_lend(const pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch)
{
    if (kept.whole != nullptr) return *kept.whole;
    pk_box_table& table = pk_box_made(scratch);
    const int groups = static_cast<int>(kept.rows.size() / 5);
    table.groups = groups;
    const double* row = kept.rows.data();
    for (int g = 0; g < groups; ++g, row += 4) {
        table.xmin[g] = row[0];
        table.ymin[g] = row[1];
        table.xmax[g] = row[2];
        table.ymax[g] = row[3];
    }
    for (int g = 0; g <= groups && !kept.rows.empty(); ++g) table.first[g] = static_cast<int>(row[g]);
    return table;
}

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
    std::vector<double> rows;             // a lane of few groups: xmin, ymin, xmax, ymax by group
    std::vector<int> first;               // and its group starts, first[0 .. groups]
};

// The boxes of the lane's elements (pokarr_get_boxes), made in the scratch table (made when
// there is none) and kept as rows, or kept whole by taking the scratch table over.
void pk_box_keep(const pokarr& lane, pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch);
// The kept table: the whole one, or the rows copied into the scratch table (made when there is
// none).
const pk_box_table& pk_box_lend(const pk_box_kept& kept, std::unique_ptr<pk_box_table>& scratch);

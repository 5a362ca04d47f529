// Counts of part and stock contours over the pocket's contour table.
#include "pocket/contour_counts.hpp"

#include "pocket/contour_table.hpp"

#include <algorithm>

namespace {

int count_contours_of(int part_stock)
{
    const contour_table& t = contour_table_block;
    return static_cast<int>(
        std::count(t.part_stock.begin() + 1, t.part_stock.begin() + 1 + contour_count(), part_stock));
}

}  // namespace

int count_contours_type1() { return count_contours_of(kPart); }
int count_contours_type2() { return count_contours_of(kStock); }

// Finiteness of a pocket array: a single number that is not finite, in any column and at any
// place of the four-way summed loop (or its tail), makes the array not finite; extreme finite
// numbers do not.
#include "pocket_arrays/pk_finite.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(PokarrFinite, EveryColumnAndPlace)
{
    constexpr double kBad[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
    constexpr double kExtreme[] = {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::denorm_min(), -0.0};
    for (int count = 1; count <= 9; ++count) {
        std::vector<double> columns[4] = {std::vector<double>(count, 1.0), std::vector<double>(count, 2.0),
                                          std::vector<double>(count, 3.0), std::vector<double>(3 * count, 0.5)};
        for (int i = 0; i < count; ++i) columns[0][i] = kExtreme[i % 4];
        pokarr array;
        array.dimension = 4;
        array.count = count;
        array.x = columns[0].data(), array.y = columns[1].data();
        array.z = columns[2].data(), array.n = columns[3].data();
        EXPECT_TRUE(pokarr_finite(array)) << "count " << count;
        for (int column = 0; column < 4; ++column)
            for (std::size_t at = 0; at < columns[column].size(); ++at)
                for (double bad : kBad) {
                    const double kept = columns[column][at];
                    columns[column][at] = bad;
                    EXPECT_FALSE(pokarr_finite(array)) << "count " << count << " column " << column << " at " << at;
                    columns[column][at] = kept;
                }
        // Columns the array does not have are not read.
        array.z = array.n = nullptr;
        columns[2][0] = kBad[2];
        EXPECT_TRUE(pokarr_finite(array)) << "count " << count;
    }
}

}  // namespace

// The grid switch of the triangle model stays off, and its alternative drop answers only through
// a double: unfilled, a call reports and fails instead of inventing a side.
#include "host/control.hpp"
#include "surfaces/grid_drop_seam.hpp"
#include "surfaces/tri_store_least.hpp"

#include <gtest/gtest.h>

TEST(GridDropSeam, SwitchOffAndTheDropOnlyThroughADouble)
{
    vantu::control::reset();
    EXPECT_EQ(tri_model_grid_switch(), 0);
    const float sample[3] = {1, 2, 3};
    int side = 9, status = 9;
    grid_drop_services fresh;
    fresh.grid_drop_side(sample, side, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(side, 9);
    EXPECT_EQ(vantu::control::texts_of("eroutc"),
              std::vector<std::string>{"grid_drop_services: SEAM ENTRY NOT FILLED"});
    const grid_drop_services saved = grid_drop_service_table();
    grid_drop_service_table().grid_drop_side = [](const float* point, int& answer, int& result) {
        answer = point[2] < 0 ? kGridDropBelow : 2;
        result = 0;
    };
    grid_drop_service_table().grid_drop_side(sample, side, status);
    EXPECT_EQ(side, 2);
    EXPECT_EQ(status, 0);
    grid_drop_service_table() = saved;
}

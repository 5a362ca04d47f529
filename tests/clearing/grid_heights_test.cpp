// Grid heights along a hatch segment: the grid's columns sampled from A to B, the heights
// stamped without a surface, from the alternative grid drop and its gaps, a segment against the
// hatch direction, a segment between two columns and a grid without cell size.
#include "clearing/hatch/clear_block.hpp"
#include "clearing/surface_passes/grid_heights.hpp"
#include "host/control.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "surfaces/grid_drop_seam.hpp"
#include "surfaces/tri_store_least.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The alternative drop: below the part left of x = 5, a sample without result at x = 5.
void scripted_side(const float* point, int& side, int& status)
{
    status = point[0] == 5.0f ? 1 : 0;
    side = point[0] < 5.0f ? kGridDropBelow : 0;
}

class GridHeights : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        proc_geometry_reset();
        clear_block = clear_state{};
        // One row of ten cells of 1, cell 0 centred on x = 0.
        clear_block.cells = cells.data();
        clear_block.columns = 10;
        clear_block.rows = 1;
        clear_block.cell_size[0] = clear_block.cell_size[1] = 1.0f;
        saved_ = grid_drop_service_table();
        grid_drop_service_table().grid_drop_side = scripted_side;
    }
    void TearDown() override
    {
        clear_block = clear_state{};
        tri_store_block.grid_switch = 0;
        grid_drop_service_table() = saved_;
        machining_type() = 0;
        proc_geometry_reset();
    }
    // The first value of each cell after the segment, 7 where none was stamped.
    std::vector<float> stamp(float ax, float bx, float angle, int& status)
    {
        cells.assign(20, 7.0f);
        clear_block.cells = cells.data();
        const float a[3] = {ax, 0.0f, 0.0f}, b[3] = {bx, 0.0f, 0.0f};
        segment_grid_heights(a, b, angle, status);
        std::vector<float> first;
        for (std::size_t i = 0; i < cells.size(); i += 2) first.push_back(cells[i]);
        return first;
    }
    std::vector<float> cells = std::vector<float>(20, 7.0f);
    grid_drop_services saved_;
};

TEST_F(GridHeights, ColumnsFromAToBAreStamped)
{
    constexpr float n = kGridNoSurface, x = 7.0f, lo = kGridLowSide, hi = kGridHighSide;
    struct row {
        const char* name;
        float ax, bx, angle;
        int grid_switch, machining;
        std::vector<float> first;
        int status;
    };
    const std::vector<row> rows = {
        {"no surface under the tool", 1.5f, 4.0f, 0.0f, 0, 0, {x, x, n, n, n, x, x, x, x, x}, 0},
        {"against the hatch: the same columns", 4.0f, 1.5f, 0.0f, 0, 0, {x, x, n, n, n, x, x, x, x, x}, 0},
        {"between two columns: nothing", 2.2f, 2.8f, 0.0f, 0, 0, {x, x, x, x, x, x, x, x, x, x}, 0},
        {"the grid drop's sides", 3.0f, 4.0f, 0.0f, 1, 0, {x, x, x, lo, lo, x, x, x, x, x}, 0},
        {"a gap between stamped samples", 3.0f, 7.0f, 0.0f, 1, 0, {x, x, x, lo, lo, x, hi, hi, x, x}, kGridGap},
        {"no gap under machining type 29", 3.0f, 7.0f, 0.0f, 1, 29, {x, x, x, lo, lo, x, hi, hi, x, x}, 0},
        {"a gap at the end is none", 3.0f, 5.0f, 0.0f, 1, 0, {x, x, x, lo, lo, x, x, x, x, x}, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        tri_store_block.grid_switch = r.grid_switch;
        machining_type() = r.machining;
        set_srf_kind_mask(0x1u);
        int status = -7;
        EXPECT_EQ(stamp(r.ax, r.bx, r.angle, status), r.first);
        EXPECT_EQ(status, r.status);
        unsigned mask = 0;
        get_srf_kind_mask(mask);
        EXPECT_EQ(mask, 0xffffff3fu);
    }
    // A grid without cell size samples nothing.
    clear_block.cell_size[0] = 0.0f;
    int status = -7;
    EXPECT_EQ(stamp(1.0f, 8.0f, 0.0f, status), std::vector<float>(10, x));
    EXPECT_EQ(status, 0);
}

}  // namespace

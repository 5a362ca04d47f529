// The levels package: its guard on every entry point, levels and region slots that grow five at
// a time, reuse of an emptied level, refusals, and the release of everything it holds.
#include "package_test_support.hpp"

#include <functional>

namespace {

class Levels : public PackageTest {
protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        n0_lvls_reset(kLevelsUsable);
    }
    static const n0_level& level0() { return *static_cast<const n0_level*>(mmcptr(n0_lvls_block.levels)); }
    // A plane region of one square.
    static reg_region square_region(float size)
    {
        reg_region r{};
        int status = 0;
        reg_init(kRegionPlane, &r, status);
        const std::vector<float> p = {0, 0, size, 0, size, size, 0, size};
        reg_add_poly(kRegionPlane, p.data(), 4, 0, &r, status);
        return r;
    }
};

}  // namespace

TEST_F(Levels, EveryEntryPointRefusesBeforeInit)
{
    int value = 0;
    float points[8];
    reg_region* region = nullptr;
    const reg_region record{};
    n0_level level{};
    const std::vector<std::pair<const char*, std::function<void(int&)>>> rows = {
        {"n0_lvls_get_cur", [&](int& s) { n0_lvls_get_cur(region, s); }},
        {"n0_lvls_release", [&](int& s) { n0_lvls_release(s); }},
        {"n0_lvls_level_rels", [&](int& s) { n0_lvls_level_rels(level, s); }},
        {"n0_lvls_get_cur_level", [&](int& s) { n0_lvls_get_cur_level(value, s); }},
        {"n0_lvls_next_level", [&](int& s) { n0_lvls_next_level(2, s); }},
        {"n0_lvls_reset_level", [&](int& s) { n0_lvls_reset_level(s); }},
        {"n0_lvls_next_region", [&](int& s) { n0_lvls_next_region(2, s); }},
        {"n0_lvls_add_region", [&](int& s) { n0_lvls_add_region(2, record, s); }},
        {"n0_lvls_get_npbuf", [&](int& s) { n0_lvls_get_npbuf(0, value, s); }},
        {"n0_lvls_get_poly", [&](int& s) { n0_lvls_get_poly(2, 0, points, s); }},
        {"n0_lvls_get_mode", [&](int& s) { n0_lvls_get_mode(value, s); }},
        {"n0_lvls_get_ng", [&](int& s) { n0_lvls_get_ng(value, s); }},
        {"n0_lvls_get_np", [&](int& s) { n0_lvls_get_np(value, s); }},
        {"n0_lvls_get_locs", [&](int& s) { n0_lvls_get_locs(0, value, s); }},
        {"n0_lvls_get_cdir", [&](int& s) { n0_lvls_get_cdir(0, value, s); }},
        {"n0_lvls_get_np", [&](int& s) { n0_lvls_get_all_pts(2, points, s); }},
        {"n0_lvls_set_tmp_sons", [&](int& s) { n0_lvls_get_tmp_sons(0, 0, value, s); }},
        {"n0_lvls_set_tmp_sons", [&](int& s) { n0_lvls_set_tmp_sons(0, 0, 1, s); }},
    };
    n0_lvls_reset(1);
    for (const auto& [name, call] : rows) {
        vantu::control::clear_messages();
        int status = 0;
        call(status);
        EXPECT_EQ(status, -1) << name;
        EXPECT_EQ(errors(), std::vector<std::string>{std::string(name) + ", USING BEFORE INIT"});
    }
    int status = 0;
    n0_lvls_get_mode(value, status);
    EXPECT_EQ(value, kRegionPlane);  // answered even when the call fails
    n0_lvls_reset(kLevelsUsable);
    n0_lvls_get_cur_level(value, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, -1);
}

TEST_F(Levels, SlotsGrowFiveAtATimeAndLevelsAreReused)
{
    int status = -5;
    n0_lvls_next_level(kRegionPlane, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(n0_lvls_block.level_capacity, 5);
    for (int k = 0; k < 5; ++k) n0_lvls_next_region(kRegionPlane, status);
    EXPECT_EQ(level0().region_capacity, 5);
    n0_lvls_next_region(kRegionPlane, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(level0().region_capacity, 10);
    EXPECT_EQ(level0().region_count, 6);
    EXPECT_EQ(level0().current_region, 5);

    // The region put into the current slot answers every question about the current region.
    n0_lvls_add_region(kRegionPlane, square_region(4), status);
    int ng = 0, np = 0, count = 0, location = 9, direction = 0, mode = 0;
    n0_lvls_get_ng(ng, status);
    n0_lvls_get_np(np, status);
    n0_lvls_get_npbuf(0, count, status);
    n0_lvls_get_locs(0, location, status);
    n0_lvls_get_cdir(0, direction, status);
    n0_lvls_get_mode(mode, status);
    EXPECT_EQ((std::vector<int>{ng, np, count, location, direction, mode}), (std::vector<int>{1, 4, 4, 0, 1, 2}));
    float points[8];
    n0_lvls_get_poly(kRegionPlane, 0, points, status);
    EXPECT_EQ(points[4], 4.0f);

    // An emptied level reuses slot 0; putting a region in releases the empty record there.
    n0_lvls_reset_level(status);
    EXPECT_EQ(level0().region_count, 0);
    EXPECT_EQ(level0().current_region, -1);
    n0_lvls_next_region(kRegionPlane, status);
    const int arrays = vantu::control::open_array_count();
    const reg_region fresh = square_region(2);
    n0_lvls_add_region(kRegionPlane, fresh, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_array_count(), arrays);
    reg_region* current = nullptr;
    n0_lvls_get_cur(current, status);
    EXPECT_EQ(current->points, fresh.points);
    EXPECT_EQ(level0().region_capacity, 10);

    // Release gives back every slot and level and leaves the package usable and empty.
    n0_lvls_release(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_array_count(), 0);
    EXPECT_EQ(n0_lvls_block.initialised, 1);
    EXPECT_EQ(n0_lvls_block.levels, -1);
}

TEST_F(Levels, WrongCallsAreRefused)
{
    int status = 0, value = 9;
    float points[8];
    n0_lvls_next_level(kRegionPlane, status);
    struct case_row {
        const char* message;
        std::function<void(int&)> call;
    };
    const std::vector<case_row> rows = {
        {"n0_lvls_get_cur, CURRENT REGION IS WRONG", [&](int& s) { n0_lvls_get_ng(value, s); }},
        {"n0_lvls_next_region, WRONG MODE VALUE", [&](int& s) { n0_lvls_next_region(kRegionSpace, s); }},
        {"n0_lvls_add_region, WRONG MODE VALUE", [&](int& s) { n0_lvls_add_region(kRegionSpace, reg_region{}, s); }},
        {"n0_lvls_get_poly, WRONG MODE VALUE",
         [&](int& s) {
             n0_lvls_next_region(2, s);
             n0_lvls_get_poly(4, 0, points, s);
         }},
        {"region_get_all_pts, WRONG MODE VALUE", [&](int& s) { n0_lvls_get_all_pts(1, points, s); }},
    };
    for (const case_row& r : rows) {
        vantu::control::clear_messages();
        r.call(status);
        EXPECT_EQ(status, -1) << r.message;
        EXPECT_EQ(errors(), std::vector<std::string>{r.message});
    }
    // With no polygon the location is left alone; with one, an index outside is refused.
    n0_lvls_get_locs(0, value, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, 9);
    n0_lvls_add_region(kRegionPlane, square_region(1), status);
    vantu::control::clear_messages();
    n0_lvls_get_locs(1, value, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"n0_lvls_get_locs, WRONG INDEX"});
    // Two levels: the second is current, the first keeps its region.
    n0_lvls_next_level(kRegionSpace, status);
    n0_lvls_get_cur_level(value, status);
    EXPECT_EQ(value, 1);
    n0_lvls_next_region(kRegionSpace, status);
    EXPECT_EQ(status, 0);
}

TEST_F(Levels, SideTablesStayWithoutArraysAndAMissingLevelIsRefused)
{
    n0_lvls_reset(1);  // answers whether or not the package is initialised
    n0_level level{};
    n0_lvls_level_clear(1, level);
    const int arrays = vantu::control::open_array_count();
    int status = -5;
    n0_lvls_adjust_fs(5, &level, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(level.side_tables[0], -1);
    EXPECT_EQ(level.side_tables[1], -1);
    EXPECT_EQ(vantu::control::open_array_count(), arrays);
    n0_lvls_adjust_fs(5, nullptr, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"n0_lvls_adjust_fs, DYNAMIC MEMORY ERROR"});
}

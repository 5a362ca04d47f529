// Entry points: the 700-point limit, drawing failures, reads by index, backing up groups,
// deleting by pick, and the choice of the entry point of a region.
#include "contour_test_support.hpp"

namespace {

class EntryPoints : public ContourTest {
protected:
    static void add(std::vector<std::array<float, 3>> points, int mode, int& status)
    {
        std::vector<float> flat;
        for (const auto& p : points) flat.insert(flat.end(), p.begin(), p.end());
        const std::vector<int> sources(points.size(), -1);
        add_entry_pnts(mode, static_cast<int>(points.size()), flat.data(), sources.data(), status);
    }
    static std::vector<std::array<float, 3>> working_points()
    {
        const entry_pnt_set& w = entry_pnts().working;
        return {w.points.begin(), w.points.begin() + w.count};
    }
};

}  // namespace

TEST_F(EntryPoints, TheLimitAndDrawingFailuresKeepTheCountTrue)
{
    int status = 0;
    add(std::vector<std::array<float, 3>>(kMaxEntryPnts, {1, 2, 0}), 0, status);
    EXPECT_EQ(get_n_entry_pnts(), kMaxEntryPnts);
    add({{3, 4, 0}}, 0, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(get_n_entry_pnts(), kMaxEntryPnts);
    EXPECT_TRUE(has_line("user1c", "NO MORE THAN 700 ENTRY POINTS ARE PERMITTED."));

    del_pnt_symbols(0);
    vantu::control::inject_fault("figopa", 3, 1, -1);
    add({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}, 1, status);
    EXPECT_NE(status, 0);
    // The points drawn before the failure stay, and their group holds just them.
    EXPECT_EQ(get_n_entry_pnts(), 2);
    EXPECT_EQ(entry_pnts().working.group_count, 1);
    EXPECT_EQ(entry_pnts().working.group_sizes[0], 2);
}

TEST_F(EntryPoints, ReadsAndMovesTakeOnlyIndexesOfThePoints)
{
    int status = 0;
    add({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}}, 1, status);
    float point[3] = {-9, -9, -9};
    for (int index : {0, 4}) {
        get_entry_pnt(index, point);
        EXPECT_EQ(point[0], -9.0f) << index;
        delete_entry_pnt(index);
        const float to[3] = {7, 7, 7};
        move_entry_pnt(index, to);
    }
    EXPECT_EQ(get_pnt_source(3), -1);
    EXPECT_EQ(get_pnt_source(2), -1);
    EXPECT_EQ(working_points(), (std::vector<std::array<float, 3>>{{1, 1, 0}, {2, 2, 0}, {3, 3, 0}}));
    get_entry_pnt(3, point);
    EXPECT_EQ(point[0], 3.0f);
}

TEST_F(EntryPoints, BackingUpRemovesWholeGroupsAndDeletingLeavesOneGroup)
{
    int status = 0;
    add({{1, 1, 0}, {2, 2, 0}, {3, 3, 0}}, 1, status);
    add({{4, 4, 0}}, 1, status);
    add({{5, 5, 0}, {6, 6, 0}}, 1, status);
    vantu::control::load_script_text(R"([{"page": 0}, {"point": "back"}, {"point": "back"}, {"point": "cancel"}])",
                                     "back");
    int changed = 0;
    GETPMP(kEntryPoints, 0, changed, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(working_points(), (std::vector<std::array<float, 3>>{{1, 1, 0}, {2, 2, 0}, {3, 3, 0}}));

    vantu::control::load_script_text(R"([{"point": [2, 2.1]}, {"point": "cancel"}, {"question": "yes"}])", "delete");
    pnt_delete_dialog(changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(working_points(), (std::vector<std::array<float, 3>>{{1, 1, 0}, {3, 3, 0}}));
    EXPECT_EQ(entry_pnts().working.group_count, 1);
    // The remaining points form one group: one backup removes them all.
    vantu::control::load_script_text(R"([{"page": 0}, {"point": "back"}, {"point": "cancel"}])", "back again");
    GETPMP(kEntryPoints, 0, changed, status);
    EXPECT_EQ(get_n_entry_pnts(), 0);
    EXPECT_LT(status, 0);
}

TEST_F(EntryPoints, EntryPointOfARegionIsTheNearestInside)
{
    int status = 0;
    n0_lvls_reset(kLevelsUsable);
    n0_lvls_next_level(kRegionPlane, status);
    rectangle_set(1, 0, 0, 100, 100);
    rectangle_set(2, 40, 40, 60, 60);
    const std::vector<int> list = records_of({1, 2});
    region_build(list.data(), 2, 0.01f, status);
    ASSERT_EQ(status, 0);
    const int islands[1] = {2};
    struct row {
        const char* what;
        std::vector<std::array<float, 3>> points;
        int mode;
        int status;
        double x, y;
    } rows[] = {
        {"nearest inside", {{50, 50, 0}, {10, 10, 0}, {90, 90, 0}, {200, 200, 0}}, 1, 0, 90, 90},
        {"first of two at one distance", {{70, 80, 0}, {80, 70, 0}}, 1, 0, 70, 80},
        {"none inside, strict", {{50, 50, 0}, {200, 200, 0}}, 1, -1, 0, 0},
        {"none inside, nearest of all", {{50, 50, 0}, {200, 200, 0}}, 2, 1, 50, 50},
        {"far beyond 3162", {{5000, 5000, 0}}, 2, 1, 5000, 5000},
        {"no points", {}, 2, -1, 0, 0},
    };
    for (const row& r : rows) {
        del_pnt_symbols(0);
        if (!r.points.empty()) add(r.points, 0, status);
        const double reference[2] = {80, 80};
        double result[2] = {0, 0};
        int found = 9;
        get_entry_point_polg(r.mode, 1, 1, islands, reference, result, found);
        EXPECT_EQ(found, r.status) << r.what;
        EXPECT_EQ(result[0], r.x) << r.what;
        EXPECT_EQ(result[1], r.y) << r.what;
    }
    EXPECT_TRUE(has_line("eroutc", "get_entry_point_polg, THERE ARE NO ENTRY POINTS"));
}

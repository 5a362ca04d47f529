// Input preparation: contours of host curves into the contour point array and the engine contour
// tables, arcs kept as records below half a turn, stock and part types, the point limit of one
// curve, and the loading of point contours for other callers.
#include "host/control/curve_sets.hpp"
#include "pocket/contour_box.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_test_support.hpp"

#include <cmath>

namespace {

using vantu::control::curve_in_set;

class Prepare : public PreparedPocketTest {
protected:
    // A closed polygon of lines as curve set `set`.
    static void polygon_set(int set, std::vector<vantu::control::point3> corners, bool reversed = false)
    {
        if (reversed) std::reverse(corners.begin(), corners.end());
        std::vector<curve_in_set> curves;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const auto& a = corners[i];
            const auto& b = corners[(i + 1) % corners.size()];
            const int id = vantu::control::add_line(a, b);
            curves.push_back({id, 0.0, std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
        }
        vantu::control::define_curve_set(set, curves);
    }
    static std::vector<std::string> user_lines() { return vantu::control::lines_of("user1c"); }

    struct contours_of {
        std::vector<int> type, set;
        pocket_contours view() const { return {type.data(), set.data(), static_cast<int>(type.size())}; }
    };
};

TEST_F(Prepare, PocketWithoutIslandsHasOneContour)
{
    polygon_set(1, {{10, 20, 0}, {110, 20, 0}, {110, 70, 0}, {10, 70, 0}});
    const contours_of c{{0, kContourPart}, {0, 1}};
    int status = 0;
    pocket_prepare(1, 0, nullptr, c.view(), status);
    ASSERT_EQ(status, 0);
    const pkcont_tables& t = pkcont_tables_block;
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.first[1], 1);
    EXPECT_EQ(t.first[2], 6);  // start point and four ends: 5 entries
    EXPECT_EQ(t.level[1], kOuterLevel);
    EXPECT_EQ(t.type[1], kContourPart);
    EXPECT_NEAR(pocket_frame_block.origin[0], 10.0, 1e-4);
    EXPECT_NEAR(pocket_frame_block.origin[1], 20.0, 1e-4);
    EXPECT_NEAR(pocket_frame_block.size, 50.0, 1e-3);  // the smaller extent
    double x = 0, y = 0;
    pokmain_get_cpt(2, x, y);  // (110, 70) relative
    EXPECT_NEAR(x, 100.0, 1e-4);
    EXPECT_NEAR(y, 50.0, 1e-4);
    EXPECT_TRUE(user_lines().empty());
}

TEST_F(Prepare, ArcOf270DegreesBecomesThreeQuarterRecords)
{
    const int arc = vantu::control::add_arc({0, 0, 0}, 10.0, 0.0, 270.0);
    const int line = vantu::control::add_line({0, -10, 0}, {10, 0, 0});
    vantu::control::define_curve_set(1, {{arc, 0.0, 1.5 * M_PI, 1.0}, {line, 0.0, std::hypot(10.0, 10.0), 1.0}});
    const int quarter = vantu::control::add_arc({0, 0, 0}, 10.0, 0.0, 90.0);
    const int back = vantu::control::add_line({0, 10, 0}, {10, 0, 0});
    vantu::control::define_curve_set(2, {{quarter, 0.0, 0.5 * M_PI, 1.0}, {back, 0.0, std::hypot(10.0, 10.0), 1.0}});
    const contours_of c{{0, kContourPart, kContourPart}, {0, 1, 2}};
    int status = 0;
    pocket_prepare(1, 0, nullptr, c.view(), status);
    ASSERT_EQ(status, 0);
    const pkcont_tables& t = pkcont_tables_block;
    ASSERT_EQ(t.first[2], 1 + 1 + 12 + 1);
    const double* o = pokmain_block.origin;
    double px = 0, py = 0;
    pokmain_get_cpt(0, px, py);
    for (int record = 0; record < 3; ++record) {
        const int m = 1 + 4 * record;
        double mx, my, r, d, cx, cy, ex, ey;
        pokmain_get_cpt(m, mx, my);
        pokmain_get_cpt(m + 1, r, d);
        pokmain_get_cpt(m + 2, cx, cy);
        pokmain_get_cpt(m + 3, ex, ey);
        EXPECT_EQ(mx, kArcMarker);
        EXPECT_EQ(r, 10.0);
        EXPECT_EQ(d, 1.0);
        EXPECT_NEAR(cx + o[0], 0.0, 1e-9);
        // A quarter turn counter-clockwise each.
        const double a0 = std::atan2(py - cy, px - cx), a1 = std::atan2(ey - cy, ex - cx);
        EXPECT_NEAR(std::remainder(a1 - a0 - M_PI / 2, 2 * M_PI), 0.0, 1e-9) << record;
        px = ex;
        py = ey;
    }
    EXPECT_NEAR(px + o[0], 0.0, 1e-9);
    EXPECT_NEAR(py + o[1], -10.0, 1e-9);

    // A quarter arc stays one record.
    POKREL(1, status);
    pocket_prepare(2, 0, nullptr, c.view(), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(pkcont_tables_block.first[2], 1 + 4 + 1 + 1);
}

TEST_F(Prepare, StockOuterContourBecomesPartUnlessAPartIslandExists)
{
    polygon_set(1, {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}});
    polygon_set(2, {{10, 10, 0}, {20, 10, 0}, {20, 20, 0}});
    polygon_set(3, {{50, 50, 0}, {60, 50, 0}, {60, 60, 0}});
    struct row {
        std::vector<int> islands;
        int outer_type;
        bool warned;
    };
    const contours_of c{{0, kContourStock, kContourStock, kContourPart}, {0, 1, 2, 3}};
    for (const row& r : {row{{}, kContourPart, true}, row{{2}, kContourPart, true}, row{{3}, kContourStock, false},
                         row{{3, 2}, kContourStock, false}}) {
        vantu::control::clear_messages();
        int status = 0;
        POKREL(1, status);
        pocket_prepare(1, static_cast<int>(r.islands.size()), r.islands.data(), c.view(), status);
        ASSERT_EQ(status, 0);
        const pkcont_tables& t = pkcont_tables_block;
        EXPECT_EQ(t.outer_type, r.outer_type) << r.islands.size();
        EXPECT_EQ(t.type[1], r.outer_type);
        if (r.warned) {
            ASSERT_EQ(user_lines().size(), 1u);
            EXPECT_EQ(vantu::control::messages().back().text, "WARNING: TYPE OF OUTER CONTOUR ");
            EXPECT_NE(user_lines()[0].find("WAS CHANGED FROM STOCK TO PART"), std::string::npos);
        } else {
            EXPECT_TRUE(user_lines().empty());
        }
    }
    // Stock islands come first: island list {3, 2} stores contour 2 (stock) as engine contour 2.
    const pkcont_tables& t = pkcont_tables_block;
    EXPECT_EQ(t.type[2], kContourStock);
    EXPECT_EQ(t.type[3], kContourPart);
    EXPECT_EQ(t.level[2], 10001);
    EXPECT_EQ(t.level[3], 10002);
    EXPECT_EQ(t.stock_islands, 1);
    EXPECT_EQ(t.part_islands, 1);
    EXPECT_EQ(t.first[4] - t.first[3], 4);
}

// A circle tilted out of the pocket plane: approximated by points, never kept as arcs.
int tilted_circle(double radius) { return vantu::control::add_circle({0, 0, 0}, radius, {0.6, 0.0, 0.8}); }

TEST_F(Prepare, OneCurveNeedingMoreThan7000PointsIsConvertedWhole)
{
    const int circle = tilted_circle(100.0);
    vantu::control::define_curve_set(1, {{circle, 0.0, 2 * M_PI, 1.0}});
    pocket_work_block.tolerance = 1e-7;
    const contours_of c{{0, kContourPart}, {0, 1}};
    int status = 0;
    pocket_prepare(1, 0, nullptr, c.view(), status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(errors().empty());
    const pkcont_tables& t = pkcont_tables_block;
    EXPECT_GT(t.first[2] - t.first[1], 7001);
    // Every point lies on the tilted circle seen from above: an ellipse of half axes 80 and 100.
    for (int i = t.first[1] - 1; i < t.first[2] - 1; ++i) {
        double x = 0, y = 0;
        pokmain_get_cpt(i, x, y);
        x += pokmain_block.origin[0];
        y += pokmain_block.origin[1];
        ASSERT_NEAR(x * x / 6400.0 + y * y / 10000.0, 1.0, 1e-6) << i;
    }
}

TEST_F(Prepare, MoreThan7000PointsInAllAreAccepted)
{
    vantu::control::define_curve_set(1, {{tilted_circle(100.0), 0.0, 2 * M_PI, 1.0}});
    vantu::control::define_curve_set(2, {{tilted_circle(40.0), 0.0, 2 * M_PI, -1.0}});
    pocket_work_block.tolerance = 2e-5;
    const contours_of c{{0, kContourPart, kContourPart}, {0, 1, 2}};
    const int islands[1] = {2};
    int status = 0;
    pocket_prepare(1, 1, islands, c.view(), status);
    ASSERT_EQ(status, 0);
    const pkcont_tables& t = pkcont_tables_block;
    EXPECT_EQ(t.count, 2);
    EXPECT_GT(t.first[3] - 1, 7000);
    EXPECT_LT(t.first[2] - t.first[1], 7001);
    EXPECT_GE(pokmain_block.contour_capacity, t.first[3] - 1);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Prepare, TooManyIslandsOrBadInputIsRefused)
{
    polygon_set(1, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
    const contours_of c{{0, kContourPart}, {0, 1}};
    std::vector<int> islands(kContourMax, 1);
    int status = 0;
    pocket_prepare(1, kContourMax, islands.data(), c.view(), status);
    EXPECT_EQ(status, -1);
    EXPECT_FALSE(errors().empty());
    pocket_prepare(1, kContourMax - 1, nullptr, c.view(), status);
    EXPECT_EQ(status, -1);
    // An island of another type makes the counts disagree.
    const contours_of odd{{0, kContourPart, 5}, {0, 1, 1}};
    const int one[1] = {2};
    pocket_prepare(1, 1, one, odd.view(), status);
    EXPECT_EQ(status, -1);
    // A missing curve set.
    pocket_prepare(1, 0, nullptr, contours_of{{0, kContourPart}, {0, 9}}.view(), status);
    EXPECT_EQ(status, -1);
}

TEST_F(Prepare, FlatArcTest)
{
    struct row {
        double radius;
        int expected;
    };
    for (const row r : {row{1000.0, 0}, row{999.0, 1}, row{5.0, 1}}) {
        const int arc = vantu::control::add_arc({0, 0, 0}, r.radius, 0.0, 10.0);
        EXPECT_EQ(pkcnv_open_entity(arc, 1.0), r.expected) << r.radius;
    }
    EXPECT_EQ(pkcnv_open_entity(vantu::control::add_line({0, 0, 0}, {1, 0, 0}), 1.0), 1);
}

TEST_F(Prepare, PointContoursOfOtherCallers)
{
    const float outer[8] = {5, 5, 45, 5, 45, 25, 5, 25};
    const float island[6] = {10, 10, 20, 10, 20, 20};
    int status = 0;
    contour_box(1, 4, outer, status);
    contour_box(0, 3, island, status);
    ASSERT_EQ(status, 0);
    const pkcont_tables& t = pkcont_tables_block;
    EXPECT_EQ(t.count, 2);
    EXPECT_EQ(t.first[2], 5);
    EXPECT_EQ(t.first[3], 8);
    EXPECT_EQ(t.level[2], 10001);
    EXPECT_DOUBLE_EQ(pocket_frame_block.size, 20.0);  // the smaller extent
    double x = 0, y = 0;
    pokmain_get_cpt(4, x, y);
    EXPECT_EQ(x, 5.0);
    EXPECT_EQ(y, 5.0);
    contour_box(0, 0, island, status);
    EXPECT_EQ(status, -1);
}

TEST_F(Prepare, ContourTablesTakeTheLargestCountAndRefuseTheNext)
{
    const float point[2] = {1, 2};
    int status = 0;
    contour_box(1, 1, point, status);
    for (int k = 2; k <= kContourMax; ++k) {
        contour_box(0, 1, point, status);
        ASSERT_EQ(status, 0) << k;
    }
    const pkcont_tables& t = pkcont_tables_block;
    EXPECT_EQ(t.count, kContourMax);
    EXPECT_EQ(t.first[kContourMax + 1], kContourMax + 1);
    EXPECT_EQ(t.level[kContourMax], 9999 + kContourMax);
    contour_box(0, 1, point, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(t.count, kContourMax);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "contour_box, TOO MANY CONTOURS");
}

}  // namespace

// Detour lanes put into the cut path of their source: the path goes out round each detour from
// the point they share and back, in the path's order along it, whatever the order of the lanes,
// and the same again when the next path is cut in the room the last one left.
#include "engine_test_support.hpp"

#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/collapse_detours.hpp"
#include "pocket_lanes/engine_codes.hpp"

namespace {

class CollapseDetours : public EngineTest {
protected:
    static void add(int lane_status, int parent, int contour_type, const contour& c)
    {
        pokarr a = make_from(c);
        int status = 0;
        lane_add(lane_status, 1, parent, parent, 0, 1.0, contour_type, a, status);
        pokarr_free(a);
        ASSERT_EQ(status, 0);
    }
};

// A counter-clockwise triangle of width 2 and height 1 standing on the point (x, y) of the
// square's side whose inward normal is (nx, ny).
contour notch(double x, double y, double nx, double ny)
{
    const xy a{x + nx - ny, y + ny + nx}, b{x + nx + ny, y + ny - nx};
    return {{x, y}, b, a, {x, y}};
}

struct detour_row {
    const char* name;
    contour path;                  // the source's path, counter-clockwise
    double length, area;           // of the path alone
    std::vector<contour> detours;  // in the order of the lane table
};

TEST_F(CollapseDetours, EachGoesInOnceWhereItMeetsThePathInThePathsOrder)
{
    const contour square = rectangle(0, 0, 10, 10), round = circle(5, 5, 5), strip = rectangle(0, 0, 40, 10);
    // The strip with its bottom in steps of 2, where detours join at and between its vertices.
    contour fine_strip;
    for (int x = 0; x <= 40; x += 2) fine_strip.push_back({double(x), 0.0});
    fine_strip.insert(fine_strip.end(), {{40, 10}, {0, 10}, {0, 0}});
    const double pi = std::acos(-1.0);
    const std::vector<detour_row> rows{
        {"one on a side", square, 40.0, 100.0, {notch(3, 0, 0, 1)}},
        {"two on one side, the later first", square, 40.0, 100.0, {notch(7, 0, 0, 1), notch(3, 0, 0, 1)}},
        {"on three sides, backwards",
         square,
         40.0,
         100.0,
         {notch(4, 10, 0, -1), notch(10, 5, -1, 0), notch(5, 0, 0, 1)}},
        {"on both arcs of a circle", round, 10.0 * pi, 25.0 * pi, {notch(5, 10, 0, -1), notch(5, 0, 0, 1)}},
        // Enough detours to find the path's elements by their left sides, far along long sides
        // that start well left of them.
        {"many along the long sides",
         strip,
         100.0,
         400.0,
         {notch(35, 10, 0, -1), notch(36, 0, 0, 1), notch(40, 5, -1, 0), notch(2, 0, 0, 1), notch(20, 0, 0, 1),
          notch(25, 10, 0, -1), notch(0, 5, 1, 0), notch(12, 0, 0, 1), notch(6, 10, 0, -1)}},
        {"many, on short steps of one side and on long sides",
         fine_strip,
         100.0,
         400.0,
         {notch(35, 10, 0, -1), notch(37, 0, 0, 1), notch(40, 5, -1, 0), notch(3, 0, 0, 1), notch(21, 0, 0, 1),
          notch(5, 10, 0, -1), notch(0, 5, 1, 0), notch(13, 0, 0, 1), notch(20, 10, 0, -1)}},
    };
    for (const detour_row& row : rows) {
        to_load_state();
        add(1, 0, kContourPart, row.path);
        for (const contour& d : row.detours) add(0, 1, kContourCollapse, d);
        pocket_box_block.first_output_lane = lane_table_block.count + 1;
        collapse_detours_list();
        pokarr path = make_from(row.path);
        int status = -7;
        collapse_detours_cut(1, path, status);
        EXPECT_EQ(status, 0) << row.name;
        // Out and back along no side: the length grows by the detours' perimeters alone, and the
        // cut encloses the square less the notches.
        const double notches = static_cast<double>(row.detours.size());
        double length = 0.0, area = 0.0;
        int direction = 0;
        pokarr_length(2, path, nullptr, length, status);
        pokarr_area_dir(path, area, direction);
        EXPECT_NEAR(length, row.length + notches * (2.0 + 2.0 * std::sqrt(2.0)), 1e-9) << row.name;
        EXPECT_NEAR(area, row.area - notches, 1e-9) << row.name;
        EXPECT_EQ(direction, 1) << row.name;
        // A second path cut in the room the first one left comes out the same.
        pokarr again = make_from(row.path);
        collapse_detours_cut(1, again, status);
        EXPECT_EQ(status, 0) << row.name;
        ASSERT_EQ(again.count, path.count) << row.name;
        for (int i = 0; i < path.count; ++i)
            EXPECT_TRUE(again.x[i] == path.x[i] && again.y[i] == path.y[i]) << row.name << " entry " << i;
        pokarr_free(again);
        pokarr_free(path);
        collapse_detours_clear();
    }
}

// A detour along the path for part of its way round goes out along the rest and back when the rest
// is the shorter, else round whole. The path: a 10 x 10 square dipping in a V from (3, 0) to (7, 0).
TEST_F(CollapseDetours, AlongThePathOnlyTheShorterPartIsCutTwice)
{
    const contour path{{0, 0}, {3, 0}, {5, -2}, {7, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    const double path_length = 36.0 + 4.0 * std::sqrt(2.0), path_area = 104.0;
    contour arc_across{{3, 0}};  // round (5, 6) to (7, 0), across the V above its tip
    push_arc(arc_across, std::sqrt(40.0), 1.0, 5, 6, 7, 0);
    arc_across.insert(arc_across.end(), {{5, -2}, {3, 0}});
    const double arc_length = std::sqrt(40.0) * 2.0 * std::atan(1.0 / 3.0);
    // Each row: the detour, and what it adds to the path's length and area.
    const struct row {
        const char* name;
        contour detour;
        double added, area_change;
    } rows[]{
        {"the V's chord: out and back along it", {{3, 0}, {7, 0}, {5, -2}, {3, 0}}, 8.0, 0.0},
        {"an arc across the V: out and back along the arc", arc_across, 2.0 * arc_length, 0.0},
        {"a notch on the top, along it for 2 only: round it whole",
         {{4, 10}, {6, 10}, {5, 9}, {4, 10}},
         2.0 + 2.0 * std::sqrt(2.0),
         -1.0},
    };
    for (const row& r : rows) {
        to_load_state();
        add(1, 0, kContourPart, path);
        add(0, 1, kContourCollapse, r.detour);
        pocket_box_block.first_output_lane = lane_table_block.count + 1;
        collapse_detours_list();
        pokarr cut = make_from(path);
        int status = -7;
        collapse_detours_cut(1, cut, status);
        EXPECT_EQ(status, 0) << r.name;
        double length = 0.0, area = 0.0;
        int direction = 0;
        pokarr_length(2, cut, nullptr, length, status);
        pokarr_area_dir(cut, area, direction);
        EXPECT_NEAR(length, path_length + r.added, 1e-9) << r.name;
        EXPECT_NEAR(area, path_area + r.area_change, 1e-9) << r.name;
        pokarr_free(cut);
        collapse_detours_clear();
    }
}

}  // namespace

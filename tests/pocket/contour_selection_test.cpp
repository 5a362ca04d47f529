// Contour selection: ranges of the selection list, splitting a picked set, hit tests by box and
// by pick (across a circle's seam), and the part of a lane between two positions.
#include "contour_test_support.hpp"

#include "pocket/contour_selection.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <numbers>

namespace {

class ContourSelection : public ContourTest {};

}  // namespace

TEST_F(ContourSelection, DeletingARangeMovesOnlyTheRangesBehindIt)
{
    const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    const float p[3] = {0.5f, 0, 0};
    int status = 0;
    for (int i = 0; i < 8; ++i) slpsh3(line, p, status);
    // Contours 1 to 4: three ranges and one contour that is not in the list.
    int ranges[10] = {0, -1, 1, 3, 4, 6, 0, -1, 7, 8};
    selection_range_delete(ranges, 4, 3);
    EXPECT_EQ(std::vector<int>(ranges, ranges + 10), (std::vector<int>{0, -1, 1, 3, 4, 6, 0, -1, 7, 8}));
    selection_range_delete(ranges, 4, 2);
    EXPECT_EQ(std::vector<int>(ranges, ranges + 10), (std::vector<int>{0, -1, 1, 3, 0, -1, 0, -1, 4, 5}));
    EXPECT_EQ(sllen(), 5);
}

TEST_F(ContourSelection, PickedSetSplitsIntoSingleContours)
{
    rectangle_set(1, 0, 0, 10, 10);
    circle_set(2, 30, 0, 2);
    std::vector<int> set = records_of({1, 2});
    set.insert(set.begin(), {kSetRecord, 2});
    struct row {
        const char* what;
        std::vector<int> record;
        int allowed, status, number;
        std::vector<int> first_words;  // first words of the records afterwards
    } rows[] = {
        {"two contours", set, 5, 0, 2, {1, 1, 1, 2, 1, 3, 1, 4, 2, 1}},
        {"cut to the room", set, 1, 0, 1, {1, 1, 1, 2, 1, 3, 1, 4}},
        {"one closed contour", records_of({1}), 5, -1, 5, {1, 1, 1, 2, 1, 3, 1, 4}},
    };
    for (row r : rows) {
        int number = r.allowed, status = 0;
        copy_contour_set(r.record.data(), number, status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(number, r.number) << r.what;
        EXPECT_EQ(std::vector<int>(r.record.begin(), r.record.begin() + static_cast<long>(r.first_words.size())),
                  r.first_words)
            << r.what;
    }
}

TEST_F(ContourSelection, BoxAndPickFindTheirContour)
{
    const int line = vantu::control::add_line({0, 0, 0}, {100, 0, 0});
    const int circle = vantu::control::add_arc({0, 50, 0}, 5.0, 90.0, 450.0);
    vantu::control::define_curve_set(1, {{line, 0.0, 100.0, 1.0}});
    vantu::control::define_curve_set(2, {{circle, std::numbers::pi / 2, 2.5 * std::numbers::pi, 1.0}});
    const std::vector<int> straight = records_of({1}), round = records_of({2});
    struct box_row {
        const char* what;
        float box[4];
        int status;
    } boxes[] = {
        {"only the middle of the line", {40, -1, 60, 1}, 0},
        {"its end", {99, -1, 101, 1}, 0},
        {"beside it", {110, -1, 120, 1}, -1},
        {"between two inner points", {51, -1, 54, 1}, -1},
    };
    for (const box_row& b : boxes) {
        int status = 9;
        contour_check_rotated(straight.data(), 1, b.box, status);
        EXPECT_EQ(status, b.status) << b.what;
    }
    const float a = 5.0f * std::numbers::pi_v<float> / 180.0f;
    struct pick_row {
        const char* what;
        float point[3];
        int status;
        double parameter;
    } picks[] = {
        {"just past the seam", {5.0f * std::cos(a), 50.0f + 5.0f * std::sin(a), 0.0f}, 0, 2.0 * std::numbers::pi + a},
        {"at the start", {0.0f, 55.0f, 0.0f}, 0, std::numbers::pi / 2},
        {"off the circle", {5.5f, 50.0f, 0.0f}, -1, 0.0},
    };
    for (const pick_row& p : picks) {
        double parameter = 0.0;
        int status = 9;
        contour_curve_params(round.data(), 1, p.point, parameter, status);
        EXPECT_EQ(status, p.status) << p.what;
        if (status == 0) {
            EXPECT_NEAR(parameter, p.parameter, 1e-3) << p.what;
        }
    }
}

TEST_F(ContourSelection, RegionPolygonOfAContourKnowsItsOrientation)
{
    polygon_set(1, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    polygon_set(2, {{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    struct row {
        int set, direction;
    } rows[] = {{1, -1}, {2, 1}};
    for (const row& r : rows) {
        std::vector<int> record = records_of({r.set});
        int direction = 0, status = 9;
        cont_to_reg(record.data(), direction, status);
        EXPECT_EQ(status, 0) << r.set;
        EXPECT_EQ(direction, r.direction) << r.set;
    }
}

TEST_F(ContourSelection, LanePartGoesRoundWhenItsEndLiesBehindItsStart)
{
    pkdm_rel_all();
    pocket_state_block.pocket_dimension = 2;
    int status = 0;
    POKREL(0, status);
    lane_table_reset();
    int size = 1000;
    PokAllocMainArray(size, 0, status);
    pokarr square;
    pokarr_init(2, square);
    for (const auto& p : std::vector<std::array<double, 2>>{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}) {
        const double q[2] = {p[0], p[1]};
        pokarr_add_pnt(q, square, status);
    }
    lane_add(1, 1, 0, 0, 0, 0.0, 0, square, status);
    EXPECT_EQ(status, 0);
    lane_engine_switches().direction = 1;
    struct row {
        const char* what;
        double end_parameter, end_y;
        double length;
    } rows[] = {
        {"end behind the start on one element", 0.3, 3.0, 36.0},
        {"end ahead of the start", 0.9, 9.0, 2.0},
    };
    for (const row& r : rows) {
        const double start[2] = {10, 7}, end[2] = {10, r.end_y};
        double x[20], y[20];
        int count = 0;
        lane_extract_part(1, 0, 2, 0.7, start, 2, r.end_parameter, end, x, y, 20, count);
        ASSERT_GE(count, 2) << r.what;
        EXPECT_EQ(x[0], 10.0);
        EXPECT_EQ(y[0], 7.0);
        EXPECT_EQ(y[count - 1], r.end_y) << r.what;
        double length = 0.0;
        for (int i = 1; i < count; ++i) length += std::hypot(x[i] - x[i - 1], y[i] - y[i - 1]);
        EXPECT_NEAR(length, r.length, 1e-9) << r.what;
    }
    double x[3], y[3];
    int count = 0;
    const double start[2] = {10, 7}, end[2] = {10, 3};
    lane_extract_part(1, 0, 2, 0.7, start, 2, 0.3, end, x, y, 3, count);
    EXPECT_EQ(count, -1);  // no room for the whole way round
    pokarr_free(square);
    POKREL(1, status);
    pkdm_rel_all();
}

// The hatch frame, the ordinate ranges, the crossings of a hatch line and their pairing, and the
// placement of the lines of a range: worked examples of vertices crossed and touched, nested
// islands, disjoint ranges, lines with more crossings than are kept, and the grid code 54.
#include "clearing_support.hpp"

#include "clearing/hatch/hatch_lines.hpp"
#include "nc_services/proc_geometry_words_least.hpp"

#include <string>

using namespace clearing_test;

namespace {

// The crossings of the line y of the region given in the hatch frame.
struct line_result {
    int count = 0;
    std::vector<float> x;
    std::vector<int> contour, mark;
};

line_result crossings(const std::vector<polygon>& region, float y, int direction)
{
    const std::vector<word> list = contour_list(region);
    auto points = std::make_unique<hatch_points>();
    line_result r;
    NCRLIN(list.data(), static_cast<int>(region.size()), y, direction, r.count, *points);
    pair_hatch_points(r.count, *points);
    for (int i = 0; i < r.count && i < kHatchPointsMost; ++i) {
        r.x.push_back(points->x[i]);
        r.contour.push_back(points->contour[i]);
        r.mark.push_back(points->mark[i]);
    }
    return r;
}

// A comb of `teeth` teeth one unit wide, 10 high, above a base from y = 0 to 1: a line above
// the base crosses every tooth twice.
polygon comb_of(int teeth)
{
    polygon p{{0, 0}, {2.0 * teeth - 1, 0}};
    for (int t = teeth - 1; t >= 0; --t) {
        p.push_back({2.0 * t + 1, 10});
        p.push_back({2.0 * t, 10});
        if (t > 0) {
            p.push_back({2.0 * t, 1});
            p.push_back({2.0 * t - 1, 1});
        }
    }
    return p;
}

}  // namespace

TEST_F(ClearingTest, FrameTurnsBackRangesMergeAndGridModeLowersTheLowEnd)
{
    for (const double t : {0.0, 0.3, 1.5707963, 2.5, -0.7})
        for (const std::array<float, 2> p : {std::array<float, 2>{3.5f, -2.0f}, {0.0f, 0.0f}, {120.25f, 47.5f}}) {
            const float c = static_cast<float>(std::cos(t)), s = static_cast<float>(std::sin(t));
            float xt = 0, yt = 0, x = 0, y = 0;
            hatch_turn(c, s, p[0], p[1], xt, yt);
            hatch_turn(c, -s, xt, yt, x, y);
            EXPECT_NEAR(x, p[0], 1e-4f * (1 + std::fabs(p[0]))) << t;
            EXPECT_NEAR(y, p[1], 1e-4f * (1 + std::fabs(p[1]))) << t;
        }

    float ranges[] = {0, 2, 5, 6, 1, 3};
    int merged = 0;
    merge_ranges(3, ranges, merged);
    ASSERT_EQ(merged, 2);
    EXPECT_EQ((std::vector<float>(ranges, ranges + 4)), (std::vector<float>{0, 3, 5, 6}));

    std::vector<word> list = contour_list({{{0, 0}, {5, 0}, {5, 3}}});
    const float reference[2] = {0.0f, 2.3f};
    float low = 0, high = 0;
    clr_hatch_range(1.0f, 0.0f, 1, 2, reference, 1.0f, list.data(), low, high);
    EXPECT_NEAR(low, -1.2f, 1e-5f);
    EXPECT_FLOAT_EQ(high, 3.0f);
    clr_hatch_range(1.0f, 0.0f, 1, 1, reference, 1.0f, list.data(), low, high);
    EXPECT_FLOAT_EQ(low, 0.0f) << "mode 1 leaves the range as the points give it";
}

TEST_F(ClearingTest, AnAngleSumOfAQuarterTurnGivesLinesAlongY)
{
    engine_params e;
    e.angle = std::numbers::pi / 2;
    ASSERT_EQ(run_engine({rectangle(0, 0, 10, 4)}, e), 0);
    const auto points = clearing_points();
    int along_y = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const float dx = points[i].x - points[i - 1].x, dy = points[i].y - points[i - 1].y;
        if (std::fabs(dy) > 1.0f) {
            EXPECT_NEAR(dx, 0.0f, 1e-4f) << i;
            ++along_y;
        }
    }
    EXPECT_GE(along_y, 10);
}

TEST_F(ClearingTest, CrossingsOfAHatchLine)
{
    const polygon diamond{{0, -2}, {2, 0}, {0, 2}, {-2, 0}};
    const polygon triangle{{0, 0}, {4, 0}, {2, 2}};
    struct row {
        const char* what;
        std::vector<polygon> region;
        float y;
        int direction;
        std::vector<float> x;
        std::vector<int> mark;
    };
    const row rows[] = {
        {"through two vertices where the contour crosses: one crossing each", {diamond}, 0.0f, 1, {-2, 2}, {1, 1}},
        {"a vertex touched from one side: two crossings, one zero-length pair", {triangle}, 2.0f, 1, {2, 2}, {1, 1}},
        {"direction 1 sorts by rising abscissa",
         {rectangle(0, 0, 10, 4), rectangle(20, 0, 30, 4)},
         1.0f,
         1,
         {0, 10, 20, 30},
         {1, 1, 1, 1}},
        {"any other direction by falling abscissa",
         {rectangle(0, 0, 10, 4), rectangle(20, 0, 30, 4)},
         1.0f,
         -1,
         {30, 20, 10, 0},
         {1, 1, 1, 1}},
        {"outer contour +1, a nested island -1",
         {rectangle(0, 0, 40, 20), rectangle(10, 5, 20, 15)},
         10.0f,
         1,
         {0, 10, 20, 40},
         {1, -1, -1, 1}},
        {"an island in an island's hole is outer again",
         {rectangle(0, 0, 60, 60), rectangle(10, 10, 50, 50), rectangle(20, 20, 40, 40)},
         30.0f,
         1,
         {0, 10, 20, 40, 50, 60},
         {1, -1, 1, 1, -1, 1}},
        {"a line missing every contour", {rectangle(0, 0, 10, 4)}, 7.0f, 1, {}, {}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const line_result found = crossings(r.region, r.y, r.direction);
        ASSERT_EQ(found.count, static_cast<int>(r.x.size()));
        for (std::size_t i = 0; i < r.x.size(); ++i) {
            EXPECT_NEAR(found.x[i], r.x[i], 1e-4f) << i;
            EXPECT_EQ(found.mark[i], r.mark[i]) << i;
        }
    }
    EXPECT_EQ(clear_block.first_paired_contour, 1);
}

TEST_F(ClearingTest, TheLastLineStepsDownFromAZeroLengthPair)
{
    const std::vector<word> list = contour_list({{{0, 0}, {4, 0}, {2, 2}}});
    auto points = std::make_unique<hatch_points>();
    int count = 0;
    double y = 2.0;
    ASSERT_EQ(NCR_CRE(list.data(), 1, 0.001, y, 1, *points, count, 1.001), 0);
    EXPECT_NEAR(y, 1.999, 1e-6);
    ASSERT_EQ(count, 2);
    EXPECT_GT(points->x[1] - points->x[0], 1e-3f);

    // Reaching the previous line takes it as it is.
    y = 1.0015;
    ASSERT_EQ(NCR_CRE(list.data(), 1, 0.001, y, 1, *points, count, 1.001), 0);
    EXPECT_LE(y, 1.0015);
    EXPECT_GE(y, 1.001);

    y = 0.0005;
    EXPECT_EQ(NCR_CRE(list.data(), 1, 0.001, y, 1, *points, count, 0.0), -1);
    EXPECT_EQ(motion_test::texts("userrc"), (std::vector<std::string>{"NCR_CRE, HATCH LINE PRECEEDED YMIN!"}));
}

TEST_F(ClearingTest, DisjointRangesEachStartAboveTheirOwnLowEndInOneList)
{
    clear_block.side_step = 1.0f;
    const std::vector<polygon> region{rectangle(0, 0, 10, 2.5), rectangle(0, 10, 10, 12.5)};
    const std::vector<word> list = contour_list(region);
    auto points = std::make_unique<hatch_points>();
    ASSERT_EQ(clr_hatch_lines(1, 0, list.data(), 0.0f, 2.5f, 2, *points), 0);
    ASSERT_EQ(clr_hatch_lines(0, 1, list.data(), 10.0f, 12.5f, 2, *points), 0);
    std::vector<float> ordinates;
    for (const hatch_segment* s = clear_block.segment_head; s != nullptr; s = s->next) {
        EXPECT_EQ(s->y1, s->y2);
        EXPECT_LT(s->x1, s->x2) << "direction 1: towards larger abscissa";
        ordinates.push_back(s->y1);
    }
    const std::vector<float> expected{0.001f, 1.001f, 2.001f, 2.5f, 10.001f, 11.001f, 12.001f, 12.5f};
    ASSERT_EQ(ordinates.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(ordinates[i], expected[i], 1e-4f) << i;

    // A range less than 0.001 high has no first line.
    EXPECT_EQ(clr_hatch_lines(0, 0, list.data(), 0.0f, 0.0005f, 2, *points), -1);
    int status = 0;
    CLSLNS(status);
    EXPECT_EQ(status, 0);
}

TEST_F(ClearingTest, EveryCrossingIsKeptUpToTheBufferThenTheLineFails)
{
    // 1200 teeth: 2400 crossings, beyond the 2000 that once cut the line short.
    {
        const std::vector<word> list = contour_list({comb_of(1200)});
        auto points = std::make_unique<hatch_points>();
        int count = 0;
        double y = 5.0;
        ASSERT_EQ(clr_make_hatch(list.data(), 1, 10.0f, 1, *points, count, y), 0);
        ASSERT_EQ(count, 2400);
        for (int i = 0; i + 1 < count; i += 2) {
            ASSERT_NEAR(points->x[i + 1] - points->x[i], 1.0f, 1e-3f) << "each pair spans one tooth, " << i;
            ASSERT_EQ(points->mark[i], 1);
        }
    }
    const std::vector<word> list = contour_list({comb_of(3600)});
    auto points = std::make_unique<hatch_points>();
    int count = 0;
    double y = 5.0;
    EXPECT_EQ(clr_make_hatch(list.data(), 1, 10.0f, 1, *points, count, y), -1);
    EXPECT_EQ(errors(), (std::vector<std::string>{kHatchBufferMessage}));
}

TEST_F(ClearingTest, GridCodeLinesKeepToTheSideStepAndGiveUpOnOddLines)
{
    vantu::control::set_flag("nc_sub_code", 54);
    clear_block.side_step = 1.0f;
    auto points = std::make_unique<hatch_points>();
    int count = 0;
    {
        // An empty stretch is passed by side steps: the line found lies on the grid.
        const std::vector<word> list = contour_list({rectangle(0, 2.5, 10, 8)});
        double y = 0.0;
        ASSERT_EQ(clr_make_hatch(list.data(), 1, 8.0f, 1, *points, count, y), 0);
        EXPECT_NEAR(y, 3.0, 1e-9);
        EXPECT_EQ(count, 2);
    }
    // An L-shape whose step lies on the line y = 3: its horizontal edge is passed over, and the
    // two sides meeting it count apart, three crossings in all.
    const std::vector<word> list = contour_list({{{0, 0}, {10, 0}, {10, 8}, {4, 8}, {4, 3}, {0, 3}}});
    const float kept_tolerance = proc_geometry().curve_approx.tolerance;
    proc_geometry().curve_approx.tolerance = 0.01f;
    double y = 3.0;
    ASSERT_EQ(clr_make_hatch(list.data(), 1, 8.0f, 1, *points, count, y), 0);
    EXPECT_EQ(y, 3.0) << "odd lines do not move the grid ordinate";
    ASSERT_EQ(count, 2);
    EXPECT_FLOAT_EQ(points->y[0], 3.0f) << "the line found 0.001 higher is put back on the grid";

    proc_geometry().curve_approx.tolerance = 0.0004f;
    EXPECT_EQ(clr_make_hatch(list.data(), 1, 8.0f, 1, *points, count, y), -1);
    proc_geometry().curve_approx.tolerance = kept_tolerance;
    EXPECT_EQ(errors(), (std::vector<std::string>{"[clr_make_hatch] TOO MANY ODD POINTS MISSED"}));
}

TEST_F(ClearingTest, ArrowsLinesSkipHorizontalEdgesAndStopAtTheirBuffer)
{
    const std::vector<word> list = contour_list({comb_of(1100)});
    auto points = std::make_unique<hatch_points>();
    int count = 0, status = -5;
    CLRLIN(list.data(), 1, 5.0f, 1, *points, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, kArrowPointsMost);
    EXPECT_EQ(errors(), (std::vector<std::string>{"CLRLIN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH"}));

    // The top edge of a rectangle lies on the line: only its sides cross it.
    const std::vector<word> box = contour_list({rectangle(0, 0, 10, 4)});
    CLRLIN(box.data(), 1, 4.0f, 1, *points, count, status);
    ASSERT_EQ(count, 2);
    EXPECT_FLOAT_EQ(points->x[0], 0.0f);
    EXPECT_FLOAT_EQ(points->x[1], 10.0f);
}

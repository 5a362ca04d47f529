// Region hatching: the end-point test with and without the strict flag, an edge on the line, the
// parity of a segment ending inside a second-set polygon, the walk round the outer of two nested
// polygons, mode 6 against the gouge tests, a full crossing table, the surface check of NC
// functions 34 and 38, the arrays kept between calls, and a segment without length.
#include "pocket_lanes/lane_test_support.hpp"

#include "clearing/hatch/hatch_region.hpp"
#include "host/vantu.hpp"

#include <cmath>
#include <vector>

namespace {

class HatchRegion : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        pocket_state_block.direction_sign = 1;
    }
    void TearDown() override
    {
        int status = 0;
        xy_output_close(output, status);
        hatch_work_close(status);
        LaneTest::TearDown();
    }
    xy_output output;
};

// Counter-clockwise rectangle.
std::vector<float> box(float x0, float y0, float x1, float y1) { return {x0, y0, x1, y0, x1, y1, x0, y1}; }
// Clockwise rectangle.
std::vector<float> box_cw(float x0, float y0, float x1, float y1) { return {x0, y0, x0, y1, x1, y1, x1, y0}; }

std::vector<word> packed(const std::vector<std::vector<float>>& polygons)
{
    std::vector<word> out;
    for (const auto& p : polygons) {
        out.push_back(static_cast<word>(p.size() / 2));
        for (float v : p) out.push_back(real_to_word(v));
    }
    return out;
}

struct hatch_result {
    int count = 0, gouge = 0, status = 0;
    std::vector<double> points;
};

hatch_result hatch(int mode, const std::vector<std::vector<float>>& second,
                   const std::vector<std::vector<float>>& first, double x1, double y1, double x2, double y2,
                   xy_output& output)
{
    const std::vector<word> s = packed(second), f = packed(first);
    const double p1[3] = {x1, y1, 0.0}, p2[3] = {x2, y2, 0.0};
    hatch_result r;
    r.count = r.gouge = r.status = -7;
    hatch_region(mode, s.empty() ? nullptr : s.data(), static_cast<int>(second.size()), f.empty() ? nullptr : f.data(),
                 static_cast<int>(first.size()), p1, p2, r.count, output, r.gouge, r.status);
    const double* data = xy_output_data(output);
    for (int i = 0; r.status == 0 && i < 2 * r.count; ++i) r.points.push_back(data[output.used + i]);
    return r;
}

const std::vector<float> kRegion = box(0, 0, 100, 100);

}  // namespace

TEST_F(HatchRegion, EndPointOutsideTheRegion)
{
    struct row {
        int mode, strict;
        int count, gouge, status;
    } rows[] = {
        {kHatchGougeTest, 0, 0, 1, 0},
        {kHatchGougeTest, 1, 0, 1, kHatchRefused},
        {kHatchPoints, 1, 0, 1, kHatchRefused},
    };
    for (const row& r : rows) {
        pocket_state_block.strict_gouge = r.strict;
        const hatch_result h = hatch(r.mode, {kRegion}, {}, -10, 50, 50, 50, output);
        EXPECT_EQ(h.count, r.count) << r.mode << " " << r.strict;
        EXPECT_EQ(h.gouge, r.gouge) << r.mode << " " << r.strict;
        EXPECT_EQ(h.status, r.status) << r.mode << " " << r.strict;
    }
}

TEST_F(HatchRegion, CrossingPointsOfTheFirstSet)
{
    // A two-point polygon lying on the line is one crossing at its middle; a square crossed
    // twice; nothing crossed leaves the output alone.
    struct row {
        std::vector<std::vector<float>> first;
        std::vector<double> want;
    } rows[] = {
        {{{20, 50, 40, 50}}, {30, 50}},
        {{box(20, 40, 40, 60)}, {20, 50, 40, 50}},
        {{box(20, 60, 40, 80)}, {}},
    };
    for (const row& r : rows) {
        output.used = 0;
        const hatch_result h = hatch(kHatchCrossings, {}, r.first, 10, 50, 90, 50, output);
        EXPECT_EQ(h.status, 0);
        EXPECT_EQ(h.gouge, 0);
        ASSERT_EQ(h.points.size(), r.want.size());
        for (std::size_t i = 0; i < r.want.size(); ++i) EXPECT_NEAR(h.points[i], r.want[i], 1e-4);
    }
}

TEST_F(HatchRegion, SegmentEndingInsideASecondSetPolygonIsFlagged)
{
    // Region: an outline, a clockwise island and a counter-clockwise region inside it; the first
    // set straddles the island's edge. The segment ends in the inner region: the island is
    // crossed once.
    const hatch_result h = hatch(kHatchPoints, {kRegion, box_cw(40, 30, 80, 70), box(60, 45, 70, 55)},
                                 {box(30, 40, 50, 60)}, 10, 50, 65, 50, output);
    EXPECT_EQ(h.gouge, 1);
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.count, 0);
}

TEST_F(HatchRegion, OnlyTheOuterOfTwoNestedPolygonsIsWalkedRound)
{
    const hatch_result h =
        hatch(kHatchPoints, {kRegion}, {box(20, 20, 40, 40), box(25, 25, 35, 35)}, 10, 30, 50, 30, output);
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.gouge, 0);
    const std::vector<double> want = {20, 30, 20, 20, 40, 20, 40, 30};
    ASSERT_EQ(h.points.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(h.points[i], want[i], 1e-4);
}

TEST_F(HatchRegion, GougeBetweenTwoSecondSetPolygons)
{
    // An island of the region holding two small regions side by side: the segment runs through
    // both, and the span between them lies in the island, where the tool must not go.
    const std::vector<std::vector<float>> two_outlines = {kRegion, box_cw(30, 30, 70, 70), box(35, 45, 45, 55),
                                                          box(55, 45, 65, 55)};
    struct row {
        int code;
        int gouge;
    } rows[] = {{0, 1}, {34, 0}, {38, 0}};
    for (const row& r : rows) {
        vantu::control::set_flag("nc_sub_code", r.code);
        const hatch_result h = hatch(kHatchGougeTest, two_outlines, {}, 10, 50, 90, 50, output);
        EXPECT_EQ(h.gouge, r.gouge) << r.code;  // the surfaces (none here) replace the plane test
        EXPECT_EQ(h.status, 0) << r.code;
    }
}

TEST_F(HatchRegion, FullCrossingTable)
{
    // 1,100 thin polygons crossed twice each: 2,200 crossings.
    std::vector<std::vector<float>> many;
    for (int k = 0; k < 1100; ++k) many.push_back(box(1.0f + 0.08f * k, 40, 1.04f + 0.08f * k, 60));
    hatch_result h = hatch(kHatchCrossings, {}, many, 0.5, 50, 99.5, 50, output);
    EXPECT_EQ(h.gouge, 0);  // mode 6 keeps its first 2,000
    EXPECT_EQ(h.count, kHatchCrossingsMax);
    output.used = 0;
    h = hatch(kHatchCrossingsTested, {}, many, 0.5, 50, 99.5, 50, output);
    EXPECT_EQ(h.gouge, 1);
    pocket_state_block.strict_gouge = 1;
    h = hatch(kHatchGougeTest, {kRegion}, many, 0.5, 50, 99.5, 50, output);
    EXPECT_EQ(h.gouge, 1);
    EXPECT_EQ(h.status, kHatchRefused);
    // A second set of more than 2,000 polygons cannot be numbered: a full table as well.
    pocket_state_block.strict_gouge = 0;
    std::vector<std::vector<float>> region(2001, box(0, 0, 100, 100));
    h = hatch(kHatchGougeTest, region, {}, 10, 50, 20, 50, output);
    EXPECT_EQ(h.gouge, 1);
}

TEST_F(HatchRegion, LaterCallsOpenAndGrowNothing)
{
    hatch(kHatchPoints, {kRegion}, {box(20, 20, 40, 40)}, 10, 30, 50, 30, output);
    const long opened = vantu::control::call_count("MM_OPEN_ARRAY");
    const long grown = vantu::control::call_count("MM_RESIZE_ARRAY");
    for (int k = 0; k < 3; ++k) {
        output.used = 0;
        hatch(kHatchPoints, {kRegion}, {box(20, 20, 40, 40)}, 10, 30, 50, 30, output);
    }
    EXPECT_EQ(vantu::control::call_count("MM_OPEN_ARRAY"), opened);
    EXPECT_EQ(vantu::control::call_count("MM_RESIZE_ARRAY"), grown);
}

TEST_F(HatchRegion, SegmentWithoutLength)
{
    const hatch_result h = hatch(kHatchCrossings, {}, {box(20, 20, 40, 40)}, 30, 30, 30, 30, output);
    EXPECT_EQ(h.status, -1);
    EXPECT_EQ(h.count, 0);
}

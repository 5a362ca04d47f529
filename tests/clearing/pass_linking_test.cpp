// The clearing engine over a corpus of regions, judged independently: every cut stays inside the
// region, every stretch of every hatch line inside it is cut, the lines lie a side step apart
// from 0.001 above the region's lowest ordinate to 0.001 below its highest; and the walks'
// own rules (pass starts, contour walks).
#include "clearing_support.hpp"

#include "clearing/hatch/pass_linking.hpp"

#include <string>

using namespace clearing_test;

namespace {

polygon comb()
{
    polygon p{{0, 0}, {50, 0}, {50, 30}};
    for (double x = 45; x > 10; x -= 10) {
        p.push_back({x, 30});
        p.push_back({x, 8});
        p.push_back({x - 5, 8});
        p.push_back({x - 5, 30});
    }
    return p;
}

struct named_region {
    const char* name;
    std::vector<polygon> region;
};

const std::vector<named_region>& corpus()
{
    static const std::vector<named_region> shapes = {
        {"rectangle", {rectangle(0, 0, 40, 25)}},
        {"rectangle with a round island", {rectangle(0, 0, 80, 50), circle(40, 25, 10)}},
        {"L-shape", {{{0, 0}, {40, 0}, {40, 15}, {15, 15}, {15, 40}, {0, 40}}}},
        {"two pieces with disjoint ranges", {rectangle(0, 0, 30, 10), rectangle(0, 30, 30, 40)}},
        {"two islands", {rectangle(0, 0, 60, 30), circle(15, 15, 6), circle(45, 15, 6)}},
        {"comb: many crossings per line", {comb()}},
        {"a piece inside an island's hole",
         {rectangle(0, 0, 60, 60), rectangle(10, 10, 50, 50), rectangle(20, 20, 40, 40)}},
        {"island touching nothing, thin outer", {rectangle(0, 0, 100, 6), circle(50, 3, 1.5, 24)}},
    };
    return shapes;
}

// Lowest and highest ordinate of the region in the frame of the angle.
std::array<double, 2> ordinate_range(const std::vector<polygon>& region, double angle)
{
    const frame f{std::cos(angle), std::sin(angle)};
    std::array<double, 2> r{1e30, -1e30};
    for (const polygon& p : region)
        for (const auto& q : p) {
            const double y = f.to(q[0], q[1])[1];
            r = {std::min(r[0], y), std::max(r[1], y)};
        }
    return r;
}

}  // namespace

TEST_F(ClearingTest, EveryRegionIsClearedInsideByEveryLinker)
{
    struct variant {
        const char* name;
        engine_params e;
    };
    const variant variants[] = {
        {"pass linking, direction 1", {0.3, 1, 1, 1}},
        {"pass linking, direction -1", {0.3, -1, 1, 1}},
        {"region linking along the contour", {0.3, 1, 2, 1}},
        {"region linking, starts twice", {-0.7, -1, 2, 0}},
        {"pass linking at a steep angle", {1.2, 1, 1, 1, 0.7f}},
        {"pass linking from a previous end inside", {0.3, 1, 1, 1, 1.0f, 0.01f, 1, {20.0f, 12.0f}}},
    };
    for (const named_region& shape : corpus())
        for (const variant& v : variants) {
            SCOPED_TRACE(std::string(shape.name) + ", " + v.name);
            const std::array<double, 2> previous{v.e.previous[0], v.e.previous[1]};
            // A previous end point is where the wire stands: inside the region.
            if (v.e.previous_valid != 0 && !inside_region(shape.region, previous, 0.0)) continue;
            ASSERT_EQ(run_engine(shape.region, v.e), 0) << (errors().empty() ? "" : errors().back());
            const auto points = clearing_points();
            const frame f{std::cos(v.e.angle), std::sin(v.e.angle)};
            const verdict found = judge(shape.region, v.e.angle, points,
                                        v.e.previous_valid != 0 ? f.to(previous[0], previous[1])[1] : 1e30);
            EXPECT_TRUE(found.starts_with_pass);
            EXPECT_EQ(found.cuts_outside, 0);
            EXPECT_EQ(found.stretches_missed, 0);
            const auto range = ordinate_range(shape.region, v.e.angle);
            ASSERT_FALSE(found.lines.empty());
            EXPECT_NEAR(found.lines.front(), range[0] + 0.001, 2e-4);
            EXPECT_NEAR(found.lines.back(), range[1] - 0.001, 2e-4);
            // Lines lie a side step apart at most, except across a gap of the region.
            for (std::size_t i = 1; i < found.lines.size(); ++i) {
                const double gap = found.lines[i] - found.lines[i - 1];
                if (gap <= v.e.side_step + 1e-3) continue;
                for (double y = found.lines[i - 1] + 0.01; y < found.lines[i] - 0.01; y += 0.1)
                    EXPECT_TRUE(inside_stretches(shape.region, f, y).empty()) << "no line at " << y;
            }
            if (v.e.linking != 1 && v.e.contour_link != 1) {
                // Every later pass start stands twice: code -1, then 1 at the same point.
                for (std::size_t i = 1; i + 1 < points.size(); ++i)
                    if (points[i].code == kPassStart) {
                        EXPECT_EQ(points[i + 1].code, kCutPoint);
                        EXPECT_FLOAT_EQ(points[i + 1].x, points[i].x);
                        EXPECT_FLOAT_EQ(points[i + 1].y, points[i].y);
                    }
            }
            int status = 0;
            clrcls(1, status);
            EXPECT_EQ(status, 0);
        }
    EXPECT_TRUE(errors().empty());
}

TEST_F(ClearingTest, AStartOnAnExistingSegmentStartLosesNoSegment)
{
    // The previous end lies on the first line's end 1 at (0, 0.001): the walk starts on that end.
    // The last line lies on the top edge, whose neighbours cross it at its corners.
    const engine_params e{0.0, 1, 2, 1, 1.0f, 0.01f, 1, {0.0f, 0.001f}};
    ASSERT_EQ(run_engine({rectangle(0, 0, 40, 25)}, e), 0);
    const auto points = clearing_points();
    // The segment the start lies on is cut first, as a pass of its own.
    ASSERT_GE(points.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(points[i].code, kPassStart) << i;
        EXPECT_NEAR(points[i].y, 0.001f, 1e-6f) << i;
        EXPECT_EQ(points[i].x, 0.0f) << i;
    }
    EXPECT_EQ(points[2].code, kCutPoint);
    std::vector<float> cut;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (points[i].code == kCutPoint && points[i - 1].y == points[i].y &&
            std::fabs(points[i].x - points[i - 1].x) == 40.0f)
            cut.push_back(points[i].y);
    std::vector<float> lines{0.001f};
    for (int k = 1; k <= 24; ++k) lines.push_back(k + 0.001f);
    lines.push_back(25.0f);
    ASSERT_EQ(cut.size(), lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) EXPECT_NEAR(cut[k], lines[k], 1e-4) << k;
}

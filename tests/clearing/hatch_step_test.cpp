// The variable hatch step: the step a ball leaves the allowed scallop with over a surface given
// by the height seam (the scallop measured across the passes along the sloping surface, not in
// the plan), the cut at the range's limit, and the floors that keep the hatch lines moving when
// no search succeeds.
#include "clearing_support.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/hatch_lines.hpp"
#include "clearing/surface_passes/hatch_step.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "cutter/touch_point_flags.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "tools/tools_test_support.hpp"

#include <cmath>
#include <memory>
#include <vector>

namespace {

using tools_test::held_tool;

float plane_height(float, float y) { return 0.5f * y; }
// A ball of diameter 10 leaves a scallop of 0.9 to 1.1 (the accepted ratio) between passes 5.72
// to 6.26 apart along the surface. Over plane_height a plan step across the hatch lines of the
// angle a spans sqrt(1 + (0.5 cos a)^2 / (1 + (0.5 sin a)^2)) times as much across the passes:
// 1.1180 at 0 and 1.0974 at the frame's angle 0.4.
constexpr float kBallDiameter = 10.0f;
constexpr float kAcrossAt0 = 1.1180f, kAcrossAt04 = 1.0974f;
constexpr float kLeastAlong = 5.72f, kMostAlong = 6.26f;
// The tool of the tests: a ball (a mill whose corner radius is half its diameter).
class held_ball {
public:
    explicit held_ball(int tool_class, float diameter) : tool_(tool_class, diameter)
    {
        tool_shapes().mill.CRNRRD = 0.5f * diameter;
    }

private:
    held_tool tool_;
};
// The same surface, noting the temporary touch-point flag the search runs with.
int flag_seen = -1;
float noting_height(float x, float y)
{
    flag_seen = touch_point_flag_get(kTouchPointTemporary);
    return plane_height(x, y);
}

class HatchStep : public clearing_test::ClearingTest {
protected:
    void SetUp() override
    {
        ClearingTest::SetUp();
        proc_geometry_reset();
        proc_geometry().curve_approx.tolerance = 0.01f;
        proc_geometry().curve_approx.variable_step = 1;
        clear_block = clear_state{};
        clear_block.side_step = 2.5f;
        clear_block.cos = std::cos(0.4f);
        clear_block.sin = std::sin(0.4f);
        scallop_step_block.allowed = 1.0f;
    }
    void TearDown() override
    {
        surface_height_seam() = nullptr;
        proc_geometry_reset();
        ClearingTest::TearDown();
    }
    // The next ordinate from a line at y = 3 with one segment from x = 0 to 40.
    static float next(float high, int& status)
    {
        auto points = std::make_unique<hatch_points>();
        points->x[0] = 0.0f, points->x[1] = 40.0f;
        points->y[0] = points->y[1] = 3.0f;
        float ordinate = -1.0f;
        pass_height_at_point(0.0f, high, *points, 2, ordinate, status);
        return ordinate;
    }
};

TEST_F(HatchStep, StepFollowsTheAllowedScallop)
{
    struct row {
        const char* name;
        float diameter;
        surface_height_function surface;
        int variable_step;
        float min_step, high, least, most;
    };
    const std::vector<row> rows = {
        {"variable step off: the side step", 10.0f, plane_height, 0, 0.0f, 100.0f, 2.5f, 2.5f},
        {"over a sloping surface", 10.0f, plane_height, 1, 0.0f, 100.0f, kLeastAlong / kAcrossAt04,
         kMostAlong / kAcrossAt04},
        {"cut to reach the limit", 10.0f, plane_height, 1, 0.0f, 5.0f, 2.0f, 2.0f},
        {"the minimum step word holds", 10.0f, plane_height, 1, 7.0f, 100.0f, 7.0f, 7.0f},
        {"no surface: D/24", 10.0f, nullptr, 1, 0.0f, 100.0f, 10.0f / 24.0f, 10.0f / 24.0f},
        {"no surface, small minimum step", 0.005f, nullptr, 1, 0.0f, 100.0f, 0.001f, 0.001f},
        {"no mill: the minimum step", -1.0f, plane_height, 1, 0.25f, 100.0f, 0.25f, 0.25f},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const held_ball mill(r.diameter < 0.0f ? kDrill : kMill, std::fabs(r.diameter));
        surface_height_seam() = r.surface;
        proc_geometry().curve_approx.variable_step = r.variable_step;
        proc_geometry().curve_approx.minimum_step = r.min_step;
        int status = -7;
        const float step = next(r.high, status) - 3.0f;
        EXPECT_EQ(status, 0);
        EXPECT_GE(step, r.least - 1e-5f);
        EXPECT_LE(step, r.most + 1e-5f);
        EXPECT_GT(scallop_step_block.allowed, 0.0f);
    }
}

TEST_F(HatchStep, SearchFailsWithoutAnswer)
{
    const held_ball mill(kMill, kBallDiameter);
    surface_height_seam() = plane_height;
    struct row {
        const char* name;
        float allowed;
        float limit;
    };
    // A zero allowed height or a limit already passed has no step.
    for (const row& r : std::vector<row>{{"zero allowed height", 0.0f, 100.0f}, {"limit behind", 1.0f, 2.0f}}) {
        SCOPED_TRACE(r.name);
        const float sample[2] = {5.0f, 3.0f};
        float step = 4.0f, point[3], normal[3];
        int status = 0;
        scallop_step_search(r.limit, 0.0f, sample, r.allowed, step, point, normal, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(step, 4.0f);
    }
    // A positive allowed height only makes the step smaller, a negative one sets it.
    for (float given : {2.0f, 9.0f}) {
        for (float sign : {1.0f, -1.0f}) {
            const float sample[2] = {5.0f, 3.0f};
            float step = given, point[3], normal[3];
            int status = -7;
            scallop_step_search(1.0e10f, 0.0f, sample, sign, step, point, normal, status);
            EXPECT_EQ(status, 0);
            const bool set = sign < 0.0f || given > kMostAlong / kAcrossAt0;
            if (set) {
                EXPECT_GE(step, kLeastAlong / kAcrossAt0) << given << " " << sign;
                EXPECT_LE(step, kMostAlong / kAcrossAt0) << given << " " << sign;
            } else {
                EXPECT_EQ(step, given);
            }
        }
    }
    // The temporary touch-point flag is off during the search and set again after it.
    touch_point_flag_set(kTouchPointTemporary, 1);
    surface_height_seam() = noting_height;
    const float sample[2] = {5.0f, 3.0f};
    float step = 4.0f, point[3], normal[3];
    int status = -7;
    scallop_step_search(1.0e10f, 0.0f, sample, 1.0f, step, point, normal, status);
    EXPECT_EQ(flag_seen, 0);
    EXPECT_EQ(touch_point_flag_get(kTouchPointTemporary), 1);
    touch_point_flag_set(kTouchPointTemporary, 0);
}

// A flat end of diameter 10 over tips rising 0.5 across the lines leaves a saw-tooth of the step
// times sin(atan 0.5): 0.9 to 1.1 between steps 2.013 and 2.460. Tips rising 0.1 along the lines
// as well lower each pass's section by the tool positions down the line (1.1 at a step of 3.312,
// from the swept section worked out apart): a longer step than across the plane, up to that one.
// At a hollow or a crest along the line the line does not keep descending, and the plain
// saw-tooth holds.
float hollow_along(float x, float y) { return 0.5f * y + 0.04f * (x - 5.0f) * (x - 5.0f); }
float crest_along(float x, float y) { return 0.5f * y - 0.04f * (x - 5.0f) * (x - 5.0f); }
float sloping_along(float x, float y) { return 0.5f * y + 0.1f * x; }

TEST_F(HatchStep, FlatEndStepCountsTheSweepDownTheLineOnlyWhereTheLineDescends)
{
    tools_test::held_tool mill(kMill, 10.0f);
    tool_shapes().mill.CRNRRD = 0.0f;
    struct row {
        const char* name;
        surface_height_function surface;
        float least, most;
    };
    const std::vector<row> rows = {
        {"across a plane", plane_height, 2.013f, 2.460f},
        {"at a hollow along the line", hollow_along, 2.013f, 2.460f},
        {"on a crest along the line", crest_along, 2.013f, 2.460f},
        {"down a slope along the line", sloping_along, 2.461f, 3.312f},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        surface_height_seam() = r.surface;
        const float sample[2] = {5.0f, 3.0f};
        float step = 4.0f, point[3], normal[3];
        int status = -7;
        scallop_step_search(1.0e10f, 0.0f, sample, -1.0f, step, point, normal, status);
        EXPECT_EQ(status, 0);
        EXPECT_GE(step, r.least);
        EXPECT_LE(step, r.most);
    }
}

// Tips rising 2 across the lines over one stretch of a segment from x = 0 to 40, flat elsewhere:
// the ball of diameter 10 leaves 0.9 to 1.1 there between passes 5.72 to 6.26 apart along the
// slope, sqrt 5 times as much as in the plan. The step holds it wherever the stretch lies, within
// a diameter of either end as in the middle.
float stretch_from = 0.0f, stretch_to = 0.0f;
float sloping_stretch(float x, float y) { return x >= stretch_from && x <= stretch_to ? 2.0f * y : 0.0f; }

TEST_F(HatchStep, StepHoldsTheScallopUpToTheSegmentEnds)
{
    const held_ball mill(kMill, kBallDiameter);
    surface_height_seam() = sloping_stretch;
    const float across = std::sqrt(5.0f);
    struct row {
        const char* name;
        float from, to;
    };
    const std::vector<row> rows = {
        {"by the start", 0.0f, 4.0f}, {"in the middle", 18.0f, 22.0f}, {"by the end", 36.0f, 40.0f}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        stretch_from = r.from, stretch_to = r.to;
        const float xs[2] = {0.0f, 40.0f}, ys[2] = {3.0f, 3.0f};
        float step = -1.0f;
        int status = -7;
        hatch_step_by_scallop(0.0f, 100.0f, 0.0f, xs, ys, 2, 3.0f, step, status);
        EXPECT_EQ(status, 0);
        EXPECT_GE(step, kLeastAlong / across - 1e-5f);
        EXPECT_LE(step, kMostAlong / across + 1e-5f);
    }
}

TEST_F(HatchStep, HatchLinesTakeTheVariableStep)
{
    // Lines over a 40 x 20 rectangle in the hatch frame: the ordinates climb by the step the
    // surface allows, or by the floor without a surface, and the last line closes the range.
    const held_ball mill(kMill, kBallDiameter);
    machining_type() = 11;
    const std::vector<word> list = clearing_test::contour_list({clearing_test::rectangle(0, 0, 40, 20)});
    auto points = std::make_unique<hatch_points>();
    struct row {
        surface_height_function surface;
        float least, most;
    };
    const std::vector<row> rows{{plane_height, kLeastAlong / kAcrossAt04, kMostAlong / kAcrossAt04},
                                {nullptr, 0.41f, 0.42f}};
    for (const row& r : rows) {
        surface_height_seam() = r.surface;
        ASSERT_EQ(clr_hatch_lines(1, 1, list.data(), 0.0f, 20.0f, 1, *points), 0);
        std::vector<float> ordinates;
        for (const hatch_segment* s = clear_block.segment_head; s != nullptr; s = s->next) ordinates.push_back(s->y1);
        ASSERT_GE(ordinates.size(), 3u);
        EXPECT_NEAR(ordinates.back(), 20.0f, 1e-3f);
        for (std::size_t i = 1; i + 1 < ordinates.size(); ++i) {
            EXPECT_GE(ordinates[i] - ordinates[i - 1], r.least) << i;
            EXPECT_LE(ordinates[i] - ordinates[i - 1], r.most) << i;
        }
        int status = 0;
        CLSLNS(status);
    }
}

}  // namespace

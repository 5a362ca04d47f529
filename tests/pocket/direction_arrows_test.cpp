// Direction arrows: their positions on a contour, the refusals of a side step of 0 and of one
// wider than the pocket, and drawing after flips and during a macro.
#include "contour_test_support.hpp"

#include "clearing/hatch/hatch_lines.hpp"

#include <cmath>
#include <numbers>

namespace {

class DirectionArrows : public ContourTest {
protected:
    // Arrows on the rectangle 0..10 x 0..5.
    static int compute(float angle, float step)
    {
        rectangle_set(1, 0, 0, 10, 5);
        const std::vector<int> record = records_of({1});
        int status = 9;
        compute_arrows_position(1, record.data(), 0.0f, angle, step, nullptr, 0, status);
        return status;
    }
    // The strokes of the figures still shown.
    static std::vector<vantu::control::polyline3> shown_strokes()
    {
        std::vector<vantu::control::polyline3> strokes;
        for (const auto& f : vantu::control::figures())
            if (!f.deleted) strokes.insert(strokes.end(), f.strokes.begin(), f.strokes.end());
        return strokes;
    }
};

}  // namespace

TEST_F(DirectionArrows, PositionsLieWhereTheFirstHatchLinesMeetTheContour)
{
    struct row {
        const char* what;
        float angle, step;
        int status;
        const char* message;
        float first[2], first_direction[2], second[2];
    } rows[] = {
        {"along x", 0.0f, 1.0f, 0, "", {0, 1}, {1, 0}, {10, 4}},
        {"along y", std::numbers::pi_v<float> / 2, 1.0f, 0, "", {9, 0}, {0, 1}, {1, 5}},
        {"side step 0", 0.0f, 0.0f, -1, "compute_arrows_position, CAN'T CALCULATE ARROWS' POSITION", {}, {}, {}},
        {"side step wider than the pocket", 0.0f, 6.0f, -2, "SIDE STEP TOO LARGE", {}, {}, {}},
    };
    for (const row& r : rows) {
        SetUp();
        EXPECT_EQ(compute(r.angle, r.step), r.status) << r.what;
        if (r.status != 0) {
            EXPECT_TRUE(has_line("eroutc", r.message)) << r.what;
            EXPECT_EQ(arrows_shown(), 0) << r.what;
        } else {
            EXPECT_EQ(arrows_shown(), 1) << r.what;
            const arrows_state& a = arrows_block;
            EXPECT_NEAR(a.position[0][0], r.first[0], 1e-4) << r.what;
            EXPECT_NEAR(a.position[0][1], r.first[1], 1e-4) << r.what;
            EXPECT_NEAR(a.direction[0][0], r.first_direction[0], 1e-4) << r.what;
            EXPECT_NEAR(a.direction[0][1], r.first_direction[1], 1e-4) << r.what;
            EXPECT_NEAR(a.position[1][0], r.second[0], 1e-4) << r.what;
            EXPECT_NEAR(a.position[1][1], r.second[1], 1e-4) << r.what;
            // The second arrow points against the first.
            EXPECT_NEAR(a.direction[1][0], -r.first_direction[0], 1e-4) << r.what;
            EXPECT_NEAR(a.direction[1][1], -r.first_direction[1], 1e-4) << r.what;
        }
        TearDown();
    }
}

TEST_F(DirectionArrows, FlippingTwiceDrawsTheSameArrows)
{
    ASSERT_EQ(compute(0.0f, 1.0f), 0);
    arrows_draw();
    const auto first = shown_strokes();
    ASSERT_FALSE(first.empty());
    arrows_delete();
    arrows_flip();
    arrows_draw();
    const auto flipped = shown_strokes();
    EXPECT_NE(flipped, first);  // the sizes changed places
    arrows_delete();
    arrows_flip();
    arrows_draw();
    EXPECT_EQ(shown_strokes(), first);

    vantu::control::set_flag("macro_executing", 1);
    const std::size_t figures = vantu::control::figures().size();
    arrows_delete();
    arrows_draw();
    EXPECT_EQ(shown_strokes(), first);
    EXPECT_EQ(vantu::control::figures().size(), figures);
}

TEST_F(DirectionArrows, HatchLineCrossingsCountASharedVertexOnce)
{
    // A diamond: the line through its side corners meets it at two vertices, one crossing each.
    const float diamond[] = {0, -2, 2, 0, 0, 2, -2, 0, 0, -2};
    std::vector<word> list{5};
    for (const float v : diamond) list.push_back(real_to_word(v));
    hatch_points points;
    int count = 0, status = 0;
    CLRLIN(list.data(), 1, 0.0f, 1, points, count, status);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(points.x[0], -2.0f);
    EXPECT_EQ(points.x[1], 2.0f);
    CLRLIN(list.data(), 1, 0.0f, -1, points, count, status);
    EXPECT_EQ(points.x[0], 2.0f);
    float low = 0, high = 0;
    const float reference[2] = {0.0f, 0.25f};
    clr_hatch_range(1.0f, 0.0f, 1, 2, reference, 1.0f, list.data(), low, high);
    EXPECT_EQ(high, 2.0f);
    // Mode 2 puts the lines on a grid of the step through the reference point.
    EXPECT_NEAR(low, -2.0f - (1.5f - 0.25f), 1e-6);
}

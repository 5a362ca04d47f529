// Spline curves in a pocket contour: the input preparation turns a spline into points within the
// pocket's tolerance (never into arc records), in either direction, however many points it needs
// up to the most the host gives one spline.
#include "host/control/curve_sets.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_test_support.hpp"

#include <cmath>

namespace {

using vantu::control::curve_in_set;

// Half circle of radius 50 about (20, 10) as a rational quadratic spline of two quarter
// circles, parameters 0 (at (70, 10)) to 2 (at (-30, 10)), counter-clockwise.
constexpr double kCentreX = 20.0, kCentreY = 10.0, kRadius = 50.0;

int half_circle_spline()
{
    const double w = std::sqrt(0.5);
    return vantu::control::add_spline(2, {0, 0, 0, 1, 1, 2, 2, 2},
                                      {{70, 10, 0}, {70, 60, 0}, {20, 60, 0}, {-30, 60, 0}, {-30, 10, 0}},
                                      {1, w, 1, w, 1});
}

class SplineContour : public PreparedPocketTest {
protected:
    // Prepares curve set 1 as the only contour of a pocket.
    static void prepare(int& status)
    {
        const int type[2] = {0, kContourPart}, set[2] = {0, 1};
        pocket_prepare(1, 0, nullptr, pocket_contours{type, set, 2}, status);
    }

    // The prepared contour's entries, absolute.
    static std::vector<xy> contour_entries()
    {
        const pkcont_tables& t = pkcont_tables_block;
        std::vector<xy> entries;
        for (int i = t.first[1] - 1; i < t.first[2] - 1; ++i) {
            double x = 0, y = 0;
            pokmain_get_cpt(i, x, y);
            entries.push_back({x == kArcMarker ? x : x + pokmain_block.origin[0], y + pokmain_block.origin[1]});
        }
        return entries;
    }
};

double from_centre(const xy& p) { return std::hypot(p.x - kCentreX, p.y - kCentreY); }

// Checks the points of the half circle: on the circle, in order of angle (rising when
// counter-clockwise), every chord within the tolerance of the arc it spans.
void expect_half_circle(const std::vector<xy>& points, bool counter_clockwise, double tolerance)
{
    ASSERT_GE(points.size(), 2u * kSplineMinSpans + 1);
    double previous = counter_clockwise ? -1.0 : 4.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(from_centre(points[i]), kRadius, 1e-9) << i;
        const double angle = std::atan2(points[i].y - kCentreY, points[i].x - kCentreX);
        EXPECT_TRUE(counter_clockwise ? angle > previous : angle < previous) << i;
        previous = angle;
        if (i == 0) continue;
        const xy middle = {(points[i - 1].x + points[i].x) / 2, (points[i - 1].y + points[i].y) / 2};
        EXPECT_LE(kRadius - from_centre(middle), tolerance) << "chord " << i;
    }
}

}  // namespace

TEST_F(SplineContour, SplineAndLineBecomePointsWithinTheTolerance)
{
    const int spline = half_circle_spline();
    const int line = vantu::control::add_line({-30, 10, 0}, {70, 10, 0});
    vantu::control::define_curve_set(1, {{spline, 0.0, 2.0, 1.0}, {line, 0.0, 100.0, 1.0}});
    int status = 0;
    prepare(status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(pkcont_tables_block.count, 1);
    EXPECT_NEAR(pocket_frame_block.origin[0], -30.0, 1e-4);
    EXPECT_NEAR(pocket_frame_block.origin[1], 10.0, 1e-4);
    EXPECT_NEAR(pocket_frame_block.size, 50.0, 1e-3);  // the smaller extent: the height

    const std::vector<xy> entries = contour_entries();
    for (const xy& e : entries) ASSERT_NE(e.x, kArcMarker);  // a spline never becomes arc records
    // Start point, the spline's points after its start, the line's end (back at the start).
    const std::vector<xy> spline_points(entries.begin(), entries.end() - 1);
    expect_half_circle(spline_points, true, pocket_work_block.tolerance);
    EXPECT_NEAR(spline_points.front().x, 70.0, 1e-9);
    EXPECT_NEAR(spline_points.back().x, -30.0, 1e-9);
    EXPECT_NEAR(entries.back().x, 70.0, 1e-9);
    EXPECT_NEAR(entries.back().y, 10.0, 1e-9);

    // Not wastefully fine: the chords of an exact circle within 0.01 number about 79.
    EXPECT_LT(spline_points.size(), 4u * 79u);

    // Read backward (clockwise) the spline gives the same points in reverse order.
    const int back = vantu::control::add_line({70, 10, 0}, {-30, 10, 0});
    vantu::control::define_curve_set(1, {{back, 0.0, 100.0, 1.0}, {spline, 2.0, 0.0, -1.0}});
    POKREL(1, status);
    prepare(status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> reversed = contour_entries();
    ASSERT_EQ(reversed.size(), entries.size());
    const std::vector<xy> reversed_points(reversed.begin() + 1, reversed.end());
    expect_half_circle(reversed_points, false, pocket_work_block.tolerance);
    for (std::size_t i = 0; i < spline_points.size(); ++i) {
        const xy& a = spline_points[i];
        const xy& b = reversed_points[reversed_points.size() - 1 - i];
        EXPECT_NEAR(a.x, b.x, 1e-9) << i;
        EXPECT_NEAR(a.y, b.y, 1e-9) << i;
    }
}

// A spline that needs more than 7000 points at the pocket's tolerance is converted whole; one
// that needs more than the host gives a spline is refused.
TEST_F(SplineContour, SplineNeedingMorePointsIsConvertedUpToTheHostsMost)
{
    const int spline = half_circle_spline();
    const int line = vantu::control::add_line({-30, 10, 0}, {70, 10, 0});
    vantu::control::define_curve_set(1, {{spline, 0.0, 2.0, 1.0}, {line, 0.0, 100.0, 1.0}});
    pocket_work_block.tolerance = 1e-7;
    int status = 0;
    prepare(status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(errors().empty());
    const std::vector<xy> entries = contour_entries();
    ASSERT_GT(entries.size(), 7001u);
    expect_half_circle(std::vector<xy>(entries.begin(), entries.end() - 1), true, pocket_work_block.tolerance);

    pocket_work_block.tolerance = 1e-12;
    POKREL(1, status);
    prepare(status);
    EXPECT_EQ(status, -1);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "PKCNV2,  TOO MANY POINTS IN CONTOURS");
}

// A large curve needs more points for the frame's box (sampled at the host's fine tolerance) than
// one curve gives a contour; the box takes the room the curve needs and the pocket is prepared.
TEST_F(SplineContour, LargeSplineStillGetsItsBox)
{
    const double r = 1.0e4, w = std::sqrt(0.5);
    const int spline = vantu::control::add_spline(
        2, {0, 0, 0, 1, 1, 2, 2, 2}, {{r, 0, 0}, {r, r, 0}, {0, r, 0}, {-r, r, 0}, {-r, 0, 0}}, {1, w, 1, w, 1});
    const int line = vantu::control::add_line({-r, 0, 0}, {r, 0, 0});
    vantu::control::define_curve_set(1, {{spline, 0.0, 2.0, 1.0}, {line, 0.0, 2 * r, 1.0}});

    // The box alone would not fit the usual room of 7000 points.
    int needed = 0, status = 0;
    std::vector<double> probe(3 * 7000);
    crvpld2(spline, 0.0, 2.0, vantu::kRealTolerance, 3, 7000, probe.data(), needed, status);
    ASSERT_EQ(status, kEntityShort);
    ASSERT_GT(needed, 7000);

    prepare(status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(errors().empty());
    EXPECT_NEAR(pocket_frame_block.box_min[0], -r, 1e-2);
    EXPECT_NEAR(pocket_frame_block.box_max[0], r, 1e-2);
    EXPECT_NEAR(pocket_frame_block.box_max[1], r, 1e-2);
    EXPECT_NEAR(pocket_frame_block.size, r, 1e-2);
}

// The fit buffer: the run rules of motion_collect, the flush of one, two and more points, the
// fitted spline against the points it passes, the thinned polyline when no fit holds, a failing
// move, and the records beside the buffer.
#include "motion_output_support.hpp"

#include "host/control/memory.hpp"
#include "toolpath/modal_setters.hpp"

#include <cmath>
#include <numbers>
#include <optional>

using namespace motion_test;

namespace {

// One motion_collect call: its points, optional directions and ids, the feed mode set before.
struct collect_call {
    std::vector<point3> points;
    std::vector<point3> directions = {};
    std::vector<int> ids = {};
    int feed = 1;
};

void collect(const collect_call& c, int& status)
{
    set_mch_change_mode(c.feed);
    motion_collect(static_cast<int>(c.points.size()), c.points.data(),
                   c.directions.empty() ? nullptr : c.directions.data(), c.ids.empty() ? nullptr : c.ids.data(),
                   status);
}

// Points on a circle of radius r round (0, 0), from angle a0 by step (radians), at z.
std::vector<point3> arc_points(int n, float r, float a0, float step, float z = 0)
{
    std::vector<point3> points;
    for (int i = 0; i < n; ++i) points.push_back({r * std::cos(a0 + i * step), r * std::sin(a0 + i * step), z});
    return points;
}

// The NURBS block of the list evaluated through a temporary curve: the largest distance of the
// points from it.
std::optional<double> largest_distance_from_written_curve(const std::vector<point3>& points)
{
    for (const auto& line : vantu::control::toolpath_top()) {
        const std::vector<word>& w = line.words;
        if (w[0] != 5) continue;
        const int k = w[2], n = w[3];
        // After k and n: each value, followed by a control point while there is one.
        std::vector<float> knots, control;
        std::size_t at = 4;
        for (int i = 0; i < k + n; ++i) {
            knots.push_back(word_to_real(w[at++]));
            for (int c = 0; c < 3 && i < n; ++c) control.push_back(word_to_real(w[at++]));
        }
        int id = 0, status = 0;
        evbcre_bsp(-1, 3, k, n, knots.data(), control.data(), id, status);
        if (status != 0) return std::nullopt;
        double largest = 0.0;
        for (const point3& p : points) {
            const double q[3] = {p[0], p[1], p[2]};
            double closest[3], t = 0, d = 0;
            cptcrv2(id, q, knots.front(), knots.back(), closest, t, d, status);
            largest = std::max(largest, d);
        }
        evbfre(id);
        return largest;
    }
    return std::nullopt;
}

}  // namespace

TEST_F(MotionOutput, RunRulesEndRunsWhereTheyShould)
{
    struct row {
        const char* name;
        float tolerance;
        std::vector<collect_call> calls;
        std::vector<std::string> after_collect;  // written before the caller flushes
        std::vector<std::string> after_flush;
    };
    const point3 x{1, 0, 0}, y{0, 1, 0};
    const row rows[] = {
        {"one point is one move", 0, {{{{1, 0, 0}}}}, {}, {"L(1,0,0)"}},
        {"two nearly equal points: one move to the second", 1, {{{{1, 0, 0}, {1.2f, 0, 0}}}}, {}, {"L(1.2,0,0)"}},
        {"two points apart: two moves", 0, {{{{1, 0, 0}, {5, 0, 0}}}}, {}, {"L(1,0,0)", "L(5,0,0)"}},
        {"a feed change ends the run before the second point",
         0,
         {{{{1, 0, 0}}}, {{{2, 0, 0}}, {}, {}, 3}},
         {"L(1,0,0)"},
         {"L(1,0,0)", "F50", "L(2,0,0)"}},
        {"directions 90 degrees apart end the run",
         0,
         {{{{1, 0, 0}, {2, 0, 0}}, {x, y}}},
         {"L(1,0,0)"},
         {"L(1,0,0)", "L(2,0,0)"}},
        {"directions 30 degrees apart keep it",
         0,
         {{{{1, 0, 0}, {2, 0, 0}}, {x, {0.866f, 0.5f, 0}}}},
         {},
         {"L(1,0,0)", "L(2,0,0)"}},
        {"another id ends it", 0, {{{{1, 0, 0}, {2, 0, 0}}, {}, {1, 2}}}, {"L(1,0,0)"}, {"L(1,0,0)", "L(2,0,0)"}},
        {"a step 28 times the span ends it",
         0,
         {{{{1, 0, 0}, {2, 0, 0}, {30, 0, 0}}}},
         {"L(1,0,0)", "L(2,0,0)"},
         {"L(1,0,0)", "L(2,0,0)", "L(30,0,0)"}},
        {"a steep step ends it",
         0,
         {{{{1, 0, 0}, {2, 0, 0}, {2, 0, 5}}}},
         {"L(1,0,0)", "L(2,0,0)"},
         {"L(1,0,0)", "L(2,0,0)", "L(2,0,5)"}},
        {"a turn of 90 degrees ends it",
         0,
         {{{{1, 0, 0}, {2, 0, 0}, {2, 1, 0}}}},
         {"L(1,0,0)", "L(2,0,0)"},
         {"L(1,0,0)", "L(2,0,0)", "L(2,1,0)"}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at({0, 0, 0});
        fit_state().tolerance = r.tolerance;
        int status = 0;
        for (const collect_call& c : r.calls) collect(c, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(steps(), r.after_collect);
        motion_bspline_fit(status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(steps(), r.after_flush);
        EXPECT_EQ(fit_state().count, 0);
    }
}

TEST_F(MotionOutput, FittedSplinePassesThePointsAndFallsBackToThePolyline)
{
    // A quarter circle of 40 points: with deviation limits that a fit can meet (0.03, three times
    // the chords' sagitta), one NURBS move that passes every collected point within the limit; the
    // tool ends on its last control point.
    const std::vector<point3> arc = arc_points(40, 50, 0, static_cast<float>(std::numbers::pi / 2 / 39));
    fit_state().refine_limit = fit_state().sample_limit = 9.0e-4;
    int status = 0;
    motion_collect(static_cast<int>(arc.size()), arc.data(), nullptr, nullptr, status);
    motion_bspline_fit(status);
    EXPECT_EQ(status, 0);
    const std::vector<std::string> written = steps();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], "L(50,0,0)") << "a line to the run's start first";
    EXPECT_EQ(written[1].front(), 'N');
    const std::optional<double> deviation = largest_distance_from_written_curve(arc);
    ASSERT_TRUE(deviation.has_value());
    EXPECT_LT(*deviation, 0.03);
    EXPECT_NEAR(DSP8().position()[0], arc.back()[0], 1e-3);
    EXPECT_NEAR(DSP8().position()[1], arc.back()[1], 1e-3);

    // With the limits at 0 (as the module leaves them) no fit holds: the run goes out as the
    // polyline of its points, thinned within t (0 keeps every point off a straight line).
    fresh_at({0, 0, 0});
    motion_collect(static_cast<int>(arc.size()), arc.data(), nullptr, nullptr, status);
    motion_bspline_fit(status);
    EXPECT_EQ(steps().size(), arc.size());
    EXPECT_EQ(steps().back(), "L(" + number(arc.back()[0]) + "," + number(arc.back()[1]) + ",0)");

    // A host that cannot interpolate gives the polyline too.
    fresh_at({0, 0, 0});
    fit_state().refine_limit = fit_state().sample_limit = 9.0e-4;
    vantu::control::inject_fault("calbsp", 1, 100, -1);
    motion_collect(static_cast<int>(arc.size()), arc.data(), nullptr, nullptr, status);
    motion_bspline_fit(status);
    EXPECT_EQ(steps().size(), arc.size());
    EXPECT_EQ(vantu::control::call_count("itrnrpt"), 1);
}

TEST_F(MotionOutput, FailingMoveStopsTheFlushWithItsStatus)
{
    const std::vector<point3> arc = arc_points(10, 50, 0, 0.05f);
    int status = 0;
    motion_collect(static_cast<int>(arc.size()), arc.data(), nullptr, nullptr, status);
    ASSERT_EQ(status, 0);
    vantu::control::inject_fault("lcreat", 1, 1, -2);
    motion_bspline_fit(status);
    EXPECT_LT(status, 0);
    EXPECT_TRUE(steps().empty()) << "no move is tried after the first failure";
    EXPECT_EQ(fit_state().count, 0);
}

TEST_F(MotionOutput, RecordsBesideTheBuffer)
{
    point3 cached{7, 7, 7};
    int status = 0;
    apr_point_cached(cached, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(cached, (point3{7, 7, 7}));
    const point3 p{3, 4, 5};
    motion_collect(1, &p, nullptr, nullptr, status);
    apr_point_cached(cached, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cached, p);
    motion_bspline_fit(status);
    apr_point_cached(cached, status);
    EXPECT_EQ(status, -1) << "a flush forgets the cached point";

    const point3 point{1, 2, 3}, direction{0, 1, 0};
    const int count = 4, only_count = 9;
    last_move_set(&point, &direction, &count);
    last_move_set(nullptr, nullptr, &only_count);
    point3 got_point{}, got_direction{};
    int got_count = 0;
    last_move_get(got_point, got_direction, got_count);
    EXPECT_EQ(got_point, point);
    EXPECT_EQ(got_direction, direction);
    EXPECT_EQ(got_count, 9);

    float t = 0.25f;
    fit_tol_getset(2, t);
    float read = 0;
    fit_tol_getset(1, read);
    EXPECT_EQ(read, 0.25f);
    int flag = 3, flag_read = 0;
    motion_flag_getset(2, flag);
    motion_flag_getset(1, flag_read);
    EXPECT_EQ(flag_read, 3);

    // The array opens with room for the call rounded up to 100 coordinates and grows by the
    // shortfall rounded up the same way.
    fit_buffer_release();
    std::vector<point3> many(40, point3{0, 0, 0});
    for (std::size_t i = 0; i < many.size(); ++i) many[i][0] = static_cast<float>(i + 1);
    motion_collect(40, many.data(), nullptr, nullptr, status);
    EXPECT_EQ(fit_state().capacity, 200);
    motion_collect(40, many.data(), nullptr, nullptr, status);
    EXPECT_EQ(fit_state().capacity, 300);
}

// A whole loop cut from its entry goes on along itself to its exit by the shorter way: on over its
// opening, or back over its closing stretch.
#include "engine_test_support.hpp"

#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/lane_linking.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

// A closed loop from its entry back to it, a point on it and the loop's length up to that point.
struct exit_row {
    const char* name;
    contour path;
    xy exit;
    double before;
};

using LaneLinking = EngineTest;

// A half disc of radius 5 about (0, 0), entered at (-5, 0): along its diameter, then round its arc.
contour half_disc()
{
    contour c{{-5, 0}, {5, 0}};
    push_arc(c, 5.0, 1.0, 0.0, 0.0, -5.0, 0.0);
    return c;
}

// A circle of radius 5 about (0, 0) in three arcs, entered at (5, 0): the arcs end at the angles
// `first` and `second` (radians, counter-clockwise), the last one where the circle began.
contour circle_of_arcs(double first, double second)
{
    contour c{{5, 0}};
    push_arc(c, 5.0, 1.0, 0.0, 0.0, 5 * std::cos(first), 5 * std::sin(first));
    push_arc(c, 5.0, 1.0, 0.0, 0.0, 5 * std::cos(second), 5 * std::sin(second));
    push_arc(c, 5.0, 1.0, 0.0, 0.0, 5.0, 0.0);
    return c;
}

// Whether an arc of the path runs from a point back to the same point: cut, it would be a whole
// circle.
bool has_closed_arc(const pokarr& a)
{
    for (int i = 1; i + 3 < a.count; ++i)
        if (a.x[i] > kMarkerX / 2 && std::hypot(a.x[i + 3] - a.x[i - 1], a.y[i + 3] - a.y[i - 1]) < 1e-9) return true;
    return false;
}

TEST_F(LaneLinking, LoopGoesOnToItsExitTheShorterWay)
{
    const contour square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    const double pi = std::numbers::pi;
    std::vector<exit_row> rows = {
        {"square, exit early on", square, {3, 0}, 3.0},
        {"square, exit on the last side", square, {0, 3}, 37.0},
        {"square, exit past the middle", square, {7, 10}, 23.0},
        {"half disc, exit on the arc's start",
         half_disc(),
         {5 * std::cos(pi / 9), 5 * std::sin(pi / 9)},
         10 + pi * 5 / 9},
        {"half disc, exit near the arc's end",
         half_disc(),
         {5 * std::cos(5 * pi / 6), 5 * std::sin(5 * pi / 6)},
         10 + 25 * pi / 6},
    };
    // Exits where one arc of a circle ends and the next begins.
    for (const auto& [first, second] : {std::pair{0.4, 2.1}, std::pair{1.3, 2.9}})
        for (const double at : {first, second})
            rows.push_back({"circle of arcs, exit at the end of an arc",
                            circle_of_arcs(first, second),
                            {5 * std::cos(at), 5 * std::sin(at)},
                            5 * at});
    for (const exit_row& row : rows) {
        pokarr a = make_from(row.path);
        double loop = 0.0, after = 0.0;
        int measured = 0;
        pokarr_length(0, a, nullptr, loop, measured);
        const double exit[3] = {row.exit.x, row.exit.y, 0.0};
        int status = -1;
        path_on_to(exit, a, status);
        pokarr_length(0, a, nullptr, after, measured);
        EXPECT_EQ(status, 0) << row.name;
        EXPECT_NEAR(after - loop, std::min(row.before, loop - row.before), 1e-9) << row.name;
        EXPECT_NEAR(a.x[a.count - 1], row.exit.x, 1e-9) << row.name << ": the path ends at the exit";
        EXPECT_NEAR(a.y[a.count - 1], row.exit.y, 1e-9) << row.name << ": the path ends at the exit";
        EXPECT_FALSE(has_closed_arc(a)) << row.name << " at " << row.exit.x << ", " << row.exit.y;
        pokarr_free(a);
    }
}

}  // namespace

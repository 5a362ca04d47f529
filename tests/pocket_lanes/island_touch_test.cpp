// Island lanes that lie on each other: squares in space side by side, touching along a stretch,
// a hair apart, apart, at a corner only, along a stretch shorter than the bound, either way
// round, and a lane meeting the square at one point at a shallow angle. Lanes that lie on each
// other must be told so, and others not; the pushed copy must stay closed and within the push of
// its own path, and cross the other lane in plan where they lie on each other.
#include "lane_test_support.hpp"

#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/island_touch.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

class IslandTouch : public LaneTest {};

constexpr double kReach = 0.01;
constexpr double kLeast = 0.2;

// The loop through the corners in space, on a slope rising along x.
pokarr loop_of(const std::vector<xy>& corners)
{
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    for (const xy& p : corners) {
        const double z = 0.5 * p.x;
        pokarr_add_xyz(p.x, &p.y, &z, nullptr, a, status);
    }
    return a;
}

// The corners of the square of side 2 with its lower left corner at (x, y), counter-clockwise or
// clockwise.
std::vector<xy> square(double x, double y, bool clockwise)
{
    std::vector<xy> corners = {{x, y}, {x + 2.0, y}, {x + 2.0, y + 2.0}, {x, y + 2.0}, {x, y}};
    if (clockwise) std::reverse(corners.begin(), corners.end());
    return corners;
}

// The largest distance in plan of a point of `copy` from the path of `loop`.
double farthest_from(const pokarr& copy, const pokarr& loop)
{
    double farthest = 0.0;
    for (int i = 0; i < copy.count; ++i) {
        double least = HUGE_VAL;
        for (int k = 0; k + 1 < loop.count; ++k) {
            const double dx = loop.x[k + 1] - loop.x[k], dy = loop.y[k + 1] - loop.y[k];
            const double t = std::clamp(
                ((copy.x[i] - loop.x[k]) * dx + (copy.y[i] - loop.y[k]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            least = std::min(least, std::hypot(copy.x[i] - loop.x[k] - t * dx, copy.y[i] - loop.y[k] - t * dy));
        }
        farthest = std::max(farthest, least);
    }
    return farthest;
}

TEST_F(IslandTouch, LanesLyingOnEachOtherAreToldAndPushedAcross)
{
    // Above the square's top side, a lane touching it at (1, 2) whose sides rise 2 degrees from
    // there: within the reach for 0.29 on either side of the point, and on it nowhere.
    const double rise = 2.0 * std::tan(2.0 * std::numbers::pi / 180.0);
    const struct {
        std::string what;
        std::vector<xy> b;
        bool lying;
    } rows[] = {
        {"along half a side", square(1.0, 2.0, false), true},
        {"along half a side, running clockwise", square(1.0, 2.0, true), true},
        {"a hair apart along a whole side", square(0.0, 2.0 + 0.5 * kReach, false), true},
        {"below, along most of a side", square(0.5, -2.0, false), true},
        {"beyond the reach", square(1.0, 2.0 + 3.0 * kReach, false), false},
        {"at a corner only", square(2.0, 2.0, false), false},
        {"along less than the bound", square(1.9, 2.0, false), false},
        {"at one point, 2 degrees apart",
         {{1.0, 2.0}, {3.0, 2.0 + rise}, {3.0, 4.0}, {-1.0, 4.0}, {-1.0, 2.0 + rise}, {1.0, 2.0}},
         false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr a = loop_of(square(0.0, 0.0, false)), b = loop_of(r.b);
        EXPECT_EQ(lanes_lie_on_each_other(a, b, kReach, kLeast), r.lying);
        pokarr pushed;
        pokarr_init(3, pushed);
        int status = 0;
        lane_pushed_into(a, b, kReach, 2.0 * kReach, pushed, status);
        ASSERT_EQ(status, 0);
        EXPECT_LE(farthest_from(pushed, b), 2.0 * kReach + 1e-12);
        EXPECT_EQ(pushed.x[0], pushed.x[pushed.count - 1]);
        EXPECT_EQ(pushed.y[0], pushed.y[pushed.count - 1]);
        if (r.lying) {
            EXPECT_GE(comlup_crossings(a, pushed), 2);
        }
        for (pokarr* p : {&a, &b, &pushed}) pokarr_free(*p);
    }
}

}  // namespace

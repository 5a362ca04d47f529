// Island lanes that lie on each other: squares in space side by side, touching along a stretch,
// a hair apart, apart, at a corner only, along a stretch shorter than the bound, either way
// round. Lanes that lie on each other must be told so, and others not; the pushed copy must stay
// closed and within the push of its own path, and cross the other lane in plan where they lie on
// each other.
#include "lane_test_support.hpp"

#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/island_touch.hpp"

#include <algorithm>
#include <string>

namespace {

class IslandTouch : public LaneTest {};

constexpr double kReach = 0.01;
constexpr double kLeast = 0.2;

// The square of side 2 with its lower left corner at (x, y), counter-clockwise or clockwise, on a
// slope rising along x.
pokarr square(double x, double y, bool clockwise)
{
    std::vector<xy> corners = {{x, y}, {x + 2.0, y}, {x + 2.0, y + 2.0}, {x, y + 2.0}, {x, y}};
    if (clockwise) std::reverse(corners.begin(), corners.end());
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    for (const xy& p : corners) {
        const double z = 0.5 * p.x;
        pokarr_add_xyz(p.x, &p.y, &z, nullptr, a, status);
    }
    return a;
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
    const struct {
        std::string what;
        double x, y;
        bool clockwise;
        bool lying;
    } rows[] = {
        {"along half a side", 1.0, 2.0, false, true},
        {"along half a side, running clockwise", 1.0, 2.0, true, true},
        {"a hair apart along a whole side", 0.0, 2.0 + 0.5 * kReach, false, true},
        {"below, along most of a side", 0.5, -2.0, false, true},
        {"beyond the reach", 1.0, 2.0 + 3.0 * kReach, false, false},
        {"at a corner only", 2.0, 2.0, false, false},
        {"along less than the bound", 1.9, 2.0, false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr a = square(0.0, 0.0, false), b = square(r.x, r.y, r.clockwise);
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

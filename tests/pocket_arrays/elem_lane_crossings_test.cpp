// Crossings of one element with a lane: every crossing once and in order along the element, both
// points where the element crosses one arc twice, a point where two lane elements meet once, and
// the room limit.
#include "pocket_lanes/lane_test_support.hpp"

#include "pocket_arrays/elem_lane_crossings.hpp"

#include <cmath>

namespace {

// A full circle of radius r about the origin, two half-turn arcs from (r, 0).
std::vector<xy> round_lane(double r)
{
    std::vector<xy> e{{r, 0.0}};
    push_arc(e, r, 1.0, 0.0, 0.0, -r, 0.0);
    push_arc(e, r, 1.0, 0.0, 0.0, r, 0.0);
    return e;
}

const std::vector<xy> kSquare{{-3, -3}, {3, -3}, {3, 3}, {-3, 3}, {-3, -3}};

class ElemLaneCrossings : public LaneTest {};

TEST_F(ElemLaneCrossings, CrossingsComeOnceInOrderAlongTheElement)
{
    const double s24 = std::sqrt(24.0), s7 = std::sqrt(7.0);
    const double hy = 73.0 / 16.0, hx = std::sqrt(25.0 - hy * hy);
    struct row {
        const char* name;
        int kind;
        xy start, end, centre;
        double radius, direction;
        std::vector<xy> lane;
        int room;
        std::vector<xy> expected;
    };
    const std::vector<row> rows = {
        {"line crossing one arc twice",
         kElementLine,
         {-10, 1},
         {10, 1},
         {},
         0,
         0,
         round_lane(5),
         10,
         {{-s24, 1}, {s24, 1}}},
        {"the same line backwards",
         kElementLine,
         {10, 1},
         {-10, 1},
         {},
         0,
         0,
         round_lane(5),
         10,
         {{s24, 1}, {-s24, 1}}},
        {"line through the joins of the two arcs",
         kElementLine,
         {-10, 0},
         {10, 0},
         {},
         0,
         0,
         round_lane(5),
         10,
         {{-5, 0}, {5, 0}}},
        {"line across a corner of the square", kElementLine, {0, -3}, {3, 0}, {}, 0, 0, kSquare, 10, {{0, -3}, {3, 0}}},
        {"room for one crossing", kElementLine, {-10, 1}, {10, 1}, {}, 0, 0, round_lane(5), 2, {{-s24, 1}}},
        {"no room", kElementLine, {-10, 1}, {10, 1}, {}, 0, 0, round_lane(5), 1, {}},
        {"line missing the lane", kElementLine, {-10, 6}, {10, 6}, {}, 0, 0, round_lane(5), 10, {}},
        {"arc crossing three sides of the square",
         kElementArc,
         {4, 0},
         {-4, 0},
         {0, 0},
         4.0,
         1.0,
         kSquare,
         10,
         {{3, s7}, {s7, 3}, {-s7, 3}, {-3, s7}}},
        {"the same arc clockwise",
         kElementArc,
         {-4, 0},
         {4, 0},
         {0, 0},
         4.0,
         -1.0,
         kSquare,
         10,
         {{-3, s7}, {-s7, 3}, {s7, 3}, {3, s7}}},
        // The circle of radius 4 about (0, 8) meets the lane's upper arc where y = 73 / 16.
        {"arc crossing one arc of the lane twice",
         kElementArc,
         {4, 8},
         {-4, 8},
         {0, 8},
         4.0,
         -1.0,
         round_lane(5),
         10,
         {{hx, hy}, {-hx, hy}}},
    };
    for (const row& r : rows) {
        std::vector<double> x, y;
        for (const xy& p : r.lane) x.push_back(p.x), y.push_back(p.y);
        std::vector<double> xo(10, 0.0), yo(10, 0.0);
        int count = -1;
        elem_lane_crossings(r.kind, r.start.x, r.start.y, r.end.x, r.end.y, r.centre.x, r.centre.y, r.radius,
                            r.direction, x.data(), y.data(), static_cast<int>(x.size()), r.room, xo.data(), yo.data(),
                            count);
        ASSERT_EQ(count, static_cast<int>(r.expected.size())) << r.name;
        for (int i = 0; i < count; ++i) {
            EXPECT_NEAR(xo[i], r.expected[i].x, 1e-9) << r.name << " crossing " << i;
            EXPECT_NEAR(yo[i], r.expected[i].y, 1e-9) << r.name << " crossing " << i;
        }
    }
}

}  // namespace

// The direction of a loop read from its turn at the lowest-left point agrees with the sign of its
// area: named loops whose lowest-left point is a corner, the inside of an arc, or a tangent join
// (where the turn does not tell and the area decides), and seeded star polygons and split circles
// in every position and both directions.
#include "lane_test_support.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/loop_turn.hpp"

#include <cmath>
#include <random>
#include <vector>

namespace {

using entries = std::vector<xy>;

class LoopTurn : public LaneTest {};

// The loop run backwards, its arcs turned round.
entries backwards(const entries& e)
{
    pokarr a = make_from(e);
    pokarr_reverse(a);
    entries out;
    for (int i = 0; i < a.count; ++i) out.push_back({a.x[i], a.y[i]});
    pokarr_free(a);
    return out;
}

int area_sign(const entries& e)
{
    pokarr a = make_from(e);
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(a, area, direction);
    pokarr_free(a);
    return direction;
}

int turn_of(const entries& e, int& direction)
{
    pokarr a = make_from(e);
    const int turn = loop_turn_direction(a);
    direction = loop_direction(a);
    pokarr_free(a);
    return turn;
}

// A circle of radius r about (cx, cy) in `parts` arcs from angle a0, counter-clockwise.
entries split_circle(double cx, double cy, double r, double a0, int parts)
{
    entries e{{cx + r * std::cos(a0), cy + r * std::sin(a0)}};
    const double step = 2.0 * std::acos(-1.0) / parts;
    for (int k = 1; k <= parts; ++k) {
        const double a = k == parts ? a0 : a0 + k * step;
        push_arc(e, r, 1.0, cx, cy, k == parts ? e.front().x : cx + r * std::cos(a),
                 k == parts ? e.front().y : cy + r * std::sin(a));
    }
    return e;
}

struct turn_row {
    const char* name;
    entries loop;  // counter-clockwise
    int turn;      // what the turn tells of it: 1, or 0 where the area must decide
};

TEST_F(LoopTurn, NamedLoopsTurnTheWayTheirAreaRuns)
{
    entries stadium{{2, 0}, {10, 0}, {10, 4}, {2, 4}};
    push_arc(stadium, 2.0, 1.0, 2.0, 2.0, 2.0, 0.0);
    // Two half circles meeting at the leftmost point, where they run along one line.
    entries round{{1, 0}};
    push_arc(round, 1.0, 1.0, 0.0, 0.0, -1.0, 0.0);
    push_arc(round, 1.0, 1.0, 0.0, 0.0, 1.0, 0.0);
    // A notch bitten out of the left side by an arc turning the other way.
    entries bitten{{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 4}};
    push_arc(bitten, 1.0, -1.0, 0.0, 3.0, 0.0, 2.0);
    bitten.push_back({0, 0});
    // The lowest-left corner of a line meeting an arc that bulges out to the right.
    entries lens{{0, 0}};
    push_arc(lens, 5.0, 1.0, -3.0, 4.0, 0.0, 8.0);
    lens.push_back({0, 0});
    const std::vector<turn_row> rows{
        {"square", {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}, 1},
        {"L shape from its inner corner", {{2, 2}, {2, 6}, {0, 6}, {0, 0}, {6, 0}, {6, 2}, {2, 2}}, 1},
        {"a left side standing upright", {{0, 3}, {0, 1}, {0, 0}, {5, 0}, {5, 3}, {0, 3}}, 1},
        {"stadium: the leftmost point inside an arc", stadium, 1},
        {"circle in three arcs", split_circle(1, 1, 2, 0.3, 3), 1},
        {"circle whose arcs meet at its leftmost point", round, 0},
        {"left side bitten by a clockwise arc", bitten, 1},
        {"lens of a line and an arc", lens, 1},
    };
    for (const turn_row& row : rows) {
        int direction = 0;
        EXPECT_EQ(area_sign(row.loop), 1) << row.name;
        EXPECT_EQ(turn_of(row.loop, direction), row.turn) << row.name;
        EXPECT_EQ(direction, 1) << row.name;
        EXPECT_EQ(turn_of(backwards(row.loop), direction), -row.turn) << row.name << " backwards";
        EXPECT_EQ(direction, -1) << row.name << " backwards";
    }
    // An open chain and a lone arc do not tell.
    entries lone{{1, 0}};
    push_arc(lone, 1.0, 1.0, 0.0, 0.0, 1.0, 0.0);
    for (const entries& e : {entries{{0, 0}, {4, 0}, {4, 4}}, lone}) {
        pokarr a = make_from(e);
        EXPECT_EQ(loop_turn_direction(a), 0);
        pokarr_free(a);
    }
}

TEST_F(LoopTurn, SeededLoopsTurnTheWayTheirAreaRuns)
{
    const unsigned seed = 20261208;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double pi = std::acos(-1.0);
    int told = 0;
    for (int trial = 0; trial < 400; ++trial) {
        entries loop;
        const double cx = 200.0 * unit(random) - 100.0, cy = 200.0 * unit(random) - 100.0;
        if (trial % 4 == 0) {
            loop = split_circle(cx, cy, 0.5 + 10.0 * unit(random), 2.0 * pi * unit(random), 2 + trial % 3);
        } else {
            // A star about (cx, cy): a corner at a random angle within each of its sectors, at a
            // random radius, so the centre sees every side.
            const int corners = 3 + static_cast<int>(unit(random) * 12.0);
            const double sector = 2.0 * pi / corners, turn = 2.0 * pi * unit(random);
            for (int k = 0; k < corners; ++k) {
                const double a = turn + sector * (k + 0.9 * unit(random)), r = 0.2 + 5.0 * unit(random);
                loop.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
            }
            loop.push_back(loop.front());
        }
        if (unit(random) < 0.5) loop = backwards(loop);
        int direction = 0;
        const int turn = turn_of(loop, direction), area = area_sign(loop);
        if (turn != 0) ++told;
        EXPECT_TRUE(turn == 0 || turn == area) << "seed " << seed << " trial " << trial;
        EXPECT_EQ(direction, area) << "seed " << seed << " trial " << trial;
    }
    // The turn tells nearly always; the area is the rare way.
    EXPECT_GT(told, 390) << "seed " << seed;
}

}  // namespace

// The first lane of a chain cut once: the cut begins at the turn from which the rest of the loop
// runs over what it leaves out, comes back from a stretch it must still cut by the shorter way,
// and still ends at the entry, where the link to the parent starts.
#include "engine_test_support.hpp"

#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/collapse_pass_cut.hpp"

#include <cmath>
#include <numbers>

namespace {

class CollapsePassCut : public EngineTest {};

struct cut_row {
    const char* name;
    contour path;  // a closed loop from its entry back to it
    double saved;  // the length the cut saves
    xy start;      // where the cut begins
};

// Half the tolerance of a pocket at 0.005.
constexpr double kNear = 0.0025;

// A 10 x 10 square lane entered at (0, 0), with a detour put in at (4, 0): it runs back along the
// lane to (1, 0) and round below it to (4, 0) again. Cut from the entry, the stretch from (1, 0) to
// (4, 0) ran twice; cut from the turn at (4, 0), the stretch from the entry to (1, 0), hanging off
// the cut's end, is gone along and back (2) instead.
contour square_with_detour(const std::vector<xy>& turn)
{
    contour c{{0, 0}, {1, 0}, {4, 0}};
    c.insert(c.end(), turn.begin(), turn.end());
    for (const xy p : {xy{1, -1}, xy{4, -1}, xy{4, 0}, xy{10, 0}, xy{10, 10}, xy{0, 10}, xy{0, 0}}) c.push_back(p);
    return c;
}

// A pass of no width along a half circle of radius 5 about (5, 0) from (0, 0) to (10, 0) and back,
// below the centre line (way 1 out) or above it (way -1 out): the back way runs over every point
// of the out way only where the arcs' extents are taken in full.
contour half_circle_pass(double way)
{
    contour c{{0, 0}};
    push_arc(c, 5.0, way, 5.0, 0.0, 10.0, 0.0);
    push_arc(c, 5.0, -way, 5.0, 0.0, 0.0, 0.0);
    return c;
}

// A pass of no width along a zigzag of `legs` legs from (0, 0) to (legs, 0) and back: as many
// pieces as a long lane round a row of islands has.
contour zigzag_pass(int legs)
{
    contour c;
    for (int i = 0; i <= legs; ++i) c.push_back({static_cast<double>(i), i % 2 == 0 ? 0.0 : 0.3});
    for (int i = legs - 1; i >= 0; --i) c.push_back({static_cast<double>(i), i % 2 == 0 ? 0.0 : 0.3});
    return c;
}

TEST_F(CollapsePassCut, CutBeginsAtTheTurnAndComesBackTheShorterWay)
{
    const std::vector<cut_row> rows = {
        {"pass of no width", {{0, 0}, {5, 0}, {0, 0}}, 5.0, {5, 0}},
        {"half circle pass below", half_circle_pass(1.0), 5.0 * std::numbers::pi, {10, 0}},
        {"half circle pass above", half_circle_pass(-1.0), 5.0 * std::numbers::pi, {10, 0}},
        {"square without a turn", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 0.0, {0, 0}},
        {"long zigzag pass", zigzag_pass(60), 60.0 * std::hypot(1.0, 0.3), {60, 0}},
        // Entered at the foot of a pass 0.8 long beside a spur 0.3 long: cut from the spur's end,
        // 0.3 shorter, it would run over 0.7 of its opening (the step, 1); cut from the pass's
        // other foot, where the room leaves it, the pass is cut once and the spur there and back.
        {"pass entered at its foot beside a spur",
         {{0, 0}, {0, -0.3}, {0, 0}, {0, 0.8}, {3, 0.8}, {3, 3.8}, {0, 3.8}, {0, 0.8}, {0, 0}},
         0.8,
         {0, 0.8}},
        // Entered at the dead end of a pass 3 long that has no turn: cut from its foot, where the
        // room leaves it, the pass is cut once, on the way back to the entry.
        {"pass entered at its dead end", {{0, 0}, {0, 3}, {3, 3}, {3, 6}, {0, 6}, {0, 3}, {0, 0}}, 3.0, {0, 3}},
        {"detour turning at a vertex", square_with_detour({{1, 0}}), 2.0, {4, 0}},
        // The detour joins the lane by pieces shorter than the tolerance: the half turn is spread
        // over three vertices.
        {"detour joined by short pieces",
         square_with_detour({{4.001, 0.001}, {3.999, 0.002}, {1, 0.002}}),
         2.0,
         {3.999, 0.002}},
    };
    for (const cut_row& row : rows) {
        pokarr a = make_from(row.path);
        double before = 0.0, after = 0.0;
        int measured = 0;
        pokarr_length(0, a, nullptr, before, measured);
        int status = -1;
        const double saved = collapse_pass_cut_once(a, kNear, status);
        pokarr_length(0, a, nullptr, after, measured);
        EXPECT_EQ(status, 0) << row.name;
        EXPECT_NEAR(saved, row.saved, 0.01) << row.name;
        EXPECT_NEAR(before - after, saved, 1e-9) << row.name;
        EXPECT_NEAR(a.x[0], row.start.x, 1e-9) << row.name;
        EXPECT_NEAR(a.y[0], row.start.y, 1e-9) << row.name;
        EXPECT_NEAR(a.x[a.count - 1], 0.0, 1e-9) << row.name << ": the cut ends at the entry";
        EXPECT_NEAR(a.y[a.count - 1], 0.0, 1e-9) << row.name << ": the cut ends at the entry";
        pokarr_free(a);
    }
}

// A room entered at (0, 0) where a pass of no width leaves it to (-1, 0), runs round a little
// loop through (-2, 0) and (-1.5, -0.8), on to a turn 0.2 further and back (`back` the way it
// comes back round the loop), then along the room to the entry.
contour loop_on_a_pass(const std::vector<xy>& back)
{
    contour c{{0, 0}, {-1, 0}};
    const std::vector<xy> out{{-2, 0}, {-1.5, -0.8}, {-1.5, -1}, {-1.5, -0.8}};
    c.insert(c.end(), out.begin(), out.end());
    c.insert(c.end(), back.begin(), back.end());
    for (const xy p : {xy{0, 0}, xy{3, 0}, xy{3, 3}, xy{0, 3}, xy{0, 0}}) c.push_back(p);
    return c;
}

struct order_row {
    const char* name;
    contour path;
    std::vector<xy> begins;  // the first vertices of the cut
};

// The stretch of the loop that the pass's way back does not run over is gone along from the
// first of its ends that the cut reaches: the part of the loop cut twice follows it, and the cut
// does not run back over its opening (the turn's 0.2 and most of the step after it).
TEST_F(CollapsePassCut, LoopOnAPassIsGoneRoundBeforeItsWayBackIsCutAgain)
{
    const std::vector<order_row> rows = {
        // Back the other way round the loop, the cut begins at the pass's foot at (-1, 0): the loop
        // is gone round once, and only the turn's 0.2 twice.
        {"back the other way round the loop",
         loop_on_a_pass({{-1, 0}}),
         {{-1, 0}, {-2, 0}, {-1.5, -0.8}, {-1.5, -1}, {-1.5, -0.8}, {-1, 0}, {0, 0}}},
        {"back the way it went out",
         loop_on_a_pass({{-2, 0}, {-1, 0}}),
         {{-1.5, -1}, {-1.5, -0.8}, {-2, 0}, {-1, 0}, {0, 0}, {3, 0}}},
    };
    for (const order_row& row : rows) {
        pokarr a = make_from(row.path);
        int status = -1;
        EXPECT_GT(collapse_pass_cut_once(a, kNear, status), kNear) << row.name;
        EXPECT_EQ(status, 0) << row.name;
        ASSERT_GE(a.count, static_cast<int>(row.begins.size())) << row.name;
        for (std::size_t k = 0; k < row.begins.size(); ++k) {
            EXPECT_NEAR(a.x[k], row.begins[k].x, 1e-9) << row.name << ", vertex " << k;
            EXPECT_NEAR(a.y[k], row.begins[k].y, 1e-9) << row.name << ", vertex " << k;
        }
        pokarr_free(a);
    }
}

// A pass of no width along a spine from (0, 0) to (10, 0) and back, with a leg of 1 up and down
// at each of x = 1 .. 9: a turn at each leg's top and at the spine's ends, more than a pass of a
// few turns has.
contour comb()
{
    contour c{{0, 0}};
    for (int x = 1; x <= 9; ++x)
        for (const double y : {0.0, 1.0, 0.0}) c.push_back({static_cast<double>(x), y});
    c.push_back({10, 0});
    c.push_back({0, 0});
    return c;
}

struct entry_row {
    const char* name;
    contour loop;
    std::vector<int> also;     // vertices to try besides the turns
    std::vector<int> entries;  // the vertices it is best entered at, the best first (front ones)
};

TEST_F(CollapsePassCut, EntriesAreTheTurnsAndNamedVerticesThatSaveMostFirst)
{
    const std::vector<entry_row> rows = {
        // Entered at either end, the spine is cut once (saves 5); entered at (2, 0), the cut from
        // (5, 0) runs back over (0, 0) to (2, 0) (saves 3).
        {"pass with a vertex named", {{0, 0}, {2, 0}, {5, 0}, {0, 0}}, {1}, {0, 2, 1}},
        {"pass with no vertex named", {{0, 0}, {2, 0}, {5, 0}, {0, 0}}, {}, {0, 2}},
        {"square without a turn", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, {1}, {}},
        // Entered at the spine's start (or its end, a later vertex), the spine is cut once.
        {"comb of nine legs", comb(), {}, {0}},
    };
    for (const entry_row& row : rows) {
        pokarr a = make_from(row.loop);
        std::vector<int> entries;
        collapse_pass_turns(a, kNear, kDetourPassLimits, row.also, entries);
        ASSERT_GE(entries.size(), row.entries.size()) << row.name;
        if (row.entries.empty()) {
            EXPECT_TRUE(entries.empty()) << row.name;
        }
        for (std::size_t k = 0; k < row.entries.size(); ++k) EXPECT_EQ(entries[k], row.entries[k]) << row.name;
        pokarr_free(a);
    }
}

// Two 10 x 10 rooms joined by a corridor from (0, 0) to (10, 0) that the loop runs along both
// ways, out along y = 0 and back along y = -apart: no turn lies at either end of the corridor. The
// loop is entered at vertex `from` of its cycle.
contour rooms_and_corridor(double apart, std::size_t from)
{
    const std::vector<xy> cycle{{5, 0},      {10, 0}, {10, 5},   {20, 5},  {20, -5}, {10, -5}, {10, -apart},
                                {0, -apart}, {0, -5}, {-10, -5}, {-10, 5}, {0, 5},   {0, 0}};
    contour c;
    for (std::size_t k = 0; k <= cycle.size(); ++k) c.push_back(cycle[(from + k) % cycle.size()]);
    return c;
}

// A lane along y = 0 with `teeth` teeth 0.8 high a step apart, the first 0.1 from the entry at
// (0, 0), closed round above them. Its opening (a step) ends on the first tooth's way back, which
// runs on back over the way up; a lane of more teeth than a pass has turns is cut as it is.
contour comb(int teeth)
{
    contour c{{0, 0}};
    for (int i = 0; i < teeth; ++i) {
        const double x = 0.1 + i;
        for (const xy p : {xy{x, 0}, xy{x, 0.8}, xy{x, 0}}) c.push_back(p);
    }
    for (const xy p : {xy{teeth + 1.0, 0}, xy{teeth + 1.0, 5}, xy{0, 5}, xy{0, 0}}) c.push_back(p);
    return c;
}

// A lane of a packed pocket 0.11 round: from the entry 0.0065 to a turn at the sharp tip, back
// along an arc to the blunt end 0.008 wide and along another to the entry.
contour sliver()
{
    contour c{{1.722895, 5.900302}};
    push_arc(c, 0.613956, -1.0, 2.107347, 6.378987, 1.717840, 5.904406);
    push_arc(c, 0.807617, -1.0, 1.156804, 5.323472, 1.754506, 5.866610);
    c.push_back({1.759479, 5.873091});
    push_arc(c, 0.613956, -1.0, 2.107347, 6.378987, 1.722895, 5.900302);
    return c;
}

// A sliver 0.27 long whose sides part from its tip to 0.0095 at its foot, closed by an arc of
// radius 0.65 there, entered in its left side 0.13 from the tip and cut toward it first.
contour side_entered_sliver()
{
    contour c{{0, 0}, {-0.02749, 0.129766}, {0.036907, -0.129319}};
    push_arc(c, 0.646798, 1.0, 0.062767, -0.7756, 0.02749, -0.129765);
    c.push_back({0, 0});
    return c;
}

struct clean_row {
    const char* name;
    contour path;  // a closed loop from its entry back to it
    bool clean;    // cut from its entry (or from a turn) without running back over its opening
};

TEST_F(CollapsePassCut, CutIsCleanUnlessEnteredInAStretchRunTwiceWithoutATurn)
{
    const std::vector<clean_row> rows = {
        {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, true},
        {"pass of no width entered at its end", {{0, 0}, {5, 0}, {0, 0}}, true},
        {"pass of no width entered at its middle", {{0, 0}, {5, 0}, {-5, 0}, {0, 0}}, true},
        {"corridor entered at its middle", rooms_and_corridor(0.0, 0), false},
        {"corridor's loop entered in a room", rooms_and_corridor(0.0, 3), true},
        {"corridor whose runs stand farther apart than near", rooms_and_corridor(4.0 * kNear, 0), true},
        {"comb entered just before a tooth", comb(static_cast<int>(kDetourPassLimits.turns) + 2), false},
        {"comb of few teeth, cut from a tooth's tip", comb(2), true},
        // Loops of a few hundredths (lanes of packed pockets) entered a little before a turn back:
        // their way back runs along the opening within a few times near of its end.
        {"loop 0.10 round entered 0.024 before its turn back",
         {{0, 0}, {-0.023659, 0}, {-0.003315, -0.003188}, {0.016949, -0.006845}, {0.023659, 0}, {0, 0}},
         false},
        {"loop 0.29 round entered 0.067 before its turn back",
         {{0, 0},
          {0.013698, -0.033423},
          {0.026717, -0.067116},
          {-0.003909, 0.02922},
          {-0.02941, 0.065981},
          {-0.014371, 0.033139},
          {0, 0}},
         false},
        {"loop 0.20 round entered 0.046 before its turn back",
         {{0, 0},
          {-0.023989, -0.039023},
          {-0.013245, -0.023806},
          {-0.001861, -0.00906},
          {0.010142, 0.005185},
          {0.022742, 0.018906},
          {0.035916, 0.032076},
          {0.02267, 0.039803},
          {0, 0}},
         false},
        // A sliver 0.11 round entered 0.0065 from its tip: its sides stand within near of each
        // other for a few hundredths from the tip, and the cut from the turn at the tip runs back
        // along its opening there for more than half of it.
        {"sliver 0.11 round entered beside its tip", sliver(), false},
        // A sliver 0.54 round entered in a side 0.13 from its tip: cut toward the tip, it comes
        // back down the other side within near of its opening for 0.069 of 0.135, a little more
        // than half, which points tested 0.0085 apart counted as 0.067.
        {"sliver 0.54 round entered in a side toward its tip", side_entered_sliver(), false},
        {"square 0.04 round entered in a side",
         {{0, 0}, {0.005, 0}, {0.005, 0.01}, {-0.005, 0.01}, {-0.005, 0}, {0, 0}},
         true},
    };
    for (const clean_row& row : rows) {
        pokarr a = make_from(row.path);
        EXPECT_EQ(collapse_pass_cut_clean(a, kNear), row.clean) << row.name;
        pokarr_free(a);
    }
}

}  // namespace

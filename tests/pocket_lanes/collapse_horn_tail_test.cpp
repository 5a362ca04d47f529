// The part of a horn's tail inside its source built from the tail's own crossings is the part
// the general clip gives: over seeded horns of lines and arcs and tails about them (crossing the
// source, lying inside it, reaching past its walls), whatever the direct build decides holds the
// same loops, entry by entry; what it leaves to the clip is the rare case, not the rule. A ray
// through the source's index tells a point inside or outside as the general inside test does.
#include "lane_test_support.hpp"

#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/collapse_horn_tail.hpp"
#include "pocket_lanes/common_loops.hpp"

#include <cmath>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

class HornTail : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.working_tolerance = 0.001;
    }
};

using entries = std::vector<xy>;

// Appends the element from the last entry to e: a line, or an arc bulging by `sagitta` to the
// right of its chord (to the left when negative).
void add_element(entries& l, xy e, double sagitta)
{
    const xy s = l.back();
    const double dx = e.x - s.x, dy = e.y - s.y, half = 0.5 * std::hypot(dx, dy);
    if (std::fabs(sagitta) < 1.0e-3 || !(half > 0.0)) {
        l.push_back(e);
        return;
    }
    const double h = std::fabs(sagitta), r = (half * half + h * h) / (2.0 * h), side = sagitta > 0.0 ? 1.0 : -1.0;
    // The centre of an arc bulging right lies left of the chord, and the arc runs counter-clockwise.
    const double nx = -dy / (2.0 * half), ny = dx / (2.0 * half);
    const xy c{0.5 * (s.x + e.x) + side * nx * (r - h), 0.5 * (s.y + e.y) + side * ny * (r - h)};
    l.insert(l.end(), {{kArcMarker, 0.0}, {r, side}, c, e});
}

struct horn {
    entries source, piece;
};

// A horn with its tip at the origin opening along +x at half angle a, walls of length 10 (lines,
// or arcs of small sagitta), closed by the far side; and the tail of the walls' offsets by d:
// from their meeting point X back to the feet of the tip on them, closed by the chord, its
// corners moved at random and its walls bent into arcs now and then.
horn make_horn(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double a = 0.15 + 0.9 * unit(rng), d = 0.3 + 1.2 * unit(rng);
    auto bend = [&](double most) { return unit(rng) < 0.4 ? most * (2.0 * unit(rng) - 1.0) : 0.0; };
    auto jitter = [&](xy p) {
        return xy{p.x + 0.05 * d * (2.0 * unit(rng) - 1.0), p.y + 0.05 * d * (2.0 * unit(rng) - 1.0)};
    };
    const double c = std::cos(a), s = std::sin(a);
    horn h;
    h.source = {{0.0, 0.0}};
    add_element(h.source, {10.0 * c, -10.0 * s}, bend(0.4));
    add_element(h.source, {10.0 * c, 10.0 * s}, bend(1.0));
    add_element(h.source, {0.0, 0.0}, bend(0.4));
    // The foot of the tip on the upper wall's offset lies beyond the lower wall when a is below
    // 45 degrees: the tail then crosses the source.
    const xy x = jitter({d / s, 0.0}), upper = jitter({d * s, -d * c}), lower = jitter({d * s, d * c});
    h.piece = {x};
    add_element(h.piece, upper, bend(0.1 * d));
    add_element(h.piece, lower, bend(0.1 * d));
    add_element(h.piece, x, bend(0.1 * d));
    return h;
}

std::vector<entries> loops_of(const loop_buffer& b)
{
    std::vector<entries> out;
    for (int k = 1, first = 0; k <= b.loops; first += b.counts[k++]) {
        entries l;
        for (int i = first; i < first + b.counts[k]; ++i) l.push_back({b.points.x[i], b.points.y[i]});
        out.push_back(l);
    }
    return out;
}

}  // namespace

TEST_F(HornTail, DirectPartIsTheClippedPart)
{
    constexpr unsigned kSeed = 20261208;
    constexpr int kHorns = 400;
    std::mt19937 rng(kSeed);
    int decided = 0, crossed = 0;
    static loop_buffer direct, clipped;
    for (int n = 0; n < kHorns; ++n) {
        const horn h = make_horn(rng);
        pokarr source = make_from(h.source), piece = make_from(h.piece);
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(piece, area, direction);
        if (direction < 0) pokarr_reverse(piece);
        pk_elem_index index;
        pokarr_elem_index(source.count, source.x, source.y, index);
        int direct_crossings = -1, clipped_crossings = -1, status = 0;
        loop_buffer_clear(direct);
        loop_buffer_clear(clipped);
        const bool decides = horn_tail_inside_loops(source, index, piece, direct, direct_crossings, status);
        ASSERT_EQ(status, 0) << "seed " << kSeed << " horn " << n;
        ASSERT_TRUE(comlup_inside_loops(source, piece, clipped, clipped_crossings))
            << "seed " << kSeed << " horn " << n;
        if (decides) {
            ++decided;
            crossed += direct_crossings > 0 ? 1 : 0;
            EXPECT_EQ(direct_crossings, clipped_crossings) << "seed " << kSeed << " horn " << n;
            const std::vector<entries> want = loops_of(clipped), got = loops_of(direct);
            ASSERT_EQ(got.size(), want.size()) << "seed " << kSeed << " horn " << n;
            for (std::size_t k = 0; k < want.size(); ++k) {
                ASSERT_EQ(got[k].size(), want[k].size()) << "seed " << kSeed << " horn " << n;
                for (std::size_t i = 0; i < want[k].size(); ++i) {
                    EXPECT_NEAR(got[k][i].x, want[k][i].x, 1.0e-9)
                        << "seed " << kSeed << " horn " << n << " entry " << i;
                    EXPECT_NEAR(got[k][i].y, want[k][i].y, 1.0e-9)
                        << "seed " << kSeed << " horn " << n << " entry " << i;
                }
            }
        }
        pokarr_free(source);
        pokarr_free(piece);
    }
    loop_buffer_clear(direct);
    loop_buffer_clear(clipped);
    // Most tails are decided directly, crossing the source or not.
    EXPECT_GT(decided, kHorns * 3 / 4);
    EXPECT_GT(crossed, kHorns / 4);
    EXPECT_LT(crossed, decided);
}

TEST_F(HornTail, RayThroughTheIndexTellsInsideAsTheGeneralTest)
{
    constexpr unsigned kSeed = 20261209;
    constexpr int kPoints = 400;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> coordinate(-2.0, 12.0);
    int decided = 0;
    for (int n = 0; n < kPoints / 20; ++n) {
        const horn h = make_horn(rng);
        pokarr source = make_from(h.source);
        pk_elem_index index;
        pokarr_elem_index(source.count, source.x, source.y, index);
        inside_loop general;
        inside_loop_make(source, general);
        for (int k = 0; k < 20; ++k) {
            const double x = coordinate(rng), y = coordinate(rng) - 5.0;
            const ray_side side = horn_tail_point_side(source, index, x, y);
            if (side != ray_side::inside && side != ray_side::outside) continue;
            ++decided;
            int where = kLoopOutside, status = 0;
            pnt_in_inside_loop(x, y, general, where, status);
            EXPECT_EQ(side == ray_side::inside, where == kLoopInside)
                << "seed " << kSeed << " horn " << n << " at " << x << ", " << y;
        }
        pokarr_free(source);
    }
    EXPECT_GT(decided, kPoints * 9 / 10);
}

namespace {

// A source of one arc crossed twice by a small triangle: the two crossings lie on that arc, and
// the direct build must order them along it as the clip does, wherever they lie round its
// centre (across the axes, across the turn from the last quadrant to the first) and whichever
// way the arc runs. With its sides bent into arcs, the triangle's circles also cross the source's
// circle off both arcs: those crossings are no crossings of the loops.
struct arc_crossing_row {
    const char* name;
    bool bite;          // the arc runs clockwise, a bite out of a square; else half of a disc
    double where;       // the disc: the direction (degrees) of the crossings; the bite: their x
    double bend = 0.0;  // the sagitta of the triangle's sides (0: lines)
};

void PrintTo(const arc_crossing_row& row, std::ostream* os) { *os << row.name; }

horn arc_crossed(const arc_crossing_row& row)
{
    constexpr double kPi = 3.14159265358979323846;
    horn h;
    xy inner{}, first{}, second{};
    if (row.bite) {
        // A square of side 20 whose top is a bite 4 deep: a circle of radius 14.5 about (0, 20.5).
        h.source = {{-10.0, -10.0}, {10.0, -10.0}, {10.0, 10.0}};
        add_element(h.source, {-10.0, 10.0}, -4.0);
        add_element(h.source, {-10.0, -10.0}, 0.0);
        const auto arc_y = [](double x) { return 20.5 - std::sqrt(14.5 * 14.5 - x * x); };
        inner = {row.where, arc_y(row.where) - 1.5};
        first = {row.where + 1.0, arc_y(row.where) + 1.5};
        second = {row.where - 1.0, arc_y(row.where) + 1.5};
    } else {
        // A disc of radius 5 as two half circles, the first centred on the crossings' direction.
        const double t = row.where * kPi / 180.0, q = 0.5 * kPi, side = 15.0 * kPi / 180.0;
        const auto at = [](double r, double a) { return xy{r * std::cos(a), r * std::sin(a)}; };
        h.source = {at(5.0, t - q)};
        add_element(h.source, at(5.0, t + q), 5.0);
        add_element(h.source, at(5.0, t - q), 5.0);
        inner = at(3.5, t), first = at(6.0, t - side), second = at(6.0, t + side);
    }
    h.piece = {inner};
    add_element(h.piece, first, row.bend);
    add_element(h.piece, second, row.bend);
    add_element(h.piece, inner, row.bend);
    return h;
}

class HornTailArcCrossings : public HornTail, public ::testing::WithParamInterface<arc_crossing_row> {};

}  // namespace

TEST_P(HornTailArcCrossings, DirectPartIsTheClippedPart)
{
    const horn h = arc_crossed(GetParam());
    pokarr source = make_from(h.source), piece = make_from(h.piece);
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(piece, area, direction);
    if (direction < 0) pokarr_reverse(piece);
    pk_elem_index index;
    pokarr_elem_index(source.count, source.x, source.y, index);
    static loop_buffer direct, clipped;
    loop_buffer_clear(direct);
    loop_buffer_clear(clipped);
    int direct_crossings = -1, clipped_crossings = -1, status = 0;
    ASSERT_TRUE(horn_tail_inside_loops(source, index, piece, direct, direct_crossings, status));
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(comlup_inside_loops(source, piece, clipped, clipped_crossings));
    EXPECT_EQ(direct_crossings, 2);
    EXPECT_EQ(clipped_crossings, 2);
    const std::vector<entries> want = loops_of(clipped), got = loops_of(direct);
    ASSERT_EQ(want.size(), 1u);
    ASSERT_EQ(got.size(), want.size());
    ASSERT_EQ(got[0].size(), want[0].size());
    for (std::size_t i = 0; i < want[0].size(); ++i) {
        EXPECT_NEAR(got[0][i].x, want[0][i].x, 1.0e-9) << "entry " << i;
        EXPECT_NEAR(got[0][i].y, want[0][i].y, 1.0e-9) << "entry " << i;
    }
    loop_buffer_clear(direct);
    loop_buffer_clear(clipped);
    pokarr_free(source);
    pokarr_free(piece);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HornTailArcCrossings,
    ::testing::Values(arc_crossing_row{"DiscAtZero", false, 0.0}, arc_crossing_row{"DiscAt40", false, 40.0},
                      arc_crossing_row{"DiscAt90", false, 90.0}, arc_crossing_row{"DiscAt180", false, 180.0},
                      arc_crossing_row{"DiscAt250", false, 250.0}, arc_crossing_row{"DiscAt315", false, 315.0},
                      arc_crossing_row{"BiteMiddle", true, 0.0}, arc_crossing_row{"BiteLeft", true, -4.0},
                      arc_crossing_row{"BiteRight", true, 4.0}, arc_crossing_row{"BentDiscAt40", false, 40.0, 0.2},
                      arc_crossing_row{"BentDiscAt250", false, 250.0, -0.2},
                      arc_crossing_row{"BentBiteLeft", true, -4.0, 0.3}),
    [](const ::testing::TestParamInfo<arc_crossing_row>& info) { return std::string(info.param.name); });

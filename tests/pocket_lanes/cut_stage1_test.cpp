// Stage 1 of the cutting order on lane tables built by hand: where a chain's entry candidates
// start and how they go on when a candidate is refused.
#include "engine_test_support.hpp"

#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/entry_rays.hpp"
#include "pocket_lanes/moves/segment_clearance.hpp"

#include <bit>
#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

class CutStage1 : public EngineTest {
protected:
    static int add(int lane_status, int level, int parent, const contour& c)
    {
        pokarr a = make_from(c);
        int status = 0;
        lane_add(lane_status, level, parent, 0, 0, 1.0, kContourPart, a, status);
        pokarr_free(a);
        EXPECT_EQ(status, 0);
        return lane_table_block.count;
    }
    static int run_stage(int offsets_mode)
    {
        pocket_box_block.first_output_lane = lane_table_block.count + 1;
        int branches = 0, status = -7;
        cut_stage1(0, 1.0, 1, offsets_mode, cut_stage_block.entries, nullptr, branches, status);
        return status;
    }
};

// Small squares across the rays from the middles of the sides of the 10..30 x 10..20 lane to its
// parent one further out: every candidate at parameter 0.5 meets an island on its way.
std::vector<contour> blockers()
{
    const double h = 0.2;
    return {rectangle(20 - h, 9.5 - h, 20 + h, 9.5 + h), rectangle(30.5 - h, 15 - h, 30.5 + h, 15 + h),
            rectangle(20 - h, 20.5 - h, 20 + h, 20.5 + h), rectangle(9.5 - h, 15 - h, 9.5 + h, 15 + h)};
}

// The parameter of the first candidate taken: 0.5 on an outer chain, 0.59 once every side's 0.5
// is refused, 0.56 on an island chain.
TEST_F(CutStage1, EntryCandidatesStartAtTheMiddleAndStepOnWhenRefused)
{
    struct row {
        const char* name;
        bool blocked;
        bool island;
        double param;
    };
    const std::vector<row> rows = {
        {"outer chain", false, false, 0.5},
        {"outer chain, every 0.5 refused", true, false, 0.59},
        {"island chain", false, true, 0.56},
    };
    for (const row& r : rows) {
        to_load_state();
        const std::vector<contour> islands = r.blocked ? blockers() : std::vector<contour>{};
        const int base = r.island ? kLevelIsland + 1 : 1;
        // The contours, then two offsets of the chain's contour and the closing lane.
        add(0, 1, 0, rectangle(0, 0, 40, 30));
        int island_level = kLevelIsland;
        for (const contour& c : islands) add(0, ++island_level, 0, c);
        // An island's offsets grow away from it: the parent of the chain's lane lies inside it.
        if (r.island) add(0, base, 0, rectangle(12, 12, 28, 18));
        lane_table_block.island_count = lane_table_block.count - 1;
        const int contour_lane = r.island ? lane_table_block.count : 1;
        const int outer = add(1, base, contour_lane, r.island ? rectangle(11, 11, 29, 19) : rectangle(9, 9, 31, 21));
        const int first = add(2, base, outer, rectangle(10, 10, 30, 20));
        const int closing = add(-3, base, first, {});
        ASSERT_EQ(run_stage(99), 0) << r.name;
        const cut_entry_tables& e = cut_stage_block.entries;
        EXPECT_NE(e.element[closing], 0) << r.name;
        EXPECT_NEAR(e.param[closing], r.param, 1e-12) << r.name;
        EXPECT_NE(e.element[first], 0) << r.name << ": the chain passes into its parent";
    }
}

// A ray meeting a parent arc at 45 degrees to its radius: the angle check refuses it, without the
// check it is met; stage 1 takes the refused hit only in its relaxed pass or from a wider ray,
// and outside offsets mode 1 only.
TEST_F(CutStage1, ObliqueHitOnAParentArcIsTakenOnlyWhenRelaxed)
{
    const int round = add(1, 1, 0, circle(0, 0, 10));
    // The ray (1, -1) from (0.5, -7.5) meets the circle at (0.5 + a, -7.5 - a).
    const double a = -4.0 + std::sqrt(37.75);
    const double back[3] = {0.5, -7.5, 0.0}, end[3] = {0.5 + 100.0, -7.5 - 100.0, 0.0};
    for (const int check : {1, 0}) {
        int result = 0, element = 0;
        double hit[3] = {}, param = 0.0;
        entry_hit_on_parent(round, back, end, check, result, hit, param, element);
        EXPECT_EQ(result, check == 1 ? -1 : 1) << check;
        EXPECT_NEAR(hit[0], 0.5 + a, 1e-9) << check;
        EXPECT_NEAR(hit[1], -7.5 - a, 1e-9) << check;
    }
    struct row {
        int offsets_mode, result;
        bool relaxed, wider, taken;
    };
    const std::vector<row> rows = {
        {99, 1, false, false, true}, {99, -1, false, false, false}, {99, -1, true, false, true},
        {99, -1, false, true, true}, {99, 0, true, true, false},    {1, -1, false, false, true},
        {1, 1, false, false, true},  {1, 0, true, true, false},
    };
    for (const row& r : rows)
        EXPECT_EQ(entry_hit_taken(r.offsets_mode, r.result, r.relaxed, r.wider), r.taken)
            << r.offsets_mode << " " << r.result << " " << r.relaxed << " " << r.wider;
}

// A nest of 30 lanes whose rays at parameter 0.5 are all refused at the top (islands between the
// two outermost lanes) walks up the nest again from its innermost lane for each: the lanes read
// again, kept or read afresh, still give every lane's entry on its own parent.
TEST_F(CutStage1, NestWalkedAgainEntersEachLaneOnItsParent)
{
    constexpr int kNest = 30;
    add(0, 1, 0, rectangle(0, 0, 100, 80));
    const double h = 0.2;
    int island_level = kLevelIsland;
    for (const contour& c :
         {rectangle(50 - h, 1.5 - h, 50 + h, 1.5 + h), rectangle(98.5 - h, 40 - h, 98.5 + h, 40 + h),
          rectangle(50 - h, 78.5 - h, 50 + h, 78.5 + h), rectangle(1.5 - h, 40 - h, 1.5 + h, 40 + h)})
        add(0, ++island_level, 0, c);
    lane_table_block.island_count = lane_table_block.count - 1;
    std::vector<int> nest{1};
    for (int k = 1; k <= kNest; ++k) nest.push_back(add(k, 1, nest.back(), rectangle(k, k, 100 - k, 80 - k)));
    const int closing = add(-(kNest + 1), 1, nest.back(), {});
    ASSERT_EQ(run_stage(99), 0);
    const cut_entry_tables& e = cut_stage_block.entries;
    EXPECT_NEAR(e.param[closing], 0.59, 1e-12);
    const auto on_side = [](double v, double low, double high) { return v > low - 1e-9 && v < high + 1e-9; };
    for (int k = 2; k <= kNest; ++k) {
        const int lane = nest[static_cast<std::size_t>(k)];
        const double x = e.x[lane], y = e.y[lane], p = k - 1;  // the parent is rectangle(p, p, 100 - p, 80 - p)
        ASSERT_NE(e.element[lane], 0) << "lane " << k;
        const bool on_parent = ((std::abs(x - p) < 1e-9 || std::abs(x - (100 - p)) < 1e-9) && on_side(y, p, 80 - p)) ||
                               ((std::abs(y - p) < 1e-9 || std::abs(y - (80 - p)) < 1e-9) && on_side(x, p, 100 - p));
        EXPECT_TRUE(on_parent) << "lane " << k << " enters at (" << x << ", " << y << ")";
    }
}

// A lane whose sides all meet its parent aslant: a collapse lane takes the hit of its first ray
// (the right-hand normal from the middle of its first side, (15, 12) along (0.4, -1), meets the
// parent's bottom at x = 19.4), any other lane sweeps every square try and then takes the point of
// the parent nearest to that middle.
TEST_F(CutStage1, CollapseLaneEntersWhereItsFirstRayMeetsTheParentAtAnyAngle)
{
    struct row {
        const char* name;
        int contour_type;
        double x, y;
    };
    const std::vector<row> rows = {
        {"collapse lane", kContourCollapse, 19.4, 1.0},
        {"part lane", kContourPart, 15.0, 1.0},
    };
    for (const row& r : rows) {
        to_load_state();
        add(0, 1, 0, rectangle(0, 0, 40, 30));
        lane_table_block.island_count = 0;
        const int outer = add(1, 1, 1, rectangle(1, 1, 39, 29));
        const int first = add(2, 2, outer, {{10, 10}, {20, 14}, {12, 20}, {10, 10}});
        lane_table_block.contour_type[first] = r.contour_type;
        const int closing = add(-3, 2, first, {});
        pocket_box_block.first_output_lane = lane_table_block.count + 1;
        int branches = 0, status = -7;
        // A side step long enough for every move from the triangle to the parent.
        cut_stage1(0, 20.0, 1, 99, cut_stage_block.entries, nullptr, branches, status);
        ASSERT_EQ(status, 0) << r.name;
        const cut_entry_tables& e = cut_stage_block.entries;
        EXPECT_EQ(e.element[closing], 1) << r.name;
        EXPECT_NEAR(e.param[closing], 0.5, 1e-12) << r.name;
        EXPECT_NE(e.element[first], 0) << r.name;
        EXPECT_NEAR(e.x[first], r.x, 1e-9) << r.name;
        EXPECT_NEAR(e.y[first], r.y, 1e-9) << r.name;
    }
}

// A ray given with its clearance segment (as stage 1 lays one ray on many parents) meets a lane
// exactly where the same ray made afresh does: result, point, parameter and element to the bit,
// with and without the angle check, for hits on lines and arcs, refused ones, misses and a ray
// without length.
TEST_F(CutStage1, EntryHitIsTheSameWithTheRayGiven)
{
    struct row {
        const char* name;
        contour lane;
        double back[3], end[3];
    };
    const std::vector<row> rows = {
        {"square across a side", rectangle(0, 0, 10, 10), {5, 5, 0}, {5, -1e4, 0}},
        {"square at a slant", rectangle(0, 0, 10, 10), {3, 4, 0}, {3 + 7e3, 4 + 7e3, 0}},
        {"circle along a radius", circle(0, 0, 10), {1, 1, 0}, {1 + 7e3, 1 + 7e3, 0}},
        {"circle aslant", circle(0, 0, 10), {0.5, -7.5, 0}, {100.5, -107.5, 0}},
        {"missing the lane", rectangle(0, 0, 10, 10), {20, 20, 0}, {30, 40, 0}},
        {"ray without length", rectangle(0, 0, 10, 10), {5, 5, 0}, {5, 5, 0}},
    };
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    for (const row& r : rows) {
        pokarr lane = make_from(r.lane);
        const clearance_segment ray = make_clearance_segment(r.back, r.end);
        for (const int check : {1, 0}) {
            int result[2] = {}, element[2] = {};
            double hit[2][3] = {}, param[2] = {};
            entry_hit_on_lane(lane, nullptr, r.back, r.end, check, result[0], hit[0], param[0], element[0]);
            entry_hit_on_lane(lane, nullptr, r.back, r.end, check, result[1], hit[1], param[1], element[1], &ray);
            EXPECT_EQ(result[1], result[0]) << r.name << " check " << check;
            EXPECT_EQ(element[1], element[0]) << r.name << " check " << check;
            EXPECT_TRUE(same(param[1], param[0])) << r.name << " check " << check;
            for (int c = 0; c < 3; ++c) EXPECT_TRUE(same(hit[1][c], hit[0][c])) << r.name << " check " << check;
        }
        pokarr_free(lane);
    }
}

// A ray searched first as far as its reach finds what the whole search finds, to the bit, however
// far the reach (short of the hit, at it, beyond it): over seeded stars of many lines and arcs,
// enough for many groups of their box tables, and rays from within and without them. Told that
// nothing beyond the reach matters, it finds the same hit, or none where that hit lies beyond.
TEST_F(CutStage1, EntryHitIsTheSameWhateverTheReach)
{
    const unsigned seed = 5150;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double pi = std::acos(-1.0);
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    auto boxes = std::make_unique<pk_box_table>();
    int near = 0, beyond = 0;
    // A lane whose first group runs along the ray's start and crosses the ray far out, while the
    // later groups cross it nearer: the near search finds a crossing, and not the first one.
    const contour comb{{-3, 5e-5}, {0.5, 5e-5}, {0.6, 8}, {20, -3}, {9, -3},
                       {9, 2},     {8, 2},      {8, -4},  {-3, -4}, {-3, 5e-5}};
    for (int trial = -1; trial < 60; ++trial) {
        // A star of 40 to 200 corners, every third side an arc bulging out by a tenth of its chord.
        const int corners = 40 + static_cast<int>(unit(random) * 160.0);
        contour star = trial < 0 ? comb : contour{};
        for (int k = 0; k <= corners && trial >= 0; ++k) {
            const double a = 2.0 * pi * (k % corners) / corners, r = k == corners ? 0.0 : 8.0 + 4.0 * unit(random);
            const xy p = k == corners ? star.front() : xy{r * std::cos(a), r * std::sin(a)};
            if (k % 3 != 2 || k == 0) {
                star.push_back(p);
                continue;
            }
            const xy q = star.back(), m{0.5 * (q.x + p.x), 0.5 * (q.y + p.y)};
            const double chord = std::hypot(p.x - q.x, p.y - q.y), sag = 0.1 * chord, half = 0.5 * chord;
            const double radius = (half * half + sag * sag) / (2.0 * sag), inward = radius - sag;
            const double nx = (p.y - q.y) / chord, ny = -(p.x - q.x) / chord;  // outward of a counter-clockwise side
            push_arc(star, radius, 1.0, m.x - inward * nx, m.y - inward * ny, p.x, p.y);
        }
        pokarr lane = make_from(star);
        pokarr_get_boxes(lane, *boxes);
        for (int ray_no = 0; ray_no < 20; ++ray_no) {
            double a = 2.0 * pi * unit(random), from = 16.0 * unit(random), d = 2.0 * pi * unit(random);
            if (trial < 0) a = d = from = 0.0;
            const double back[3] = {from * std::cos(a), from * std::sin(a), 0.0};
            const double end[3] = {back[0] + 1e4 * std::cos(d), back[1] + 1e4 * std::sin(d), 0.0};
            int result[2] = {}, element[2] = {};
            double hit[2][3] = {}, param[2] = {};
            entry_hit_on_lane(lane, boxes.get(), back, end, 1, result[0], hit[0], param[0], element[0]);
            const double at = result[0] != 0 ? std::hypot(hit[0][0] - back[0], hit[0][1] - back[1]) : 10.0;
            for (const double within : {1.0, 0.5 * at, at - 1e-9, at, at + 1e-9, at + 3.0, 30.0}) {
                entry_hit_on_lane(lane, boxes.get(), back, end, 1, result[1], hit[1], param[1], element[1], nullptr,
                                  within);
                const std::string where = "seed " + std::to_string(seed) + " trial " + std::to_string(trial) + " ray " +
                                          std::to_string(ray_no) + " within " + std::to_string(within);
                EXPECT_EQ(result[1], result[0]) << where;
                EXPECT_EQ(element[1], element[0]) << where;
                EXPECT_TRUE(same(param[1], param[0])) << where;
                for (int c = 0; c < 3; ++c) EXPECT_TRUE(same(hit[1][c], hit[0][c])) << where;
                // A caller to whom nothing beyond the reach matters gets the same hit, or none when
                // the whole search's first hit lies beyond the reach.
                entry_hit_on_lane(lane, boxes.get(), back, end, 1, result[1], hit[1], param[1], element[1], nullptr,
                                  within, true);
                if (element[1] == 0 && result[0] != 0) {
                    EXPECT_GT(at, within) << where;
                    ++beyond;
                    continue;
                }
                EXPECT_EQ(result[1], result[0]) << where;
                EXPECT_EQ(element[1], element[0]) << where;
                for (int c = 0; c < 3; ++c) EXPECT_TRUE(same(hit[1][c], hit[0][c])) << where;
            }
            if (result[0] != 0) ++near;
        }
        pokarr_free(lane);
    }
    EXPECT_GT(near, 600) << "seed " << seed;
    EXPECT_GT(beyond, 600) << "seed " << seed;
}

// The path a chain cut opens from a lane is the lane restarted at its entry and cleaned in full:
// short elements dropped, and on later offsets the arc tidy passes and a second drop, to the bit,
// whether the entry leaves a short element, the lane holds a short arc, or neither.
TEST_F(CutStage1, ChainCutPathIsTheRestartedLaneCleanedInFull)
{
    contour rounded = {{0, 0}, {10, 0}, {10, 9.99}};
    push_arc(rounded, 0.01, 1.0, 9.99, 9.99, 9.99, 10);
    rounded.insert(rounded.end(), {{0, 10}, {0, 0}});
    struct row {
        const char* name;
        contour lane;
        int lane_status;
        double x, y, param;
    };
    const std::vector<row> rows = {
        {"square, entry mid-side", rectangle(0, 0, 10, 10), 2, 5, 0, 0.5},
        {"square, entry a hair from a corner", rectangle(0, 0, 10, 10), 2, 10 - 5e-5, 0, 1 - 5e-6},
        {"short arc at a corner", rounded, 2, 5, 0, 0.5},
        {"first offset, short arc", rounded, 1, 5, 0, 0.5},
    };
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    for (const row& r : rows) {
        const int lane = add(r.lane_status, 1, 0, r.lane);
        const int holder = lane + 1;
        cut_entry_tables& t = cut_stage_block.entries;
        t.element[holder] = 1;
        t.x[holder] = r.x;
        t.y[holder] = r.y;
        t.param[holder] = r.param;
        pokarr expected, path;
        pokarr_init(2, expected);
        pokarr_init(2, path);
        int status = 0;
        lane_to_pokarr(lane, expected, status);
        double x = r.x, y = r.y;
        pokarr_restart_at(expected, 1, kRestartAtPoint, r.param, x, y, status);
        pokarr_drop_short(expected);
        if (r.lane_status >= 2) {
            pokarr_tidy_pass1(expected);
            pokarr_tidy_pass2(expected);
            pokarr_drop_short(expected);
        }
        open_chain_lane(holder, lane, 1, t, path, status);
        EXPECT_EQ(status, 0) << r.name;
        ASSERT_EQ(path.count, expected.count) << r.name;
        for (int i = 0; i < path.count; ++i)
            EXPECT_TRUE(same(path.x[i], expected.x[i]) && same(path.y[i], expected.y[i])) << r.name << " entry " << i;
        pokarr_free(expected);
        pokarr_free(path);
    }
}

// A live lane that no chain reaches (an island's offset without a closing lane) is left out of
// the cut: the stages fail with code 51 instead of reporting a pocket cut in part as done, in the
// single-offset chains and in the linked path alike.
TEST_F(CutStage1, LiveLaneNoChainReachesFailsTheCut)
{
    struct row {
        int multi_offset;
        bool orphan;
        int status;
    } rows[] = {{0, false, 0}, {0, true, kEngineCannotLink}, {1, false, 0}, {1, true, kEngineCannotLink}};
    for (const row& r : rows) {
        to_load_state();
        pocket_state_block.multi_offset = r.multi_offset;
        add(0, 1, 0, rectangle(0, 0, 40, 30));
        const int island = add(0, kLevelIsland + 1, 0, reversed(rectangle(18, 13, 22, 17)));
        lane_table_block.island_count = pocket_box_block.island_count = 1;
        const int offset = add(1, 1, 1, rectangle(1, 1, 39, 29));
        add(-2, 1, offset, {});
        if (r.orphan) add(1, kLevelIsland + 1, island, reversed(rectangle(17, 12, 23, 18)));
        int status = -7;
        cut_pocket_stages(0, 1.0, 0.0, 1, 99, status);
        EXPECT_EQ(status, r.status) << "multi-offset " << r.multi_offset << ", orphan " << r.orphan;
    }
}

// A chain whose parent lies on another branch and out of reach tries other parents in the table's
// order: it enters the first one within a step of it, past the far ones listed before; with none
// within reach, the last one tried gives the shortest refused step, which the chain takes.
TEST_F(CutStage1, ChainFarFromItsParentEntersTheNearOtherParentOrTheLastOnesBestStep)
{
    for (const bool near : {true, false}) {
        to_load_state();
        add(0, 1, 0, rectangle(0, 0, 100, 100));
        lane_table_block.island_count = 0;
        const int outer = add(1, 1, 1, rectangle(1, 1, 99, 99));
        const int parent = add(2, 1, outer, rectangle(60, 60, 70, 70));
        int last = 0;
        for (const contour& far : {rectangle(80, 10, 85, 15), rectangle(40, 80, 45, 85), rectangle(85, 30, 90, 35)})
            last = add(2, 1, outer, far);
        const int around = near ? add(2, 1, outer, rectangle(9, 9, 21, 21)) : last;
        const int first = add(3, 2, parent, rectangle(10, 10, 20, 20));
        const int closing = add(-4, 2, first, {});
        ASSERT_EQ(run_stage(99), 0) << near;
        const cut_entry_tables& e = cut_stage_block.entries;
        EXPECT_NE(e.element[closing], 0) << near;
        EXPECT_NE(e.element[first], 0) << near;
        EXPECT_EQ(std::abs(lane_table_block.parent[first]), around) << near;
        if (near) {
            EXPECT_NEAR(std::hypot(e.x[first] - e.x[closing], e.y[first] - e.y[closing]), 1.0, 1e-9);
        }
    }
}

}  // namespace

// The lanes read back for others: the region to clean as polygons, the path collected as point
// strings for another caller, with the engine set up and its state saved around such a run.
#include "contour_test_support.hpp"

#include "host/control/memory.hpp"
#include "pocket/clean_region.hpp"
#include "pocket/lane_arc_points.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/npkini.hpp"
#include "pocket/pocket_driver_setup.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

namespace control = vantu::control;

constexpr double kMarker = 1.0e25;

class LaneReaders : public ContourTest {
protected:
    void SetUp() override
    {
        ContourTest::SetUp();
        int status = 0;
        POKREL(0, status);
        pocket_state_block.pocket_dimension = 2;
        lane_table_reset();
        pocket_box_block.first_output_lane = 1;
        int size = 1000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        pkdm_rel_all();
        ContourTest::TearDown();
    }
    // Appends a lane of the entries (x, y pairs; arcs as marker records).
    static void lane(const std::vector<std::array<double, 2>>& entries, int lane_status = 1, int level = 1)
    {
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        for (const auto& e : entries) pokarr_add_pnt(e.data(), a, status);
        lane_add(lane_status, level, 0, 0, 0, 0.0, 0, a, status);
        pokarr_free(a);
        ASSERT_EQ(status, 0);
    }
    // A full circle of radius r about (cx, cy) as two half-turn arc records, counter-clockwise
    // (direction -1: clockwise).
    static std::vector<std::array<double, 2>> circle(double cx, double cy, double r, double direction = 1.0)
    {
        return {{cx + r, cy}, {kMarker, 0},   {r, direction}, {cx, cy},    {cx - r, cy},
                {kMarker, 0}, {r, direction}, {cx, cy},       {cx + r, cy}};
    }
    static std::vector<std::array<float, 2>> polygon(int n)
    {
        int count = 0, status = 0;
        polbuf_get_np(n, count, status);
        std::vector<std::array<float, 2>> points;
        for (int i = 1; i <= count; ++i) {
            float x = 0, y = 0;
            polbuf_get_point(n, i, x, y, status);
            points.push_back({x, y});
        }
        return points;
    }
    // Builds the region to clean within d: the status and the polygon count.
    static std::pair<int, int> built(float d)
    {
        int status = -9, npol = -1, counted = 0;
        build_clean_region(d, status);
        polbuf_get_npol(npol, counted);
        return {status, npol};
    }
};

TEST_F(LaneReaders, CleanRegionHasOnePolygonPerLiveLaneReversed)
{
    lane({{0, 0}, {10, 0}, {10, 10}}, 1, kLevelSeparator);
    lane({{0, 0}, {5, 0}}, 0, 1);
    EXPECT_EQ(built(0.01f), std::make_pair(1, 0)) << "no live lane: nothing to clean";

    lane({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    lane(circle(50, 50, 10));
    ASSERT_EQ(built(0.01f), std::make_pair(0, 2));
    // The last lane first: the circle, walked clockwise in steps of at most 2 acos(0.999).
    const auto ring = polygon(1);
    ASSERT_GT(ring.size(), 70u);
    const double largest = 2.0 * std::acos(1.0 - 0.01 / 10.0);
    EXPECT_NEAR(largest, 0.08945, 1e-5);
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const double a0 = std::atan2(ring[i][1] - 50.0, ring[i][0] - 50.0);
        const double a1 = std::atan2(ring[i + 1][1] - 50.0, ring[i + 1][0] - 50.0);
        double step = std::remainder(a1 - a0, 2 * std::numbers::pi);
        EXPECT_NEAR(std::hypot(ring[i][0] - 50.0, ring[i][1] - 50.0), 10.0, 1e-4) << i;
        EXPECT_LT(step, 0.0) << "against the arc's direction, at " << i;
        EXPECT_LE(-step, largest + 1e-6) << i;
    }
    const auto square = polygon(2);
    ASSERT_GE(square.size(), 4u);
    EXPECT_EQ(square.front(), (std::array<float, 2>{0, 0}));
    EXPECT_EQ(square[1], (std::array<float, 2>{0, 10})) << "the lane's points in reverse order";
}

TEST_F(LaneReaders, AnIslandsChordsStandOutsideItWhicheverWayTheLanesRun)
{
    // The engine keeps the region on the left of all its lanes, or on the right of all of them
    // when the cutting direction is reversed: the island's polygon stands outside its circle
    // either way, and the outer lane's polygon never reaches beyond it.
    struct row {
        const char* what;
        std::vector<std::array<double, 2>> outer;
        double island_direction;
        double outer_reach;  // the farthest the outer lane comes from (50, 50)
    };
    const row rows[] = {
        {"region on the left", {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}, -1.0, 50.0 * std::sqrt(2.0)},
        {"region on the right", {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}}, 1.0, 50.0 * std::sqrt(2.0)},
        {"round, region on the left", circle(50, 50, 60), -1.0, 60.0},
        {"round, region on the right", circle(50, 50, 60, -1.0), 1.0, 60.0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        lane_table_reset();
        lane(r.outer);
        lane(circle(50, 50, 10, r.island_direction));
        ASSERT_EQ(built(0.1f), std::make_pair(0, 2));
        const auto ring = polygon(1);
        ASSERT_GT(ring.size(), 4u);
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const auto& a = ring[i];
            const auto& b = ring[(i + 1) % ring.size()];
            const double dx = b[0] - a[0], dy = b[1] - a[1], length2 = dx * dx + dy * dy;
            const double t =
                length2 > 0 ? std::clamp(((50.0 - a[0]) * dx + (50.0 - a[1]) * dy) / length2, 0.0, 1.0) : 0.0;
            EXPECT_GE(std::hypot(a[0] + t * dx - 50.0, a[1] + t * dy - 50.0), 10.0 - 1e-4) << "chord " << i;
            EXPECT_LE(std::hypot(a[0] - 50.0, a[1] - 50.0), 10.1 + 1e-4) << "corner " << i;
        }
        for (const auto& corner : polygon(2))
            EXPECT_LE(std::hypot(corner[0] - 50.0, corner[1] - 50.0), r.outer_reach + 1e-4);
    }
}

TEST_F(LaneReaders, PathStringsRunAgainstTheLanesWithinTheirCapacities)
{
    lane({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    lane({{20, 0}, {30, 0}, {30, 10}}, 1, kLevelSeparator);
    lane(circle(50, 50, 10));
    std::vector<float> points(2 * 1000);
    std::vector<int> counts(4, 0);
    int strings = 4, status = 0;
    pocket_path_collect(0.01f, 1000, points.data(), strings, counts.data(), status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(strings, 2);
    const int circle_points = counts[0];
    EXPECT_GT(circle_points, 70);
    EXPECT_FLOAT_EQ(points[2 * circle_points], 0.0f) << "the square follows, from its end";
    EXPECT_FLOAT_EQ(points[2 * circle_points + 3], 10.0f);

    struct row {
        const char* what;
        int point_capacity, string_room, status, strings;
    };
    const int all = circle_points + counts[1];
    const row rows[] = {
        {"every point fits exactly", all, 4, 0, 2},
        {"one point short", all - 1, 4, -11, 2},
        {"one string short", all, 1, -10, 1},
    };
    for (const row& r : rows) {
        strings = r.string_room;
        pocket_path_collect(0.01f, r.point_capacity, points.data(), strings, counts.data(), status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(strings, r.strings) << r.what;
    }
    lane_table_reset();
    strings = 4;
    pocket_path_collect(0.01f, 1000, points.data(), strings, counts.data(), status);
    EXPECT_EQ(status, 1) << "no lane, no string";
}

TEST_F(LaneReaders, LongLanesUseHostWorkArrays)
{
    for (const int n : {7000, 7001}) {
        lane_table_reset();
        std::vector<std::array<double, 2>> zigzag;
        for (int i = 0; i < n; ++i) zigzag.push_back({static_cast<double>(i), static_cast<double>(i % 2)});
        lane(zigzag);
        control::set_tracing(true);
        const long opened = control::call_count("MM_OPEN_ARRAY");
        std::vector<float> points(2 * 8000);
        int counts[1] = {0}, strings = 1, status = 0;
        pocket_path_collect(0.01f, 8000, points.data(), strings, counts, status);
        EXPECT_EQ(status, 0) << n;
        EXPECT_EQ(counts[0], n) << n;
        EXPECT_EQ(control::call_count("MM_OPEN_ARRAY") - opened, n > 7000 ? 2 : 0) << n;
    }
}

TEST_F(LaneReaders, OtherCallersSetUpAndTheStateComesBack)
{
    pocket_state_block.offsets_mode = 99;
    pocket_work_block.offsets[kOuterSlot] = 7.0;
    save_restore_pocket(1);
    struct row {
        int direction_switch, offsets_mode;
    };
    for (const row& r : {row{0, -1}, row{1, 1}, row{2, -2}, row{5, -2}}) {
        const float levels[3] = {0.5f, 1.5f, 2.5f};
        int status = -9;
        init_pocket_globals(r.direction_switch, 1, 0.25f, 0.02f, 3, levels, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(pocket_state_block.offsets_mode, r.offsets_mode) << r.direction_switch;
        EXPECT_EQ(pocket_work_block.offsets[kOuterSlot], 0.5);
        EXPECT_EQ(pocket_work_block.offsets[kIslandSlotBase], 1.5);
        EXPECT_EQ(pocket_work_block.offsets[kIslandSlotBase + 1], 2.5);
        EXPECT_EQ(pocket_work_block.side_step, 0.0) << "no current tool: no width";
        EXPECT_FLOAT_EQ(static_cast<float>(pocket_state_block.minimum_value), 0.25f);
        EXPECT_EQ(pocket_state_block.pocket_dimension, 2);
    }
    int status = 0;
    init_pocket_globals(0, 0, 0.25f, 0.02f, kMostIslands + 2, nullptr, status);
    EXPECT_EQ(status, -1);
    save_restore_pocket(2);
    EXPECT_EQ(pocket_state_block.offsets_mode, 99);
    EXPECT_EQ(pocket_work_block.offsets[kOuterSlot], 7.0);
}

TEST(LaneArcPoints, ChordsKeepToTheRegionsSideWithinTheDistance)
{
    // An arc bending towards the region (counter-clockwise with the region on the lane's left,
    // clockwise with it on the right) keeps its points on it. An arc bending away: its polygon
    // stands outside it, its chords touching it.
    struct row {
        double radius, distance, sweep;
        int direction;
        bool region_left;
    };
    const row rows[] = {
        {10, 0.01, 2.0, 1, true},    {10, 0.01, 2.0, -1, true},  {3, 0.1, 3.1, 1, true},   {0.5, 0.1, 3.0, -1, true},
        {100, 0.005, 0.3, -1, true}, {0.05, 1.0, 3.0, -1, true}, {8, 0.1, 1e-3, -1, true}, {10, 0.01, 2.0, 1, false},
        {10, 0.01, 2.0, -1, false},  {0.5, 0.1, 3.0, 1, false},  {3, 0.1, 3.1, -1, false},
    };
    const double centre[2] = {1.0, 2.0};
    for (const row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "radius " << r.radius << ", distance " << r.distance << ", direction "
                                          << r.direction << ", region on the left " << r.region_left);
        const double from = 0.4, to = from + r.direction * r.sweep;
        const double start[2] = {centre[0] + r.radius * std::cos(from), centre[1] + r.radius * std::sin(from)};
        const double end[2] = {centre[0] + r.radius * std::cos(to), centre[1] + r.radius * std::sin(to)};
        std::vector<std::array<double, 2>> inner;
        ASSERT_TRUE(arc_walk_points(end, centre, r.radius, r.direction, start, r.distance, r.region_left, inner));
        std::vector<std::array<double, 2>> path{{end[0], end[1]}};
        path.insert(path.end(), inner.begin(), inner.end());
        path.push_back({start[0], start[1]});
        const bool outside = (r.direction > 0) != r.region_left;
        const double largest =
            outside ? outside_step_angle(r.distance, r.radius) : arc_step_angle(r.distance, r.radius);
        EXPECT_LE(static_cast<double>(path.size() - 1), std::ceil(r.sweep / largest) + 1.0)
            << "chords bounded by the distance";
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            const auto& a = path[i];
            const auto& b = path[i + 1];
            const double far = std::max(std::hypot(a[0] - centre[0], a[1] - centre[1]),
                                        std::hypot(b[0] - centre[0], b[1] - centre[1]));
            // The nearest point of the chord to the centre.
            const double dx = b[0] - a[0], dy = b[1] - a[1];
            const double t =
                std::clamp(((centre[0] - a[0]) * dx + (centre[1] - a[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            const double near = std::hypot(a[0] + t * dx - centre[0], a[1] + t * dy - centre[1]);
            const double slack = 1e-9 * r.radius;
            if (outside) {
                EXPECT_GE(near, r.radius - slack) << "chord " << i << " enters the arc";
                EXPECT_LE(far, r.radius + r.distance + slack) << "corner " << i << " beyond the distance";
            } else {
                EXPECT_LE(far, r.radius + slack) << "chord " << i << " leaves the arc";
                EXPECT_GE(near, r.radius - r.distance - slack) << "chord " << i << " beyond the distance";
            }
        }
    }
}

}  // namespace

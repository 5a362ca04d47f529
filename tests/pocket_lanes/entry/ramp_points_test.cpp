// Ramp entry points and the move containment test: the lane string with its arcs stepped, the
// ramp climbing along open and closed strings to the top, the plunge, the span test; the hatch
// line through a move against packed polygons, the used-entry-point list and the CUT.COM slot.
#include "pocket_lanes/lane_test_support.hpp"

#include "host/control.hpp"
#include "host/vantu.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_lanes/entry/ramp_points.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/region_containment.hpp"
#include "toolpath/mch_slots.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace {

class RampPoints : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        vantu::control::clear_messages();
        pocket_state& ps = pocket_state_block;
        ps.current_z = -5.0;
        ps.z_step = 2.0;
        ps.approach_height = 4.0;
        ps.ramp_angle = 45.0;
        pocket_work_block.tolerance = 0.01;
    }
    // The ramp top: current Z + 0.9 x Z step + 0.1 x approach height.
    static double top() { return -5.0 + 0.9 * 2.0 + 0.1 * 4.0; }
};

struct ramp {
    int count = 0, status = -9;
    std::vector<double> e;  // x, y, z per entry
};

ramp run_ramp(const std::vector<double>& string, int closed)
{
    ramp r;
    int handle = -1;
    CLCRMP(static_cast<int>(string.size() / 2), string.data(), closed, r.count, handle, r.status);
    if (handle >= 0) {
        const double* p = static_cast<const double*>(mmcptr(handle));
        r.e.assign(p, p + 3L * r.count);
        EXPECT_GE(MM_CUR_N_ENTRIES(handle), r.count);
        int closed_status = 0;
        MM_CLOSE(handle, closed_status);
    }
    return r;
}

bool has_error(const std::string& text)
{
    for (const std::string& line : vantu::control::texts_of("eroutc"))
        if (line == text) return true;
    return false;
}

// Packs polygons (each closed: first point repeated) as count words and x, y words.
std::vector<word> pack(const std::vector<std::vector<xy>>& polygons)
{
    std::vector<word> w;
    for (const auto& p : polygons) {
        w.push_back(static_cast<word>(p.size()));
        for (const xy& q : p) {
            w.push_back(real_to_word(static_cast<float>(q.x)));
            w.push_back(real_to_word(static_cast<float>(q.y)));
        }
    }
    return w;
}

std::vector<xy> square(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

}  // namespace

TEST_F(RampPoints, LaneStringStepsArcsOnTheRegionsSideAndKeepsOrder)
{
    // A line, then a counter-clockwise half circle of radius 5 about (5, 0) from (10, 0) to (0, 0).
    std::vector<xy> lane = {{0, -3}, {10, -3}, {10, 0}};
    push_arc(lane, 5.0, 1.0, 5.0, 0.0, 0.0, 0.0);
    std::vector<double> flat;
    for (const xy& p : lane) flat.insert(flat.end(), {p.x, p.y});
    // With the region on the left the arc bends towards it: points on the circle, chords inside
    // it. With the region on the right (an island's round) the corners stand outside the circle
    // and every chord keeps off it: a tool on the string never comes nearer the island.
    for (const bool region_left : {true, false}) {
        SCOPED_TRACE(region_left ? "region on the left" : "region on the right");
        std::vector<double> buffer(2000);
        int count = 0, status = -9;
        TK2STR(1, 0.01, region_left, static_cast<int>(lane.size()), flat.data(), 2000, count, buffer.data(), status);
        ASSERT_EQ(status, 0);
        // The arc's start once, its end last; chords and corners within the tolerance.
        EXPECT_DOUBLE_EQ(buffer[0], 0.0);
        EXPECT_DOUBLE_EQ(buffer[1], -3.0);
        EXPECT_DOUBLE_EQ(buffer[4], 10.0);
        EXPECT_DOUBLE_EQ(buffer[5], 0.0);
        EXPECT_NEAR(buffer[2 * count - 2], 0.0, 1e-9);
        EXPECT_NEAR(buffer[2 * count - 1], 0.0, 1e-9);
        int starts = 0;
        for (int i = 2; i < count; ++i) {
            const double x = buffer[2 * i], y = buffer[2 * i + 1];
            const double r = std::hypot(x - 5.0, y);
            const bool placed = region_left ? std::fabs(r - 5.0) <= 1e-9 : r >= 5.0 - 1e-9 && r <= 5.01 + 1e-9;
            EXPECT_TRUE(placed) << i << ": radius " << r;
            EXPECT_GE(y, -1e-9) << "the upper half, counter-clockwise";
            const double mx = 0.5 * (x + buffer[2 * i - 2]), my = 0.5 * (y + buffer[2 * i - 1]);
            const double chord = std::hypot(mx - 5.0, my);
            const bool sided = region_left ? 5.0 - chord <= 0.01 + 1e-9 : chord >= 5.0 - 1e-9;
            EXPECT_TRUE(sided) << i << ": chord middle at " << chord;
            if (std::fabs(x - 10.0) < 1e-9 && std::fabs(y) < 1e-9) ++starts;
        }
        EXPECT_EQ(starts, 1);
        // Another mode gives the reverse order.
        std::vector<double> reversed(2000);
        int reversed_count = 0;
        TK2STR(0, 0.01, region_left, static_cast<int>(lane.size()), flat.data(), 2000, reversed_count, reversed.data(),
               status);
        ASSERT_EQ(reversed_count, count);
        EXPECT_DOUBLE_EQ(reversed[0], buffer[2 * count - 2]);
        EXPECT_DOUBLE_EQ(reversed[2 * count - 1], -3.0);
    }
    // Too small a buffer.
    std::vector<double> buffer(20);
    int count = 0, status = 0;
    TK2STR(1, 0.01, true, static_cast<int>(lane.size()), flat.data(), 20, count, buffer.data(), status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_error("TK2STR,BUF OF POINTS FOR RAMP-IN IS TOO SMALL"));
}

TEST_F(RampPoints, PlungeForOnePointCoincidentPointsOrNoClimb)
{
    struct row {
        std::vector<double> string;
        double angle;
    } rows[] = {{{3, 4}, 45.0}, {{3, 4, 3, 4, 3, 4}, 45.0}, {{3, 4, 6, 4, 9, 4}, 0.0}, {{3, 4, 6, 4}, -10.0}};
    for (const row& r : rows) {
        pocket_state_block.ramp_angle = r.angle;
        const ramp p = run_ramp(r.string, 0);
        ASSERT_EQ(p.status, 0);
        ASSERT_EQ(p.count, 2);
        EXPECT_EQ(p.e, (std::vector<double>{3, 4, -5, 3, 4, -3})) << r.angle;
    }
}

TEST_F(RampPoints, OpenStringWalkedBackAndForthToTheTop)
{
    // The caller's start (0, 0), then the lane from (0, 0) to (1, 0): 1 long at 45 degrees climbs
    // 1 per pass, the top lies 2.2 above the level.
    const ramp p = run_ramp({0, 0, 0, 0, 1, 0}, 0);
    ASSERT_EQ(p.status, 0);
    ASSERT_GE(p.count, 4);
    EXPECT_DOUBLE_EQ(p.e[2], -5.0);
    for (int i = 1; i < p.count; ++i) {
        const double* a = &p.e[3 * (i - 1)];
        const double* b = &p.e[3 * i];
        EXPECT_NEAR(b[2] - a[2], std::hypot(b[0] - a[0], b[1] - a[1]), 1e-9) << i;  // 45 degrees
        EXPECT_GE(b[0], -1e-12);
        EXPECT_LE(b[0], 1.0 + 1e-12);
    }
    EXPECT_DOUBLE_EQ(p.e[3 * p.count - 1], top());
    EXPECT_NEAR(p.e[3 * p.count - 3], 0.2, 1e-9);  // 2 full passes, then 0.2 of the third
}

TEST_F(RampPoints, ClosedStringLapsAgainstTheLaneAndKeepsEveryEntry)
{
    // A closed square lane of side 0.01 starting at (0, 0): a lap climbs 0.04, 55 laps and a part
    // of a step to the top 2.205 above the level; the lap estimate shrinks the array, never below
    // what was written.
    pocket_state_block.approach_height = 4.05;
    std::vector<double> s = {0, 0, 0, 0, 0.01, 0, 0.01, 0.01, 0, 0.01, 0, 0};
    const ramp p = run_ramp(s, 1);
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(p.count, 1 + 221);
    EXPECT_DOUBLE_EQ(p.e[3 * p.count - 1], top() + 0.005);
    // The first step goes from the lane start back along its last edge.
    EXPECT_NEAR(p.e[3], 0.0, 1e-12);
    EXPECT_NEAR(p.e[4], 0.01, 1e-12);
    // Side 0.05: twelve laps estimated, the array shrinks to 216 entries and keeps all 46.
    std::vector<double> wide = {0, 0, 0, 0, 0.05, 0, 0.05, 0.05, 0, 0.05, 0, 0};
    const ramp w = run_ramp(wide, 1);
    ASSERT_EQ(w.status, 0);
    EXPECT_EQ(w.count, 1 + 45);
    EXPECT_DOUBLE_EQ(w.e[3 * w.count - 1], top() + 0.005);
    for (int i = 1; i < w.count; ++i) EXPECT_GT(w.e[3 * i + 2], w.e[3 * i - 1]) << i;
}

TEST_F(RampPoints, SpanTest)
{
    const std::vector<float> line = {0, 0, 10, 0};
    struct row {
        double length;
        int result;
    } rows[] = {{0.015, 0}, {9.0, 0}, {10.5, -1}};
    for (const row& r : rows) {
        int result = 5, status = -9;
        lane_span_test(2, line.data(), nullptr, r.length, result, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(result, r.result) << r.length;
    }
    // A square of side 4 as a pocket array: its diagonal is 5.66.
    pokarr sq = make_2d({{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}});
    for (const row& r : {row{5.5, 0}, row{5.8, -1}}) {
        int result = 5, status = -9;
        lane_span_test(-1, nullptr, &sq, r.length, result, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(result, r.result) << r.length;
    }
    pokarr_free(sq);
}

TEST_F(RampPoints, ContainmentOfAMoveBetweenCrossings)
{
    // The region: the square 0..10 with an island 4..6 x 0..10 cut... a square island 4..6 x 4..6.
    const std::vector<word> w = pack({square(0, 0, 10, 10), square(4, 4, 6, 6)});
    struct row {
        xy a, b;
        int inside;  // both in one odd interval
    } rows[] = {
        {{1, 5}, {3, 5}, 1},      // one inside interval
        {{1, 5}, {9, 5}, 0},      // across the island
        {{1, 1}, {9, 9}, 0},      // the diagonal through the island's corners
        {{1, 1}, {9, 1}, 1},      // below the island
        {{-1, 5}, {-2, 5}, 0},    // both outside
        {{10.05, 5}, {8, 5}, 1},  // on the boundary within the tolerance
        {{5, 1}, {5, 1}, 0},      // no line
        {{0, 2}, {10, 2}, 1},     // through two vertices? no: along y 2 across both sides
    };
    for (const row& r : rows) {
        const float a[2] = {static_cast<float>(r.a.x), static_cast<float>(r.a.y)};
        const float b[2] = {static_cast<float>(r.b.x), static_cast<float>(r.b.y)};
        int count = 0, first = -9, second = -9;
        line_crossings crossings{};
        ZCLRLN(w.data(), 2, static_cast<int>(w.size()), 0.1f, a, b, count, crossings, first, second);
        const int inside = first == second && first >= 1 && first <= count && first % 2 == 1 ? 1 : 0;
        EXPECT_EQ(inside, r.inside) << r.a.x << "," << r.a.y << " " << r.b.x << "," << r.b.y;
        EXPECT_EQ(count % 2, 0);
    }
    // A line through a vertex of the outer square pairs: (0, 0) to (10, 10) is the diagonal.
    const float a[2] = {2, 2}, b[2] = {3, 3};
    const std::vector<word> one = pack({square(0, 0, 10, 10)});
    int count = 0, first = -9, second = -9;
    line_crossings crossings{};
    ZCLRLN(one.data(), 1, static_cast<int>(one.size()), 0.1f, a, b, count, crossings, first, second);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST_F(RampPoints, ContainmentTableFullAndTheRegionOfThePolygonBuffer)
{
    // 1001 squares side by side crossed by one line: 2002 crossings.
    std::vector<std::vector<xy>> many;
    for (int k = 0; k < 1001; ++k) many.push_back(square(2 * k, 0, 2 * k + 1, 1));
    const std::vector<word> w = pack(many);
    const float a[2] = {0.5f, 0.5f}, b[2] = {1.5f, 0.5f};
    int count = 0, first = -9, second = -9;
    line_crossings crossings{};
    ZCLRLN(w.data(), 1001, static_cast<int>(w.size()), 0.1f, a, b, count, crossings, first, second);
    EXPECT_EQ(first, -1);
    EXPECT_TRUE(has_error("ZCLRLN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH"));
    // segment_in_region over the current polygon buffer (hatch frame of angle 0).
    int status = 0;
    polbuf_open_all(2, kPolbufStepWords, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> outer = square(0, 0, 10, 10), island = square(4, 4, 6, 6);
    polbuf_set_np(1, 5, status);
    for (int i = 0; i < 5; ++i) polbuf_set_point(1, i + 1, float(outer[i].x), float(outer[i].y), status);
    polbuf_set_np(2, 5, status);
    for (int i = 0; i < 5; ++i) polbuf_set_point(2, i + 1, float(island[i].x), float(island[i].y), status);
    polbuf_set_npol(2, status);
    polbuf_set_pair(1.0f, 0.0f, status);
    pocket_state_block.working_tolerance = 0.01;
    const float p[2] = {1, 5}, q[2] = {3, 5}, r[2] = {9, 5};
    EXPECT_EQ(segment_in_region(p, q), 1);
    EXPECT_EQ(segment_in_region(p, r), 0);
    polbuf_release_all(kPolbufClose, status);
    polbuf_block = polbuf_state{};
}

TEST_F(RampPoints, EntryBookkeeping)
{
    const float point[2] = {1, 2};
    int result = 0;
    mark_entry_point(point, result);
    EXPECT_EQ(result, 1);  // the list is never filled
    struct row {
        int side, value;
    } rows[] = {{-1, 9}, {1, 10}, {0, 11}, {2, 11}};
    for (const row& r : rows) {
        mch_slots().slots[5].status = 7;
        set_cutcom_slot(r.side);
        EXPECT_EQ(mch_slots().slots[5].value, r.value) << r.side;
        EXPECT_EQ(mch_slots().slots[5].status, 7);
    }
    mch_slots() = mch_slot_table{};
    pocket_links().link = pocket_links().link_source = pocket_links().from_kept = pocket_links().to_kept = 1;
    reset_work_flags();
    EXPECT_EQ(pocket_links().link + pocket_links().link_source + pocket_links().from_kept + pocket_links().to_kept, 0);
}

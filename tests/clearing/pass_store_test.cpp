// The pass store of the surface passes: how calls join a bank, what it refuses with the store
// intact, the clean-up places found along and between sets, and their filing in the clean-up grid.
#include "clearing/hatch/clear_block.hpp"
#include "clearing/surface_services/pass_store.hpp"
#include "clearing/surface_services/pass_store_cleanup.hpp"
#include "clearing/surface_services/pass_store_grid.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "host/control.hpp"
#include "tools/tools_test_support.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using tools_test::held_tool;

// A point of a pass with its normal tilted by slope along x (valley: the normal leans towards the
// next point) or along y.
struct pt {
    float x, y, z, nx, ny;
};
using pass = std::vector<pt>;

struct pass_set {
    std::vector<float> points, normals;
    std::vector<int> counts;
    pass_set_view view() const
    {
        return {points.data(), normals.data(), static_cast<int>(counts.size()), counts.data()};
    }
};

pass_set make_set(const std::vector<pass>& passes)
{
    pass_set s;
    for (const pass& p : passes) {
        s.counts.push_back(static_cast<int>(p.size()));
        for (const pt& q : p) {
            const float nz = std::sqrt(1.0f - q.nx * q.nx - q.ny * q.ny);
            s.points.insert(s.points.end(), {q.x, q.y, q.z});
            s.normals.insert(s.normals.end(), {q.nx, q.ny, nz});
        }
    }
    return s;
}

// A pass of n points along x from x0 by step, level normals.
pass line(float x0, float step, int n)
{
    pass p;
    for (int i = 0; i < n; ++i) p.push_back({x0 + step * i, 0.0f, 0.0f, 0.0f, 0.0f});
    return p;
}

// storps of the passes; extra_points is added to the point count the call gives.
int store(int set_number, const std::vector<pass>& passes, int link_flag = 0, int extra_points = 0)
{
    const pass_set s = make_set(passes);
    int status = 7;
    storps(0.01f, set_number, s.points.data(), s.normals.data(), static_cast<int>(s.counts.size()), s.counts.data(),
           static_cast<int>(s.points.size() / 3) + extra_points, link_flag, status);
    return status;
}

std::vector<int> bank_counts(int bank)
{
    const pass_bank& b = pass_store.banks[bank];
    return {b.pass_point_counts, b.pass_point_counts + b.pass_count};
}

// The x of every point of the bank.
std::vector<float> bank_xs(int bank)
{
    std::vector<float> xs;
    for (int i = 0; i < pass_store.banks[bank].point_count; ++i) xs.push_back(pass_bank_view(bank).points[3 * i]);
    return xs;
}

// Records filed over the whole grid.
int filed_records()
{
    int total = 0;
    for (int r = 0; r < cleanup_grid.rows; ++r)
        for (int c = 0; c < cleanup_grid.columns; ++c) total += cleanup_grid_cell(r, c)->count;
    return total;
}

class PassStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        clear_block = clear_state{};
        clear_block.cell_size[0] = clear_block.cell_size[1] = 5.0f;
    }
    void TearDown() override
    {
        reset_store_and_grid();
        EXPECT_EQ(vantu::control::open_array_count(), 0);
        clear_block = clear_state{};
        vantu::control::reset();
    }
    // A mill of diameter D (a negative D: a drill) with corner radius cr.
    std::unique_ptr<held_tool> hold(float diameter, float corner_radius)
    {
        auto tool = std::make_unique<held_tool>(diameter < 0.0f ? kDrill : kMill, std::fabs(diameter));
        tool_shapes().mill.CRNRRD = corner_radius;
        return tool;
    }
    static void reset_store_and_grid()
    {
        int status = 0, grid_status = 0;
        pass_store_close(status);
        cleanup_grid_close(grid_status);
        EXPECT_EQ(status + grid_status, 0);
    }
    void open_grid(float x0, float y0, float width, float height)
    {
        const float origin[2] = {x0, y0}, extent[2] = {width, height};
        int status = -7;
        cleanup_grid_open(origin, extent, status);
        ASSERT_EQ(status, 0);
    }
};

// The slope of the valley and ridge normals: sin 30 degrees.
constexpr float kTilt = 0.5f;

TEST_F(PassStore, CallsJoinTheBankOfTheirSet)
{
    struct call {
        int set_number;
        std::vector<pass> passes;
    };
    struct row {
        const char* name;
        float diameter;
        std::vector<call> calls;
        int bank, set_count;
        std::vector<int> counts;  // of the current bank
        std::vector<float> xs;    // the current bank's points' x
    };
    const pass turned = {{2, 0, 0, 0.2f, 0}, {3, 0, 0, 0, 0}};
    const auto L = line;
    // clang-format off
    const std::vector<row> rows = {
        {"first call fills bank 0", 10, {{3, {L(0, 1, 3)}}}, 0, 1, {3}, {0, 1, 2}},
        {"shared point and normal: once", 10, {{3, {L(0, 1, 3)}}, {3, {L(2, 1, 2)}}}, 0, 1, {4}, {0, 1, 2, 3}},
        {"shared point, other normal", 10, {{3, {L(0, 1, 3)}}, {3, {turned}}}, 0, 1, {5}, {0, 1, 2, 2, 3}},
        {"gap within D", 10, {{3, {L(0, 1, 2)}}, {3, {L(4, 1, 2), L(20, 1, 1)}}}, 0, 1, {4, 1}, {0, 1, 4, 5, 20}},
        {"gap beyond D", 2, {{3, {L(0, 1, 2)}}, {3, {L(4, 1, 2)}}}, 0, 1, {2, 2}, {0, 1, 4, 5}},
        {"empty passes take no place", 10, {{3, {L(0, 1, 2), {}, L(30, 1, 1)}}}, 0, 1, {2, 1}, {0, 1, 30}},
        {"new set: the other bank", 10, {{3, {L(0, 1, 2)}}, {4, {L(1, 1, 2)}}}, 1, 2, {2}, {1, 2}},
        {"third set in bank 0", 10, {{3, {L(0, 1, 2)}}, {4, {L(1, 1, 2)}}, {5, {L(7, 1, 1)}}}, 0, 3, {1}, {7}},
        {"no mill: working diameter 10", -4, {{3, {L(0, 1, 2)}}, {3, {L(9, 1, 1)}}}, 0, 1, {3}, {0, 1, 9}},
        {"no mill: first call", -4, {{3, {L(50, 1, 2)}}}, 0, 1, {2}, {50, 51}},
    };
    // clang-format on
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto tool = hold(r.diameter, 0.0f);
        for (const call& c : r.calls) EXPECT_EQ(store(c.set_number, c.passes), 0);
        EXPECT_EQ(std::vector<int>({pass_store.bank, pass_store.set_count}), std::vector<int>({r.bank, r.set_count}));
        EXPECT_EQ(bank_counts(r.bank), r.counts);
        EXPECT_EQ(bank_xs(r.bank), r.xs);
        EXPECT_EQ(vantu::control::open_array_count(), r.set_count > 1 ? 4 : 2) << "older sets given back";
        reset_store_and_grid();
    }
}

TEST_F(PassStore, RefusedCallsLeaveTheStoreAsItWas)
{
    struct row {
        const char* name;
        int set_number;
        std::vector<pass> passes;
        const char* fault;  // host call made to fail, or null
        int extra_points;   // added to the call's point count
        const char* message;
    };
    std::vector<pass> many;
    for (int p = 0; p < 50; ++p) many.push_back(line(400.0f + 20 * p, 1, 1));
    // clang-format off
    const std::vector<row> rows = {
        {"51st pass in the set", 0, many, nullptr, 0, "storps,UP TO 50 PASSES IN A SET"},
        {"counts not summing to the points", 0, {line(0, 1, 2)}, nullptr, 1, "storps,BAD PASS DATA"},
        {"negative set number", -2, {line(0, 1, 2)}, nullptr, 0, "storps,BAD PASS DATA"},
        {"no memory to grow", 0, {line(9, 1, 2)}, "MM_RESIZE_ARRAY", 0, "storps,dynamic memory error"},
        {"no memory for a new set", 1, {line(9, 1, 2)}, "MM_OPEN_ARRAY", 0, "storps,dynamic memory error"},
        {"1001st clean-up point", 1, {{{0, 5, 0, 0, 0}, {1, 5, 0, 0, 0}}}, nullptr, 0,
         "pass_set_cleanup,CLEAN-UP LIST IS FULL"},
    };
    // clang-format on
    // 1003 points alternating valley and ridge: 501 valleys, one segment more than the lists hold.
    pass zigzag;
    for (int i = 0; i < 1003; ++i) zigzag.push_back({0.2f * i, 0, 0, i % 2 == 0 ? kTilt : -kTilt, 0});
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto tool = hold(10, 5);
        open_grid(0, -10, 300, 20);
        ASSERT_EQ(store(0, {zigzag}), 0);
        const std::vector<float> xs = bank_xs(0);
        vantu::control::clear_messages();
        if (r.fault) vantu::control::inject_fault(r.fault, 1, 1, -4);
        EXPECT_LT(store(r.set_number, r.passes, 0, r.extra_points), 0);
        vantu::control::clear_faults();
        EXPECT_EQ(vantu::control::texts_of("eroutc"), std::vector<std::string>{r.message});
        EXPECT_EQ(std::vector<int>({pass_store.bank, pass_store.set_number, pass_store.set_count}),
                  std::vector<int>({0, 0, 1}));
        EXPECT_EQ(bank_counts(0), std::vector<int>{1003});
        EXPECT_EQ(bank_xs(0), xs);
        EXPECT_EQ(vantu::control::open_array_count(), 3) << "the bank's two arrays and the grid's cells";
        EXPECT_EQ(filed_records(), 0);
        reset_store_and_grid();
    }
}

// Valley: at x the normal leans towards +x, at the next point towards -x; the tool cannot reach
// between them. A ridge is the other way round.
pass valley_pair(float x, float step) { return {{x, 0, 0, kTilt, 0}, {x + step, 0, 0, -kTilt, 0}}; }
pass ridge_pair(float x, float step) { return {{x, 0, 0, -kTilt, 0}, {x + step, 0, 0, kTilt, 0}}; }

TEST_F(PassStore, PlacesAlongOneSet)
{
    struct row {
        const char* name;
        float diameter, corner;
        std::vector<pass> passes;
        int segments;
        int pair_start;  // index of P of the recorded pair
        bool closed = false;
    };
    // clang-format off
    const std::vector<row> rows = {
        {"valley between near points", 10, 5, {valley_pair(0, 0.2f)}, 1, 0},
        {"ridge between near points", 10, 5, {ridge_pair(0, 0.2f)}, 0, 0},
        {"points farther than 0.05 D", 10, 5, {valley_pair(0, 0.6f)}, 0, 0},
        {"tool points nearer than 0.14 D", 10, 5, {{{0, 0, 0, 0.08f, 0}, {0.2f, 0, 0, -0.08f, 0}}}, 0, 0},
        {"flat end on a level point", 10, 0, {{{0, 0, 0, 0, 0}, {0.2f, 0, 0, -kTilt, 0}}}, 0, 0},
        {"valley in the third pass", 10, 5, {line(0, 3, 3), line(20, 3, 1), valley_pair(40, 0.2f)}, 1, 4},
        {"closed set: valley across its ends", 10, 5,
         {{{0, 0, 0, kTilt, 0}, {0, 3, 0, 0, 0}, {0.2f, 3, 0, 0, 0}, {0.2f, 0, 0, -kTilt, 0}}}, 1, 3, true},
    };
    // clang-format on
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto tool = hold(r.diameter, r.corner);
        // A far last point keeps a set open (a closed set also pairs its last point with its first).
        std::vector<pass> passes = r.passes;
        if (!r.closed) passes.push_back(line(30, 1, 1));
        const pass_set s = make_set(passes);
        auto lists = std::make_unique<cleanup_lists>();
        int status = -7;
        cleanup_within_set(0.01f, s.view(), *lists, status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(lists->count, 2 * r.segments);
        if (r.segments == 0) continue;
        // The segment joins the tool points of the pair, the clean-up point lies midway.
        const int total = static_cast<int>(s.points.size() / 3), p = r.pair_start, q = (p + 1) % total;
        float tip0[3], tip1[3];
        int outcome = 0;
        tool_tip_offset(r.diameter, r.corner, 0.0f, &s.points[3 * p], &s.normals[3 * p], tip0, outcome);
        tool_tip_offset(r.diameter, r.corner, 0.0f, &s.points[3 * q], &s.normals[3 * q], tip1, outcome);
        for (int k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(lists->segments[k], tip0[k]) << k;
            EXPECT_FLOAT_EQ(lists->segments[3 + k], tip1[k]) << k;
            EXPECT_FLOAT_EQ(lists->points[k], (s.points[3 * p + k] + s.points[3 * q + k]) / 2) << k;
        }
    }
}

TEST_F(PassStore, StorpsFilesThePlacesOfAFinishedSet)
{
    // Set 0 runs along y = gap; set 1 has a valley along a pass beyond the grid (filed in its last
    // column) and a pass along y = 0. The normals of the two lean across the gap by lean.
    struct row {
        const char* name;
        float diameter, lean, gap;
        int link_flag, records;
    };
    const std::vector<row> rows = {
        {"valley along and between the sets", 10, kTilt, 1, 0, 1 + 4},
        {"ridge between the sets", 10, -kTilt, 1, 0, 1},
        {"other set beyond one diameter", 10, kTilt, 11, 0, 1},
        {"level between the sets", 10, 0, 1, 0, 1},
        {"link flag 1: along only", 10, kTilt, 1, 1, 1},
        {"no mill: stored, nothing filed", -10, kTilt, 1, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto tool = hold(r.diameter, 5);
        open_grid(-20, -20, 40, 40);
        EXPECT_EQ(store(0, {{{0, r.gap, 0, 0, -r.lean}, {1, r.gap, 0, 0, -r.lean}}}), 0);
        const pass valley = {{30, 0, 0, kTilt, 0}, {30.2f, 0, 0, -kTilt, 0}};
        EXPECT_EQ(store(1, {valley, {{0, 0, 0, 0, r.lean}, {1, 0, 0, 0, r.lean}}}, r.link_flag), 0);
        EXPECT_EQ(filed_records(), 0) << "set 1 is not finished yet";
        EXPECT_EQ(store(2, {line(9, 1, 2)}, r.link_flag), 0);
        EXPECT_EQ(filed_records(), r.records);
        EXPECT_EQ(bank_counts(pass_store.bank), std::vector<int>{2});
        // A place between the sets joins a tool point to its contact, the clean-up point.
        const cleanup_cell& cell = *cleanup_grid_cell(4, 4);
        EXPECT_EQ(cell.count, std::max(r.records - 1, 0)) << "the places between the sets";
        for (int k = 0; k < cell.count; ++k) {
            const cleanup_record& record = cleanup_cell_records(cell)[k];
            EXPECT_EQ(std::vector<float>(record.end, record.end + 2),
                      std::vector<float>(record.point, record.point + 2));
        }
        reset_store_and_grid();
    }
}

TEST_F(PassStore, CleanupGridFilesEachPlaceInItsCell)
{
    struct row {
        const char* name;
        float x, y;
        int row, column;                          // -1: dropped
        std::vector<std::array<int, 2>> flagged;  // other cells flagged
    };
    // Grid of 4 x 3 cells of 5 from (10, 20); the tool's reach D / 2 = 1.
    const std::vector<row> rows = {
        {"inside a cell", 17.5f, 27.5f, 1, 1, {}},
        {"near the lower left corner", 15.5f, 25.5f, 1, 1, {{0, 0}, {0, 1}, {1, 0}}},
        {"near the upper edge", 22.5f, 29.5f, 1, 2, {{2, 2}}},
        {"beyond the last column and row", 40.0f, 60.0f, 2, 3, {}},
        {"just left of the origin", 9.9f, 22.0f, -1, -1, {}},
        {"below the origin", 12.0f, 19.0f, -1, -1, {}},
        {"not a number", std::nanf(""), 22.0f, -1, -1, {}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto tool = hold(2, 0);
        open_grid(10, 20, 20, 12);
        ASSERT_EQ(cleanup_grid.columns * cleanup_grid.rows, 12);
        // Eleven places at the point: the cell's records grow past their first ten.
        std::vector<float> segments, points;
        for (int k = 0; k < 11; ++k) {
            segments.insert(segments.end(), {1.0f * k, 2, 3, 4, 5, 6});
            points.insert(points.end(), {r.x, r.y, 0});
        }
        int status = -7;
        clnins(2.5, 22, segments.data(), points.data(), status);
        EXPECT_EQ(status, 0);
        std::vector<std::array<int, 2>> flagged;
        for (int i = 0; i < cleanup_grid.rows; ++i)
            for (int j = 0; j < cleanup_grid.columns; ++j)
                if (cleanup_grid_cell(i, j)->flag && (i != r.row || j != r.column)) flagged.push_back({i, j});
        EXPECT_EQ(flagged, r.flagged);
        EXPECT_EQ(filed_records(), r.row < 0 ? 0 : 11);
        if (r.row < 0) continue;
        const cleanup_cell& cell = *cleanup_grid_cell(r.row, r.column);
        const cleanup_record& last = cleanup_cell_records(cell)[10];
        EXPECT_EQ(cell.flag, 1);
        const float* words = reinterpret_cast<const float*>(&last);
        EXPECT_EQ(std::vector<float>(words, words + 12),
                  std::vector<float>({0, 0, 0, r.x, r.y, 2.5f, 10, 2, 3, 4, 5, 6}));
        cleanup_grid_close(status);
    }
}

}  // namespace

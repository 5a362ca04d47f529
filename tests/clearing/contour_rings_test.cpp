// The contour rings of the hatch ends, the contour walk between two ends, the refusals of the
// host's arrays with their messages, the clearing height grid, and bad input given to the engine.
#include "clearing_support.hpp"

#include "clearing/hatch/clear_grid.hpp"
#include "clearing/hatch/pass_linking.hpp"

#include <string>

using namespace clearing_test;

namespace {

// A segment of the list from end (x1, y1) on contour k1, segment s1 to (x2, y2) on k2, s2.
hatch_segment segment(float x1, float x2, float y, int s1, int s2, int k1, int k2)
{
    return {x1, x2, y, y, s1, s2, k1, k2, 1, -1, nullptr, nullptr};
}

// Closes a host array that a refused close left open, so that nothing is left behind.
void close_left_open(int handle)
{
    int status = 0;
    if (handle != kClearClosed) MM_CLOSE(handle, status);
}

}  // namespace

TEST_F(ClearingTest, RingsHoldTheEndsOfEachContourInContourOrder)
{
    // Lines at 0.001, 1.001, ... miss the thin island between 5.001 and 6.001.
    engine_params e;
    e.angle = 0.0;
    ASSERT_EQ(run_engine({rectangle(0, 0, 40, 20), rectangle(10, 5.2, 20, 5.8)}, e), 0);
    EXPECT_EQ(ring_of(2)->first, nullptr);
    EXPECT_EQ(ring_of(2)->ring_size, 0);
    EXPECT_EQ(judge({rectangle(0, 0, 40, 20), rectangle(10, 5.2, 20, 5.8)}, 0.0, clearing_points()).cuts_outside, 0);
    int status = 0;
    clrcls(1, status);
    ASSERT_EQ(status, 0);

    // Hand-made segments: contour 2 gets one end only; contour 1's ends sorted along it.
    const std::vector<word> list = contour_list({rectangle(0, 0, 10, 10), rectangle(4, 4, 6, 6)});
    const hatch_contours contours = hatch_contours_of(list.data(), 2);
    hatch_segment s[3] = {segment(0, 4, 5, 4, 4, 1, 2), segment(10, 0, 3, 2, 4, 1, 1), segment(10, 0, 8, 2, 4, 1, 1)};
    s[0].next = &s[1];
    s[1].next = &s[2];
    ASSERT_EQ(clr_build_edges(contours, s), 0);
    const contour_ring* one = ring_of(2);
    ASSERT_EQ(one->ring_size, 1);
    EXPECT_EQ(one->start_count, 0);
    ASSERT_EQ(ring_of(1)->ring_size, 5);
    std::vector<std::array<float, 2>> along;
    for (const hatch_end* end = ring_of(1)->first; end != nullptr; end = end->next) along.push_back({end->x, end->y});
    // Segment 2 (right side, rising), then segment 4 (left side, falling from 10 to 0).
    EXPECT_EQ(along, (std::vector<std::array<float, 2>>{{10, 3}, {10, 8}, {0, 8}, {0, 5}, {0, 3}}));
    EXPECT_EQ(one->first->partner->x, 0.0f);
    EXPECT_EQ(one->first->partner->partner, one->first);

    // A start point on an existing end adds nothing; elsewhere it comes in between.
    hatch_end* record = nullptr;
    int same = 0;
    ASSERT_EQ(insert_start_edge(contours, 1, 10.0f, 8.0f, 2, 1, record, same), 0);
    EXPECT_EQ(same, 1);
    EXPECT_EQ(record, ring_of(1)->first->next);
    EXPECT_EQ(ring_of(1)->ring_size, 5);
    ASSERT_EQ(insert_start_edge(contours, 1, 10.0f, 5.0f, 2, 1, record, same), 0);
    EXPECT_EQ(same, 0);
    EXPECT_EQ(ring_of(1)->ring_size, 6);
    EXPECT_EQ(record->previous, ring_of(1)->first);
    EXPECT_EQ(record->partner, nullptr);

    close_edge_rings(-1);
    EXPECT_EQ(one->first->next, one->first);
    EXPECT_EQ(one->first->previous, one->first);
    EXPECT_EQ(ring_of(1)->last->next, ring_of(1)->first);
    EXPECT_EQ(ring_of(1)->walk_direction, -1);
    clrels(1, status);
    EXPECT_EQ(status, 0);
}

TEST_F(ClearingTest, EndsAtOneDistanceKeepTheirCreationOrder)
{
    const std::vector<word> list = contour_list({rectangle(0, 0, 10, 10)});
    const hatch_contours contours = hatch_contours_of(list.data(), 1);
    const hatch_end a{1, 1, 10, 5, 2, 1, 1, nullptr, nullptr, nullptr, 0, 0};
    const hatch_end b{1, 0, 10, 5, 2, 1, 1, nullptr, nullptr, nullptr, 0, 1};
    EXPECT_EQ(edge_compare(contours, a, 0, b, 1), -1);
    EXPECT_EQ(edge_compare(contours, b, 1, a, 0), 1) << "the order is total: a sort may rely on it";
    const hatch_end c{1, 0, 10, 7, 2, 1, 1, nullptr, nullptr, nullptr, 0, 2};
    EXPECT_EQ(edge_compare(contours, c, 0, a, 1), 1) << "farther from the segment's first vertex";
    const hatch_end d{1, 0, 5, 10, 3, 1, 1, nullptr, nullptr, nullptr, 0, 3};
    EXPECT_EQ(edge_compare(contours, d, 0, c, 1), 1) << "a higher segment comes later";
}

TEST_F(ClearingTest, AContourWalkAppendsTheVerticesPassed)
{
    // Five vertices, not repeated: segment 5 closes the contour.
    const polygon pentagon{{0, 0}, {10, 0}, {12, 6}, {5, 10}, {-2, 6}};
    std::vector<word> list{5};
    for (const auto& p : pentagon) {
        list.push_back(real_to_word(static_cast<float>(p[0])));
        list.push_back(real_to_word(static_cast<float>(p[1])));
    }
    const hatch_contours contours = hatch_contours_of(list.data(), 1);
    struct row {
        int from, to, direction;
        std::vector<int> vertices;
    };
    const row rows[] = {
        {4, 2, 1, {5, 1, 2}}, {1, 3, 1, {2, 3}}, {3, 1, -1, {3, 2}}, {1, 3, -1, {1, 5, 4}}, {2, 2, 1, {}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(std::to_string(r.from) + " to " + std::to_string(r.to) + ", direction " +
                     std::to_string(r.direction));
        int status = 0;
        clrcls(1, status);
        ASSERT_EQ(clr_points_open(), 0);
        ASSERT_EQ(walk_contour_points(contours, r.from, r.to, r.direction, 1), 0);
        const auto points = clearing_points();
        ASSERT_EQ(points.size(), r.vertices.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto& v = pentagon[static_cast<std::size_t>(r.vertices[i] - 1)];
            EXPECT_EQ(points[i].x, static_cast<float>(v[0])) << i;
            EXPECT_EQ(points[i].y, static_cast<float>(v[1])) << i;
        }
    }
    EXPECT_EQ(walk_contour_points(contours, 0, 7, 1, 1), -1) << "segments outside the contour";
    EXPECT_EQ(walk_contour_points(contours, 1, 3, 1, 0), 0) << "contour 0: nothing";
}

TEST_F(ClearingTest, RefusalsOfTheHostsArraysAreReportedInTheirOwnWords)
{
    namespace control = vantu::control;
    engine_params e;
    const std::vector<polygon> region{rectangle(0, 0, 20, 10)};

    control::inject_fault("MM_OPEN_ARRAY", 1, 1, -1);
    EXPECT_EQ(run_engine(region, e), -1);
    EXPECT_EQ(errors(), (std::vector<std::string>{"add_edge,dynamic memory error"}));
    control::clear_faults();
    control::clear_messages();

    ASSERT_EQ(clr_lines_open(), 0);
    const int segments = clear_block.segment_handle;
    control::inject_fault("MM_CLOSE", 1, 1, -1);
    int status = 0;
    CLSLNS(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(clear_block.segment_handle, kClearClosed);
    close_left_open(segments);

    ASSERT_EQ(run_engine(region, e), 0);
    const int rings = ring_of(1)->ring_handle;
    control::inject_fault("MM_CLOSE", 1, 1, -1);
    clrels(1, status);
    EXPECT_EQ(status, -1);
    close_left_open(rings);

    const int points = clear_block.point_list_handle;
    control::inject_fault("MM_CLOSE", 1, 1, -1);
    clrcls(1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(clear_block.point_list_handle, kClearClosed) << "marked closed all the same";
    close_left_open(points);
    clrcls(1, status);
    EXPECT_EQ(status, 0) << "a closed list is closed again without a word";

    EXPECT_EQ(errors(),
              (std::vector<std::string>{"CLSLNS, PROBLEMS IN DYNAMIC MEMORY", "clrels,Close dynamic memory error",
                                        "clrcls, CLOSE DYNAMIC MEMORY ERROR"}));

    // No record for a point: the engine fails.
    control::inject_fault("MM_FALLOC", 1, 1000000, -1);
    EXPECT_EQ(run_engine(region, e), -1);
    control::clear_faults();
}

TEST_F(ClearingTest, TheHeightGridStampsInsideItOnly)
{
    std::vector<float> cells(2 * 3 * 2, 0.0f);
    clear_block.cells = cells.data();
    clear_block.columns = 3;
    clear_block.rows = 2;
    clear_block.cell_size[0] = clear_block.cell_size[1] = 2.0f;
    clear_block.grid_origin[0] = clear_block.grid_origin[1] = 1.0f;
    struct row {
        int mode;
        std::array<float, 3> point;
        int status;
        int written;  // float index written, -1 none
        float value;
    };
    const row rows[] = {
        {0, {1.0f, 1.0f, 4.0f}, 0, 0, 4.0f},   // the centre of cell 0
        {0, {2.0f, 1.0f, 5.0f}, 0, 2, 5.0f},   // halfway between cells 0 and 1: the higher
        {1, {3.0f, 3.0f, -7.0f}, 0, 9, 0.0f},  // mode 1 never below the first value
        {1, {3.0f, 3.0f, 6.0f}, 0, 9, 6.0f},
        {2, {5.0f, 1.0f, 8.0f}, 0, 6, 8.0f},     // mode 2: the next cell's first value
        {2, {5.0f, 3.0f, 8.0f}, -1, -1, 0.0f},   // past the last float
        {0, {7.0f, 1.0f, 1.0f}, -1, -1, 0.0f},   // beyond the last column
        {0, {1.0f, -1.5f, 1.0f}, -1, -1, 0.0f},  // below the first row
    };
    for (const row& r : rows) {
        const std::vector<float> before = cells;
        int status = 9;
        grid_stamp_z(r.mode, r.point.data(), status);
        EXPECT_EQ(status, r.status) << r.point[0] << "," << r.point[1];
        for (std::size_t i = 0; i < cells.size(); ++i)
            EXPECT_EQ(cells[i], static_cast<int>(i) == r.written ? r.value : before[i]) << i;
    }
    clear_block.cells = nullptr;
    float bound = -1.0f;
    clr_reduce_tol_get(bound);
    EXPECT_EQ(bound, 0.0f);
}

TEST_F(ClearingTest, BadRegionsGiveADefinedResult)
{
    engine_params e;
    const std::vector<std::vector<polygon>> regions = {
        {{{0, 0}, {5, 5}, {10, 10}}},                     // collinear points
        {{{3, 3}, {3, 3}, {3, 3}}},                       // one point
        {rectangle(0, 0, 10, 0.0005)},                    // lower than the first line
        {rectangle(0, 0, 10, 10), {{20, 20}, {20, 20}}},  // a degenerate island outside
    };
    for (std::size_t i = 0; i < regions.size(); ++i) {
        SCOPED_TRACE(i);
        const int result = run_engine(regions[i], e);
        EXPECT_TRUE(result == 0 || result == -1);
        if (result == 0) {
            EXPECT_EQ(judge(regions[i], e.angle, clearing_points()).cuts_outside, 0);
        }
        int status = 0;
        clrcls(1, status);
        CLSLNS(status);
    }
    const float ranges[2] = {0.0f, 1.0f};
    EXPECT_EQ(clear_engine(nullptr, ranges, 1, 1), -1);
    const std::vector<word> list = contour_list({rectangle(0, 0, 10, 10)});
    EXPECT_EQ(clear_engine(list.data(), ranges, 0, 1), -1);

    // A start line is sought within the range only.
    const hatch_contours contours = hatch_contours_of(list.data(), 1);
    auto points = std::make_unique<hatch_points>();
    EXPECT_EQ(clr_link_passes(contours, 20.0f, 21.0f, *points), -1);
    EXPECT_EQ(clr_link_regions(contours, 20.0f, 21.0f, *points), -1);
}

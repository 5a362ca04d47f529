// The nearest point on the lane pieces of the loop tree's copy: named trees of square lanes,
// whole lanes and pieces of them, records not in use, the loop of a contour, two nodes as
// near as each other, and lanes lying relative to the pocket frame; and the entry motion of a
// search that comes down there unless the move from there into the pocket would gouge.
#include "pocket_lanes/lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"

#include "host/vantu_memory.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_tree.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/entry/pocket_entry.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"

#include <ostream>
#include <string>
#include <vector>

using namespace motion_test;

namespace {

// A segment record as the test writes it: in use or not, its lane, and the piece (mode 1: the
// whole lane; else from the start element, parameter and point to the end ones).
struct piece {
    int used = 1;
    int lane = 1;
    int mode = 1;
    int start_element = 1;
    double start_parameter = 0.0;
    xy start{0, 0};
    int end_element = 1;
    double end_parameter = 1.0;
    xy end{0, 0};
};

// A node of the copy: the key and state of its loop and its records.
struct node {
    int key;
    int state;
    std::vector<piece> pieces;
};

struct tree_row {
    const char* name;
    std::vector<std::vector<xy>> lanes;  // lanes 1, 2, ... relative to the frame
    std::vector<node> nodes;             // none: the copy is not open
    xy origin;                           // of the pocket frame
    xy point;
    int status;
    xy nearest;
};

void PrintTo(const tree_row& r, std::ostream* os) { *os << r.name; }

const std::vector<xy> kSquareA = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
const std::vector<xy> kSquareB = {{20, 0}, {30, 0}, {30, 10}, {20, 10}, {20, 0}};

class LoopPieces : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        fresh_at({0, 0, 0});
        int status = 0;
        POKREL(0, status);
        lane_table_reset();
        int size = 4000;
        PokAllocMainArray(size, 0, status);
        pocket_frame_block = pocket_frame{};
    }
    void TearDown() override
    {
        int status = 0;
        copy_node_release(status);
        release_loop(status);
        node_arrays_block = node_arrays{};
        POKREL(1, status);
        pocket_frame_block = pocket_frame{};
        to_load_state();
        LaneTest::TearDown();
    }
    static void add_lane(const std::vector<xy>& entries)
    {
        pokarr a = make_from(entries);
        int status = 0;
        lane_add(1, 1, 0, 0, 0, 1.0, 0, a, status);
        ASSERT_EQ(status, 0);
        pokarr_free(a);
    }
    static void put_piece(word* w, const piece& p)
    {
        w[kSegmentUsed] = p.used;
        w[kSegmentLane] = p.lane;
        w[kSegmentMode] = p.mode;
        w[kSegmentStartElement] = p.start_element;
        double_to_words(p.start_parameter, w + kSegmentStartParameter);
        double_to_words(p.start.x, w + kSegmentStartPoint);
        double_to_words(p.start.y, w + kSegmentStartPoint + 2);
        w[kSegmentEndElement] = p.end_element;
        double_to_words(p.end_parameter, w + kSegmentEndParameter);
        double_to_words(p.end.x, w + kSegmentEndPoint);
        double_to_words(p.end.y, w + kSegmentEndPoint + 2);
    }
    // The loops of the nodes in the loop tree and the copy of the nodes with their records.
    static void build_copy(const std::vector<node>& nodes)
    {
        int status = 0;
        void* base = nullptr;
        node_arrays& n = node_arrays_block;
        MM_OPEN_ARRAY(kNodeWords * 4, static_cast<int>(nodes.size()), n.copy_handle, base, status);
        ASSERT_EQ(status, 0);
        n.count = static_cast<int>(nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            loop_create(static_cast<int>(i) + 1, nodes[i].key, 1, 0, status);
            ASSERT_EQ(status, 0);
            // The engine's mark of the loop's kind, as the loop tree keeps it.
            const_cast<loop_record*>(loop_of_key(nodes[i].key))->state = nodes[i].state;
            int handle = -1;
            MM_OPEN_ARRAY(kSegmentWords * 4, static_cast<int>(nodes[i].pieces.size()), handle, base, status);
            ASSERT_EQ(status, 0);
            for (std::size_t s = 0; s < nodes[i].pieces.size(); ++s)
                put_piece(static_cast<word*>(mmcptr(handle)) + kSegmentWords * s, nodes[i].pieces[s]);
            word* w = static_cast<word*>(mmcptr(n.copy_handle)) + kNodeWords * i;
            w[kNodeKey] = nodes[i].key;
            w[kNodeSegments] = static_cast<word>(nodes[i].pieces.size());
            w[kNodeHandle] = handle;
            w[kNodeReserved] = 0;
        }
    }
};

class StartPointOnLoops : public LoopPieces, public ::testing::WithParamInterface<tree_row> {};

TEST_P(StartPointOnLoops, NearestPointOfTheRecordedPieces)
{
    const tree_row& r = GetParam();
    for (const auto& lane : r.lanes) add_lane(lane);
    pocket_frame_block.origin[0] = r.origin.x;
    pocket_frame_block.origin[1] = r.origin.y;
    if (!r.nodes.empty()) build_copy(r.nodes);
    const double point[2] = {r.point.x, r.point.y};
    double nearest[2] = {-1, -1};
    int status = 9;
    start_point_on_loops(point, nearest, status);
    EXPECT_EQ(status, r.status);
    EXPECT_NEAR(nearest[0], r.nearest.x, 1e-9);
    EXPECT_NEAR(nearest[1], r.nearest.y, 1e-9);
}

const piece kWhole1{}, kWhole2{1, 2};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Trees, StartPointOnLoops, ::testing::Values(
    tree_row{"NoCopyOpen", {kSquareA}, {}, {0, 0}, {5, -3}, -1, {5, -3}},
    tree_row{"NearerOfTwoNodes", {kSquareA, kSquareB}, {{7, kLoopNew, {kWhole1}}, {8, kLoopMerged, {kWhole2}}},
             {0, 0}, {18, 5}, 0, {20, 5}},
    tree_row{"ContourLoopPassedOver", {kSquareA, kSquareB}, {{7, kLoopNew, {kWhole1}}, {8, kLoopContour, {kWhole2}}},
             {0, 0}, {18, 5}, 0, {10, 5}},
    tree_row{"UnusedRecordPassedOver", {kSquareA, kSquareB}, {{7, kLoopNew, {kWhole1, piece{0, 2}}}},
             {0, 0}, {18, 5}, 0, {10, 5}},
    // From the middle of the first side to the middle of the second: the corner (10, 10) and the
    // sides beyond are not on the piece.
    tree_row{"PieceOfALane", {kSquareA}, {{7, kLoopNew, {piece{1, 1, 0, 1, 0.5, {5, 0}, 2, 0.5, {10, 5}}}}},
             {0, 0}, {12, 8}, 0, {10, 5}},
    tree_row{"FirstOfEqualStays", {kSquareA, kSquareB}, {{7, kLoopNew, {kWhole1}}, {8, kLoopNew, {kWhole2}}},
             {0, 0}, {15, 5}, 0, {10, 5}},
    tree_row{"LanesRelativeToTheFrame", {kSquareA}, {{7, kLoopNew, {kWhole1}}}, {100, 200}, {105, 197}, 0, {105, 200}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The gouge test of the region hatching as the entry asks it: each call's mode, start point and
// strict flag; the answer of the test mode is the row's.
struct hatch_call {
    int mode;
    xy from;
    int strict;
};
std::vector<hatch_call> hatch_calls;
int hatch_gouge = 0;

void recording_hatch(int mode, const double* p1, const double*, int& count, xy_output&, int& gouge, int& status)
{
    const int strict = pocket_state_block.strict_gouge;
    hatch_calls.push_back({mode, {p1[0], p1[1]}, strict});
    count = 0;
    gouge = mode == kHatchGougeTest ? hatch_gouge : 0;
    status = gouge != 0 && strict != 0 ? kHatchRefused : 0;
}

// A search comes down on the loop pieces nearest the lane start and moves from there into the
// pocket; where that move would gouge, it comes down on the lane start as a plain entry does. A search approaches in
// the stored feed (77).
struct search_row {
    const char* name;
    int gouge;
    std::vector<int> modes;  // the hatching's calls: 3 the gouge test, 1 the move written
    std::vector<std::string> want;
};

void PrintTo(const search_row& r, std::ostream* os) { *os << r.name; }

class SearchEntry : public LoopPieces, public ::testing::WithParamInterface<search_row> {
protected:
    void SetUp() override
    {
        LoopPieces::SetUp();
        saved = region_hatch();
        region_hatch().temp_hatch = recording_hatch;
        hatch_calls.clear();
        pocket_state& ps = pocket_state_block;
        ps.current_z = -5;
        ps.approach_height = 3;
        ps.level_counter = 2;
        ps.start_point_entry = 0;
        ps.strict_gouge = 0;
    }
    void TearDown() override
    {
        region_hatch() = saved;
        LoopPieces::TearDown();
    }
    region_hatch_seams saved;
};

TEST_P(SearchEntry, ComesDownOnTheNearestPieceUnlessTheMoveFromThereGouges)
{
    const search_row& r = GetParam();
    const double start[2] = {2, 4};
    const double lane_points[4] = {2, 4, 8, 4};
    add_lane(kSquareA);
    build_copy({{7, kLoopNew, {kWhole1}}});
    hatch_gouge = r.gouge;
    entry_approach approach;
    int plunge = 1, status = 7;
    pocket_entry_motion(1, 0, 0, 0, 0, 13, 1, start, 2, lane_points, plunge, approach, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(steps(), r.want);
    std::vector<int> modes;
    for (const hatch_call& c : hatch_calls) {
        modes.push_back(c.mode);
        EXPECT_EQ(c.from.x, 0.0);
        EXPECT_EQ(c.from.y, 4.0) << "the move starts on the piece";
        EXPECT_EQ(c.strict, c.mode == kHatchGougeTest ? 1 : 0) << "the test of a found point is strict";
    }
    EXPECT_EQ(modes, r.modes);
    EXPECT_EQ(pocket_state_block.start_point_entry, 0) << "the start point is the caller's again";
    EXPECT_EQ(pocket_state_block.strict_gouge, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Searches, SearchEntry, ::testing::Values(
    search_row{"Free", 0, {kHatchGougeTest, kHatchWrite},
               {"F77", "L(0,0,50)", "L(0,4,50)", "L(0,4,-2)", "F50", "L(0,4,-5)"}},
    search_row{"Gouging", 1, {kHatchGougeTest}, {"F77", "L(0,0,50)", "L(2,4,50)", "L(2,4,-2)", "F50", "L(2,4,-5)"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace

// The pieces of the 3-D lane offset: appends without repeated points and straight runs, the join
// crossing with the cut it makes, the start of the join search, and small loops cut from pieces.
#include "surface_lane_support.hpp"

#include "clearing/surface_lanes/lane_pieces_3d.hpp"

#include <gtest/gtest.h>

namespace {

void expect_points(const std::vector<p3>& got, const std::vector<p3>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < got.size(); ++k)
        EXPECT_LT(length_3d(got[k], want[k]), 1e-9) << "point " << k << " at " << got[k][0] << ' ' << got[k][1];
}

}  // namespace

TEST_F(SurfaceLaneTest, PieceAppendLeavesOutRepeatsAndStraightRuns)
{
    const struct {
        const char* what;
        std::vector<p3> result, piece;
        int start;
        double spacing;
        std::vector<p3> want;
    } rows[] = {
        {"repeats",
         {{0, 0, 0}},
         {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 1, 0}},
         0,
         0.0,
         {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}}},
        {"straight run", {}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 1}}, 0, 0.0, {{0, 0, 0}, {2, 0, 0}, {2, 1, 1}}},
        {"straight on from the result",
         {{0, 0, 0}},
         {{1, 0, 1}, {2, 0, 2}, {2, 1, 2}},
         0,
         0.0,
         {{0, 0, 0}, {2, 0, 2}, {2, 1, 2}}},
        {"a turn back stays", {}, {{0, 0, 0}, {1, 0, 0}, {0.5, 0, 0}}, 0, 0.0, {{0, 0, 0}, {1, 0, 0}, {0.5, 0, 0}}},
        {"from the start index", {}, {{9, 9, 9}, {8, 8, 8}, {0, 0, 0}, {0, 1, 0}}, 2, 0.0, {{0, 0, 0}, {0, 1, 0}}},
        {"spacing", {{0, 0, 0}}, {{0.1, 0, 0}, {0.2, 0.1, 0}, {1, 1, 0}}, 0, 0.5, {{0, 0, 0}, {1, 1, 0}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr result = make_3d(r.result), piece = make_3d(r.piece);
        int status = -5;
        lane_piece_append(piece, r.start, r.spacing, result, status);
        EXPECT_EQ(status, 0);
        expect_points(points_of(result), r.want);
        pokarr_free(result);
        pokarr_free(piece);
    }
}

TEST_F(SurfaceLaneTest, JoinSearchFindsTheCrossingAndCutsTheResult)
{
    const struct {
        const char* what;
        std::vector<p3> result, piece;
        int mode, start;
        int found, piece_index;
        std::vector<p3> result_after;
    } rows[] = {
        {"inner corner of a square",
         {{5, 1, 0}, {10, 1, 0}},
         {{9, 0, 0}, {9, 10, 0}},
         kJoinCut,
         0,
         1,
         1,
         {{5, 1, 0}, {9, 1, 0}}},
        {"look only", {{5, 1, 0}, {10, 1, 0}}, {{9, 0, 0}, {9, 10, 0}}, kJoinLook, 0, 1, 1, {{5, 1, 0}, {10, 1, 0}}},
        {"the last piece segment crossing wins",
         {{0, 0, 0}, {10, 0, 0}},
         {{2, -1, 0}, {2, 1, 0}, {6, 1, 0}, {6, -1, 0}},
         kJoinCut,
         0,
         1,
         3,
         {{0, 0, 0}, {6, 0, 0}}},
        {"on the result's vertex",
         {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}},
         {{1, -1, 0}, {3, 1, 0}},
         kJoinCut,
         0,
         1,
         1,
         {{0, 0, 0}, {2, 0, 0}}},
        {"shared end point only",
         {{0, 0, 0}, {1, 0, 0}},
         {{1, 0, 0}, {1, 1, 0}},
         kJoinCut,
         0,
         0,
         -7,
         {{0, 0, 0}, {1, 0, 0}}},
        {"before the start index",
         {{0, 1, 0}, {10, 1, 0}, {10, 2, 0}},
         {{5, 0, 0}, {5, 3, 0}},
         kJoinCut,
         1,
         0,
         -7,
         {{0, 1, 0}, {10, 1, 0}, {10, 2, 0}}},
        {"passing above", {{0, 0, 0}, {2, 0, 0}}, {{1, -1, 0}, {1, 1, 5}}, kJoinCut, 0, 0, -7, {{0, 0, 0}, {2, 0, 0}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr result = make_3d(r.result), piece = make_3d(r.piece);
        int piece_index = -7;
        EXPECT_EQ(lane_join_search(r.mode, result, piece, r.start, piece_index), r.found);
        EXPECT_EQ(piece_index, r.piece_index);
        expect_points(points_of(result), r.result_after);
        pokarr_free(result);
        pokarr_free(piece);
    }
}

// A crossing that closes a loop of the offset's own sense (a leg of the region beyond a neck
// narrower than two offsets) is passed for the loop removal when the loop keeps the offset from
// the input; a loop running against the sense (an overshoot at a concave corner), smaller than the
// least area or coming nearer the input is cut out as before.
TEST_F(SurfaceLaneTest, JoinSearchPassesCrossingsThatCloseKeptLoops)
{
    // The result runs round three sides of the square 1..3 x 0..2 counter-clockwise and the piece
    // comes down its fourth side, crossing the first at (1, 0): the loop closed has area 4 and
    // holds the result's points from 1 on and the piece's first.
    const std::vector<p3> round = {{0, 0, 0}, {3, 0, 0}, {3, 2, 0}, {1, 2, 0}};
    const std::vector<p3> down = {{1, 2, 0}, {1, -1, 0}};
    // The same crossing reached clockwise: the piece comes up the square's first side.
    const std::vector<p3> back = {{0, 2, 0}, {3, 2, 0}, {3, 0, 0}, {1, 0, 0}};
    const std::vector<p3> up = {{1, 0, 0}, {1, 3, 0}};
    const std::vector<p3> round_cut = {{0, 0, 0}, {1, 0, 0}}, back_cut = {{0, 2, 0}, {1, 2, 0}};
    constexpr int kNoTest = -1, kNear = 0, kHolds = 1;
    const struct {
        const char* what;
        std::vector<p3> result, piece;
        int sense;
        double least_area;
        int holds;  // what the offset test answers, or none given
        int found;
        std::vector<p3> result_after;
    } rows[] = {
        {"own sense, large: passed", round, down, 1, 0.5, kNoTest, 0, round},
        {"own sense, large, at the offset: passed", round, down, 1, 0.5, kHolds, 0, round},
        {"own sense, large, nearer the input: cut", round, down, 1, 0.5, kNear, 1, round_cut},
        {"own sense, smaller than the least area: cut", round, down, 1, 5.0, kHolds, 1, round_cut},
        {"against the sense: cut", round, down, -1, 0.5, kHolds, 1, round_cut},
        {"no sense kept: cut", round, down, 0, 0.0, kHolds, 1, round_cut},
        {"clockwise loop kept clockwise: passed", back, up, -1, 0.5, kHolds, 0, back},
        {"clockwise loop against a counter-clockwise offset: cut", back, up, 1, 0.5, kHolds, 1, back_cut},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr result = make_3d(r.result), piece = make_3d(r.piece);
        int asked_first = -1, asked_last = -1;
        join_loops kept{r.sense, r.least_area, {}};
        if (r.holds != kNoTest)
            kept.holds_offset = [&](const pokarr&, int first, const pokarr&, int last) {
                asked_first = first, asked_last = last;
                return r.holds == kHolds;
            };
        int piece_index = -7;
        EXPECT_EQ(lane_join_search(kJoinCut, result, piece, 0, piece_index, kept), r.found);
        expect_points(points_of(result), r.result_after);
        // Asked, the test is given the loop's points: the result's from 1 on, the piece's first.
        if (asked_first >= 0) {
            EXPECT_EQ(std::make_pair(asked_first, asked_last), std::make_pair(1, 0));
        }
        pokarr_free(result);
        pokarr_free(piece);
    }
}

TEST_F(SurfaceLaneTest, JoinStartReachesBackOverTheNearPart)
{
    const std::vector<p3> line = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}};
    // A corner: the result runs away from its end and comes back within reach of it.
    const std::vector<p3> corner = {{0, 0, 0}, {4, 0, 0}, {6, 0, 0}, {6, 3, 0}, {4.5, 0.5, 0}};
    // Up a steep flank: a step of 1 in XY climbs 3.
    const std::vector<p3> flank = {{0, 0, 0}, {1, 0, 3}, {2, 0, 6}, {3, 0, 9}, {4, 0, 12}};
    const struct {
        std::vector<p3> result;
        double reach2;
        int dimension, want;
    } rows[] = {
        {line, 2.5 * 2.5, 3, 1},  // points 2..4 within reach: from the segment ending at 2
        {line, 0.25, 3, 3},       // nothing but the end within reach: the last segment
        {line, 100.0, 3, 0},      // all within reach
        {corner, 4.0, 3, 0},      // back over the corner to the segment passing the end
        {corner, 1.0, 3, 3},      // that segment lies more than four reaches back along the result
        {{{1, 1, 1}}, 0.0, 3, 0}, {line, 2.5 * 2.5, 2, 1},  // a flat result: alike in XY
        {flank, 2.5 * 2.5, 3, 3},                           // in space nothing but the end within reach
        {flank, 2.5 * 2.5, 2, 1},                           // in XY as the flat line
    };
    for (const auto& r : rows) {
        pokarr result = make_3d(r.result);
        int index = -7;
        lane_join_start(r.dimension, result, r.reach2, index);
        EXPECT_EQ(index, r.want) << "reach2 " << r.reach2 << " points " << r.result.size() << " dimension "
                                 << r.dimension;
        pokarr_free(result);
    }
}

TEST_F(SurfaceLaneTest, PieceUnloopCutsSmallLoops)
{
    const struct {
        const char* what;
        std::vector<p3> piece, want;
    } rows[] = {
        {"a crossing",
         {{0, 0, 0}, {4, 0, 0}, {4, 2, 0}, {2, 2, 0}, {2, -2, 0}, {2, -4, 0}},
         {{0, 0, 0}, {2, 0, 0}, {2, -2, 0}, {2, -4, 0}}},
        {"a repeated point on a straight run",
         {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 1, 0}},
         {{0, 0, 0}, {2, 0, 0}, {3, 1, 0}}},
        {"a repeated corner",
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 1, 0}, {3, 1, 0}},
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {3, 1, 0}}},
        {"a detour back onto the segment",
         {{0, 0, 0}, {4, 0, 0}, {4, 1, 0}, {2, 0, 0}, {1, 0, 0}, {1, 3, 0}},
         {{0, 0, 0}, {1, 0, 0}, {1, 3, 0}}},
        {"running along", {{0, 0, 0}, {4, 0, 0}, {3, 1, 0}, {2, 0, 0}, {3, 0, 0}}, {{0, 0, 0}, {3, 0, 0}}},
        {"no loop", {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 3, 0}}, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 3, 0}}},
        {"three points are left", {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}, {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr piece = make_3d(r.piece);
        lane_piece_unloop(piece);
        expect_points(points_of(piece), r.want);
        pokarr_free(piece);
    }
}

// Offset pieces and lane relations: the containment, small-piece and sliver sweeps of the filter, the
// order of a set, crossing pieces by level and mode, the largest distance of a loop from a
// chain, a set beyond its limit, and the relations of lanes through their links (a cycle of
// links included).
#include "lane_test_support.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/offset_pieces.hpp"

#include <vector>

namespace {

class OffsetPieces : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.working_tolerance = 0.001;
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
    }
};

std::vector<xy> rect(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A piece set built from loops with their kinds; areas are the shoelace areas.
struct pieces {
    pokarr points;
    std::vector<int> counts, kinds, extra;
    std::vector<double> areas;
    int count = 0;
    explicit pieces(const std::vector<std::pair<std::vector<xy>, int>>& loops)
    {
        pokarr_init(2, points);
        for (const auto& [loop, kind] : loops) {
            pokarr p = make_from(loop);
            int status = 0;
            pokarr_append(p.count, p, 0, points, status);
            double area = 0.0;
            for (std::size_t i = 0; i + 1 < loop.size(); ++i)
                area += 0.5 * (loop[i].x * loop[i + 1].y - loop[i + 1].x * loop[i].y);
            counts.push_back(p.count);
            kinds.push_back(kind);
            extra.push_back(static_cast<int>(counts.size()));
            areas.push_back(area);
            pokarr_free(p);
        }
        count = static_cast<int>(counts.size());
    }
    ~pieces() { pokarr_free(points); }
    piece_set set() { return {&points, counts.data(), kinds.data(), areas.data(), extra.data()}; }
    // The value that travels with each piece, in the set's order.
    std::vector<int> tags() const { return std::vector<int>(extra.begin(), extra.begin() + count); }
};

}  // namespace

TEST_F(OffsetPieces, FilterSweeps)
{
    pokarr no_previous;
    pokarr_init(2, no_previous);
    struct row {
        const char* name;
        std::vector<std::pair<std::vector<xy>, int>> loops;
        std::vector<int> kept;  // tags of the pieces kept, in order
    } rows[] = {
        // The outer of two nested pieces of the wanted kind goes.
        {"nested", {{rect(0, 0, 10, 10), 1}, {rect(2, 2, 8, 8), 1}}, {2}},
        // A speck inside (below the small-piece area, 1.5 pi here) leaves the outer piece, and
        // goes itself as a small piece near it.
        {"speck inside", {{rect(0, 0, 10, 10), 1}, {rect(0.2, 0.2, 0.6, 0.6), 1}}, {1}},
        // A piece of another kind holding one of the wanted kind stays (and, the largest, leads).
        {"nested other kind", {{rect(0, 0, 10, 10), -1}, {rect(2, 2, 8, 8), 1}}, {1, 2}},
        // A piece of the wanted kind holding one of another kind (its hole) stays.
        {"hole", {{rect(0, 0, 10, 10), 1}, {rect(2, 2, 8, 8), -1}}, {1, 2}},
        // A small piece wholly within 0.75 d of one point of the large one goes; farther, it stays.
        {"small near", {{rect(0, 0, 100, 100), 1}, {{{100.1, 50}, {100.5, 50}, {100.1, 50.4}, {100.1, 50}}, 1}}, {1}},
        {"small far", {{rect(0, 0, 100, 100), 1}, {{{100.1, 50}, {101.5, 50}, {100.1, 50.4}, {100.1, 50}}, 1}}, {1, 2}},
        // Order flag 0: the largest first.
        {"order", {{rect(0, 0, 2, 2), 1}, {rect(10, 0, 20, 10), 1}, {rect(30, 0, 33, 3), 1}}, {2, 1, 3}},
    };
    for (const row& r : rows) {
        pieces p(r.loops);
        int status = -7;
        offset_pieces_filter(0, no_previous, 0.01, 1000.0, 1.0, 1.0, 1, p.count, p.set(), status);
        EXPECT_EQ(status, 0) << r.name;
        EXPECT_EQ(p.tags(), r.kept) << r.name;
    }
    pokarr_free(no_previous);
}

TEST_F(OffsetPieces, ReorderByFlag)
{
    const std::vector<std::pair<std::vector<xy>, int>> loops = {
        {rect(0, 0, 1, 1), 1}, {rect(10, 0, 12, 2), -1}, {rect(20, 0, 23, 3), 1}, {rect(30, 0, 31, 1), -1}};
    struct row {
        int flag;
        std::vector<int> order;
    } rows[] = {{0, {3, 1, 2, 4}}, {1, {2, 4, 1, 3}}};
    for (const row& r : rows) {
        pieces p(loops);
        int status = -7;
        pieces_reorder(r.flag, p.count, p.set(), status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(p.tags(), r.order) << r.flag;
        // The points moved with their pieces: the first piece starts at its own first point.
        EXPECT_DOUBLE_EQ(p.points.x[0], loops[static_cast<std::size_t>(r.order[0] - 1)].first[0].x);
    }
    pieces p(loops);
    int status = 0;
    pieces_reorder(0, kPiecesMax + 1, p.set(), status);
    EXPECT_EQ(status, kPiecesMemory);
}

TEST_F(OffsetPieces, CrossingPiecesByLevelAndMode)
{
    struct row {
        int level, mode;
        int status;
        std::vector<int> kept;
    } rows[] = {
        {2, 1, kPiecesCross, {1, 2}},  // later passes with the retry switch: reported, none removed
        {1, 1, 0, {2}},                // the smaller (the first on equal areas) goes
        {2, 0, 0, {2}},
    };
    for (const row& r : rows) {
        pieces p({{rect(0, 0, 10, 10), 1}, {rect(5, 5, 15, 15), 1}});
        int status = -7;
        pieces_uncross(p.count, p.set(), r.level, r.mode, status);
        EXPECT_EQ(status, r.status) << r.level << " " << r.mode;
        EXPECT_EQ(p.tags(), r.kept) << r.level << " " << r.mode;
    }
}

TEST_F(OffsetPieces, LoopReachFromAChain)
{
    const double cx[] = {0, 10}, cy[] = {0, 0};
    const double x[] = {1, 5, 9, 1}, y[] = {1, 3, 1, 1};
    struct row {
        double limit;
        int flag;
        double value;
    } rows[] = {{5.0, 0, 3.0}, {2.0, 1, 3.0}, {0.5, 1, 1.0}};
    for (const row& r : rows) {
        double value = 0.0;
        int flag = -7;
        loop_dist_exceeds(cx, cy, 2, x, y, 4, r.limit, value, flag);
        EXPECT_EQ(flag, r.flag) << r.limit;
        EXPECT_NEAR(value, r.value, 1e-9) << r.limit;
    }
}

TEST_F(OffsetPieces, LaneRelationsThroughLinks)
{
    lane_table_reset();
    lane_table& lt = lane_table_block;
    lt.count = 6;
    // Lane 2 and 3 come from lane 1; lane 4 joins 2 and 3; lane 5 belongs to the group of lane 2;
    // lane 6's second link names itself (a damaged table).
    const int link1[] = {0, 0, 1, 1, 2, 1, 0}, link2[] = {0, 0, 0, 0, 3, 0, 6}, group[] = {0, 0, 0, 0, 0, 2, 0};
    for (int n = 1; n <= 6; ++n) lt.link1[n] = link1[n], lt.link2[n] = link2[n], lt.group[n] = group[n];
    struct row {
        int a, b;
        bool deep;
        bool meet, share;
    } rows[] = {
        {2, 3, false, true, true},    // both from lane 1
        {4, 2, false, false, true},   // lane 2's link (1) is not lane 4's; through lane 3 it is
        {4, 2, true, false, true},    // deep: lane 2's first link (lane 1) has no links
        {5, 4, false, true, true},    // lane 5 stands with its group (2), lane 4 links to 2
        {3, 6, false, false, false},  // the cycle of lane 6's links ends
    };
    for (const row& r : rows) {
        EXPECT_EQ(lane_links_meet(r.a, r.b, r.deep), r.meet) << r.a << " " << r.b;
        EXPECT_EQ(lanes_share_link(r.a, r.b, r.deep), r.share) << r.a << " " << r.b;
    }
    double lo = 0.0, hi = 0.0;
    const double values[] = {3.0, -2.0, 7.5};
    dbl_min_max(values, 3, lo, hi);
    EXPECT_EQ(lo, -2.0);
    EXPECT_EQ(hi, 7.5);
    dbl_min_max(values, 0, lo, hi);
    EXPECT_EQ(lo, kNoClearance);
}

// The sliver sweep in the plane: a piece of two arms joined at one end lies above the bottom wall
// of the previous lane, and the test line up through the middle of its walls crosses both arms.
// It goes as a sliver only while nothing inside it lies farther than the offset from that lane.
TEST_F(OffsetPieces, SliverSweepKeepsAPieceThatHoldsAreaBeyondTheOffset)
{
    pokarr previous = make_from(rect(-100, 0, 100, 200));
    const std::vector<xy> arms = {{0, 1.5}, {0, 1},   {0.5, 1}, {1, 1},   {1.5, 1}, {2, 1},   {2.5, 1}, {3, 1},
                                  {5, 1},   {5, 2.1}, {0, 2.1}, {0, 1.8}, {4, 1.8}, {4, 1.5}, {0, 1.5}};
    const struct row {
        double d;
        std::vector<int> kept;
    } rows[] = {
        {1.2, {1}},  // the upper arm stands 1.8 to 2.1 from the wall: beyond the offset
        {2.5, {}},   // the whole piece lies within the offset of the wall
    };
    for (const row& r : rows) {
        pieces p({{arms, 1}});
        int status = -7;
        offset_pieces_filter(0, previous, 0.01, 1000.0, r.d, 1.0, 1, p.count, p.set(), status);
        EXPECT_EQ(status, 0) << r.d;
        EXPECT_EQ(p.tags(), r.kept) << r.d;
    }
    pokarr_free(previous);
}

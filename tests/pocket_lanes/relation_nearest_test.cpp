// Containment of loops (pokarr_relation, pieces_meet_loop), the nearest point of an interleaved
// chain with its corner rule, and the lane direction at a point.
#include "lane_test_support.hpp"

#include "host/vantu_polygon.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_lanes/loop_relation.hpp"

namespace {

pokarr rect(double x0, double y0, double x1, double y1)
{
    return make_2d({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}});
}

}  // namespace

TEST_F(LaneTest, RelationDecidesByTheFirstPointOffTheBoundary)
{
    pokarr a = rect(0, 0, 10, 10);
    struct row {
        double x0, y0, x1, y1;
        int relation;
    } rows[] = {{2, 2, 4, 4, kRelationInside},
                {20, 2, 24, 4, kRelationOutside},
                {0, 2, 4, 4, kRelationInside},  // first point on A's edge: the next decides
                {0, 0, 10, 10, kRelationUndecided}};
    for (const row& r : rows) {
        pokarr b = rect(r.x0, r.y0, r.x1, r.y1);
        int relation = -7, status = -7;
        pokarr_relation(a, b, 1, 1.0, relation, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(relation, r.relation) << r.x0 << "," << r.y0;
        pokarr_free(b);
    }
    pokarr_free(a);
}

TEST_F(LaneTest, RelationAgreesWithThePolygonTestUnderTranslation)
{
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> coord(-15.0, 15.0), shift(-500.0, 500.0);
    pokarr a = rect(-10, -10, 10, 10);
    const double poly[10] = {-10, -10, 10, -10, 10, 10, -10, 10, -10, -10};
    for (int trial = 0; trial < 200; ++trial) {
        const double px = coord(rng), py = coord(rng), dx = shift(rng), dy = shift(rng);
        const double p[2] = {px, py};
        int where = 0;
        inpold(1e-6, poly, 5, p, where);
        if (where == kInpolOnBoundary) continue;
        pokarr b = make_2d({{px, py}});
        int relation = 0, status = 0;
        pokarr_relation(a, b, 1, 1.0, relation, status);
        EXPECT_EQ(relation, where == kInpolInside ? 1 : 0) << "seed " << seed << " trial " << trial;
        pokarr ta = rect(-10 + dx, -10 + dy, 10 + dx, 10 + dy), tb = make_2d({{px + dx, py + dy}});
        int moved = 0;
        pokarr_relation(ta, tb, 1, 1.0, moved, status);
        EXPECT_EQ(moved, relation) << "seed " << seed << " trial " << trial;
        for (pokarr* q : {&b, &ta, &tb}) pokarr_free(*q);
    }
    pokarr_free(a);
}

TEST_F(LaneTest, PiecesMeetLoopByFirstPointOrCrossing)
{
    pokarr loop = rect(0, 0, 10, 10);
    // Piece 1 outside and clear, piece 2 crosses the loop's right edge.
    pokarr pieces = make_2d({{20, 20}, {25, 20}, {8, 20}, {8, 5}, {15, 5}});
    const int counts[2] = {2, 3};
    int result = -7, status = -7;
    pieces_meet_loop(1, counts, pieces, loop, result, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(result, 0);
    pieces_meet_loop(2, counts, pieces, loop, result, status);
    EXPECT_EQ(result, 2);
    const int too_many[2] = {2, 9};
    pieces_meet_loop(2, too_many, pieces, loop, result, status);
    EXPECT_EQ(status, -1);  // counts beyond the array are refused, nothing read past it
    pokarr_free(loop);
    pokarr_free(pieces);
}

TEST_F(LaneTest, PntChainNearestKeepsOffCornersAndTiesGoLater)
{
    // Square 0..10, interleaved, closed.
    const double xy[10] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};
    double position = -1.0, distance = 0.0, q[2] = {0, 0};
    int on_arc = -1, status = -1;
    nearest_on_pnt_chain(5, -2, 5, xy, position, distance, q, on_arc, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(position, 0.5, 1e-12);
    EXPECT_NEAR(distance, 2.0, 1e-12);
    EXPECT_EQ(on_arc, 0);
    // Near the corner (10, 0) on the first edge: moved to t 0.95 of that edge.
    position = -1.0;
    nearest_on_pnt_chain(9.6, -0.1, 5, xy, position, distance, q, on_arc, status);
    EXPECT_NEAR(position, 0.95, 1e-12);
    EXPECT_NEAR(q[0], 9.5, 1e-12);
    // The centre is equidistant from all four edges: the last edge wins.
    position = -1.0;
    nearest_on_pnt_chain(5, 5, 5, xy, position, distance, q, on_arc, status);
    EXPECT_NEAR(position, 3.5, 1e-12);
    // One entry: nothing found.
    position = -1.0;
    nearest_on_pnt_chain(5, 5, 1, xy, position, distance, q, on_arc, status);
    EXPECT_LT(position, 0.0);
    EXPECT_EQ(distance, kNoDistance);
}

TEST_F(LaneTest, LaneDirectionAtPointStepsAndFollowsArcs)
{
    // Line (0,0)-(10,0), then a counter-clockwise half circle to (10,10) about (10,5), back.
    const double x[7] = {0, 10, kMarkerX, 5, 10, 10, 0};
    const double y[7] = {0, 0, 0, 1, 5, 10, 0};
    double d[2];
    int closed = -1, status = -1;
    lane_dir_at_point(x, y, 7, 1, 1, 0.5, d, closed, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(d[0], 1.0, 1e-12);
    EXPECT_EQ(closed, 1);
    lane_dir_at_point(x, y, 7, 1, 1, 1.0, d, closed, status);  // steps onto the arc's start
    EXPECT_NEAR(d[0], 1.0, 1e-12);
    lane_dir_at_point(x, y, 7, 1, 2, 0.5, d, closed, status);  // the arc's top: going up... left
    EXPECT_NEAR(d[1], 1.0, 1e-9);
    lane_dir_at_point(x, y, 7, -1, 2, 0.5, d, closed, status);
    EXPECT_NEAR(d[1], -1.0, 1e-9);
    lane_dir_at_point(x, y, 7, 1, 9, 0.5, d, closed, status);
    EXPECT_EQ(status, -1);
}

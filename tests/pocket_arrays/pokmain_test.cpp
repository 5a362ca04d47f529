// The pocket main arrays: growth steps, reallocation limit, undefined mode, contour stores and
// the readers with arcs read forward and backward.
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_test_support.hpp"

namespace {

class Pokmain : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        int status = 0;
        POKREL(0, status);
        pocket_state_block.pocket_dimension = 2;
    }
    void TearDown() override
    {
        int status = 0;
        POKREL(1, status);
        PocketTest::TearDown();
    }
};

TEST_F(Pokmain, GrowsInWholeStepsOf7000)
{
    struct row {
        int n, capacity;
    };
    for (const row r :
         {row{10000, 10000}, row{10001, 17000}, row{16999, 17000}, row{17000, 24000}, row{24000, 31000}}) {
        int status = 0;
        POKREL(1, status);
        int size = 10000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        pokmain_grow(r.n, status);
        EXPECT_EQ(status, 0) << r.n;
        EXPECT_EQ(pokmain_block.main_capacity, r.capacity) << r.n;
        if (r.n > 10000) {
            EXPECT_EQ(pocket_box_block.main_size, r.capacity) << r.n;
        }
    }
}

TEST_F(Pokmain, GrowthKeepsTheStoredPoints)
{
    int status = 0, size = 10;
    PokAllocMainArray(size, 0, status);
    pokarr a = make_2d({{1, 2}, {3, 4}});
    pokmain_put_pnts(a, 9, status);  // needs 11 entries: grows with keep
    ASSERT_EQ(status, 0);
    EXPECT_EQ(pokmain_block.main_capacity, 10 + kPokmainStep);
    pokarr b;
    pokarr_init(2, b);
    pokmain_get_pnts(2, 9, b, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(b.x[1], 3.0);
    EXPECT_EQ(b.y[0], 2.0);
    pokarr_free(a);
    pokarr_free(b);
}

TEST_F(Pokmain, TooManyReallocationsAreRefused)
{
    int status = 0;
    POKCPY(100, 10, 0, status);
    EXPECT_EQ(status, 0);
    POKCPY(100, 11, 0, status);
    EXPECT_EQ(status, -1);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "POKCPY, DYNAMIC MEMORY ERROR - TOO MANY REALLOCATIONS");
}

TEST_F(Pokmain, UseBeforeTheDimensionIsSetIsReported)
{
    pocket_state_block.pocket_dimension = 0;
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    pokmain_get_pnts(1, 1, a, status);
    EXPECT_EQ(status, -1);
    const double p[3] = {1, 2, 0};
    int index = 1;
    status = 0;
    POKCPT(p, index, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(index, 1);
    ASSERT_EQ(errors().size(), 2u);
    for (const auto& e : errors()) EXPECT_EQ(e, "[pokinitdim] UNABLE TO OPEN POCKET ARRAYS - DIMENSIONS NOT DEFINED");
}

TEST_F(Pokmain, ContourArrayGrowsBy5000AndCopiesIntoTheMainArray)
{
    int capacity = 0;
    pokmain_set_origin(10.0, 20.0, 0.0, capacity);
    int index = 1, status = 0;
    for (int i = 0; i < 5001; ++i) {
        const double p[3] = {10.0 + i, 20.0 - i, 0.0};
        POKCPT(p, index, status);
    }
    ASSERT_EQ(status, 0);
    EXPECT_EQ(index, 5002);
    EXPECT_EQ(pokmain_block.contour_capacity, 10000);
    double x = 0, y = 0;
    pokmain_get_cpt(5000, x, y);
    EXPECT_EQ(x, 5000.0);  // stored relative to the origin
    EXPECT_EQ(y, -5000.0);
    POKCPY(6000, 0, index - 1, status);
    ASSERT_EQ(status, 0);
    pokarr a;
    pokarr_init(2, a);
    pokmain_get_pnts(1, 5001, a, status);
    EXPECT_EQ(a.x[0], 5000.0);
    pokarr_free(a);
}

// A lane (relative) of a quarter arc from (10, 0) to (0, 10) about the origin, then back to the
// start point through the centre.
pokarr quarter_lane()
{
    pokarr a = make_2d({{10, 0}, {kArcMarker, 0}, {10, 1}, {0, 0}, {0, 10}, {0, 0}});
    return a;
}

TEST_F(Pokmain, ArcReadBackwardHasItsDirectionNegated)
{
    int status = 0, size = 100, capacity = 0;
    PokAllocMainArray(size, 0, status);
    pokmain_set_origin(100.0, 200.0, 0.0, capacity);
    pokarr lane = quarter_lane();
    pokmain_put_pnts(lane, 1, status);
    ASSERT_EQ(status, 0);

    pokarr forward;
    pokarr_init(2, forward);
    pokmain_to_arr(1, 1, 7, forward, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> expected_forward = {{110, 200}, {kArcMarker, 0}, {10, 1}, {100, 200}, {100, 210}, {100, 200}};
    ASSERT_EQ(forward.count, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(forward.x[i], expected_forward[i].x) << i;
        EXPECT_EQ(forward.y[i], expected_forward[i].y) << i;
    }

    pokarr backward;
    pokarr_init(2, backward);
    pokmain_to_arr(0, 1, 7, backward, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> expected_backward = {{100, 200}, {100, 210}, {kArcMarker, 0},
                                               {10, -1},   {100, 200}, {110, 200}};
    ASSERT_EQ(backward.count, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(backward.x[i], expected_backward[i].x) << i;
        EXPECT_EQ(backward.y[i], expected_backward[i].y) << i;
    }

    // The interleaved reader gives the same absolute entries.
    double list[12];
    pokmain_get_xy(0, 1, 7, list, 6, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(list[6], 10.0);
    EXPECT_EQ(list[7], -1.0);
    pokmain_get_xy(1, 1, 7, list, 5, status);  // no room for six entries
    EXPECT_EQ(status, -1);
    pokarr_free(lane);
    pokarr_free(forward);
    pokarr_free(backward);
}

TEST_F(Pokmain, ReversingInPlaceKeepsArcsValid)
{
    int status = 0, size = 100;
    PokAllocMainArray(size, 0, status);
    pokarr lane = quarter_lane();
    pokmain_put_pnts(lane, 1, status);
    pokmain_reverse(6, 1, status);
    ASSERT_EQ(status, 0);
    pokarr back;
    pokarr_init(2, back);
    pokmain_get_pnts(6, 1, back, status);
    EXPECT_EQ(back.x[1], 0.0);
    EXPECT_EQ(back.y[1], 10.0);
    EXPECT_EQ(back.y[3], -1.0);
    EXPECT_EQ(back.x[5], 10.0);
    pokarr_free(lane);
    pokarr_free(back);
}

TEST_F(Pokmain, DimensionFourReadsHalfTheEntriesAsPointsWithNormals)
{
    pocket_state_block.pocket_dimension = 4;
    int status = 0, size = 20;
    PokAllocMainArray(size, 0, status);
    pokarr a;
    pokarr_init(4, a);
    for (int i = 0; i < 5; ++i) {
        const double p[3] = {double(i), 2.0 * i, 3.0 * i};
        const double n[3] = {1.0, 0.0, 0.0};
        pokarr_add_pnt_nrm(p, n, a, status);
    }
    pokmain_put_pnts(a, 1, status);
    ASSERT_EQ(status, 0);
    pokarr b;
    pokarr_init(4, b);
    pokmain_get_pnts(10, 1, b, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(b.count, 5);
    EXPECT_EQ(b.z[4], 12.0);
    EXPECT_EQ(b.n[3 * 4], 1.0);
    EXPECT_EQ(b.n[3 * 4 + 2], 0.0);
    pokarr_free(a);
    pokarr_free(b);
}

TEST_F(Pokmain, TheHostArrayOpensAsFarAsTheEntriesReachedWithinTheRoom)
{
    // A point written at an entry: the host array opens to it (doubling), the room stays as
    // asked, the entries never written read 0 and the contours still read from their own array.
    struct row {
        int entry, open;
    };
    for (const row r : {row{3, 1250}, row{1250, 1250}, row{1251, 2500}, row{7000, 7000}, row{9999, 9999}}) {
        SCOPED_TRACE(r.entry);
        int status = 0;
        POKREL(1, status);
        const double p[3] = {3.0, 4.0, 0.0};
        int index = 1;
        POKCPT(p, index, status);
        POKCPY(10000, 0, 1, status);
        ASSERT_EQ(status, 0);
        pokarr a = make_2d({{5, 6}}), b;
        pokarr_init(2, b);
        pokmain_put_pnts(a, r.entry, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(pokmain_block.main_capacity, 10000);
        EXPECT_EQ(pokmain_block.main_open, r.open);
        pokmain_get_pnts(r.entry, 1, b, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(b.x[r.entry - 1], 5.0);
        EXPECT_EQ(b.y[r.entry - 1], 6.0);
        EXPECT_EQ(b.x[r.entry - 2], 0.0);
        pokmain_get_contour_pnts(1, 1, b, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(b.y[0], 4.0);
        pokmain_get_pnts(1, 10001, b, status);
        EXPECT_EQ(status, -1);
        pokarr_free(a);
        pokarr_free(b);
    }
}

// The main array is held in chunks: a lane whose entries run across a chunk's end is written,
// read, read absolute, reversed and duplicated as one lying inside a chunk, and the chunks open
// only as far as the entries reached.
TEST_F(Pokmain, LanesAcrossChunkEndsReadAsInsideAChunk)
{
    // A chunk after the first opens an eighth of its entries, and all of them when reached again.
    const int second = kMainChunkEntries, eighth = kMainChunkEntries / 8;
    struct row {
        int first, open, open_after_copy;
    };
    for (const row r :
         {row{second - 4, second + eighth, second + eighth}, row{second + 1, second + eighth, second + eighth},
          row{second + eighth - 7, second + eighth, 2 * second},
          row{2 * second - 1, 2 * second + eighth, 2 * second + eighth}}) {
        SCOPED_TRACE(r.first);
        int status = 0, size = 5 * kMainChunkEntries / 2, capacity = 0;
        POKREL(1, status);
        PokAllocMainArray(size, 0, status);
        pokmain_set_origin(100.0, 200.0, 0.0, capacity);
        pokarr lane = quarter_lane(), read;
        pokarr_init(2, read);
        pokmain_put_pnts(lane, 1, status);
        pokmain_put_pnts(lane, r.first, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(pokmain_block.main_open, r.open);
        const auto as_read = [&](int forward, int first) {
            pokmain_to_arr(forward, first, first + 6, read, status);
            std::vector<std::pair<double, double>> out;
            for (const xy& e : entries_of(read)) out.emplace_back(e.x, e.y);
            return out;
        };
        EXPECT_EQ(as_read(1, r.first), as_read(1, 1));
        EXPECT_EQ(as_read(0, r.first), as_read(0, 1));
        pokmain_reverse(6, 1, status);
        pokmain_reverse(6, r.first, status);
        EXPECT_EQ(as_read(1, r.first), as_read(1, 1));
        pokmain_dup_pnts(6, r.first - 1 + 6, status);  // the first six entries after the lane
        EXPECT_EQ(status, 0);
        EXPECT_EQ(pokmain_block.main_open, r.open_after_copy);
        EXPECT_EQ(as_read(1, r.first), as_read(1, 1));
        EXPECT_EQ(as_read(1, r.first + 6), as_read(1, 1));
        pokarr_free(lane);
        pokarr_free(read);
    }
}

TEST_F(Pokmain, ReadsOutsideTheArrayAreRefused)
{
    int status = 0, size = 10;
    PokAllocMainArray(size, 0, status);
    pokarr a;
    pokarr_init(2, a);
    pokmain_get_pnts(11, 1, a, status);
    EXPECT_EQ(status, -1);
    pokmain_to_arr(1, 5, 12, a, status);
    EXPECT_EQ(status, -1);
    pokmain_dup_pnts(6, 5, status);
    EXPECT_EQ(status, -1);
    pokmain_dup_pnts(-1, 0, status);
    EXPECT_EQ(status, -1);
    pokarr_free(a);
}

}  // namespace

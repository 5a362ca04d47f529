// Copies and conversions between layouts, range operations, removal from loops, record lists
// and thinning.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pokarr_convert.hpp"

#include <random>

namespace {

pokarr numbered_2d(int n)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (int i = 0; i < n; ++i) {
        const double p[2] = {double(i), 100.0 + i};
        pokarr_add_pnt(p, a, status);
    }
    return a;
}

std::vector<double> xs(const pokarr& a) { return std::vector<double>(a.x, a.x + a.count); }

}  // namespace

TEST_F(PocketTest, CopyConvertsBetweenFlatAndPointLayouts)
{
    pokarr points = numbered_2d(5);
    points.indicator = 3;
    pokarr flat;
    pokarr_init(1, flat);
    int status = 0;
    pokarr_copy(points, flat, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(xs(flat), (std::vector<double>{0, 100, 1, 101, 2, 102, 3, 103, 4, 104}));
    EXPECT_EQ(flat.indicator, 3);
    pokarr three;
    pokarr_init(3, three);
    pokarr_copy(flat, three, status);
    ASSERT_EQ(three.count, 3);  // 10 doubles make 3 points of 3
    EXPECT_EQ(three.x[1], 101.0);
    EXPECT_EQ(three.y[1], 2.0);
    EXPECT_EQ(three.z[1], 102.0);

    pokarr four;
    pokarr_init(4, four);
    pokarr_copy(points, four, status);
    ASSERT_EQ(four.count, 5);
    EXPECT_EQ(four.z[4], 0.0);
    EXPECT_EQ(four.n[3 * 4 + 2], 1.0);
    pokarr_copy(four, flat, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(flat.count, 0);
    EXPECT_EQ(errors(), std::vector<std::string>{"[pokarr_copy] UNABLE TO CONVERT 1D ARRAYS"});
    for (pokarr* a : {&points, &flat, &three, &four}) pokarr_free(*a);
}

TEST_F(PocketTest, RangeInsertOverwriteAppendAndReplace)
{
    pokarr source = numbered_2d(3);
    pokarr target = numbered_2d(10);
    int status = 0;
    pokarr_insert_pnts(3, source, 0, target, 100, status);
    EXPECT_EQ(target.count, 13);
    EXPECT_EQ(target.x[10], 0.0);
    pokarr_insert_pnts(2, source, 1, target, 1, status);
    EXPECT_EQ(xs(target).size(), 15u);
    EXPECT_EQ(target.x[1], 1.0);
    EXPECT_EQ(target.x[2], 2.0);
    EXPECT_EQ(target.x[3], 1.0);
    pokarr_insert_pnts(2, source, 2, target, 0, status);  // beyond the source
    EXPECT_EQ(status, -1);
    EXPECT_EQ(target.count, 15);

    pokarr ten = numbered_2d(10);
    pokarr_copy_pnts(2, source, 0, ten, 3, status);
    EXPECT_EQ(ten.count, 10);
    EXPECT_EQ(ten.x[4], 1.0);
    pokarr_copy_pnts(2, source, 0, ten, 9, status);
    EXPECT_EQ(ten.count, 11);
    pokarr_append(3, source, 0, ten, status);
    EXPECT_EQ(ten.count, 14);
    EXPECT_EQ(ten.y[13], 102.0);
    pokarr_replace(4, ten, 0, target, status);
    EXPECT_EQ(target.count, 4);
    for (pokarr* a : {&source, &target, &ten}) pokarr_free(*a);
}

TEST_F(PocketTest, RangeFromItselfReadsTheEntriesBeforeTheyMove)
{
    pokarr a = numbered_2d(4);
    int status = 0;
    pokarr_insert_pnts(4, a, 0, a, 2, status);
    EXPECT_EQ(xs(a), (std::vector<double>{0, 1, 0, 1, 2, 3, 2, 3}));
    pokarr child;
    pokarr_child(a, 4, 4, child);
    pokarr_append(4, child, 0, a, status);  // the append may move the block under the child
    EXPECT_EQ(xs(a), (std::vector<double>{0, 1, 0, 1, 2, 3, 2, 3, 2, 3, 2, 3}));
    pokarr_free(a);
}

TEST_F(PocketTest, RemovalFromAClosedLoopKeepsTheClosingPoint)
{
    struct row {
        int start, n;
        std::vector<double> expected;
    };
    // Loop of 6 entries whose entry 5 repeats entry 0.
    const row rows[] = {
        {4, 2, {1, 2, 3, 1}},
        {0, 2, {2, 3, 4, 0, 2}},
        {1, 5, {}},
        {2, 1, {0, 1, 3, 4, 0}},
    };
    for (const row& r : rows) {
        pokarr loop = numbered_2d(5);
        int status = 0;
        const double close[2] = {0, 100};
        pokarr_add_pnt(close, loop, status);
        loop.x[5] = 0;
        pokarr_remove_pnts(loop, 1, r.start, r.n, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(xs(loop), r.expected) << "start " << r.start << " n " << r.n;
        pokarr_free(loop);
    }
    pokarr open = numbered_2d(6);
    int status = 0;
    pokarr_remove_pnts(open, 0, 4, 9, status);
    EXPECT_EQ(xs(open), (std::vector<double>{0, 1, 2, 3}));
    pokarr_remove_pnts(open, 0, 4, 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"[pokarr_remove_pnts] Index is larger than array"});
    pokarr_free(open);
}

TEST_F(PocketTest, RecordListsRoundTripAndRefuseWhatDoesNotFit)
{
    const double records[] = {1, 2, 3, 4, 5, 6};
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    pokarr_from_records(2, records, nullptr, 3, a, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.z[2], 0.0);
    double out[9] = {}, normals[9] = {};
    int count = 0;
    pokarr_to_records(4, out, normals, 3, count, a, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::vector<double>(out, out + 9), (std::vector<double>{1, 2, 0, 3, 4, 0, 5, 6, 0}));
    EXPECT_EQ(normals[8], 1.0);
    pokarr_to_records(3, out, nullptr, 2, count, a, status);  // room for 2 records only
    EXPECT_EQ(status, -1);
    pokarr_from_records(7, records, nullptr, 3, a, status);
    EXPECT_EQ(status, -1);
    pokarr_free(a);
}

TEST_F(PocketTest, ThinningDropsCollinearPointsAndKeepsTheRest)
{
    // Points along x with one corner: only the ends and the corner stay.
    pokarr a;
    pokarr_init(4, a);
    int status = 0;
    for (int i = 0; i <= 10; ++i) {
        const double p[3] = {double(i), i <= 5 ? 0.0 : double(i - 5), 1.0};
        const double normal[3] = {0.0, double(i), 1.0};
        pokarr_add_pnt_nrm(p, normal, a, status);
    }
    pokarr thin;
    pokarr_init(4, thin);
    pokarr_dilul(a, 1e-3, 0, 0.0, &thin, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(thin.count, 3);
    EXPECT_EQ(xs(thin), (std::vector<double>{0, 5, 10}));
    EXPECT_EQ(thin.n[3 * 1 + 1], 5.0);  // normals move with their points
    EXPECT_EQ(a.count, 11);             // the source stays
    pokarr_dilul(a, 1e-3, 0, 0.0, nullptr, status);
    EXPECT_EQ(a.count, 3);

    pokarr kept = numbered_2d(4);
    for (int i = 0; i < 4; ++i) kept.y[i] = i % 2;  // zigzag: nothing may go
    pokarr_dilul(kept, 1e-3, 0, 0.0, nullptr, status);
    EXPECT_EQ(kept.count, 4);
    pokarr flat;
    pokarr_init(1, flat);
    pokarr_dilul(flat, 1e-3, 0, 0.0, nullptr, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "[pokarr_dilul] UNABLE TO DILUL A ONE DIMENSIONAL ARRAY");
    for (pokarr* p : {&a, &thin, &kept}) pokarr_free(*p);
}

TEST_F(PocketTest, PropertyTwoDThreeDTwoDIsTheIdentity)
{
    const unsigned seed = 77;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    for (int trial = 0; trial < 50; ++trial) {
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        const int n = 1 + trial * 7;
        for (int i = 0; i < n; ++i) {
            const double p[2] = {value(random), value(random)};
            pokarr_add_pnt(p, a, status);
        }
        pokarr three, back;
        pokarr_init(3, three);
        pokarr_init(2, back);
        pokarr_copy(a, three, status);
        pokarr_copy(three, back, status);
        ASSERT_EQ(back.count, a.count) << "seed " << seed << " trial " << trial;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(back.x[i], a.x[i]) << "seed " << seed << " trial " << trial;
            EXPECT_EQ(back.y[i], a.y[i]) << "seed " << seed << " trial " << trial;
            EXPECT_EQ(three.z[i], 0.0);
        }
        for (pokarr* p : {&a, &three, &back}) pokarr_free(*p);
    }
}

// A shift moves the tail of every block (x, y, z and normals) in one piece, also when the tail
// overlaps where it lands, and leaves the count to the caller.
TEST_F(PocketTest, ShiftMovesTheTailOfEveryBlock)
{
    struct row {
        int dimension, from, to;
        std::vector<double> expected;  // x of the entries below the old count
    };
    const row rows[] = {
        {2, 3, 1, {0, 3, 4, 5, 4, 5}},
        {3, 2, 0, {2, 3, 4, 5, 4, 5}},
        {4, 5, 4, {0, 1, 2, 3, 5, 5}},
        {4, 6, 2, {0, 1, 2, 3, 4, 5}},  // nothing to move
    };
    for (const row& r : rows) {
        pokarr a;
        pokarr_init(r.dimension, a);
        int status = 0;
        for (int i = 0; i < 6; ++i) {
            const double p[3] = {double(i), 100.0 + i, 200.0 + i}, n[3] = {300.0 + i, 400.0 + i, 500.0 + i};
            pokarr_add_pnt_nrm(p, n, a, status);
        }
        ASSERT_EQ(status, 0);
        pokarr_shift_entries(a, r.from, r.to);
        EXPECT_EQ(a.count, 6) << "dimension " << r.dimension;
        EXPECT_EQ(xs(a), r.expected) << "dimension " << r.dimension << " from " << r.from;
        for (int i = 0; i < a.count; ++i) {
            const double x = r.expected[static_cast<std::size_t>(i)];
            EXPECT_EQ(a.y[i], 100.0 + x) << "dimension " << r.dimension << " entry " << i;
            if (r.dimension >= 3) {
                EXPECT_EQ(a.z[i], 200.0 + x) << "dimension " << r.dimension << " entry " << i;
            }
            if (r.dimension == 4) {
                EXPECT_EQ(a.n[3 * i + 2], 500.0 + x) << "entry " << i;
            }
        }
        pokarr_free(a);
    }
}

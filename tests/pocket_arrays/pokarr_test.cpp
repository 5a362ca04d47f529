// Pocket arrays: creation, kinds and their size limits, growth, child views, move, swap and the
// appending family.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pokarr_convert.hpp"

TEST_F(PocketTest, AddArcWritesTheFourEntryRecord)
{
    pokarr a = make_2d({{0, 0}, {1, 0}, {2, 0}});
    int status = 5;
    const double z = 7.0;
    pokarr_add_arc(4.0, 0.0, &z, 3.0, 0.0, 1.0, -1, a, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(a.count, 7);
    EXPECT_EQ(a.x[3], 1.0e25);
    EXPECT_EQ(a.y[3], 0.0);
    EXPECT_EQ(a.x[4], 1.0);
    EXPECT_EQ(a.y[4], -1.0);
    EXPECT_EQ(a.x[5], 3.0);
    EXPECT_EQ(a.x[6], 4.0);
    EXPECT_EQ(a.y[6], 0.0);

    pokarr b;
    pokarr_init(4, b);
    pokarr_add_arcpart(3.0, 0.0, &z, 1.0, 1, b, status);
    ASSERT_EQ(b.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b.z[i], 7.0);
        EXPECT_EQ(b.n[3 * i + 2], 1.0);
    }
    pokarr_free(a);
    pokarr_free(b);
}

TEST_F(PocketTest, SizeLimitsOfEachKindAcceptTheLargestAndRefuseOneMore)
{
    struct row {
        int dimension;
        int largest;
    };
    for (const row& r : {row{2, 150000}, row{3, 150000}, row{4, 150000}, row{1, 450000}}) {
        pokarr a;
        pokarr_init(r.dimension, a);
        int status = 0;
        pokarr_resize(a, r.largest, 0, status);
        EXPECT_EQ(status, 0) << r.dimension;
        EXPECT_GE(pokarr_capacity(a), r.largest);
        a.count = 3;
        const pokarr before = a;
        pokarr_resize(a, r.largest + 1, 1, status);
        EXPECT_EQ(status, -1) << r.dimension;
        EXPECT_EQ(a.kind, before.kind);
        EXPECT_EQ(a.count, 3);
        EXPECT_EQ(a.x, before.x);
        pokarr_free(a);
    }
    // A static array holds what its caller's memory holds, and no more.
    std::vector<double> x(40), y(40);
    pokarr s;
    int status = 0;
    pokarr_init_static(2, x.data(), y.data(), nullptr, nullptr, 10, 40, s, status);
    ASSERT_EQ(status, 0);
    pokarr_resize(s, 40, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(s.count, 10);
    pokarr_resize(s, 41, 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(errors().empty());
}

TEST_F(PocketTest, StaticArrayRefusesAppendsBeyondItsRoom)
{
    // Memory for 4 entries, 2 in use: two appends fit, the third would write past the buffer.
    double x[4] = {0, 1, 0, 0}, y[4] = {0, 0, 0, 0};
    pokarr s;
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, 2, 4, s, status);
    const double p[2] = {5.0, 6.0};
    pokarr_add_pnt(p, s, status);
    pokarr_add_pnt(p, s, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(s.count, 4);
    pokarr_add_pnt(p, s, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(s.count, 4);
    EXPECT_EQ(x[3], 5.0);
    // Bad static arrays are refused before any header is built.
    pokarr bad;
    pokarr_init_static(2, x, nullptr, nullptr, nullptr, 1, 4, bad, status);
    EXPECT_EQ(status, -1);
    pokarr_init_static(2, x, y, nullptr, nullptr, 5, 4, bad, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().size(), 2u);
}

TEST_F(PocketTest, IllegalDimensionsAndChildResizeAreReported)
{
    pokarr a = make_2d({{1, 2}});
    a.indicator = 9;
    pokarr_init(5, a);
    EXPECT_EQ(a.dimension, 2);
    EXPECT_EQ(a.count, 1);
    EXPECT_EQ(a.indicator, 0);
    pokarr child;
    pokarr_child(a, 0, 1, child);
    int status = 0;
    pokarr_resize(child, 10, 1, status);
    EXPECT_EQ(status, -1);
    pokarr d;
    pokarr_init_dyn(0, 10, d, status);
    EXPECT_EQ(status, -1);
    pokarr_init_dyn(2, -1, d, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), (std::vector<std::string>{
                            "[pokarr_init] ILLEGAL NUMBER OF DIMENSIONS",
                            "[pokarr_resize1] ATTEMPT TO RESIZE CHILD ARRAY",
                            "[pokarr_init] ILLEGAL NUMBER OF DIMENSIONS",
                            "[pokarr_init_dyn], UNSUPPORTED DYNAMIC ARRAY SIZE",
                            "[pokarr_init_dyn], ATTEMPTING TO CREATE A NEGATIVE SIZE ARRAY",
                        }));
    pokarr_free(a);
}

TEST_F(PocketTest, AppendersWithAWrongDimensionFailAndAddNothing)
{
    pokarr flat;
    pokarr_init(1, flat);
    pokarr four;
    pokarr_init(4, four);
    const double p[3] = {1, 2, 3};
    struct row {
        const char* name;
        int status;
        int count;
        std::string message;
    };
    std::vector<row> rows;
    int status = 0;
    pokarr_add_pnt(p, flat, status);
    rows.push_back({"add_pnt 1D", status, flat.count, "[pokarr_add_pnt] POCKET ARRAY IS NOT 2D OR 3D"});
    pokarr_add_pnt(p, four, status);
    rows.push_back({"add_pnt 4", status, four.count, "[pokarr_add_pnt] POCKET ARRAY IS NOT 2D OR 3D"});
    pokarr_insert_pnt(p, four, 0, status);
    rows.push_back({"insert_pnt 4", status, four.count, "[pokarr_add_pnt] POCKET ARRAY IS NOT 2D OR 3D"});
    pokarr_add_arc(1, 1, nullptr, 0, 0, 1, 1, flat, status);
    rows.push_back({"add_arc 1D", status, flat.count, "[pokarr_add_arc] ARCS NOT SUPPORTED FOR 1D ARRAYS"});
    pokarr_add_arcpart(0, 0, nullptr, 1, 1, flat, status);
    rows.push_back({"add_arcpart 1D", status, flat.count, "[pokarr_add_arcpart] ARCS NOT SUPPORTED FOR 1D ARRAYS"});
    pokarr_add_pnt_nrm(p, nullptr, flat, status);
    rows.push_back({"add_pnt_nrm 1D", status, flat.count, "[pokarr_add_pnt_nrm] POCKET ARRAY IS NOT 2D, 3D OR 4D"});
    pokarr_insert_pnt_nrm(p, nullptr, flat, 0, status);
    rows.push_back(
        {"insert_pnt_nrm 1D", status, flat.count, "[pokarr_insert_pnt_nrm] POCKET ARRAY IS NOT 2D, 3D OR 4D"});
    const std::vector<std::string> sent = errors();
    ASSERT_EQ(sent.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].status, -1) << rows[i].name;
        EXPECT_EQ(rows[i].count, 0) << rows[i].name;
        EXPECT_EQ(sent[i], rows[i].message) << rows[i].name;
    }
}

TEST_F(PocketTest, AppendersWriteDefaultsAndFlatValues)
{
    pokarr flat;
    pokarr_init(1, flat);
    const double y = 2, z = 3, normal[3] = {0.1, 0.2, 0.3};
    int status = 0;
    pokarr_add_xyz(1, &y, &z, normal, flat, status);
    pokarr_add_xyz(9, &y, nullptr, normal, flat, status);
    ASSERT_EQ(flat.count, 8);
    EXPECT_EQ(std::vector<double>(flat.x, flat.x + 8), (std::vector<double>{1, 2, 3, 0.1, 0.2, 0.3, 9, 2}));

    pokarr four;
    pokarr_init(4, four);
    pokarr_add_xyz(1, nullptr, nullptr, nullptr, four, status);
    const double p[3] = {4, 5, 6};
    pokarr_insert_pnt_nrm(p, normal, four, 0, status);
    ASSERT_EQ(four.count, 2);
    EXPECT_EQ(four.x[0], 4);
    EXPECT_EQ(four.z[0], 6);
    EXPECT_EQ(four.n[1], 0.2);
    EXPECT_EQ(four.x[1], 1);
    EXPECT_EQ(four.y[1], 0.0);
    EXPECT_EQ(four.n[5], 1.0);

    pokarr three;
    pokarr_init(3, three);
    for (int i = 0; i < 5; ++i) {
        const double q[3] = {double(i), double(i), double(10 * i)};
        pokarr_add_pnt(q, three, status);
    }
    const double inserted[3] = {-1, -1, -10};
    pokarr_insert_pnt(inserted, three, 99, status);
    pokarr_insert_pnt(inserted, three, 2, status);
    ASSERT_EQ(three.count, 7);
    EXPECT_EQ(std::vector<double>(three.z, three.z + 7), (std::vector<double>{0, 10, -10, 20, 30, 40, -10}));
    pokarr_free(flat);
    pokarr_free(four);
    pokarr_free(three);
}

TEST_F(PocketTest, GrowthKeepsEntriesCacheAndIndicator)
{
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        const double p[3] = {double(i), 2.0 * i, 3.0 * i};
        pokarr_add_pnt(p, a, status);
        if (i == 0) {
            a.indicator = 42;
            a.direction = 1;
            a.area = 5.0;
        }
    }
    ASSERT_EQ(status, 0);
    ASSERT_EQ(a.count, 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(a.x[i], i);
        EXPECT_EQ(a.y[i], 2.0 * i);
        EXPECT_EQ(a.z[i], 3.0 * i);
    }
    EXPECT_EQ(a.indicator, 42);
    EXPECT_EQ(a.direction, 1);
    EXPECT_EQ(a.area, 5.0);
    pokarr_reset(a, 10, status);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.indicator, 0);
    EXPECT_EQ(pokarr_free(a), 0);
}

// Growth for an append: a dynamic array asking for kPokarrGrowAheadFrom entries or more gets half
// as many again, a smaller one what it asks (to the pool's whole kilobytes), as does a growth that
// is not an append. Rows: entries asked, least and most capacity (2-D entries of 16 bytes).
TEST_F(PocketTest, GrowthForAnAppendGivesLargeArraysHalfAsManyAgain)
{
    const int rows[][3] = {{100, 101, 164}, {1023, 1024, 1088}, {1024, 1536, 1600}, {6000, 9000, 9064}};
    for (const auto& r : rows) {
        pokarr ahead, plain;
        int status = 0;
        pokarr_init_dyn(2, 1, ahead, status);
        pokarr_init_dyn(2, 1, plain, status);
        pokarr_grow_ahead(ahead, r[0], status);
        pokarr_grow(plain, r[0], status);
        EXPECT_EQ(status, 0);
        EXPECT_GE(pokarr_capacity(ahead), r[1]) << r[0];
        EXPECT_LE(pokarr_capacity(ahead), r[2]) << r[0];
        EXPECT_LE(pokarr_capacity(plain), r[0] + 64) << r[0];
        pokarr_free(ahead);
        pokarr_free(plain);
    }
}

// Appends up to the entry limit (through every growth, in place between them) keep every point
// and the count; the append beyond the limit is refused although the last block has room.
TEST_F(PocketTest, AppendedPointsSurviveGrowthUpToTheLimit)
{
    for (int dimension : {2, 3}) {
        pokarr a;
        pokarr_init(dimension, a);
        int status = 0;
        for (int i = 0; i < kPokarrMaxEntries && status == 0; ++i) {
            const double p[3] = {double(i), -double(i), 0.5 * i};
            pokarr_add_pnt(p, a, status);
        }
        ASSERT_EQ(status, 0) << dimension;
        ASSERT_EQ(a.count, kPokarrMaxEntries) << dimension;
        ASSERT_GT(pokarr_capacity(a), kPokarrMaxEntries) << dimension;
        int wrong = 0;
        for (int i = 0; i < a.count; ++i)
            if (a.x[i] != i || a.y[i] != -i || (dimension == 3 && a.z[i] != 0.5 * i)) ++wrong;
        EXPECT_EQ(wrong, 0) << dimension;
        const double beyond[3] = {1.0, 2.0, 3.0};
        pokarr_add_pnt(beyond, a, status);
        EXPECT_EQ(status, -1) << dimension;
        EXPECT_EQ(a.count, kPokarrMaxEntries) << dimension;
        pokarr_free(a);
    }
}

TEST_F(PocketTest, ChildViewsAndFreeResults)
{
    pokarr a = make_2d({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
    a.area = 2.5;
    a.direction = -1;
    pokarr child;
    pokarr_child(a, 10, 3, child);
    EXPECT_EQ(child.kind, kPokarrChild);
    EXPECT_EQ(child.count, 1);
    EXPECT_EQ(child.x[0], 4.0);
    EXPECT_EQ(child.direction, 0);
    pokarr whole;
    pokarr_child(a, 0, 5, whole);
    EXPECT_EQ(whole.area, 2.5);
    EXPECT_EQ(whole.direction, -1);
    pokarr empty, of_empty;
    pokarr_init(3, empty);
    pokarr_child(empty, 0, 4, of_empty);
    EXPECT_EQ(of_empty.kind, kPokarrEmpty);
    EXPECT_EQ(of_empty.dimension, 3);
    EXPECT_EQ(pokarr_free(empty), 2);
    EXPECT_EQ(pokarr_free(child), 1);
    EXPECT_EQ(child.kind, kPokarrEmpty);
    EXPECT_EQ(pokarr_free(a), 0);
    pokarr unknown;
    unknown.kind = -7;
    EXPECT_EQ(pokarr_free(unknown), -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"[pokarr_free] UNABLE TO FIND DYNAMIC ARRAY"});
}

TEST_F(PocketTest, MoveHandsTheBlockOverAndSwapRefusesStatics)
{
    pokarr source = make_2d({{1, 1}, {2, 2}});
    const int block = source.kind;
    pokarr destination = make_2d({{9, 9}});
    int status = 0;
    pokarr_move(source, destination, status);
    EXPECT_EQ(destination.kind, block);
    EXPECT_EQ(source.kind, kPokarrChild);
    EXPECT_EQ(pokarr_free(source), 1);  // freeing the view leaves the block owned
    EXPECT_EQ(pkdm_entry_at(block)->state, kPkdmOwned);
    EXPECT_EQ(destination.x[1], 2.0);

    double x[3] = {7, 8, 0}, y[3] = {7, 8, 0};
    pokarr fixed;
    pokarr_init_static(2, x, y, nullptr, nullptr, 2, 3, fixed, status);
    pokarr_move(destination, fixed, status);  // into a static array: copied
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fixed.kind, kPokarrStatic);
    EXPECT_EQ(x[0], 1.0);
    EXPECT_EQ(y[1], 2.0);
    EXPECT_EQ(destination.kind, block);  // the source keeps its block
    pokarr_swap(fixed, destination, status);
    EXPECT_EQ(status, -1);
    pokarr other = make_2d({{5, 5}});
    pokarr_swap(other, destination, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(other.count, 2);
    EXPECT_EQ(destination.count, 1);
    pokarr_free(other);
    pokarr_free(destination);
}

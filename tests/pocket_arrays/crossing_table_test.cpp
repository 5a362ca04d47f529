// The crossing table: a loop against itself keeps each crossing once, on its earlier element and
// in order along the loop, and no touching point; arrays of different dimensions are refused.
#include "pocket_lanes/lane_test_support.hpp"

#include "pocket_arrays/crossing_table.hpp"

#include <vector>

namespace {

class CrossingTable : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
    }
};

struct self_table {
    std::vector<int> a = std::vector<int>(kComlupsRows), b = std::vector<int>(kComlupsRows);
    std::vector<double> x = std::vector<double>(kComlupsRows), y = std::vector<double>(kComlupsRows);
    comlups_columns columns() { return {a.data(), b.data(), x.data(), y.data(), nullptr, nullptr, nullptr, nullptr}; }
};

}  // namespace

TEST_F(CrossingTable, SelfTableHoldsEveryCrossingOnce)
{
    struct row {
        const char* name;
        std::vector<xy> loop;
        int rows;
    } rows[] = {
        {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 0},
        {"figure eight", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, 1},
        // A notch touching the bottom edge: a touching point, no crossing.
        {"notch", {{0, 0}, {10, 0}, {10, 10}, {6, 10}, {5, 0}, {4, 10}, {0, 10}, {0, 0}}, 0},
        {"three crossings", {{0, 0}, {20, 0}, {20, 10}, {2, -5}, {18, -5}, {0, 10}, {0, 0}}, 3},
    };
    for (const row& r : rows) {
        pokarr a = make_from(r.loop);
        self_table t;
        int count = -7;
        cre_comlups_array(kComlupsSelf, a, a, 1.0e-6, count, t.columns());
        EXPECT_EQ(count, r.rows) << r.name;
        for (int i = 0; i < count; ++i) {
            EXPECT_GT(t.b[i], t.a[i]) << r.name;  // on the earlier element, B's element positive
            if (i > 0) {
                EXPECT_LE(t.a[i - 1], t.a[i]) << r.name;
            }
        }
        pokarr_free(a);
    }
}

TEST_F(CrossingTable, DimensionsMustAgree)
{
    pokarr a = make_from({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    pokarr b;
    pokarr_init(3, b);
    int status = 0;
    for (const xy& p : std::vector<xy>{{5, 5}, {15, 5}, {15, 15}, {5, 5}}) {
        const double q[3] = {p.x, p.y, 0.0};
        pokarr_add_pnt(q, b, status);
    }
    self_table t;
    int count = 0;
    cre_comlups_array(kComlupsLinked, a, b, 1.0, count, t.columns());
    EXPECT_EQ(count, -1);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "[cre_comlups_array] DIMENSIONS OF ARRAYS DIFFER");
    pokarr_free(a);
    pokarr_free(b);
}

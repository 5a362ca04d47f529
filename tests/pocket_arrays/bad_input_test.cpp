// Bad input: empty arrays, arrays of one entry, records cut short and negative sizes go through
// every operation without reading or writing outside the arrays. The arrays here lie over
// vectors of exactly their size, so the sanitizer build catches any access beyond them.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

namespace {

// Exactly sized storage with a static 2-D array over it.
struct tight_array {
    std::vector<double> x, y;
    pokarr array;
    explicit tight_array(std::vector<xy> entries)
    {
        for (const xy& e : entries) {
            x.push_back(e.x);
            y.push_back(e.y);
        }
        int status = 0;
        const int n = static_cast<int>(entries.size());
        pokarr_init_static(2, n ? x.data() : nullptr, n ? y.data() : nullptr, nullptr, nullptr, n, n, array, status);
    }
};

// Runs every operation that reads a whole array or an element of it.
void exercise(pokarr& a)
{
    int status = 0, index = 0, flag = 0;
    double area = 0, total = 0, point[3] = {0, 0, 0}, normal[3];
    pokarr_area(a);
    pokarr_area_dir(a, area, index);
    pokarr_longest_elem(a, index);
    pokarr_length(0, a, nullptr, total, status);
    pokarr_is_closed(a);
    for (int i = -1; i <= a.count + 1; ++i) {
        index = i;
        pokarr_pnt_at_param(a, index, 0.5, point);
        pokarr_elem_ends(a, i, point, normal, flag);
        for (int b = -1; b <= a.count; ++b) {
            pokarr_join_arc(i, b, 0, a);
            pokarr_join_arc(i, b, 1, a);
        }
    }
    pokarr_tidy_pass1(a);
    pokarr_tidy_pass2(a);
    pokarr_split_big_arcs(a, status);  // a static array without room refuses to grow
    pokarr_reverse(a);
    pokarr child;
    pokarr_child(a, -3, 99, child);
    pokarr_child(a, 99, -3, child);
    pokarr copy;
    pokarr_init(3, copy);
    pokarr_copy(a, copy, status);
    pokarr_dilul(copy, 0.1, 0, 0.0, nullptr, status);
    pokarr_insert_pnts(a.count, a, 0, copy, -5, status);
    pokarr_copy_pnts(-2, a, 0, copy, 99, status);
    pokarr_free(copy);
}

}  // namespace

TEST_F(PocketTest, EveryOperationCopesWithEmptyShortAndCutArrays)
{
    pocket_work_block.side_step = pocket_work_block.engine_step = 2.0;
    pocket_work_block.tolerance = 0.01;
    const std::vector<std::vector<xy>> shapes = {
        {},
        {{1, 1}},
        {{0, 0}, {1e25, 0}},                                           // marker with nothing after it
        {{0, 0}, {1e25, 0}, {1, 1}},                                   // radius, no centre, no end
        {{0, 0}, {1e25, 0}, {1, 1}, {0, 1}},                           // no end point
        {{0, 0}, {1, 0}, {1e25, 0}, {1, 1}, {0, 1}},                   // trailing record without its end
        {{0, 0}, {1e25, 0}, {0, 1}, {5, 5}, {0, 0}},                   // centre far off, radius 0
        {{1e25, 0}, {1, 1}, {0, 0}, {1, 0}, {2, 2}},                   // marker at the very start
        {{0, 0}, {1e25, 0}, {1, 1e30}, {0, 0}, {1, 0}},                // direction word out of any range
        {{0, 0}, {1e25, 0}, {1e25, 0}, {1e25, 0}, {1e25, 0}, {1, 0}},  // markers only
    };
    for (const auto& shape : shapes) {
        tight_array t(shape);
        exercise(t.array);
        EXPECT_LE(t.array.count, static_cast<int>(shape.size()));
    }
}

TEST_F(PocketTest, NegativeSizesAreRefused)
{
    pokarr a = make_2d({{0, 0}, {1, 1}});
    int status = 0;
    pokarr_remove_pnts(a, 0, -1, 1, status);
    EXPECT_EQ(status, -1);
    pokarr_remove_pnts(a, 1, 0, -4, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(a.count, 2);
    pokarr_insert_pnts(1, a, -1, a, 0, status);
    EXPECT_EQ(status, -1);
    pokarr_from_records(2, nullptr, nullptr, -3, a, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(a.count, 2);
    int index = 0;
    pkdm_alloc(-10, index);
    EXPECT_EQ(index, -2);
    pokarr static_bad;
    double x[2], y[2];
    pokarr_init_static(2, x, y, nullptr, nullptr, -1, 2, static_bad, status);
    EXPECT_EQ(status, -1);
    pokarr_init_static(7, x, y, nullptr, nullptr, 0, 2, static_bad, status);
    EXPECT_EQ(status, -1);
    index = -1;
    xy_tidy_pass1(x, y, index);
    EXPECT_EQ(index, -1);
    double area = 1;
    int direction = 0;
    xy_area_dir(x, y, -4, area, direction);
    EXPECT_EQ(area, 0.0);
    pokarr_free(a);
}

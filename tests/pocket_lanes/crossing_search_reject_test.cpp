// The early answer of the crossing search (crossing_search_finds_none): wherever it answers that
// the search finds nothing, the search itself finds no row and no failure, also for loops that
// come within the search's tolerance of one another, arcs whose circle reaches over, and loops
// holding a number that is not finite.
#include "lane_test_support.hpp"

#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_lanes/loop_relation.hpp"

#include <cmath>
#include <limits>
#include <random>

namespace {

std::vector<xy> rectangle(double x0, double y0, double x1, double y1)
{
    return {{0.5 * (x0 + x1), y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}, {0.5 * (x0 + x1), y0}};
}

// What the search answers for A against B: rows, and the status luplup_pokarr gives.
struct search_answer {
    int count = 0, status = 0;
};

search_answer search(pokarr& a, const pokarr& b)
{
    static pk_box_table boxes;
    static int elem_a[kLuplupRows], elem_b[kLuplupRows];
    static double x[kLuplupRows], y[kLuplupRows], z_a[kLuplupRows], z_b[kLuplupRows];
    pokarr_get_boxes(b, boxes);
    search_answer s;
    luplup_pokarr(102, a, b, boxes, elem_a, elem_b, x, y, z_a, z_b, s.count, s.status);
    return s;
}

// The rows of the search of A against B, one after another (elements, then x and y bit for bit),
// through the whole of A or through the elements of A that the loop made ready lists near B.
std::vector<double> search_rows(pokarr& a, crossing_search_loop* near_of_a, const pokarr& b)
{
    static pk_box_table boxes;
    static int elem_a[kLuplupRows], elem_b[kLuplupRows];
    static double x[kLuplupRows], y[kLuplupRows], z_a[kLuplupRows], z_b[kLuplupRows];
    pokarr_get_boxes(b, boxes);
    int count = 0, status = 0;
    luplup_near near;
    if (near_of_a != nullptr && crossing_search_near(*near_of_a, b, near))
        luplup_pokarr_near(102, a, near, b, boxes, elem_a, elem_b, x, y, z_a, z_b, count, status);
    else
        luplup_pokarr(102, a, b, boxes, elem_a, elem_b, x, y, z_a, z_b, count, status);
    std::vector<double> rows = {double(count), double(status)};
    for (int i = 0; i < count; ++i) rows.insert(rows.end(), {double(elem_a[i]), double(elem_b[i]), x[i], y[i]});
    return rows;
}

}  // namespace

TEST_F(LaneTest, CrossingSearchRejectAnswersOnlyWhereTheSearchFindsNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A's right side bulges out as an arc whose circle reaches left over B, its ends do not.
    std::vector<xy> arc_side = {{10, 0}, {20, 0}};
    push_arc(arc_side, std::hypot(50.0, 5.0), 1.0, -30.0, 5.0, 20.0, 10.0);
    arc_side.insert(arc_side.end(), {{0, 10}, {0, 0}, {10, 0}});
    // B's top side bulges up as an arc whose circle reaches below A's bottom side.
    std::vector<xy> bulge = {{10, 3}, {15, 3}, {15, 7}};
    push_arc(bulge, std::hypot(5.0, 4.9), 1.0, 10.0, 2.1, 5.0, 7.0);
    bulge.insert(bulge.end(), {{5, 3}, {10, 3}});
    std::vector<xy> with_nan = rectangle(5, 3, 15, 7);
    with_nan[2].x = nan;
    struct row {
        const char* name;
        std::vector<xy> a, b;
        bool early;
    };
    const row rows[] = {
        {"nested apart", rectangle(0, 0, 20, 10), rectangle(5, 3, 15, 7), true},
        {"side shared", rectangle(0, 0, 20, 10), rectangle(0, 3, 15, 7), false},
        {"inside by 1e-6", rectangle(0, 0, 20, 10), rectangle(1e-6, 3, 15, 7), false},
        {"inside by 7.9e-6", rectangle(0, 0, 20, 10), rectangle(7.9e-6, 3, 15, 7), false},
        {"inside by 1e-4", rectangle(0, 0, 20, 10), rectangle(1e-4, 3, 15, 7), true},
        {"crossing", rectangle(0, 0, 20, 10), rectangle(5, 3, 25, 7), false},
        {"far apart", rectangle(0, 0, 20, 10), rectangle(30, 3, 40, 7), true},
        {"arc circle over B", arc_side, rectangle(5, 3, 15, 7), false},
        {"circle of B's arc over A", rectangle(0, 0, 20, 10), bulge, false},
        {"not finite", rectangle(0, 0, 20, 10), with_nan, false},
    };
    for (const row& r : rows) {
        pokarr a = make_from(r.a), b = make_from(r.b);
        const bool early = crossing_search_finds_none(a, b);
        EXPECT_EQ(early, r.early) << r.name;
        crossing_search_loop ready;
        crossing_search_loop_make(a, ready);
        EXPECT_EQ(crossing_search_finds_none(ready, b), early) << r.name;
        // The early answer never claims nothing where the search finds something or fails.
        const search_answer s = search(a, b);
        EXPECT_TRUE(!early || (s.count == 0 && s.status == 0)) << r.name;
        pokarr_free(a);
        pokarr_free(b);
    }
}

// The answer from the grid of A's elements is the walk's over every element, for small boxes
// scattered on and about a noisy ring of many elements.
TEST_F(LaneTest, CrossingSearchRejectFromTheGridAnswersAsTheWalk)
{
    constexpr unsigned seed = 47u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<xy> ring;
    for (int k = 0; k <= 2000; ++k) {
        const double t = 2.0 * 3.141592653589793 * (k % 2000) / 2000.0, r = 300.0 + 2.0 * unit(rng);
        ring.push_back({r * std::cos(t), r * std::sin(t)});
    }
    pokarr a = make_from(ring);
    crossing_search_loop ready;
    crossing_search_loop_make(a, ready);
    int none = 0;
    for (int i = 0; i < 2000; ++i) {
        const double x = 640.0 * unit(rng) - 320.0, y = 640.0 * unit(rng) - 320.0, side = 4.0 * unit(rng);
        pokarr b = make_from(rectangle(x, y, x + side, y + side));
        const bool early = crossing_search_finds_none(a, b);
        none += early ? 1 : 0;
        ASSERT_EQ(crossing_search_finds_none(ready, b), early) << "seed " << seed << " box " << i;
        pokarr_free(b);
    }
    EXPECT_GT(none, 0);
    EXPECT_LT(none, 2000);
    pokarr_free(a);
}

// The search through the source's elements listed near a small loop finds every row of the search
// through all of them, for loops crossing, touching and missing a noisy ring of lines and arcs; the
// crossing test from the listed elements answers as the test through all of them.
TEST_F(LaneTest, CrossingSearchNearTheLoopFindsTheRowsOfTheWholeSearch)
{
    constexpr unsigned seed = 61u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double two_pi = 2.0 * 3.141592653589793;
    std::vector<xy> ring = {{300.0, 0.0}};
    for (int k = 1; k <= 1200; ++k) {
        const double t = two_pi * (k % 1200) / 1200.0, r = k % 1200 == 0 ? 300.0 : 300.0 + 2.0 * unit(rng);
        const xy end{r * std::cos(t), r * std::sin(t)};
        if (k % 3 == 0) {
            // A bulge out: the centre 20 inside the chord's middle.
            const xy s = ring.back();
            const double dx = end.x - s.x, dy = end.y - s.y, length = std::hypot(dx, dy);
            const double cx = 0.5 * (s.x + end.x) - 20.0 * dy / length, cy = 0.5 * (s.y + end.y) + 20.0 * dx / length;
            push_arc(ring, std::hypot(s.x - cx, s.y - cy), 1.0, cx, cy, end.x, end.y);
        } else {
            ring.push_back(end);
        }
    }
    pokarr a = make_from(ring);
    crossing_search_loop ready;
    crossing_search_loop_make(a, ready);
    int crossed = 0;
    for (int i = 0; i < 600; ++i) {
        const double t = two_pi * unit(rng), r = 296.0 + 8.0 * unit(rng), side = 0.2 + 6.0 * unit(rng);
        const double x0 = r * std::cos(t), y0 = r * std::sin(t), x1 = x0 + side, y1 = y0 + side;
        std::vector<xy> loop = {{x0 + 0.5 * side, y0}, {x1, y0}, {x1, y1}};
        if (i % 2 == 1)  // the top side bulges up as an arc
            push_arc(loop, std::hypot(0.5 * side, side), 1.0, x0 + 0.5 * side, y0, x0, y1);
        else
            loop.push_back({x0, y1});
        loop.insert(loop.end(), {{x0, y0}, {x0 + 0.5 * side, y0}});
        pokarr b = make_from(loop);
        const std::vector<double> whole = search_rows(a, nullptr, b);
        crossed += whole[0] > 0 ? 1 : 0;
        ASSERT_EQ(search_rows(a, &ready, b), whole) << "seed " << seed << " loop " << i;
        for (const int mode : {kLuplupFirstOnly + 2, 2}) {
            int tested = 0, near = 0;
            pokarr_intersect_test(mode, a, b, tested);
            crossing_test_near(mode, a, ready, b, near);
            ASSERT_EQ(near, tested) << "seed " << seed << " loop " << i << " mode " << mode;
        }
        pokarr_free(b);
    }
    EXPECT_GT(crossed, 100);
    pokarr_free(a);
}

// The early answer of the crossing search (crossing_search_finds_none): wherever it answers that
// the search finds nothing, the search itself finds no row and no failure, also for loops that
// come within the search's tolerance of one another, arcs whose circle reaches over, and loops
// holding a number that is not finite.
#include "lane_test_support.hpp"

#include "pocket_lanes/loop_intersect.hpp"
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

// The early answer must never claim nothing where the search finds something or fails.
void expect_sound(pokarr& a, const pokarr& b, bool early, const std::string& what)
{
    if (!early) return;
    const search_answer s = search(a, b);
    EXPECT_EQ(s.count, 0) << what;
    EXPECT_EQ(s.status, 0) << what;
}

}  // namespace

TEST_F(LaneTest, CrossingSearchRejectAnswersOnlyWhereTheSearchFindsNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<xy> arc_side = rectangle(0, 0, 20, 10);
    // The right side of A bulges out as an arc whose circle reaches left over B, its ends do not.
    arc_side.erase(arc_side.begin() + 2);
    push_arc(arc_side, 50.0, 1.0, -30.0, 5.0, 20.0, 10.0);
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
        {"not finite", rectangle(0, 0, 20, 10), with_nan, false},
    };
    for (const row& r : rows) {
        pokarr a = make_from(r.a), b = make_from(r.b);
        const bool early = crossing_search_finds_none(a, b);
        EXPECT_EQ(early, r.early) << r.name;
        expect_sound(a, b, early, r.name);
        pokarr_free(a);
        pokarr_free(b);
    }

    // Random star loops with arcs, shifted and shrunk towards one another.
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> shift(-25.0, 25.0), scale(0.05, 1.0);
    int early_count = 0;
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<xy> ea = random_star_loop(rng, 4 + trial % 5, 0.4), eb = random_star_loop(rng, 3 + trial % 4, 0.4);
        const double dx = shift(rng), dy = shift(rng), s = scale(rng);
        for (std::size_t k = 0; k < eb.size(); ++k) {
            if (eb[k].x == kMarkerX) {
                eb[++k].x *= s;  // the radius; its direction stays
                continue;
            }
            eb[k] = {s * eb[k].x + dx, s * eb[k].y + dy};
        }
        pokarr a = make_from(ea), b = make_from(eb);
        const bool early = crossing_search_finds_none(a, b);
        early_count += early ? 1 : 0;
        expect_sound(a, b, early, "seed " + std::to_string(seed) + " trial " + std::to_string(trial));
        pokarr_free(a);
        pokarr_free(b);
    }
    EXPECT_GT(early_count, 0);
}

// Clean-up of the joins of an offset loop: backward notches are cut out, the corner limit of
// the modes, same-sense bumps kept, protected joins, and degenerate loops.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"

#include <cmath>

namespace {

class JoinsTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        pocket_state_block.pocket_dimension = 2;
    }
};

// A square 0..10 whose bottom edge folds back at (5, 0) by a notch of the given width and
// height, then runs on to (10, rise).
pokarr notched(double width, double height, double rise)
{
    return make_2d({{0, 0}, {5, 0}, {5 - width, height}, {10, rise}, {10, 10}, {0, 10}, {0, 0}});
}

}  // namespace

TEST_F(JoinsTest, NotchOfHalfWIsCutAtTheIntersection)
{
    double w = 0.01;
    pokarr a = notched(0.5 * w, 0.001, 1.0);
    pokarr_clean_joins(kJoinsStrict, 0, w, a);
    ASSERT_EQ(a.count, 6);
    // The line y = 0 meets the line from (4.995, 0.001) to (10, 1).
    const double slope = (1.0 - 0.001) / (10.0 - 4.995);
    EXPECT_NEAR(a.x[1], 4.995 - 0.001 / slope, 1e-9);
    EXPECT_NEAR(a.y[1], 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(a.x[2], 10.0);
    EXPECT_DOUBLE_EQ(a.x[a.count - 1], a.x[0]);
    EXPECT_DOUBLE_EQ(a.y[a.count - 1], a.y[0]);
}

TEST_F(JoinsTest, CornerLimitDependsOnModeA)
{
    // Both turns of the fold have cosine -0.5: mode 1 (limit -0.85) leaves it, mode 0 cuts it.
    const double e = 0.004;
    const auto fold = [e] {
        return make_2d(
            {{0, 0}, {5, 0}, {5 - 0.5 * e, 0.866025403784 * e}, {10, 0.866025403784 * e}, {10, 10}, {0, 10}, {0, 0}});
    };
    struct row {
        int mode_a;
        int count;
    };
    for (const row r : {row{kJoinsSharpOnly, 7}, row{kJoinsStrict, 6}, row{kJoinsNoShortPass, 6}}) {
        double w = 0.01;
        pokarr a = fold();
        pokarr_clean_joins(r.mode_a, 0, w, a);
        EXPECT_EQ(a.count, r.count) << "mode A " << r.mode_a;
    }
}

TEST_F(JoinsTest, TurnsNearARightAngleMeetTheLimitExactly)
{
    // A fold whose two turns have cosine c, in the square as drawn and turned by 0.5 rad (so
    // that no product of the directions is exactly zero): past the strict limit -0.01 it is cut,
    // at -0.005, a right angle or less it stays.
    struct row {
        double c;
        double turn;
        int count;
    };
    const row rows[] = {{-0.02, 0.0, 6},  {-0.02, 0.5, 6}, {-0.011, 0.5, 6}, {-0.005, 0.0, 7},
                        {-0.005, 0.5, 7}, {0.0, 0.0, 7},   {0.0, 0.5, 7},    {0.3, 0.5, 7}};
    for (const row& r : rows) {
        const double e = 0.004, s = std::sqrt(1.0 - r.c * r.c);
        const double cs = std::cos(r.turn), sn = std::sin(r.turn);
        const auto at = [&](double x, double y) { return xy{cs * x - sn * y, sn * x + cs * y}; };
        pokarr a =
            make_2d({at(0, 0), at(5, 0), at(5 + r.c * e, s * e), at(10, s * e), at(10, 10), at(0, 10), at(0, 0)});
        double w = 0.01;
        pokarr_clean_joins(kJoinsStrict, 0, w, a);
        EXPECT_EQ(a.count, r.count) << "cosine " << r.c << " turned " << r.turn;
    }
}

TEST_F(JoinsTest, SameSenseBumpStaysInAPlanarPocket)
{
    // Back and up, then back again: both turns left.
    double w = 0.01;
    pokarr a = make_2d({{0, 0}, {5, 0}, {4.998, 0.002}, {4.996, 0.0}, {10, 0.5}, {10, 10}, {0, 10}, {0, 0}});
    const int before = a.count;
    pokarr_clean_joins(kJoinsStrict, 0, w, a);
    EXPECT_EQ(a.count, before);
}

TEST_F(JoinsTest, ModeBProtectsTheFirstJoin)
{
    // The fold's first join starts at entry 0.
    const auto fold = [] { return make_2d({{5, 0}, {4.995, 0.001}, {10, 1}, {10, 10}, {0, 10}, {0, 0}, {5, 0}}); };
    double w = 0.01;
    pokarr protected_loop = fold();
    pokarr_clean_joins(kJoinsStrict, 1, w, protected_loop);
    EXPECT_EQ(protected_loop.count, 7);
    pokarr open_loop = fold();
    pokarr_clean_joins(kJoinsStrict, 0, w, open_loop);
    EXPECT_EQ(open_loop.count, 6);
    EXPECT_DOUBLE_EQ(open_loop.x[0], open_loop.x[open_loop.count - 1]);
    EXPECT_DOUBLE_EQ(open_loop.y[0], open_loop.y[open_loop.count - 1]);
}

TEST_F(JoinsTest, DegenerateLoopsEndWithoutHarm)
{
    double w = 0.01;
    for (int n = 0; n <= 3; ++n) {
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        for (int k = 0; k < n; ++k) {
            const double p[2] = {static_cast<double>(k), 0.0};
            pokarr_add_pnt(p, a, status);
        }
        pokarr_clean_joins(kJoinsStrict, 0, w, a);
        EXPECT_LE(a.count, n);
    }
    // All points on one spot: collapses, does not loop.
    pokarr spot = make_2d({{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}});
    pokarr_clean_joins(kJoinsStrict, 0, w, spot);
    EXPECT_LE(spot.count, 1);
}

TEST_F(JoinsTest, RoundedCornersPassTheFoldCheckInEitherSense)
{
    // A square 0..10 with corners of radius 1, run either way round; one corner may turn the
    // wrong way (a fold at its ends) or have its centre on its start (no tangent there).
    enum corner_fault { none, wrong_sense, centre_on_start };
    struct row {
        bool clockwise;
        corner_fault fault;
        bool untouched;
    };
    // Corner k: the line's end, the arc's end and its centre (counter-clockwise order).
    const xy ends[4][3] = {
        {{9, 0}, {10, 1}, {9, 1}}, {{10, 9}, {9, 10}, {9, 9}}, {{1, 10}, {0, 9}, {1, 9}}, {{0, 1}, {1, 0}, {1, 1}}};
    for (const row r : {row{false, none, true}, row{true, none, true}, row{false, wrong_sense, false},
                        row{true, wrong_sense, false}, row{false, centre_on_start, false}}) {
        pokarr a = make_2d({{1, 0}});
        int status = 0;
        const auto line_to = [&](xy p) {
            const double q[2] = {p.x, p.y};
            if (p.x != a.x[a.count - 1] || p.y != a.y[a.count - 1]) pokarr_add_pnt(q, a, status);
        };
        for (int n = 0; n < 4; ++n) {
            const int k = r.clockwise ? 3 - n : n;
            const xy from = ends[k][r.clockwise ? 1 : 0], to = ends[k][r.clockwise ? 0 : 1];
            line_to(from);
            const xy c = n == 1 && r.fault == centre_on_start ? from : ends[k][2];
            const int sense = (r.clockwise ? -1 : 1) * (n == 1 && r.fault == wrong_sense ? -1 : 1);
            pokarr_add_arc(to.x, to.y, nullptr, c.x, c.y, 1.0, sense, a, status);
        }
        line_to({1, 0});
        ASSERT_EQ(status, 0);
        double w = 0.01;
        EXPECT_EQ(pokarr_clean_joins_untouched(kJoinsStrict, 0, w, a), r.untouched)
            << "clockwise " << r.clockwise << " fault " << r.fault;
        pokarr_free(a);
    }
}

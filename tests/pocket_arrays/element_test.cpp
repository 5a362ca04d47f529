// Tolerance tests, box overlaps and the element helpers on lines and arcs.
#include "pocket_test_support.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

TEST_F(PocketTest, ToleranceTestsAreStrict)
{
    struct row {
        const char* what;
        int got;
        int expected;
    };
    const double origin[3] = {0, 0, 0}, above[3] = {0, 0, 5}, near[3] = {0.9e-6, 0, 0}, edge[3] = {1e-6, 0, 0};
    const row rows[] = {
        {"eq_val 1.000002", pk_eq_val(1.0, 1.000002), 0},
        {"eq_val 1.0000005", pk_eq_val(1.0, 1.0000005), 1},
        {"is_zero 1e-6", pk_is_zero(1.0e-6), 0},
        {"is_zero -0.9e-6", pk_is_zero(-0.9e-6), 1},
        {"eq_pnt2 near", pk_eq_pnt2(origin, near), 1},
        {"eq_pnt2 edge", pk_eq_pnt2(origin, edge), 0},
        {"zero_vec3 near", pk_is_zero_vec3(near, nullptr), 1},
        {"zero_vec3 above", pk_is_zero_vec3(above, origin), 0},
    };
    for (const row& r : rows) EXPECT_EQ(r.got, r.expected) << r.what;
    pocket_state_block.pocket_dimension = 2;
    EXPECT_EQ(pk_eq_pnt(origin, above), 1);
    pocket_state_block.pocket_dimension = 3;
    EXPECT_EQ(pk_eq_pnt(origin, above), 0);
    EXPECT_EQ(pk_eq_pnt(origin, near), 1);
}

TEST_F(PocketTest, BoxOverlapsTouchAndReach)
{
    const double a_min[2] = {0, 0}, a_max[2] = {1, 1};
    const double b_min[2] = {1 + 1.5e-6, 0}, b_max[2] = {2, 1};
    EXPECT_EQ(pk_box_overlap_nd(0, 0.0, a_min, a_max, b_min, b_max), 1);
    EXPECT_EQ(pk_box_overlap_nd(2, 2e-6, a_min, a_max, b_min, b_max), 1);
    EXPECT_EQ(pk_box_overlap_nd(2, 1e-6, a_min, a_max, b_min, b_max), 0);
    EXPECT_EQ(pk_box_overlap2(0, 0, 1, 1, 1, 0, 2, 1), 1);           // touching
    EXPECT_EQ(pk_box_overlap2(0, 0, 1, 1, 1 + 0.5e-6, 0, 2, 1), 1);  // within the host tolerance
    EXPECT_EQ(pk_box_overlap2(0, 0, 1, 1, 1.01, 0, 2, 1), 0);
    EXPECT_EQ(pk_box_overlap2(0, 0, 1, 1, 0, -3, 1, -2), 0);
}

TEST_F(PocketTest, ClosedArraysAndSideNormalsAndCorners)
{
    pokarr loop = make_2d({{0, 0}, {1, 0}, {0, 0}});
    pokarr open = make_2d({{0, 0}, {1, 0}});
    pokarr empty;
    EXPECT_EQ(pokarr_is_closed(loop), 1);
    EXPECT_EQ(pokarr_is_closed(open), 0);
    EXPECT_EQ(pokarr_is_closed(empty), 1);
    double nx = 0, ny = 0;
    seg_side_normal(1, 0, 0, 0, 1.0, 2, 0, 9, 9, nx, ny);
    EXPECT_EQ(nx, 0.0);
    EXPECT_EQ(ny, 1.0);
    seg_side_normal(2, 0, 0, 0, -1.0, 9, 9, 0, 3, nx, ny);
    EXPECT_EQ(nx, 1.0);
    EXPECT_EQ(ny, 0.0);
    const double p[2] = {0, 0}, a[2] = {1, 0}, b[2] = {0, 1};
    const double between[2] = {1, 1}, beyond[2] = {-1, 1}, before[2] = {1, -1};
    int result = 9;
    dir_in_corner(1, p, a, b, between, result);
    EXPECT_EQ(result, 0);
    dir_in_corner(1, p, a, b, beyond, result);
    EXPECT_EQ(result, 2);
    dir_in_corner(1, p, a, b, before, result);
    EXPECT_EQ(result, -2);
    const double v1[3] = {1, 0, 0}, v2[3] = {0, -2, 0};
    EXPECT_EQ(vec_cross_signed(2, v1, v2), -2.0);
    EXPECT_EQ(vec_cross_signed(3, v1, v2), -2.0);
    pokarr_free(loop);
    pokarr_free(open);
}

TEST_F(PocketTest, PointsAndParametersOnLinesAndArcs)
{
    double x = 0, y = 0;
    EXPECT_EQ(seg_pnt_at_param(0, 0, 1e-7, 0, 0.5, x, y), 1);
    EXPECT_EQ(x, 0.5e-7);
    EXPECT_EQ(seg_pnt_at_param(0, 0, 10, 0, 0.25, x, y), 0);
    EXPECT_EQ(x, 2.5);
    EXPECT_EQ(seg_pnt_at_param(0, 0, 10, 0, 1.0, x, y), 1);

    // Quarter arcs in both directions: the midpoint is at 45 degrees on the swept side.
    const double h = std::sqrt(0.5);
    arc_pnt_by_vector(1, 1, 0, 0, 1, 0, 0, 1, 0.5, x, y);
    EXPECT_NEAR(x, h, 1e-12);
    EXPECT_NEAR(y, h, 1e-12);
    arc_pnt_by_angle(1, -1, 0, 0, 1, 0, 0, -1, 0.5, x, y);
    EXPECT_NEAR(x, h, 1e-12);
    EXPECT_NEAR(y, -h, 1e-12);
    // A clockwise arc of three quarters from (1, 0) to (0, 1) passes (-1, 0)... by angle.
    arc_pnt_by_angle(1, -1, 0, 0, 1, 0, 0, 1, 2.0 / 3.0, x, y);
    EXPECT_NEAR(x, -1.0, 1e-9);
    EXPECT_NEAR(y, 0.0, 1e-9);

    double t = -1;
    arc_param_of_pnt(1, 1, 0, 0, 1, 0, -1, 0, 0, 1, t);
    EXPECT_NEAR(t, 0.5, 1e-12);
    arc_param_of_pnt(1, -1, 0, 0, 1, 0, 0, -1, h, -h, t);
    EXPECT_NEAR(t, 0.5, 1e-12);
    arc_param_of_pnt(1, -1, 0, 0, 1, 0, 0, -1, 1, 0, t);
    EXPECT_NEAR(t, 0.0, 1e-12);

    double distance = 0, nx = 7, ny = 7;
    arc_dist_pnt(1, 0, 0, 3, 1, 0, 0, 3, 0, 0, 3, distance, nx, ny, t);
    EXPECT_EQ(distance, 3.0);
    EXPECT_EQ(t, kParamAtCentre);
    EXPECT_EQ(nx, 7.0);
    arc_dist_pnt(2, 5, -1, 3, 1, 0, 0, 3, 0, 0, 3, distance, nx, ny, t);  // off the arc
    EXPECT_EQ(t, 0.0);
    EXPECT_EQ(nx, 3.0);
    EXPECT_NEAR(distance, std::hypot(2.0, 1.0), 1e-12);
    arc_dist_pnt(1, 5, -1, 3, 1, 0, 0, 3, 0, 0, 3, distance, nx, ny, t);  // on the circle
    EXPECT_GT(t, 1.0);
    EXPECT_NEAR(distance, std::hypot(5.0, 1.0) - 3.0, 1e-12);

    const double c[2] = {0, 0}, s[2] = {2, 0}, e[2] = {0, 2}, p[2] = {std::cos(kPi / 6), std::sin(kPi / 6)};
    arc_param_by_acos(0.0, c, s, e, p, t);
    EXPECT_NEAR(t, 1.0 / 3.0, 1e-12);
    double tx = 0, ty = 0;
    arc_param_tangent(-1, 0, 0, 2, 0, 0, 2, 0, 2, t, tx, ty);
    EXPECT_NEAR(t, 1.0, 1e-12);
    EXPECT_EQ(tx, 1.0);
    EXPECT_EQ(ty, 0.0);
}

TEST_F(PocketTest, LineCircleIntersectionCases)
{
    const double c[2] = {0, 0};
    double q1[2], q2[2], t1 = 0, t2 = 0;
    int result = 9;
    const double a[2] = {-2, 1}, b[2] = {2, 1};  // tangent at (0, 1)
    line_circle_intersect(a, b, c, 1.0, t1, t2, q1, q2, result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(q1[0], 0.0);
    EXPECT_EQ(q1[1], 1.0);
    EXPECT_EQ(q2[0], 0.0);
    EXPECT_EQ(t1, 0.5);
    EXPECT_EQ(t2, 0.5);
    const double d[2] = {-2, 0}, e[2] = {2, 0};
    line_circle_intersect(d, e, c, 1.0, t1, t2, q1, q2, result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(q1[0], 1.0);
    EXPECT_EQ(t1, 0.75);
    EXPECT_EQ(t2, 0.25);
    const double f[2] = {-2, 3}, g[2] = {2, 3};
    line_circle_intersect(f, g, c, 1.0, t1, t2, q1, q2, result);
    EXPECT_EQ(result, 0);
    line_circle_intersect(f, f, c, 1.0, t1, t2, q1, q2, result);
    EXPECT_EQ(result, -1);
}

TEST_F(PocketTest, PointAtParameterAndElementEnds)
{
    // A 3-D array: a line rising from z 0 to z 10, then an arc at z 4.
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    const double p0[3] = {0, 0, 0}, p1[3] = {10, 0, 10};
    pokarr_add_pnt(p0, a, status);
    pokarr_add_pnt(p1, a, status);
    const double z = 4.0;
    pokarr_add_arc(10, 10, &z, 10, 5, 5, 1, a, status);
    double point[3] = {0, 0, 0};
    int index = 1;
    pokarr_pnt_at_param(a, index, 0.25, point);
    EXPECT_EQ(point[0], 2.5);
    EXPECT_EQ(point[2], 2.5);
    index = 2;
    pokarr_pnt_at_param(a, index, 0.5, point);
    EXPECT_EQ(index, 2);
    EXPECT_NEAR(point[0], 15.0, 1e-12);
    EXPECT_NEAR(point[1], 5.0, 1e-12);
    EXPECT_EQ(point[2], 4.0);
    index = 99;  // beyond the array: the last element
    pokarr_pnt_at_param(a, index, 0.0, point);
    EXPECT_EQ(index, 5);

    double normal[3];
    int flag = 9;
    double at[3] = {5, 0, 0};
    pokarr_elem_ends(a, 1, at, normal, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(at[2], 5.0);
    EXPECT_EQ(normal[2], 1.0);

    // 2-D: an index inside a trailing arc record is pulled back to its marker.
    pokarr flat = make_2d({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    pokarr_add_arc(3, 2, nullptr, 3, 1, 1, 1, flat, status);
    index = 6;
    double q[2];
    pokarr_pnt_at_param(flat, index, 1.0, q);
    EXPECT_EQ(index, 4);
    EXPECT_NEAR(q[0], 3.0, 1e-12);
    EXPECT_NEAR(q[1], 2.0, 1e-12);
    pokarr_free(a);
    pokarr_free(flat);
}

// Seeded arcs of every sweep and direction, their ends a little off the circle, and points on,
// off and at the ends of them: the parameter with the end angles kept (asked twice, the second
// time from what the first kept) has the bits of arc_param_of_pnt, and every point of the arc
// lies within chain_element_reach of its nearer end.
TEST_F(PocketTest, ArcsMeasuredOnceAnswerAlikeAndKeepWithinTheirReach)
{
    const unsigned seed = 20261209;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 400; ++trial) {
        const double r = 0.01 + 20.0 * unit(random), cx = 50.0 * unit(random) - 25.0, cy = 50.0 * unit(random) - 25.0;
        const int d = trial % 2 == 0 ? 1 : -1;
        const double start = 2.0 * kPi * unit(random), sweep = (trial % 7 == 0 ? 1e-7 : 2.0 * kPi) * unit(random);
        const double off = trial % 3 == 0 ? 1e-4 * r * (unit(random) - 0.5) : 0.0;
        const double end = start + d * sweep;
        const double sx = cx + (r + off) * std::cos(start), sy = cy + (r + off) * std::sin(start);
        const double ex = cx + r * std::cos(end), ey = cy + r * std::sin(end);
        double x[5] = {sx, kArcMarker, r, cx, ex}, y[5] = {sy, 0.0, static_cast<double>(d), cy, ey};
        pokarr a;
        int status = 0;
        pokarr_init_static(2, x, y, nullptr, nullptr, 5, 5, a, status);
        std::vector<arc_end_angles> ends;
        loop_arc_angles_reset(a.count, ends);
        const chain_element e = chain_element_at(x, y, 5, 1);
        const double reach = chain_element_reach(x, y, e);
        for (const double f : {0.0, 0.01, 0.3, 0.5, 0.77, 1.0, 1.4}) {
            const double angle = start + d * f * sweep, at = r * (1.0 + 0.1 * (unit(random) - 0.5));
            const double px = cx + at * std::cos(angle), py = cy + at * std::sin(angle);
            double expected = 0.0;
            arc_param_of_pnt(r, d, cx, cy, sx, sy, ex, ey, px, py, expected);
            for (int ask = 0; ask < 2; ++ask)
                EXPECT_EQ(std::bit_cast<std::uint64_t>(loop_arc_param(a, 1, px, py, ends)),
                          std::bit_cast<std::uint64_t>(expected))
                    << "seed " << seed << " trial " << trial << " f " << f;
            if (f > 1.0) continue;
            const double qx = cx + r * std::cos(angle), qy = cy + r * std::sin(angle);
            const double nearer = std::min(std::hypot(qx - sx, qy - sy), std::hypot(qx - ex, qy - ey));
            EXPECT_LE(nearer, reach * (1.0 + 1e-12) + 1e-12) << "seed " << seed << " trial " << trial << " f " << f;
        }
    }
    // A line reaches half its length.
    const double x[2] = {1.0, 4.0}, y[2] = {2.0, 6.0};
    EXPECT_EQ(chain_element_reach(x, y, chain_element_at(x, y, 2, 1)), 2.5);
}

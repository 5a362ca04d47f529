// Nearest points, restart point, closest approach and lane directions.
#include "kernel_geometry.hpp"
#include "pocket_lanes/lane_test_support.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_convert.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

struct chain {
    std::vector<double> x, y;
    explicit chain(const std::vector<xy>& e)
    {
        for (const xy& p : e) x.push_back(p.x), y.push_back(p.y);
    }
    int n() const { return static_cast<int>(x.size()); }
};

}  // namespace

TEST_F(LaneTest, NearestTiesGoToTheLaterElement)
{
    // (5,5) is equidistant from all four edges of the square: the last element wins.
    const chain c({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    int k = 0;
    double t = 0.0, nx = 0.0, ny = 0.0, d = 0.0;
    nearest_on_xy_chain(5, 5, c.x.data(), c.y.data(), c.n(), k, t, nx, ny, d);
    EXPECT_EQ(k, 4);
    EXPECT_NEAR(d, 5.0, 1e-12);
    EXPECT_NEAR(nx, 0.0, 1e-12);
    EXPECT_NEAR(ny, 5.0, 1e-12);

    // Passing the result back gives another candidate at the same distance.
    nearest_on_xy_chain(5, 5, c.x.data(), c.y.data(), c.n(), k, t, nx, ny, d);
    EXPECT_NE(k, 4);
    EXPECT_NEAR(d, 5.0, 1e-12);

    // Near a vertex: the element that starts there, t 0.
    k = 0;
    nearest_on_xy_chain(11, -1, c.x.data(), c.y.data(), c.n(), k, t, nx, ny, d);
    EXPECT_EQ(k, 2);
    EXPECT_DOUBLE_EQ(t, 0.0);

    pokarr a = make_from({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    const double p[3] = {5, 5, 0};
    double q[3];
    k = 0;
    pokarr_nearest_pnt(2, p, a, k, t, q, d);
    EXPECT_EQ(k, 4);
    EXPECT_NEAR(d, 5.0, 1e-12);
}

TEST_F(LaneTest, RestartPointTakesTheEarlierElementAndLeavesCorners)
{
    const chain c({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    pocket_frame_block.origin[0] = 100.0;
    pocket_frame_block.origin[1] = 200.0;
    pocket_work_block.restart_point[0] = 105.0;
    pocket_work_block.restart_point[1] = 205.0;
    int k = 0, status = -5;
    double t = 0.0, x = 0.0, y = 0.0;
    restart_pnt_on_loop(0.5, c.x.data(), c.y.data(), c.n(), k, t, x, y, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(k, 1);
    EXPECT_NEAR(x, 105.0, 1e-12);
    EXPECT_NEAR(y, 200.0, 1e-12);

    // Nearest to the corner (10, 0): moved to t 0.8 of the bottom edge.
    pocket_work_block.restart_point[0] = 111.0;
    pocket_work_block.restart_point[1] = 199.0;
    restart_pnt_on_loop(5.0, c.x.data(), c.y.data(), c.n(), k, t, x, y, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(k, 1);
    EXPECT_DOUBLE_EQ(t, 0.8);
    EXPECT_NEAR(x, 108.0, 1e-12);

    restart_pnt_on_loop(5.0, c.x.data(), c.y.data(), 1, k, t, x, y, status);
    EXPECT_EQ(status, kNoRestartPoint);
    pocket_frame_block = pocket_frame{};
}

TEST_F(LaneTest, MinDistOutOfReachGivesKindMinusOne)
{
    pokarr a = make_from({{0, 0}, {10, 0}, {10, 10}});
    pokarr b = make_from({{0, 20}, {10, 20}});
    int ka = 0, kb = 0, kind = 0;
    double ta = 0.0, tb = 0.0, d = 0.0, q[3] = {0, 0, 0};
    pokarr_min_dist(1.0, a, 1, a.count, b, 1, b.count, ka, ta, kb, tb, d, q, kind);
    EXPECT_EQ(kind, kNoApproach);
    EXPECT_DOUBLE_EQ(d, kNoDistance);

    // Within reach: B's end vertex (10, 20) comes 10 from A's end (10, 10).
    pokarr_min_dist(15.0, a, 1, a.count, b, 1, b.count, ka, ta, kb, tb, d, q, kind);
    EXPECT_NEAR(d, 10.0, 1e-12);
    EXPECT_GE(kind, 0);
}

TEST_F(LaneTest, ChainMinDistMeasuresVerticesOfA)
{
    const chain a({{0, 3}, {10, 3}});
    const chain b({{0, 0}, {10, 0}});
    int element = -1, status = -5;
    double t = 0.0, x = 0.0, y = 0.0, d = 0.0;
    xy_chain_min_dist(5.0, a.x.data(), a.y.data(), a.n(), b.x.data(), b.y.data(), b.n(), element, t, x, y, d, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(element, 1);
    EXPECT_NEAR(d, 3.0, 1e-12);
    xy_chain_min_dist(1.0, a.x.data(), a.y.data(), a.n(), b.x.data(), b.y.data(), b.n(), element, t, x, y, d, status);
    EXPECT_EQ(element, 0);
    EXPECT_DOUBLE_EQ(d, kNoDistance);
}

// Long seeded chains on a coarse lattice (the long one sorted into grid cells, many equal
// distances), the short one within the long one's extent or half beyond it: the distance is the
// least over the pairs whose boxes, widened by the reach, meet, from a vertex of A to an element
// of B; the nearest point lies on B's element that far away.
TEST_F(LaneTest, ChainMinDistOfLongChainsIsTheLeastOverMeetingElements)
{
    const auto segment_distance = [](xy p, xy a, xy b) {
        const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
        const double s = l2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
        return std::hypot(p.x - a.x - s * dx, p.y - a.y - s * dy);
    };
    const auto apart = [](xy a0, xy a1, xy b0, xy b1, double gap) {
        return std::min(a0.x, a1.x) > std::max(b0.x, b1.x) + gap || std::min(b0.x, b1.x) > std::max(a0.x, a1.x) + gap ||
               std::min(a0.y, a1.y) > std::max(b0.y, b1.y) + gap || std::min(b0.y, b1.y) > std::max(a0.y, a1.y) + gap;
    };
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        const auto lattice = [&rng] { return static_cast<double>(rng() % 40); };
        std::vector<xy> long_chain, short_chain;
        for (int k = 0; k < 300; ++k) long_chain.push_back({lattice(), lattice()});
        const double beyond = seed % 2 == 0 ? 20.0 : 0.0;
        for (int k = 0; k < 5 + static_cast<int>(seed); ++k)
            short_chain.push_back({lattice() + 0.5, lattice() + beyond});
        const double reach = 0.37 + 0.5 * (seed % 4);
        for (const bool long_first : {true, false}) {
            const std::vector<xy>& ea = long_first ? long_chain : short_chain;
            const std::vector<xy>& eb = long_first ? short_chain : long_chain;
            double want = kNoDistance;
            for (std::size_t i = 0; i + 1 < ea.size(); ++i)
                for (std::size_t j = 0; j + 1 < eb.size(); ++j)
                    if (!apart(ea[i], ea[i + 1], eb[j], eb[j + 1], 2.0 * reach))
                        want = std::min(want, segment_distance(ea[i], eb[j], eb[j + 1]));
            const chain a(ea), b(eb);
            int element = -1, status = -5;
            double t = 0.0, x = 0.0, y = 0.0, d = 0.0;
            xy_chain_min_dist(reach, a.x.data(), a.y.data(), a.n(), b.x.data(), b.y.data(), b.n(), element, t, x, y, d,
                              status);
            ASSERT_EQ(status, 0);
            EXPECT_NEAR(d, want, 1e-6) << "seed " << seed << (long_first ? ", long A" : ", long B");
            if (element < 1) continue;
            const xy on{x, y};
            EXPECT_NEAR(
                segment_distance(on, eb[static_cast<std::size_t>(element - 1)], eb[static_cast<std::size_t>(element)]),
                0.0, 1e-9)
                << "seed " << seed;
        }
    }
}

TEST_F(LaneTest, WindingTestIgnoresDirectionAndMarksVertices)
{
    const chain cw({{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}});
    int result = -1, status = -5;
    pnt_in_xy_loop(5, 5, cw.x.data(), cw.y.data(), cw.n(), result, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(result, 1);
    pnt_in_xy_loop(15, 5, cw.x.data(), cw.y.data(), cw.n(), result, status);
    EXPECT_EQ(result, 0);
    pnt_in_xy_loop(10, 10, cw.x.data(), cw.y.data(), cw.n(), result, status);
    EXPECT_EQ(result, 2);
}

TEST_F(LaneTest, LaneStartDirSeesCornersAndSmoothJoints)
{
    const chain c({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 0}});
    double din[2], dout[2];
    EXPECT_EQ(lane_start_dir(c.x.data(), c.y.data(), c.n(), 2, din, dout), 1);
    EXPECT_EQ(lane_start_dir(c.x.data(), c.y.data(), c.n(), 3, din, dout), 2);
    EXPECT_EQ(lane_start_dir(c.x.data(), c.y.data(), c.n(), 1, din, dout), 2);
    EXPECT_NEAR(din[0], -std::sqrt(0.5), 1e-12);
    EXPECT_EQ(lane_start_dir(c.x.data(), c.y.data(), c.n(), 9, din, dout), 2);
}

// The nearest point on a line is the host's foot of the perpendicular to the bit, in the plane
// and in space, for points beside the line and beyond its start (the foot clamped there): the
// lanes the engine keeps depend on these bits.
TEST_F(LaneTest, NearestPointOnALineIsTheHostFootToTheBit)
{
    constexpr unsigned kSeed = 7301u;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> coordinate(-50.0, 50.0), along(-0.5, 0.95), off(-3.0, 3.0);
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    for (int row = 0; row < 400; ++row) {
        const int nd = row % 2 == 0 ? 2 : 3;
        const double s[3] = {coordinate(rng), coordinate(rng), nd == 3 ? coordinate(rng) : 0.0};
        const double b[3] = {coordinate(rng), coordinate(rng), nd == 3 ? coordinate(rng) : 0.0};
        // A point at a parameter along the line, moved off it in the plane.
        const double u = along(rng), h = off(rng);
        const double dx = b[0] - s[0], dy = b[1] - s[1], length = std::hypot(dx, dy);
        const double p[3] = {s[0] + u * dx - h * dy / length, s[1] + u * dy + h * dx / length,
                             s[2] + u * (b[2] - s[2])};
        pokarr line;
        pokarr_init(nd, line);
        int status = 0;
        pokarr_add_pnt(s, line, status);
        pokarr_add_pnt(b, line, status);
        ASSERT_EQ(status, 0);
        double foot[3] = {0.0, 0.0, 0.0}, parameter = 0.0, expected = 0.0;
        dsdlpt(2, nd, p, s, b, foot, parameter, expected, status);
        int k = 0;
        double t = 0.0, nearest[3] = {}, distance = 0.0;
        pokarr_nearest_pnt(nd, p, line, k, t, nearest, distance);
        pokarr_free(line);
        EXPECT_EQ(k, 1) << "seed " << kSeed << " row " << row;
        EXPECT_TRUE(same(distance, expected)) << "seed " << kSeed << " row " << row;
        for (int c = 0; c < nd; ++c) EXPECT_TRUE(same(nearest[c], foot[c])) << "seed " << kSeed << " row " << row;
    }
}

// The floor of an element never lies beyond what the nearest-point search measures on it (from
// its start vertex or along its body): over seeded loops of lines and arcs and points near them,
// at their arcs' centres and far off.
TEST_F(LaneTest, ElementFloorNeverPassesTheMeasuredDistance)
{
    constexpr unsigned kSeed = 20261210u;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> around(-14.0, 14.0), far(-400.0, 400.0);
    int passed_by = 0, measured = 0;
    for (int row = 0; row < 200; ++row) {
        const chain c(random_star_loop(rng, 3 + row % 9, 0.6));
        for (int k = 1; k < c.n();) {
            const chain_element e = chain_element_at(c.x.data(), c.y.data(), c.n(), k);
            ASSERT_TRUE(e.valid);
            k = e.next;
            for (int q = 0; q < 12; ++q) {
                const double px = q == 0 && e.arc ? e.cx : (q % 3 == 2 ? far(rng) : around(rng));
                const double py = q == 0 && e.arc ? e.cy : (q % 3 == 2 ? far(rng) : around(rng));
                int nearest = 0;
                double t = 0.0, nx = 0.0, ny = 0.0, d = 0.0;
                nearest_on_xy_chain(px, py, c.x.data() + e.start, c.y.data() + e.start, e.end - e.start + 1, nearest, t,
                                    nx, ny, d);
                ASSERT_GT(nearest, 0);
                ++measured;
                EXPECT_FALSE(chain_element_beyond(c.x.data(), c.y.data(), e, px, py, d))
                    << "seed " << kSeed << " row " << row << " element " << k << " point " << q;
                passed_by += chain_element_beyond(c.x.data(), c.y.data(), e, px, py, 0.5 * d) ? 1 : 0;
            }
        }
    }
    // The floor is near enough to the measure to pass most elements by at half their distance.
    EXPECT_GT(passed_by, measured / 2);
}

// The search through an index answers what the plain search answers, to the bit: over seeded
// loops of every kind (arcs, doubled points, spikes), each also walked twice so that every
// distance ties with a later element, in 2-D and with heights, at points near and far, on every
// vertex, beside it and at every arc's centre. Where the index's boxes tell that nothing lies
// within a distance, the search finds nothing that near.
TEST_F(LaneTest, IndexedNearestPointIsThePlainSearchToTheBit)
{
    using namespace kernel_geometry;
    constexpr unsigned kSeed = 20261208u;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> around(-25.0, 25.0), far(-2000.0, 2000.0), height(-3.0, 3.0);
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    int row = 0, told_beyond = 0;
    for (const kind k : {kind::convex, kind::star, kind::random_walk, kind::arc_edged, kind::near_degenerate})
        for (const int n : {5, 60, 400})
            for (const bool twice : {false, true})
                for (const int dimension : {2, 3}) {
                    ++row;
                    loop l = draw_loop(k, n, rng);
                    if (twice) l.insert(l.end(), l.begin() + 1, l.end());
                    pokarr plain = make_from(l), a;
                    pokarr_init(dimension, a);
                    int status = 0;
                    pokarr_copy(plain, a, status);
                    ASSERT_EQ(status, 0);
                    for (int i = 0; dimension == 3 && i < a.count; ++i) a.z[i] = height(rng);
                    pk_nearest_index index;
                    pokarr_nearest_index(a, index);
                    std::vector<std::array<double, 3>> points;
                    for (int q = 0; q < 40; ++q)
                        points.push_back({q % 4 == 3 ? far(rng) : around(rng), around(rng), height(rng)});
                    for (int i = 1; i < a.count;) {
                        const chain_element e = chain_element_at(a.x, a.y, a.count, i);
                        if (!e.valid) break;
                        points.push_back({a.x[e.start], a.y[e.start], 0.0});
                        points.push_back({a.x[e.start] + 1e-9, a.y[e.start] - 1e-9, height(rng)});
                        if (e.arc) points.push_back({e.cx, e.cy, 0.0});
                        i = e.next;
                    }
                    for (std::size_t q = 0; q < points.size(); ++q) {
                        int k_plain = 0, k_indexed = 0;
                        double t[2], d[2], at[2][3];
                        pokarr_nearest_pnt(3, points[q].data(), a, k_plain, t[0], at[0], d[0]);
                        pokarr_nearest_pnt_indexed(3, points[q].data(), a, index, k_indexed, t[1], at[1], d[1]);
                        const bool same = k_plain == k_indexed && bits(t[0]) == bits(t[1]) &&
                                          bits(d[0]) == bits(d[1]) && bits(at[0][0]) == bits(at[1][0]) &&
                                          bits(at[0][1]) == bits(at[1][1]) && bits(at[0][2]) == bits(at[1][2]);
                        ASSERT_TRUE(same) << "seed " << kSeed << " row " << row << " (" << name_of(k) << ", " << n
                                          << ", twice " << twice << ", dimension " << dimension << ") point " << q
                                          << ": element " << k_plain << " against " << k_indexed;
                        // The boxes never tell of a distance the search finds shorter, nor of an
                        // array it finds nothing on.
                        for (const double r : {0.5 * d[0], d[0] - 1e-9, d[0], 2.0 * d[0]}) {
                            if (dimension != 2 || !pokarr_nearest_beyond(points[q].data(), index, r)) continue;
                            EXPECT_GT(d[0], r) << "seed " << kSeed << " row " << row << " point " << q;
                            EXPECT_GT(k_plain, 0) << "seed " << kSeed << " row " << row << " point " << q;
                            ++told_beyond;
                        }
                    }
                    pokarr_free(a);
                    pokarr_free(plain);
                }
    EXPECT_GT(told_beyond, 100) << "seed " << kSeed;
}

// The 3-D lane offset over the surface grid: on a flat grid a square offset inwards is the square
// shrunk by the distance with its four corners; on a tilted plane every offset point lies the
// distance from the source in space and the loop does not cross itself; refused and failing
// inputs give their statuses; the raw offset's dispatcher hands surface loops to it; a contour's
// first offset keeps its distance in the plane on a steep slope.
#include "surface_lane_support.hpp"

#include "clearing/surface_lanes/grid_projection.hpp"
#include "clearing/surface_lanes/lane_offset_3d.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <gtest/gtest.h>
#include <random>

namespace {

// The square lo..hi counter-clockwise (or clockwise), started in the middle of its bottom edge,
// at the surface's height.
std::vector<p3> square(double lo, double hi, bool clockwise, const grid_test::height_fn& z)
{
    const double mid = 0.5 * (lo + hi);
    std::vector<std::array<double, 2>> xy = {{mid, lo}, {hi, lo}, {hi, hi}, {lo, hi}, {lo, lo}, {mid, lo}};
    if (clockwise) xy = {{mid, lo}, {lo, lo}, {lo, hi}, {hi, hi}, {hi, lo}, {mid, lo}};
    std::vector<p3> v;
    for (const auto& p : xy) v.push_back({p[0], p[1], z(p[0], p[1])});
    return v;
}

// Distance from q to the segment a-b in space.
double to_segment(const p3& q, const p3& a, const p3& b)
{
    double ab[3], aq[3];
    for (int c = 0; c < 3; ++c) ab[c] = b[c] - a[c], aq[c] = q[c] - a[c];
    const double len2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    const double t = std::clamp((aq[0] * ab[0] + aq[1] * ab[1] + aq[2] * ab[2]) / len2, 0.0, 1.0);
    const p3 foot = {a[0] + t * ab[0], a[1] + t * ab[1], a[2] + t * ab[2]};
    return length_3d(q, foot);
}

double to_polyline(const p3& q, const std::vector<p3>& line)
{
    double best = 1e30;
    for (std::size_t k = 1; k < line.size(); ++k) best = std::min(best, to_segment(q, line[k - 1], line[k]));
    return best;
}

// Whether two segments of the plane cross properly (touching ends excluded).
bool cross_xy(const p3& a, const p3& b, const p3& c, const p3& d)
{
    const auto side = [](const p3& p, const p3& q, const p3& r) {
        return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
    };
    const double s1 = side(a, b, c), s2 = side(a, b, d), s3 = side(c, d, a), s4 = side(c, d, b);
    return s1 * s2 < -1e-12 && s3 * s4 < -1e-12;
}

bool self_crossing(const std::vector<p3>& loop)
{
    for (std::size_t i = 1; i < loop.size(); ++i)
        for (std::size_t j = i + 2; j < loop.size(); ++j)
            if (!(i == 1 && j + 1 == loop.size()) && cross_xy(loop[i - 1], loop[i], loop[j - 1], loop[j])) return true;
    return false;
}

std::vector<p3> offset(const std::vector<p3>& source, int side, double d, int& status)
{
    pokarr input = make_3d(source), output;
    pokarr_init(3, output);
    lane_offset_3d(side, d, input, output, status);
    std::vector<p3> got = points_of(output);
    pokarr_free(input);
    pokarr_free(output);
    return got;
}

}  // namespace

TEST_F(SurfaceLaneTest, FlatSquareInwardIsTheSquareShrunkWithItsCorners)
{
    const auto flat = grid_test::plane(0.0, 0.0, 2.0);
    grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, flat);
    const struct {
        bool clockwise;
        int side;  // inward: left of a counter-clockwise loop, right of a clockwise one
        double d;
    } rows[] = {{false, kSideLeft, 1.0}, {true, kSideRight, 1.0}, {false, kSideLeft, 2.5}, {true, kSideRight, 0.3}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.clockwise ? "clockwise" : "counter-clockwise") << " d " << r.d);
        int status = -5;
        const std::vector<p3> got = offset(square(0.0, 10.0, r.clockwise, flat), r.side, r.d, status);
        ASSERT_EQ(status, 0);
        ASSERT_GE(got.size(), 5u);
        EXPECT_LT(length_3d(got.front(), got.back()), 1e-9) << "closed";
        const double lo = r.d, hi = 10.0 - r.d;
        const std::vector<p3> shrunk = square(lo, hi, false, flat);
        for (const p3& q : got) EXPECT_LT(to_polyline(q, shrunk), 1e-6) << q[0] << ' ' << q[1] << ' ' << q[2];
        for (const p3& corner : {p3{lo, lo, 2.0}, p3{hi, lo, 2.0}, p3{hi, hi, 2.0}, p3{lo, hi, 2.0}}) {
            double nearest = 1e30;
            for (const p3& q : got) nearest = std::min(nearest, length_3d(q, corner));
            EXPECT_LT(nearest, 1e-6) << "corner " << corner[0] << ' ' << corner[1];
        }
        EXPECT_FALSE(self_crossing(got));
    }
}

// Seeded convex loops, their edges cut into 1 to 8 segments (often shorter than the distance),
// on the plane z = 0.5x and on a sphere cap, offset inwards and outwards: every offset point lies
// on the surface; inwards every point lies the distance from the source in space (within 1 % on
// the plane, 2 % on the cap), outwards none farther and none on the source (the corner fills cut
// the convex corners); the loop never crosses itself.
TEST_F(SurfaceLaneTest, OffsetLiesTheDistanceAwayInSpace)
{
    const grid_test::height_fn tilted = grid_test::plane(0.5, 0.0, 0.0);
    const grid_test::height_fn cap = [](double x, double y) {
        return std::sqrt(150.0 * 150.0 - (x - 50.0) * (x - 50.0) - (y - 50.0) * (y - 50.0)) - 90.0;
    };
    const struct {
        const char* what;
        const grid_test::height_fn& surface;
        double h, slack;
        double on_surface;  // the grid's triangles stand off the sphere by up to (h sqrt 2)^2 / 8R
    } surfaces[] = {{"tilted plane", tilted, 1.0, 0.01, 1e-6}, {"sphere cap", cap, 1.0, 0.02, 2.5e-3}};
    const double two_pi = 2.0 * std::acos(-1.0);
    for (const auto& surface : surfaces) {
        grid_test::load_grid(0.0, 0.0, surface.h, static_cast<int>(100.0 / surface.h) + 1,
                             static_cast<int>(100.0 / surface.h) + 1, surface.surface);
        for (unsigned seed = 1; seed <= 16; ++seed) {
            SCOPED_TRACE(testing::Message() << surface.what << " seed " << seed);
            std::mt19937 rng(seed);
            std::uniform_real_distribution<double> unit(0.0, 1.0);
            const int corners = 4 + static_cast<int>(unit(rng) * 10);
            const double radius = 15.0 + 20.0 * unit(rng), d = 0.3 + 2.7 * unit(rng);
            const bool inward = seed % 2 == 1;
            std::vector<std::array<double, 2>> vertices;
            for (int k = 0; k < corners; ++k) {
                const double a = two_pi * (k + 0.1 + 0.8 * unit(rng)) / corners;
                vertices.push_back({50.0 + radius * std::cos(a), 50.0 + radius * std::sin(a)});
            }
            std::vector<p3> source;
            const auto add = [&](double x, double y) { source.push_back({x, y, surface.surface(x, y)}); };
            const auto& last = vertices.back();
            add(0.5 * (last[0] + vertices[0][0]), 0.5 * (last[1] + vertices[0][1]));
            for (int k = 0; k < corners; ++k) {
                const auto& a = vertices[k];
                const auto& b = vertices[(k + 1) % corners];
                const int parts = k + 1 < corners ? 1 + static_cast<int>(unit(rng) * 8) : 2;
                for (int j = 0; j < (k + 1 < corners ? parts : 1); ++j) {
                    const double t = static_cast<double>(j) / parts;
                    add(a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]));
                }
            }
            source.push_back(source.front());
            // The lane as the engine hands it over: laid onto the grid.
            pokarr lane = make_3d(source);
            int status = -5;
            lan_on_grid(kProjectOntoSurface, 0, lane, 0.0, status);
            ASSERT_EQ(status, 0);
            source = points_of(lane);
            pokarr_free(lane);
            const std::vector<p3> got = offset(source, inward ? kSideLeft : kSideRight, d, status);
            ASSERT_EQ(status, 0);
            ASSERT_GE(got.size(), 4u);
            EXPECT_LT(length_3d(got.front(), got.back()), 1e-9) << "closed";
            for (const p3& q : got) {
                EXPECT_NEAR(q[2], surface.surface(q[0], q[1]), surface.on_surface);
                const double to_source = to_polyline(q, source);
                EXPECT_LT(to_source, (1.0 + surface.slack) * d) << q[0] << ' ' << q[1];
                EXPECT_GT(to_source, (inward ? 1.0 - surface.slack : 0.1) * d) << q[0] << ' ' << q[1];
            }
            EXPECT_FALSE(self_crossing(got));
        }
    }
}

TEST_F(SurfaceLaneTest, OffsetStatusesOfRefusedAndFailingInputs)
{
    const auto flat = grid_test::plane(0.0, 0.0, 0.0);
    grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, flat);
    // A static loop round the square 0..10 of the given number of points.
    std::vector<double> x, y, z;
    const auto static_loop = [&](int n, pokarr& loop) {
        x.assign(n, 0.0), y.assign(n, 0.0), z.assign(n, 0.0);
        for (int i = 0; i < n; ++i) {
            const double a = 2.0 * std::acos(-1.0) * i / (n - 1);
            x[i] = 5.0 + 4.0 * std::cos(a), y[i] = 5.0 + 4.0 * std::sin(a);
        }
        int status = 0;
        pokarr_init_static(3, x.data(), y.data(), z.data(), nullptr, n, n, loop, status);
    };
    const struct {
        const char* what;
        std::function<void(pokarr&)> make;
        int want;
    } rows[] = {
        {"empty input", [](pokarr& loop) { pokarr_init(3, loop); }, kOffset3dFailed},
        {"7000 static points", [&](pokarr& loop) { static_loop(7000, loop); }, 0},
        {"7001 static points", [&](pokarr& loop) { static_loop(7001, loop); }, kOffset3dFailed},
        {"off the grid", [](pokarr& loop) { loop = make_3d(square(20.0, 30.0, false, grid_test::plane(0, 0, 0))); },
         kOffset3dNotLaid},
        {"repeated points only",
         [](pokarr& loop) {
             loop = make_3d({{1, 1, 0}, {1, 1, 0}, {1, 1, 0}});
         },
         0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr loop, output;
        r.make(loop);
        pokarr_init(3, output);
        const std::size_t said = errors().size();
        int status = -5;
        lane_offset_3d(kSideLeft, 1.0, loop, output, status);
        EXPECT_EQ(status, r.want);
        // A grid routine's failure ends with the offset's line; refused input is the caller's fault.
        if (status == kOffset3dNotLaid)
            EXPECT_EQ(errors().back(), "[lane_offset_3d] THE OFFSET CANNOT BE LAID ON THE SURFACE");
        else
            EXPECT_EQ(errors().size(), said);
        if (status != 0) {
            EXPECT_EQ(output.count, 0);
        }
        pokarr_free(output);
        pokarr_free(loop);
    }
}

TEST_F(SurfaceLaneTest, RawOffsetHandsSurfaceLoopsToTheSurfaceOffset)
{
    const auto flat = grid_test::plane(0.0, 0.0, 1.0);
    grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, flat);
    pokarr loop = make_3d(square(0.0, 10.0, false, flat)), output;
    pokarr_init(3, output);
    int status = -5;
    lane_offset_2d3d(kSideLeft, 1, 1.0, loop, output, status);
    EXPECT_EQ(status, 0);
    ASSERT_GE(output.count, 5);
    for (const p3& q : points_of(output))
        EXPECT_NEAR(std::min({q[0] - 1.0, 9.0 - q[0], q[1] - 1.0, 9.0 - q[1]}), 0.0, 1e-6);
    pokarr_free(loop);
    pokarr_free(output);
}

// A square's inward offset beside a node without surface (the triangles round it are a hole), on
// a flat and a tilted grid, goes round the hole: closed, no point of its moves nearer the node
// than the hole's rim (h / sqrt(2)), and no message.
TEST_F(SurfaceLaneTest, OffsetsBesideAHoleGoRoundIt)
{
    const std::array<double, 2> holes[] = {{1.0, 5.0}, {3.0, 5.0}, {2.0, 5.0}, {1.0, 1.0},
                                           {2.0, 2.0}, {5.0, 1.0}, {8.0, 7.0}, {9.0, 3.0}};
    for (const auto& tilt : {grid_test::plane(0.0, 0.0, 2.0), grid_test::plane(0.3, -0.2, 4.0)})
        for (const auto& hole : holes) {
            SCOPED_TRACE(testing::Message() << "hole " << hole[0] << ' ' << hole[1] << " tilt " << tilt(1.0, 0.0));
            grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, tilt);
            grid_test::set_node(static_cast<int>(hole[0]) + 5, static_cast<int>(hole[1]) + 5, kGridNoSurfaceHeight);
            const std::size_t said = errors().size();
            int status = -5;
            const std::vector<p3> got = offset(square(0.0, 10.0, false, tilt), kSideLeft, 2.0, status);
            ASSERT_EQ(status, 0);
            EXPECT_EQ(errors().size(), said);
            ASSERT_GE(got.size(), 5u);
            EXPECT_LT(length_3d(got.front(), got.back()), 1e-9) << "closed";
            double nearest = 1e30;
            for (std::size_t k = 1; k < got.size(); ++k)
                for (double t = 0.0; t <= 1.0; t += 0.05)
                    nearest = std::min(nearest, std::hypot(got[k - 1][0] + t * (got[k][0] - got[k - 1][0]) - hole[0],
                                                           got[k - 1][1] + t * (got[k][1] - got[k - 1][1]) - hole[1]));
            EXPECT_GT(nearest, M_SQRT1_2 - 1e-6);
        }
}

// A square on the plane z = 2x (a slope of 63 degrees along x), offset inwards: a contour's first
// offset (pocket_work.contour_offset_in_plane) keeps the distance from every edge in the plane,
// any other offset walks it along the surface, which on the edges square to the fall line is the
// distance over the root of 5 in the plane. Either way the loop is the square shrunk in XY,
// corners and all, and lies on the surface.
TEST_F(SurfaceLaneTest, ContourOffsetKeepsItsDistanceInThePlane)
{
    const auto slope = grid_test::plane(2.0, 0.0, 0.0);
    grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, slope);
    const double d = 1.5;
    const struct {
        int in_plane;
        double across;  // the shrink in XY of the edges square to the fall line
    } rows[] = {{1, d}, {0, d / std::sqrt(5.0)}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "in the plane " << r.in_plane);
        pocket_work_block.contour_offset_in_plane = r.in_plane;
        int status = -5;
        const std::vector<p3> got = offset(square(0.0, 10.0, false, slope), kSideLeft, d, status);
        pocket_work_block.contour_offset_in_plane = 0;
        ASSERT_EQ(status, 0);
        ASSERT_GE(got.size(), 5u);
        const double x0 = r.across, x1 = 10.0 - r.across, y0 = d, y1 = 10.0 - d;
        const std::vector<p3> shrunk = {{x0, y0, 0.0}, {x1, y0, 0.0}, {x1, y1, 0.0}, {x0, y1, 0.0}, {x0, y0, 0.0}};
        for (const p3& q : got) {
            EXPECT_LT(to_polyline({q[0], q[1], 0.0}, shrunk), 1e-6) << q[0] << ' ' << q[1];
            EXPECT_NEAR(q[2], slope(q[0], q[1]), 1e-6);
        }
        for (const p3& corner : shrunk) {
            double nearest = 1e30;
            for (const p3& q : got) nearest = std::min(nearest, std::hypot(q[0] - corner[0], q[1] - corner[1]));
            EXPECT_LT(nearest, 1e-6) << "corner " << corner[0] << ' ' << corner[1];
        }
    }
}

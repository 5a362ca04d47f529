// Walks of a point across the surface grid: on a flat grid the end lies at the distance across
// the tangent on the side of tangent x N (long diagonal walks included); on planes and over a
// ridge every walked point is on the surface and the walked length is the distance; a steep
// checked start is refused without writing; walks that leave the grid end on its border.
#include "surface_grid_support.hpp"

#include "host/vantu_vector.hpp"

#include <random>
#include <vector>

using namespace grid_test;

namespace {

class DropLaneOnGrid : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        pokarr_init(3, path);
    }
    void TearDown() override
    {
        pokarr_free(path);
        GridTest::TearDown();
    }
    pokarr path;

    double path_length() const
    {
        double total = 0;
        for (int i = 1; i < path.count; ++i) {
            const double a[3] = {path.x[i - 1], path.y[i - 1], path.z[i - 1]}, b[3] = {path.x[i], path.y[i], path.z[i]};
            total += length3(a, b);
        }
        return total;
    }
    // The largest gap between a path point and the surface.
    double off_surface(const height_fn& z) const
    {
        double worst = 0;
        for (int i = 0; i < path.count; ++i) worst = std::max(worst, std::fabs(path.z[i] - z(path.x[i], path.y[i])));
        return worst;
    }
};

// The walking direction on a plane of normal n: the tangent's part in the plane turned a right
// angle, tangent x n.
void across(const double* tangent, const double* n, double* w)
{
    const double s = -(tangent[0] * n[0] + tangent[1] * n[1] + tangent[2] * n[2]);
    double t[3] = {tangent[0] + s * n[0], tangent[1] + s * n[1], tangent[2] + s * n[2]}, length = 0;
    int status = 0;
    v3untd(t, length, status);
    v3crsd(t, n, w);
}

}  // namespace

TEST_F(DropLaneOnGrid, EndsAtTheDistanceAcrossTheTangentOnPlanes)
{
    struct row {
        double slope_x, slope_y;
        double tangent[3];
        double distance;
        int mode;
    };
    const double r2 = std::sqrt(0.5);
    const std::vector<row> rows = {
        {0, 0, {1, 0, 0}, 3.7, kDropPlain},      {0, 0, {0, 1, 0}, 3.7, kDropChecked},
        {0, 0, {0.6, 0.8, 0}, 2.25, 2},          {0, 0, {r2, -r2, 0}, 40.0, 2},  // a long diagonal walk
        {0, 0, {-r2, -r2, 0}, 40.0, 3},          {0.5, 0, {0, 1, 0}, 6.0, 2},    // uphill on z = 0.5x
        {0.5, 0, {0, -1, 0}, 6.0, kDropChecked}, {0.25, -0.5, {0.6, 0.8, 0}, 9.5, 2},
        {0, 0, {1, 0, 0}, 0.0, kDropPlain},
    };
    for (const row& r : rows) {
        reset_grid();
        const height_fn z = plane(r.slope_x, r.slope_y, 1);
        load_grid(-30, -30, 1, 81, 81, z);
        surface_grid_block.shift[0] = 10;  // pocket coordinates lie 10 to the left of the grid's
        double record[12] = {10.3 - 10, 10.6, z(10.3, 10.6), 0, 0, 0, 0, 0, 0, 0, 0, 0};
        path.count = 0;
        int status = 99;
        drop_lane_on_grid(r.mode, record, r.tangent, r.distance, &path, status);
        ASSERT_EQ(status, 0) << r.slope_x << " " << r.tangent[0] << " " << r.distance;
        double n[3] = {-r.slope_x, -r.slope_y, 1}, length = 0, w[3];
        v3untd(n, length, status);
        across(r.tangent, n, w);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(record[3 + k], record[k] + r.distance * w[k], 1e-9) << k;
        // The path runs in grid coordinates less the shift, on the surface, as long as the walk.
        for (int i = 0; i < path.count; ++i) path.x[i] += 10;
        EXPECT_LT(off_surface(z), 1e-9);
        EXPECT_NEAR(path_length(), r.distance, 1e-9);
        if (r.mode == kDropChecked)
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(record[6 + k], n[k], 1e-12);
                EXPECT_NEAR(record[9 + k], w[k], 1e-12);
            }
    }
}

TEST_F(DropLaneOnGrid, SteepCheckedStartIsRefusedOnce)
{
    load_grid(0, 0, 1, 11, 11, plane(0.5, 0, 0));
    const double tangent[3] = {1, 0, 0};  // up the slope: |t . N| = 0.447
    for (int check : {1, 0}) {
        grid_drop_check_set(check);
        double record[12];
        std::fill(record, record + 12, -7.0);
        record[0] = 5.5;
        record[1] = 5.5;
        record[2] = 2.75;
        path.count = 0;
        int status = 0;
        drop_lane_on_grid(kDropChecked, record, tangent, 2.0, &path, status);
        EXPECT_EQ(status, check == 1 ? kDropSteepStart : 0);
        EXPECT_EQ(grid_walk_block.check, 0);
        EXPECT_EQ(record[3] == -7.0 && record[11] == -7.0, check == 1);
        EXPECT_EQ(path.count == 0, check == 1);
    }
}

TEST_F(DropLaneOnGrid, StartsOffTheGridAndWalksOffIt)
{
    load_grid(0, 0, 1, 6, 6, plane(0, 0.5, 0));
    const double tangent[3] = {0, 1, 0};  // walks towards +x
    struct row {
        double x, y, distance;
        int status;
        double end_x;
        std::size_t messages;
    };
    const std::vector<row> rows = {
        {-0.5, 2.5, 1.0, -1, -7, 1},  // off the grid: refused with the mapping's message
        {2.5, 2.5, 1.0, 0, 3.5, 0},
        {2.5, 2.5, 9.0, 0, 5.0, 0},  // leaves the cells: ends on the border
    };
    for (const row& r : rows) {
        vantu::control::reset();
        double record[6] = {r.x, r.y, 0.5 * r.y, -7, -7, -7};
        int status = 0;
        drop_lane_on_grid(kDropPlain, record, tangent, r.distance, nullptr, status);
        EXPECT_EQ(status, r.status) << r.x << " " << r.distance;
        EXPECT_NEAR(record[3], r.end_x, 1e-12) << r.x << " " << r.distance;
        EXPECT_EQ(errors().size(), r.messages);
    }
}

TEST_F(DropLaneOnGrid, SeededWalksStayOnTheSurface)
{
    const unsigned seed = 20261208;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        reset_grid();
        const bool on_ridge = trial % 3 == 0;
        const double h = 0.5 * (1 + trial % 4);
        const height_fn z = on_ridge ? ridge(20 * h, 8, 0.75)
                                     : plane((static_cast<int>(unit(random) * 17) - 8) / 8.0,
                                             (static_cast<int>(unit(random) * 17) - 8) / 8.0, 3);
        load_grid(0, 0, h, 41, 41, z);
        const double x = h * (13 + 15 * unit(random)), y = h * (13 + 15 * unit(random));
        const double angle = 2 * M_PI * unit(random), distance = h * 12 * unit(random);
        const double tangent[3] = {std::cos(angle), std::sin(angle), 0};
        double record[6] = {x, y, z(x, y), 0, 0, 0};
        path.count = 0;
        int status = 0;
        drop_lane_on_grid(2, record, tangent, distance, &path, status);
        ASSERT_EQ(status, 0) << "seed " << seed << " trial " << trial;
        ASSERT_LT(off_surface(z), 1e-9) << "seed " << seed << " trial " << trial;
        EXPECT_NEAR(path_length(), distance, 1e-9) << "seed " << seed << " trial " << trial;
        EXPECT_NEAR(record[5], z(record[3], record[4]), 1e-9) << "seed " << seed << " trial " << trial;
        if (!on_ridge) continue;
        // Every fold of the ridge runs along x: the walk keeps its direction's part along x.
        double n[3] = {0, y < 20 * h ? -0.75 : 0.75, 1}, length = 0, w[3];
        v3untd(n, length, status);
        across(tangent, n, w);
        EXPECT_NEAR(record[3] - x, distance * w[0], 1e-9) << "seed " << seed << " trial " << trial;
    }
}

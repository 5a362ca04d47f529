// Point-string support: the centre of an arc parallel to the working plane (through the
// coordinate system its "RP" names), the height along a segment in both widths, the resampled
// arc and the perpendicular.
#include "lane_test_support.hpp"

#include "host/control.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/pokarr_resample.hpp"
#include "pocket_arrays/segment_interpolate.hpp"
#include "pocket_lanes/moves/vec2_perp.hpp"
#include "pocket_lanes/parallel_arc.hpp"
#include "tools/symbol_geometry.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace {

class PointStrings : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        vantu::control::reset();
    }
    void TearDown() override
    {
        // The pool goes back before the host's reset frees the memory under it.
        LaneTest::TearDown();
        vantu::control::reset();
    }
};

int make_arc()
{
    int id = -1, status = -9;
    const float centre[3] = {1, 2, 3};
    dbdarc_from_angles(id, centre, 2.0f, 0.0f, 90.0f, status);
    EXPECT_EQ(status, 0);
    return id;
}

}  // namespace

TEST_F(PointStrings, ArcCentreParallelToTheWorkingPlane)
{
    struct row {
        float origin[3], x_point[3], plane_point[3];
        int parallel;
        float centre[3];
    } rows[] = {
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 1, {1, 2, 3}},    // no system: world
        {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}, 1, {1, 2, 8}},    // shifted up by 5
        {{0, 0, 0}, {0, 1, 0}, {-1, 0, 0}, 1, {-2, 1, 3}},  // turned a quarter about z
        {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 0, {0, 0, 0}},    // standing: axis along -y
    };
    for (const row& r : rows) {
        const int arc = make_arc();
        if (r.x_point[0] != 0 || r.x_point[1] != 0 || r.x_point[2] != 0) {
            int ucs = -1, status = -9;
            xsys4(r.origin, r.x_point, r.plane_point, ucs, status);
            ASSERT_EQ(status, 0);
            eattc(arc, 2, "RP", ucs, status);
            ASSERT_EQ(status, 0);
        }
        float centre[3] = {0, 0, 0};
        int status = -9;
        EXPECT_EQ(PRLLIF(arc, centre, status), r.parallel) << r.x_point[1];
        EXPECT_EQ(status, 0);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(centre[k], r.centre[k], 1e-5) << k;
    }
    float centre[3];
    int status = 0;
    EXPECT_EQ(PRLLIF(987654, centre, status), 0);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(vantu::control::texts_of("eroutc"), (std::vector<std::string>{"PRLLIF - can not open entity"}));
}

TEST_F(PointStrings, HeightAlongASegmentInBothWidths)
{
    struct row {
        double a[3], b[3], p[2];
        double z;
        int flag;
        double w;  // weight of b
    } rows[] = {
        {{0, 0, 0}, {10, 2, 5}, {4, 0}, 2.0, 0, 0.4},   // mostly along x
        {{0, 0, 0}, {1, 10, 10}, {0, 3}, 3.0, 0, 0.3},  // mostly along y
        {{2, 2, 7}, {2, 2, 3}, {2, 2}, 3.0, 1, 1.0},    // vertical: the lower end, flag 1
        {{0, 0, 4}, {10, 0, 4}, {5, 0}, 4.0, 0, 1.0},   // level: weight 1
    };
    for (const row& r : rows) {
        const double ua[3] = {1, 0, 0}, ub[3] = {0, 1, 0};
        double z = -1, w[3] = {0, 0, 0};
        int flag = -1;
        segment_interpolate_d(r.a, r.b, ua, ub, r.p, z, w, flag);
        EXPECT_NEAR(z, r.z, 1e-12);
        EXPECT_EQ(flag, r.flag);
        EXPECT_NEAR(w[1], r.w, 1e-12);
        EXPECT_NEAR(w[0], 1.0 - r.w, 1e-12);
        const float fa[3] = {float(r.a[0]), float(r.a[1]), float(r.a[2])};
        const float fb[3] = {float(r.b[0]), float(r.b[1]), float(r.b[2])};
        const float fp[2] = {float(r.p[0]), float(r.p[1])}, fua[3] = {1, 0, 0}, fub[3] = {0, 1, 0};
        float fz = -1, fw[3] = {0, 0, 0};
        int fflag = -1;
        segment_interpolate(fa, fb, fua, fub, fp, fz, fw, fflag);
        EXPECT_NEAR(fz, r.z, 1e-5);
        EXPECT_EQ(fflag, r.flag);
        EXPECT_NEAR(fw[1], r.w, 1e-5);
    }
}

TEST_F(PointStrings, ResampledArcAndPerpendicular)
{
    std::vector<xy> e = {{0, -3}, {10, 0}};
    push_arc(e, 5.0, 1.0, 5.0, 0.0, 0.0, 0.0);
    pokarr a = make_from(e);
    std::vector<double> buffer(3 * 500);
    int count = 0, status = -9;
    pokarr_resample(a, 0.01, 3, buffer.data(), 500, &count, nullptr, status);
    ASSERT_EQ(status, 0);
    ASSERT_GT(count, 3);
    EXPECT_DOUBLE_EQ(buffer[0], 0.0);
    EXPECT_DOUBLE_EQ(buffer[3], 10.0);
    for (int i = 2; i < count; ++i) {
        EXPECT_NEAR(std::hypot(buffer[3 * i] - 5.0, buffer[3 * i + 1]), 5.0, 1e-9);
        EXPECT_EQ(buffer[3 * i + 2], 0.0);
    }
    EXPECT_NEAR(buffer[3 * (count - 1)], 0.0, 1e-9);
    pokarr_resample(a, 0.01, 2, buffer.data(), 3, &count, nullptr, status);
    EXPECT_EQ(status, -1);  // no room
    pokarr_free(a);
    const double v[2] = {3, 4};
    double left[2], right[2];
    vec2_perp(1, v, left);
    vec2_perp(0, v, right);
    EXPECT_EQ(left[0], -4.0);
    EXPECT_EQ(left[1], 3.0);
    EXPECT_EQ(right[0], 4.0);
    EXPECT_EQ(right[1], -3.0);
}

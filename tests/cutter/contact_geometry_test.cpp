// Contact geometry of the cutters: the normal at a contact, the tip from a contact and normal and
// back, the undefined-normal warning, and the interpolated tool axis.
#include "cutter_test_support.hpp"

#include "cutter/kernels/contact_geometry.hpp"

#include <cmath>
#include <random>

namespace {

constexpr float kDegree = static_cast<float>(M_PI / 180.0);

void expect_vector(const float* actual, const std::array<float, 3>& expected, float tolerance)
{
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(actual[k], expected[k], tolerance) << "component " << k;
}

}  // namespace

TEST(ContactGeometry, NormalFromTipAndContact)
{
    const float s10 = std::sin(10 * kDegree), c10 = std::cos(10 * kDegree);
    const float h = std::sqrt(0.5f);
    struct row {
        const char* what;
        float diameter, corner, taper, x_fillet, y_top;
        std::array<float, 3> contact;  // the tip is at the origin
        std::array<float, 3> normal;
        int status;
    };
    // A 10-degree cutter of diameter 6, corner 1, flank top Y = 20: the flank starts at rho1 and
    // ends at rho2.
    const float rho1 = 3 + (1 - s10) * s10 / c10;
    const float rho2 = 3 + (20 - 2 * s10) * s10 / c10;  // with a top fillet of radius X = 2
    const float fillet_centre = rho2 - c10 * 2;         // X = 2, Y = 20
    const float fx = fillet_centre - (rho2 + 0.5f), fz = 20 - 21.0f;
    const float fl = std::hypot(fx, fz);
    const row rows[] = {
        {"flat end at its rim: towards the tip", 6, 0, 0, 0, 0, {3, 0, 0}, {-1, 0, 0}, 0},
        {"flat end inside its rim: the bottom", 6, 0, 0, 0, 0, {1, 0, 0}, {0, 0, 1}, 2},
        {"contact on the axis", 6, 1, 0, 0, 0, {0, 0, 0}, {0, 0, 1}, 2},
        {"ball: towards its centre", 6, 3, 0, 0, 0, {-1.8f, 0, 0.6f}, {0.6f, 0, 0.8f}, 0},
        {"bull-nose at the flat radius: the corner branch", 6, 1, 0, 0, 0, {2, 0, 0}, {0, 0, 1}, 0},
        {"bull-nose on its corner", 6, 1, 0, 0, 0, {2 + h, 0, 1 - h}, {-h, 0, h}, 0},
        {"bull-nose on its bottom", 6, 1, 0, 0, 0, {0, 1.5f, 0}, {0, 0, 1}, 2},
        {"tapered on its flank", 6, 1, 10 * kDegree, 0, 20, {0, rho1 + 1, 5}, {0, -c10, s10}, 0},
        {"tapered above its flank: towards the top fillet",
         6,
         1,
         10 * kDegree,
         2,
         20,
         {rho2 + 0.5f, 0, 21},
         {fx / fl, 0, fz / fl},
         0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const float tip[3] = {0, 0, 0};
        float n[3] = {9, 9, 9};
        int status = 9;
        tool_contact_offset(r.diameter, r.corner, r.taper, r.x_fillet, r.y_top, tip, r.contact.data(), n, status);
        EXPECT_EQ(status, r.status);
        expect_vector(n, r.normal, 1e-5f);
    }
}

TEST_F(CutterTest, TipFromContactAndNormal)
{
    const float s20 = std::sin(20 * kDegree);
    struct row {
        const char* what;
        float diameter, corner, taper_degrees;
        std::array<float, 3> normal;
        std::array<float, 3> tip;  // the contact is at (1, 2, 3)
        int status;
    };
    // The 20-degree taper with N.z = 0.2: U.z := sin 20, normalised again.
    const float ux = std::sqrt(1 - 0.04f), ul = std::hypot(ux, s20);
    const float u20[3] = {ux / ul, 0, s20 / ul};
    const float w20 = 3 - (1 - std::sin(20 * kDegree)) * 1 / std::cos(20 * kDegree);
    const float wall = std::sqrt(1 - 0.0004f);
    const row rows[] = {
        {"ball facing down: under-cut, two radii below", 6, 3, 0, {0, 0, -1}, {1, 2, -3}, -2},
        {"bull-nose on a level face: the tip is the contact", 6, 1, 0, {0, 0, 1}, {1, 2, 3}, 2},
        {"flat end on a level face", 6, 0, 0, {0, 0, 1}, {1, 2, 3}, 2},
        {"ball on a slope", 6, 3, 0, {0.6f, 0, 0.8f}, {1 + 1.8f, 2, 3 + 2.4f - 3}, 0},
        {"bull-nose on a slope", 6, 1, 0, {0.6f, 0, 0.8f}, {1 + 0.6f + 2, 2, 3 + 0.8f - 1}, 0},
        {"a wall", 6, 0, 0, {wall, 0, 0.02f}, {1 + 3, 2, 3}, 1},
        {"20-degree taper on a face steeper than its flank",
         6,
         1,
         20,
         {ux, 0, 0.2f},
         {1 + u20[0] + w20, 2, 3 + u20[2] - 1},
         -1},
        {"10-degree taper facing down: under-cut wins", 6, 1, 10, {std::sqrt(0.75f), 0, -0.5f}, {0, 0, 0}, -2},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const float contact[3] = {1, 2, 3};
        float n[3] = {r.normal[0], r.normal[1], r.normal[2]};
        float tip[3] = {0, 0, 0};
        int status = 9;
        const int mode = 0;
        tool_point_from_normal(r.diameter, r.corner, r.taper_degrees, contact, mode, n, tip, status);
        EXPECT_EQ(status, r.status);
        if (r.status != -2 || r.taper_degrees == 0) expect_vector(tip, r.tip, 2e-5f);
    }
}

TEST_F(CutterTest, NormalFromTangentsAndTheUndefinedNormal)
{
    struct row {
        const char* what;
        int mode, machining;
        std::array<float, 3> t1, t2;
        std::array<float, 3> normal;
        int status;
    };
    const row rows[] = {
        {"mode 1: T1 x T2", 1, 9, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 2},
        {"mode 2: T2 x T1", 2, 9, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, -2},
        {"machining type 14: level whatever the tangents", 1, 14, {1, 0, 0}, {1, 0, 0}, {0, 0, 1}, 2},
        {"parallel tangents: undefined", 1, 9, {1, 0, 0}, {2, 0, 0}, {7, 7, 7}, -1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        vantu::control::reset();
        machining_type() = r.machining;
        const float record[9] = {1, 2, 3, r.t1[0], r.t1[1], r.t1[2], r.t2[0], r.t2[1], r.t2[2]};
        float n[3] = {7, 7, 7}, tip[3] = {5, 5, 5};
        int status = 9;
        tool_point_from_normal(6, 1, 0, record, r.mode, n, tip, status);
        EXPECT_EQ(status, r.status);
        expect_vector(n, r.normal, 1e-6f);
        const auto shown = vantu::control::texts_of("usmsgc");
        if (r.status == -1) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0], "WARNING: NORMAL TO SURFACE IS UNDEFINED AT: X = 1.0000 Y = 2.0000 Z = 3.0000");
            expect_vector(tip, {5, 5, 5}, 0);
        } else {
            EXPECT_TRUE(shown.empty());
        }
    }
}

TEST(ContactGeometry, TipOffsetInvertsTheTipWhereNothingWasClamped)
{
    const unsigned seed = 29201;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int trial = 0; trial < 2000; ++trial) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", trial " + std::to_string(trial));
        const float diameter = 1 + 20 * unit(random);
        const int kind = trial % 4;  // flat, ball, bull-nose, tapered bull-nose
        const float corner = kind == 0 ? 0 : kind == 1 ? diameter / 2 : diameter / 2 * (0.1f + 0.8f * unit(random));
        const float taper_degrees = kind == 3 ? 1 + 15 * unit(random) : 0;
        const float taper = taper_degrees * kDegree;
        // A normal that is neither snapped to the level nor clamped to the flank.
        const float nz = std::sin(taper) + 0.05f + (0.99f - std::sin(taper) - 0.05f) * unit(random);
        const float angle = 2 * static_cast<float>(M_PI) * unit(random);
        float n[3] = {std::sqrt(1 - nz * nz) * std::cos(angle), std::sqrt(1 - nz * nz) * std::sin(angle), nz};
        const float contact[3] = {100 * unit(random) - 50, 100 * unit(random) - 50, 10 * unit(random)};
        float tip[3], back[3];
        int status = 9, back_status = 9;
        tool_point_from_normal(diameter, corner, taper_degrees, contact, 0, n, tip, status);
        ASSERT_EQ(status, 0);
        tool_tip_offset(diameter, corner, taper, tip, n, back, back_status);
        EXPECT_EQ(back_status, 0);
        expect_vector(back, {contact[0], contact[1], contact[2]}, 2e-4f);
        tool_tip_offset(diameter, corner, taper, tip, n, tip, back_status);
        expect_vector(tip, {back[0], back[1], back[2]}, 0);
    }
}

TEST(ContactGeometry, TipOffsetStatuses)
{
    struct row {
        const char* what;
        float corner, taper;
        std::array<float, 3> normal;
        int status;
    };
    const row rows[] = {
        {"level normal: the contact is the tip", 1, 0, {0, 0, 1}, 2},
        {"nearly level normal snapped", 1, 0, {0.005f, 0, 0.9999875f}, 2},
        {"a wall", 1, 0, {0.9998f, 0, 0.02f}, 1},
        {"facing down", 1, 0, {0.6f, 0, -0.8f}, -2},
        {"steeper than the flank", 1, 20 * kDegree, {0.95f, 0, 0.3122f}, -3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const float tip[3] = {1, 2, 3};
        float contact[3];
        int status = 9;
        tool_tip_offset(6, r.corner, r.taper, tip, r.normal.data(), contact, status);
        EXPECT_EQ(status, r.status);
        if (r.status == 2) expect_vector(contact, {1, 2, 3}, 0);
    }
}

TEST(ContactGeometry, AxisInterpolatedAlongAString)
{
    const float a[3] = {0, 0, 0}, b[3] = {10, 0, 0};
    const float c[3] = {0, 0, 2}, e[3] = {2, 0, 0};
    struct row {
        const char* what;
        std::array<float, 3> x;
        std::array<float, 3> vector;
    };
    const float h = std::sqrt(0.5f);
    const row rows[] = {
        {"at A: C normalised", {0, 0, 0}, {0, 0, 1}},
        {"at B: E normalised", {10, 0, 0}, {1, 0, 0}},
        {"midway: the normalised mean", {5, 0, 0}, {h, 0, h}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        float v[3];
        int status = 9;
        offset_point_d(a, b, c, e, r.x.data(), v, status);
        EXPECT_EQ(status, 0);
        expect_vector(v, r.vector, 1e-6f);
    }
    float v[3];
    int status = 9;
    offset_point_d(a, a, c, e, a, v, status);  // A = B = X: t = 1, C
    expect_vector(v, {0, 0, 1}, 1e-6f);
    const float minus_c[3] = {0, 0, -2}, x[3] = {5, 0, 0};
    offset_point_d(a, b, c, minus_c, x, v, status);
    EXPECT_LT(status, 0) << "the mean of opposite vectors has no length";
}

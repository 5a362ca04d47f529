// Single-precision vectors and matrices of the host: unit vectors and their no-length status,
// the inverse with its refusal, the rotation of a plane's normal onto +z (also from -z), and the
// call-site counters that count them.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

TEST(HostVectorS, UnitVectorsDistancesAndProducts)
{
    struct row {
        const char* what;
        float v[3];
        int dimension;
        int status;
        float length;
        float unit[3];
    };
    const row rows[] = {
        {"2-D", {3, 4, 9}, 2, 0, 5, {0.6f, 0.8f, 9}},
        {"3-D", {0, 3, 4}, 3, 0, 5, {0, 0.6f, 0.8f}},
        {"2-D without length", {1e-7f, 0, 9}, 2, -1, 1e-7f, {1e-7f, 0, 9}},
        {"3-D without length", {0, 0, 0}, 3, -1, 0, {0, 0, 0}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        float v[3] = {r.v[0], r.v[1], r.v[2]}, length = -1;
        int status = 9;
        if (r.dimension == 2)
            v2unit(v, length, status);
        else
            v3unit(v, length, status);
        EXPECT_EQ(status, r.status);
        EXPECT_FLOAT_EQ(length, r.length);
        for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(v[k], r.unit[k]);
    }
    const float a[3] = {1, 2, 3}, b[3] = {4, 6, 3};
    float d[2], c[3];
    v2sub(b, a, d);
    EXPECT_EQ(d[0], 3.0f);
    EXPECT_EQ(d[1], 4.0f);
    EXPECT_EQ(dist2(a, b), 5.0f) << "z is not read";
    v3cros(a, b, c);
    EXPECT_EQ(c[0], 2 * 3 - 3 * 6.0f);
    EXPECT_EQ(c[1], 3 * 4 - 1 * 3.0f);
    EXPECT_EQ(c[2], 1 * 6 - 2 * 4.0f);
    EXPECT_FLOAT_EQ(radian(180), static_cast<float>(M_PI));
}

TEST(HostVectorS, InverseAndItsRefusal)
{
    const float m[9] = {2, 0, 0, 0, 0, -1, 0, 4, 0};
    float inverse[9], product[3];
    int status = 9;
    m3inv(m, inverse, status);
    ASSERT_EQ(status, 0);
    for (int column = 0; column < 3; ++column) {
        const float e[3] = {column == 0 ? 1.0f : 0.0f, column == 1 ? 1.0f : 0.0f, column == 2 ? 1.0f : 0.0f};
        float back[3];
        m3vec(m, e, product);
        m3vec(inverse, product, back);
        for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(back[k], e[k]);
    }
    const float singular[9] = {1, 2, 3, 2, 4, 6, 0, 1, 1};
    float untouched[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    m3inv(singular, untouched, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(untouched[4], 7.0f) << "nothing written";
}

TEST(HostVectorS, PlaneRotationTakesTheNormalToZ)
{
    const unsigned seed = 29209;
    std::mt19937 random(seed);
    std::normal_distribution<float> gauss;
    std::vector<std::array<float, 3>> normals = {{0, 0, 1},  {0, 0, -1},     {0, 0, 7},     {1, 0, 0},
                                                 {0, -2, 0}, {1e-7f, 0, -1}, {1e-4f, 0, -1}};
    for (int k = 0; k < 200; ++k) normals.push_back({gauss(random), gauss(random), gauss(random)});
    for (const auto& n : normals) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + std::to_string(n[0]) + " " + std::to_string(n[1]) + " " +
                     std::to_string(n[2]));
        const float plane[4] = {n[0], n[1], n[2], 3};
        float m[9];
        int status = 9;
        plrot(plane, m, status);
        ASSERT_EQ(status, 0);
        const float length = std::hypot(n[0], n[1], n[2]);
        const float unit[3] = {n[0] / length, n[1] / length, n[2] / length};
        float turned[3];
        m3vec(m, unit, turned);
        EXPECT_NEAR(turned[0], 0, 2e-6f);
        EXPECT_NEAR(turned[1], 0, 2e-6f);
        EXPECT_NEAR(turned[2], 1, 2e-6f);
        // A rotation: orthonormal rows, determinant +1.
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const float dot = m[3 * i] * m[3 * j] + m[3 * i + 1] * m[3 * j + 1] + m[3 * i + 2] * m[3 * j + 2];
                EXPECT_NEAR(dot, i == j ? 1 : 0, 2e-6f);
            }
        float row_cross[3];
        v3cros(m, m + 3, row_cross);
        EXPECT_NEAR(row_cross[0] * m[6] + row_cross[1] * m[7] + row_cross[2] * m[8], 1, 2e-6f);
    }
    const float none[4] = {0, 0, 0, 1};
    float m[9] = {7};
    int status = 9;
    plrot(none, m, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(m[0], 7.0f);
}

TEST(HostVectorS, CallSiteCountersCountAndReset)
{
    vantu::control::reset();
    const float a[2] = {0, 0}, b[2] = {3, 4};
    for (int k = 0; k < 3; ++k) dist2(a, b);
    ltval(1, 2);
    EXPECT_EQ(vantu::control::call_count("dist2"), 3);
    EXPECT_EQ(vantu::control::call_count("ltval"), 1);
    vantu::control::reset();
    EXPECT_EQ(vantu::control::call_count("dist2"), 0) << "a reset zeroes the counts";
    dist2(a, b);
    EXPECT_EQ(vantu::control::call_count("dist2"), 1) << "the counter still counts after a reset";
    vantu::control::clear_trace();
    EXPECT_EQ(vantu::control::call_count("dist2"), 0);
}

// The single-precision family beside the double forms: each row computes one routine on the
// same two points and is compared with the value worked out by hand.
TEST(HostVectorS, SinglePrecisionFamilyMatchesHandValues)
{
    const float a[3] = {1, 2, 2}, b[3] = {4, 6, 2};
    float out[3] = {0, 0, 0};
    struct row {
        const char* what;
        std::function<void()> run;
        std::array<float, 3> expected;
        int count;  // coordinates written
    };
    const row rows[] = {
        {"v3sub", [&] { v3sub(b, a, out); }, {3, 4, 0}, 3},
        {"v2add", [&] { v2add(a, b, 0.5f, out); }, {3, 5, 0}, 2},
        {"v3add", [&] { v3add(a, b, -1, out); }, {-3, -4, 0}, 3},
        {"v2scal", [&] { v2scal(b, 2, out); }, {8, 12, 0}, 2},
        {"v3scal", [&] { v3scal(a, -3, out); }, {-3, -6, -6}, 3},
        {"v3btp at 0", [&] { v3btp(a, b, 0, out); }, {1, 2, 2}, 3},
        {"v3btp at 1", [&] { v3btp(a, b, 1, out); }, {4, 6, 2}, 3},
        {"v3btp at 1/4", [&] { v3btp(a, b, 0.25f, out); }, {1.75f, 3, 2}, 3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        out[0] = out[1] = out[2] = 0;
        r.run();
        for (int k = 0; k < r.count; ++k) EXPECT_FLOAT_EQ(out[k], r.expected[k]);
    }
    EXPECT_FLOAT_EQ(v2dot(a, b), 16);
    EXPECT_FLOAT_EQ(v3dot(a, b), 20);
    EXPECT_FLOAT_EQ(v2cros(a, b), 1 * 6 - 2 * 4);
    EXPECT_FLOAT_EQ(v3size(a), 3);
    EXPECT_FLOAT_EQ(dist3(a, b), 5);
}

TEST(HostVectorS, BlendedDirectionsRootsAndZeroTests)
{
    const float x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, minus_x[3] = {-1, 0, 0};
    float d[3];
    int status = 9;
    v3btpn(x, y, 0.5f, d, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(d[0], std::sqrt(0.5f));
    EXPECT_FLOAT_EQ(d[1], std::sqrt(0.5f));
    v3btpn(x, minus_x, 0.5f, d, status);
    EXPECT_EQ(status, -1) << "opposite directions have no blend";
    struct root {
        float value, tolerance, expected;
    };
    for (const root& r : {root{4, 0.0001f, 2}, root{0.00005f, 0.0001f, 0}, root{-1e-7f, 0.0001f, 0}, root{-1, -2, 0},
                          root{0.25f, 0, 0.5f}}) {
        SCOPED_TRACE(r.value);
        EXPECT_FLOAT_EQ(sqrt1(r.value, r.tolerance), r.expected);
    }
    EXPECT_EQ(nev0dd(0.0), 0);
    EXPECT_EQ(nev0dd(5e-7), 0) << "within the double tolerance";
    EXPECT_EQ(nev0dd(-2e-6), 1);
}

TEST(HostVectorS, ReversalKeepsEachRecordWhole)
{
    struct row {
        int dimension, count;
        std::vector<float> values, expected;
    };
    const row rows[] = {
        {3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {7, 8, 9, 4, 5, 6, 1, 2, 3}},
        {1, 4, {1, 2, 3, 4}, {4, 3, 2, 1}},
        {2, 2, {1, 2, 3, 4, 9}, {3, 4, 1, 2, 9}},  // only count records move
        {3, 1, {1, 2, 3}, {1, 2, 3}},
        {0, 3, {1, 2, 3}, {1, 2, 3}},
    };
    for (const row& r : rows) {
        std::vector<float> values = r.values;
        revdim(values.data(), r.dimension, r.count);
        EXPECT_EQ(values, r.expected) << r.dimension << " x " << r.count;
    }
    int words[5] = {1, 2, 3, 4, 5};
    revi(words, 4);
    EXPECT_EQ(std::vector<int>(words, words + 5), (std::vector<int>{4, 3, 2, 1, 5}));
}

// Array copies between precisions with their guards, and the 16-bit conversions.
#include "driver/conversions.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>

namespace {

TEST(Conversions, SixteenBitValuesKeepMinusOneAs65535)
{
    std::uint16_t out = 0;
    i4_to_i2(-1, out);
    EXPECT_EQ(out, 65535);
    i4_to_i2(65534, out);
    EXPECT_EQ(out, 65534);
    i4_to_i2(0x12345, out);
    EXPECT_EQ(out, 0x2345) << "only the low 16 bits are kept";
    EXPECT_EQ(i2_to_i4(65535), -1);
    EXPECT_EQ(i2_to_i4(65534), 65534);
    EXPECT_EQ(i2_to_i4(0), 0);
    EXPECT_EQ(i2_to_i4(-2), 65534) << "a signed 16-bit -2 reads as its unsigned value";
    for (int v : {-1, 0, 1, 300, 65534}) {
        i4_to_i2(v, out);
        EXPECT_EQ(i2_to_i4(out), v) << "round trip of " << v;
    }
    std::uint16_t copy = 7;
    copy_i2(out, copy);
    EXPECT_EQ(copy, out);
}

TEST(Conversions, RealToDoubleCopiesTheRangeFromTheTarget)
{
    const std::array<float, 5> src = {1.5f, 2.25f, -3.0f, 4.125f, 5.0f};
    std::array<double, 6> dst{};
    dst.fill(9.0);
    copy_real_to_double(src, 2, 4, dst, 3);
    EXPECT_EQ(dst, (std::array<double, 6>{9.0, 9.0, 2.25, -3.0, 4.125, 9.0}));
}

TEST(Conversions, DoubleToRealRoundsToTheNearestSingle)
{
    const std::array<double, 2> src = {0.1, 1.0 + DBL_EPSILON};
    std::array<float, 2> dst{};
    copy_double_to_real(src, 1, 2, dst, 1);
    EXPECT_EQ(dst[0], 0.1f);
    EXPECT_EQ(dst[1], 1.0f);
}

// The guards leave the destination as it was; a range outside either array is refused with
// one error line.
TEST(Conversions, GuardsLeaveTheDestinationUnchanged)
{
    struct row {
        int i1, i2, j;
        bool reported;
    };
    const row rows[] = {
        {0, 2, 1, false},  // i1 below 1
        {3, 2, 1, false},  // i1 beyond i2
        {1, 2, 0, false},  // j below 1
        {1, 4, 1, true},   // past the source's end
        {1, 3, 3, true},   // past the destination's end
    };
    const std::array<float, 3> src = {1.0f, 2.0f, 3.0f};
    const std::array<double, 3> dsrc = {1.0, 2.0, 3.0};
    for (const row& r : rows) {
        vantu::control::reset();
        std::array<double, 4> dst{};
        dst.fill(-7.0);
        copy_real_to_double(src, r.i1, r.i2, dst, r.j);
        EXPECT_EQ(dst, (std::array<double, 4>{-7.0, -7.0, -7.0, -7.0})) << r.i1 << "," << r.i2 << "," << r.j;
        std::array<float, 4> fdst{};
        fdst.fill(-7.0f);
        copy_double_to_real(dsrc, r.i1, r.i2, fdst, r.j);
        EXPECT_EQ(fdst, (std::array<float, 4>{-7.0f, -7.0f, -7.0f, -7.0f}));
        EXPECT_EQ(vantu::control::texts_of("eroutc").size(), r.reported ? 2u : 0u);
    }
}

}  // namespace

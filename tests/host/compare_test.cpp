// Host comparisons at the edge of the tolerance, NaN, the point forms, that they are counted and
// not recorded, and the word/text moves.
#include "host/control.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr float kTol = vantu::kRealTolerance;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

float above(float x) { return std::nextafter(x, std::numeric_limits<float>::infinity()); }
float ulps_above(float x, int n)
{
    for (int i = 0; i < n; ++i) x = above(x);
    return x;
}

}  // namespace

TEST(HostCompare, ValuesAtTheToleranceEdge)
{
    struct row {
        const char* what;
        float a, b;
        int eq;  // eqval; neval is its negation
        int gt;  // gtval(a, b); leval is its negation for numbers
        int lt;  // ltval(a, b)
    };
    const row rows[] = {
        {"identical", 1.0f, 1.0f, 1, 0, 0},
        {"exactly the tolerance apart", kTol, 0.0f, 1, 0, 0},
        {"one step beyond the tolerance", above(kTol), 0.0f, 0, 1, 0},
        {"beyond the tolerance, below", 0.0f, above(kTol), 0, 0, 1},
        {"half the tolerance", 5.0f + kTol / 2, 5.0f, 1, 0, 0},
        {"twice the tolerance", 5.0f + 2 * kTol, 5.0f, 0, 1, 0},
        // At 1000 a float step is about 6.1e-5: one step is within the tolerance, two are not.
        {"one float step at 1000", ulps_above(1000.0f, 1), 1000.0f, 1, 0, 0},
        {"two float steps at 1000", ulps_above(1000.0f, 2), 1000.0f, 0, 1, 0},
        {"negative values", -3.0f, -3.0f - 2 * kTol, 0, 1, 0},
        {"NaN never equal nor greater", kNaN, 0.0f, 0, 0, 0},
        {"NaN against itself", kNaN, kNaN, 0, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(eqval(r.a, r.b), r.eq);
        EXPECT_EQ(eqval(r.b, r.a), r.eq) << "eqval is symmetric";
        EXPECT_EQ(neval(r.a, r.b), 1 - r.eq);
        EXPECT_EQ(gtval(r.a, r.b), r.gt);
        EXPECT_EQ(ltval(r.a, r.b), r.lt);
        EXPECT_EQ(ltval(r.b, r.a), r.gt) << "ltval mirrors gtval";
        const int numbers = std::isnan(r.a) || std::isnan(r.b) ? 0 : 1;
        EXPECT_EQ(leval(r.a, r.b), numbers * (1 - r.gt)) << "NaN is never at most anything";
    }
}

TEST(HostCompare, ZeroAndPointsWithinTheTolerance)
{
    EXPECT_EQ(eqval0(0.0f), 1);
    EXPECT_EQ(eqval0(kTol), 1);
    EXPECT_EQ(eqval0(-kTol), 1);
    EXPECT_EQ(eqval0(above(kTol)), 0);
    EXPECT_EQ(eqval0(kNaN), 0);
    for (const float a : {0.0f, kTol, -kTol, above(kTol), -above(kTol), kNaN}) {
        SCOPED_TRACE(a);
        EXPECT_EQ(neval0(a), 1 - eqval0(a));
        EXPECT_EQ(gtval0(a), a > kTol ? 1 : 0);
    }

    const float p[3] = {10.0f, 20.0f, 30.0f};
    struct row {
        const char* what;
        float q[3];
        int eq2, eq3;
    };
    const row rows[] = {
        {"same point", {10.0f, 20.0f, 30.0f}, 1, 1},
        {"every coordinate within", {10.0f + kTol / 2, 20.0f - kTol / 2, 30.0f + kTol / 2}, 1, 1},
        {"x off", {10.0f + 3 * kTol, 20.0f, 30.0f}, 0, 0},
        {"y off", {10.0f, 20.0f - 3 * kTol, 30.0f}, 0, 0},
        {"only z off: eqpt2 ignores z", {10.0f, 20.0f, 31.0f}, 1, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(eqpt2(p, r.q), r.eq2);
        EXPECT_EQ(eqpt3(p, r.q), r.eq3);
        EXPECT_EQ(eqpt3(r.q, p), r.eq3);
    }
    EXPECT_EQ(eqpt3(p, nullptr), 0);
    EXPECT_EQ(eqpt2(nullptr, p), 0);

    // The distance in the plane, taken in double: z is not read, and a small gap far from the
    // origin keeps its digits.
    const float a[3] = {1.0f, 2.0f, 50.0f}, b[3] = {4.0f, 6.0f, -9.0f};
    EXPECT_EQ(dist2_c(a, b), 5.0f);
    const float far_a[2] = {16384.0f, -16384.0f}, far_b[2] = {16384.00390625f, -16384.0f};
    EXPECT_EQ(dist2_c(far_a, far_b), 0.00390625f);
}

TEST(HostCompare, ComparisonsAreCountedNotRecorded)
{
    vantu::control::reset();
    vantu::control::set_tracing(true);
    for (int i = 0; i < 5; ++i) eqval(1.0f, 2.0f);
    gtval(1.0f, 0.0f);
    EXPECT_TRUE(vantu::control::trace_entries().empty());
    EXPECT_EQ(vantu::control::call_count("eqval"), 5);
    EXPECT_EQ(vantu::control::call_count("gtval"), 1);
    vantu::control::reset();
}

TEST(HostCompare, WordsAndTextMoveByteForByte)
{
    const word words[2] = {text4_to_word("KQ47"), text4_to_word("HEI8")};
    char text[10];
    std::memset(text, '#', sizeof text);
    movi2t(words, 2, text);
    EXPECT_EQ(std::string(text, 10), "KQ47HEI8##") << "no terminator, nothing beyond 4 x count";

    word back[3] = {-1, -1, -1};
    movt2i("ABCDEFGH", 2, back);
    EXPECT_EQ(word_to_text4(back[0]), "ABCD");
    EXPECT_EQ(word_to_text4(back[1]), "EFGH");
    EXPECT_EQ(back[2], -1);

    movi2t(words, 0, text);
    movi2t(words, -3, text);
    movt2i("ZZZZ", -1, back);
    EXPECT_EQ(std::string(text, 10), "KQ47HEI8##") << "a count below 1 moves nothing";
    EXPECT_EQ(word_to_text4(back[0]), "ABCD");
}

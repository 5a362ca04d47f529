// Single-precision comparisons with the host tolerance, and the word/text moves. The
// comparisons run millions of times in a pocket computation, so they are only counted, never
// recorded. Differences are taken in double, so the test at the tolerance edge is not blurred by
// float rounding of the subtraction; NaN is never equal to anything and never greater.
#include "host/vantu_compare.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <cmath>
#include <cstring>

namespace {

bool within_tolerance(float a, float b)
{
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) <= static_cast<double>(vantu::kRealTolerance);
}

// Points are equal when every coordinate is: the tolerance is a box, as for single values.
bool points_equal(const float* p, const float* q, int dimension)
{
    if (!p || !q) return false;
    for (int i = 0; i < dimension; ++i)
        if (!within_tolerance(p[i], q[i])) return false;
    return true;
}

}  // namespace

int eqval(float a, float b)
{
    VANTU_COUNT("eqval");
    return within_tolerance(a, b) ? 1 : 0;
}

int eqval0(float a)
{
    VANTU_COUNT("eqval0");
    return within_tolerance(a, 0.0f) ? 1 : 0;
}

int neval0(float a)
{
    VANTU_COUNT("neval0");
    return within_tolerance(a, 0.0f) ? 0 : 1;
}

int gtval0(float a)
{
    VANTU_COUNT("gtval0");
    return static_cast<double>(a) > static_cast<double>(vantu::kRealTolerance) ? 1 : 0;
}

int neval(float a, float b)
{
    VANTU_COUNT("neval");
    return within_tolerance(a, b) ? 0 : 1;
}

int gtval(float a, float b)
{
    VANTU_COUNT("gtval");
    return static_cast<double>(a) - static_cast<double>(b) > static_cast<double>(vantu::kRealTolerance) ? 1 : 0;
}

int leval0(float a)
{
    vantu::trace_count("leval0");
    return static_cast<double>(a) <= static_cast<double>(vantu::kRealTolerance) ? 1 : 0;
}

int ltval0(float a)
{
    VANTU_COUNT("ltval0");
    return static_cast<double>(a) < -static_cast<double>(vantu::kRealTolerance) ? 1 : 0;
}

// NaN is never at most nor below anything: leval is "not greater" only for numbers.
int leval(float a, float b)
{
    VANTU_COUNT("leval");
    return static_cast<double>(a) - static_cast<double>(b) <= static_cast<double>(vantu::kRealTolerance) ? 1 : 0;
}

int ltval(float a, float b)
{
    VANTU_COUNT("ltval");
    return static_cast<double>(b) - static_cast<double>(a) > static_cast<double>(vantu::kRealTolerance) ? 1 : 0;
}

int eqpt2(const float* p, const float* q)
{
    VANTU_COUNT("eqpt2");
    return points_equal(p, q, 2) ? 1 : 0;
}

int eqpt3(const float* p, const float* q)
{
    VANTU_COUNT("eqpt3");
    return points_equal(p, q, 3) ? 1 : 0;
}

float dist2_c(const float* p, const float* q)
{
    VANTU_COUNT("dist2_c");
    const double dx = static_cast<double>(p[0]) - q[0], dy = static_cast<double>(p[1]) - q[1];
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

// The moves copy bytes, never reinterpret words: a word holds four characters in byte order.
void movi2t(const word* words, int count, char* text)
{
    VANTU_COUNT("movi2t");
    if (!words || !text || count <= 0) return;
    std::memcpy(text, words, static_cast<std::size_t>(count) * sizeof(word));
}

void movt2i(const char* text, int count, word* words)
{
    VANTU_COUNT("movt2i");
    if (!words || !text || count <= 0) return;
    std::memcpy(words, text, static_cast<std::size_t>(count) * sizeof(word));
}

// Tolerant comparisons of doubles with the host's double tolerance (host/tolerance.hpp). They run
// in the inner loops of the pocket engine and only count themselves.
#include "host/vantu_vector.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <cmath>

using vantu::kDoubleTolerance;

// The one place where the tolerance meets the comparisons; every named call maps onto these.
static int equal_within(double a, double b) { return std::fabs(a - b) <= kDoubleTolerance ? 1 : 0; }
static int greater_beyond(double a, double b) { return a > b + kDoubleTolerance ? 1 : 0; }
static int less_beyond(double a, double b) { return a < b - kDoubleTolerance ? 1 : 0; }

int eqvald(double a, double b)
{
    VANTU_COUNT("eqvald");
    return equal_within(a, b);
}

int nevald(double a, double b)
{
    VANTU_COUNT("nevald");
    return 1 - equal_within(a, b);
}

int gtvald(double a, double b)
{
    VANTU_COUNT("gtvald");
    return greater_beyond(a, b);
}

int gevald(double a, double b)
{
    VANTU_COUNT("gevald");
    return 1 - less_beyond(a, b);
}

int ltvald(double a, double b)
{
    VANTU_COUNT("ltvald");
    return less_beyond(a, b);
}

int levald(double a, double b)
{
    VANTU_COUNT("levald");
    return 1 - greater_beyond(a, b);
}

int eqvl0d(double a)
{
    VANTU_COUNT("eqvl0d");
    return equal_within(a, 0.0);
}

int nevl0d(double a)
{
    VANTU_COUNT("nevl0d");
    return 1 - equal_within(a, 0.0);
}

int gtvl0d(double a)
{
    VANTU_COUNT("gtvl0d");
    return greater_beyond(a, 0.0);
}

int gevl0d(double a)
{
    VANTU_COUNT("gevl0d");
    return 1 - less_beyond(a, 0.0);
}

int levl0d(double a)
{
    VANTU_COUNT("levl0d");
    return 1 - greater_beyond(a, 0.0);
}

int ltvl0d(double a)
{
    VANTU_COUNT("ltvl0d");
    return 1 - greater_beyond(a, 0.0);
}

int lev0dd(double a)
{
    VANTU_COUNT("lev0dd");
    return 1 - greater_beyond(a, 0.0);
}

int nev0dd(double a)
{
    VANTU_COUNT("nev0dd");
    return 1 - equal_within(a, 0.0);
}

int eqvldd(double a, double b)
{
    VANTU_COUNT("eqvldd");
    return equal_within(a, b);
}

int nevldd(double a, double b)
{
    VANTU_COUNT("nevldd");
    return 1 - equal_within(a, b);
}

int gtvldd(double a, double b)
{
    VANTU_COUNT("gtvldd");
    return greater_beyond(a, b);
}

int ltvldd(double a, double b)
{
    VANTU_COUNT("ltvldd");
    return less_beyond(a, b);
}

int levldd(double a, double b)
{
    VANTU_COUNT("levldd");
    return 1 - greater_beyond(a, b);
}

int eqptd(int n, const double* p, const double* q)
{
    VANTU_COUNT("eqptd");
    for (int k = 0; k < n; ++k)
        if (!equal_within(p[k], q[k])) return 0;
    return 1;
}

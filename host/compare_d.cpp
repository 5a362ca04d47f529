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
    vantu::trace_count("eqvald");
    return equal_within(a, b);
}

int nevald(double a, double b)
{
    vantu::trace_count("nevald");
    return 1 - equal_within(a, b);
}

int gtvald(double a, double b)
{
    vantu::trace_count("gtvald");
    return greater_beyond(a, b);
}

int gevald(double a, double b)
{
    vantu::trace_count("gevald");
    return 1 - less_beyond(a, b);
}

int ltvald(double a, double b)
{
    vantu::trace_count("ltvald");
    return less_beyond(a, b);
}

int levald(double a, double b)
{
    vantu::trace_count("levald");
    return 1 - greater_beyond(a, b);
}

int eqvl0d(double a)
{
    vantu::trace_count("eqvl0d");
    return equal_within(a, 0.0);
}

int nevl0d(double a)
{
    vantu::trace_count("nevl0d");
    return 1 - equal_within(a, 0.0);
}

int gtvl0d(double a)
{
    vantu::trace_count("gtvl0d");
    return greater_beyond(a, 0.0);
}

int gevl0d(double a)
{
    vantu::trace_count("gevl0d");
    return 1 - less_beyond(a, 0.0);
}

int levl0d(double a)
{
    vantu::trace_count("levl0d");
    return 1 - greater_beyond(a, 0.0);
}

int ltvl0d(double a)
{
    vantu::trace_count("ltvl0d");
    return 1 - greater_beyond(a, 0.0);
}

int eqvldd(double a, double b)
{
    vantu::trace_count("eqvldd");
    return equal_within(a, b);
}

int nevldd(double a, double b)
{
    vantu::trace_count("nevldd");
    return 1 - equal_within(a, b);
}

int gtvldd(double a, double b)
{
    vantu::trace_count("gtvldd");
    return greater_beyond(a, b);
}

int ltvldd(double a, double b)
{
    vantu::trace_count("ltvldd");
    return less_beyond(a, b);
}

int levldd(double a, double b)
{
    vantu::trace_count("levldd");
    return 1 - greater_beyond(a, b);
}

int eqptd(int n, const double* p, const double* q)
{
    vantu::trace_count("eqptd");
    for (int k = 0; k < n; ++k)
        if (!equal_within(p[k], q[k])) return 0;
    return 1;
}

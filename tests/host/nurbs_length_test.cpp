// nb_lng against lengths known in closed form (straight splines of any parameterisation, a
// parabola) and its refusals. The value groups of mktx1c..mktx3c are read in the time estimate's
// report lines (tests/edit/time_estimate_test.cpp).
#include "host/control.hpp"
#include "host/vantu_nurbs_length.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct spline_case {
    const char* name;
    int order;
    std::vector<double> knots, points;
    double length;  // -1: refused
};

// Length of y = x^2 / 2 from 0 to 1, the quadratic Bezier (0,0) (0.5,0) (1,0.5).
const double kParabola = 0.5 * (std::sqrt(2.0) + std::asinh(1.0));

TEST(NurbsLength, KnownLengthsAndRefusals)
{
    const std::vector<spline_case> rows{
        {"straight, uneven points",
         4,
         {0, 0, 0, 0, 1, 1, 1, 1},
         {0, 0, 0, 1, 2, 2, 2, 4, 4, 3, 6, 6},
         std::sqrt(9.0 + 36 + 36)},
        {"straight, three spans",
         3,
         {0, 0, 0, 0.1, 0.7, 1, 1, 1},
         {0, 0, 0, 1, 0, 0, 1.5, 0, 0, 4, 0, 0, 10, 0, 0},
         10.0},
        {"polyline of order 2", 2, {0, 0, 1, 2, 2}, {0, 0, 0, 3, 4, 0, 3, 4, 12}, 17.0},
        {"parabola", 3, {0, 0, 0, 1, 1, 1}, {0, 0, 0, 0.5, 0, 0, 1, 0.5, 0}, kParabola},
        {"knots decrease", 2, {0, 1, 0.5, 2}, {0, 0, 0, 1, 0, 0}, -1},
        {"too few points", 3, {0, 0, 1, 1, 1}, {0, 0, 0, 1, 0, 0}, -1},
        {"not finite", 2, {0, 0, 1, 1}, {0, 0, 0, NAN, 0, 0}, -1},
    };
    vantu::control::reset();
    for (const spline_case& r : rows) {
        const nurbs_record curve{r.order, int(r.points.size() / 3), r.knots.data(), r.points.data()};
        double length = -5.0;
        int status = 0;
        nb_lng(curve, 1e-6, length, status);
        EXPECT_EQ(status, r.length < 0 ? -1 : 0) << r.name;
        EXPECT_NEAR(length, std::max(r.length, 0.0), 1e-6) << r.name;
    }
}

}  // namespace

// The one-dimensional root finder: where it stops, which points it evaluates and in what order
// (the toroidal kernels read the last evaluation), and the conical kernel's residual.
#include "cutter/kernels/root_find_1d.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<double> evaluations;

double linear(double x)
{
    evaluations.push_back(x);
    return x - 0.3;
}
double zero_at_a(double x)
{
    evaluations.push_back(x);
    return x;
}
double tolerance_at_a(double x)
{
    evaluations.push_back(x);
    return x + 1.0e-11;
}
// Exactly the tolerance at the first inner point goes on; just below it stops there.
double tolerance_inside(double x)
{
    evaluations.push_back(x);
    return x == 0.5 ? 1.0e-11 : x - 0.25;
}
double below_tolerance_inside(double x)
{
    evaluations.push_back(x);
    return x == 0.5 ? 0.99e-11 : x - 0.25;
}
double both_ends_within(double x)
{
    evaluations.push_back(x);
    return 5.0e-12;
}
double step(double x)
{
    evaluations.push_back(x);
    return x < 0.3 ? -1.0 : 1.0;
}
double cubic(double x)
{
    evaluations.push_back(x);
    return x * x * x - 0.2;
}
double negated_cubic(double x)
{
    evaluations.push_back(x);
    return 0.2 - x * x * x;
}
double not_a_number_inside(double x)
{
    evaluations.push_back(x);
    return x == 0.5 ? std::nan("") : x - 0.1;
}

}  // namespace

TEST(RootFind, StopsWhereTheValueTestsSay)
{
    struct row {
        const char* what;
        root_function f;
        double expected;
        int evaluation_count;  // -1: more than 3, at most 102
    };
    const row rows[] = {
        {"a linear function is solved by the first chord step", linear, 0.3, 4},
        {"f(a) = 0 returns a without evaluating f(b)", zero_at_a, 0.0, 1},
        {"|f(a)| equal to 1e-11 returns a", tolerance_at_a, 0.0, 1},
        {"a value of exactly 1e-11 inside the loop goes on", tolerance_inside, 0.25, -1},
        {"a value just below 1e-11 inside the loop stops", below_tolerance_inside, 0.5, 3},
        {"both ends within the tolerance: a wins", both_ends_within, 0.0, 1},
        {"a value that is not a number counts as a hit", not_a_number_inside, 0.5, 3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        evaluations.clear();
        const double root = root_find_1d(0.0, 1.0, r.f);
        EXPECT_NEAR(root, r.expected, 1e-10);
        if (r.evaluation_count >= 0) {
            EXPECT_EQ(static_cast<int>(evaluations.size()), r.evaluation_count);
        } else {
            EXPECT_GT(evaluations.size(), 3u);
        }
        EXPECT_LE(evaluations.size(), 102u);
        EXPECT_EQ(evaluations.front(), 0.0) << "f(a) first";
    }
}

TEST(RootFind, NeverMetRootGivesTheFarEndAfterOneHundredSteps)
{
    evaluations.clear();
    const double root = root_find_1d(0.0, 1.0, step);
    EXPECT_EQ(evaluations.size(), 102u) << "f(a), f(b) and one evaluation per step";
    EXPECT_GE(root, 0.3) << "the current b lies on the positive side";
    EXPECT_LT(root, 0.3 + 1e-6);
    for (std::size_t k = 2; k < evaluations.size(); ++k) {
        EXPECT_GT(evaluations[k], 0.0);
        EXPECT_LT(evaluations[k], 1.0) << "every point lies inside the bracket";
    }
}

TEST(RootFind, SignOfTheFunctionDoesNotChangeThePoints)
{
    evaluations.clear();
    const double root = root_find_1d(0.0, 1.0, cubic);
    const std::vector<double> points = evaluations;
    evaluations.clear();
    EXPECT_EQ(root_find_1d(0.0, 1.0, negated_cubic), root);
    EXPECT_EQ(evaluations, points);
    EXPECT_NEAR(root, std::cbrt(0.2), 1e-9);
    EXPECT_EQ(points.back(), root) << "the last evaluation is at the returned point";
}

TEST(RootFind, ConeAngleResidual)
{
    cone_residual_block = {2.0, 3.0, 5.0};
    EXPECT_DOUBLE_EQ(cone_angle_residual(1.0), 5.0) << "C at t = 1";
    EXPECT_DOUBLE_EQ(cone_angle_residual(0.0), 3.0) << "B at t = 0";
    EXPECT_DOUBLE_EQ(cone_angle_residual(1.5), 7.5) << "C t beyond 1";
    EXPECT_DOUBLE_EQ(cone_angle_residual(0.6), 0.8 * (2.0 * 0.6 + 3.0) + 3.0);
    cone_residual_block = {};
}

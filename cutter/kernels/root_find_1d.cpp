// The one-dimensional root finder and the conical kernel's residual (see the header). The steps
// follow the order the toroidal kernels rely on: f(a), f(b), then one evaluation per step at the
// point the step chose.
#include "cutter/kernels/root_find_1d.hpp"

#include <cmath>

cone_residual_terms cone_residual_block;

namespace {

constexpr double kValueTolerance = 1.0e-11;
constexpr int kMostSteps = 100;

// At an end, a value within the tolerance or not a number stops the search.
bool end_hit(double value) { return std::isnan(value) || std::fabs(value) <= kValueTolerance; }
// Inside the loop a value of exactly the tolerance goes on.
bool inner_hit(double value) { return std::isnan(value) || std::fabs(value) < kValueTolerance; }

}  // namespace

double root_find_1d(double a, double b, root_function f)
{
    double fa = f(a);
    if (end_hit(fa)) return a;
    // Values are negated when f(a) is positive, so fa is negative and fb positive from here on.
    const double sign = fa > 0.0 ? -1.0 : 1.0;
    fa *= sign;
    double fb = sign * f(b);
    if (end_hit(fb)) return b;

    double x = (a + b) * 0.5;
    bool after_false_position = false;
    for (int step = 0; step < kMostSteps; ++step) {
        const double fx = sign * f(x);
        if (inner_hit(fx)) return x;
        const double chord_a = a - fa * (x - a) / (fx - fa);
        const double chord_b = b - fb * (b - x) / (fb - fx);
        // P not above Q: the chord slope left of x is not above the one right of x.
        const double p = (b - x) * (fx - fa);
        const double q = (x - a) * (fb - fx);
        double next = 0.0;
        if (fx > 0.0) {  // the root lies between a and x
            if (p <= q && fb > fx) {
                next = chord_b;
                after_false_position = false;
            } else if (after_false_position) {
                next = (a + x) * 0.5;
                after_false_position = false;
            } else {
                next = chord_a;
                after_false_position = true;
            }
            b = x;
            fb = fx;
        } else {  // the root lies between x and b
            if (p >= q && fx > fa) {
                next = chord_a;
                after_false_position = false;
            } else if (after_false_position) {
                next = (x + b) * 0.5;
                after_false_position = false;
            } else {
                next = chord_b;
                after_false_position = true;
            }
            a = x;
            fa = fx;
        }
        x = next;
    }
    return b;
}

double cone_angle_residual(double t)
{
    const cone_residual_terms& k = cone_residual_block;
    return std::sqrt(std::fmax(0.0, 1.0 - t * t)) * (k.a * t + k.b) + k.c * t;
}

// The one-dimensional root finder of the contact kernels (root_find_1d) and the residual the
// conical kernel hands it (cone_angle_residual). The toroidal kernels read the contact that their
// function left in module state at its last evaluation, so the order of evaluations is part of
// the contract: see root_find_1d.
#pragma once

// A function of one variable. It carries no user data: it reads its coefficients from its
// kernel's module state.
using root_function = double (*)(double);

// A zero of f between a and b (a below b, f(a) and f(b) of opposite signs): chord steps with
// false position and bisection, stopping when |f| falls below 1e-11 (at the ends: at most 1e-11)
// or after 100 steps, returning the current far end then. f(a) within the tolerance returns a
// without evaluating f(b); a value that is not a number counts as a hit. At most 102 evaluations;
// no status, no messages.
double root_find_1d(double a, double b, root_function f);

// The coefficients of cone_angle_residual, written by the conical kernel before each solve
// (A is never negative: the kernel stores 0 in place of a negative value).
struct cone_residual_terms {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};
extern cone_residual_terms cone_residual_block;

// sqrt(max(0, 1 - t^2)) * (A t + B) + C t, reading cone_residual_block.
double cone_angle_residual(double t);

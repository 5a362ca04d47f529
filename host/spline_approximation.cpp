// Weighted approximation of points by a B-spline within a tolerance (itrnrpt): the motion fit
// falls back on it when interpolation fails, and trimming rebuilds a spline moved in Z with it
// (host/vantu_fitting.hpp).
//
// The points get chord-length parameters from 0 to 1. Starting from the fewest control points
// the order allows, the spline whose first and last control points are the end points and whose
// inner control points minimise the weighted squared distances of the points from the curve at
// their parameters is solved; while a point lies further than the tolerance from its curve
// point, control points are added (up to one per point, where the spline interpolates).
#include "host/core/trace.hpp"
#include "host/vantu_fitting.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kApproximated = 1, kNone = 0;
constexpr int kMostOrder = 8;

struct fit_input {
    int dimension, order, count;
    const double* points;
    std::vector<double> weights;
    std::vector<double> parameters;  // chord length, 0 to 1
};

double distance(const fit_input& in, int i, int j)
{
    double sum = 0.0;
    for (int c = 0; c < in.dimension; ++c) {
        const double d = in.points[in.dimension * i + c] - in.points[in.dimension * j + c];
        sum += d * d;
    }
    return std::sqrt(sum);
}

// Chord-length parameters; false when the points do not move or a value is not a number.
bool chord_parameters(fit_input& in)
{
    for (int i = 0; i < in.dimension * in.count; ++i) {
        if (!std::isfinite(in.points[i])) return false;
    }
    in.parameters.assign(static_cast<std::size_t>(in.count), 0.0);
    for (int i = 1; i < in.count; ++i)
        in.parameters[static_cast<std::size_t>(i)] =
            in.parameters[static_cast<std::size_t>(i - 1)] + distance(in, i - 1, i);
    const double total = in.parameters.back();
    if (!(total > 0.0) || !std::isfinite(total)) return false;
    for (double& t : in.parameters) t /= total;
    in.parameters.back() = 1.0;
    return true;
}

// Clamped knots of n control points of the degree p that leave at least one parameter in every
// span: spread over the parameters, or their averages when the spline interpolates.
std::vector<double> knots_for(const fit_input& in, int n, int p)
{
    std::vector<double> knots(static_cast<std::size_t>(n + p + 1), 0.0);
    std::fill(knots.end() - p - 1, knots.end(), 1.0);
    if (n == in.count) {  // one control point per point: the averages of p parameters in a row
        for (int j = 1; j < n - p; ++j) {
            double sum = 0.0;
            for (int i = j; i < j + p; ++i) sum += in.parameters[static_cast<std::size_t>(i)];
            knots[static_cast<std::size_t>(p + j)] = sum / p;
        }
        return knots;
    }
    const double d = static_cast<double>(in.count) / (n - p);
    for (int j = 1; j < n - p; ++j) {
        const double place = j * d;
        const int i = std::clamp(static_cast<int>(place), 1, in.count - 1);
        const double alpha = place - i;
        knots[static_cast<std::size_t>(p + j)] = (1.0 - alpha) * in.parameters[static_cast<std::size_t>(i - 1)] +
                                                 alpha * in.parameters[static_cast<std::size_t>(i)];
    }
    return knots;
}

// The span index k (p <= k < n) with knots[k] <= t < knots[k + 1], the last span for t = 1: a
// binary search over the inner knots, which do not decrease.
int span_of(const std::vector<double>& knots, int n, int p, double t)
{
    const auto first = knots.begin() + p + 1, last = knots.begin() + n;
    return p + static_cast<int>(std::upper_bound(first, last, t) - first);
}

// The p + 1 basis functions that are not zero at t in span k (Cox-de Boor).
void basis(const std::vector<double>& knots, int k, int p, double t, double* values)
{
    double left[kMostOrder + 1], right[kMostOrder + 1];
    values[0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        left[j] = t - knots[static_cast<std::size_t>(k + 1 - j)];
        right[j] = knots[static_cast<std::size_t>(k + j)] - t;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            const double denominator = right[r + 1] + left[j - r];
            const double temp = denominator > 0.0 ? values[r] / denominator : 0.0;
            values[r] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        values[j] = saved;
    }
}

// The symmetric banded system of the inner control points: row i holds the columns i - p .. i + p.
struct banded {
    int size, p;
    std::vector<double> cells;
    std::vector<double> right;  // size x dimension
    double& at(int i, int j) { return cells[static_cast<std::size_t>(i * (2 * p + 1) + (j - i + p))]; }
};

// Solves in place without pivoting (the matrix is positive definite when every span holds a
// parameter); false on a pivot that is not above zero.
bool solve(banded& b, int dimension)
{
    for (int i = 0; i < b.size; ++i) {
        const double pivot = b.at(i, i);
        if (!(pivot > 0.0)) return false;
        for (int r = i + 1; r <= std::min(b.size - 1, i + b.p); ++r) {
            const double factor = b.at(r, i) / pivot;
            if (factor == 0.0) continue;
            for (int c = i; c <= std::min(b.size - 1, i + b.p); ++c) b.at(r, c) -= factor * b.at(i, c);
            for (int d = 0; d < dimension; ++d)
                b.right[static_cast<std::size_t>(r * dimension + d)] -=
                    factor * b.right[static_cast<std::size_t>(i * dimension + d)];
        }
    }
    for (int i = b.size - 1; i >= 0; --i) {
        for (int d = 0; d < dimension; ++d) {
            double value = b.right[static_cast<std::size_t>(i * dimension + d)];
            for (int c = i + 1; c <= std::min(b.size - 1, i + b.p); ++c)
                value -= b.at(i, c) * b.right[static_cast<std::size_t>(c * dimension + d)];
            b.right[static_cast<std::size_t>(i * dimension + d)] = value / b.at(i, i);
        }
    }
    return true;
}

// The least-squares spline of n control points with the end points fixed; false when the system
// cannot be solved.
bool fit(const fit_input& in, int n, const std::vector<double>& knots, std::vector<double>& control)
{
    const int p = in.order - 1, dim = in.dimension;
    control.assign(static_cast<std::size_t>(n * dim), 0.0);
    for (int d = 0; d < dim; ++d) {
        control[static_cast<std::size_t>(d)] = in.points[d];
        control[static_cast<std::size_t>((n - 1) * dim + d)] = in.points[(in.count - 1) * dim + d];
    }
    if (in.count == 2) {  // the straight line: inner control points evenly along the chord
        for (int i = 1; i + 1 < n; ++i) {
            const double f = static_cast<double>(i) / (n - 1);
            for (int d = 0; d < dim; ++d)
                control[static_cast<std::size_t>(i * dim + d)] = (1.0 - f) * in.points[d] + f * in.points[dim + d];
        }
        return true;
    }
    banded b{n - 2, p, std::vector<double>(static_cast<std::size_t>((n - 2) * (2 * p + 1)), 0.0),
             std::vector<double>(static_cast<std::size_t>((n - 2) * dim), 0.0)};
    double values[kMostOrder + 1];
    for (int i = 0; i < in.count; ++i) {
        const double t = in.parameters[static_cast<std::size_t>(i)], w = in.weights[static_cast<std::size_t>(i)];
        const int k = span_of(knots, n, p, t);
        basis(knots, k, p, t, values);
        // The point less what the fixed end points give it.
        double rest[3];
        for (int d = 0; d < dim; ++d) rest[d] = in.points[i * dim + d];
        for (int a = 0; a <= p; ++a) {
            const int column = k - p + a;
            if (column == 0 || column == n - 1) {
                for (int d = 0; d < dim; ++d)
                    rest[d] -= values[a] * control[static_cast<std::size_t>(column * dim + d)];
            }
        }
        for (int a = 0; a <= p; ++a) {
            const int row = k - p + a - 1;
            if (row < 0 || row >= n - 2) continue;
            for (int c = 0; c <= p; ++c) {
                const int column = k - p + c - 1;
                if (column >= 0 && column < n - 2) b.at(row, column) += w * values[a] * values[c];
            }
            for (int d = 0; d < dim; ++d) b.right[static_cast<std::size_t>(row * dim + d)] += w * values[a] * rest[d];
        }
    }
    if (!solve(b, dim)) return false;
    std::copy(b.right.begin(), b.right.end(), control.begin() + dim);
    return true;
}

// Whether every point lies within the tolerance of the curve point at its parameter; the first
// point beyond it ends the search.
bool within_tolerance(const fit_input& in, int n, const std::vector<double>& knots, const std::vector<double>& control,
                      double tolerance)
{
    const int p = in.order - 1, dim = in.dimension;
    double values[kMostOrder + 1];
    for (int i = 0; i < in.count; ++i) {
        const double t = in.parameters[static_cast<std::size_t>(i)];
        const int k = span_of(knots, n, p, t);
        basis(knots, k, p, t, values);
        double sum = 0.0;
        for (int d = 0; d < dim; ++d) {
            double at = 0.0;
            for (int a = 0; a <= p; ++a) at += values[a] * control[static_cast<std::size_t>((k - p + a) * dim + d)];
            sum += (at - in.points[i * dim + d]) * (at - in.points[i * dim + d]);
        }
        if (std::sqrt(sum) > tolerance) return false;
    }
    return true;
}

// Whether every spline of degree p on these knots misses a point by more than the tolerance, told
// without fitting it: on each span the spline is one polynomial of degree p, and no such
// polynomial comes nearer than E to p + 2 points spread over the span, E being the divided
// difference of order p + 1 of a coordinate over the sum of its weights' sizes. A span whose E
// clearly passes the tolerance condemns the trial, which spares the fit of most trials that fail
// (the fit would find the same miss), so that a run of trials costs about one fit.
bool clearly_misses(const fit_input& in, int n, const std::vector<double>& knots, double tolerance)
{
    // Only a bound clear of the rounding of the sums condemns a trial.
    constexpr double kRelativeMargin = 1e-3, kRoundingUnits = 64.0;
    const int p = in.order - 1, m = p + 2;
    const auto& t = in.parameters;
    for (int k = p; k < n; ++k) {
        const auto first = std::lower_bound(t.begin(), t.end(), knots[static_cast<std::size_t>(k)]);
        const auto last =
            k + 1 < n ? std::lower_bound(first, t.end(), knots[static_cast<std::size_t>(k + 1)]) : t.end();
        const long held = last - first;
        if (held < m) continue;
        int at[kMostOrder + 1];
        bool distinct = true;
        for (int j = 0; j < m; ++j) {
            at[j] = static_cast<int>(first - t.begin() + (held - 1) * j / (m - 1));
            if (j > 0 && !(t[static_cast<std::size_t>(at[j])] > t[static_cast<std::size_t>(at[j - 1])]))
                distinct = false;
        }
        if (!distinct) continue;
        double weight[kMostOrder + 1], weights = 0.0;
        for (int j = 0; j < m; ++j) {
            double product = 1.0;
            for (int l = 0; l < m; ++l)
                if (l != j) product *= t[static_cast<std::size_t>(at[j])] - t[static_cast<std::size_t>(at[l])];
            weight[j] = 1.0 / product;
            weights += std::fabs(weight[j]);
        }
        for (int d = 0; d < in.dimension; ++d) {
            double difference = 0.0, largest = 0.0;
            for (int j = 0; j < m; ++j) {
                const double v = in.points[at[j] * in.dimension + d];
                difference += weight[j] * v;
                largest = std::max(largest, std::fabs(v));
            }
            const double margin =
                kRelativeMargin * tolerance + kRoundingUnits * std::numeric_limits<double>::epsilon() * largest;
            if (std::fabs(difference) / weights > tolerance + margin) return true;
        }
    }
    return false;
}

}  // namespace

void itrnrpt(int dimension, int order, int count, const double* points, const double* weights, double tolerance,
             int room, double* knots, double* control, int& control_count, int& status)
{
    control_count = 0;
    status = kNone;
    fit_input in{dimension, order, count, points, {}, {}};
    bool usable = (dimension == 2 || dimension == 3) && order >= 2 && order <= kMostOrder &&
                  (count == 2 || count >= order) && points && knots && control && tolerance > 0.0 &&
                  std::isfinite(tolerance) && chord_parameters(in);
    if (usable) {
        in.weights.assign(static_cast<std::size_t>(count), 1.0);
        if (weights) in.weights.assign(weights, weights + count);
        usable =
            std::all_of(in.weights.begin(), in.weights.end(), [](double w) { return w > 0.0 && std::isfinite(w); });
    }
    // Fewest control points: the order's; most: one per point, or the room.
    const int most = std::min(std::max(count, order), room);
    for (int n = order; usable && n <= most;) {
        const std::vector<double> trial_knots = knots_for(in, n, order - 1);
        std::vector<double> trial;
        if (!clearly_misses(in, n, trial_knots, tolerance) && fit(in, n, trial_knots, trial) &&
            within_tolerance(in, n, trial_knots, trial, tolerance)) {
            std::copy(trial_knots.begin(), trial_knots.end(), knots);
            std::copy(trial.begin(), trial.end(), control);
            control_count = n - 2;
            status = kApproximated;
            break;
        }
        n = n == most ? most + 1 : std::min(most, std::max(n + 1, n + n / 2));
    }
    vantu::trace_call("itrnrpt", std::to_string(count) + " -> " + std::to_string(control_count), status);
}

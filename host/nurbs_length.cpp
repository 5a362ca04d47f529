// The length of a B-spline (nb_lng); see the header. The speed |C'(u)| is evaluated on the
// derivative curve (degree k - 2, control points k - 1 times the scaled differences of the
// curve's) with de Boor's algorithm.
#include "host/vantu_nurbs_length.hpp"

#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <array>
#include <cmath>
#include <vector>

namespace {

using vec3 = std::array<double, 3>;

// Halvings of one knot span before its estimate is taken as it stands: 2^-30 of a span is far
// below any motion a tool path holds.
constexpr int kMostHalvings = 30;

// A B-spline of degree `degree` over `knots` with control points `points`.
struct spline {
    int degree = 0;
    std::vector<double> knots;
    std::vector<vec3> points;

    // The point at u inside span k (knots[k] <= u <= knots[k + 1]).
    vec3 at(int span, double u) const
    {
        std::vector<vec3> d(points.begin() + (span - degree), points.begin() + (span + 1));
        for (int r = 1; r <= degree; ++r)
            for (int j = degree; j >= r; --j) {
                const double left = knots[static_cast<std::size_t>(j + span - degree)];
                const double right = knots[static_cast<std::size_t>(j + 1 + span - r)];
                const double alpha = right > left ? (u - left) / (right - left) : 0.0;
                for (int c = 0; c < 3; ++c) d[j][c] = (1.0 - alpha) * d[j - 1][c] + alpha * d[j][c];
            }
        return d[static_cast<std::size_t>(degree)];
    }
};

spline derivative_of(const nurbs_record& curve)
{
    const int p = curve.order - 1;
    spline s;
    s.degree = p - 1;
    s.knots.assign(curve.knots + 1, curve.knots + curve.count + curve.order - 1);
    for (int i = 0; i + 1 < curve.count; ++i) {
        const double width = curve.knots[i + p + 1] - curve.knots[i + 1];
        vec3 q{};
        for (int c = 0; c < 3 && width > 0.0; ++c)
            q[c] = p * (curve.points[3 * (i + 1) + c] - curve.points[3 * i + c]) / width;
        s.points.push_back(q);
    }
    return s;
}

// Five-point Gauss-Legendre quadrature of the speed over [a, b] inside one span of the curve
// (span k of the curve is span k - 1 of its derivative).
double gauss_speed(const spline& d, int span, double a, double b)
{
    static constexpr std::array<double, 5> kNodes{0.0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640,
                                                  0.9061798459386640};
    static constexpr std::array<double, 5> kWeights{0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
                                                    0.2369268850561891, 0.2369268850561891};
    const double half = 0.5 * (b - a), mid = 0.5 * (a + b);
    double sum = 0.0;
    for (std::size_t i = 0; i < kNodes.size(); ++i) {
        const vec3 v = d.at(span - 1, mid + half * kNodes[i]);
        sum += kWeights[i] * std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    }
    return sum * half;
}

double adaptive_speed(const spline& d, int span, double a, double b, double whole, double tolerance, int depth)
{
    const double mid = 0.5 * (a + b);
    const double left = gauss_speed(d, span, a, mid), right = gauss_speed(d, span, mid, b);
    if (depth >= kMostHalvings || std::abs(left + right - whole) <= tolerance) return left + right;
    return adaptive_speed(d, span, a, mid, left, 0.5 * tolerance, depth + 1) +
           adaptive_speed(d, span, mid, b, right, 0.5 * tolerance, depth + 1);
}

bool sound(const nurbs_record& curve, double tolerance)
{
    if (!(tolerance > 0.0) || curve.order < 2 || curve.count < curve.order || !curve.knots || !curve.points)
        return false;
    for (int i = 0; i < curve.count + curve.order; ++i)
        if (!std::isfinite(curve.knots[i]) || (i > 0 && curve.knots[i] < curve.knots[i - 1])) return false;
    for (int i = 0; i < 3 * curve.count; ++i)
        if (!std::isfinite(curve.points[i])) return false;
    return true;
}

}  // namespace

void nb_lng(const nurbs_record& curve, double tolerance, double& length, int& status)
{
    length = 0.0;
    status = 0;
    if (const auto fault = vantu::fault_hit("nb_lng")) status = *fault;
    if (status == 0 && !sound(curve, tolerance)) status = -1;
    vantu::trace_count("nb_lng");
    if (status != 0) return;
    const int p = curve.order - 1;
    const spline d = derivative_of(curve);
    const double share = tolerance / (curve.count - p);
    for (int k = p; k < curve.count; ++k) {
        const double a = curve.knots[k], b = curve.knots[k + 1];
        if (!(b > a)) continue;
        length += adaptive_speed(d, k, a, b, gauss_speed(d, k, a, b), share, 0);
    }
}

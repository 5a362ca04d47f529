// The least-squares plane of a point set (lsqrpl): the plane through the centroid across the
// direction of least spread, found as the smallest eigenvector of the points' scatter matrix.
#include "host/vantu_fitting.hpp"

#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <array>
#include <cmath>
#include <string>
#include <utility>

namespace {

using matrix3 = std::array<std::array<double, 3>, 3>;

// Jacobi sweeps on a symmetric 3 x 3 matrix: its eigenvalues end on the diagonal and the
// eigenvectors in the columns of vectors. A few sweeps reach double precision for 3 x 3.
constexpr int kJacobiSweeps = 32;

void jacobi_eigen(matrix3& a, matrix3& vectors)
{
    vectors = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < kJacobiSweeps; ++sweep) {
        const double off = std::abs(a[0][1]) + std::abs(a[0][2]) + std::abs(a[1][2]);
        if (off == 0.0) return;
        for (std::size_t p = 0; p < 2; ++p) {
            for (std::size_t q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0.0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::abs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (std::size_t k = 0; k < 3; ++k) {  // a = a * J
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (std::size_t k = 0; k < 3; ++k) {  // a = J^T * a
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (std::size_t k = 0; k < 3; ++k) {
                    const double vkp = vectors[k][p], vkq = vectors[k][q];
                    vectors[k][p] = c * vkp - s * vkq;
                    vectors[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
}

}  // namespace

void lsqrpl(int count, const float* points, double (&plane)[4], int& status)
{
    status = count >= 3 && points ? 0 : -1;
    std::array<double, 3> centre{};
    matrix3 scatter{};
    if (status == 0) {
        for (int i = 0; i < count; ++i)
            for (std::size_t k = 0; k < 3; ++k) centre[k] += points[3 * i + static_cast<int>(k)];
        for (double& c : centre) c /= count;
        for (int i = 0; i < count; ++i)
            for (std::size_t r = 0; r < 3; ++r)
                for (std::size_t c = 0; c < 3; ++c)
                    scatter[r][c] += (points[3 * i + static_cast<int>(r)] - centre[r]) *
                                     (points[3 * i + static_cast<int>(c)] - centre[c]);
        if (!std::isfinite(scatter[0][0] + scatter[1][1] + scatter[2][2])) status = -1;
    }
    matrix3 vectors{};
    std::size_t least = 0;
    if (status == 0) {
        jacobi_eigen(scatter, vectors);
        std::array<std::size_t, 3> order{0, 1, 2};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = i + 1; j < 3; ++j)
                if (scatter[order[j]][order[j]] < scatter[order[i]][order[i]]) std::swap(order[i], order[j]);
        least = order[0];
        // Points on one line (or one place) leave no plane: their root-mean-square distance from
        // the best line, sqrt(middle eigenvalue / count), is within the single-precision tolerance.
        const double middle = std::max(scatter[order[1]][order[1]], 0.0);
        if (std::sqrt(middle / count) <= vantu::kRealTolerance) status = -1;
    }
    if (status == 0) {
        if (auto fault = vantu::fault_hit("lsqrpl")) status = *fault;
    }
    if (status == 0) {
        std::array<double, 3> n{vectors[0][least], vectors[1][least], vectors[2][least]};
        // One sign for every fit of the same plane: the largest component of the normal positive.
        std::size_t big = 0;
        for (std::size_t k = 1; k < 3; ++k)
            if (std::abs(n[k]) > std::abs(n[big]) + vantu::kDoubleTolerance) big = k;
        const double sign = n[big] < 0.0 ? -1.0 : 1.0;
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (std::size_t k = 0; k < 3; ++k) plane[k] = sign * n[k] / length;
        plane[3] = -(plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2]);
    }
    vantu::trace_call("lsqrpl", std::to_string(count), status);
}

// Interpolating cubic B-splines of the host (host/vantu_fitting.hpp): chord-length knots, the
// collocation system of the points and the two end conditions, solved as a band matrix; and the
// least-squares fit of a run of samples, which the stand-in makes by thinning.
#include "host/vantu_fitting.hpp"
#include "host/vantu_vector.hpp"

#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kDimension = 3, kOrder = 4, kDegree = 3;
constexpr int kFailed = -1;
// A pivot below this share of its row's largest entry leaves the system unsolved.
constexpr double kSmallestPivot = 1.0e-12;

bool supported(int dimension, int order, int count, const double* points)
{
    return dimension == kDimension && order == kOrder && count >= 2 && points != nullptr;
}

double chord(const double* a, const double* b)
{
    double sum = 0.0;
    for (int k = 0; k < kDimension; ++k) sum += (b[k] - a[k]) * (b[k] - a[k]);
    return std::sqrt(sum);
}

// The basis functions of degree 3 that are non-zero in knot span k at t (N(k-3) .. N(k)), with
// their first and second derivatives: ders[d][j] for basis k - 3 + j (the algorithm of the
// triangular table of basis values and knot differences).
using basis_table = std::array<std::array<double, kOrder>, 3>;
basis_table basis_derivatives(const std::vector<double>& u, int k, double t)
{
    constexpr int p = kDegree;
    double ndu[p + 1][p + 1]{}, left[p + 1]{}, right[p + 1]{};
    ndu[0][0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        left[j] = t - u[static_cast<std::size_t>(k + 1 - j)];
        right[j] = u[static_cast<std::size_t>(k + j)] - t;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            ndu[j][r] = right[r + 1] + left[j - r];
            const double temp = ndu[r][j - 1] / ndu[j][r];
            ndu[r][j] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        ndu[j][j] = saved;
    }
    basis_table ders{};
    for (int j = 0; j <= p; ++j) ders[0][static_cast<std::size_t>(j)] = ndu[j][p];
    for (int r = 0; r <= p; ++r) {
        double a[2][p + 1]{};
        int s1 = 0, s2 = 1;
        a[0][0] = 1.0;
        for (int d = 1; d <= 2; ++d) {
            double value = 0.0;
            const int rk = r - d, pk = p - d;
            if (r >= d) {
                a[s2][0] = a[s1][0] / ndu[pk + 1][rk];
                value = a[s2][0] * ndu[rk][pk];
            }
            const int j1 = rk >= -1 ? 1 : -rk;
            const int j2 = r - 1 <= pk ? d - 1 : p - r;
            for (int j = j1; j <= j2; ++j) {
                a[s2][j] = (a[s1][j] - a[s1][j - 1]) / ndu[pk + 1][rk + j];
                value += a[s2][j] * ndu[rk + j][pk];
            }
            if (r <= pk) {
                a[s2][d] = -a[s1][d - 1] / ndu[pk + 1][r];
                value += a[s2][d] * ndu[r][pk];
            }
            ders[static_cast<std::size_t>(d)][static_cast<std::size_t>(r)] = value;
            std::swap(s1, s2);
        }
    }
    ders[1] = {ders[1][0] * p, ders[1][1] * p, ders[1][2] * p, ders[1][3] * p};
    for (double& v : ders[2]) v *= p * (p - 1);
    return ders;
}

// The band system: row r holds its entries for columns r - 1 .. r + 2 (lower bandwidth 1, upper
// 2), which is all the collocation rows of a cubic at simple knots and the end rows need.
struct band_system {
    static constexpr int kWidth = 4;
    std::vector<std::array<double, kWidth>> rows;
    std::vector<std::array<double, kDimension>> right;
    double& at(int row, int column)
    {
        return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column - row + 1)];
    }
};

// Gaussian elimination down the band: the single entry below each pivot is removed with the
// pivot row (its entries stay within the band), then back substitution. False for a pivot that
// vanishes against its row.
bool solve_band(band_system& s, int n, double* control)
{
    for (int r = 0; r + 1 < n; ++r) {
        const double pivot = s.at(r, r);
        double largest = 0.0;
        for (double v : s.rows[static_cast<std::size_t>(r)]) largest = std::fmax(largest, std::fabs(v));
        if (!(std::fabs(pivot) > kSmallestPivot * largest)) return false;
        const double factor = s.at(r + 1, r) / pivot;
        if (factor == 0.0) continue;
        for (int c = r; c <= std::min(r + 2, n - 1); ++c) s.at(r + 1, c) -= factor * s.at(r, c);
        for (int k = 0; k < kDimension; ++k)
            s.right[static_cast<std::size_t>(r + 1)][static_cast<std::size_t>(k)] -=
                factor * s.right[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)];
    }
    for (int r = n - 1; r >= 0; --r) {
        const double pivot = s.at(r, r);
        if (!(std::fabs(pivot) > 0.0) || !std::isfinite(pivot)) return false;
        for (int k = 0; k < kDimension; ++k) {
            double value = s.right[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)];
            for (int c = r + 1; c <= std::min(r + 2, n - 1); ++c) value -= s.at(r, c) * control[kDimension * c + k];
            control[kDimension * r + k] = value / pivot;
            if (!std::isfinite(control[kDimension * r + k])) return false;
        }
    }
    return true;
}

// Puts the basis row of parameter t (span k, derivative d) into system row `row`.
void put_row(band_system& s, const std::vector<double>& u, int row, int k, double t, int d)
{
    const basis_table b = basis_derivatives(u, k, t);
    for (int j = 0; j < kOrder; ++j) {
        const int column = k - kDegree + j;
        const double value = b[static_cast<std::size_t>(d)][static_cast<std::size_t>(j)];
        if (column - row + 1 < 0 || column - row + 1 >= band_system::kWidth) continue;
        s.at(row, column) = value;
    }
}

}  // namespace

void cal_i_knt(int dimension, int order, int count, const double* points, double* knots, int& status)
{
    status = kFailed;
    if (supported(dimension, order, count, points) && knots) {
        std::vector<double> u(static_cast<std::size_t>(count), 0.0);
        bool sound = true;
        for (int i = 1; i < count && sound; ++i) {
            const double step = chord(points + kDimension * (i - 1), points + kDimension * i);
            sound = step > 0.0 && std::isfinite(step);
            u[static_cast<std::size_t>(i)] = u[static_cast<std::size_t>(i - 1)] + step;
        }
        if (sound) {
            int k = 0;
            for (int j = 0; j < kDegree; ++j) knots[k++] = u.front();
            for (double v : u) knots[k++] = v;
            for (int j = 0; j < kDegree; ++j) knots[k++] = u.back();
            status = 0;
        }
    }
    vantu::trace_call("cal_i_knt", std::to_string(count), status);
}

void calbsp(int dimension, int order, int count, const double* points, const double* knots, double* control,
            int& control_count, int& status)
{
    status = kFailed;
    if (const auto fault = vantu::fault_hit("calbsp")) {
        status = *fault;
    } else if (supported(dimension, order, count, points) && knots && control) {
        const int n = interpolation_control_count(count);
        const std::vector<double> u(knots, knots + interpolation_knot_count(count));
        bool sound = true;
        for (std::size_t i = 1; i < u.size() && sound; ++i) sound = std::isfinite(u[i]) && u[i] >= u[i - 1];
        for (int i = kDegree + 1; i < kDegree + count && sound; ++i)
            sound = u[static_cast<std::size_t>(i)] > u[static_cast<std::size_t>(i - 1)];
        if (sound) {
            band_system s;
            s.rows.assign(static_cast<std::size_t>(n), {});
            s.right.assign(static_cast<std::size_t>(n), {});
            const int last_span = kDegree + count - 2;
            // Row 0 and row n - 1: the curve starts and ends at the end points; rows 1 and n - 2:
            // no curvature there; rows 2 .. n - 3: it passes the inner points at their knots.
            put_row(s, u, 0, kDegree, u[kDegree], 0);
            put_row(s, u, 1, kDegree, u[kDegree], 2);
            for (int i = 1; i + 1 < count; ++i)
                put_row(s, u, i + 1, kDegree + i, u[static_cast<std::size_t>(kDegree + i)], 0);
            put_row(s, u, n - 2, last_span, u[static_cast<std::size_t>(last_span + 1)], 2);
            put_row(s, u, n - 1, last_span, u[static_cast<std::size_t>(last_span + 1)], 0);
            for (int k = 0; k < kDimension; ++k) {
                s.right[0][static_cast<std::size_t>(k)] = points[k];
                for (int i = 1; i + 1 < count; ++i)
                    s.right[static_cast<std::size_t>(i + 1)][static_cast<std::size_t>(k)] = points[kDimension * i + k];
                s.right[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k)] =
                    points[kDimension * (count - 1) + k];
            }
            if (solve_band(s, n, control)) {
                control_count = n;
                status = 0;
            }
        }
    }
    vantu::trace_call("calbsp", std::to_string(count), status);
}

void lsq_nrb_2tols(int order, int count, const double* points, const double* normals, double tolerance1,
                   double tolerance2, double /*lane_tolerance*/, int room, double* result, int& result_count,
                   int& status)
{
    result_count = 0;
    status = kFailed;
    const bool sound = order >= 2 && count >= 2 && points != nullptr && normals != nullptr && result != nullptr &&
                       tolerance1 > 0.0 && tolerance2 > 0.0;
    if (auto fault = vantu::fault_hit("lsq_nrb_2tols")) {
        status = *fault;
    } else if (sound) {
        std::vector<double> fitted(points, points + 3L * count), fitted_normals(normals, normals + 3L * count);
        int kept = count;
        int thinned = 0;
        dladstd(kDimension, std::min(tolerance1, tolerance2), 0, 0.0, fitted.data(), kept, fitted_normals.data(),
                3 * sizeof(double), thinned);
        if (thinned == 0 && kept <= room) {
            for (int i = 0; i < kept; ++i) {
                std::copy_n(&fitted[3L * i], 3, result + 6L * i);
                std::copy_n(&fitted_normals[3L * i], 3, result + 6L * i + 3);
            }
            result_count = kept;
            status = 0;
        }
    }
    vantu::trace_call("lsq_nrb_2tols", std::to_string(count) + " -> " + std::to_string(result_count), status);
}

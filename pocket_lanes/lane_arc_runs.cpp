// The circle of a run of points and its check (the steps of the arc fitting), the sweep of an
// arc, and the split of wide arcs into equal parts.
#include "pocket_lanes/lane_string_fit.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kAdaptivePass = 1, kBandPass = 2;
constexpr double kShapeError = 10.0;
constexpr double kSmallestSweep = 2.0 * std::numbers::pi / 180.0;
constexpr double kQuarterTurn = std::numbers::pi / 2.0;
constexpr double kFlatSagitta = 2.0;
constexpr double kChordLimit = 1.5;
constexpr double kUnevenRatio = 25.0;
constexpr double kFactorSix = 0.8, kFactorStep = 0.05, kFactorMost = 0.9;
constexpr double kSplitParts = 0.32170566823740776;
constexpr int kRecordEntries = 5;  // start, marker, radius and sense, centre, end

double sq(double v) { return v * v; }
const double* at(const double* run, int i) { return run + 2 * i; }

// The adaptive centre factor of pass 1.
void adapt_factor(int n, int previous, double last_error, double tolerance)
{
    double& f = lane_fit_state().centre_factor;
    if (n == kFitShortestString) {
        f = kFactorSix;
    } else if (previous == 1 && last_error > tolerance) {
        if (f > 0.0) f -= kFactorStep;
    } else if ((previous == 1 && last_error < tolerance) || previous == 2) {
        if (f < kFactorMost) f += kFactorStep;
    }
}

// Crossing of the perpendicular bisectors of a..b and c..d; false when their determinant is at
// most the limit.
bool bisector_crossing(const double* a, const double* b, const double* c, const double* d, double limit, double* x)
{
    const double u[2] = {b[0] - a[0], b[1] - a[1]}, v[2] = {d[0] - c[0], d[1] - c[1]};
    const double det = u[0] * v[1] - u[1] * v[0];
    if (std::fabs(det) <= limit) return false;
    const double ru = (u[0] * (a[0] + b[0]) + u[1] * (a[1] + b[1])) / 2.0;
    const double rv = (v[0] * (c[0] + d[0]) + v[1] * (c[1] + d[1])) / 2.0;
    x[0] = (ru * v[1] - rv * u[1]) / det;
    x[1] = (u[0] * rv - v[0] * ru) / det;
    return true;
}

// Whether one distance from the centre passes the tests with the error limit.
bool within(double d, double r, double t, double limit, double f2, int pass, double& error, int& verdict)
{
    error = std::fabs(d - r);
    const bool out =
        error > limit || (pass == kAdaptivePass && d > r + f2 * t) || (pass == kBandPass && d < r - f2 * t);
    if (out) verdict = d > t + r ? 2 : 1;
    return !out;
}

// Rotates (x, y) by the angle.
void rotate(double angle, double& x, double& y)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double nx = x * c - y * s, ny = x * s + y * c;
    x = nx;
    y = ny;
}

}  // namespace

void arc_run_circle(int n, const double* run, double tolerance, double last_error, double* centre, double& radius,
                    int& sense, int pass, int& verdict)
{
    const int previous = verdict;
    if (pass == kAdaptivePass) adapt_factor(n, previous, last_error, tolerance);
    verdict = -1;
    sense = 0;
    radius = 0.0;
    if (n < 3) return;
    const double* p1 = at(run, 0);
    const double* pn = at(run, n - 1);
    if (std::fabs(p1[0] - pn[0]) <= tolerance && std::fabs(p1[1] - pn[1]) <= tolerance) return;
    const double limit = tolerance * tolerance * tolerance;
    double sum[2] = {0.0, 0.0};
    int used = 0;
    for (int j = n / 5 + 1; j <= 9 * n / 10 - 2; ++j) {
        if (j < 2 || j > n - 1) continue;
        const double* pj = at(run, j - 1);
        double x[2];
        if (bisector_crossing(p1, pn, p1, pj, limit, x)) {
            sum[0] += x[0];
            sum[1] += x[1];
            ++used;
        }
        if (bisector_crossing(p1, pn, pj, pn, limit, x)) {
            sum[0] += x[0];
            sum[1] += x[1];
            ++used;
        }
    }
    if (used == 0) return;
    // The mean crossing taken onto the bisector of the chord (it lies there for exact points).
    const double mid[2] = {(p1[0] + pn[0]) / 2.0, (p1[1] + pn[1]) / 2.0};
    const double chord = std::hypot(pn[0] - p1[0], pn[1] - p1[1]);
    const double b[2] = {-(pn[1] - p1[1]) / chord, (pn[0] - p1[0]) / chord};
    double along = (sum[0] / used - mid[0]) * b[0] + (sum[1] / used - mid[1]) * b[1];
    if (pass == kAdaptivePass) {
        // Away from the run's middle point, so that the radius grows.
        const double* pm = at(run, n / 2);
        const double side = (pm[0] - mid[0]) * b[0] + (pm[1] - mid[1]) * b[1] > 0.0 ? -1.0 : 1.0;
        along += lane_fit_state().centre_factor * side * tolerance;
    }
    centre[0] = mid[0] + along * b[0];
    centre[1] = mid[1] + along * b[1];
    radius = std::hypot(p1[0] - centre[0], p1[1] - centre[1]);
    int turning = 0;
    double largest = 0.0, total = 0.0;
    for (int i = 0; i + 1 < n; ++i) {
        turning += triccw(centre, at(run, i), at(run, i + 1));
        const double d2 = sq(at(run, i + 1)[0] - at(run, i)[0]) + sq(at(run, i + 1)[1] - at(run, i)[1]);
        largest = std::max(largest, d2);
        total += d2;
    }
    if (turning == 0 || radius > kFitLargestRadius) return;
    if ((n - 1) * largest >= kUnevenRatio * total) return;
    sense = turning > 0 ? 1 : -1;
    verdict = 0;
}

void arc_run_check(int mode, double tolerance, int n, const double* run, const double* centre, double radius, int sense,
                   int& verdict, double& error, int pass, int& status)
{
    static_cast<void>(mode);
    status = 0;
    verdict = 1;
    const double t = tolerance, r = radius;
    const double f1 = pass == kBandPass ? 1.2 : 1.0, f2 = pass == kBandPass ? 0.1 : 0.6;
    error = kShapeError * t;
    double sweep = 0.0;
    int st = 0;
    arc_sweep_angle(centre, at(run, 0), at(run, n - 1), sense, sweep, st);
    if (st != 0 || r < kShapeError * t || sweep * r < kShapeError * t || sweep > 2.0 * std::numbers::pi ||
        sweep < kSmallestSweep || ((1.0 - std::cos(sweep / 2.0)) * r < kFlatSagitta * t && sweep < kQuarterTurn))
        return;
    int turning = 0;
    for (int i = 0; i < n; ++i) {
        double own = 0.0;
        arc_sweep_angle(centre, at(run, 0), at(run, i), sense, own, st);
        if (own > sweep) {
            error = kShapeError * t;
            return;
        }
        const double d = std::hypot(at(run, i)[0] - centre[0], at(run, i)[1] - centre[1]);
        if (!within(d, r, t, f1 * t, f2, pass, error, verdict)) return;
        if (n > 3 && i + 1 < n) {
            const int side = triccw(at(run, i), at(run, i + 1), centre);
            if (turning == 0) turning = side;
            if (side != turning) {
                verdict = 1;
                error = kShapeError * t;
                return;
            }
        }
    }
    for (int i = 0; i + 1 < n; ++i) {
        const double mx = (at(run, i)[0] + at(run, i + 1)[0]) / 2.0, my = (at(run, i)[1] + at(run, i + 1)[1]) / 2.0;
        const double d = std::hypot(mx - centre[0], my - centre[1]);
        error = std::fabs(d - r);
        if (error > kChordLimit * f1 * t) {
            verdict = d > t + r ? 2 : 1;
            return;
        }
    }
    verdict = 0;
}

void arc_sweep_angle(const double* centre, const double* first, const double* second, int sense, double& angle,
                     int& status)
{
    status = 0;
    angle = 0.0;
    double a[2], b[2], la = 0.0, lb = 0.0;
    int sa = 0, sb = 0;
    v2subd(first, centre, a);
    v2subd(second, centre, b);
    v2untd(a, la, sa);
    v2untd(b, lb, sb);
    if (sa < 0 || sb < 0 || eqptd(2, first, second) != 0) return;
    int st = 0;
    arcosd(v2dotd(a, b), angle, st);
    if (st != 0) {
        status = -1;
        angle = 0.0;
        return;
    }
    const int turn = triccw(centre, first, second);
    if (turn != 0 && turn != (sense < 0 ? -1 : 1)) angle = 2.0 * std::numbers::pi - angle;
}

void arc_split(double sweep, const double* arc, int parts, double* out, int& status)
{
    status = 0;
    if (sweep < kSplitSweep || parts < 2) {
        status = -1;
        return;
    }
    const double* start = arc;
    const double radius = arc[4], sense = arc[5];
    const double c[2] = {arc[6], arc[7]}, e[2] = {arc[8], arc[9]};
    const double step = (sense < 0.0 ? -sweep : sweep) / parts;
    double v[2] = {start[0] - c[0], start[1] - c[1]};
    for (int k = 1; k <= parts; ++k) {
        double* record = out + 8 * (k - 1);
        rotate(step, v[0], v[1]);
        record[0] = kArcMarker;
        record[1] = 0.0;
        record[2] = radius;
        record[3] = sense;
        record[4] = c[0];
        record[5] = c[1];
        record[6] = k == parts ? e[0] : c[0] + v[0];
        record[7] = k == parts ? e[1] : c[1] + v[1];
    }
}

void split_wide_arcs(double* points, int string_count, int* counts, int capacity, int& status)
{
    status = 0;
    int total = 0;
    for (int k = 0; k < string_count; ++k) total += std::max(counts[k], 0);
    int offset = 0;
    for (int k = 0; k < string_count; ++k) {
        for (int i = offset + 1; i + kArcRecordEntries - 1 < offset + counts[k]; ++i) {
            double* p = points + 2 * i;
            if (!pk_is_marker(p[0])) continue;
            const double* start = p - 2;
            double sweep = 0.0;
            int st = 0;
            arc_sweep_angle(p + 4, start, p + 6, pk_arc_direction(p[3]), sweep, st);
            if (st != 0 || sweep < kSplitSweep) {
                i += kArcRecordEntries - 2;
                continue;
            }
            const int parts = static_cast<int>(sweep * kSplitParts + 1.0);
            const int more = kArcRecordEntries;
            const int added = more * (parts - 1);
            if (total + added > capacity) {
                status = kFitNoRoom;
                i += kArcRecordEntries - 2;
                continue;
            }
            double record[2 * kRecordEntries];
            std::copy(start, start + 2 * kRecordEntries, record);
            std::copy_backward(points + 2 * (i + more), points + 2 * total, points + 2 * (total + added));
            int split = 0;
            arc_split(sweep, record, parts, p, split);
            total += added;
            counts[k] += added;
            i += more * parts - 1;
        }
        offset += std::max(counts[k], 0);
    }
}

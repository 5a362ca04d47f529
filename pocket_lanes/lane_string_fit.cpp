// Arc fitting of point strings: runs grown point by point from each start, a circle estimated
// from the crossings of perpendicular bisectors and checked against every point and chord; the
// longest run that fits becomes an arc record. Then the wide arcs are split.
#include "pocket_lanes/lane_string_fit.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <algorithm>

namespace {

constexpr int kLastPass = 2, kCheckMode = 2;
// A run from s to e + kRunExtra holds at least kFitShortestString points.
constexpr int kRunExtra = kFitShortestString - 1;
// Growth limits of a run: points beyond the last accepted arc, the length and distance from
// which an unfitting start is given up, the error beyond which it is given up after an arc, the
// span of an accepted arc that keeps a run growing, and the near error and distance that do.
constexpr int kLongestGap = 60;
constexpr int kGiveUpRun = 15, kGiveUpGap = 10;
constexpr double kGiveUpError = 5.0;
constexpr int kLongArcPoints = 20;
constexpr double kNearError = 2.0;
constexpr int kNearGap = 6;
constexpr int kGrowthSlack = 20;

// ---- work arrays -----------------------------------------------------------------------------

// Opens the three arrays with `needed` entries, or grows them when their capacity is not above
// it. Status 0 or the host's failure.
void work_reserve(int needed, int& status)
{
    status = 0;
    lane_fit_work& w = lane_fit_state();
    void* base = nullptr;
    if (w.fitted < 0) {
        const int n = std::max(needed, 1);
        MM_OPEN_ARRAY(2 * static_cast<int>(sizeof(double)), n, w.fitted, base, status);
        if (status == 0) MM_OPEN_ARRAY(static_cast<int>(sizeof(double)), n, w.xs, base, status);
        if (status == 0) MM_OPEN_ARRAY(static_cast<int>(sizeof(double)), n, w.ys, base, status);
        if (status != 0) {
            int closed = 0;
            lane_string_fit_release(closed);
            return;
        }
        w.capacity = n;
        return;
    }
    if (w.capacity > needed) return;
    const int add = needed - w.capacity + kGrowthSlack;
    for (int handle : {w.fitted, w.xs, w.ys}) {
        MM_RESIZE_ARRAY(handle, add, base, status);
        if (status != 0) return;
    }
    w.capacity += add;
}

// ---- one run ---------------------------------------------------------------------------------

struct fitted_arc {
    bool accepted = false;
    int e = 0;     // the run variable when it was accepted
    int last = 0;  // index of its end point
    double centre[2] = {0.0, 0.0};
    double radius = 0.0;
    int sense = 0;
};

bool is_marker_at(const double* p, int i) { return pk_is_marker(p[2 * i]); }

// Estimates and checks the run of n points; verdict as arc_run_check, -1 when no circle exists.
int try_run(double tolerance, const double* run, int n, int pass, int previous, double& error, fitted_arc& arc)
{
    int verdict = previous;
    arc_run_circle(n, run, tolerance, error, arc.centre, arc.radius, arc.sense, pass, verdict);
    if (verdict < 0) return -1;
    int status = 0;
    arc_run_check(kCheckMode, tolerance, n, run, arc.centre, arc.radius, arc.sense, verdict, error, pass, status);
    return verdict;
}

// Grows runs from point s of the string (n entries) and answers the arc accepted, if any.
fitted_arc grow_run(double tolerance, const double* p, int n, int s, int pass)
{
    fitted_arc best;
    int previous_sense = 0, verdict = 0;
    double error = 0.0;
    bool last_fit = true;
    for (int e = s;; ++e) {
        const int last = e + kRunExtra;
        if (last > n - 1) break;
        if (best.accepted && e - best.e > kLongestGap) break;
        bool marker = false;
        for (int i = e == s ? s : last; i <= last && !marker; ++i) marker = is_marker_at(p, i);
        if (marker) break;
        const int length = last - s + 1;
        const int base = best.accepted ? best.e : 0;
        if (!last_fit && length >= kGiveUpRun && e - base >= kGiveUpGap &&
            (!best.accepted || error > kGiveUpError * tolerance))
            break;
        fitted_arc candidate;
        verdict = try_run(tolerance, p + 2 * s, length, pass, verdict, error, candidate);
        if (verdict < 0 || (previous_sense != 0 && candidate.sense != previous_sense)) break;
        previous_sense = candidate.sense;
        if (verdict == 0) {
            candidate.accepted = true;
            candidate.e = e;
            candidate.last = last;
            best = candidate;
            last_fit = true;
            continue;
        }
        last_fit = false;
        if (!best.accepted) continue;
        const bool long_arc = best.last - s + 1 >= kLongArcPoints;
        if (long_arc || (error <= kNearError * tolerance && e - best.e <= kNearGap)) continue;
        // The run without its first point: when that fits, the start is given up.
        fitted_arc shorter;
        double shorter_error = error;
        if (try_run(tolerance, p + 2 * (s + 1), length - 1, pass, verdict, shorter_error, shorter) == 0)
            best.accepted = false;
        break;
    }
    return best;
}

// ---- one string ------------------------------------------------------------------------------

// Rewrites the string of n entries into `out`, answering the new count.
int fit_string(double tolerance, const double* p, int n, double* out, int pass)
{
    int m = 0;
    auto put = [&](double x, double y) {
        out[2 * m] = x;
        out[2 * m + 1] = y;
        ++m;
    };
    put(p[0], p[1]);
    for (int i = 0; i < n - 1;) {
        if (is_marker_at(p, i + 1)) {
            const int end = std::min(i + kArcRecordEntries, n - 1);
            for (int k = i + 1; k <= end; ++k) put(p[2 * k], p[2 * k + 1]);
            i = end;
            continue;
        }
        const fitted_arc arc = grow_run(tolerance, p, n, i, pass);
        if (!arc.accepted) {
            put(p[2 * (i + 1)], p[2 * (i + 1) + 1]);
            ++i;
            continue;
        }
        put(kArcMarker, 0.0);
        put(arc.radius, static_cast<double>(arc.sense));
        put(arc.centre[0], arc.centre[1]);
        put(p[2 * arc.last], p[2 * arc.last + 1]);
        i = arc.last;
    }
    return m;
}

// Fits string k (at `offset` entries) in place when the fitted form does not cross itself;
// answers whether it was thrown back, shifting the later strings down when it shrank.
bool fit_in_place(double tolerance, double* points, int total, int offset, int& count, int pass, int& status)
{
    lane_fit_work& w = lane_fit_state();
    double* out = static_cast<double*>(mmcptr(w.fitted));
    double* xs = static_cast<double*>(mmcptr(w.xs));
    double* ys = static_cast<double*>(mmcptr(w.ys));
    if (out == nullptr || xs == nullptr || ys == nullptr) {
        status = -1;
        return false;
    }
    const int m = fit_string(tolerance, points + 2 * offset, count, out, pass);
    for (int i = 0; i < m; ++i) {
        xs[i] = out[2 * i];
        ys[i] = out[2 * i + 1];
    }
    int crossing = 0;
    xy_self_intersect(xs, ys, m, crossing);
    if (crossing != 0) return true;
    std::copy(out, out + 2 * m, points + 2 * offset);
    std::copy(points + 2 * (offset + count), points + 2 * total, points + 2 * (offset + m));
    count = m;
    return false;
}

}  // namespace

lane_fit_work& lane_fit_state()
{
    static lane_fit_work work;
    return work;
}

void lane_string_fit_release(int& status)
{
    status = 0;
    lane_fit_work& w = lane_fit_state();
    for (int* handle : {&w.fitted, &w.xs, &w.ys}) {
        if (*handle < 0) continue;
        int closed = 0;
        MM_CLOSE(*handle, closed);
        if (closed != 0) status = closed;
        *handle = -1;
    }
    w = lane_fit_work{};
}

void lane_string_fit(double tolerance, double* points, int string_count, int* counts, int capacity, int first_pass,
                     int& flag, int& status)
{
    status = 0;
    int total = 0;
    for (int k = 0; k < string_count; ++k) total += std::max(counts[k], 0);
    if (points == nullptr || total > capacity) {
        status = -1;
        return;
    }
    work_reserve(total, status);
    if (status != 0) return;
    for (int pass = std::max(first_pass, 0); pass <= kLastPass; ++pass) {
        int offset = 0;
        for (int k = 0; k < string_count; ++k) {
            if (counts[k] >= kFitShortestString) {
                const bool thrown_back = fit_in_place(tolerance, points, total, offset, counts[k], pass, status);
                if (status != 0) return;
                if (flag != 0) flag = thrown_back ? 1 : 0;
                total = 0;
                for (int j = 0; j < string_count; ++j) total += std::max(counts[j], 0);
            }
            offset += std::max(counts[k], 0);
        }
    }
    split_wide_arcs(points, string_count, counts, capacity, status);
}

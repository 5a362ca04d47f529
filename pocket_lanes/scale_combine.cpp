// Scale and combine: a sample at the first point, and at the middle and the end of every element,
// each with the direction in which the offset moves it; thinned through the host with the
// directions carried along, filled in where two samples lie farther apart than R5, moved into
// the part's frame and handed to combcont.
#include "pocket_lanes/scale_combine.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/combcont.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The thinning never works finer than this.
constexpr double kThinFloor = 1.0;
constexpr double kSpacingFactor = 5.0;

struct samples {
    std::vector<double> points;      // x, y
    std::vector<double> directions;  // unit x, y
    void add(double x, double y, const double* d)
    {
        points.push_back(x), points.push_back(y);
        directions.push_back(d[0]), directions.push_back(d[1]);
    }
    int size() const { return static_cast<int>(points.size() / 2); }
};

// The direction of the sample at parameter t of element e, treated by the mode.
void sample_direction(int mode, const double* x, const double* y, int n, int e, double t, double* d, int& status)
{
    int closed = 0;
    lane_dir_at_point(x, y, n, 1, e, t, d, closed, status);
    if (status != 0) return;
    if (mode != kCombineReverse && mode != kCombineBisector) return;
    d[0] = -d[0], d[1] = -d[1];
    if (mode != kCombineBisector || t != 1.0) return;
    // At a vertex: the reversed directions before and after it, summed and made a unit vector.
    const chain_element el = chain_element_at(x, y, n, e);
    double in[2], out[2];
    lane_start_dir(x, y, n, el.next < n ? el.next : 1, in, out);
    double sum[2] = {-(in[0] + out[0]), -(in[1] + out[1])};
    double length = 0.0;
    v2untd(sum, length, status);
    if (status != 0) {
        status = 0;  // opposite directions: keep the reversed one
        return;
    }
    d[0] = sum[0], d[1] = sum[1];
}

// Steps 2 and 3: the first point and the middle and end of every element.
bool sample_loop(int mode, const double* x, const double* y, int n, samples& s, int& status)
{
    double d[2];
    sample_direction(mode, x, y, n, 1, 0.0, d, status);
    if (status != 0) return false;
    s.add(x[0], y[0], d);
    for (int e = 1; e < n;) {
        const chain_element el = chain_element_at(x, y, n, e);
        if (!el.valid) break;
        double mx = 0.0, my = 0.0;
        if (el.arc)
            arc_pnt_by_vector(el.r, el.dir, el.cx, el.cy, x[el.start], y[el.start], x[el.end], y[el.end], 0.5, mx, my);
        else
            seg_pnt_at_param(x[el.start], y[el.start], x[el.end], y[el.end], 0.5, mx, my);
        sample_direction(mode, x, y, n, e, 0.5, d, status);
        if (status != 0) return false;
        s.add(mx, my, d);
        sample_direction(mode, x, y, n, e, 1.0, d, status);
        if (status != 0) return false;
        s.add(x[el.end], y[el.end], d);
        e = el.next;
    }
    return true;
}

// Samples inserted every R5 along segments longer than R5, with the segment's direction
// turned a quarter towards the earlier sample's direction. False when the chain would pass the
// sample limit.
bool fill_in(const samples& thin, double spacing, samples& out)
{
    for (int i = 0; i < thin.size(); ++i) {
        if (i > 0) {
            const double* p = &thin.points[2 * static_cast<std::size_t>(i - 1)];
            const double* q = &thin.points[2 * static_cast<std::size_t>(i)];
            const double* dp = &thin.directions[2 * static_cast<std::size_t>(i - 1)];
            const double length = std::hypot(q[0] - p[0], q[1] - p[1]);
            if (length > spacing) {
                const double ux = (q[0] - p[0]) / length, uy = (q[1] - p[1]) / length;
                double turned[2] = {-uy, ux};
                if (turned[0] * dp[0] + turned[1] * dp[1] < 0.0) turned[0] = uy, turned[1] = -ux;
                for (double along = spacing; length - along > 0.0 && along < length; along += spacing) {
                    if (out.size() >= kCombineSamplesMax) return false;
                    out.add(p[0] + along * ux, p[1] + along * uy, turned);
                    if (!(length - along > spacing)) break;
                }
            }
        }
        if (out.size() >= kCombineSamplesMax) return false;
        out.add(thin.points[2 * static_cast<std::size_t>(i)], thin.points[2 * static_cast<std::size_t>(i) + 1],
                &thin.directions[2 * static_cast<std::size_t>(i)]);
    }
    return true;
}

}  // namespace

void scale_and_combine(int mode, double tolerance, double tool_radius, const double* x, const double* y, int n,
                       double r, double least, double largest, double hint, double& result, int& status)
{
    status = 0;
    const double thin_tolerance = std::max(kThinFloor, pocket_work_block.tolerance);
    const double spacing = kSpacingFactor * std::max(tool_radius, r);
    samples s;
    if (x == nullptr || y == nullptr || n < 2 || !sample_loop(mode, x, y, n, s, status)) {
        if (status == 0) status = kCombineFailed;
        return;
    }
    int count = s.size();
    dillad(2, thin_tolerance, s.points.data(), s.directions.data(), 2, count, status);
    if (status != 0) {
        status = kCombineFailed;
        return;
    }
    s.points.resize(2 * static_cast<std::size_t>(count));
    s.directions.resize(2 * static_cast<std::size_t>(count));
    samples filled;
    if (count > kCombineSamplesMax || !fill_in(s, spacing, filled)) {
        // A chain cut at the limit would not close: no combination.
        status = kCombineFailed;
        return;
    }
    const double* origin = pocket_frame_block.origin;
    for (int i = 0; i < filled.size(); ++i) {
        filled.points[2 * static_cast<std::size_t>(i)] += origin[0];
        filled.points[2 * static_cast<std::size_t>(i) + 1] += origin[1];
    }
    combcont(tolerance, filled.size(), filled.points.data(), filled.directions.data(), r, least, largest, hint, result,
             status);
    if (status == kCombcontMemory) status = kCombineFailed;
}

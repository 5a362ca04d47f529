// The helical entry's search for a free circle (see the header).
#include "pocket_lanes/entry/helix_entry.hpp"

#include "host/vantu.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket/dialog_items.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kUnbounded = 1.0e10;
constexpr double kNoCircle = 1.0e9;
constexpr double kFanStep = 0.2617993877991 / 5.0;
constexpr int kFanDirections = 11, kFanMiddle = 5;
constexpr int kRetreats = 4;
constexpr double kKeptShare = 0.9;
constexpr int kRegionBuffer = 5;
constexpr int kMessageGroup = 400, kNoHelixMessage = 60;
constexpr int kAddLine = 1, kShowWindow = 2, kWarningLine = 2;

// The radius at which the growing circle (centre (0, R), through the origin) first reaches the
// local point q; none for points on or below the x axis.
double touch_point(const double* q) { return q[1] > 0.0 ? (q[0] * q[0] + q[1] * q[1]) / (2.0 * q[1]) : kUnbounded; }

// The same for the edge a..b: its end points, or where the circle is tangent to its line inside
// the edge.
double touch_edge(const double* a, const double* b)
{
    double r = std::min(touch_point(a), touch_point(b));
    const double u[2] = {b[0] - a[0], b[1] - a[1]};
    const double len = std::hypot(u[0], u[1]);
    if (len <= 0.0) return r;
    const double n[2] = {-u[1] / len, u[0] / len};
    const double na = n[0] * a[0] + n[1] * a[1];
    for (const double side : {1.0, -1.0}) {
        const double denominator = n[1] - side;
        if (denominator == 0.0) continue;
        const double radius = na / denominator;
        if (radius <= 0.0) continue;
        // The tangency point: the centre moved onto the line along the normal.
        const double signed_distance = n[1] * radius - na;
        const double t[2] = {-signed_distance * n[0], radius - signed_distance * n[1]};
        const double along = ((t[0] - a[0]) * u[0] + (t[1] - a[1]) * u[1]) / (len * len);
        if (along >= 0.0 && along <= 1.0 && t[1] > 0.0) r = std::min(r, radius);
    }
    return r;
}

bool region_points(std::vector<double>& points, int& status)
{
    int current = 0;
    polbuf_select(1, current, status);
    if (status != 0) return false;
    int wanted = kRegionBuffer;
    polbuf_select(0, wanted, status);
    int polygons = 0;
    if (status == 0) polbuf_get_npol(polygons, status);
    for (int p = 1; status == 0 && p <= polygons; ++p) {
        int n = 0;
        polbuf_get_np(p, n, status);
        for (int i = 1; status == 0 && i <= n; ++i) {
            float x = 0.0f, y = 0.0f;
            polbuf_get_point(p, i, x, y, status);
            points.push_back(x);
            points.push_back(y);
        }
        // Each polygon closed by its first point again, so that inpold keeps them apart.
        if (status == 0 && n > 0) {
            points.push_back(points[points.size() - 2 * static_cast<std::size_t>(n)]);
            points.push_back(points[points.size() - 2 * static_cast<std::size_t>(n)]);
        }
    }
    const int failed = status;
    polbuf_select(0, current, status);
    if (failed != 0) status = failed;
    return status == 0;
}

}  // namespace

double helix_circle_test(const double* start, const double* direction, int sense, const double* points, int count)
{
    const double side[2] = {sense * direction[1], -sense * direction[0]};
    auto local = [&](int i, double* q) {
        const double v[2] = {points[2 * i] - start[0], points[2 * i + 1] - start[1]};
        q[0] = v[0] * direction[0] + v[1] * direction[1];
        q[1] = v[0] * side[0] + v[1] * side[1];
    };
    double best = kUnbounded;
    for (int i = 0; i + 1 < count; ++i) {
        double a[2], b[2];
        local(i, a);
        local(i + 1, b);
        best = std::min(best, touch_edge(a, b));
    }
    return best;
}

void helix_entry_calc(const double* start, const double* direction, double* centre, double* circle_start,
                      double& radius, int& sense, int& status)
{
    pocket_state& ps = pocket_state_block;
    status = kNoHelix;
    radius = 0.0;
    sense = -ps.direction_sign;
    const double diameter = 2.0 * pocket_work_block.tool_radius;
    const double least = std::max(0.5 * proc_geometry().curve_approx.max_ramp_width, 0.1 * diameter);
    const int code = nu_sgcd_get_code();
    const bool wire = code == 34 || code == 38;
    auto none = [&]() {
        if (!wire) return;
        std::string text;
        msg_get(kMessageGroup, kNoHelixMessage, text);
        msg_window_show(kAddLine, kWarningLine, static_cast<int>(text.size()), text);
        msg_window_show(kShowWindow, kWarningLine, 0, {});
    };
    if (ps.helix_radius < least) {
        none();
        return;
    }
    double d0[2] = {direction[0], direction[1]};
    if (d0[0] == 0.0 && d0[1] == 0.0) d0[1] = 1.0;
    const double l0 = std::hypot(d0[0], d0[1]);
    d0[0] /= l0;
    d0[1] /= l0;
    std::vector<double> points;
    int st = 0;
    if (!region_points(points, st)) {
        status = -1;
        return;
    }
    const int count = static_cast<int>(points.size() / 2);
    for (int j = 0; j < kRetreats; ++j) {
        for (int k = 0; k < kFanDirections; ++k) {
            const double a = (k - kFanMiddle) * kFanStep;
            const double d[2] = {d0[0] * std::cos(a) - d0[1] * std::sin(a), d0[0] * std::sin(a) + d0[1] * std::cos(a)};
            const double s[2] = {start[0] - j * least / kRetreats * d[0], start[1] - j * least / kRetreats * d[1]};
            const double free = helix_circle_test(s, d, sense, points.data(), count);
            if (free > kNoCircle) continue;
            double r = 0.0;
            if (free > ps.helix_radius)
                r = ps.helix_radius;
            else if (free >= least)
                r = kKeptShare * free + (1.0 - kKeptShare) * least;
            else
                continue;
            const double c[2] = {s[0] + sense * r * d[1], s[1] - sense * r * d[0]};
            int where = 0;
            inpold(0.0, points.data(), count, c, where);
            if (where != kInpolInside) continue;
            centre[0] = c[0];
            centre[1] = c[1];
            circle_start[0] = s[0];
            circle_start[1] = s[1];
            radius = r;
            status = kHelixFound;
            if (wire) ps.entry_shift = 0;
            return;
        }
    }
    none();
}

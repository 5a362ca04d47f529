// motion_collect: the run rules of the fit buffer. A point joins the run when the step to it is
// evenly spaced against the run's last span, not steep, smooth in direction and of the same id
// and feed; otherwise the run is flushed and the point starts the next one with the run's last
// point. Reads the current tool (PRM9 word 11: mill diameter and corner radius) and machine slot
// 1 (the feed mode in force).
#include "toolpath/motion_fit.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/mill_services.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kFailed = -1;
constexpr int kGrowthStep = 100;
// Smooth: the step turns by less than 50 degrees from the run's direction; the directions given
// with the points turn by less than 40 degrees from one point to the next.
constexpr double kSmoothCosine = 0.642788, kDirectionCosine = 0.766044;
// A step is much shorter or longer than a span when 3 times it lies below the other; a span is
// short against a step below a twentieth of it.
constexpr double kMuchShorter = 3.0, kShortShare = 20.0;
// A step rising more than its plan length (below 0.3 t in XY) is steep.
constexpr double kSteepShare = 0.3;

struct step_geometry {
    double xy = 0.0;      // lxy
    double length = 0.0;  // l
    point3d unit{};       // w
    double span = 0.0;    // lq
    point3d span_unit{};  // q
    bool span_found = false;
};

struct collect_input {
    int n;
    const point3* points;
    const point3* directions;
    const int* ids;
    double diameter;
    double corner_radius;
};

double* buffer_base() { return static_cast<double*>(mmcptr(fit_state().handle)); }
int buffered() { return fit_state().count / 3; }

point3d buffered_point(int i)
{
    const double* b = buffer_base() + 3 * i;
    return {b[0], b[1], b[2]};
}

double distance(const point3d& a, const point3d& b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

point3d to_double(const point3& p) { return {p[0], p[1], p[2]}; }

// Opens the array for n more points, or grows it so that they fit.
void make_room(int n, int& status)
{
    fit_buffer& f = fit_state();
    void* base = nullptr;
    if (f.handle == -1 || !mmcptr(f.handle)) {
        const int capacity = (3 * n / kGrowthStep + 1) * kGrowthStep;
        MM_OPEN_ARRAY(static_cast<int>(sizeof(double)), capacity, f.handle, base, status);
        if (status < 0) {
            eroutc("motion_collect, OPEN DYNAMIC MEMORY ERROR", 0);
            f.handle = -1;
            return;
        }
        f.capacity = capacity;
        f.count = 0;
        return;
    }
    if (f.count + 3 * n < f.capacity) return;
    const int growth = ((3 * n - f.capacity + f.count) / kGrowthStep + 1) * kGrowthStep;
    MM_RESIZE_ARRAY(f.handle, growth, base, status);
    if (status < 0) {
        eroutc("motion_collect, DYNAMIC MEMORY ERROR - CANNOT ALLOCATE", 0);
        return;
    }
    f.capacity += growth;
}

// Appends p as the run's newest point (a repeat of the last accepted point only after a flush).
void accept(const point3& p, const point3* direction, const int* id)
{
    fit_buffer& f = fit_state();
    if (f.restart == 0 && p == f.last_point) return;
    if (f.count + 3 > f.capacity) return;
    double* b = buffer_base() + f.count;
    b[0] = p[0];
    b[1] = p[1];
    b[2] = p[2];
    f.count += 3;
    f.last_point = p;
    f.restart = 0;
    if (id) f.last_id = *id;
    if (direction) f.last_direction = *direction;
}

// The step from the last buffered point to p, and the span back to the first buffered point at
// least t/2 away from the last one.
step_geometry measure(const point3& p)
{
    const fit_buffer& f = fit_state();
    const int nb = buffered();
    const point3d last = buffered_point(nb - 1), q = to_double(p);
    step_geometry g;
    g.xy = std::hypot(q[0] - last[0], q[1] - last[1]);
    g.length = distance(q, last);
    if (g.length > 0.0)
        g.unit = {(q[0] - last[0]) / g.length, (q[1] - last[1]) / g.length, (q[2] - last[2]) / g.length};
    const double half = f.tolerance / 2.0;
    point3d back = last;
    for (int j = nb - 2; j >= 0; --j) {
        back = buffered_point(j);
        g.span = distance(last, back);
        if (g.span >= half) {
            g.span_found = true;
            break;
        }
    }
    if (g.span > 0.0)
        g.span_unit = {(last[0] - back[0]) / g.span, (last[1] - back[1]) / g.span, (last[2] - back[2]) / g.span};
    return g;
}

int id_at(const collect_input& in, int k) { return k >= 0 ? in.ids[k] : fit_state().last_id; }

// The spacing rules: a step much shorter or much longer than the span breaks the run when the
// neighbouring steps say that the spacing really changes.
bool spacing_holds(const collect_input& in, int k, const step_geometry& g)
{
    const double l = g.length, lq = g.span;
    if (kMuchShorter * l < lq && k + 1 < in.n && (!in.ids || std::abs(in.ids[k]) == std::abs(id_at(in, k - 1)))) {
        const double next = distance(to_double(in.points[k + 1]), to_double(in.points[k]));
        if (kMuchShorter * next < lq || next == 0.0) {
            if (in.ids && (in.ids[k] < 0 || in.ids[k + 1] < 0)) return false;
            if (l < lq / kShortShare && next < lq / kShortShare) return false;
        }
    }
    if (kMuchShorter * lq < l) {
        const int nb = buffered();
        if (nb == 2) return !(lq < l / kShortShare);
        const double before = distance(buffered_point(nb - 2), buffered_point(nb - 3));
        if (kMuchShorter * before < l || before == 0.0) {
            if (in.ids && (id_at(in, k - 1) < 0 || id_at(in, k - 2) < 0)) return false;
            if (lq < l / kShortShare && before < l / kShortShare) return false;
        }
    }
    return true;
}

bool steep_holds(const collect_input& in, const step_geometry& g)
{
    const double t = fit_state().tolerance;
    if (g.xy < kSteepShare * t && g.length > in.corner_radius) return false;
    if (g.xy * kShortShare < g.length && g.length > in.diameter / 2.0) return false;
    return true;
}

double dot(const point3d& a, const point3d& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double dot(const point3& a, const point3& b) { return double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2]; }

bool smooth_holds(const collect_input& in, int k, const step_geometry& g)
{
    const fit_buffer& f = fit_state();
    const bool smooth = !g.span_found || dot(g.unit, g.span_unit) > kSmoothCosine || g.span < f.tolerance / 2.0;
    const bool reversal =
        buffered() == 2 && k >= 2 && in.directions && dot(in.directions[k - 1], in.directions[k - 2]) < 0.0;
    return smooth && !reversal;
}

// The rules that need no span: the directions given turn by less than 40 degrees, the ids are
// the same and so is the feed mode. They hold from the run's second point on.
bool same_kind(const collect_input& in, int k, int feed)
{
    const fit_buffer& f = fit_state();
    if (in.directions && f.restart == 0 && !(dot(f.last_direction, in.directions[k]) > kDirectionCosine)) return false;
    if (in.ids && std::abs(in.ids[k]) != std::abs(f.last_id)) return false;
    return feed == f.run_feed_mode;
}

// Takes point k into the run, flushing the run first when a rule breaks; a point with no step
// from the last one is skipped.
void take_point(const collect_input& in, int k, int& status)
{
    fit_buffer& f = fit_state();
    const point3& p = in.points[k];
    const point3* direction = in.directions ? &in.directions[k] : nullptr;
    const int* id = in.ids ? &in.ids[k] : nullptr;
    const int feed = mch_slots().slots[1].value;
    if (buffered() == 0) f.run_feed_mode = feed;
    f.feed_mode = feed;
    bool holds = true;
    if (buffered() >= 1) {
        const step_geometry g = buffered() >= 2 ? measure(p) : step_geometry{};
        if (buffered() >= 2 && g.length == 0.0) return;
        holds = same_kind(in, k, feed) &&
                (buffered() < 2 || (spacing_holds(in, k, g) && steep_holds(in, g) && smooth_holds(in, k, g)));
    }
    if (!holds) {
        const point3d last = buffered_point(buffered() - 1);
        motion_bspline_fit(status);
        if (status < 0) return;
        f.run_feed_mode = feed;
        // The next run starts at the end of the one written; p is taken into it.
        if (k > 0)
            accept({static_cast<float>(last[0]), static_cast<float>(last[1]), static_cast<float>(last[2])}, nullptr,
                   nullptr);
        f.restart = 1;
    }
    accept(p, direction, id);
}

}  // namespace

void motion_collect(int n, const point3* points, const point3* directions, const int* ids, int& status)
{
    status = 0;
    if (n <= 0 || !points) return;
    make_room(n, status);
    if (status < 0) return;
    collect_input in{n, points, directions, ids, 0.0, 0.0};
    float value = 0.0f;
    mill_service_table().tool_get_mill_diameter(PRM9().words[machine_params::kToolId], value);
    in.diameter = std::max(0.0f, value);
    mill_service_table().tool_get_corner_radius(PRM9().words[machine_params::kToolId], value);
    in.corner_radius = std::max(0.0f, value);
    for (int k = 0; k < n && status >= 0; ++k) take_point(in, k, status);
    if (status < 0) return;
    fit_buffer& f = fit_state();
    f.cached = points[n - 1];
    f.cached_valid = 1;
}

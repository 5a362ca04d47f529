// motion_bspline_fit: the flush of the fit buffer. A run of three or more points is fitted by an
// interpolating cubic B-spline through chosen fit points, refined where collected points stray
// from it and checked by sampling the run's segments; a run that will not fit is thinned and
// written as lines. Reads the fit buffer, the current tool (PRM9 word 11) and DSP8; keeps the
// down-feed state of the buffer.
#include "toolpath/motion_fit.hpp"

#include "host/vantu_fitting.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_temp_curves.hpp"
#include "host/vantu_vector.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDimension = 3, kOrder = 4;
constexpr int kTemporary = -1;
constexpr double kFitWeight = 2.0;
constexpr int kMostInsertions = 30;
// Fit points: all up to 4 points, four under 64, else every sixteenth.
constexpr std::size_t kAllPoints = 4, kFourPoints = 64, kEverySixteenth = 16;
// Samples of a segment: one below 3 t, else its length over min(10 t, d / 4), at least 4; a step
// of no length samples 4 times, and no segment more than kMostSamples times.
constexpr int kFewestSamples = 4, kMostSamples = 10000;
constexpr int kRefined = 1, kNotRefined = 0;
constexpr double kWholeCurve = 1.0e300;

// A fitted curve: its knots, control points (machine coordinates), the parameter of each fit
// point, and the temporary evaluator.
struct fitted_curve {
    std::vector<double> knots;
    std::vector<double> control;
    std::vector<double> parameters;
    int count = 0;
    int evaluator = 0;
    bool made = false;
};

void release(fitted_curve& c)
{
    if (c.made) evbfre(c.evaluator);
    c = fitted_curve{};
}

point3 to_float(const point3d& p)
{
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

point3d to_machine(const point3d& p)
{
    point3d m{};
    madw2m(p.data(), m.data());
    return m;
}

// One linear move of the flush, after the down-feed switch; nothing once a move has failed.
void line_move(const point3d& p, int& status)
{
    if (status < 0) return;
    const point3 target = to_float(p);
    down_feed_switch(1, target, DSP8().position(), 0, fit_state().down_feed_state, status);
    if (status >= 0) PLINE_entry(1, target, kDefaultDirection, status);
}

// Squared distance of a point (work coordinates) from the curve between fit points g and g + 1.
bool squared_distance(const fitted_curve& c, const point3d& p, std::size_t g, double& squared)
{
    const point3d m = to_machine(p);
    const double t0 = g < c.parameters.size() ? c.parameters[g] : c.knots.front();
    const double t1 = g + 1 < c.parameters.size() ? c.parameters[g + 1] : c.knots.back();
    point3d closest{};
    double parameter = 0.0, distance = 0.0;
    int status = 0;
    cptcrv2(c.evaluator, m.data(), t0, t1, closest.data(), parameter, distance, status);
    squared = distance * distance;
    return status == 0;
}

// Fits the fit points: interpolation, or the host's approximation when it fails; the control
// points in machine coordinates and an evaluator. False when no curve was made.
bool make_curve(const fit_points& fit, fitted_curve& c)
{
    const int n = static_cast<int>(fit.points.size());
    std::vector<double> points;
    for (const point3d& p : fit.points) points.insert(points.end(), p.begin(), p.end());
    c.knots.assign(static_cast<std::size_t>(interpolation_knot_count(n)), 0.0);
    c.control.assign(static_cast<std::size_t>(3 * interpolation_control_count(n)), 0.0);
    int status = 0;
    cal_i_knt(kDimension, kOrder, n, points.data(), c.knots.data(), status);
    if (status == 0) calbsp(kDimension, kOrder, n, points.data(), c.knots.data(), c.control.data(), c.count, status);
    if (status == 0) {
        c.parameters.assign(c.knots.begin() + kOrder - 1, c.knots.begin() + kOrder - 1 + n);
    } else {
        const std::vector<double> weights(static_cast<std::size_t>(n), kFitWeight);
        const int room = interpolation_control_count(n);
        int made = 0, approximated = 0;
        itrnrpt(kDimension, kOrder, n, points.data(), weights.data(), fit_state().tolerance / 10.0, room,
                c.knots.data(), c.control.data(), made, approximated);
        if (approximated == 0 || made <= 0) return false;
        c.count = std::min(made + 2, room);
        c.knots.resize(static_cast<std::size_t>(c.count + kOrder));
        c.parameters.clear();
    }
    c.control.resize(static_cast<std::size_t>(3 * c.count));
    for (int i = 0; i < c.count; ++i) {
        point3d m{};
        madw2m(&c.control[static_cast<std::size_t>(3 * i)], m.data());
        std::copy(m.begin(), m.end(), c.control.begin() + 3 * i);
    }
    const std::vector<float> knots(c.knots.begin(), c.knots.end()), control(c.control.begin(), c.control.end());
    evbcre_bsp(kTemporary, kDimension, kOrder, c.count, knots.data(), control.data(), c.evaluator, status);
    c.made = status == 0;
    return c.made;
}

// The number of samples of a segment of length L.
int sample_count(double length)
{
    const double t = fit_state().tolerance;
    if (length < 3.0 * t) return 1;
    float diameter = 0.0f;
    mill_service_table().tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    const double step = std::min(10.0 * t, std::max(0.0f, diameter) / 4.0);
    if (!(step > 0.0)) return kFewestSamples;
    return static_cast<int>(std::clamp(std::floor(length / step), double(kFewestSamples), double(kMostSamples)));
}

// The sampling check: the first sample of the run's segments that strays from the curve is
// inserted as a fit point between the fit points round its segment. False when all hold.
bool insert_straying_sample(const fitted_curve& c, const std::vector<point3d>& run, fit_points& fit)
{
    const fit_buffer& f = fit_state();
    std::size_t g = 0;
    for (std::size_t s = 0; s + 1 < run.size(); ++s) {
        while (g + 1 < fit.keys.size() && fit.keys[g + 1] <= static_cast<double>(s)) ++g;
        const point3d& a = run[s];
        const point3d& b = run[s + 1];
        const double length =
            std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) + (b[2] - a[2]) * (b[2] - a[2]));
        const int samples = sample_count(length);
        for (int j = 0; j < samples; ++j) {
            const double share = static_cast<double>(j) / samples;
            const point3d x{a[0] + share * (b[0] - a[0]), a[1] + share * (b[1] - a[1]), a[2] + share * (b[2] - a[2])};
            std::size_t at = g;
            while (at + 1 < fit.keys.size() && fit.keys[at + 1] <= s + share) ++at;
            double squared = 0.0;
            if (!squared_distance(c, x, at, squared)) return false;
            if (squared > (j > 0 ? f.sample_limit : f.refine_limit)) {
                fit.points.insert(fit.points.begin() + static_cast<std::ptrdiff_t>(at + 1), x);
                fit.keys.insert(fit.keys.begin() + static_cast<std::ptrdiff_t>(at + 1), s + share);
                return true;
            }
        }
    }
    return false;
}

// The fallback: the run thinned within t and written as lines.
void write_polyline(const std::vector<point3d>& run, int& status)
{
    std::vector<double> points;
    for (const point3d& p : run) points.insert(points.end(), p.begin(), p.end());
    int count = static_cast<int>(run.size()), thinned = 0;
    diluld(points.data(), count, fit_state().tolerance, thinned);
    if (thinned < 0) count = static_cast<int>(run.size());
    for (int i = 0; i < count && status >= 0; ++i)
        line_move({points[static_cast<std::size_t>(3 * i)], points[static_cast<std::size_t>(3 * i + 1)],
                   points[static_cast<std::size_t>(3 * i + 2)]},
                  status);
}

// The NURBS move, after a line to the run's first point when the tool stands elsewhere.
void write_curve(const fitted_curve& c, const point3d& first, int& status)
{
    const point3 start = to_float(first);
    const point3 here = DSP8().position();
    if (here != start) line_move(first, status);
    if (status < 0) return;
    nurbs_move_entry(1, kOrder, c.count, c.knots.data(), c.control.data(), status);
    if (status < 0) return;
    const double* last = c.control.data() + 3 * (c.count - 1);
    DSP8().set_vec(tool_position_state::kPosition, to_float({last[0], last[1], last[2]}));
}

// A run of three or more points.
void fit_run(const std::vector<point3d>& run, int& status)
{
    const fit_buffer& f = fit_state();
    fit_points fit;
    fit_points_pick(run, fit);
    bool refine = run.size() > kAllPoints;
    int insertions = 0;
    fitted_curve c;
    for (;;) {
        release(c);
        if (!make_curve(fit, c)) break;
        if (refine) {
            int refined = 0;
            fit_refine(c.evaluator, c.parameters, run, f.refine_limit, fit, refined);
            if (refined == kRefined) continue;
            refine = false;
            if (refined < 0) break;
        }
        if (insert_straying_sample(c, run, fit)) {
            if (++insertions >= kMostInsertions) break;
            continue;
        }
        write_curve(c, run.front(), status);
        release(c);
        return;
    }
    release(c);
    write_polyline(run, status);
}

}  // namespace

void fit_points_pick(const std::vector<point3d>& points, fit_points& fit)
{
    const std::size_t n = points.size();
    std::vector<std::size_t> chosen;
    if (n <= kAllPoints) {
        for (std::size_t i = 0; i < n; ++i) chosen.push_back(i);
    } else if (n < kFourPoints) {
        chosen = {0, n / 3, 2 * n / 3, n - 1};
    } else {
        for (std::size_t i = 0; i + 1 < n; i += kEverySixteenth) chosen.push_back(i);
        chosen.push_back(n - 1);
    }
    fit = fit_points{};
    for (std::size_t i : chosen) {
        fit.points.push_back(points[i]);
        fit.keys.push_back(static_cast<double>(i));
    }
}

void fit_refine(int curve, const std::vector<double>& parameters, const std::vector<point3d>& points, double limit,
                fit_points& fit, int& status)
{
    status = kNotRefined;
    fitted_curve c;
    c.evaluator = curve;
    c.parameters = parameters;
    // Without the fit points' parameters every gap is searched over the whole curve.
    c.knots = {-kWholeCurve, kWholeCurve};
    fit_points refined;
    for (std::size_t g = 0; g < fit.points.size(); ++g) {
        refined.points.push_back(fit.points[g]);
        refined.keys.push_back(fit.keys[g]);
        if (g + 1 == fit.points.size()) break;
        const std::size_t first = static_cast<std::size_t>(std::floor(fit.keys[g])) + 1;
        const double end = std::min(fit.keys[g + 1], static_cast<double>(points.size()));
        double worst = limit;
        std::size_t worst_at = 0;
        for (std::size_t i = first; static_cast<double>(i) < end; ++i) {
            double squared = 0.0;
            if (!squared_distance(c, points[i], g, squared)) {
                status = -1;
                return;
            }
            if (squared > worst) {
                worst = squared;
                worst_at = i;
            }
        }
        if (worst_at == 0) continue;
        refined.points.push_back(points[worst_at]);
        refined.keys.push_back(static_cast<double>(worst_at));
        status = kRefined;
    }
    if (status == kRefined) fit = std::move(refined);
}

void motion_bspline_fit(int& status)
{
    status = 0;
    fit_buffer& f = fit_state();
    f.restart = 1;
    if (f.count == 0) {
        f.last_id = 0;
        return;
    }
    f.cached_valid = 0;
    set_mch_change_mode(f.run_feed_mode);
    std::vector<point3d> run;
    const double* base = static_cast<const double*>(mmcptr(f.handle));
    for (int i = 0; base && i + 2 < f.count; i += 3) run.push_back({base[i], base[i + 1], base[i + 2]});
    if (run.size() == 1) {
        line_move(run[0], status);
    } else if (run.size() == 2) {
        const double apart =
            std::fabs(run[1][0] - run[0][0]) + std::fabs(run[1][1] - run[0][1]) + std::fabs(run[1][2] - run[0][2]);
        if (apart > f.tolerance / 2.0) line_move(run[0], status);
        line_move(run[1], status);
    } else if (run.size() > 2) {
        fit_run(run, status);
    }
    set_mch_change_mode(f.feed_mode);
    f.run_feed_mode = f.feed_mode;
    f.count = 0;
    f.last_id = 0;
}

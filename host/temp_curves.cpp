// Temporary spline curves (host/vantu_temp_curves.hpp), kept in the entity store while in use,
// with their decoded spline beside them for the closest-point search.
#include "host/vantu_temp_curves.hpp"

#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_entity.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kTemporary = -1, kThreeD = 3, kMostOrder = kSplineMaxDegree + 1;

// Samples of a parameter range before the search narrows down round the best one, and the
// Gauss-Newton steps that follow (each moves t by the point's offset along the tangent).
constexpr int kClosestSamples = 8, kClosestSteps = 20;

std::map<int, vantu::spline_data>& temporaries()
{
    static auto* curves = new std::map<int, vantu::spline_data>;
    return *curves;
}

void reset_temporaries() { temporaries().clear(); }

void report_temporaries(std::vector<std::string>& lines)
{
    for (const auto& [id, curve] : temporaries())
        lines.push_back("temporary curve " + std::to_string(id) + " was not freed");
}

// Distance of the curve point at t from `point`, with the curve's derivative there.
double distance_at(const vantu::spline_data& s, double t, const double* point, vantu::point3& at,
                   vantu::point3& derivative)
{
    vantu::spline_point(s, t, at, derivative);
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += (at[k] - point[k]) * (at[k] - point[k]);
    return std::sqrt(sum);
}

// Gauss-Newton from t within [a, b]: t moves by the offset's share along the tangent over the
// tangent's square, until the move vanishes; the best parameter seen is kept.
double narrow_down(const vantu::spline_data& s, const double* point, double a, double b, double t, double& best)
{
    vantu::point3 at, derivative;
    double best_t = t;
    for (int step = 0; step < kClosestSteps; ++step) {
        const double d = distance_at(s, t, point, at, derivative);
        if (d < best) {
            best = d;
            best_t = t;
        }
        double along = 0.0, speed2 = 0.0;
        for (int k = 0; k < 3; ++k) {
            along += (at[k] - point[k]) * derivative[k];
            speed2 += derivative[k] * derivative[k];
        }
        if (!(speed2 > 0.0)) break;
        const double next = std::clamp(t - along / speed2, a, b);
        if (std::fabs(next - t) <= 1.0e-12 * (b - a)) break;
        t = next;
    }
    return best_t;
}

const bool temp_curves_registered =
    vantu::register_component({"temp_curves", reset_temporaries, nullptr, nullptr, report_temporaries});

}  // namespace

void evbcre_bsp(int kind, int dimension, int order, int count, const float* knots, const float* points, int& id,
                int& status)
{
    status = -1;
    if (kind == kTemporary && dimension == kThreeD && order >= 2 && order <= kMostOrder && count >= order && knots &&
        points && vantu::store().next_id <= INT_MAX) {
        vantu::spline_data s;
        s.degree = order - 1;
        s.knots.assign(knots, knots + count + order);
        for (int i = 0; i < count; ++i) s.points.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
        if (!vantu::check_spline(s)) {
            vantu::entity e;
            e.id = static_cast<int>(vantu::store().next_id);
            e.entity_class = kCurveClass;
            e.type = kSplineType;
            vantu::write_spline(s, e.words);
            if (vantu::insert_entity(std::move(e))) {
                id = static_cast<int>(vantu::store().next_id) - 1;
                temporaries()[id] = std::move(s);
                status = 0;
            }
        }
    }
    vantu::trace_call("evbcre_bsp", std::to_string(order) + "," + std::to_string(count), status);
}

void evbfre(int id)
{
    if (temporaries().erase(id) != 0) vantu::store().entities.erase(id);
    vantu::trace_call("evbfre", std::to_string(id), 0);
}

void cptcrv2(int id, const double* point, double t0, double t1, double* closest, double& parameter, double& distance,
             int& status)
{
    status = -1;
    const auto found = temporaries().find(id);
    if (found != temporaries().end() && point && closest && std::isfinite(t0) && std::isfinite(t1)) {
        const vantu::spline_data& s = found->second;
        double start = 0.0, end = 0.0;
        vantu::spline_range(s, start, end);
        const double a = std::clamp(std::min(t0, t1), start, end), b = std::clamp(std::max(t0, t1), start, end);
        vantu::point3 at, derivative;
        double best_t = a, best = distance_at(s, a, point, at, derivative);
        const double step = (b - a) / kClosestSamples;
        for (int i = 1; i <= kClosestSamples && step > 0.0; ++i) {
            const double t = i == kClosestSamples ? b : a + i * step;
            const double d = distance_at(s, t, point, at, derivative);
            if (d < best) {
                best = d;
                best_t = t;
            }
        }
        if (step > 0.0)
            best_t = narrow_down(s, point, std::max(a, best_t - step), std::min(b, best_t + step), best_t, best);
        distance_at(s, best_t, point, at, derivative);
        for (int k = 0; k < 3; ++k) closest[k] = at[k];
        parameter = best_t;
        distance = best;
        status = 0;
    }
    vantu::trace_count("cptcrv2");
}

namespace {

// Inserts knot u once into the spline (Boehm): the curve stays the same, one control point more.
// u lies within the spline's range.
void insert_knot(vantu::spline_data& s, double u)
{
    const int p = s.degree, n = static_cast<int>(s.points.size());
    // The span [knots[k], knots[k + 1]) of positive length that holds u (the last one for its end).
    int k = p;
    while (k + 1 < n && s.knots[static_cast<std::size_t>(k + 1)] <= u) ++k;
    std::vector<vantu::point3> points(static_cast<std::size_t>(n + 1));
    for (int i = 0; i <= n; ++i) {
        if (i <= k - p) {
            points[static_cast<std::size_t>(i)] = s.points[static_cast<std::size_t>(i)];
        } else if (i > k) {
            points[static_cast<std::size_t>(i)] = s.points[static_cast<std::size_t>(i - 1)];
        } else {
            const double low = s.knots[static_cast<std::size_t>(i)], high = s.knots[static_cast<std::size_t>(i + p)];
            const double alpha = (u - low) / (high - low);
            for (int c = 0; c < 3; ++c)
                points[static_cast<std::size_t>(i)][c] = (1.0 - alpha) * s.points[static_cast<std::size_t>(i - 1)][c] +
                                                         alpha * s.points[static_cast<std::size_t>(i)][c];
        }
    }
    s.points = std::move(points);
    s.knots.insert(s.knots.begin() + k + 1, u);
}

// Inserts u until it is a knot order times, so that the curve parts there.
void part_at(vantu::spline_data& s, double u)
{
    const auto order = static_cast<long>(s.degree + 1);
    while (std::count(s.knots.begin(), s.knots.end(), u) < order) insert_knot(s, u);
}

}  // namespace

void evbcrv(int id, double t, int derivatives, double* values, int& status)
{
    status = -1;
    const auto found = temporaries().find(id);
    if (found != temporaries().end() && values && (derivatives == 0 || derivatives == 1) && std::isfinite(t)) {
        double start = 0.0, end = 0.0;
        vantu::spline_range(found->second, start, end);
        vantu::point3 at, derivative;
        vantu::spline_point(found->second, std::clamp(t, start, end), at, derivative);
        std::copy(at.begin(), at.end(), values);
        if (derivatives == 1) std::copy(derivative.begin(), derivative.end(), values + 3);
        status = 0;
    }
    vantu::trace_count("evbcrv");
}

void bcrtrme(int id, double t0, double t1, int room, int& order, int& count, double* knots, double* control,
             int& status)
{
    status = -1;
    const auto found = temporaries().find(id);
    if (found != temporaries().end() && std::isfinite(t0) && std::isfinite(t1)) {
        vantu::spline_data s = found->second;
        double start = 0.0, end = 0.0;
        vantu::spline_range(s, start, end);
        t0 = std::clamp(t0, start, end);
        t1 = std::clamp(t1, start, end);
        if (t0 < t1) {
            part_at(s, t0);
            part_at(s, t1);
            const auto first = std::find(s.knots.begin(), s.knots.end(), t0) - s.knots.begin();
            const auto last = std::find(s.knots.rbegin(), s.knots.rend(), t1).base() - s.knots.begin() - 1;
            order = s.degree + 1;
            count = static_cast<int>(last - first) - s.degree;
            status = count > room || !knots || !control ? -2 : 0;
            if (status == 0) {
                std::copy(s.knots.begin() + first, s.knots.begin() + last + 1, knots);
                for (int i = 0; i < count; ++i)
                    std::copy_n(s.points[static_cast<std::size_t>(first + i)].begin(), 3, control + 3 * i);
            }
        }
    }
    vantu::trace_call("bcrtrme", std::to_string(id), status);
}

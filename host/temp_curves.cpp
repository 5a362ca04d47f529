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

namespace {

constexpr int kTemporary = -1, kThreeD = 3, kMostOrder = kSplineMaxDegree + 1;

// Samples of a parameter range before the search narrows down round the best one, and the
// narrowing steps (each keeps 0.618 of the bracket).
constexpr int kClosestSamples = 16, kClosestSteps = 60;

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

double distance_at(const vantu::spline_data& s, double t, const double* point, vantu::point3& at)
{
    vantu::point3 derivative;
    vantu::spline_point(s, t, at, derivative);
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += (at[k] - point[k]) * (at[k] - point[k]);
    return std::sqrt(sum);
}

// Golden-section search of the distance in [a, b] round a sampled minimum.
double narrow_down(const vantu::spline_data& s, const double* point, double a, double b)
{
    constexpr double kGolden = 0.6180339887498949;
    vantu::point3 at;
    double x1 = b - kGolden * (b - a), x2 = a + kGolden * (b - a);
    double f1 = distance_at(s, x1, point, at), f2 = distance_at(s, x2, point, at);
    for (int step = 0; step < kClosestSteps && b - a > 0.0; ++step) {
        if (f1 <= f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - kGolden * (b - a);
            f1 = distance_at(s, x1, point, at);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + kGolden * (b - a);
            f2 = distance_at(s, x2, point, at);
        }
    }
    return f1 <= f2 ? x1 : x2;
}

const bool registered = vantu::register_component({"temp_curves", reset_temporaries, nullptr, nullptr, report_temporaries});

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

void cptcrv2(int id, const double* point, double t0, double t1, double* closest, double& parameter,
             double& distance, int& status)
{
    status = -1;
    const auto found = temporaries().find(id);
    if (found != temporaries().end() && point && closest && std::isfinite(t0) && std::isfinite(t1)) {
        const vantu::spline_data& s = found->second;
        double start = 0.0, end = 0.0;
        vantu::spline_range(s, start, end);
        const double a = std::clamp(std::min(t0, t1), start, end), b = std::clamp(std::max(t0, t1), start, end);
        vantu::point3 at;
        double best_t = a, best = distance_at(s, a, point, at);
        const double step = (b - a) / kClosestSamples;
        for (int i = 1; i <= kClosestSamples && step > 0.0; ++i) {
            const double t = i == kClosestSamples ? b : a + i * step;
            const double d = distance_at(s, t, point, at);
            if (d < best) {
                best = d;
                best_t = t;
            }
        }
        if (step > 0.0) {
            const double t = narrow_down(s, point, std::max(a, best_t - step), std::min(b, best_t + step));
            const double d = distance_at(s, t, point, at);
            if (d < best) {
                best = d;
                best_t = t;
            }
        }
        distance_at(s, best_t, point, at);
        for (int k = 0; k < 3; ++k) closest[k] = at[k];
        parameter = best_t;
        distance = best;
        status = 0;
    }
    vantu::trace_count("cptcrv2");
}

// Curve entities of the host: the point, line, arc and spline records in an entity's words,
// their parameters, evaluation (evcrvd, evcrv) and polyline approximation within a chordal
// tolerance (crvpld2). Arcs are computed once in a canonical frame: centre, unit normal,
// reference direction X (world X projected into the plane) and Y = normal x X. The spline
// geometry itself lives in host/entity_spline.cpp.
#include "host/vantu_entity.hpp"

#include "host/control/entities.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace vantu {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// An arc step never exceeds a quarter turn, so even a coarse tolerance keeps the arc's shape.
constexpr double kLargestArcStep = std::numbers::pi / 2.0;
// The arc step aims this fraction of the tolerance, so that the rounding of the evaluation never
// carries a chord past the tolerance itself.
constexpr double kChordMargin = 0.999;
// Drawing resolution of arcs in pictures: one chord per 2 degrees at most.
constexpr double kDisplayStepDegrees = 2.0;
// Most points a picture takes from one curve.
constexpr long kDisplayPointLimit = 100000;
// Drawing tolerance of a spline, as a fraction of the diagonal of its control points' box:
// about the sagitta of a 2-degree arc step on a circle of that size.
constexpr double kDisplaySplineFraction = 1.5e-4;

constexpr int kBadRequest = -1;

double dot(const point3& a, const point3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const point3& a) { return std::sqrt(dot(a, a)); }
point3 cross(const point3& a, const point3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
point3 scaled(const point3& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
point3 plus(const point3& a, const point3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
point3 minus(const point3& a, const point3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
bool finite(const point3& a) { return std::isfinite(a[0]) && std::isfinite(a[1]) && std::isfinite(a[2]); }

// The arc's plane: unit normal, reference direction and its perpendicular in the plane.
struct arc_frame {
    point3 x_axis;
    point3 y_axis;
};

// X is world X with its normal component removed; when the normal lies along X, world Y.
arc_frame frame_of(const curve_geometry& g)
{
    const point3 n = scaled(g.normal, 1.0 / norm(g.normal));
    point3 x = minus(point3{1.0, 0.0, 0.0}, scaled(n, n[0]));
    if (norm(x) <= kDoubleTolerance) x = minus(point3{0.0, 1.0, 0.0}, scaled(n, n[1]));
    x = scaled(x, 1.0 / norm(x));
    return {x, cross(n, x)};
}

// A point (or, without the origin, a direction) of a coordinate system in world coordinates.
point3 to_world(const frame3& f, const point3& p, bool is_point)
{
    point3 w = plus(plus(scaled(f.x, p[0]), scaled(f.y, p[1])), scaled(f.z, p[2]));
    return is_point ? plus(f.origin, w) : w;
}

void local_curve_point(const curve_geometry& g, double t, point3& point, point3& derivative);

// Point (and derivative) of a curve at a parameter inside its range, in world coordinates.
void curve_point(const curve_geometry& g, double t, point3& point, point3& derivative)
{
    local_curve_point(g, t, point, derivative);
    if (!g.placed) return;
    point = to_world(*g.placed, point, true);
    derivative = to_world(*g.placed, derivative, false);
}

// Point (and derivative) of a curve in the system its record is written in.
void local_curve_point(const curve_geometry& g, double t, point3& point, point3& derivative)
{
    switch (g.kind) {
    case curve_kind::point:
        point = g.start;
        derivative = {0.0, 0.0, 0.0};
        return;
    case curve_kind::line: {
        const point3 along = minus(g.end, g.start);
        const double length = norm(along);
        derivative = scaled(along, 1.0 / length);
        point = t == length ? g.end : plus(g.start, scaled(derivative, t));
        return;
    }
    case curve_kind::arc: {
        const arc_frame f = frame_of(g);
        const double c = std::cos(t), s = std::sin(t);
        point = plus(g.centre, scaled(plus(scaled(f.x_axis, c), scaled(f.y_axis, s)), g.radius));
        derivative = scaled(plus(scaled(f.x_axis, -s), scaled(f.y_axis, c)), g.radius);
        return;
    }
    case curve_kind::spline: spline_point(g.spline, t, point, derivative); return;
    }
}

// Brings a parameter within the host's tolerance of the range into it; false when it lies
// further out (or is not a number).
bool parameter_in_range(const curve_geometry& g, double& t)
{
    double start, end;
    curve_range(g, start, end);
    if (!(t >= start - kDoubleTolerance && t <= end + kDoubleTolerance)) return false;
    t = std::clamp(t, start, end);
    return true;
}

// Reads n doubles of a word run from a word offset.
void read_doubles(const std::vector<word>& words, int offset, int n, double* out)
{
    for (int i = 0; i < n; ++i) out[i] = words_to_double(&words[static_cast<std::size_t>(offset + 2 * i)]);
}

void write_doubles(const double* values, int n, std::vector<word>& words)
{
    for (int i = 0; i < n; ++i) {
        word pair[2];
        double_to_words(values[i], pair);
        words.push_back(pair[0]);
        words.push_back(pair[1]);
    }
}

bool within_model(double v) { return std::abs(v) <= kModelExtent; }
bool within_model(const point3& p) { return within_model(p[0]) && within_model(p[1]) && within_model(p[2]); }

bool valid_curve(const curve_geometry& g)
{
    switch (g.kind) {
    case curve_kind::point: return finite(g.start);
    case curve_kind::line: return finite(g.start) && finite(g.end) && norm(minus(g.end, g.start)) > kDoubleTolerance;
    case curve_kind::arc: {
        const double sweep = g.end_deg - g.start_deg;
        return finite(g.centre) && finite(g.normal) && norm(g.normal) > kDoubleTolerance && std::isfinite(g.radius) &&
               g.radius > kDoubleTolerance && std::isfinite(g.start_deg) && std::isfinite(g.end_deg) && sweep > 0.0 &&
               sweep <= 360.0;
    }
    case curve_kind::spline: return !check_spline(g.spline);
    }
    return false;
}

// Word count of a point, line or arc record.
int record_words(curve_kind kind)
{
    return kind == curve_kind::point ? kPointWords : kind == curve_kind::line ? kLineWords : kArcWords;
}

}  // namespace

const char* field_beyond_model(const curve_geometry& g)
{
    switch (g.kind) {
    case curve_kind::point: return within_model(g.start) ? nullptr : "point";
    case curve_kind::line: return !within_model(g.start) ? "start" : !within_model(g.end) ? "end" : nullptr;
    case curve_kind::arc: return !within_model(g.centre) ? "centre" : !within_model(g.radius) ? "radius" : nullptr;
    case curve_kind::spline: {
        const auto& points = g.spline.points;
        return std::all_of(points.begin(), points.end(), [](const point3& p) { return within_model(p); }) ? nullptr
                                                                                                          : "points";
    }
    }
    return nullptr;
}

std::optional<curve_geometry> decode_curve(const entity& e)
{
    curve_geometry g;
    if (e.entity_class == kPointClass && e.type == kPointType)
        g.kind = curve_kind::point;
    else if (e.entity_class == kCurveClass && e.type == kLineType)
        g.kind = curve_kind::line;
    else if (e.entity_class == kCurveClass && e.type == kArcType)
        g.kind = curve_kind::arc;
    else if (e.entity_class == kCurveClass && e.type == kSplineType)
        g.kind = curve_kind::spline;
    else
        return std::nullopt;
    std::size_t used = 0;
    if (g.kind == curve_kind::spline && !read_spline(e.words, g.spline, used)) return std::nullopt;
    if (g.kind != curve_kind::spline && e.words.size() < static_cast<std::size_t>(record_words(g.kind)))
        return std::nullopt;
    switch (g.kind) {
    case curve_kind::point: read_doubles(e.words, 0, 3, g.start.data()); break;
    case curve_kind::line:
        read_doubles(e.words, 0, 3, g.start.data());
        read_doubles(e.words, 6, 3, g.end.data());
        break;
    case curve_kind::arc: {
        read_doubles(e.words, 0, 3, g.centre.data());
        read_doubles(e.words, 6, 3, g.normal.data());
        double rest[3];
        read_doubles(e.words, 12, 3, rest);
        g.radius = rest[0];
        g.start_deg = rest[1];
        g.end_deg = rest[2];
        break;
    }
    case curve_kind::spline: break;
    }
    if (!valid_curve(g)) return std::nullopt;
    if (auto rp = e.attributes.find("RP"); rp != e.attributes.end() && rp->second > 0)
        g.placed = frame_of_entity(rp->second);
    return g;
}

// The inverse of out_of_frame: the axes a UCS keeps in single precision are square to each other
// only to about 1e-7, so the point is solved for rather than projected on them, and a curve placed
// in the frame comes back to its own coordinates.
point3 into_frame(const frame3& f, const point3& world)
{
    const point3 d = minus(world, f.origin);
    const double det = dot(f.x, cross(f.y, f.z));
    return {dot(d, cross(f.y, f.z)) / det, dot(f.x, cross(d, f.z)) / det, dot(f.x, cross(f.y, d)) / det};
}

point3 out_of_frame(const frame3& f, const point3& local) { return to_world(f, local, true); }

std::optional<frame3> frame_of_entity(int id)
{
    constexpr int kUcsClass = 8, kUcsType = 1, kUcsWords = 16;
    // Axes that are unit and square to each other within this are a rotation.
    constexpr double kAxisTolerance = 1.0e-4;
    const entity* e = find_entity(id);
    if (!e || e->entity_class != kUcsClass || e->type != kUcsType || e->words.size() < kUcsWords) return std::nullopt;
    auto real = [&](int k) { return static_cast<double>(word_to_real(e->words[static_cast<std::size_t>(k)])); };
    frame3 f;
    for (int k = 0; k < 3; ++k) {
        f.origin[k] = real(1 + k);
        f.x[k] = real(4 + k);
        f.y[k] = real(7 + k);
        f.z[k] = real(10 + k);
    }
    for (const point3* axis : {&f.x, &f.y, &f.z})
        if (!finite(*axis) || std::abs(norm(*axis) - 1.0) > kAxisTolerance) return std::nullopt;
    if (!finite(f.origin) || std::abs(dot(f.x, f.y)) > kAxisTolerance || std::abs(dot(f.y, f.z)) > kAxisTolerance ||
        std::abs(dot(f.x, f.z)) > kAxisTolerance)
        return std::nullopt;
    return f;
}

void encode_curve(const curve_geometry& g, entity& e)
{
    e.words.clear();
    switch (g.kind) {
    case curve_kind::point:
        e.entity_class = kPointClass;
        e.type = kPointType;
        write_doubles(g.start.data(), 3, e.words);
        break;
    case curve_kind::line:
        e.entity_class = kCurveClass;
        e.type = kLineType;
        write_doubles(g.start.data(), 3, e.words);
        write_doubles(g.end.data(), 3, e.words);
        break;
    case curve_kind::arc: {
        e.entity_class = kCurveClass;
        e.type = kArcType;
        const double rest[3] = {g.radius, g.start_deg, g.end_deg};
        write_doubles(g.centre.data(), 3, e.words);
        write_doubles(g.normal.data(), 3, e.words);
        write_doubles(rest, 3, e.words);
        break;
    }
    case curve_kind::spline:
        e.entity_class = kCurveClass;
        e.type = kSplineType;
        write_spline(g.spline, e.words);
        break;
    }
}

// Exact when writing the decoded record gives the same words back: nothing follows the record
// and no count or flag is held in an unusual form (-0 for 0, say).
bool is_exact_curve(const entity& e)
{
    const auto g = decode_curve(e);
    if (!g) return false;
    entity again;
    encode_curve(*g, again);
    return again.words == e.words;
}

void curve_range(const curve_geometry& g, double& start, double& end)
{
    switch (g.kind) {
    case curve_kind::point: start = end = 0.0; return;
    case curve_kind::line:
        start = 0.0;
        end = norm(minus(g.end, g.start));
        return;
    case curve_kind::arc:
        start = g.start_deg * kDegree;
        end = g.end_deg * kDegree;
        return;
    case curve_kind::spline: spline_range(g.spline, start, end); return;
    }
}

// Steps of an arc sweep so that each chord's sagitta 2 r sin^2(step / 4) stays within the
// tolerance; the sine form stays exact for tolerances far below the radius, where 1 - cos
// would cancel to zero.
static double arc_steps(const curve_geometry& g, double sweep, double tolerance)
{
    const double ratio = std::min(1.0, kChordMargin * tolerance / (2.0 * g.radius));
    const double largest_step = std::min(kLargestArcStep, 4.0 * std::asin(std::sqrt(ratio)));
    return largest_step > 0.0 ? std::max(1.0, std::ceil(std::abs(sweep) / largest_step)) : HUGE_VAL;
}

// Points of a spline at the parameters of its adaptive polyline; refused (kEntityShort) beyond
// the limit or beyond the most points a spline gives.
static std::vector<point3> sample_spline(const spline_data& s, double t0, double t1, double tolerance, long limit,
                                         long& needed, int& status)
{
    const std::vector<double> parameters = spline_parameters(s, t0, t1, tolerance, kSplineMostPoints);
    needed = static_cast<long>(parameters.size());
    if (needed > limit || needed > kSplineMostPoints) {
        status = kEntityShort;
        return {};
    }
    std::vector<point3> points(parameters.size());
    point3 derivative;
    for (std::size_t i = 0; i < parameters.size(); ++i) spline_point(s, parameters[i], points[i], derivative);
    return points;
}

std::vector<point3> sample_curve(const curve_geometry& g, double t0, double t1, double tolerance, long limit,
                                 long& needed, int& status)
{
    status = 0;
    needed = 0;
    if (!(tolerance > 0.0) || !parameter_in_range(g, t0) || !parameter_in_range(g, t1)) {
        status = kBadRequest;
        return {};
    }
    if (g.kind == curve_kind::spline) return sample_spline(g.spline, t0, t1, tolerance, limit, needed, status);
    double steps = 0.0;  // chords; 0 gives the single point of an empty range
    if (g.kind == curve_kind::line && t0 != t1) steps = 1.0;
    if (g.kind == curve_kind::arc && t0 != t1) steps = arc_steps(g, t1 - t0, tolerance);
    if (steps + 1.0 > static_cast<double>(limit)) {
        needed = steps + 1.0 >= 2.0e9 ? 2000000000L : static_cast<long>(steps) + 1;
        status = kEntityShort;
        return {};
    }
    const long chords = static_cast<long>(steps);
    std::vector<point3> points;
    points.reserve(static_cast<std::size_t>(chords + 1));
    point3 point, derivative;
    for (long i = 0; i <= chords; ++i) {
        const double t = i == chords ? t1 : t0 + (t1 - t0) * static_cast<double>(i) / static_cast<double>(chords);
        curve_point(g, t, point, derivative);
        points.push_back(point);
    }
    needed = chords + 1;
    return points;
}

// The curve geometry of an entity, with status -1 when it is missing or not a valid curve.
static std::optional<curve_geometry> curve_of(int id, int& status)
{
    status = 0;
    const entity* e = find_entity(id);
    auto g = e ? decode_curve(*e) : std::nullopt;
    if (!g) status = e ? kBadRequest : kEntityMissing;
    return g;
}

}  // namespace vantu

using namespace vantu;

void curve_limits(int id, double& start, double& end, int& status)
{
    if (auto g = curve_of(id, status)) curve_range(*g, start, end);
    trace_count("curve_limits");
}

void evcrvd(int id, double t, double* point, double* derivative, int& status)
{
    trace_count("evcrvd");
    if (auto fault = fault_hit("evcrvd")) {
        status = *fault;
        return;
    }
    auto g = curve_of(id, status);
    if (!g) return;
    if (!point || !parameter_in_range(*g, t)) {
        status = kBadRequest;
        return;
    }
    point3 p, d;
    curve_point(*g, t, p, d);
    std::copy(p.begin(), p.end(), point);
    if (derivative) std::copy(d.begin(), d.end(), derivative);
}

void evcrv(int id, float t, float* point, float* derivative, int& status)
{
    double p[3], d[3];
    evcrvd(id, t, point ? p : nullptr, d, status);
    if (status != 0) return;
    for (int i = 0; i < 3; ++i) {
        point[i] = static_cast<float>(p[i]);
        if (derivative) derivative[i] = static_cast<float>(d[i]);
    }
}

void crvpld2(int id, double t0, double t1, double tolerance, int dimension, int capacity, double* points, int& count,
             int& status)
{
    count = 0;
    if (auto fault = fault_hit("crvpld2")) {
        status = *fault;
    } else if (auto g = curve_of(id, status)) {
        if ((dimension != 2 && dimension != 3) || capacity < 0 || (capacity > 0 && !points)) {
            status = kBadRequest;
        } else {
            long needed = 0;
            const std::vector<point3> sampled = sample_curve(*g, t0, t1, tolerance, capacity, needed, status);
            count = static_cast<int>(needed);
            for (std::size_t i = 0; i < sampled.size(); ++i)
                for (int k = 0; k < dimension; ++k) points[i * static_cast<std::size_t>(dimension) + k] = sampled[i][k];
        }
    }
    trace_call("crvpld2", std::to_string(id) + " " + std::to_string(tolerance), status);
}

namespace vantu::control {

std::vector<point3> curve_display_points(int id)
{
    const entity* e = find_entity(id);
    const auto g = e ? decode_curve(*e) : std::nullopt;
    if (!g) return {};
    double start, end;
    curve_range(*g, start, end);
    // The sagitta of one display step, so that sample_curve takes steps of at most that angle.
    const double half_step = kDisplayStepDegrees * kDegree / 2.0;
    double tolerance = g->kind == curve_kind::arc ? g->radius * (1.0 - std::cos(half_step)) : 1.0;
    if (g->kind == curve_kind::spline) {
        point3 low = g->spline.points.front(), high = low;
        for (const point3& p : g->spline.points)
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], p[k]);
                high[k] = std::max(high[k], p[k]);
            }
        tolerance = kDisplaySplineFraction * norm(minus(high, low));
    }
    long needed = 0;
    int status = 0;
    return sample_curve(*g, start, end, tolerance, kDisplayPointLimit, needed, status);
}

}  // namespace vantu::control

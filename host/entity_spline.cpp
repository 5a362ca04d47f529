// Spline curve entities: the record in an entity's words, its checks, evaluation by de Boor's
// algorithm in homogeneous coordinates (so rational and non-rational splines share one path),
// and the parameters of a polyline within a chordal tolerance. host/entity_curves.cpp calls
// these for curves of kind spline, host/entity_part.cpp for the part file.
#include "host/control/entities.hpp"
#include "host/core/entity_store.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_entity.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vantu {

namespace {

// The deviation of a chord is sampled at three parameters; between them the deviation of a
// higher-degree piece can rise a little above the largest sample, so a chord aims at this
// fraction of the tolerance.
constexpr double kSampleMargin = 0.8;
// Parameters at which a chord's deviation is sampled, as fractions of the chord's range.
constexpr double kSampleFractions[] = {0.25, 0.5, 0.75};

// A point in homogeneous coordinates: x w, y w, z w, w.
using hpoint = std::array<double, 4>;

// Doubles of a spline record: header, knots, control points and the weights when rational.
std::size_t record_doubles(std::size_t degree, std::size_t count, bool rational)
{
    return kSplineHeaderWords / 2 + (count + degree + 1) + 3 * count + (rational ? count : 0);
}

bool whole_in_range(double value, double low, double high)
{
    return value >= low && value <= high && value == std::floor(value);
}

bool finite_point(const point3& p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

// Largest side of the box round the control points.
double control_extent(const spline_data& s)
{
    double extent = 0.0;
    for (int k = 0; k < 3; ++k) {
        const auto [low, high] = std::minmax_element(s.points.begin(), s.points.end(),
                                                     [k](const point3& a, const point3& b) { return a[k] < b[k]; });
        extent = std::max(extent, (*high)[k] - (*low)[k]);
    }
    return extent;
}

// Knot faults: count, finite values, order, a parameter range and the repetition of an inner
// knot (more than degree times would break the curve apart there).
std::optional<spline_fault> knot_fault(const spline_data& s)
{
    const std::size_t p = static_cast<std::size_t>(s.degree), n = s.points.size();
    if (s.knots.size() != n + p + 1)
        return spline_fault{"knots", "must hold " + std::to_string(n + p + 1) + " values (points + degree + 1)"};
    if (!std::all_of(s.knots.begin(), s.knots.end(), [](double u) { return std::isfinite(u); }))
        return spline_fault{"knots", "must be finite numbers"};
    if (!std::is_sorted(s.knots.begin(), s.knots.end())) return spline_fault{"knots", "must never decrease"};
    const double start = s.knots[p], end = s.knots[n];
    if (!(start < end))
        return spline_fault{"knots", "leave no parameter range (knot degree must lie below knot points)"};
    std::size_t run = 0;
    for (std::size_t i = p + 1; i < n; ++i) {
        run = s.knots[i] == s.knots[i - 1] ? run + 1 : 1;
        if (s.knots[i] > start && s.knots[i] < end && run > p)
            return spline_fault{"knots", "an inner knot is repeated more than degree times"};
    }
    return std::nullopt;
}

// Control point and weight faults.
std::optional<spline_fault> point_fault(const spline_data& s)
{
    if (!std::all_of(s.points.begin(), s.points.end(), finite_point))
        return spline_fault{"points", "must be finite numbers"};
    if (!(control_extent(s) > kDoubleTolerance)) return spline_fault{"points", "all lie at one place"};
    if (s.weights.empty()) return std::nullopt;
    if (s.weights.size() != s.points.size()) return spline_fault{"weights", "must hold one weight per point"};
    if (!std::all_of(s.weights.begin(), s.weights.end(), [](double w) { return std::isfinite(w) && w > 0.0; }))
        return spline_fault{"weights", "must be finite and above 0"};
    return std::nullopt;
}

// The knot interval [u(k), u(k+1)) that holds t, never an empty one: the largest k from degree
// to n - 1 with u(k) <= t and u(k) < u(k + 1); t = u(n) falls into the last non-empty interval.
std::size_t knot_span(const spline_data& s, double t)
{
    const std::size_t p = static_cast<std::size_t>(s.degree), n = s.points.size();
    const auto first = s.knots.begin() + static_cast<std::ptrdiff_t>(p + 1);
    const auto last = s.knots.begin() + static_cast<std::ptrdiff_t>(n);
    std::size_t k = static_cast<std::size_t>(std::upper_bound(first, last, t) - s.knots.begin()) - 1;
    while (k > p && !(s.knots[k] < s.knots[k + 1])) --k;
    return k;
}

hpoint blend(const hpoint& a, const hpoint& b, double alpha)
{
    hpoint r;
    for (int c = 0; c < 4; ++c) r[c] = (1.0 - alpha) * a[c] + alpha * b[c];
    return r;
}

// Deviation of a curve point from the matching point of the chord pa - pb at fraction f.
double deviation(const point3& point, const point3& pa, const point3& pb, double f)
{
    double sum = 0.0;
    for (int c = 0; c < 3; ++c) {
        const double d = point[c] - (pa[c] + f * (pb[c] - pa[c]));
        sum += d * d;
    }
    return std::sqrt(sum);
}

point3 curve_at(const spline_data& s, double t)
{
    point3 point, derivative;
    spline_point(s, t, point, derivative);
    return point;
}

// A chord of the polyline under test: its parameter range and end points.
struct chord {
    double a, b;
    point3 pa, pb;
};

// Whether the curve stays within the tolerance of the chord at every sampled fraction; the
// middle point is known already. A deviation that is not a number never holds.
bool chord_holds(const spline_data& s, const chord& c, const point3& middle, double tolerance)
{
    const double limit = kSampleMargin * tolerance;
    for (const double f : kSampleFractions) {
        const point3 point = f == 0.5 ? middle : curve_at(s, c.a + (c.b - c.a) * f);
        if (!(deviation(point, c.pa, c.pb, f) <= limit)) return false;
    }
    return true;
}

// Appends the end parameters of the chords that cover a..b within the tolerance, halving a
// chord until it holds or its middle can no longer be told apart from its ends in doubles.
void refine(const spline_data& s, double a, double b, double tolerance, std::size_t most,
            std::vector<double>& parameters)
{
    std::vector<chord> pending{{a, b, curve_at(s, a), curve_at(s, b)}};
    while (!pending.empty() && parameters.size() <= most) {
        const chord c = pending.back();
        pending.pop_back();
        const double middle = c.a + (c.b - c.a) / 2.0;
        if (!(middle > c.a && middle < c.b)) {
            parameters.push_back(c.b);
            continue;
        }
        const point3 pm = curve_at(s, middle);
        if (chord_holds(s, c, pm, tolerance)) {
            parameters.push_back(c.b);
            continue;
        }
        pending.push_back({middle, c.b, pm, c.pb});
        pending.push_back({c.a, middle, c.pa, pm});
    }
}

}  // namespace

std::optional<spline_fault> check_spline(const spline_data& s)
{
    if (s.degree < 1 || s.degree > kSplineMaxDegree)
        return spline_fault{"degree", "must be a whole number from 1 to " + std::to_string(kSplineMaxDegree)};
    const std::size_t p = static_cast<std::size_t>(s.degree), n = s.points.size();
    if (n < p + 1)
        return spline_fault{"points", "must hold at least degree + 1 = " + std::to_string(p + 1) + " points"};
    if (2 * record_doubles(p, n, !s.weights.empty()) > static_cast<std::size_t>(kMaxEntityWords))
        return spline_fault{"points", "too many for one entity of " + std::to_string(kMaxEntityWords) + " words"};
    if (auto fault = knot_fault(s)) return fault;
    return point_fault(s);
}

bool read_spline(const std::vector<word>& words, spline_data& s, std::size_t& used)
{
    if (words.size() < static_cast<std::size_t>(kSplineHeaderWords)) return false;
    const double degree = words_to_double(&words[0]);
    const double count = words_to_double(&words[2]);
    const double flag = words_to_double(&words[4]);
    if (!whole_in_range(degree, 1.0, kSplineMaxDegree) || !whole_in_range(count, degree + 1.0, kMaxEntityWords) ||
        (flag != 0.0 && flag != 1.0))
        return false;
    const std::size_t p = static_cast<std::size_t>(degree), n = static_cast<std::size_t>(count);
    const bool rational = flag == 1.0;
    used = 2 * record_doubles(p, n, rational);
    if (words.size() < used) return false;
    std::size_t at = kSplineHeaderWords;
    const auto next = [&]() {
        const double value = words_to_double(&words[at]);
        at += 2;
        return value;
    };
    s.degree = static_cast<int>(p);
    s.knots.resize(n + p + 1);
    for (double& u : s.knots) u = next();
    s.points.resize(n);
    for (point3& point : s.points)
        for (double& c : point) c = next();
    s.weights.assign(rational ? n : 0, 0.0);
    for (double& w : s.weights) w = next();
    return true;
}

void write_spline(const spline_data& s, std::vector<word>& words)
{
    const auto put = [&words](double value) {
        word pair[2];
        double_to_words(value, pair);
        words.push_back(pair[0]);
        words.push_back(pair[1]);
    };
    put(s.degree);
    put(static_cast<double>(s.points.size()));
    put(s.weights.empty() ? 0.0 : 1.0);
    for (const double u : s.knots) put(u);
    for (const point3& point : s.points)
        for (const double c : point) put(c);
    for (const double w : s.weights) put(w);
}

void spline_range(const spline_data& s, double& start, double& end)
{
    start = s.knots[static_cast<std::size_t>(s.degree)];
    end = s.knots[s.points.size()];
}

// De Boor's triangle on the degree + 1 homogeneous control points of t's knot interval. One
// level short of the top, the two points left span the curve's tangent: the derivative of the
// homogeneous curve is degree / (u(k+1) - u(k)) times their difference.
void spline_point(const spline_data& s, double t, point3& point, point3& derivative)
{
    const std::size_t p = static_cast<std::size_t>(s.degree);
    const std::size_t k = knot_span(s, t);
    const auto& u = s.knots;
    std::array<hpoint, kSplineMaxDegree + 1> d;
    for (std::size_t j = 0; j <= p; ++j) {
        const std::size_t i = k - p + j;
        const double w = s.weights.empty() ? 1.0 : s.weights[i];
        d[j] = {s.points[i][0] * w, s.points[i][1] * w, s.points[i][2] * w, w};
    }
    for (std::size_t r = 1; r < p; ++r)
        for (std::size_t j = p; j >= r; --j) {
            const std::size_t i = k - p + j;
            d[j] = blend(d[j - 1], d[j], (t - u[i]) / (u[i + p + 1 - r] - u[i]));
        }
    const double width = u[k + 1] - u[k];
    const hpoint h = blend(d[p - 1], d[p], (t - u[k]) / width);
    hpoint dh;
    for (int c = 0; c < 4; ++c) dh[c] = static_cast<double>(p) * (d[p][c] - d[p - 1][c]) / width;
    // The curve is h / w; its derivative (h' - w' point) / w.
    for (int c = 0; c < 3; ++c) {
        point[c] = h[c] / h[3];
        derivative[c] = (dh[c] - dh[3] * point[c]) / h[3];
    }
}

std::vector<double> spline_parameters(const spline_data& s, double t0, double t1, double tolerance, std::size_t most)
{
    const double low = std::min(t0, t1), high = std::max(t0, t1);
    std::vector<double> parameters{low};
    // Breaks: the ends and every distinct knot between them.
    std::vector<double> breaks{low};
    for (const double u : s.knots)
        if (u > breaks.back() && u < high) breaks.push_back(u);
    if (high > low) breaks.push_back(high);
    // The pieces of a non-rational degree-1 spline are straight: one chord each is exact.
    const int spans = s.degree == 1 && s.weights.empty() ? 1 : kSplineMinSpans;
    for (std::size_t b = 0; b + 1 < breaks.size() && parameters.size() <= most; ++b) {
        const double from = breaks[b], width = breaks[b + 1] - breaks[b];
        for (int j = 0; j < spans && parameters.size() <= most; ++j) {
            const double a = j == 0 ? from : from + width * j / spans;
            const double e = j + 1 == spans ? breaks[b + 1] : from + width * (j + 1) / spans;
            refine(s, a, e, tolerance, most, parameters);
        }
    }
    if (t1 < t0) std::reverse(parameters.begin(), parameters.end());
    return parameters;
}

namespace control {

int add_spline(int degree, const std::vector<double>& knots, const std::vector<point3>& points,
               const std::vector<double>& weights)
{
    const spline_data s{degree, knots, points, weights};
    if (const auto fault = check_spline(s))
        throw std::invalid_argument("spline \"" + fault->field + "\": " + fault->reason);
    std::vector<word> words;
    write_spline(s, words);
    return add_entity(kCurveClass, kSplineType, words);
}

}  // namespace control

}  // namespace vantu

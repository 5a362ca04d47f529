// Spline services of the twirl approach (host/vantu_spline.hpp): work descriptors held in the
// host's state, the twirl spline as one cubic Bezier segment, and its polyline by halving.
#include "host/vantu_spline.hpp"

#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kTwirlMode = 2, kPointSize = 3, kSegmentPoints = 4;
// Halvings of one segment before the polyline gives up (2^20 pieces).
constexpr int kMostHalvings = 20;

struct descriptor {
    int record_size = 0;
    int room = 0;
    std::vector<double> values;
};

struct spline_state {
    std::map<int, descriptor> open;
    int next = 1;
};

spline_state& state()
{
    static auto* s = new spline_state;
    return *s;
}

void reset_splines() { state() = spline_state{}; }

void report_splines(std::vector<std::string>& lines)
{
    for (const auto& [id, d] : state().open)
        lines.push_back("spline descriptor " + std::to_string(id) + " was not closed");
}

const bool spline_calls_registered =
    vantu::register_component({"spline_work", reset_splines, nullptr, nullptr, report_splines});

descriptor* find(int id)
{
    auto it = state().open.find(id);
    return it == state().open.end() ? nullptr : &it->second;
}

// A chain of cubic segments: 3 k + 1 points of three doubles, k at least 1.
bool is_chain(const descriptor* d)
{
    if (d == nullptr || d->record_size != kPointSize) return false;
    const std::size_t points = d->values.size() / kPointSize;
    return points >= kSegmentPoints && (points - 1) % 3 == 0;
}

using point = std::array<double, 3>;

// Distance of p from the line through a and b (from a when they coincide).
double off_chord(const point& p, const point& a, const point& b)
{
    point ab{}, ap{};
    double length2 = 0.0, along = 0.0;
    for (int k = 0; k < 3; ++k) {
        ab[k] = b[k] - a[k];
        ap[k] = p[k] - a[k];
        length2 += ab[k] * ab[k];
        along += ab[k] * ap[k];
    }
    const double t = length2 > 0.0 ? along / length2 : 0.0;
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += (ap[k] - t * ab[k]) * (ap[k] - t * ab[k]);
    return std::sqrt(sum);
}

point mid(const point& a, const point& b) { return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2}; }

// Appends the end points of the segment's pieces (its start is already written).
bool flatten(const std::array<point, 4>& c, double tolerance, int depth, int room, double* points, int& count)
{
    const bool flat = off_chord(c[1], c[0], c[3]) <= tolerance && off_chord(c[2], c[0], c[3]) <= tolerance;
    if (flat || depth >= kMostHalvings) {
        if (count >= room) return false;
        for (int k = 0; k < 3; ++k) points[3 * count + k] = c[3][static_cast<std::size_t>(k)];
        ++count;
        return true;
    }
    const point ab = mid(c[0], c[1]), bc = mid(c[1], c[2]), cd = mid(c[2], c[3]);
    const point abc = mid(ab, bc), bcd = mid(bc, cd), m = mid(abc, bcd);
    return flatten({c[0], ab, abc, m}, tolerance, depth + 1, room, points, count) &&
           flatten({m, bcd, cd, c[3]}, tolerance, depth + 1, room, points, count);
}

}  // namespace

void dam_ini(int record_size, int room, int& id, int& status)
{
    id = 0;
    status = -1;
    if (auto fault = vantu::fault_hit("dam_ini"))
        status = *fault;
    else if (record_size >= 1 && room >= 1) {
        id = state().next++;
        state().open[id] = descriptor{record_size, room, {}};
        status = 0;
    }
    vantu::trace_call("dam_ini", std::to_string(record_size) + " " + std::to_string(room), status);
}

int dam_nrc(int id)
{
    const descriptor* d = find(id);
    return d == nullptr ? -1 : static_cast<int>(d->values.size()) / d->record_size;
}

const double* dam_records(int id)
{
    const descriptor* d = find(id);
    return d == nullptr ? nullptr : d->values.data();
}

void dam_end(int id, int& status)
{
    status = state().open.erase(id) == 1 ? 0 : -1;
    vantu::trace_call("dam_end", std::to_string(id), status);
}

void get_twirl_spline(int mode, const double* p0, const double* d0, const double* p1, const double* d1, double length,
                      int id, int room, int& error)
{
    error = 1;
    descriptor* d = find(id);
    const double l0 = std::sqrt(d0[0] * d0[0] + d0[1] * d0[1] + d0[2] * d0[2]);
    const double l1 = std::sqrt(d1[0] * d1[0] + d1[1] * d1[1] + d1[2] * d1[2]);
    const bool apart = p0[0] != p1[0] || p0[1] != p1[1] || p0[2] != p1[2];
    if (auto fault = vantu::fault_hit("get_twirl_spline")) {
        error = *fault;
    } else if (mode == kTwirlMode && length > 0.0 && l0 > 0.0 && l1 > 0.0 && apart && d != nullptr &&
               d->record_size == kPointSize && room >= kSegmentPoints && d->room >= kSegmentPoints) {
        const double a = length / 3.0;
        d->values = {p0[0],
                     p0[1],
                     p0[2],
                     p0[0] + a * d0[0] / l0,
                     p0[1] + a * d0[1] / l0,
                     p0[2] + a * d0[2] / l0,
                     p1[0] - a * d1[0] / l1,
                     p1[1] - a * d1[1] / l1,
                     p1[2] - a * d1[2] / l1,
                     p1[0],
                     p1[1],
                     p1[2]};
        error = 0;
    }
    vantu::trace_call("get_twirl_spline", std::to_string(mode), error);
}

void nb_c0approx(int source, double tolerance, int target, int room, int& status)
{
    static_cast<void>(tolerance);
    status = -1;
    const descriptor* s = find(source);
    descriptor* t = find(target);
    if (auto fault = vantu::fault_hit("nb_c0approx"))
        status = *fault;
    else if (is_chain(s) && t != nullptr && t->record_size == kPointSize &&
             static_cast<int>(s->values.size()) / kPointSize <= std::min(room, t->room)) {
        t->values = s->values;
        status = 0;
    }
    vantu::trace_call("nb_c0approx", std::to_string(source) + " " + std::to_string(target), status);
}

void nb_appbypol2(int id, double tolerance, int room, double* points, int& count, int& status)
{
    count = 0;
    status = -1;
    const descriptor* d = find(id);
    if (auto fault = vantu::fault_hit("nb_appbypol2")) {
        status = *fault;
    } else if (is_chain(d) && tolerance > 0.0 && room >= 1) {
        const std::vector<double>& v = d->values;
        for (int k = 0; k < 3; ++k) points[k] = v[static_cast<std::size_t>(k)];
        count = 1;
        bool fits = true;
        for (std::size_t s = 0; fits && 3 * (s + 1) < v.size() / kPointSize; ++s) {
            std::array<point, 4> c{};
            for (std::size_t i = 0; i < 4; ++i)
                for (std::size_t k = 0; k < 3; ++k) c[i][k] = v[(3 * s + i) * kPointSize + k];
            fits = flatten(c, tolerance, 0, room, points, count);
        }
        status = fits ? 0 : -1;
    }
    vantu::trace_call("nb_appbypol2", std::to_string(id), status);
}

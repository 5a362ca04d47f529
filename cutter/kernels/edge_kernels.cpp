// The edge kernels of the XY contact (ball, flat end, bull-nose), the reach test with the
// nearest approach they share (edge_foot_distance), and the sampled drop of a bull-nose cutter
// along a segment (segment_drop_height), refined to the exact maximum by a golden-section search.
//
// An edge a..b is seen along its XY direction u: a and b are the positions of its ends along the
// line (a = a.u, b = b.u), d the signed distance of the tool axis from the line; a sphere or disc
// of radius R around the axis meets the line's vertical plane in a section of half-width
// rho = sqrt(|R^2 - d^2|).
#include "cutter/kernels/xy_contact.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_vector_s.hpp"
#include "surfaces/qt_geometry_least.hpp"
#include "toolpath/segment_z_at_xy_least.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kOutOfReach = -1;
constexpr int kReached = 2;
// An edge rising less than this is level for the flat end.
constexpr float kLevelEdgeRise = 0.001f;
// segment_drop_height: the first sampling makes 10 steps; rounds stop below this step.
constexpr double kSampleSteps = 10.0;
constexpr double kCoarsestStop = 0.1;
constexpr float kBelowEverything = -1.0e9f;
constexpr int kMostRounds = 64;
constexpr int kMostSamplesPerRound = 12;
// The refinement stops when its bracket is narrower than this times R.
constexpr double kRefineWidth = 1.0e-9;
constexpr int kMostRefineSteps = 200;
// An end of the segment within this fraction of R from the cutter's rim counts as on the rim.
constexpr double kRimMargin = 1.0e-6;

struct edge_line {
    float a, b;     // positions of the ends along the line
    float dz;       // b.z - a.z
    float rho;      // half-width of the cutter's section in the line's vertical plane
};

edge_line line_of(const float* a, const float* b, const float* u, float radius, float d)
{
    edge_line e{};
    e.a = a[0] * u[0] + a[1] * u[1];
    e.b = b[0] * u[0] + b[1] * u[1];
    e.dz = b[2] - a[2];
    e.rho = std::sqrt(std::fabs(radius * radius - d * d));
    return e;
}

bool out_of_reach(const edge_line& e) { return e.a > e.rho || e.b < -e.rho; }

// The nearest approach of the edge to the axis: an end when the foot of the perpendicular lies
// beyond it (both positions of one sign), else the foot itself.
void report_nearest(const float* a, const float* b, const float* u, float along_a, float along_b, float& d,
                    float& z_near)
{
    if (along_a > 0.0f && along_b > 0.0f) {
        d = std::sqrt(a[0] * a[0] + a[1] * a[1]);
        z_near = a[2];
    } else if (along_a < 0.0f && along_b < 0.0f) {
        d = std::sqrt(b[0] * b[0] + b[1] * b[1]);
        z_near = b[2];
    } else {
        const float foot[2] = {-u[1] * d, u[0] * d};
        int vertical = 0;
        segment_z_at_xy(a, b, foot, z_near, vertical);
        d = std::fabs(d);
    }
}

// The point at s along the line, between the ends: fraction t and the point a + t (b - a).
float fraction_at(const edge_line& e, float s)
{
    const float length = e.b - e.a;
    if (!(length > 0.0f)) return 0.0f;
    return std::clamp((s - e.a) / length, 0.0f, 1.0f);
}

void point_between(const float* a, const float* b, float t, float* p)
{
    for (int k = 0; k < 3; ++k) p[k] = a[k] + t * (b[k] - a[k]);
}

// segment_drop_height's samples: points along the direction from a by tau (the ends exact).
struct drop_samples {
    const float* a;
    const float* b;
    const float* direction;
    const float* axis;
    float radius, flat;
    double total;

    void point(double tau, float* p) const
    {
        if (tau <= 0.0) std::copy(a, a + 3, p);
        else if (tau >= total) std::copy(b, b + 3, p);
        else
            for (int k = 0; k < 3; ++k) p[k] = static_cast<float>(a[k] + tau * direction[k]);
    }
    float height(double tau) const
    {
        float p[3];
        point(tau, p);
        return vertex_drop_height(axis, p, radius, flat);
    }
    // Whether the point at tau lies clearly inside the cutter's radius.
    bool inside_rim(double tau) const
    {
        const double x = a[0] + tau * direction[0] - axis[0], y = a[1] + tau * direction[1] - axis[1];
        const double rim = (1.0 - kRimMargin) * radius;
        return x * x + y * y < rim * rim;
    }
    // The same in double precision, for the refinement.
    double exact_height(double tau) const
    {
        tau = std::clamp(tau, 0.0, total);
        return vertex_drop_height_d(a[0] + tau * direction[0] - axis[0], a[1] + tau * direction[1] - axis[1],
                                    a[2] + tau * direction[2], radius, flat);
    }
};

// The drop height along a segment is concave (the height is linear, the corner's lift a convex
// function of the distance from the axis), so a golden-section search finds its maximum in the
// bracket; parabolic steps through the last three points speed it up where the height is smooth,
// and a golden step is taken whenever a parabolic one would not shrink the bracket soundly
// (Brent's search). It stops when the bracket is narrower than kRefineWidth R.
void refine_maximum(const drop_samples& samples, double lo, double hi, float& best, double& best_tau)
{
    constexpr double kGoldenSection = 0.3819660112501051;  // 1 - 1 / golden ratio
    const double tolerance = 0.25 * kRefineWidth * samples.radius;
    // The best sample at an end of the segment with no higher point just inside: the height being
    // concave, its maximum lies within the tolerance of that end (the usual case of an edge whose
    // corner lies under the cutter). Not at the cutter's rim, where the corner's side is vertical
    // and rounding decides between neighbouring points.
    const double x0 = std::clamp(best_tau, lo, hi);
    const double fx0 = samples.exact_height(x0);
    if ((x0 <= 0.0 || x0 >= samples.total) && samples.inside_rim(x0)) {
        const double inward = x0 <= 0.0 ? x0 + 4.0 * tolerance : x0 - 4.0 * tolerance;
        if (samples.exact_height(inward) <= fx0) {
            if (static_cast<float>(fx0) > best) best = static_cast<float>(fx0), best_tau = x0;
            return;
        }
    }
    // Otherwise the search starts from the best sample.
    double x = x0, w = x0, v = x0;
    double fx = fx0, fw = fx0, fv = fx0;
    double step = 0.0, previous_step = 0.0;
    for (int k = 0; k < kMostRefineSteps; ++k) {
        const double middle = 0.5 * (lo + hi);
        if (std::fabs(x - middle) <= 2.0 * tolerance - 0.5 * (hi - lo)) break;
        bool golden = true;
        if (std::fabs(previous_step) > tolerance) {
            // The parabola's vertex through (x, fx), (w, fw), (v, fv), maximising.
            const double r = (x - w) * (fv - fx), q0 = (x - v) * (fw - fx);
            double p = (x - v) * q0 - (x - w) * r, q = 2.0 * (q0 - r);
            if (q > 0.0) p = -p;
            q = std::fabs(q);
            const double older = previous_step;
            previous_step = step;
            if (std::fabs(p) < std::fabs(0.5 * q * older) && p > q * (lo - x) && p < q * (hi - x)) {
                step = p / q;
                const double u = x + step;
                if (u - lo < 2.0 * tolerance || hi - u < 2.0 * tolerance) step = x < middle ? tolerance : -tolerance;
                golden = false;
            }
        }
        if (golden) {
            previous_step = x >= middle ? lo - x : hi - x;
            step = kGoldenSection * previous_step;
        }
        const double u = std::fabs(step) >= tolerance ? x + step : x + (step > 0.0 ? tolerance : -tolerance);
        const double fu = samples.exact_height(u);
        if (fu >= fx) {
            (u >= x ? lo : hi) = x;
            v = w, fv = fw;
            w = x, fw = fx;
            x = u, fx = fu;
        } else {
            (u < x ? lo : hi) = u;
            if (fu >= fw || w == x) {
                v = w, fv = fw;
                w = u, fw = fu;
            } else if (fu >= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    const float refined = static_cast<float>(fx);
    if (refined > best) {
        best = refined;
        best_tau = x;
    }
}

}  // namespace

void edge_foot_distance(const float* a, const float* b, const float* u, const float& radius, float& d, float& z_near,
                        int& status)
{
    const edge_line e = line_of(a, b, u, radius, d);
    if (out_of_reach(e)) {
        status = kOutOfReach;
        return;
    }
    report_nearest(a, b, u, e.a, e.b, d, z_near);
    status = kReached;
}

void ball_edge_contact(const float* a, const float* b, const float* u, const float& radius, float& d, float* contact,
                       float& height, float& z_near, int& status)
{
    const edge_line e = line_of(a, b, u, radius, d);
    if (out_of_reach(e)) {
        status = kOutOfReach;
        return;
    }
    // Where the section circle's tangent runs parallel to the edge.
    const float length = e.b - e.a;
    const float slant = std::sqrt(length * length + e.dz * e.dz);
    const float s = std::clamp(slant > 0.0f ? e.dz * e.rho / slant : 0.0f, e.a, e.b);
    const float t = fraction_at(e, s);
    point_between(a, b, t, contact);
    height = a[2] + t * e.dz + std::sqrt(std::fabs(e.rho * e.rho - s * s)) - radius;
    report_nearest(a, b, u, e.a, e.b, d, z_near);
    status = kReached;
}

void flat_edge_contact(const float* a, const float* b, const float* u, const float& radius, float& d, float* contact,
                       float& height, float& z_near, int& status)
{
    const edge_line e = line_of(a, b, u, radius, d);
    if (out_of_reach(e)) {
        status = kOutOfReach;
        return;
    }
    // The disc rests on the highest point of the edge under it.
    float s = 0.0f;
    if (std::fabs(e.dz) >= kLevelEdgeRise) s = e.dz < 0.0f ? std::max(e.a, -e.rho) : std::min(e.b, e.rho);
    const float t = fraction_at(e, s);
    point_between(a, b, t, contact);
    height = s < e.a ? a[2] : s > e.b ? b[2] : a[2] + t * e.dz;
    report_nearest(a, b, u, e.a, e.b, d, z_near);
    status = kReached;
}

void bullnose_edge_contact(const float* a, const float* b, const float* u, const float* radii, float& d,
                           float* contact, float& height, float& z_near, int& status)
{
    const float radius = radii[0];
    const float flat = radii[0] - radii[1];
    const edge_line e = line_of(a, b, u, radius, d);
    if (out_of_reach(e)) {
        status = kOutOfReach;
        return;
    }
    // The edge clipped to the section, in its own frame: along the line, across it (the line
    // lies at d), z.
    const float lo = std::max(e.a, -e.rho), hi = std::min(e.b, e.rho);
    const float clipped_a[3] = {lo, d, a[2] + fraction_at(e, lo) * e.dz};
    const float clipped_b[3] = {hi, d, a[2] + fraction_at(e, hi) * e.dz};
    float direction[3] = {clipped_b[0] - clipped_a[0], 0.0f, clipped_b[2] - clipped_a[2]};
    float length = 0.0f;
    int unit_status = 0;
    v3unit(direction, length, unit_status);
    if (unit_status != 0) {
        status = kOutOfReach;
        return;
    }
    const float axis[3] = {0.0f, 0.0f, 0.0f};
    float touch[3];
    int drop_status = 0;
    height = segment_drop_height(clipped_a, clipped_b, direction, axis, radius, flat, touch, drop_status);
    // Back from the line's frame: along u, across n = (-u.y, u.x).
    contact[0] = touch[0] * u[0] - touch[1] * u[1];
    contact[1] = touch[0] * u[1] + touch[1] * u[0];
    contact[2] = touch[2];
    report_nearest(a, b, u, lo, hi, d, z_near);
    status = kReached;
}

float segment_drop_height(const float* a, const float* b, const float* direction, const float* axis,
                          const float& radius, const float& flat, float* contact, int& status)
{
    status = 0;
    const float* start = a[2] >= b[2] ? a : b;
    if (leval(dist2(start, axis), flat)) {
        std::copy(start, start + 3, contact);
        status = 1;
        return start[2];
    }
    const double dx = static_cast<double>(b[0]) - a[0], dy = static_cast<double>(b[1]) - a[1];
    const double dz = static_cast<double>(b[2]) - a[2];
    const drop_samples samples{a, b, direction, axis, radius, flat, std::sqrt(dx * dx + dy * dy + dz * dz)};

    float best = samples.height(0.0);
    double best_tau = 0.0;
    double from = 0.0, to = samples.total;
    double step = samples.total / kSampleSteps;
    for (int round = 0; round < kMostRounds && step > 0.0; ++round) {
        for (int k = 0; k < kMostSamplesPerRound; ++k) {
            const double tau = std::min(from + k * step, to);
            const float h = samples.height(tau);
            if (h > best) {
                best = h;
                best_tau = tau;
            }
            if (tau >= to) break;
        }
        if (step < kCoarsestStop || best < kBelowEverything) break;
        // The next round samples the two steps around the best.
        const double next_from = best_tau == from ? from : best_tau - step;
        const double next_to = best_tau == to ? to : best_tau + step;
        from = next_from;
        to = next_to;
        step = (to - from) / kSampleSteps;
    }
    if (best > kBelowEverything && step > 0.0)
        refine_maximum(samples, std::max(from, best_tau - step), std::min(to, best_tau + step), best, best_tau);

    samples.point(best_tau, contact);
    if (eqpt2(contact, start)) status = 1;
    return best;
}

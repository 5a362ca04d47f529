// The edge kernels of the XY contact (ball, flat end, and any cutter given by its profile: the
// bull-nose, a tapered cutter), the reach test with the nearest approach they share, and the
// sampled drop of a profile along a segment (segment_drop_height), refined to the exact maximum
// by bisection on its slope. The kernels work in double on an edge whose ends are taken relative
// to the tool axis in double (edge_contact_d, which the XY contact calls); the single-precision
// entries widen their arguments and round the height up, so that a height handed on is never
// below the touch.
//
// An edge a..b is seen along its XY direction u: a and b are the positions of its ends along the
// line (a = a.u, b = b.u), d the signed distance of the tool axis from the line; a sphere or disc
// of radius R around the axis meets the line's vertical plane in a section of half-width
// rho = sqrt(R^2 - d^2), and a line farther than R from the axis is met by nothing.
#include "cutter/kernels/xy_contact.hpp"

#include "cutter/kernels/drop_profile.hpp"

#include "host/vantu_compare.hpp"
#include "nc_services/segment_z_at_xy.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kOutOfReach = -1;
constexpr int kReached = 2;
// segment_drop_height: the first sampling makes 10 steps; rounds stop below this step.
constexpr double kSampleSteps = 10.0;
constexpr double kCoarsestStop = 0.1;
constexpr double kBelowEverything = -1.0e9;
constexpr double kNothingBelow = -1.0e10;
constexpr int kMostRounds = 64;
constexpr int kMostSamplesPerRound = 12;
// The refinement stops when the height can rise by no more than this (millimetres) within its
// bracket: far below a nanometre.
constexpr double kRefineRise = 1.0e-12;
constexpr int kMostRefineSteps = 200;

struct edge_line {
    double a, b;  // positions of the ends along the line
    double dz;    // b.z - a.z
    double rho;   // half-width of the cutter's section in the line's vertical plane
};

// The edge seen along its line; false when the cutter's section misses it.
bool line_of(const xy_edge_d& e, double radius, edge_line& line)
{
    const double across = std::fabs(e.d);
    if (!(across <= radius)) return false;
    line.a = e.a[0] * e.u[0] + e.a[1] * e.u[1];
    line.b = e.b[0] * e.u[0] + e.b[1] * e.u[1];
    line.dz = e.b[2] - e.a[2];
    line.rho = std::sqrt((radius - across) * (radius + across));
    return !(line.a > line.rho || line.b < -line.rho);
}

// The nearest approach of the edge to the axis: an end when the foot of the perpendicular lies
// beyond it (both positions of one sign), else the foot itself, with the edge's height there as
// segment_z_at_xy gives it.
void report_nearest(const xy_edge_d& e, double along_a, double along_b, edge_touch_d& touch)
{
    if (along_a > 0.0 && along_b > 0.0) {
        touch.nearest = std::hypot(e.a[0], e.a[1]);
        touch.z_near = e.a[2];
    } else if (along_a < 0.0 && along_b < 0.0) {
        touch.nearest = std::hypot(e.b[0], e.b[1]);
        touch.z_near = e.b[2];
    } else {
        const float a[3] = {static_cast<float>(e.a[0]), static_cast<float>(e.a[1]), static_cast<float>(e.a[2])};
        const float b[3] = {static_cast<float>(e.b[0]), static_cast<float>(e.b[1]), static_cast<float>(e.b[2])};
        const float foot[2] = {static_cast<float>(-e.u[1] * e.d), static_cast<float>(e.u[0] * e.d)};
        float z = 0.0f;
        int vertical = 0;
        segment_z_at_xy(a, b, foot, z, vertical);
        touch.z_near = z;
        touch.nearest = std::fabs(e.d);
    }
    touch.status = kReached;
}

// The fraction of the edge at s along the line, between its ends.
double fraction_at(const edge_line& e, double s)
{
    const double length = e.b - e.a;
    if (!(length > 0.0)) return 0.0;
    return std::clamp((s - e.a) / length, 0.0, 1.0);
}

void point_between(const double* a, const double* b, double t, double* p)
{
    for (int k = 0; k < 3; ++k) p[k] = a[k] + t * (b[k] - a[k]);
}

// segment_drop_height's samples: points of the segment a..b (relative to the axis) by their
// distance tau from a, the ends exact.
struct drop_samples {
    const double* a;
    const double* b;
    double direction[3];
    const drop_profile& profile;
    double total;

    drop_samples(const double* from, const double* to, const drop_profile& shape) : a(from), b(to), profile(shape)
    {
        for (int k = 0; k < 3; ++k) direction[k] = b[k] - a[k];
        total = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
        for (double& c : direction) c = total > 0.0 ? c / total : 0.0;
    }
    void point(double tau, double* p) const
    {
        if (tau <= 0.0)
            std::copy(a, a + 3, p);
        else if (tau >= total)
            std::copy(b, b + 3, p);
        else
            for (int k = 0; k < 3; ++k) p[k] = a[k] + tau * direction[k];
    }
    // The tip height at which the cutter touches the point at tau; far below everything beyond
    // the outer radius.
    double height(double tau) const
    {
        double p[3];
        point(tau, p);
        const double rho = std::hypot(p[0], p[1]);
        return rho > profile.outer ? kNothingBelow : p[2] - profile.lift(rho);
    }
    // The rate of change of that height along the segment at tau: the segment's rise less the
    // lift growing with the distance from the axis (without end where the side stands vertical).
    double slope(double tau) const
    {
        double p[3];
        point(tau, p);
        const double rho = std::hypot(p[0], p[1]);
        const double lift_slope = profile.lift_slope(rho);
        if (lift_slope == 0.0) return direction[2];
        const double outward = (p[0] * direction[0] + p[1] * direction[1]) / rho;
        if (!std::isfinite(lift_slope)) return outward > 0.0 ? -HUGE_VAL : outward < 0.0 ? HUGE_VAL : direction[2];
        return direction[2] - lift_slope * outward;
    }
};

// The drop height along a segment is concave (the height is linear, the lift a convex function
// of the distance from the axis), so its slope falls along the segment and the maximum
// lies where the slope changes sign. When the best sample is an end of the segment where the
// height still rises towards that end, that end is the maximum (the usual case of an edge whose
// corner lies under the cutter). Otherwise bisection on the slope's sign narrows the bracket
// until the height can rise within it by no more than kRefineRise (at most the slope at its low
// end, or the negated slope at its high end, times its width), and the higher of its two ends
// is taken.
void refine_maximum(const drop_samples& samples, double lo, double hi, double& best, double& best_tau)
{
    if (best_tau <= 0.0 || best_tau >= samples.total) {
        const double towards_end = best_tau <= 0.0 ? -samples.slope(best_tau) : samples.slope(best_tau);
        if (towards_end >= 0.0) return;
    }
    double rise = std::max(samples.slope(lo), 0.0), fall = std::max(-samples.slope(hi), 0.0);
    for (int k = 0; k < kMostRefineSteps && (hi - lo) * (rise + fall) > kRefineRise; ++k) {
        const double middle = 0.5 * (lo + hi);
        if (!(middle > lo && middle < hi)) break;
        const double rate = samples.slope(middle);
        if (rate > 0.0)
            lo = middle, rise = rate;
        else
            hi = middle, fall = std::max(-rate, 0.0);
    }
    for (const double tau : {lo, hi}) {
        const double height = samples.height(tau);
        if (height > best) best = height, best_tau = tau;
    }
}

// The highest drop height over the segment a..b relative to the axis (see segment_drop_height).
double segment_drop_height_d(const double* a, const double* b, const drop_profile& profile, double* contact,
                             int& status)
{
    status = 0;
    const double* start = a[2] >= b[2] ? a : b;
    if (std::hypot(start[0], start[1]) <= profile.flat) {
        std::copy(start, start + 3, contact);
        status = 1;
        return start[2];
    }
    const drop_samples samples(a, b, profile);
    double best = samples.height(0.0);
    double best_tau = 0.0;
    double from = 0.0, to = samples.total;
    double step = samples.total / kSampleSteps;
    for (int round = 0; round < kMostRounds && step > 0.0; ++round) {
        for (int k = 0; k < kMostSamplesPerRound; ++k) {
            const double tau = std::min(from + k * step, to);
            const double h = samples.height(tau);
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
    const float at[2] = {static_cast<float>(contact[0]), static_cast<float>(contact[1])};
    const float first[2] = {static_cast<float>(start[0]), static_cast<float>(start[1])};
    if (eqpt2(at, first)) status = 1;
    return best;
}

// The kernels on an edge in reach.
void ball_touch(const xy_edge_d& e, const edge_line& line, double radius, edge_touch_d& touch)
{
    // Where the section circle's tangent runs parallel to the edge.
    const double length = line.b - line.a;
    const double slant = std::hypot(length, line.dz);
    const double s = std::clamp(slant > 0.0 ? line.dz * line.rho / slant : 0.0, line.a, line.b);
    const double t = fraction_at(line, s);
    point_between(e.a, e.b, t, touch.contact);
    touch.height = e.a[2] + t * line.dz + std::sqrt(std::max(0.0, line.rho * line.rho - s * s)) - radius;
}

void flat_touch(const xy_edge_d& e, const edge_line& line, edge_touch_d& touch)
{
    // The disc rests on the highest point of the edge under it: the end of the edge's part in
    // the section towards its rise, however small the rise.
    double s = std::clamp(0.0, line.a, line.b);
    if (line.dz < 0.0)
        s = std::max(line.a, -line.rho);
    else if (line.dz > 0.0)
        s = std::min(line.b, line.rho);
    const double t = fraction_at(line, s);
    point_between(e.a, e.b, t, touch.contact);
    touch.height = t <= 0.0 ? e.a[2] : t >= 1.0 ? e.b[2] : e.a[2] + t * line.dz;
}

void profile_touch(const xy_edge_d& e, const edge_line& line, const drop_profile& profile, edge_touch_d& touch)
{
    // The edge clipped to the section, in its own frame: along the line, across it (the line
    // lies at d), z.
    const double lo = std::max(line.a, -line.rho), hi = std::min(line.b, line.rho);
    const double clipped_a[3] = {lo, e.d, e.a[2] + fraction_at(line, lo) * line.dz};
    const double clipped_b[3] = {hi, e.d, e.a[2] + fraction_at(line, hi) * line.dz};
    double touch_point[3];
    int drop_status = 0;
    touch.height = segment_drop_height_d(clipped_a, clipped_b, profile, touch_point, drop_status);
    // Back from the line's frame: along u, across n = (-u.y, u.x).
    touch.contact[0] = touch_point[0] * e.u[0] - touch_point[1] * e.u[1];
    touch.contact[1] = touch_point[0] * e.u[1] + touch_point[1] * e.u[0];
    touch.contact[2] = touch_point[2];
}

// The single-precision entries: the edge widened to double, the height rounded up.
void float_kernel(int type, const float* a, const float* b, const float* u, float radius, float corner, float& d,
                  float* contact, float& height, float& z_near, int& status)
{
    const xy_edge_d edge{{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {u[0], u[1]}, d};
    edge_touch_d touch;
    edge_contact_d(type, edge, radius, corner, touch);
    status = touch.status;
    if (status < 0) return;
    height = rounded_up(touch.height);
    for (int k = 0; k < 3; ++k) contact[k] = static_cast<float>(touch.contact[k]);
    d = static_cast<float>(touch.nearest);
    z_near = static_cast<float>(touch.z_near);
}

}  // namespace

xy_edge_d edge_between_d(const double* a, const double* b)
{
    xy_edge_d e{};
    std::copy(a, a + 3, e.a);
    std::copy(b, b + 3, e.b);
    const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
    if (length > 0.0) {
        e.u[0] = (b[0] - a[0]) / length;
        e.u[1] = (b[1] - a[1]) / length;
    }
    e.d = e.u[0] * a[1] - e.u[1] * a[0];
    return e;
}

bool point_in_edges_d(const xy_edge_d* edges, double x, double y)
{
    bool positive = false, negative = false;
    for (int k = 0; k < 3; ++k) {
        const double s = edges[k].u[1] * x - edges[k].u[0] * y + edges[k].d;
        if (s > 0.0)
            positive = true;
        else if (s < 0.0)
            negative = true;
    }
    return !(positive && negative);
}

void edge_contact_d(int type, const xy_edge_d& edge, double radius, double corner, edge_touch_d& touch)
{
    if (type != kCutterBall && type != kCutterFlat) {
        profile_edge_contact_d(edge, bull_nose_profile(radius, corner), touch);
        return;
    }
    edge_line line{};
    if (!line_of(edge, radius, line)) {
        touch.status = kOutOfReach;
        return;
    }
    if (type == kCutterBall)
        ball_touch(edge, line, radius, touch);
    else
        flat_touch(edge, line, touch);
    report_nearest(edge, line.a, line.b, touch);
}

void profile_edge_contact_d(const xy_edge_d& edge, const drop_profile& profile, edge_touch_d& touch)
{
    edge_line line{};
    if (!line_of(edge, profile.outer, line)) {
        touch.status = kOutOfReach;
        return;
    }
    profile_touch(edge, line, profile, touch);
    report_nearest(edge, std::max(line.a, -line.rho), std::min(line.b, line.rho), touch);
}

void edge_nearest_d(const xy_edge_d& edge, double radius, edge_touch_d& touch)
{
    edge_line line{};
    if (!line_of(edge, radius, line)) {
        touch.status = kOutOfReach;
        return;
    }
    report_nearest(edge, line.a, line.b, touch);
}

void edge_foot_distance(const float* a, const float* b, const float* u, const float& radius, float& d, float& z_near,
                        int& status)
{
    const xy_edge_d edge{{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {u[0], u[1]}, d};
    edge_touch_d touch;
    edge_nearest_d(edge, radius, touch);
    status = touch.status;
    if (status < 0) return;
    d = static_cast<float>(touch.nearest);
    z_near = static_cast<float>(touch.z_near);
}

void ball_edge_contact(const float* a, const float* b, const float* u, const float& radius, float& d, float* contact,
                       float& height, float& z_near, int& status)
{
    float_kernel(kCutterBall, a, b, u, radius, radius, d, contact, height, z_near, status);
}

void flat_edge_contact(const float* a, const float* b, const float* u, const float& radius, float& d, float* contact,
                       float& height, float& z_near, int& status)
{
    float_kernel(kCutterFlat, a, b, u, radius, 0.0f, d, contact, height, z_near, status);
}

void bullnose_edge_contact(const float* a, const float* b, const float* u, const float* radii, float& d, float* contact,
                           float& height, float& z_near, int& status)
{
    float_kernel(kCutterBullNose, a, b, u, radii[0], radii[1], d, contact, height, z_near, status);
}

float segment_drop_height(const float* a, const float* b, const float* direction, const float* axis,
                          const float& radius, const float& flat, float* contact, int& status)
{
    (void)direction;
    const double from[3] = {static_cast<double>(a[0]) - axis[0], static_cast<double>(a[1]) - axis[1], a[2]};
    const double to[3] = {static_cast<double>(b[0]) - axis[0], static_cast<double>(b[1]) - axis[1], b[2]};
    double touch[3];
    const double height = segment_drop_height_d(from, to, bull_nose_profile(radius, radius - flat), touch, status);
    contact[0] = static_cast<float>(touch[0] + axis[0]);
    contact[1] = static_cast<float>(touch[1] + axis[1]);
    contact[2] = static_cast<float>(touch[2]);
    return rounded_up(height);
}

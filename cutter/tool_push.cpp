// The push front end (see the header). The move is taken relative to its start, in the cutter
// frame when the axis is tilted. Each candidate triangle gets a lower and an upper bound of the
// travel at which the cutter can touch it: along the move's XY direction the cutter reaches only
// its outer radius; across it, the triangle must come within that radius of the axis' path; and
// its highest corner, less the cutter's lift at the triangle's nearest distance from that path,
// must stand above the tip. The triangles are solved (the toroidal solvers) in the order of their
// lower bounds until a bound passes the nearest contact found. The set of travels at which a
// convex cutter meets a triangle is an interval, so a triangle whose first touch lies behind the
// start either lies wholly behind it or is already cut into: a backward solve tells the two apart.
// A move along the tool axis is the drop of the drop front end.
#include "cutter/tool_push.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "cutter/kernels/cutter_frame.hpp"
#include "cutter/kernels/drop_profile.hpp"
#include "cutter/kernels/torus_contact.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

constexpr double kMicrometresPerMillimetre = 1000.0;
// Bounds are widened by this much (millimetres) so that rounding never skips a triangle that the
// solver would meet; a touch this far behind the start counts as a touch at the start.
constexpr double kBoundSlack = 1.0e-4;
// Below this share of its length the move's XY part is taken as none: a move along the axis, which
// the drop answers (the solvers take a direction within 1e-8 of the axis as the axis itself).
constexpr double kAlongAxis = 1.0e-6;

struct vec3d {
    double x, y, z;
};

// The move in the frame the solvers see: from the origin along the unit direction u for length.
struct move_frame {
    vec3d start;  // the start point (frame coordinates), the origin of the corners
    vec3d u;
    double length;
    double xy;      // |u_xy|
    double ax, ay;  // the unit XY direction (or 0, 0)
};

// A triangle to solve: its corners relative to the start, and its bounds of the travel.
struct push_candidate {
    double corners[9];
    double lower, upper;
};

// The nearest contact found so far.
struct push_best {
    double travel = HUGE_VAL;
    double contact[3] = {0.0, 0.0, 0.0};
    bool cut_at_start = false;
};

drop_profile profile_of(const located_cutter& c)
{
    return c.tapered ? tapered_profile(c.diameter, c.corner, c.taper, c.cut_length, c.flank_rounding)
                     : bull_nose_profile(c.radius, c.corner);
}

// The bounds of one triangle; false when it cannot be met along the move.
bool bound_triangle(const move_frame& m, const drop_profile& profile, push_candidate& c)
{
    const double* p = c.corners;
    double lower = -HUGE_VAL, upper = m.length;
    double nearest = 0.0;  // nearest XY distance of the triangle from the axis' path
    const double outer = profile.outer + kBoundSlack;
    if (m.xy > kAlongAxis) {
        double along_min = HUGE_VAL, along_max = -HUGE_VAL, across_min = HUGE_VAL, across_max = -HUGE_VAL;
        for (int k = 0; k < 3; ++k) {
            const double along = p[3 * k] * m.ax + p[3 * k + 1] * m.ay;
            const double across = p[3 * k + 1] * m.ax - p[3 * k] * m.ay;
            along_min = std::min(along_min, along);
            along_max = std::max(along_max, along);
            across_min = std::min(across_min, across);
            across_max = std::max(across_max, across);
        }
        if (across_min > outer || across_max < -outer) return false;
        nearest = across_min > 0.0 ? across_min : across_max < 0.0 ? -across_max : 0.0;
        lower = (along_min - outer) / m.xy;
        upper = std::min(upper, (along_max + outer) / m.xy);
    } else {
        double xmin = HUGE_VAL, xmax = -HUGE_VAL, ymin = HUGE_VAL, ymax = -HUGE_VAL;
        for (int k = 0; k < 3; ++k) {
            xmin = std::min(xmin, p[3 * k]);
            xmax = std::max(xmax, p[3 * k]);
            ymin = std::min(ymin, p[3 * k + 1]);
            ymax = std::max(ymax, p[3 * k + 1]);
        }
        const double dx = std::max({xmin, -xmax, 0.0}), dy = std::max({ymin, -ymax, 0.0});
        nearest = std::sqrt(dx * dx + dy * dy);
    }
    nearest = std::max(0.0, nearest - kBoundSlack);
    if (nearest > profile.outer) return false;
    // The tip can stand no higher than the highest corner less the lift where it touches.
    const double top = std::max({p[2], p[5], p[8]}) - profile.lift(nearest) + kBoundSlack;
    if (m.u.z < 0.0)
        lower = std::max(lower, top / m.u.z);
    else if (m.u.z > 0.0)
        upper = std::min(upper, top / m.u.z);
    else if (top < 0.0)
        return false;
    c.lower = lower - kBoundSlack;
    c.upper = upper + kBoundSlack;
    return c.lower <= c.upper && c.upper >= -kBoundSlack;
}

// The first touch of the cutter moving along `direction` from the origin onto the triangle:
// the travel and the touched point; false when it never touches.
bool solve(const located_cutter& cutter, const double* corners, const vec3d& direction, double& travel, double* contact)
{
    const double origin[3] = {0.0, 0.0, 0.0}, u[3] = {direction.x, direction.y, direction.z};
    double tip[3];
    int status = 0;
    if (cutter.tapered) {
        const double no_offset = 0.0;
        taper_torus_tri_contact(corners, origin, cutter.diameter, cutter.corner, cutter.taper, cutter.cut_length,
                                no_offset, u, travel, contact, tip, status);
    } else {
        torus_tri_contact(corners, origin, cutter.radius, cutter.corner, u, travel, contact, tip, status);
    }
    return status == kTorusContact && std::isfinite(travel);
}

// One candidate against the best: its first touch along the move, or, behind the start, whether
// the cutter cuts into it at the start.
void try_candidate(const located_cutter& cutter, const move_frame& m, const push_candidate& c, push_best& best)
{
    double travel = 0.0, contact[3];
    if (!solve(cutter, c.corners, m.u, travel, contact) || travel > m.length || !(travel < best.travel)) return;
    if (travel < -kBoundSlack) {
        double back = 0.0, other[3];
        const vec3d reverse{-m.u.x, -m.u.y, -m.u.z};
        // Backwards the cutter leaves the triangle at -back: behind the start when back > 0.
        if (!solve(cutter, c.corners, reverse, back, other) || back > kBoundSlack) return;
        best.cut_at_start = true;
    }
    best.travel = std::max(travel, 0.0);
    std::copy(contact, contact + 3, best.contact);
}

int to_micrometres(double value)
{
    const double um = std::nearbyint(value * kMicrometresPerMillimetre);
    return static_cast<int>(std::clamp(um, static_cast<double>(INT_MIN / 2), static_cast<double>(INT_MAX / 2)));
}

// Adds the triangle with the given corners (frame coordinates) when it can be met.
void consider(const move_frame& m, const drop_profile& profile, const float* corners,
              std::vector<push_candidate>& candidates)
{
    push_candidate c{};
    for (int k = 0; k < 3; ++k) {
        c.corners[3 * k] = corners[3 * k] - m.start.x;
        c.corners[3 * k + 1] = corners[3 * k + 1] - m.start.y;
        c.corners[3 * k + 2] = corners[3 * k + 2] - m.start.z;
    }
    if (bound_triangle(m, profile, c)) candidates.push_back(c);
}

// The candidates of an untilted cutter: the quadtree's boxes that overlap the move's XY box
// widened by the outer radius.
void quadtree_candidates(const move_frame& m, const drop_profile& profile, const tri_model_arrays& model,
                         std::vector<push_candidate>& candidates)
{
    const double reach = profile.outer + kBoundSlack;
    const double ex = m.start.x + m.length * m.u.x, ey = m.start.y + m.length * m.u.y;
    const int box[4] = {
        to_micrometres(std::min(m.start.x, ex) - reach), to_micrometres(std::min(m.start.y, ey) - reach),
        to_micrometres(std::max(m.start.x, ex) + reach), to_micrometres(std::max(m.start.y, ey) + reach)};
    const auto overlaps = [&box](const int* b) {
        return b[0] <= box[2] && b[2] >= box[0] && b[1] <= box[3] && b[3] >= box[1];
    };
    // No triangle lower than the tip's lowest point on the move can be met.
    const double lowest_tip = std::min(m.start.z, m.start.z + m.length * m.u.z) - kBoundSlack;
    qt_walk([&](const qt_node& node) { return overlaps(node.box) && node.top_z >= lowest_tip; },
            [&](const qt_node& node) {
                for (int k = 0; k < node.count; ++k) {
                    const qt_entry& e = model.entries[model.list[node.first + k]];
                    if (!overlaps(e.box)) continue;
                    float corners[9];
                    qt_entry_corners(model.nodes, e, corners);
                    consider(m, profile, corners, candidates);
                }
                return true;
            });
}

// The candidates of a tilted cutter: every triangle turned into the frame.
void frame_candidates(const move_frame& m, const drop_profile& profile, const tri_model_arrays& model,
                      std::vector<push_candidate>& candidates)
{
    const cutter_frame& frame = cutter_frame_block;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        qt_entry turned{};
        int box[4];
        float corners[9];
        frame_triangle(frame.origin, frame.axis, model.nodes, model.entries[t], turned, box, corners);
        consider(m, profile, corners, candidates);
    }
}

// The model and the cutter, or the status to answer without them.
bool ready(const char* caller, located_cutter& cutter, tri_model_arrays& model, int& status)
{
    if (!tri_model_held()) {
        status = kPushNoModel;
        return false;
    }
    if (!located_cutter_get(caller, cutter) || !tri_model_arrays_get(caller, model)) {
        status = kPushFailed;
        return false;
    }
    return true;
}

void to_frame(const float* point, float* turned)
{
    const linnet_params& lp = linnet_params_block;
    std::copy(point, point + 3, turned);
    if (lp.tilted_axis != 0) frame_vector(cutter_frame_block.origin, lp.tool_axis, turned);
}

void from_frame(float* vector)
{
    if (linnet_params_block.tilted_axis != 0) frame_vector_back(vector);
}

// The cutter lowered along its axis at the point: the signed distance along the axis from the
// point up to where it rests (negative below the point), with that tip and its normal. Status of
// tool_drop_z_at_xy.
void rest_along_axis(const float* point, float* rest, float* normal, double& above, int& status)
{
    tool_drop_z_at_xy(point, rest, normal, status);
    if (status != 0) return;
    const linnet_params& lp = linnet_params_block;
    const float up[3] = {0.0f, 0.0f, 1.0f};
    const float* axis = lp.tilted_axis != 0 ? lp.tool_axis : up;
    above = 0.0;
    for (int k = 0; k < 3; ++k) above += (static_cast<double>(rest[k]) - point[k]) * axis[k];
}

// A move along the tool axis is the drop: it meets where the cutter rests, unless that lies
// beyond the move, behind it, or at the start already.
void push_along_axis(const float* from, const move_frame& m, push_stop& stop, int& status)
{
    float rest[3], normal[3];
    double above = 0.0;
    int dropped = 0;
    rest_along_axis(from, rest, normal, above, dropped);
    if (dropped != 0) {
        status = dropped < 0 ? kPushFailed : kPushFree;
        return;
    }
    const double travel = -above;
    const bool at_start = travel <= 0.0;
    if (!at_start && (m.u.z > 0.0 || travel > m.length)) {
        status = kPushFree;
        return;
    }
    std::copy(at_start ? from : rest, (at_start ? from : rest) + 3, stop.tip);
    std::copy(normal, normal + 3, stop.normal);
    stop.travel = at_start ? 0.0f : static_cast<float>(travel);
    status = kPushContact;
}

// The nearest touch over the candidates, solved in the order of their lower bounds until a bound
// passes it.
void nearest_touch(const located_cutter& cutter, const tri_model_arrays& model, const move_frame& m, push_best& best)
{
    const drop_profile profile = profile_of(cutter);
    std::vector<push_candidate> candidates;
    if (linnet_params_block.tilted_axis != 0)
        frame_candidates(m, profile, model, candidates);
    else
        quadtree_candidates(m, profile, model, candidates);
    std::sort(candidates.begin(), candidates.end(),
              [](const push_candidate& x, const push_candidate& y) { return x.lower < y.lower; });
    for (const push_candidate& c : candidates) {
        if (c.lower > best.travel || best.cut_at_start) break;
        try_candidate(cutter, m, c, best);
    }
}

// The tip at the touch (the start itself when the cutter touches there) and its contact normal,
// back in machine coordinates.
void stop_at(const located_cutter& cutter, const float* from, const move_frame& m, const push_best& best,
             push_stop& stop)
{
    const double t = best.travel;
    const float tip[3] = {static_cast<float>(m.start.x + t * m.u.x), static_cast<float>(m.start.y + t * m.u.y),
                          static_cast<float>(m.start.z + t * m.u.z)};
    const float touched[3] = {static_cast<float>(m.start.x + best.contact[0]),
                              static_cast<float>(m.start.y + best.contact[1]),
                              static_cast<float>(m.start.z + best.contact[2])};
    const float no_fillet = 0.0f;
    int normal_status = 0;
    tool_contact_offset(cutter.diameter, cutter.corner, cutter.taper, no_fillet, cutter.cut_length, tip, touched,
                        stop.normal, normal_status);
    from_frame(stop.normal);
    std::copy(tip, tip + 3, stop.tip);
    from_frame(stop.tip);
    if (best.cut_at_start || t == 0.0) std::copy(from, from + 3, stop.tip);
    stop.travel = static_cast<float>(t);
}

}  // namespace

void tool_push(const char* caller, const float* from, const float* to, push_stop& stop, int& status)
{
    located_cutter cutter{};
    tri_model_arrays model;
    if (!ready(caller, cutter, model, status)) return;
    const linnet_params& lp = linnet_params_block;
    if (lp.tilted_axis != 0) frame_update(from, lp.tool_axis);
    float a[3], b[3];
    to_frame(from, a);
    to_frame(to, b);
    move_frame m{};
    m.start = {a[0], a[1], a[2]};
    const vec3d d{static_cast<double>(b[0]) - a[0], static_cast<double>(b[1]) - a[1], static_cast<double>(b[2]) - a[2]};
    m.length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (!(m.length > kShortestMove)) {
        status = kPushNoMove;
        return;
    }
    m.u = {d.x / m.length, d.y / m.length, d.z / m.length};
    m.xy = std::hypot(m.u.x, m.u.y);
    if (m.xy <= kAlongAxis) {
        push_along_axis(from, m, stop, status);
        return;
    }
    m.ax = m.u.x / m.xy;
    m.ay = m.u.y / m.xy;
    push_best best;
    nearest_touch(cutter, model, m, best);
    if (!(best.travel <= m.length)) {
        status = kPushFree;
        return;
    }
    stop_at(cutter, from, m, best, stop);
    status = kPushContact;
}

void tool_touch_at(const char* caller, const float* point, push_stop& stop, int& status)
{
    located_cutter cutter{};
    tri_model_arrays model;
    if (!ready(caller, cutter, model, status)) return;
    float rest[3], normal[3];
    double above = 0.0;
    int dropped = 0;
    rest_along_axis(point, rest, normal, above, dropped);
    if (dropped != 0 || above < 0.0) {
        status = dropped < 0 ? kPushFailed : kPushFree;
        return;
    }
    std::copy(rest, rest + 3, stop.tip);
    std::copy(normal, normal + 3, stop.normal);
    stop.travel = 0.0f;
    status = kPushContact;
}

void tool_push_level(const char* caller, const float* start, const float* end, float height, push_stop& stop,
                     int& status)
{
    const float from[3] = {start[0], start[1], height}, to[3] = {end[0], end[1], height};
    tool_push(caller, from, to, stop, status);
    if (status != kPushNoMove) return;
    tool_touch_at(caller, from, stop, status);
    if (status == kPushContact) std::copy(from, from + 3, stop.tip);
}

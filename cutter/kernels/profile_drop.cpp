// The profile of a cutter of revolution and its exact drop onto one triangle (see the header).
// Where the cutter rests on a triangle is the highest of the concave z - lift(distance from the
// axis) over the triangle's points within the outer radius: at the cutter's lowest point towards
// the plane when that point lies in the triangle (there it is the highest over the whole plane),
// else on the triangle's boundary, the highest touch of its edges.
#include "cutter/kernels/drop_profile.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The centre of the arc that rounds the flank's top edge (the edge itself when it is sharp), as
// its distance from the axis and its height over the tip.
void rounding_centre(const drop_profile& profile, double& rho, double& height)
{
    const double end = profile.flank_end();
    rho = end - profile.rounding * profile.cos_taper;
    height = profile.lift(end) + profile.rounding * profile.sin_taper;
}

// The cutter's lowest point towards a plane of upward unit normal n, as its distance from the
// axis (along the plane's rise) and the lift there: on the corner arc while the plane is no
// steeper than the flank (and the arc reaches that far), else on the rounding of the flank's top
// edge (on the edge itself when it is sharp).
void lowest_towards(const drop_profile& profile, const double* n, double& rho, double& lift)
{
    const double across = std::hypot(n[0], n[1]);
    rho = profile.flat + profile.corner * across;
    if (n[2] >= profile.sin_taper && rho <= profile.outer) {
        lift = profile.corner * (1.0 - n[2]);
        return;
    }
    double centre = 0.0, height = 0.0;
    rounding_centre(profile, centre, height);
    rho = centre + profile.rounding * across;
    lift = height - profile.rounding * n[2];
}

// The face's height where the cutter is lowest towards it, when that point lies in the triangle.
bool face_drop(const drop_profile& profile, const double* corners, const xy_edge_d* edges, double& height,
               double* contact)
{
    double n[3];
    if (!upward_normal_d(corners, corners + 3, corners + 6, n) || !(n[2] > 0.0)) return false;
    double rho = 0.0, lift = 0.0;
    lowest_towards(profile, n, rho, lift);
    const double across = std::hypot(n[0], n[1]);
    const double x = across > 0.0 ? -rho * n[0] / across : 0.0, y = across > 0.0 ? -rho * n[1] / across : 0.0;
    if (!point_in_edges_d(edges, x, y)) return false;
    contact[0] = x;
    contact[1] = y;
    contact[2] = corners[2] - (n[0] * (x - corners[0]) + n[1] * (y - corners[1])) / n[2];
    height = contact[2] - lift;
    return true;
}

}  // namespace

double drop_profile::flank_end() const { return outer - rounding * (1.0 - cos_taper); }

double drop_profile::lift(double rho) const
{
    if (rounding > 0.0 && rho > flank_end()) {
        double centre = 0.0, height = 0.0;
        rounding_centre(*this, centre, height);
        const double out = rho - centre;
        return height - std::sqrt(std::max(0.0, rounding * rounding - out * out));
    }
    const double t = rho - flat;
    if (t <= 0.0) return 0.0;
    const double arc_end = corner * cos_taper;
    if (t <= arc_end) return corner - std::sqrt(std::max(0.0, corner * corner - t * t));
    if (!(sin_taper > 0.0)) return corner;
    return corner * (1.0 - sin_taper) + (t - arc_end) * cos_taper / sin_taper;
}

double drop_profile::lift_slope(double rho) const
{
    if (rounding > 0.0 && rho > flank_end()) {
        double centre = 0.0, height = 0.0;
        rounding_centre(*this, centre, height);
        const double out = rho - centre, under = rounding * rounding - out * out;
        return under > 0.0 ? out / std::sqrt(under) : HUGE_VAL;
    }
    const double t = rho - flat;
    if (t <= 0.0) return 0.0;
    if (t < corner * cos_taper) {
        const double under = corner * corner - t * t;
        return under > 0.0 ? t / std::sqrt(under) : HUGE_VAL;
    }
    return sin_taper > 0.0 ? cos_taper / sin_taper : HUGE_VAL;
}

drop_profile bull_nose_profile(double radius, double corner) { return {radius - corner, corner, 0.0, 1.0, radius}; }

drop_profile tapered_profile(double diameter, double corner, double taper, double cut_length, double rounding)
{
    // The flank, extended down to the tip's plane, meets it at D/2: the bottom ends r tan(pi/4 -
    // a/2) short of that.
    const double flat = 0.5 * diameter - corner * std::tan(0.25 * M_PI - 0.5 * taper);
    const double sin_taper = std::sin(taper), cos_taper = std::cos(taper);
    const double flank_top = 0.5 * diameter + cut_length * std::tan(taper);
    return {flat, corner, sin_taper, cos_taper, flank_top + rounding * (1.0 - cos_taper), rounding};
}

double profile_triangle_drop_d(const drop_profile& profile, const double* corners, double* contact)
{
    xy_edge_d edges[3];
    double best = -HUGE_VAL;
    for (int k = 0; k < 3; ++k) {
        edges[k] = edge_between_d(corners + 3 * k, corners + 3 * ((k + 1) % 3));
        edge_touch_d touch;
        if (edges[k].u[0] != 0.0 || edges[k].u[1] != 0.0) {
            profile_edge_contact_d(edges[k], profile, touch);
        } else {
            // An edge standing vertical: its upper end.
            const double* top =
                corners[3 * k + 2] >= corners[3 * ((k + 1) % 3) + 2] ? corners + 3 * k : corners + 3 * ((k + 1) % 3);
            const double rho = std::hypot(top[0], top[1]);
            if (rho <= profile.outer) {
                touch.status = 0;
                touch.height = top[2] - profile.lift(rho);
                std::copy(top, top + 3, touch.contact);
            }
        }
        if (touch.status >= 0 && touch.height > best) {
            best = touch.height;
            std::copy(touch.contact, touch.contact + 3, contact);
        }
    }
    // The face counts even when every edge lies beyond the outer radius: a triangle wider than the
    // cutter holds it on its face alone.
    double height = 0.0, face_contact[3];
    if (face_drop(profile, corners, edges, height, face_contact) && height > best) {
        best = height;
        std::copy(face_contact, face_contact + 3, contact);
    }
    return best;
}

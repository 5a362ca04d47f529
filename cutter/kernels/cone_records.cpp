// Contact records and element zones of the conical contact kernel. Every stage ends by handing a
// triangle point to the record of one element, which measures the signed distance in that
// element's own way (horizontally for the cylinder, vertically for the bottom, along the normal
// for the others) and keeps the smallest; the zone tests decide which element a point belongs to.
#include "cutter/kernels/cone_contact.hpp"

namespace {

// Below this the triangle point lies on the rim or corner circle and has no direction from it.
constexpr double kOnCircle = 1.0e-9;

// Keeps the candidate when the record is empty or the candidate is strictly smaller.
void take(cone_record& record, double distance, const cone_vec& cutter_point, const cone_vec& p)
{
    if (record.empty == 0 && !(distance < record.distance)) return;
    record.empty = 0;
    record.distance = distance;
    record.cutter_point = cutter_point;
    record.triangle_point = p;
}

// unit(v), or unit(fallback) when v has no length (fallback never has none in the callers).
cone_vec unit_or(const cone_vec& v, const cone_vec& fallback)
{
    const double n = length(v);
    if (n >= kConeZero) return (1 / n) * v;
    const double f = length(fallback);
    return f >= kConeZero ? (1 / f) * fallback : cone_vec{1.0, 0.0, 0.0};
}

// The outward normal direction of the offset cone in the azimuth of the plan vector w.
cone_vec cone_normal(const cone_vec& w, double tan_a)
{
    const double h = std::sqrt(plan_squared(w));
    if (h < kConeZero) return unit_or({1.0, 0.0, -tan_a}, {1.0, 0.0, 0.0});
    return unit_or({w.x, w.y, -h * tan_a}, {1.0, 0.0, 0.0});
}

// The record of a tube about the working circle point: distance from it minus the tube radius.
void take_tube(cone_record& record, double tube, const cone_vec& p, const cone_vec& fallback)
{
    const cone_vec& f = cone_state_block.circle_point;
    const cone_vec away = p - f;
    const double gap = length(away);
    const cone_vec direction = gap < kOnCircle ? unit_or(fallback, {1.0, 0.0, 0.0}) : (1 / gap) * away;
    take(record, gap - tube, f + tube * direction, p);
}

// How far p lies outside zone cone k: its squared plan distance from the axis less the cone's
// squared radius at its height (not above 1e-10: inside).
double beyond_zone_cone(const cone_state& s, const cone_vec& p, int k)
{
    const cone_vec& apex = s.zone_apex[k];
    const double ratio = s.model.zone_ratio[k], rise = p.z - apex.z;
    return plan_squared(p - apex) - ratio * ratio * rise * rise;
}

bool inside_zone_cone(const cone_state& s, const cone_vec& p, int k) { return beyond_zone_cone(s, p, k) <= kConeZero; }

}  // namespace

void record_cylinder_contact(const cone_vec& p)
{
    const cone_state& s = cone_state_block;
    const cone_vec w = p - s.position;
    const double h = std::sqrt(plan_squared(w));
    const double r = s.model.cylinder_radius;
    const cone_vec on = h < kConeZero ? cone_vec{s.position.x + r, s.position.y, p.z}
                                      : cone_vec{s.position.x + r * w.x / h, s.position.y + r * w.y / h, p.z};
    take(cone_state_block.cylinder, h - r, on, p);
}

void record_rim_contact(const cone_vec& p)
{
    const cone_state& s = cone_state_block;
    take_tube(cone_state_block.rim, s.model.rim_tube, p, p - s.taper_top);
}

void record_cone_contact(const cone_vec& p)
{
    const cone_state& s = cone_state_block;
    const cone_vec n = cone_normal(p - s.position, s.model.tan_a);
    const double depth = dot(s.cone_apex - p, n);
    take(cone_state_block.cone, -depth, p + depth * n, p);
}

void record_torus_contact(const cone_vec& p)
{
    const cone_state& s = cone_state_block;
    take_tube(cone_state_block.torus, s.model.torus_tube, p, cone_normal(p - s.bottom_centre, s.model.tan_a));
}

void record_bottom_contact(const cone_vec& p)
{
    const cone_state& s = cone_state_block;
    take(cone_state_block.bottom, s.position.z - p.z, {p.x, p.y, s.position.z}, p);
}

void record_sphere_contact(const cone_vec& p)
{
    const cone_state& s = cone_state_block;
    const cone_vec& c = s.bottom_centre;
    const cone_vec away = p - c;
    const double gap = length(away);
    const double r = s.model.sphere_radius;
    take(cone_state_block.sphere, gap - r, gap < kConeZero ? s.position : c + (r / gap) * away, p);
}

int in_zone_cone_between(const cone_vec& p, const int& k, const double& low, const double& high)
{
    return inside_zone_cone(cone_state_block, p, k) && low - kConeZero < p.z && p.z < high + kConeZero ? 1 : 0;
}

int in_zone_cone_below(const cone_vec& p, const int& k, const double& high)
{
    return inside_zone_cone(cone_state_block, p, k) && p.z < high + kConeZero ? 1 : 0;
}

bool point_in_element_zone(const cone_vec& p, const int& element)
{
    const cone_state& s = cone_state_block;
    const double z = p.z, z0 = s.bottom_centre.z, z2 = s.corner_bisector.z, zt = s.taper_top.z;
    const double zc = s.cylinder_bisector.z, zx = s.crossing_point.z, z4 = s.crossing_apex.z;
    const double c18 = s.model.c18;
    const bool within_flat = plan_squared(p - s.position) <= c18 * c18;
    auto below = [&](int k, double high) { return in_zone_cone_below(p, k, high) != 0; };
    auto between = [&](int k, double low, double high) { return in_zone_cone_between(p, k, low, high) != 0; };
    const int sub_class = s.model.taper_class;
    const bool ball = sub_class >= kTaperBallHigh && sub_class <= kTaperBallLowest;
    if (!ball && sub_class != kTaperFlatBottom && sub_class != kTaperShort) return false;

    switch (element) {
    case kElementCylinder:
        if (sub_class == kTaperShort) {
            if (z >= z4) return true;
            if (z < zt || between(4, zx, z4)) return false;
            return !between(0, zt, zc);
        }
        return z >= zc || (zt <= z && z < zc && !between(0, zt, zc));
    case kElementRim:
        // The normal at the taper top (zone cone 1) bounds the rim and the cone; a point on it
        // belongs to both. The rim's test finds such a point on its circle where the cone's finds
        // its nearest pair elsewhere, and a contact there would be lost.
        return z <= zt && !(beyond_zone_cone(s, p, 1) < -kConeZero && z < zt + kConeZero);
    case kElementCone: return below(0, zc) && below(1, zc) && (ball || !below(2, z2)) && !below(3, z0);
    case kElementTorus: return !ball && below(3, z0) && !within_flat;
    case kElementBottom:
        if (ball) return false;
        if (sub_class == kTaperShort && (between(4, zx, z4) || between(2, z0, zx))) return true;
        return (sub_class == kTaperFlatBottom && between(2, z0, z2)) || (z <= z0 && within_flat);
    case kElementSphere: return ball && below(3, z0);
    default: return false;
    }
}

// Edge and vertex stage of the conical contact kernel, run when the face stage recorded nothing:
// each edge of the triangle against the cutter (the flat end, bull-nose and ball here, the tapered
// sub-classes in cone_edge_taper.cpp), then, for a tapered cutter, each vertex neither of whose
// edges recorded a contact inside itself.
#include "cutter/kernels/cone_contact.hpp"

namespace {

// The point of the current edge at height h (the edge not level).
cone_vec point_at_height(const cone_state& s, double h)
{
    double t = 0.0;
    return edge_at_height(s, h, t);
}

double plan_distance_squared(const cone_state& s, const cone_vec& p) { return plan_squared(p - s.position); }

// The torus record of x with its point on the corner circle.
void torus_record(const cone_vec& x)
{
    cone_state& s = cone_state_block;
    s.edge_circle_centre = s.bottom_centre;
    s.edge_circle_radius = s.model.c18;
    s.edge_point = x;
    circle_point_toward();
    record_torus_contact(x);
}

// The torus or the bottom, by the plan distance of x from the axis against the corner circle.
void torus_or_bottom(const cone_vec& x)
{
    const cone_state& s = cone_state_block;
    if (plan_distance_squared(s, x) > s.model.c18 * s.model.c18)
        torus_record(x);
    else
        record_bottom_contact(x);
}

// The part of an edge of a flat end or bull-nose lying at or below the corner centre.
void flat_edge_below_centre()
{
    cone_state& s = cone_state_block;
    const cone_vec d = s.upper - s.lower;
    const double sum = abs_sum(d), c18 = s.model.c18;
    if (sum < kConeZero) {
        torus_or_bottom(s.upper);
        return;
    }
    s.edge_circle_centre = s.bottom_centre;
    if (std::fabs(d.z) / sum < kConeZero) {
        // A level edge: its point nearest the axis, an end or the foot.
        cone_vec candidate = plan_distance_squared(s, s.lower) < plan_distance_squared(s, s.upper) ? s.lower : s.upper;
        edge_nearest_axis();
        if (s.t1 >= 0.0 && s.t1 < 1.0 && plan_distance_squared(s, s.edge_point) < plan_distance_squared(s, candidate))
            candidate = s.edge_point;
        torus_or_bottom(candidate);
        return;
    }
    edge_nearest_axis();
    if (plan_distance_squared(s, s.edge_point) >= c18 * c18 || plan_distance_squared(s, s.upper) >= c18 * c18) {
        s.edge_circle_radius = c18;
        edge_circle_nearest();
        if (s.t1 <= 0.0)
            torus_record(s.upper);
        else if (s.t1 < 1.0)
            record_torus_contact(s.edge_point);
        else
            torus_record(s.lower);
        return;
    }
    record_bottom_contact(s.upper);
}

bool in_bottom_zone(const cone_state& s, const cone_vec& x)
{
    return in_zone_cone_between(x, 0, s.bottom_centre.z, s.corner_bisector.z) != 0;
}

// The part of an edge of a flat end or bull-nose lying at or above the corner centre: the bottom
// where it lies under the 45 degree line from the corner bisector point, else the cylinder.
void flat_edge_above_centre()
{
    cone_state& s = cone_state_block;
    const cone_vec& u = s.upper;
    const cone_vec& l = s.lower;
    const double z2 = s.corner_bisector.z;
    if (abs_sum(u - l) < kConeZero || in_bottom_zone(s, u)) {
        if (in_bottom_zone(s, u))
            record_bottom_contact(u);
        else
            record_cylinder_contact(u);
        return;
    }
    record_cylinder_contact(u);
    // The lower end by its own zone: where the edge leaves the bottom's zone right at it, the
    // crossing found below can fall just outside the edge and the end would go unrecorded.
    if (in_bottom_zone(s, l))
        record_bottom_contact(l);
    else
        record_cylinder_contact(l);

    s.zone_index = 0;
    edge_zone_cone_cut();
    s.edge_circle_centre = s.bottom_centre;
    if (s.cut_count == 3) {
        if (u.z <= z2) {
            record_bottom_contact(u);
        } else if (l.z <= z2) {
            record_bottom_contact(s.corner_bisector);
        } else {
            edge_nearest_axis();
            record_cylinder_contact(s.t1 <= 0.0 ? u : s.t1 < 1.0 ? s.edge_point : l);
        }
        return;
    }
    if (s.cut_count == 2 && within_unit(s.t2) && in_bottom_zone(s, s.second_cut)) record_bottom_contact(s.second_cut);
    if ((s.cut_count == 1 || s.cut_count == 2) && within_unit(s.t1) && in_bottom_zone(s, s.first_cut))
        record_bottom_contact(s.first_cut);
    edge_nearest_axis();
    if (!within_unit(s.t1)) return;
    if (in_bottom_zone(s, s.edge_point))
        record_bottom_contact(s.edge_point);
    else
        record_cylinder_contact(s.edge_point);
}

void flat_edge_contact()
{
    cone_state& s = cone_state_block;
    const double z0 = s.bottom_centre.z;
    if (s.upper.z > z0) {
        if (s.lower.z < z0) {
            // Split at the corner centre height. An edge that moves away from the axis going up
            // comes nearest below it (when it lies outside the corner circle there).
            const cone_vec middle = point_at_height(s, z0);
            const bool away = plan_distance_squared(s, middle) > s.model.c18 * s.model.c18 &&
                              dot(middle - s.bottom_centre, s.upper - s.lower) > 0.0;
            if (!away) {
                s.lower = middle;
                flat_edge_above_centre();
                return;
            }
            s.upper = middle;
        } else {
            flat_edge_above_centre();
            return;
        }
    }
    flat_edge_below_centre();
}

// The sphere record of the edge's point nearest the ball centre.
void nearest_to_centre()
{
    const cone_state& s = cone_state_block;
    const cone_vec d = s.upper - s.lower;
    if (abs_sum(d) < kConeZero) {
        record_sphere_contact(s.upper);
        return;
    }
    const double t = dot(s.bottom_centre - s.lower, d) / dot(d, d);
    record_sphere_contact(t <= 0.0 ? s.lower : t < 1.0 ? s.lower + t * d : s.upper);
}

void ball_edge_contact()
{
    const cone_state& s = cone_state_block;
    const cone_vec& c = s.bottom_centre;
    const cone_vec d = s.upper - s.lower;
    if (s.upper.z <= c.z) {
        nearest_to_centre();
        return;
    }
    if (s.lower.z < c.z) {
        const cone_vec middle = point_at_height(s, c.z);
        if (plan_abs_sum(middle - c) < kConeZero) {
            record_cylinder_contact(middle);
            return;
        }
        if (dot(middle - c, d) > 0.0) {
            nearest_to_centre();
            return;
        }
    }
    // The cylinder at the edge's point nearest the axis in plan.
    if (abs_sum(d) < kConeZero || plan_squared(d) < kConeZero) {
        record_cylinder_contact(s.upper);
        return;
    }
    const double t = plan_dot(c - s.lower, d) / plan_squared(d);
    record_cylinder_contact(t <= 0.0 ? s.lower : t < 1.0 ? s.lower + t * d : s.upper);
}

// The sub-class whose element tests a tapered cutter takes (9 those of 8).
int taper_elements(int taper_class) { return taper_class == kTaperBallLowest ? kTaperBallLow : taper_class; }

// One vertex against the element whose zone holds it; a point in none goes to the lowest
// element (the bottom, or the sphere of a tapered ball).
void vertex_contact(const cone_vec& point, void (*lowest)(const cone_vec&))
{
    cone_state& s = cone_state_block;
    if (point_in_element_zone(point, kElementCylinder)) {
        record_cylinder_contact(point);
    } else if (point_in_element_zone(point, kElementRim)) {
        s.edge_circle_centre = s.taper_top;
        s.edge_circle_radius = s.model.c28;
        s.edge_point = point;
        circle_point_toward();
        record_rim_contact(point);
    } else if (point_in_element_zone(point, kElementCone)) {
        record_cone_contact(point);
    } else if (point_in_element_zone(point, kElementTorus)) {
        torus_record(point);
    } else {
        lowest(point);
    }
}

}  // namespace

void cone_edge_contact()
{
    cone_state& s = cone_state_block;
    s.edge_found = 0;
    switch (s.model.cutter_class) {
    case kConeFlat:
    case kConeBullNose: flat_edge_contact(); return;
    case kConeBall: ball_edge_contact(); return;
    default: break;
    }
    switch (taper_elements(s.model.taper_class)) {
    case kTaperFlatBottom: cone_edge_class5(); return;
    case kTaperShort: cone_edge_class6(); return;
    case kTaperBallHigh: cone_edge_class7(); return;
    default: cone_edge_class8(); return;
    }
}

void cone_edges_vertices()
{
    cone_state& s = cone_state_block;
    int found[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const cone_vec& first = s.triangle[k];
        const cone_vec& second = s.triangle[(k + 1) % 3];
        const bool first_higher = first.z >= second.z;
        s.upper = first_higher ? first : second;
        s.lower = first_higher ? second : first;
        cone_edge_contact();
        found[k] = s.edge_found;
    }
    if (s.model.cutter_class != kConeTapered) return;
    // Vertex k closes edge k - 1 and opens edge k.
    const int elements = taper_elements(s.model.taper_class);
    for (int k = 0; k < 3; ++k) {
        if (found[(k + 2) % 3] != 0 || found[k] != 0) continue;
        if (elements >= kTaperBallHigh)
            cone_vertex_contact78(s.triangle[k]);
        else
            cone_vertex_contact(s.triangle[k]);
    }
}

void cone_vertex_contact(const cone_vec& point) { vertex_contact(point, record_bottom_contact); }

void cone_vertex_contact78(const cone_vec& point) { vertex_contact(point, record_sphere_contact); }

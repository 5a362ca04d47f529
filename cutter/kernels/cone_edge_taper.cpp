// One edge against a tapered cutter, by sub-class: where the edge comes nearest the cutter is
// decided by its direction at the heights where the elements meet (taper top, corner centre, the
// bisector crossings), then the elements there are tried, each point taken only inside the edge
// and inside the element's zone. A test that records a point inside the edge sets edge_found, so
// cone_edges_vertices does not test that edge's vertices again.
#include "cutter/kernels/cone_contact.hpp"

namespace {

using recorder = void (*)(const cone_vec&);

bool on_axis(const cone_state& s, const cone_vec& p) { return plan_abs_sum(p - s.position) < kConeZero; }

// The plan unit of v; +x when it has none.
cone_vec plan_unit(const cone_vec& v)
{
    if (plan_abs_sum(v) < kConeZero) return {1.0, 0.0, 0.0};
    const double h = std::sqrt(plan_squared(v));
    return {v.x / h, v.y / h, 0.0};
}

// How the edge (direction d, going up) moves against the axis at x: the plan direction from the
// axis to x (absolute components summing to 1) against d; positive going away, 0 on the axis.
double away_from_axis(const cone_state& s, const cone_vec& x, const cone_vec& d)
{
    const cone_vec w = x - s.position;
    const double sum = plan_abs_sum(w);
    return sum < kConeZero ? 0.0 : plan_dot(w, d) / sum;
}

// How the edge moves against the cone's outward normal in the azimuth of w: positive leaving it.
double across_cone(const cone_state& s, const cone_vec& w, const cone_vec& d)
{
    return s.model.cos_a * plan_dot(plan_unit(w), d) - s.model.sin_a * d.z;
}

void take(const cone_vec& p, recorder record)
{
    record(p);
    cone_state_block.edge_found = 1;
}

// Takes the edge point when t1 lies on the edge and the point in the element's zone.
bool take_inside(int element, recorder record)
{
    const cone_state& s = cone_state_block;
    if (!within_unit(s.t1) || !point_in_element_zone(s.edge_point, element)) return false;
    take(s.edge_point, record);
    return true;
}

// The cylinder at the edge's point nearest the axis (measured from the axis point k) when it lies
// on the edge.
void axis_cylinder(const cone_vec& k)
{
    cone_state_block.edge_circle_centre = k;
    edge_nearest_axis();
    if (within_unit(cone_state_block.t1)) take(cone_state_block.edge_point, record_cylinder_contact);
}

// The same, only inside the cylinder's zone.
bool cylinder_test(const cone_vec& k)
{
    cone_state_block.edge_circle_centre = k;
    edge_nearest_axis();
    return take_inside(kElementCylinder, record_cylinder_contact);
}

bool cone_test()
{
    edge_cone_nearest();
    return take_inside(kElementCone, record_cone_contact);
}

bool circle_test(const cone_vec& centre, double radius, int element, recorder record)
{
    cone_state& s = cone_state_block;
    s.edge_circle_centre = centre;
    s.edge_circle_radius = radius;
    edge_circle_nearest();
    return take_inside(element, record);
}

bool torus_test()
{
    const cone_state& s = cone_state_block;
    return circle_test(s.bottom_centre, s.model.c18, kElementTorus, record_torus_contact);
}

bool rim_test()
{
    const cone_state& s = cone_state_block;
    return circle_test(s.taper_top, s.model.c28, kElementRim, record_rim_contact);
}

// The crossings of the edge with zone cone `zone` on the edge and strictly between the heights
// (1e-10 of slack) go to the record (they are not counted as found).
void record_cuts(int zone, double low, double high, recorder record)
{
    cone_state& s = cone_state_block;
    s.zone_index = zone;
    edge_zone_cone_cut();
    auto between = [&](const cone_vec& p) { return low - kConeZero < p.z && p.z < high + kConeZero; };
    if (s.cut_count == 2 && within_unit(s.t2) && between(s.second_cut)) record(s.second_cut);
    if ((s.cut_count == 1 || s.cut_count == 2) && within_unit(s.t1) && between(s.first_cut)) record(s.first_cut);
}

// An edge lying in the zone cone of the last cut meets the cone's apex when it spans its height.
void record_apex_in_cone(const cone_vec& apex, recorder record)
{
    const cone_state& s = cone_state_block;
    if (s.cut_count == 3 && s.upper.z > apex.z - kConeZero && s.lower.z < apex.z + kConeZero) record(apex);
}

// Starts the test of an edge: clears edge_found. A level edge is settled here (true): its point
// nearest the axis goes to the vertex test.
bool level_edge_settled(recorder vertex)
{
    cone_state& s = cone_state_block;
    s.edge_found = 0;
    if (std::fabs(s.upper.z - s.lower.z) >= kConeZero) return false;
    if (plan_abs_sum(s.upper - s.lower) < kConeZero) return true;
    s.edge_circle_centre = s.bottom_centre;
    edge_nearest_axis();
    if (within_unit(s.t1)) vertex(s.edge_point);
    return true;
}

// The outward normal of the cutter's side at p (corner centre height): the cone's where p lies
// under the normal at the taper top, else the direction from the rim circle (absolute
// components summing to 1).
cone_vec side_normal_at(const cone_vec& p)
{
    cone_state& s = cone_state_block;
    const cone_vec w = plan_unit(p - s.position);
    const cone_vec cone_normal{s.model.cos_a * w.x, s.model.cos_a * w.y, -s.model.sin_a};
    if (in_zone_cone_below(p, 1, s.taper_top.z) != 0) return cone_normal;
    s.edge_circle_centre = s.taper_top;
    s.edge_circle_radius = s.model.c28;
    s.edge_point = p;
    circle_point_toward();
    const cone_vec from_rim = p - s.circle_point;
    const double sum = abs_sum(from_rim);
    return sum < kConeZero ? cone_normal : (1 / sum) * from_rim;
}

// The edge's point p at height z (edge parameter t); when it lies on the axis and on the edge it
// touches the cylinder there, which is recorded (true).
bool on_axis_at_height(const cone_state& s, double z, double& t, cone_vec& p)
{
    p = edge_at_height(s, z, t);
    if (!on_axis(s, p) || !within_unit(t)) return false;
    take(p, record_cylinder_contact);
    return true;
}

// The edge at the height of the axis point k, where a zone cone over the cylinder has its apex: an
// edge on the axis there touches the cylinder; one that does not move away from the axis going up
// comes nearest it at or below k, where the cylinder takes it. True when that settled the edge.
bool cylinder_at_apex(const cone_state& s, const cone_vec& k, const cone_vec& d)
{
    double t = 0.0;
    cone_vec p;
    if (on_axis_at_height(s, k.z, t, p)) return true;
    if (away_from_axis(s, p, d) > 0.0) return false;
    if (t <= 1.0) axis_cylinder(k);
    return true;
}

// The ball at the edge's point nearest its centre.
void sphere_test()
{
    const cone_state& s = cone_state_block;
    const cone_vec d = s.upper - s.lower;
    const double t = dot(s.bottom_centre - s.lower, d) / dot(d, d);
    const cone_vec nearest = s.lower + t * d;
    if (within_unit(t) && point_in_element_zone(nearest, kElementSphere)) take(nearest, record_sphere_contact);
}

// Sub-classes 7 and 8 (tapered ball); 7 first decides the side at the corner centre height.
void tapered_ball_edge(bool side_at_centre)
{
    cone_state& s = cone_state_block;
    const cone_cutter_model& m = s.model;
    if (level_edge_settled(cone_vertex_contact78)) return;
    const cone_vec d = s.upper - s.lower;
    if (cylinder_at_apex(s, s.cylinder_bisector, d)) return;
    double t = 0.0;
    cone_vec pt;
    if (on_axis_at_height(s, s.taper_top.z, t, pt)) return;
    const cone_vec w = pt - s.position;
    const bool outside = plan_squared(w) >= m.c28 * m.c28;
    const double along = outside ? away_from_axis(s, pt, d) : across_cone(s, w, d);
    if (std::fabs(along) < kConeZero && outside && within_unit(t)) {
        take(pt, record_cylinder_contact);
        return;
    }
    if (along <= 0.0) {
        // The edge comes nearest above the taper top.
        if (t > 1.0 || cylinder_test(s.taper_top) || cone_test()) return;
        record_cuts(0, s.taper_top.z, s.cylinder_bisector.z, record_cylinder_contact);
        record_apex_in_cone(s.cylinder_bisector, record_cylinder_contact);
        return;
    }
    if (side_at_centre) {
        double tb = 0.0;
        const cone_vec pb = edge_at_height(s, s.bottom_centre.z, tb);
        if (dot(side_normal_at(pb), d) <= 0.0) {
            // The ball too: an edge that runs into the side going up at the centre height may
            // pass through the ball there, and only the ball would record it.
            if (tb <= 1.0 && !rim_test() && !cone_test()) sphere_test();
            return;
        }
    }
    if ((outside && rim_test()) || cone_test()) return;
    sphere_test();
}

}  // namespace

void cone_edge_class5()
{
    cone_state& s = cone_state_block;
    const cone_cutter_model& m = s.model;
    if (level_edge_settled(cone_vertex_contact)) return;
    const cone_vec d = s.upper - s.lower;
    // At the taper top.
    double t = 0.0;
    const cone_vec pt = edge_at_height(s, s.taper_top.z, t);
    const cone_vec w = pt - s.taper_top;
    const bool outside = plan_squared(w) >= m.c28 * m.c28;
    if (plan_abs_sum(w) < kConeZero && within_unit(t) && plan_squared(d) >= m.tan_a * m.tan_a * d.z * d.z) {
        take(pt, record_cone_contact);
        return;
    }
    bool upper = true;  // the edge comes nearest above the taper top
    if (outside) {
        const double along = plan_dot(plan_unit(w), d);
        if (std::fabs(along) >= kConeZero) {
            upper = along < 0.0;
        } else if (within_unit(t)) {
            record_cylinder_contact(pt);
            return;
        } else if (s.upper.z <= s.bottom_centre.z) {
            return;
        }
    } else {
        const double across = across_cone(s, w, d);
        if (std::fabs(across) >= kConeZero) {
            upper = across <= 0.0;
        } else if (within_unit(t)) {
            record_cone_contact(pt);
            return;
        }
    }
    // At the corner centre height.
    double tb = 0.0;
    const cone_vec pb = edge_at_height(s, s.bottom_centre.z, tb);
    const double q = plan_squared(pb - s.position) - m.c18 * m.c18;
    bool cone_side = true, inside_circle = true;
    if (q > 0.0) {
        const double across = across_cone(s, pb - s.taper_top, d);
        if (std::fabs(across) < kConeZero && within_unit(tb)) {
            record_cone_contact(pb);
            return;
        }
        cone_side = across <= 0.0;
        inside_circle = false;
    }
    if (std::fabs(q) < kConeZero && within_unit(tb)) {
        if (q > 0.0)
            record_cone_contact(pb);
        else
            record_bottom_contact(pb);
    }

    if (upper) {
        if (cylinder_test(s.taper_top) || cone_test()) return;
        record_cuts(0, s.taper_top.z, s.cylinder_bisector.z, record_cylinder_contact);
        record_apex_in_cone(s.cylinder_bisector, record_cylinder_contact);
    } else if (cone_side) {
        if (cone_test()) return;
        if (outside && !inside_circle && (torus_test() || rim_test())) return;
        record_cuts(2, s.bottom_centre.z, s.corner_bisector.z, record_cone_contact);
        record_apex_in_cone(s.corner_bisector, record_cone_contact);
    } else if (!torus_test()) {
        cone_test();
    }
}

void cone_edge_class6()
{
    cone_state& s = cone_state_block;
    const cone_cutter_model& m = s.model;
    if (level_edge_settled(cone_vertex_contact)) return;
    const cone_vec d = s.upper - s.lower;
    // At the crossing apex height: an edge that approaches the axis going up meets the cylinder.
    if (cylinder_at_apex(s, s.crossing_apex, d)) return;
    // At the crossing height.
    double tx = 0.0;
    cone_vec px;
    if (on_axis_at_height(s, s.crossing_point.z, tx, px)) return;
    if (away_from_axis(s, px, d) <= 0.0 || plan_squared(px - s.position) < m.crossing_radius * m.crossing_radius) {
        if (tx > 1.0 || cylinder_test(s.crossing_point)) return;
        record_cuts(4, s.crossing_point.z, s.crossing_apex.z, record_cylinder_contact);
        record_apex_in_cone(s.crossing_apex, record_cylinder_contact);
        return;
    }
    // At the taper top.
    double t = 0.0;
    const cone_vec pt = edge_at_height(s, s.taper_top.z, t);
    const cone_vec w = pt - s.position;
    const bool inside = plan_squared(w) < m.c28 * m.c28;
    const double along = away_from_axis(s, pt, d);
    if (within_unit(t) && (plan_squared(w) < kConeZero || (std::fabs(along) < kConeZero && !inside))) {
        take(pt, record_cylinder_contact);
        return;
    }
    const double zone2_radius = m.zone_ratio[2] * (m.h2 - m.top);
    const double across = across_cone(s, w, d);
    if (along > 0.0 && plan_squared(w) >= zone2_radius * zone2_radius && !(inside && across <= 0.0)) {
        if (std::fabs(plan_squared(w) - m.c28 * m.c28) < kConeZero && across <= 0.0 && within_unit(t)) {
            take(pt, record_cylinder_contact);
            return;
        }
        // The side at the corner centre height.
        double tb = 0.0;
        const cone_vec pb = edge_at_height(s, s.bottom_centre.z, tb);
        const double q = plan_squared(pb - s.position) - m.c18 * m.c18;
        if (q < 0.0 || dot(side_normal_at(pb), d) <= 0.0) {
            if (tb > 1.0 || (!inside && rim_test()) || cone_test()) return;
            // The corner: an edge entering the cutter there alone (a taper top below the corner
            // centre) would otherwise leave every record clear.
            if (torus_test()) return;
            record_cuts(2, s.bottom_centre.z, s.crossing_point.z, record_bottom_contact);
            return;
        }
        if (std::fabs(q) < kConeZero && within_unit(tb)) {
            take(pb, record_bottom_contact);
            return;
        }
        if (cone_test() || torus_test() || inside) return;
        rim_test();
        return;
    }
    // The edge comes nearest above the taper top.
    if (t > 1.0 || cylinder_test(s.taper_top) || cone_test()) return;
    record_cuts(2, s.bottom_centre.z, s.crossing_point.z, record_cone_contact);
    record_cuts(0, s.taper_top.z, s.crossing_point.z, record_cylinder_contact);
}

void cone_edge_class7() { tapered_ball_edge(true); }

void cone_edge_class8() { tapered_ball_edge(false); }

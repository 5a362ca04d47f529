// Face stage of the conical contact kernel: the triangle's plane against the one cutter element
// a plane meets first. When the touching point lies inside the triangle it is recorded and the
// stage answers 1, so cone_tri_distance skips the edge and vertex stage; degenerate and vertical
// triangles, and touching points outside, leave the triangle to that stage.
#include "cutter/kernels/cone_contact.hpp"

namespace {

// The triangle's plane: corner V0, edges e1, e2, the plan determinant (z of e1 x e2) and the
// downward normal n of cone_state_block (absolute components summing to 1).
struct face_plane {
    cone_vec v0, e1, e2;
    double plan_det = 0.0;
    cone_vec n;
    cone_vec plan_direction;  // plan unit of n: the direction in which a circle comes nearest

    // Positive or zero: x lies on or below the plane; negative: above it.
    double side(const cone_vec& x) const { return dot(x - v0, n); }
    bool below(const cone_vec& x) const { return side(x) >= 0.0; }

    static bool inside(double u, double v) { return u >= 0.0 && v >= 0.0 && u <= 1.0 && v <= 1.0 && u + v <= 1.0; }

    // The plane's point straight above or below x; false when there is none or it lies outside
    // the triangle.
    bool drop(const cone_vec& x, cone_vec& point) const
    {
        if (std::fabs(plan_det) < kConeZero) return false;
        const cone_vec p = x - v0;
        const double u = (p.x * e2.y - p.y * e2.x) / plan_det, v = (p.y * e1.x - p.x * e1.y) / plan_det;
        point = v0 + u * e1 + v * e2;
        return inside(u, v);
    }

    // The foot of x on the plane; false when the edges are singular or it lies outside.
    bool foot(const cone_vec& x, cone_vec& point) const
    {
        const cone_vec p = x - v0;
        const double b1 = dot(p, e1), b2 = dot(p, e2);
        const double g11 = dot(e1, e1), g12 = dot(e1, e2), g22 = dot(e2, e2);
        const double det = g11 * g22 - g12 * g12;
        if (std::fabs(det) < kConeZero) return false;
        const double u = (b1 * g22 - b2 * g12) / det, v = (b2 * g11 - b1 * g12) / det;
        point = v0 + u * e1 + v * e2;
        return inside(u, v);
    }

    // The point of the horizontal circle about the axis point centre that comes nearest the plane.
    cone_vec toward(const cone_vec& centre, double radius) const
    {
        return {centre.x + radius * plan_direction.x, centre.y + radius * plan_direction.y, centre.z};
    }

    // Where the segment from x (above) to y (on or below) meets the plane; x when it lies in it.
    cone_vec crossing(const cone_vec& x, const cone_vec& y) const
    {
        const double across = dot(x - y, n);
        return across == 0.0 ? x : x + (side(x) / across) * (y - x);
    }
};

// The current triangle's corner and edges, with the normal n (written to cone_state_block by
// plane_of_triangle) and its plan direction.
face_plane current_face()
{
    const cone_state& s = cone_state_block;
    face_plane f;
    f.v0 = s.triangle[0];
    f.e1 = s.triangle[1] - f.v0;
    f.e2 = s.triangle[2] - f.v0;
    f.plan_det = f.e1.x * f.e2.y - f.e1.y * f.e2.x;
    f.n = s.face_normal;
    f.plan_direction = {1.0, 0.0, 0.0};
    if (plan_abs_sum(f.n) >= kConeZero) {
        const double h = std::sqrt(plan_squared(f.n));
        f.plan_direction = {f.n.x / h, f.n.y / h, 0.0};
    }
    return f;
}

// The downward normal of the current triangle into cone_state_block; false for a degenerate or
// vertical triangle.
bool plane_of_triangle()
{
    cone_state& s = cone_state_block;
    const cone_vec e1 = s.triangle[1] - s.triangle[0], e2 = s.triangle[2] - s.triangle[0];
    const cone_vec normal{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const double sum = abs_sum(normal);
    if (sum < kConeZero) return false;
    cone_vec n = (1 / sum) * normal;
    if (std::fabs(n.z) < kConeZero) return false;
    if (n.z > 0.0) n = -1.0 * n;
    s.face_normal = n;
    return true;
}

int flat_or_bullnose_face(const face_plane& f)
{
    cone_state& s = cone_state_block;
    const cone_vec& bisector = s.corner_bisector;
    cone_vec point;
    if (f.below(bisector)) {
        if (!f.drop(bisector, point)) return 0;
        record_cylinder_contact(point);
        return 1;
    }
    s.circle_point = f.toward(s.bottom_centre, s.model.c18);
    if (!f.below(s.circle_point)) {
        if (!f.foot(s.circle_point, point)) return 0;
        record_torus_contact(point);
        return 1;
    }
    if (!f.foot(f.crossing(bisector, s.circle_point), point)) return 0;
    record_bottom_contact(point);
    return 1;
}

int ball_face(const face_plane& f)
{
    const cone_vec& centre = cone_state_block.bottom_centre;
    cone_vec point;
    if (f.below(centre)) {
        if (!f.drop(centre, point)) return 0;
        record_cylinder_contact(point);
        return 1;
    }
    if (!f.foot(centre, point)) return 0;
    record_sphere_contact(point);
    return 1;
}

// Whether the plane meets the corner first (it is flatter than the side) rather than the top of
// the taper.
bool meets_corner_first()
{
    const cone_state& s = cone_state_block;
    return std::fabs(s.face_normal.z) / length(s.face_normal) > s.model.sin_a;
}

void describe_face_element(const cone_vec& axis_point, const cone_vec& offset_base, double offset)
{
    cone_state& s = cone_state_block;
    s.face_axis_point = axis_point;
    s.face_offset_base = offset_base;
    s.face_circle_offset = offset;
    if (meets_corner_first()) {
        s.face_circle_centre = s.bottom_centre;
        s.face_circle_radius = s.model.c18;
        s.face_selector = kElementTorus;
    } else {
        s.face_circle_centre = s.taper_top;
        s.face_circle_radius = s.model.c28;
        s.face_selector = kElementRim;
    }
}

}  // namespace

int cone_face_contact()
{
    if (!plane_of_triangle()) return 0;
    const face_plane f = current_face();
    switch (cone_state_block.model.cutter_class) {
    case kConeFlat:
    case kConeBullNose: return flat_or_bullnose_face(f);
    case kConeBall: return ball_face(f);
    default: return cone_state_block.model.taper_class == kTaperShort ? cone_face_class6() : cone_face_class78();
    }
}

int cone_face_class6()
{
    const cone_state& s = cone_state_block;
    describe_face_element(s.crossing_apex, s.crossing_point, s.model.crossing_radius);
    return cone_face_element();
}

int cone_face_class78()
{
    // Sub-class 5 meets the same elements; its corner circle just has a radius.
    const cone_state& s = cone_state_block;
    const cone_vec& axis_point = meets_corner_first() ? s.corner_bisector : s.cylinder_bisector;
    describe_face_element(axis_point, axis_point, 0.0);
    return cone_face_element();
}

int cone_face_element()
{
    cone_state& s = cone_state_block;
    const face_plane f = current_face();
    const cone_vec& b = s.face_axis_point;
    cone_vec point;
    if (f.below(b)) {
        if (!f.drop(b, point)) return 0;
        if (point.z >= s.cylinder_bisector.z) {
            record_cylinder_contact(point);
            return 1;
        }
        if (point.z >= s.corner_bisector.z) {
            record_cone_contact(point);
            return 1;
        }
    }
    const cone_vec& base = s.face_offset_base;
    const cone_vec g = f.toward(base, s.face_circle_offset);
    if (f.below(g)) {
        s.circle_point = {g.x, g.y, s.circle_point.z};
        if (!f.foot(f.crossing(b, g), point)) return 0;
        record_cylinder_contact(point);
        return 1;
    }
    s.circle_point = f.toward(s.face_circle_centre, s.face_circle_radius);
    if (!f.below(s.circle_point)) {
        if (!f.foot(s.circle_point, point)) return 0;
        if (s.face_selector == kElementRim)
            record_rim_contact(point);
        else
            record_torus_contact(point);
        return 1;
    }
    if (!f.foot(f.crossing(g, s.circle_point), point)) return 0;
    record_cone_contact(point);
    return 1;
}

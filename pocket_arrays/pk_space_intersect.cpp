// Intersections in space: two lines through points along unit directions, and two segments with
// their closest approach, for the surface paths of the pocket engine (pocket dimension 3 and 4).
#include "pocket_arrays/pk_primitives.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cmath>
#include <utility>

void line_line_intersect3(const double* p, const double* dp, const double* q, const double* dq, double* point,
                          double& t_p, double& t_q, int& status)
{
    double w[3], length = 0.0;
    int unit = 0;
    v3subd(q, p, w);
    if (pk_is_zero_vec3(p, q)) {
        for (int k = 0; k < 3; ++k) point[k] = p[k];
        t_p = t_q = 0.0;
        status = 0;
        return;
    }
    v3untd(w, length, unit);
    double n[3];
    v3crsd(dp, w, n);
    v3untd(n, length, unit);
    if (unit != 0) {
        // q lies on the line of p.
        double from_p[3];
        v3subd(q, p, from_p);
        for (int k = 0; k < 3; ++k) point[k] = q[k];
        t_p = v3dotd(from_p, dp);
        t_q = 0.0;
        status = eqvl0d(1.0 - std::fabs(v3dotd(dp, dq))) ? -2 : 0;
        return;
    }
    if (nevl0d(v3dotd(n, dq))) {
        status = -3;
        return;
    }
    // In the frame (dp, m, n) both lines lie in the plane z = const: intersect them there.
    double m[3];
    v3crsd(n, dp, m);
    const double frame[9] = {dp[0], dp[1], dp[2], m[0], m[1], m[2], n[0], n[1], n[2]};
    double p_local[3], dp_local[3], q_local[3], dq_local[3];
    m3vecd(frame, p, p_local);
    m3vecd(frame, dp, dp_local);
    m3vecd(frame, q, q_local);
    m3vecd(frame, dq, dq_local);
    double crossing[2];
    intvvd(p_local, dp_local, q_local, dq_local, crossing, t_p, t_q, status);
    if (status != 0) return;
    v3addd(p, dp, t_p, point);
}

namespace {

constexpr double kFarEndLow = 0.9;
constexpr double kFarEndHigh = 1.1;

// One segment of elem_dist3 with its line direction and where the crossing lies along it.
struct space_segment {
    double a[3], b[3];
    double unit[3];
    double length = 0.0;
    double along = 0.0;  // distance of the crossing from a along the line
    bool exchanged = false;

    bool far_end() const
    {
        const double f = along / length;
        return f > kFarEndLow && f < kFarEndHigh;
    }
    bool inside() const { return along >= -kPocketRangeSlack && along <= length + kPocketRangeSlack; }
    // Signed distance beyond the nearer end (negative before a, positive after b), 0 inside.
    double overshoot() const
    {
        if (along < -kPocketRangeSlack) return along;
        if (along > length + kPocketRangeSlack) return along - length;
        return 0.0;
    }
    const double* end_beyond() const { return along < 0.0 ? a : b; }
    double fraction() const
    {
        const double f = along / length;
        return exchanged ? 1.0 - f : f;
    }
    void exchange()
    {
        for (int k = 0; k < 3; ++k) std::swap(a[k], b[k]);
        for (double& u : unit) u = -u;
        exchanged = !exchanged;
    }
};

bool make_segment(const double* a, const double* b, space_segment& s)
{
    for (int k = 0; k < 3; ++k) {
        s.a[k] = a[k];
        s.b[k] = b[k];
    }
    v3subd(b, a, s.unit);
    int status = 0;
    v3untd(s.unit, s.length, status);
    return status == 0 && s.length >= kPocketRangeSlack;
}

// Closest approach of the two lines; false with the status set when they give none.
bool approach(space_segment& p, space_segment& q, double* point, int& status)
{
    int line_status = 0;
    intvvd3(p.a, p.unit, q.a, q.unit, point, p.along, q.along, line_status);
    if (line_status == 0) return true;
    status = line_status == -2 || line_status == 1 ? kParallel : kNoCrossing;
    return false;
}

void put(const double* from, double* point)
{
    for (int k = 0; k < 3; ++k) point[k] = from[k];
}

// The nearest end within the point tolerance replaces the crossing.
void snap_to_end(const space_segment& p, const space_segment& q, double* point)
{
    const double* ends[4] = {p.a, p.b, q.a, q.b};
    const double* nearest = nullptr;
    double best = 0.0;
    for (const double* end : ends) {
        if (!pk_is_zero_vec3(end, point)) continue;
        const double d = distd(3, end, point);
        if (nearest == nullptr || d < best) {
            nearest = end;
            best = d;
        }
    }
    if (nearest != nullptr) put(nearest, point);
}

// A near miss beyond the end of `moved` while inside `other`: the crossing moves onto that end
// when the overshoot times the sine allows, and the other's parameter follows.
bool move_onto_end(space_segment& moved, space_segment& other, double sine, double cosine, double* point)
{
    const double over = moved.overshoot();
    if (!(over * sine < kPocketRangeSlack)) return false;
    put(moved.end_beyond(), point);
    other.along -= over * cosine;
    moved.along = moved.along < 0.0 ? 0.0 : moved.length;
    return true;
}

}  // namespace

void elem_dist3(const double* points, const double* boxes, double* point, double& t_p, double& t_q, int& status)
{
    space_segment p, q;
    if (!make_segment(points, points + 3, p)) {
        status = -1;
        return;
    }
    if (!make_segment(points + 6, points + 9, q)) {
        status = -2;
        return;
    }
    if (boxes != nullptr && !pk_box_overlap_nd(3, kPocketRangeSlack, boxes, boxes + 3, boxes + 6, boxes + 9)) {
        status = kNoCrossing;
        return;
    }
    if (!approach(p, q, point, status)) return;
    const bool far_p = p.far_end(), far_q = q.far_end();
    if (far_p) p.exchange();
    if (far_q) q.exchange();
    if ((far_p || far_q) && !approach(p, q, point, status)) return;
    snap_to_end(p, q, point);
    status = kCrossing;
    if (!(p.inside() && q.inside())) {
        const double sine = vec_cross_signed(3, p.unit, q.unit);
        const double cosine = v3dotd(p.unit, q.unit);
        bool moved = false;
        if (!p.inside() && q.inside()) {
            moved = move_onto_end(p, q, sine, cosine, point);
        } else if (p.inside() && !q.inside()) {
            moved = move_onto_end(q, p, sine, cosine, point);
        } else if (distd(3, p.end_beyond(), q.end_beyond()) < kPocketRangeSlack) {
            put(p.end_beyond(), point);
            p.along = p.along < 0.0 ? 0.0 : p.length;
            q.along = q.along < 0.0 ? 0.0 : q.length;
            moved = true;
        }
        if (!moved) {
            status = kNoCrossing;
            return;
        }
    }
    t_p = p.fraction();
    t_q = q.fraction();
}

// The cusp between two cutter positions (cusp_height). The corner cusp is worked out in the
// vertical section through the two positions: the higher cutter's axis at x = 0 with its tip at
// height e, the lower one's at x = d with its tip at 0; the cusp point C is where the two
// profiles meet, and the height is its distance from the line that touches both corner circles.
#include "clearing/surface_services/cusp_height.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_vector_s.hpp"

#include <cmath>

namespace {

// A root whose argument is at most this is taken as 0: the arguments are squared lengths of
// model size, and rounding leaves them a few 1e-7 off zero where the circles just touch.
constexpr float kRootFloor = 1.0e-6f;

float root(float value) { return value <= kRootFloor ? 0.0f : std::sqrt(value); }

struct point2 {
    float x, y;
};

// The lower crossing of two circles of radius r about u and v (the crossing on the right of the
// way from u to v).
point2 lower_crossing(point2 u, point2 v, float r)
{
    float w[2] = {v.x - u.x, v.y - u.y};
    float length = 0.0f;
    int status = 0;
    v2unit(w, length, status);
    if (status != 0) return u;
    const float half = root(r * r - length * length / 4.0f);
    return {(u.x + v.x) / 2.0f + half * w[1], (u.y + v.y) / 2.0f - half * w[0]};
}

// The cusp point of the corner profiles (see the file's head): d the horizontal distance, e the
// height difference, R the radius, f = R - r the distance of the corner centres from the axis.
point2 cusp_point(float d, float e, float radius, float corner)
{
    const float f = radius - corner;
    const point2 p1{-f, e + corner}, p1_far{f, e + corner}, p2{d - f, corner};
    if (d > f + radius) {
        const float x = d - radius;
        const float s = root(corner * corner - (x - f) * (x - f));
        return s <= e ? point2{x, e + corner - s} : lower_crossing(p1_far, p2, corner);
    }
    if (corner <= d) {
        if (corner <= e) return {d - radius, e};
        const float s = root(corner * corner - (e - corner) * (e - corner));
        return d - f - s <= f ? point2{d - f - s, e} : lower_crossing(p1_far, p2, corner);
    }
    const float s1 = root(corner * corner - d * d);
    if (e <= corner - s1) {
        const float s2 = root(corner * corner - (corner - e) * (corner - e));
        if (d - f - s2 <= f) return {d - f - s2, e};
    } else {
        const float s3 = root(corner * corner - (corner - d) * (corner - d));
        if (s3 <= e) return {d - radius, e + corner - s3};
    }
    return lower_crossing(p1, p2, corner);
}

// The corner cusp: the distance of the cusp point from the line that touches the higher cutter's
// near corner circle and the lower one's, along their centres.
float corner_cusp(float d, float e, float radius, float corner)
{
    const float f = radius - corner;
    const point2 p1{-f, e + corner}, p2{d - f, corner};
    float u[2] = {p2.x - p1.x, p2.y - p1.y};
    float length = 0.0f;
    int status = 0;
    v2unit(u, length, status);
    const float q[2] = {p1.x + corner * u[1], p1.y - corner * u[0]};
    const point2 c = cusp_point(d, e, radius, corner);
    const float cq[2] = {c.x - q[0], c.y - q[1]};
    return std::fabs(v2cros(cq, u));
}

}  // namespace

void cusp_height(float diameter, float corner, int t1, int t2, const float* a, const float* b, const float* direction,
                 float& height, int& status)
{
    status = 0;
    const float radius = diameter / 2.0f;
    const float d = dist2(a, b);
    const float e = std::fabs(a[2] - b[2]);
    if (d == 0.0f && e == 0.0f) {
        height = 0.0f;
        return;
    }
    if (!(d <= diameter)) {
        height = kCuspTooFar;
        status = -1;
        return;
    }
    const float ball = radius - root(radius * radius - d * d / 4.0f);
    if (t1 == 1 && t2 == 1) {
        height = ball;
        return;
    }
    const float corner_height = corner_cusp(d, e, radius, corner);
    // How far the step runs across the pass direction: 1 for a step straight across.
    float across[2] = {-(b[1] - a[1]), b[0] - a[0]};
    float length = 0.0f;
    int unit_status = 0;
    v2unit(across, length, unit_status);
    const float c = unit_status == 0 ? std::fabs(v2dot(across, direction)) : 0.0f;
    height = eqval(c, 1.0f) ? c * ball : c * ball + (1.0f - c) * corner_height;
}

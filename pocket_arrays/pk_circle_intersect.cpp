// Intersections of two circles and of two arcs. The arc re-fit, the loop removal and the offset
// joins meet arcs with these.
#include "pocket_arrays/pk_primitives.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"

#include <cmath>

void circle_circle_intersect(const double* c1, double r1, const double* c2, double r2, double* p1, double* p2,
                             int& count)
{
    count = 0;
    if (pk_eq_pnt2(c1, c2)) {
        count = eqvldd(r1, r2) ? -1 : 0;
        return;
    }
    // Work from the centre of the larger circle.
    const bool second_larger = r1 * r1 <= r2 * r2;
    const double* base = second_larger ? c2 : c1;
    const double* other = second_larger ? c1 : c2;
    const double big_r = std::fabs(second_larger ? r2 : r1);
    const double small_r = std::fabs(second_larger ? r1 : r2);
    const double d[2] = {other[0] - base[0], other[1] - base[1]};
    const double gap2 = d[0] * d[0] + d[1] * d[1];
    const double gap = std::sqrt(gap2);
    const double a = ((big_r * big_r - small_r * small_r) / gap2 + 1.0) * 0.5;
    const double foot[2] = {base[0] + a * d[0], base[1] + a * d[1]};
    // How far the circles reach past each other, outside and inside: both positive when they
    // cross. The half chord comes from these differences, not from a difference of squares, so
    // that it keeps its accuracy when one radius is a thousand times the other.
    const double outer = big_r + small_r - gap;
    const double inner = gap - (big_r - small_r);
    const double chord2 = outer * (big_r + small_r + gap) * inner * (gap + big_r - small_r) / (4.0 * gap2);
    const double half_chord = chord2 > 0.0 ? std::sqrt(chord2) : 0.0;
    if (outer > -kTangentHalfChord && inner > -kTangentHalfChord && half_chord < kTangentHalfChord) {
        count = 1;
        p1[0] = foot[0];
        p1[1] = foot[1];
        return;
    }
    if (!(outer > 0.0 && inner > 0.0)) return;
    const double h = half_chord / gap;
    count = 2;
    p1[0] = foot[0] + h * -d[1];
    p1[1] = foot[1] + h * d[0];
    p2[0] = foot[0] - h * -d[1];
    p2[1] = foot[1] - h * d[0];
}

void circle_circle_intersect_xy(double c1x, double c1y, double r1, double c2x, double c2y, double r2, int& count,
                                double& p1x, double& p1y, double& p2x, double& p2y)
{
    const double c1[2] = {c1x, c1y}, c2[2] = {c2x, c2y};
    double p1[2] = {0.0, 0.0}, p2[2] = {0.0, 0.0};
    circle_circle_intersect(c1, r1, c2, r2, p1, p2, count);
    p1x = p1[0];
    p1y = p1[1];
    p2x = p2[0];
    p2y = p2[1];
}

namespace {

// End-point modes of arc_arc_intersect.
constexpr int kSharedEndsMeet = 0;
constexpr int kEndsRefused = 1;
constexpr int kOtherThanStart = 2;

struct arc_points {
    double centre[2], start[2], end[2];
    explicit arc_points(const pk_arc& a) : centre{a.cx, a.cy}, start{a.sx, a.sy}, end{a.ex, a.ey} {}
};

void give(const double* p, double& x, double& y)
{
    x = p[0];
    y = p[1];
}

// Arcs on one circle meet only at a shared end: for equal directions where one ends and the
// other starts, for opposite directions at equal starts or equal ends.
bool shared_end(const pk_arc& arc1, const arc_points& a, const pk_arc& arc2, const arc_points& b, double& x, double& y)
{
    const double* candidates[2][2];
    if (arc1.direction == arc2.direction) {
        candidates[0][0] = a.start, candidates[0][1] = b.end;
        candidates[1][0] = a.end, candidates[1][1] = b.start;
    } else {
        candidates[0][0] = a.start, candidates[0][1] = b.start;
        candidates[1][0] = a.end, candidates[1][1] = b.end;
    }
    for (const auto& pair : candidates) {
        if (pk_eq_pnt2(pair[0], pair[1])) {
            give(pair[0], x, y);
            return true;
        }
    }
    return false;
}

// A circle point counts when it lies on both arcs (and, in end-point mode 1, at none of their
// ends). A point at the first arc's start that is an end of the second becomes that start.
bool on_both(int end_mode, const pk_arc& arc1, const arc_points& a, const pk_arc& arc2, const arc_points& b, double* p)
{
    if (end_mode == kEndsRefused &&
        (pk_eq_pnt2(p, a.start) || pk_eq_pnt2(p, a.end) || pk_eq_pnt2(p, b.start) || pk_eq_pnt2(p, b.end)))
        return false;
    const int on1 = pnt_on_arc(a.centre, arc1.direction, a.start, a.end, p);
    if (on1 == 0) return false;
    const int on2 = pnt_on_arc(b.centre, arc2.direction, b.start, b.end, p);
    if (on2 == 0) return false;
    if (on1 == 2 && (on2 == 2 || on2 == 3)) {
        p[0] = a.start[0];
        p[1] = a.start[1];
    }
    return true;
}

// Whether the chords from an arc's start to p1 and from its end to p2 cross: then p2 comes first
// along the arc.
bool chords_cross(const arc_points& arc, const double* p1, const double* p2)
{
    const double absent[2] = {kDirectionAbsent, 0.0};
    double x = 0.0, y = 0.0;
    int status = 0;
    seg_seg_intersect_xy(0, arc.start[0], arc.start[1], p1[0], p1[1], arc.end[0], arc.end[1], p2[0], p2[1],
                         arc.start[0], arc.start[1], p1[0], p1[1], arc.end[0], arc.end[1], p2[0], p2[1], absent, absent,
                         x, y, status);
    return status == kCrossing || status == kNearParallelCrossing;
}

// The first of two valid points along the first arc.
const double* first_along_first(int end_mode, const arc_points& a, const arc_points& b, const double* p1,
                                const double* p2)
{
    const double* points[2] = {p1, p2};
    for (int k = 0; k < 2; ++k)
        if (pk_eq_pnt2(points[k], a.start)) return end_mode == kOtherThanStart ? points[1 - k] : a.start;
    for (int k = 0; k < 2; ++k)
        if (pk_eq_pnt2(points[k], b.start)) return end_mode == kOtherThanStart ? points[1 - k] : b.start;
    for (int k = 0; k < 2; ++k)
        if (pk_eq_pnt2(points[k], a.end)) return points[1 - k];
    return chords_cross(a, p1, p2) ? p2 : p1;
}

// The first of two valid points along the second arc.
const double* first_along_second(const arc_points& b, const double* p1, const double* p2)
{
    const double* points[2] = {p1, p2};
    for (int k = 0; k < 2; ++k)
        if (pk_eq_pnt2(points[k], b.end)) return points[1 - k];
    for (int k = 0; k < 2; ++k)
        if (pk_eq_pnt2(points[k], b.start)) return b.start;
    return chords_cross(b, p1, p2) ? p2 : p1;
}

}  // namespace

void arc_arc_crossings(int choice_mode, int end_mode, const pk_arc& arc1, const pk_arc& arc2, double (*points)[2],
                       int& count, int& status)
{
    status = kNoCrossing;
    count = 0;
    const arc_points a(arc1), b(arc2);
    double p1[2] = {0.0, 0.0}, p2[2] = {0.0, 0.0};
    int circles = 0;
    circle_circle_intersect(a.centre, arc1.r, b.centre, arc2.r, p1, p2, circles);
    if (circles == -1) {
        status = kParallel;
        if (end_mode == kSharedEndsMeet && shared_end(arc1, a, arc2, b, points[0][0], points[0][1])) {
            status = kCrossing;
            count = 1;
        }
        return;
    }
    if (circles < 1) return;
    const bool valid1 = on_both(end_mode, arc1, a, arc2, b, p1);
    const bool valid2 = circles == 2 && on_both(end_mode, arc1, a, arc2, b, p2);
    if (!valid1 && !valid2) return;
    status = kCrossing;
    count = 1;
    if (valid1 != valid2) {
        give(valid1 ? p1 : p2, points[0][0], points[0][1]);
        return;
    }
    const double* first = choice_mode == 1 ? first_along_first(end_mode, a, b, p1, p2) : first_along_second(b, p1, p2);
    give(first, points[0][0], points[0][1]);
    // The other point: whichever of the two the first is not (the first may be an arc's end put
    // in its place).
    const double* other = pk_eq_pnt2(first, p1) ? p2 : p1;
    if (pk_eq_pnt2(other, first)) return;
    give(other, points[1][0], points[1][1]);
    count = 2;
}

void arc_arc_intersect(int choice_mode, int end_mode, const pk_arc& arc1, const pk_arc& arc2, double& x, double& y,
                       int& status)
{
    double points[2][2];
    int count = 0;
    arc_arc_crossings(choice_mode, end_mode, arc1, arc2, points, count, status);
    if (count > 0) give(points[0], x, y);
}

// Re-fit of an arc at a moved end point, with its junctions to neighbouring arcs moved onto the
// new circle. The short-element removal, the join clean-up and the common loops call it.
#include "pocket_arrays/pokarr_join_arc.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <cmath>

namespace {

// Radial vectors this close to opposite leave the new centre undetermined.
constexpr double kOppositeDot = -0.9995;
// End points 1.9975 radii or more apart cannot both lie on a circle of the radius.
constexpr double kWidestGap2 = 3.99;
// A junction closer than this (squared) to its candidate is moved without further tests.
constexpr double kJunctionSettled2 = 1.0e-6;

struct entry_point {
    double p[2];
};

entry_point at(const pokarr& a, int i) { return {{a.x[i], a.y[i]}}; }

void set(pokarr& a, int i, const double* p)
{
    a.x[i] = p[0];
    a.y[i] = p[1];
}

double squared(const double* p, const double* q)
{
    return (p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]);
}

// Whether an arc record has its marker at m (with its four entries inside the array).
bool arc_at(const pokarr& a, int m) { return m >= 1 && m + 3 < a.count && pk_is_marker(a.x[m]); }

// The new centre: where the circles of radius r about p1 and p2 meet, the one nearer to the old
// centre (the second on a tie). False when the circles coincide or do not meet.
bool new_centre(const double* p1, const double* p2, double r, const double* old_centre, double* centre)
{
    double q1[2], q2[2];
    int count = 0;
    circle_circle_intersect(p1, r, p2, r, q1, q2, count);
    if (count < 1) return false;
    const double* chosen = count == 1 || squared(q1, old_centre) < squared(q2, old_centre) ? q1 : q2;
    centre[0] = chosen[0];
    centre[1] = chosen[1];
    return true;
}

// Where the junction at entry j moves: the crossing of the neighbouring arc's circle (marker at
// m) with the new circle that lies within twice the tolerance of it (the nearer of two, the
// second on a tie). False when none does.
bool junction_candidate(const pokarr& a, int m, const double* centre, double r, int j, double* candidate)
{
    const double tolerance = pocket_work_block.tolerance;
    const double reach2 = 4.0 * tolerance * tolerance;
    const double neighbour_centre[2] = {a.x[m + 2], a.y[m + 2]};
    const entry_point junction = at(a, j);
    double q1[2], q2[2];
    int count = 0;
    circle_circle_intersect(neighbour_centre, a.x[m + 1], centre, r, q1, q2, count);
    if (count < 1) return false;
    const double d1 = squared(q1, junction.p);
    const double d2 = count == 2 ? squared(q2, junction.p) : d1;
    const double* nearer = count == 2 && !(d1 < d2) ? q2 : q1;
    if (!(std::fmin(d1, d2) < reach2)) return false;
    candidate[0] = nearer[0];
    candidate[1] = nearer[1];
    return true;
}

// Moves the junction at entry j onto the new circle when the neighbouring arc (marker m) allows.
bool move_junction(pokarr& a, int m, const double* centre, double r, int j)
{
    double candidate[2];
    if (!arc_at(a, m) || !junction_candidate(a, m, centre, r, j, candidate)) return false;
    set(a, j, candidate);
    return true;
}

// The marker of the arc ending at entry j (at j = 0 the arc ending at the last entry), -1 none.
int arc_ending_at(const pokarr& a, int j)
{
    const int end = j == 0 ? a.count - 1 : j;
    return arc_at(a, end - 3) ? end - 3 : -1;
}

// The marker of the arc starting at entry j (at the last entry the arc at index 1), -1 none.
int arc_starting_at(const pokarr& a, int j)
{
    const int m = j == a.count - 1 ? 1 : j + 1;
    return arc_at(a, m) ? m : -1;
}

void copy_entry(pokarr& a, int from, int to)
{
    a.x[to] = a.x[from];
    a.y[to] = a.y[from];
}

// Mode 0, junction at entry b: the candidate is kept off the following arc's far side and off
// the re-fitted arc's near side.
void move_far_junction(pokarr& a, int arc_start, int b, const double* centre, double r, const double* p1,
                       const double* p2, bool was_closed)
{
    const int m = arc_starting_at(a, b);
    double candidate[2];
    if (m < 0 || !junction_candidate(a, m, centre, r, b, candidate)) return;
    const int last = a.count - 1;
    const entry_point junction = at(a, b);
    if (squared(junction.p, candidate) > kJunctionSettled2 && b != last) {
        const int following = pk_arc_direction(a.y[m + 1]);
        const entry_point following_centre = at(a, m + 2);
        const entry_point following_end = at(a, m + 3);
        int side = 0;
        dir_in_corner(following, following_centre.p, junction.p, following_end.p, candidate, side);
        if (side == 2) {
            copy_entry(a, m + 3, b);
            return;
        }
        const int refitted = pk_arc_direction(a.y[arc_start + 2]);
        dir_in_corner(refitted, centre, p1, p2, candidate, side);
        if (side == -2) {
            copy_entry(a, arc_start, b);
            return;
        }
    }
    set(a, b, candidate);
    if (b == last && was_closed) copy_entry(a, last, 0);
}

}  // namespace

void pokarr_join_arc(int a, int b, int mode, pokarr& array)
{
    if (array.dimension != 2 || array.count < 5 || b < 0 || b >= array.count) return;
    if (mode == 1 && a == array.count - 1) a = 0;
    if (a < 0 || a + 4 > array.count - 1 || !pk_is_marker(array.x[a + 1])) return;
    const bool was_closed = pokarr_is_closed(array) != 0;
    const entry_point p1 = at(array, mode == 1 ? b : a);
    const entry_point p2 = at(array, mode == 1 ? a + 4 : b);
    const double r = array.x[a + 2];
    const entry_point old_centre = at(array, a + 3);
    double u1[2], u2[2], length = 0.0;
    int unit = 0;
    v2subd(p1.p, old_centre.p, u1);
    v2subd(p2.p, old_centre.p, u2);
    v2untd(u1, length, unit);
    v2untd(u2, length, unit);
    if (unit != 0 || v2dotd(u1, u2) <= kOppositeDot) return;
    if (squared(p1.p, p2.p) >= kWidestGap2 * r * r) return;
    double centre[2];
    if (!new_centre(p1.p, p2.p, r, old_centre.p, centre)) return;
    set(array, a + 3, centre);
    const int last = array.count - 1;
    if (mode == 0) {
        const int before = arc_ending_at(array, a);
        if (before >= 0 && move_junction(array, before, centre, r, a) && a == 0) copy_entry(array, 0, last);
        move_far_junction(array, a, b, centre, r, p1.p, p2.p, was_closed);
        return;
    }
    const int before = arc_ending_at(array, b);
    if (before >= 0 && move_junction(array, before, centre, r, b) && b == 0) copy_entry(array, 0, last);
    const int after = arc_starting_at(array, a + 4);
    if (after >= 0 && move_junction(array, after, centre, r, a + 4) && a + 4 == last) copy_entry(array, last, 0);
}

// The point-on-arc test reads the sides of a point from plain cross products where their sign is
// sure: it answers as the test on unit vectors does, over the circle points of seeded random arc
// pairs (neighbours of a loop with tangent, near-tangent and corner joins, near concentric
// circles, arcs anywhere; tiny to large radii, both senses) and over points next to the radii
// through the arcs' ends, where the signs are hardest to read.
#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_primitives.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

double cross(const double* a, const double* b) { return a[0] * b[1] - a[1] * b[0]; }
int sign_of(double v) { return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0); }

// The test with the unit vectors of all three radii from the host.
int on_arc_by_unit_vectors(const double* centre, int direction, const double* start, const double* end,
                           const double* point)
{
    const double dx = point[0] - start[0], dy = point[1] - start[1], ex = point[0] - end[0], ey = point[1] - end[1];
    if (dx * dx + dy * dy < 1e-12) return 2;
    if (ex * ex + ey * ey < 1e-12) return 3;
    double u[2] = {start[0] - centre[0], start[1] - centre[1]};
    double v[2] = {point[0] - centre[0], point[1] - centre[1]};
    double w[2] = {end[0] - centre[0], end[1] - centre[1]};
    const double chord_cross = cross(u, w);
    double length = 0.0;
    int status = 0;
    v2untd(u, length, status);
    v2untd(v, length, status);
    v2untd(w, length, status);
    const int s1 = sign_of(cross(u, v)), s2 = sign_of(cross(v, w));
    if (s1 == 0) return s2 == direction ? 1 : 0;
    if (s2 == 0) return s1 == direction ? 1 : 0;
    if (s1 == s2) return s1 == direction ? 1 : 0;
    const bool beyond_half_turn = direction == 1 ? chord_cross < 0.0 : chord_cross > 0.0;
    return beyond_half_turn ? 1 : 0;
}

double log_uniform(std::mt19937& random, double low, double high)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    return std::exp(std::log(low) + unit(random) * std::log(high / low));
}

pk_arc arc_from(double cx, double cy, double r, int direction, double from, double sweep)
{
    const double to = from + direction * sweep;
    return {cx,
            cy,
            r,
            direction,
            cx + r * std::cos(from),
            cy + r * std::sin(from),
            cx + r * std::cos(to),
            cy + r * std::sin(to)};
}

// Kinds of pair: 0 neighbours joined at any angle, 1 tangent joins tilted a little, 2 near
// concentric neighbours, 3 arcs anywhere.
void random_pair(std::mt19937& random, int kind, pk_arc& first, pk_arc& second)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double spans[] = {1.0, 100.0, 1000.0};
    const double tilts[] = {0.0, 1e-9, -1e-9, 1e-7, -1e-7, 1e-5, -1e-5, 1e-3, -1e-3};
    const double offsets[] = {0.0, 0.0, 1e-9, -1e-9, 1e-7, -1e-7};
    const double span = spans[random() % 3];
    const int d1 = random() % 2 == 0 ? 1 : -1, d2 = random() % 2 == 0 ? 1 : -1;
    const double r1 = log_uniform(random, 0.01, 5000.0), r2 = log_uniform(random, 0.01, 5000.0);
    const double sweep1 = log_uniform(random, 1e-5, 6.2), sweep2 = log_uniform(random, 1e-5, 6.2);
    first =
        arc_from(span * (2 * unit(random) - 1), span * (2 * unit(random) - 1), r1, d1, 2 * M_PI * unit(random), sweep1);
    if (kind == 3) {
        second = arc_from(first.cx + r1 * (2 * unit(random) - 1), first.cy + r1 * (2 * unit(random) - 1), r2, d2,
                          2 * M_PI * unit(random), sweep2);
        return;
    }
    // The second arc starts at the first one's end; its centre is placed from there.
    const double vx = first.ex, vy = first.ey;
    const double radial = std::atan2(vy - first.cy, vx - first.cx);
    double heading = 2 * M_PI * unit(random), r = r2;
    if (kind == 1) heading = radial + (random() % 2 == 0 ? 0.0 : M_PI) + tilts[random() % 9];
    if (kind == 2) heading = radial + M_PI + tilts[random() % 9], r = r1 + offsets[random() % 6];
    const double cx = vx + r * std::cos(heading), cy = vy + r * std::sin(heading);
    second = arc_from(cx, cy, std::hypot(vx - cx, vy - cy) + offsets[random() % 6], d2, std::atan2(vy - cy, vx - cx),
                      sweep2);
    second.sx = vx, second.sy = vy;
}

// A point next to the radius through p (of the arc's centre), turned off it by a tiny angle and
// moved along it.
void beside_radius(std::mt19937& random, const pk_arc& a, const double* p, double* out)
{
    const double turns[] = {0.0, 1e-17, -1e-17, 1e-15, -1e-15, 1e-13, -1e-13, 1e-11, -1e-11};
    const double turn = turns[random() % 9], scale = log_uniform(random, 0.5, 2.0);
    const double rx = p[0] - a.cx, ry = p[1] - a.cy;
    out[0] = a.cx + scale * (rx * std::cos(turn) - ry * std::sin(turn));
    out[1] = a.cy + scale * (rx * std::sin(turn) + ry * std::cos(turn));
}

}  // namespace

TEST(PointOnArc, PlainSignsAnswerAsUnitVectors)
{
    const unsigned seed = 20261209u;
    std::mt19937 random(seed);
    int answers[4] = {0, 0, 0, 0};
    for (int i = 0; i < 40000; ++i) {
        pk_arc arcs[2];
        random_pair(random, i % 4, arcs[0], arcs[1]);
        double points[6][2];
        int count = 0;
        const double c1[2] = {arcs[0].cx, arcs[0].cy}, c2[2] = {arcs[1].cx, arcs[1].cy};
        circle_circle_intersect(c1, arcs[0].r, c2, arcs[1].r, points[0], points[1], count);
        count = std::max(count, 0);
        for (const pk_arc& a : arcs) {
            const double start[2] = {a.sx, a.sy}, end[2] = {a.ex, a.ey};
            beside_radius(random, a, start, points[count++]);
            beside_radius(random, a, end, points[count++]);
        }
        for (int k = 0; k < count; ++k)
            for (const pk_arc& a : arcs) {
                const double centre[2] = {a.cx, a.cy}, start[2] = {a.sx, a.sy}, end[2] = {a.ex, a.ey};
                const int expected = on_arc_by_unit_vectors(centre, a.direction, start, end, points[k]);
                ASSERT_EQ(pnt_on_arc(centre, a.direction, start, end, points[k]), expected)
                    << "seed " << seed << " pair " << i << " point " << k;
                ++answers[expected];
            }
    }
    // Each answer is met often enough for the comparison to mean something.
    for (int code = 0; code < 4; ++code) EXPECT_GT(answers[code], 10000) << "code " << code;
}

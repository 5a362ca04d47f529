// The shortcuts of the intersection search give what the exact routines give: the reject of
// segments that stay off an arc's circle (near the tolerances), the shared-end crossing of two
// segments, the line crossing worked out without the host's parallel test, the search through an
// element index (with and without a grid), and the judgement of line-arc pairs that share a vertex.
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pk_vector.hpp"
#include "pocket_test_support.hpp"

#include "host/vantu_vector.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

class SearchShortcut : public PocketTest {};

constexpr double kR = 5.0;

// An arc of radius 5 about the origin from angle `from` to angle `to` in its direction.
struct test_arc {
    double from, to;
    int direction;
    double sx() const { return kR * std::cos(from); }
    double sy() const { return kR * std::sin(from); }
    double ex() const { return kR * std::cos(to); }
    double ey() const { return kR * std::sin(to); }
};

// The arc searched against the segment as a loop of one element, or the segment against the
// arc (line_searched): true when a crossing is found.
bool search_hits(const test_arc& a, double sx, double sy, double ex, double ey, bool line_searched)
{
    const double line_x[2] = {sx, ex}, line_y[2] = {sy, ey};
    const double arc_x[5] = {a.sx(), kArcMarker, kR, 0, a.ex()}, arc_y[5] = {a.sy(), 0, double(a.direction), 0, a.ey()};
    const double* x = line_searched ? arc_x : line_x;
    const double* y = line_searched ? arc_y : line_y;
    const int count = line_searched ? 5 : 2;
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(count, x, y, *table);
    const double absent[2] = {kDirectionAbsent, 0.0};
    int element = 0, group = 0, found = 0;
    double px = 0, py = 0;
    if (line_searched)
        elem_pair_intersect(1, 0, 1, 0, 0, 0, 0, 1, sx, sy, ex, ey, absent, nullptr, nullptr, x, y, count, 1, 1, 0, 0,
                            *table, element, group, px, py, found);
    else
        elem_pair_intersect(1, 0, 1, 1, 0, 0, kR, a.direction, a.sx(), a.sy(), a.ex(), a.ey(), absent, nullptr, nullptr,
                            x, y, count, 1, 1, 0, 0, *table, element, group, px, py, found);
    return found != kSearchNone;
}

// The exact line-arc intersection with the modes the search uses for that pair, behind the
// search's tolerant box test.
bool exact_hits(const test_arc& a, double sx, double sy, double ex, double ey, bool line_searched)
{
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    arc_box(0, 0, kR, a.direction, a.sx(), a.sy(), a.ex(), a.ey(), xmin, ymin, xmax, ymax);
    if (!pk_box_overlap2(xmin, ymin, xmax, ymax, std::min(sx, ex), std::min(sy, ey), std::max(sx, ex),
                         std::max(sy, ey)))
        return false;
    const double centre[2] = {0, 0}, p[2] = {sx, sy}, q[2] = {ex, ey};
    const double as[2] = {a.sx(), a.sy()}, ae[2] = {a.ex(), a.ey()};
    double points[2][2];
    int count = 0, status = 0;
    const int segment_mode = line_searched ? 2 : 1;
    seg_arc_crossings(1, segment_mode, segment_mode, 1, centre, kR, a.direction, p, q, as, ae, p, q, points, count,
                      status);
    return count > 0;
}

TEST_F(SearchShortcut, SegmentsNearAnArcAreJudgedAsTheExactRoutineJudgesThem)
{
    // Segments of length `length` along a ray at `angle`, ending `gap` off the circle (from
    // beyond it, and from inside it), and lines at height 5 + gap (tangent lines): at and around
    // the point tolerance, the end-parameter tolerance (1e-6 of the length) and the reach of the
    // rejects, on the arc, beside it and at its ends; a half turn, a quarter turn and a clockwise
    // third of a turn. Each pair is searched both ways: the arc against the segment and the
    // segment against the arc.
    const test_arc arcs[] = {{0.0, M_PI, 1}, {0.3, 0.3 + M_PI / 2, 1}, {2.5, 2.5 - 2 * M_PI / 3, -1}};
    const double gaps[] = {-2e-3, -1.1e-3, -9e-4, -1e-4, -2e-6, -9e-7, -4e-7,  -1e-7, 0.0,
                           1e-7,  4e-7,    9e-7,  2e-6,  1e-4,  9e-4,  1.1e-3, 2e-3};
    const double lengths[] = {0.5, 3.0, 1000.0};
    const double angles[] = {0.3, 0.7, 1.3, 1.8707963267948966, 2.5, 2.9, 4.0};
    int hits = 0, misses = 0;
    for (const test_arc& arc : arcs) {
        for (const double gap : gaps) {
            for (const double length : lengths) {
                for (const double angle : angles) {
                    const double ux = std::cos(angle), uy = std::sin(angle);
                    const double far = kR + gap + length, near = kR + gap, inner = std::max(near - length, 0.0);
                    const double rows[2][4] = {{far * ux, far * uy, near * ux, near * uy},
                                               {inner * ux, inner * uy, near * ux, near * uy}};
                    for (const auto& r : rows) {
                        for (const bool line_searched : {false, true}) {
                            const bool exact = exact_hits(arc, r[0], r[1], r[2], r[3], line_searched);
                            EXPECT_EQ(search_hits(arc, r[0], r[1], r[2], r[3], line_searched), exact)
                                << "arc " << arc.from << " gap " << gap << " length " << length << " angle " << angle
                                << " from " << r[0] << ", " << r[1] << " to " << r[2] << ", " << r[3]
                                << (line_searched ? " line searched" : "");
                            (exact ? hits : misses) += 1;
                        }
                    }
                }
                const double h = kR + gap;
                for (const bool line_searched : {false, true})
                    EXPECT_EQ(search_hits(arc, -length / 2, h, length / 2, h, line_searched),
                              exact_hits(arc, -length / 2, h, length / 2, h, line_searched))
                        << "arc " << arc.from << " tangent gap " << gap << " length " << length
                        << (line_searched ? " line searched" : "");
            }
        }
    }
    EXPECT_GT(hits, 100);
    EXPECT_GT(misses, 100);
}

TEST_F(SearchShortcut, SegmentsSharingAnEndMeetWhereTheGeneralRoutineMeetsThem)
{
    // The plane form settles a shared end itself; the form in the pocket's dimension (planar
    // here) always runs the general routine. Angles and lengths reach below the shortcut's limits.
    pocket_state_block.pocket_dimension = 2;
    const unsigned seed = 20261207u;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(-500.0, 500.0), turn(-M_PI, M_PI), unit(0.0, 1.0);
    const double absent[3] = {kDirectionAbsent, 0.0, 0.0};
    for (int i = 0; i < 4000; ++i) {
        const double vx = coordinate(random), vy = coordinate(random);
        const double a = turn(random);
        const double angle = i % 4 == 0 ? a * 1e-2 : a;  // every fourth pair near parallel
        const double lp = std::pow(10.0, -4.0 + 7.0 * unit(random)), lq = std::pow(10.0, -4.0 + 7.0 * unit(random));
        const double base = turn(random);
        const double p_other[3] = {vx + lp * std::cos(base), vy + lp * std::sin(base), 0.0};
        const double q_other[3] = {vx + lq * std::cos(base + angle), vy + lq * std::sin(base + angle), 0.0};
        const double v[3] = {vx, vy, 0.0};
        const double* p1 = i % 2 == 0 ? v : p_other;
        const double* p2 = i % 2 == 0 ? p_other : v;
        const double* q1 = (i / 2) % 2 == 0 ? v : q_other;
        const double* q2 = (i / 2) % 2 == 0 ? q_other : v;
        double x = 0, y = 0, point[3] = {0, 0, 0};
        int status_xy = -9, status_nd = -9;
        seg_seg_intersect_xy(0, p1[0], p1[1], p2[0], p2[1], q1[0], q1[1], q2[0], q2[1], p1[0], p1[1], p2[0], p2[1],
                             q1[0], q1[1], q2[0], q2[1], absent, absent, x, y, status_xy);
        seg_seg_intersect_nd(0, p1, p2, q1, q2, p1, p2, q1, q2, absent, absent, point, status_nd);
        ASSERT_EQ(status_xy, status_nd) << "seed " << seed << " pair " << i;
        if (status_xy == kCrossing) {
            EXPECT_EQ(x, point[0]) << "seed " << seed << " pair " << i;
            EXPECT_EQ(y, point[1]) << "seed " << seed << " pair " << i;
        }
    }
}

TEST_F(SearchShortcut, LinesMeetWhereTheHostSaysToTheBit)
{
    // Direction pairs at sines around the host's parallel threshold, of lengths from tiny to huge,
    // zero or not finite: where the shortcut answers, the host's line routine meets the lines
    // there too, to the bit; where it does not, it writes nothing.
    std::mt19937 random(20261209u);
    std::uniform_real_distribution<double> turn(-M_PI, M_PI), coordinate(-900.0, 900.0);
    const double sines[] = {0.0, 5e-11, 1e-10, 1.9e-10, 2.2e-10, 3e-10, 1e-6, 0.3, 1.0};
    const double lengths[] = {1.0, 1e-51, 1e-49, 1e-3, 7.0, 1e49, 1e51, 0.0, NAN, INFINITY};
    int answered = 0, near_threshold = 0;
    for (const double sine : sines)
        for (const double length : lengths)
            for (int row = 0; row < 8; ++row) {
                const double base = turn(random), angle = std::asin(sine) * (row % 2 == 0 ? 1.0 : -1.0);
                const double lu = row < 4 ? length : 1.0, lv = length;
                const double u[2] = {lu * std::cos(base), lu * std::sin(base)};
                const double v[2] = {lv * std::cos(base + angle), lv * std::sin(base + angle)};
                const double p[2] = {coordinate(random), coordinate(random)},
                             q[2] = {coordinate(random), coordinate(random)};
                double host[2] = {-7.0, -7.0}, host_u = -7.0, host_v = -7.0;
                double fast[2] = {-7.0, -7.0}, fast_u = -7.0, fast_v = -7.0;
                int status = -9;
                intvvd(p, u, q, v, host, host_u, host_v, status);
                const double written[4] = {fast[0], fast[1], fast_u, fast_v};
                if (!pk_lines_meet2(p, u, q, v, fast, fast_u, fast_v)) {
                    const double after[4] = {fast[0], fast[1], fast_u, fast_v};
                    EXPECT_TRUE(std::equal(written, written + 4, after)) << "sine " << sine << " length " << length;
                    continue;
                }
                ++answered;
                near_threshold += sine < 1e-9 ? 1 : 0;
                ASSERT_EQ(status, 0) << "sine " << sine << " length " << length << " row " << row;
                const double expected[4] = {host[0], host[1], host_u, host_v},
                             got[4] = {fast[0], fast[1], fast_u, fast_v};
                for (int k = 0; k < 4; ++k)
                    EXPECT_EQ(std::bit_cast<unsigned long long>(got[k]), std::bit_cast<unsigned long long>(expected[k]))
                        << "sine " << sine << " length " << length << " row " << row << " value " << k;
            }
    EXPECT_GT(answered, 150);
    EXPECT_GT(near_threshold, 10);
}

TEST_F(SearchShortcut, SegmentsApartHaveNoCrossingForTheGeneralRoutine)
{
    // A segment beside or beyond another at gaps around the reject's reach and the routine's
    // slack, at angles from parallel to square, of lengths around the reject's shortest, far from
    // the origin and near it; in both orders, both even modes, with and without directions.
    std::mt19937 random(20261209u);
    std::uniform_real_distribution<double> unit(0.0, 1.0), turn(-M_PI, M_PI);
    const double gaps[] = {0.0, 1e-7, 3e-7, 6e-7, 1.5e-6, 3e-6, 9e-5, 1.01e-4, 1.2e-4, 2e-4, 1e-2, 3.0};
    const double angles[] = {0.0, 1e-11, 1e-7, 1.1e-6, 1e-4, 0.3, 1.5707963267948966};
    const double lengths[] = {2e-6, 1.2e-5, 1.0, 700.0};
    const double origins[] = {0.0, 4.0e5, 9.0e5};
    const double given[2][3] = {{kDirectionAbsent, 0.0, 0.0}, {0.6, 0.8, 0.0}};
    int apart = 0, apart_near_reach = 0;
    for (const double gap : gaps)
        for (const double angle : angles)
            for (const double length : lengths)
                for (const double origin : origins)
                    for (int row = 0; row < 4; ++row) {
                        const double ax = origin + 10.0 * unit(random), ay = origin - 10.0 * unit(random);
                        const double base = turn(random), lp = length * (0.5 + unit(random));
                        const double ux = std::cos(base), uy = std::sin(base);
                        // q starts gap off p's line beside p (or beyond its end) and leaves it at the angle.
                        const double t = row < 2 ? unit(random) : 1.0 + gap / lp, side = row % 2 == 0 ? 1.0 : -1.0;
                        const double cx = ax + t * lp * ux - side * gap * uy, cy = ay + t * lp * uy + side * gap * ux;
                        const double w = base + side * angle, lq = length * (0.5 + unit(random));
                        const double p[4] = {ax, ay, ax + lp * ux, ay + lp * uy};
                        const double q[4] = {cx, cy, cx + lq * std::cos(w), cy + lq * std::sin(w)};
                        if (!segments_apart(p[0], p[1], p[2], p[3], q[0], q[1], q[2], q[3])) continue;
                        ++apart;
                        apart_near_reach += gap < 1.5e-4 ? 1 : 0;
                        for (int mode = 0; mode <= 2; mode += 2)
                            for (const auto& d : given)
                                for (const bool swapped : {false, true}) {
                                    const double* a = swapped ? q : p;
                                    const double* b = swapped ? p : q;
                                    double x = 0, y = 0;
                                    int status = -9;
                                    seg_seg_intersect_ends_xy(mode, a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3], d,
                                                              d, x, y, status);
                                    EXPECT_EQ(status, kNoCrossing)
                                        << "gap " << gap << " angle " << angle << " length " << length << " origin "
                                        << origin << " row " << row << " mode " << mode;
                                }
                    }
    EXPECT_GT(apart, 300);
    EXPECT_GT(apart_near_reach, 20);
}

TEST_F(SearchShortcut, IndexedSearchFindsWhatTheGroupSearchFinds)
{
    // Random closed polylines with a few arcs, of a few elements (no grid) and of many (grid
    // with wide elements): every element walked along the loop, through both entries, from its
    // first search through every continuing search after a crossing (which the indexed entry
    // may settle from what the search before it left). From seed 25 on, the line after an arc
    // leaves the arc's end across its circle (meeting the arc again or not) or along its tangent.
    // The index lists its elements by their boxes (seeds 1 to 48) or its lines along them (49 to
    // 96, the same loops): the long slanting lines of these loops span many cells.
    int crossings = 0, continued = 0;
    for (unsigned run = 1; run <= 96; ++run) {
        const unsigned seed = (run - 1) % 48 + 1;
        const bool along = run > 48;
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> coordinate(0.0, 100.0);
        const int points = seed % 2 == 0 ? 3 + static_cast<int>(seed % 7) : 40 + static_cast<int>(seed) * 3;
        std::vector<double> x, y;
        for (int i = 0; i < points; ++i) {
            x.push_back(coordinate(random));
            y.push_back(coordinate(random));
            if (i % 5 == 2) {
                // A half circle on the chord to the next point, as an arc record.
                const double nx = coordinate(random), ny = coordinate(random);
                const double cx = (x.back() + nx) / 2, cy = (y.back() + ny) / 2;
                const double r = std::hypot(nx - cx, ny - cy);
                x.insert(x.end(), {kArcMarker, r, cx, nx});
                y.insert(y.end(), {0, i % 2 == 0 ? 1.0 : -1.0, cy, ny});
                if (seed > 24) {
                    // Inwards and to either side of the diameter, or along the tangent at the end.
                    const double ux = (cx - nx) / r, uy = (cy - ny) / r, side = random() % 2 == 0 ? 1.3 : -1.3;
                    const bool tangent = random() % 3 == 0;
                    x.push_back(nx + (tangent ? 0.0 : r * ux) - side * r * uy);
                    y.push_back(ny + (tangent ? 0.0 : r * uy) + side * r * ux);
                }
            }
        }
        x.push_back(x[0]);
        y.push_back(y[0]);
        const int count = static_cast<int>(x.size());
        auto table = std::make_unique<pk_box_table>();
        pokarr_boxes(count, x.data(), y.data(), *table);
        // The lean walk entry keeps its own index: the single crossing a search leaves there is
        // read by the next search of the same walk.
        pk_elem_index index, walk_index;
        const auto build = along ? pokarr_elem_index_along : pokarr_elem_index;
        build(count, x.data(), y.data(), index);
        build(count, x.data(), y.data(), walk_index);
        const double absent[2] = {kDirectionAbsent, 0.0};
        for (int e = 1; e < count; e = pk_is_marker(x[e]) ? e + 4 : e + 1) {
            const bool arc = pk_is_marker(x[e]);
            const int end = arc ? e + 3 : e;
            const double cx = arc ? x[e + 2] : 0, cy = arc ? y[e + 2] : 0, r = arc ? x[e + 1] : 0;
            const double d = arc ? y[e + 1] : 1;
            // The walk as the loop intersection runs it: the first search (mode 10), then mode 7
            // from every crossing, starting at its element and group.
            int el[2] = {1, 1}, first_group = 1;
            double previous[2] = {x[e - 1], y[e - 1]};
            for (int step = 0; step < 12; ++step) {
                const bool continues = step > 0;
                const int mode = continues ? 10 + kOwnWalkContinues : 10;
                const int own = continues ? kOwnWalkContinues : kOwnWalk;
                int gr[2] = {e, e}, found[2] = {0, 0};
                double px[2] = {0, 0}, py[2] = {0, 0};
                pk_walk_search w{mode,      own,      first_group, arc ? 1 : 0, cx,       cy,
                                 r,         d,        x[e - 1],    y[e - 1],    x[end],   y[end],
                                 absent,    x.data(), y.data(),    x.data(),    y.data(), count,
                                 count - 1, 1,        previous[0], previous[1], el[1],    e};
                elem_walk_intersect_indexed(walk_index, *table, w);
                elem_pair_intersect(mode, own, first_group, arc ? 1 : 0, cx, cy, r, d, x[e - 1], y[e - 1], x[end],
                                    y[end], absent, x.data(), y.data(), x.data(), y.data(), count, count - 1, 1,
                                    previous[0], previous[1], *table, el[0], gr[0], px[0], py[0], found[0]);
                elem_pair_intersect_indexed(index, mode, own, first_group, arc ? 1 : 0, cx, cy, r, d, x[e - 1],
                                            y[e - 1], x[end], y[end], absent, x.data(), y.data(), x.data(), y.data(),
                                            count, count - 1, 1, previous[0], previous[1], *table, el[1], gr[1], px[1],
                                            py[1], found[1]);
                ASSERT_EQ(found[0], found[1])
                    << "seed " << seed << (along ? " along" : "") << " element " << e << " step " << step;
                ASSERT_EQ(w.found, found[1])
                    << "seed " << seed << (along ? " along" : "") << " element " << e << " step " << step;
                if (found[0] == kSearchNone) break;
                ASSERT_TRUE(w.found_element == el[1] && w.found_group == gr[1] && w.crossing_x == px[1] &&
                            w.crossing_y == py[1])
                    << "seed " << seed << (along ? " along" : "") << " element " << e << " step " << step;
                (continues ? continued : crossings) += 1;
                ASSERT_EQ(el[0], el[1]) << "seed " << seed << (along ? " along" : "") << " element " << e << " step "
                                        << step;
                ASSERT_EQ(gr[0], gr[1]) << "seed " << seed << (along ? " along" : "") << " element " << e << " step "
                                        << step;
                ASSERT_EQ(px[0], px[1]) << "seed " << seed << (along ? " along" : "") << " element " << e << " step "
                                        << step;
                ASSERT_EQ(py[0], py[1]) << "seed " << seed << (along ? " along" : "") << " element " << e << " step "
                                        << step;
                first_group = std::max(1, gr[0]);
                previous[0] = px[0], previous[1] = py[0];
            }
        }
    }
    EXPECT_GT(crossings, 50);
    EXPECT_GT(continued, 50);
}

}  // namespace

// A line and an arc sharing a vertex, as consecutive elements of a loop meet: the line from
// `line_far` to the vertex then the arc on (line first), or the arc into the vertex then the line.
struct neighbour_pair {
    double centre[2], r;
    int direction;
    double vertex[2], line_far[2], arc_far[2];
    bool line_first;
};

// Random pairs near the hard cases: the vertex on the circle or just off it, the line near the
// tangent (both sides) or at any angle, short and long lines, small and large arcs and
// coordinates.
neighbour_pair random_neighbour_pair(std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double spans[] = {1.0, 100.0, 1000.0};
    const double offsets[] = {0.0, 0.0, 0.0, 1e-9, -1e-9, 1e-7, -1e-7, 1e-5};
    const double tilts[] = {0.0, 1e-9, -1e-9, 1e-7, -1e-7, 1e-5, -1e-5, 1e-3, -1e-3};
    neighbour_pair p{};
    const double span = spans[random() % 3];
    p.centre[0] = span * (2.0 * unit(random) - 1.0), p.centre[1] = span * (2.0 * unit(random) - 1.0);
    p.r = std::exp(std::log(0.01) + unit(random) * std::log(5000.0));
    p.direction = random() % 2 == 0 ? 1 : -1;
    p.line_first = random() % 2 == 0;
    const double at = 2.0 * M_PI * unit(random);
    const double off = p.r + offsets[random() % 8];
    p.vertex[0] = p.centre[0] + off * std::cos(at), p.vertex[1] = p.centre[1] + off * std::sin(at);
    // The line leaves the vertex (towards its far end) along the tangent tilted, or at any angle.
    const double tangent = at + M_PI / 2.0 + (random() % 2 == 0 ? 0.0 : M_PI);
    const double heading = random() % 3 == 0 ? 2.0 * M_PI * unit(random) : tangent + tilts[random() % 9];
    const double length = std::exp(std::log(1e-5) + unit(random) * std::log(2e6));
    p.line_far[0] = p.vertex[0] + length * std::cos(heading), p.line_far[1] = p.vertex[1] + length * std::sin(heading);
    // The arc's other end: on past the vertex when the line comes first, before it otherwise.
    const double sweep = std::exp(std::log(1e-5) + unit(random) * std::log(6.28e5));
    const double far = at + (p.line_first ? 1.0 : -1.0) * p.direction * sweep;
    p.arc_far[0] = p.centre[0] + p.r * std::cos(far), p.arc_far[1] = p.centre[1] + p.r * std::sin(far);
    return p;
}

TEST_F(SearchShortcut, NeighbourLineArcPairsMeetAsTheExactRoutineSays)
{
    const unsigned seed = 20261208u;
    std::mt19937 random(seed);
    int judged[3] = {0, 0, 0};
    for (int i = 0; i < 40000; ++i) {
        const neighbour_pair p = random_neighbour_pair(random);
        const vertex_meeting meeting = seg_arc_vertex_meeting(p.centre, p.r, p.vertex, p.line_far, p.arc_far);
        ++judged[static_cast<int>(meeting)];
        if (meeting == vertex_meeting::unsure) continue;
        const double* seg_start = p.line_first ? p.line_far : p.vertex;
        const double* seg_end = p.line_first ? p.vertex : p.line_far;
        // The whole arc, and (arc first) the part a second look searches: from a point beside the
        // vertex on to it.
        const double at = std::atan2(p.vertex[1] - p.centre[1], p.vertex[0] - p.centre[0]) - p.direction * 1e-9;
        const double beside[2] = {p.centre[0] + p.r * std::cos(at), p.centre[1] + p.r * std::sin(at)};
        const double* arc_start = p.line_first ? p.vertex : p.arc_far;
        const double* arc_end = p.line_first ? p.arc_far : p.vertex;
        for (int part = 0; part < (p.line_first ? 1 : 2); ++part)
            for (int mode = 0; mode < 24; ++mode) {
                const int m1 = 1 + mode % 3, m2 = 1 + mode / 3 % 2, m3 = 1 + mode / 6 % 2, m4 = mode / 12;
                double points[2][2];
                int count = 0, status = 0;
                seg_arc_crossings(m1, m2, m3, m4, p.centre, p.r, p.direction, seg_start, seg_end,
                                  part == 0 ? arc_start : beside, arc_end, seg_start, seg_end, points, count, status);
                const auto where = [&] {
                    return testing::Message()
                           << "seed " << seed << " pair " << i << " mode " << mode << " part " << part;
                };
                if (meeting == vertex_meeting::at_vertex && part == 0) {
                    ASSERT_EQ(count, 1) << where();
                    ASSERT_EQ(status, kCrossing) << where();
                    ASSERT_EQ(points[0][0], p.vertex[0]) << where();
                    ASSERT_EQ(points[0][1], p.vertex[1]) << where();
                }
                for (int k = 0; k < count; ++k)
                    ASSERT_LT(std::hypot(points[k][0] - p.vertex[0], points[k][1] - p.vertex[1]), 5e-7) << where();
            }
    }
    // Each answer is given often enough for the comparison to mean something.
    EXPECT_GT(judged[static_cast<int>(vertex_meeting::at_vertex)], 4000);
    EXPECT_GT(judged[static_cast<int>(vertex_meeting::near_vertex)], 4000);
    EXPECT_GT(judged[static_cast<int>(vertex_meeting::unsure)], 1000);
}

TEST_F(SearchShortcut, AVisitListsWhatTheIndexHoldsNowFromTheLowestElementAsked)
{
    // An index keeps the list of its last visit for the next visit with the same box; rebuilt for
    // another loop, or asked to list from a lower element, it must list afresh; a list from a
    // lower element serves visits from higher up. Loops of 40 elements
    // (grid) and of 8 (no grid), a box over part of each, asked from element 1 or the middle.
    struct row {
        int points;
        int lowest_first, lowest_then;
    };
    const row rows[] = {{40, 1, 1}, {40, 20, 1}, {40, 1, 20}, {8, 1, 1}, {8, 5, 1}, {8, 1, 5}};
    const double box[4] = {20.0, 20.0, 70.0, 60.0};
    const unsigned seed = 20261208u;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coordinate(0.0, 100.0);
    auto loop = [&](int points) {
        std::vector<double> xy[2];
        for (int i = 0; i < points; ++i) xy[0].push_back(coordinate(random)), xy[1].push_back(coordinate(random));
        xy[0].push_back(xy[0][0]), xy[1].push_back(xy[1][0]);
        return std::array<std::vector<double>, 2>{xy[0], xy[1]};
    };
    // Listed from `lowest` itself, or from element 1 on, as the searches along one element list.
    auto visited = [&](pk_elem_index& index, int lowest, bool from_first = false) {
        std::vector<int> out;
        const int listed_from = from_first ? 1 : lowest;
        pk_elem_index_visit_query(index, listed_from, lowest, false, box[0], box[1], box[2], box[3], [&](int k) {
            out.push_back(k);
            return true;
        });
        return out;
    };
    for (const row& r : rows) {
        const auto first = loop(r.points), second = loop(r.points);
        const int count = static_cast<int>(second[0].size());
        // What an index built for the second loop and asked once lists.
        auto fresh = [&](int lowest) {
            pk_elem_index index;
            pokarr_elem_index(count, second[0].data(), second[1].data(), index);
            return visited(index, lowest);
        };
        pk_elem_index index;
        pokarr_elem_index(static_cast<int>(first[0].size()), first[0].data(), first[1].data(), index);
        visited(index, r.lowest_first);
        pokarr_elem_index(count, second[0].data(), second[1].data(), index);
        const std::vector<int> listed = fresh(r.lowest_then);
        EXPECT_EQ(visited(index, r.lowest_then), listed) << "seed " << seed << " points " << r.points;
        EXPECT_EQ(visited(index, r.lowest_first), fresh(r.lowest_first)) << "seed " << seed << " points " << r.points;
        for (const int lowest : {r.lowest_then, r.lowest_first, r.lowest_then})
            EXPECT_EQ(visited(index, lowest, true), fresh(lowest)) << "seed " << seed << " points " << r.points;
        EXPECT_FALSE(listed.empty()) << "seed " << seed << " points " << r.points;
    }
}

namespace {

double point_segment_distance(const double* p, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], length2 = dx * dx + dy * dy;
    const double t = length2 > 0.0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

double segments_distance(const double* a, const double* b, const double* c, const double* d)
{
    auto side = [](const double* p, const double* q, const double* r) {
        return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
    };
    if (side(a, b, c) * side(a, b, d) < 0.0 && side(c, d, a) * side(c, d, b) < 0.0) return 0.0;
    return std::min({point_segment_distance(a, c, d), point_segment_distance(b, c, d), point_segment_distance(c, a, b),
                     point_segment_distance(d, a, b)});
}

}  // namespace

TEST_F(SearchShortcut, IndexAlongTheLinesListsEveryLineNearAQueryLine)
{
    // Stars of long slanting spikes; query lines through a point within twice the grid's margin
    // of a random element, in any direction, short or across the star. Every element within the
    // margin of the query line must be listed, by the line query and by a query with its box;
    // the line query of an index along the lines lists a part of what a box index lists.
    const unsigned seed = 20261209u;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::size_t along_listed = 0, box_listed = 0;
    for (const int corners : {40, 400, 2000}) {
        std::vector<double> x, y;
        for (int k = 0; k <= corners; ++k) {
            const double a = 2.0 * M_PI * (k % corners) / corners, r = k % 2 == 0 ? 100.0 : 60.0 + 10.0 * unit(random);
            x.push_back(r * std::cos(a)), y.push_back(r * std::sin(a));
        }
        pk_elem_index along, boxes;
        pokarr_elem_index_along(corners + 1, x.data(), y.data(), along);
        pokarr_elem_index(corners + 1, x.data(), y.data(), boxes);
        std::vector<int> by_line, by_box, by_boxes;
        for (int query = 0; query < 300; ++query) {
            const int e = 1 + static_cast<int>(unit(random) * corners);
            const double t = unit(random), off = 2.0 * kElemIndexMargin * unit(random);
            const double dx = x[e] - x[e - 1], dy = y[e] - y[e - 1], length = std::hypot(dx, dy);
            const double mid[2] = {x[e - 1] + t * dx - off * dy / length, y[e - 1] + t * dy + off * dx / length};
            const double heading = 2.0 * M_PI * unit(random), reach = query % 2 == 0 ? 1.0 : 150.0 * unit(random);
            const double s[2] = {mid[0] - reach * unit(random) * std::cos(heading),
                                 mid[1] - reach * unit(random) * std::sin(heading)};
            const double f[2] = {mid[0] + reach * std::cos(heading), mid[1] + reach * std::sin(heading)};
            pk_elem_index_line_candidates(along, s[0], s[1], f[0], f[1], by_line);
            pk_elem_index_candidates(along, std::min(s[0], f[0]), std::min(s[1], f[1]), std::max(s[0], f[0]),
                                     std::max(s[1], f[1]), by_box);
            pk_elem_index_candidates(boxes, std::min(s[0], f[0]), std::min(s[1], f[1]), std::max(s[0], f[0]),
                                     std::max(s[1], f[1]), by_boxes);
            for (int k = 1; k <= corners; ++k) {
                const double a[2] = {x[k - 1], y[k - 1]}, b[2] = {x[k], y[k]};
                if (segments_distance(a, b, s, f) > kElemIndexMargin) continue;
                EXPECT_TRUE(std::binary_search(by_line.begin(), by_line.end(), k))
                    << "seed " << seed << " corners " << corners << " query " << query << " element " << k;
                EXPECT_TRUE(std::binary_search(by_box.begin(), by_box.end(), k))
                    << "seed " << seed << " corners " << corners << " query " << query << " element " << k;
            }
            EXPECT_TRUE(std::includes(by_boxes.begin(), by_boxes.end(), by_line.begin(), by_line.end()))
                << "seed " << seed << " corners " << corners << " query " << query;
            along_listed += by_line.size(), box_listed += by_boxes.size();
        }
    }
    EXPECT_LT(3 * along_listed, 2 * box_listed);
}

namespace {

// Every element the cells of a box within the grid hold and every element kept aside whose box
// meets it, once each and in increasing order: what a query with the box must list.
std::vector<int> held_by_cells(const pk_elem_index& index, const double* q)
{
    std::vector<int> held;
    for (std::size_t i = 0; i < index.wide.size(); ++i)
        if (pk_elem_index_aside_meets(index, i, q[0], q[1], q[2], q[3])) held.push_back(index.wide[i]);
    auto cell = [&](double v, double origin, int cells) {
        return static_cast<int>(std::clamp(std::floor((v - origin) / index.cell), 0.0, cells - 1.0));
    };
    const double m = kElemIndexMargin;
    for (int r = cell(q[1] - m, index.y0, index.rows); r <= cell(q[3] + m, index.y0, index.rows); ++r)
        for (int c = cell(q[0] - m, index.x0, index.columns); c <= cell(q[2] + m, index.x0, index.columns); ++c) {
            const long n = static_cast<long>(r) * index.columns + c;
            held.insert(held.end(), index.elements.begin() + index.first[n],
                        index.elements.begin() + index.first[n + 1]);
        }
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    return held;
}

}  // namespace

TEST_F(SearchShortcut, AnIndexListsEachElementOfTheCellsOnceInOrder)
{
    // Stars whose spikes run through many cells, their elements numbered far apart where the
    // loop closes, and scattered long lines (kept aside when not listed along them); boxes and
    // lines from a cell wide to across the shape. A box query lists what its cells hold; a line
    // query lists in increasing order a part of what its box lists.
    const struct {
        int corners;
        bool scattered, along;
    } rows[] = {{3000, false, true}, {3000, false, false}, {200, false, true}, {300, true, true}, {300, true, false}};
    const unsigned seed = 20261210u;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const auto& row : rows) {
        std::vector<double> x, y;
        for (int k = 0; k <= row.corners; ++k) {
            const double a = 2.0 * M_PI * (k % row.corners) / row.corners,
                         r = k % 2 == 0 ? 100.0 : 20.0 + 60.0 * unit(random);
            x.push_back(row.scattered ? 200.0 * unit(random) : r * std::cos(a));
            y.push_back(row.scattered ? 200.0 * unit(random) : r * std::sin(a));
        }
        pk_elem_index index;
        (row.along ? pokarr_elem_index_along : pokarr_elem_index)(row.corners + 1, x.data(), y.data(), index);
        std::vector<int> by_line, by_box;
        for (int query = 0; query < 400; ++query) {
            const int e = 1 + static_cast<int>(unit(random) * row.corners);
            const double reach = (query % 3 == 0 ? 80.0 : 3.0 * index.cell) * unit(random);
            const double f[2] = {x[e] + reach * (unit(random) - 0.5), y[e] + reach * (unit(random) - 0.5)};
            const double q[4] = {std::min(x[e], f[0]), std::min(y[e], f[1]), std::max(x[e], f[0]),
                                 std::max(y[e], f[1])};
            pk_elem_index_candidates(index, q[0], q[1], q[2], q[3], by_box);
            EXPECT_EQ(by_box, held_by_cells(index, q))
                << "seed " << seed << " corners " << row.corners << " query " << query;
            pk_elem_index_line_candidates(index, x[e], y[e], f[0], f[1], by_line);
            EXPECT_TRUE(std::adjacent_find(by_line.begin(), by_line.end(), std::greater_equal<>()) == by_line.end() &&
                        std::includes(by_box.begin(), by_box.end(), by_line.begin(), by_line.end()))
                << "seed " << seed << " corners " << row.corners << " query " << query;
            // Asked from an element on, both list the same without those before it.
            const int lowest = e - query % 7 * row.corners / 16;
            auto from_lowest = [lowest](std::vector<int> all) {
                std::erase_if(all, [lowest](int k) { return k < lowest; });
                return all;
            };
            std::vector<int> part;
            pk_elem_index_candidates(index, q[0], q[1], q[2], q[3], part, lowest);
            EXPECT_EQ(part, from_lowest(by_box)) << "seed " << seed << " corners " << row.corners << " query " << query;
            pk_elem_index_line_candidates(index, x[e], y[e], f[0], f[1], part, lowest);
            EXPECT_EQ(part, from_lowest(by_line))
                << "seed " << seed << " corners " << row.corners << " query " << query;
        }
    }
}

TEST_F(SearchShortcut, APatchedIndexListsWhatAFreshIndexLists)
{
    // A ring of 2,000 spikes with a half-circle arc on every tenth element; entries moved as a
    // nudge moves them, across cells, onto a line across the ring (listed aside) and back, round
    // the closing point, or so that the patch must refuse: past the index's box, a marker made,
    // too many entries. A patched index holds what one built afresh holds, every cell in the same
    // (increasing) order; a refused one is as it was. Queries asked before the patch leave their
    // marks: those after it (across the last query number on one row) list what the fresh one does.
    constexpr double kAcross = 1.0e6;  // entry moved to the far side of the ring (negated)
    struct row {
        int first, count;  // entries first .. first + count - 1 moved
        double dx, dy;
        bool patched;
        bool back;  // the move is undone: the moved loop is indexed first
    };
    const row rows[] = {
        {37, 2, 5e-4, -3e-4, true, false},    {670, 1, -3.0, -2.0, true, false}, {59, 4, 0.0, 0.2, true, false},
        {650, 1, kAcross, 0, true, false},    {650, 1, kAcross, 0, true, true},  {0, 1, 1.0, 0.0, false, false},
        {58, 1, kArcMarker, 0, false, false}, {2, 300, 0.1, 0.0, false, false},  {10, 0, 0.0, 0.0, true, false}};
    std::vector<double> x, y;
    for (int k = 0; k < 4000; ++k) {
        const double a = 2.0 * M_PI * k / 4000, r = k % 2 == 0 ? 100.0 : 70.0;
        const double px = r * std::cos(a), py = r * std::sin(a);
        if (k % 10 == 9) {  // an arc record from the last point to this one about their middle
            const double mx = 0.5 * (x.back() + px), my = 0.5 * (y.back() + py);
            x.insert(x.end(), {kArcMarker, std::hypot(px - mx, py - my), mx}), y.insert(y.end(), {0.0, 1.0, my});
        }
        x.push_back(px), y.push_back(py);
    }
    x.push_back(x[0]), y.push_back(y[0]);
    const int n = static_cast<int>(x.size());
    auto cells = [](const pk_elem_index& index) {
        std::vector<std::vector<int>> lists;
        for (std::size_t c = 0; c + 1 < index.first.size(); ++c)
            lists.emplace_back(index.elements.begin() + index.first[c], index.elements.begin() + index.first[c + 1]);
        return lists;
    };
    auto same = [&](const pk_elem_index& p, const pk_elem_index& q) {
        return std::equal(p.box, p.box + 4, q.box) && p.x0 == q.x0 && p.y0 == q.y0 && p.cell == q.cell &&
               p.columns == q.columns && p.rows == q.rows && p.wide == q.wide && p.wide_boxes == q.wide_boxes &&
               p.last_element == q.last_element && cells(p) == cells(q);
    };
    for (const row& r : rows) {
        std::vector<double> mx = x, my = y;
        for (int i = r.first; i < r.first + r.count; ++i) {
            mx[i] = r.dx == kAcross ? -mx[i] : r.dx == kArcMarker ? kArcMarker : mx[i] + r.dx;
            my[i] = r.dx == kAcross ? -my[i] : my[i] + r.dy;
            if (i == 0) mx[n - 1] = mx[0], my[n - 1] = my[0];
        }
        const auto& [old_x, old_y, new_x, new_y] = r.back ? std::tie(mx, my, x, y) : std::tie(x, y, mx, my);
        pk_elem_index patched, before, fresh;
        pokarr_elem_index_along(n, old_x.data(), old_y.data(), patched);
        pokarr_elem_index_along(n, old_x.data(), old_y.data(), before);
        pokarr_elem_index_along(n, new_x.data(), new_y.data(), fresh);
        const double boxes[][4] = {{-100, -100, 100, 100}, {60, -10, 110, 10}, {-5, 65, 5, 105}};
        std::vector<int> listed, expected;
        for (const auto& b : boxes) pk_elem_index_candidates(patched, b[0], b[1], b[2], b[3], listed);
        if (r.first == 37) patched.query = std::numeric_limits<int>::max() - 1;
        const bool done = pokarr_elem_index_patch(n, new_x.data(), new_y.data(), old_x.data(), old_y.data(), patched);
        EXPECT_EQ(done, r.patched) << "first " << r.first;
        EXPECT_TRUE(same(patched, done ? fresh : before)) << "first " << r.first;
        for (const auto& b : boxes) {
            pk_elem_index_candidates(patched, b[0], b[1], b[2], b[3], listed);
            pk_elem_index_candidates(done ? fresh : before, b[0], b[1], b[2], b[3], expected);
            EXPECT_EQ(listed, expected) << "first " << r.first << " box " << b[0];
        }
        // A line across the ring spans too many cells: it is kept aside.
        EXPECT_TRUE(r.dx != kAcross || before.wide != fresh.wide) << "first " << r.first;
    }
}

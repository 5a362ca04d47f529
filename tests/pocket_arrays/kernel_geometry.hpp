// Test support of the kernel's geometry suite: loops of named kinds made from a seed, the
// kernel's own offset path (source clean-up, restart, raw offset, clean-up), Clipper 1 as the
// independent reference, measures of regions (loop count, area, sampled Hausdorff distance) and
// a brute-force enumeration of the crossings of two loops element by element.
#pragma once

#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_lanes/lane_test_support.hpp"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace kernel_geometry {

inline constexpr double kPi = 3.14159265358979323846;
using loop = std::vector<xy>;

// ---- elements of a loop --------------------------------------------------------------------

struct element {
    bool arc = false;
    xy s{}, e{}, c{};
    double r = 0.0;
    int dir = 1;
    int index = 0;  // the entry that ends a line, the marker of an arc
};

inline std::vector<element> elements_of(const loop& l)
{
    std::vector<element> out;
    for (std::size_t i = 1; i < l.size();) {
        element el;
        el.index = static_cast<int>(i);
        el.s = l[i - 1];
        if (l[i].x > 1.0e20 && i + 3 < l.size()) {
            el.arc = true;
            el.r = l[i + 1].x;
            el.dir = l[i + 1].y < 0.0 ? -1 : 1;
            el.c = l[i + 2];
            el.e = l[i + 3];
            i += 4;
        } else {
            el.e = l[i];
            i += 1;
        }
        out.push_back(el);
    }
    return out;
}

// Sweep of an arc in its direction, in (0, 2 pi].
inline double sweep_of(const element& a)
{
    const double t0 = std::atan2(a.s.y - a.c.y, a.s.x - a.c.x);
    const double t1 = std::atan2(a.e.y - a.c.y, a.e.x - a.c.x);
    double sweep = a.dir > 0 ? t1 - t0 : t0 - t1;
    while (sweep <= 1e-12) sweep += 2.0 * kPi;
    while (sweep > 2.0 * kPi) sweep -= 2.0 * kPi;
    return sweep;
}

// Whether the point (on the arc's circle) lies within the arc's sweep.
inline bool within_sweep(const element& a, xy p, double slack = 1e-12)
{
    const double t0 = std::atan2(a.s.y - a.c.y, a.s.x - a.c.x);
    const double tp = std::atan2(p.y - a.c.y, p.x - a.c.x);
    double along = a.dir > 0 ? tp - t0 : t0 - tp;
    while (along < -slack) along += 2.0 * kPi;
    while (along > 2.0 * kPi - slack) along -= 2.0 * kPi;
    return along >= -slack && along <= sweep_of(a) + slack;
}

// Points along the loop, arcs flattened to chords whose sagitta stays below `sagitta`.
inline std::vector<xy> flatten(const loop& l, double sagitta)
{
    std::vector<xy> out;
    for (const element& el : elements_of(l)) {
        out.push_back(el.s);
        if (!el.arc) continue;
        const double sweep = sweep_of(el);
        const double step = 2.0 * std::acos(std::max(-1.0, 1.0 - sagitta / std::max(el.r, sagitta)));
        const int n = std::max(1, static_cast<int>(std::ceil(sweep / std::max(step, 1e-4))));
        const double t0 = std::atan2(el.s.y - el.c.y, el.s.x - el.c.x);
        for (int k = 1; k < n; ++k) {
            const double t = t0 + el.dir * sweep * k / n;
            out.push_back({el.c.x + el.r * std::cos(t), el.c.y + el.r * std::sin(t)});
        }
    }
    return out;
}

// ---- loops of named kinds --------------------------------------------------------------------

enum class kind { convex, star, random_walk, arc_edged, near_degenerate };
inline const char* name_of(kind k)
{
    switch (k) {
    case kind::convex: return "convex";
    case kind::star: return "star";
    case kind::random_walk: return "random-walk";
    case kind::arc_edged: return "arc-edged";
    case kind::near_degenerate: return "near-degenerate";
    }
    return "?";
}

// Closes a list of counter-clockwise vertices into a loop of lines.
inline loop closed(const std::vector<xy>& v)
{
    loop l(v);
    l.push_back(v.front());
    return l;
}

// Vertices at increasing angles with the radius each angle is given.
template <typename Radius> std::vector<xy> radial(int n, std::mt19937& rng, Radius radius)
{
    std::uniform_real_distribution<double> jitter(0.1, 0.9);
    std::vector<xy> v;
    for (int k = 0; k < n; ++k) {
        const double a = 2.0 * kPi * (k + jitter(rng)) / n;
        const double r = radius(k, a);
        v.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return v;
}

// A radius that wanders about 10: a few slow waves of random phase plus a random walk of small
// steps (pulled back) whose slope stays about `roughness` at any vertex count n.
struct wandering_radius {
    std::mt19937& rng;
    std::normal_distribution<double> step;
    double amplitude[6], phase[6];
    double walk = 0.0;
    wandering_radius(std::mt19937& g, int n, double roughness) : rng(g), step(0.0, roughness * 2.0 * kPi * 10.0 / n)
    {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int m = 0; m < 6; ++m) {
            amplitude[m] = 2.5 * unit(rng) / (m + 1);
            phase[m] = 2.0 * kPi * unit(rng);
        }
    }
    double operator()(int, double a)
    {
        walk = 0.95 * walk + step(rng);
        double r = 10.0 + walk;
        for (int m = 0; m < 6; ++m) r += amplitude[m] * std::cos((m + 2) * a + phase[m]);
        return std::clamp(r, 3.0, 17.0);
    }
};

// Points of the closed polyline v, spread evenly so that there are about n of them.
inline std::vector<xy> subdivided(const std::vector<xy>& v, int n)
{
    const int per_edge = std::max(1, n / static_cast<int>(v.size()));
    std::vector<xy> out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const xy s = v[i], t = v[(i + 1) % v.size()];
        for (int k = 0; k < per_edge; ++k)
            out.push_back({s.x + (t.x - s.x) * k / per_edge, s.y + (t.y - s.y) * k / per_edge});
    }
    return out;
}

// A counter-clockwise loop of about n vertices of the given kind, about 20 across; it may cross
// itself (make_loop draws again until it does not).
inline loop draw_loop(kind k, int n, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    switch (k) {
    case kind::convex: {
        const double ax = 8.0 + 4.0 * unit(rng), ay = 6.0 + 4.0 * unit(rng);
        std::vector<xy> v = radial(n, rng, [](int, double) { return 1.0; });
        for (xy& p : v) p = {ax * p.x, ay * p.y};
        return closed(v);
    }
    case kind::star: {
        // Up to 40 spikes, tips at 8 to 12 and valleys at 3 to 6, the rest of the vertices
        // along their sides.
        const int spikes = std::clamp(n / 2, 3, 40);
        const std::vector<xy> v = radial(
            2 * spikes, rng, [&](int i, double) { return i % 2 == 0 ? 8.0 + 4.0 * unit(rng) : 3.0 + 3.0 * unit(rng); });
        return closed(subdivided(v, n));
    }
    case kind::random_walk: return closed(radial(n, rng, wandering_radius(rng, n, 0.1)));
    case kind::arc_edged: {
        // A wandering loop whose edges are partly arcs bulging out or in by a small share of
        // the chord.
        const std::vector<xy> v = radial(n, rng, wandering_radius(rng, n, 0.5));
        loop l{v.front()};
        for (int i = 1; i <= n; ++i) {
            const xy s = v[i - 1], t = v[i % n];
            if (unit(rng) < 0.5) {
                l.push_back(t);
                continue;
            }
            const double chord = std::hypot(t.x - s.x, t.y - s.y);
            const double sag = chord * (0.05 + 0.2 * unit(rng)) * (unit(rng) < 0.5 ? 1.0 : -1.0);
            // Radius and centre of the arc through s and t with sagitta |sag| (out: sag > 0).
            const double r = (chord * chord / 4.0 + sag * sag) / (2.0 * std::fabs(sag));
            const double mx = 0.5 * (s.x + t.x), my = 0.5 * (s.y + t.y);
            const double nx = -(t.y - s.y) / chord, ny = (t.x - s.x) / chord;  // left: inside
            const double off = (r - std::fabs(sag)) * (sag > 0.0 ? 1.0 : -1.0);
            push_arc(l, r, sag > 0.0 ? 1.0 : -1.0, mx + off * nx, my + off * ny, t.x, t.y);
        }
        return l;
    }
    case kind::near_degenerate: {
        // A square of nearly collinear points with doubled points, tiny edges and a few thin
        // spikes inwards.
        std::vector<xy> v = radial(n, rng, [&](int, double a) {
            const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
            return 10.0 / std::max(c, s) + 1e-4 * unit(rng);
        });
        std::vector<xy> out;
        const double spike_share = std::min(0.1, 3.0 / n);
        for (std::size_t i = 0; i < v.size(); ++i) {
            out.push_back(v[i]);
            const double roll = unit(rng);
            if (roll < 0.05)
                out.push_back(v[i]);  // a doubled point
            else if (roll < 0.1 && i + 1 < v.size()) {
                // A tiny edge along the way.
                const double dx = v[i + 1].x - v[i].x, dy = v[i + 1].y - v[i].y, l = std::hypot(dx, dy);
                out.push_back({v[i].x + 2e-4 * dx / l, v[i].y + 2e-4 * dy / l});
            } else if (roll < 0.1 + spike_share && i + 1 < v.size()) {
                const xy m{0.5 * (v[i].x + v[i + 1].x), 0.5 * (v[i].y + v[i + 1].y)};
                const double len = 2.0 + 3.0 * unit(rng);
                const double l = std::hypot(m.x, m.y);
                out.push_back({m.x - len * m.x / l, m.y - len * m.y / l});
            }
        }
        return closed(out);
    }
    }
    return {};
}

// ---- the kernel's offset path ----------------------------------------------------------------

inline pokarr array_of(const loop& l) { return make_from(l); }

// The one-offset path of the lane engine up to loop removal: the source cleaned, restarted in
// the middle of its longest element, offset by d to the left (inwards for a counter-clockwise
// loop), and the raw offset cleaned. Status of the offset.
inline loop kernel_offset(const loop& source, double d, double w, int& status)
{
    pokarr src = array_of(source);
    pokarr_drop_short(src);
    int closed_flag = 1;
    if (src.count > 2) pokarr_drop_redundant(closed_flag, 0, src);
    pokarr_clean_joins(1, 0, w, src);
    int longest = -1;
    pokarr_longest_elem(src, longest);
    status = 0;
    double x = 0.0, y = 0.0;
    if (longest >= 1) pokarr_restart_at(src, longest, 1, 0.5, x, y, status);
    pokarr_drop_short(src);
    pokarr raw;
    pokarr_init(2, raw);
    if (status == 0) lane_offset_2d3d(kSideLeft, 1, d, src, raw, status);
    loop out;
    if (status == 0) {
        pokarr_tidy_pass2(raw);
        pokarr_split_big_arcs(raw, status);
        pokarr_drop_short(raw);
        closed_flag = 1;
        if (raw.count > 2) pokarr_drop_redundant(closed_flag, 0, raw);
        pokarr_clean_joins(1, 0, w, raw);
        out = entries_of(raw);
    }
    pokarr_free(raw);
    pokarr_free(src);
    return out;
}

// ---- Clipper 1 as the reference --------------------------------------------------------------

inline constexpr double kScale = 1.0e6;  // Clipper's integer unit: a micrometre of a millimetre

inline ClipperLib::IntPoint clipper_point(xy q)
{
    return {static_cast<ClipperLib::cInt>(std::llround(q.x * kScale)),
            static_cast<ClipperLib::cInt>(std::llround(q.y * kScale))};
}

inline ClipperLib::Path path_of(const std::vector<xy>& points)
{
    ClipperLib::Path p;
    for (const xy& q : points) p.push_back(clipper_point(q));
    if (p.size() > 1 && p.front() == p.back()) p.pop_back();
    return p;
}

// Zero-width spikes and slivers of a region (Clipper's own offsets leave such antennas where a
// loop turns back on a tiny edge) carry no area: an opening by 1e-3 removes what is thinner than
// 2e-3 before two boundaries are compared (the same rounding of sharp corners on both sides).
inline ClipperLib::Paths tidied(const ClipperLib::Paths& paths)
{
    constexpr double kOpening = 1e-3;
    ClipperLib::Paths in, out;
    ClipperLib::ClipperOffset shrink(2.0, 0.1 * kOpening * kScale);
    shrink.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    shrink.Execute(in, -kOpening * kScale);
    ClipperLib::ClipperOffset grow(2.0, 0.1 * kOpening * kScale);
    grow.AddPaths(in, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    grow.Execute(out, kOpening * kScale);
    return out;
}

// The region a raw offset bounds once its loops are removed: where it winds positively.
inline ClipperLib::Paths positive_region(const std::vector<xy>& points)
{
    ClipperLib::Clipper c;
    ClipperLib::Paths out;
    const ClipperLib::Path p = path_of(points);
    if (p.size() < 3) return out;
    c.AddPath(p, ClipperLib::ptSubject, true);
    c.Execute(ClipperLib::ctUnion, out, ClipperLib::pftPositive, ClipperLib::pftPositive);
    return tidied(out);
}

// Clipper's inward offset by d with round joins of the loop flattened to `sagitta`.
inline ClipperLib::Paths reference_offset(const loop& source, double d, double sagitta)
{
    ClipperLib::ClipperOffset co(2.0, sagitta * kScale);
    co.AddPath(path_of(flatten(source, sagitta)), ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths out;
    co.Execute(out, -d * kScale);
    return tidied(out);
}

// The loops of a region (its outer paths; an inward offset of one loop has no holes) larger than
// min_area that keep the offset distance from the source less `slack` everywhere: the pieces the
// lane engine keeps. A loop that reaches nearer to the contour (a gouge) or lies outside it is
// dropped, as the engine's piece tests drop it, and so are crumbs (the engine's area limit).
inline ClipperLib::Paths kept_loops(const ClipperLib::Paths& region, const loop& source, double d, double slack,
                                    double sagitta, double min_area)
{
    ClipperLib::ClipperOffset co(2.0, sagitta * kScale);
    co.AddPath(path_of(flatten(source, sagitta)), ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths allowed;
    co.Execute(allowed, -(d - slack) * kScale);
    ClipperLib::Paths kept;
    for (const auto& outer : region) {
        if (ClipperLib::Area(outer) / (kScale * kScale) <= min_area) continue;
        ClipperLib::Clipper c;
        ClipperLib::Paths beyond;
        c.AddPath(outer, ClipperLib::ptSubject, true);
        c.AddPaths(allowed, ClipperLib::ptClip, true);
        c.Execute(ClipperLib::ctDifference, beyond, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        double outside = 0.0;
        for (const auto& p : beyond) outside += std::fabs(ClipperLib::Area(p));
        if (outside / (kScale * kScale) < slack * slack) kept.push_back(outer);
    }
    return kept;
}

// Whether the loop is simple: its even-odd region is one piece of the loop's own area.
inline bool simple(const loop& l)
{
    const ClipperLib::Path p = path_of(flatten(l, 1e-5));
    ClipperLib::Paths pieces;
    ClipperLib::SimplifyPolygon(p, pieces, ClipperLib::pftEvenOdd);
    return pieces.size() == 1 && std::fabs(ClipperLib::Area(pieces[0]) - ClipperLib::Area(p)) < 1e-9 * kScale * kScale;
}

// A simple counter-clockwise loop of about n vertices of the given kind.
inline loop make_loop(kind k, int n, std::mt19937& rng)
{
    loop l = draw_loop(k, n, rng);
    for (int attempt = 0; attempt < 50 && !simple(l); ++attempt) l = draw_loop(k, n, rng);
    return l;
}

inline double area_of(const ClipperLib::Paths& paths)
{
    double a = 0.0;
    for (const auto& p : paths) a += ClipperLib::Area(p);
    return a / (kScale * kScale);
}

inline double perimeter_of(const ClipperLib::Paths& paths)
{
    double length = 0.0;
    for (const auto& p : paths)
        for (std::size_t i = 0; i < p.size(); ++i) {
            const auto& a = p[i];
            const auto& b = p[(i + 1) % p.size()];
            length += std::hypot(static_cast<double>(b.X - a.X), static_cast<double>(b.Y - a.Y));
        }
    return length / kScale;
}

// ---- distances between boundaries ------------------------------------------------------------

inline double segment_distance(xy p, xy a, xy b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double l2 = dx * dx + dy * dy;
    double t = l2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// The boundary segments of a region, with a bucket grid for near queries.
class boundary {
public:
    boundary(const ClipperLib::Paths& paths, double cell) : cell_(cell)
    {
        for (const auto& p : paths)
            for (std::size_t i = 0; i < p.size(); ++i) {
                const auto& a = p[i];
                const auto& b = p[(i + 1) % p.size()];
                segments_.push_back({{a.X / kScale, a.Y / kScale}, {b.X / kScale, b.Y / kScale}});
            }
        for (std::size_t k = 0; k < segments_.size(); ++k) {
            const auto& s = segments_[k];
            for (long gx = cell_of(std::min(s.a.x, s.b.x)); gx <= cell_of(std::max(s.a.x, s.b.x)); ++gx)
                for (long gy = cell_of(std::min(s.a.y, s.b.y)); gy <= cell_of(std::max(s.a.y, s.b.y)); ++gy)
                    grid_.push_back({key(gx, gy), k});
        }
        std::sort(grid_.begin(), grid_.end(), [](const auto& u, const auto& v) { return u.first < v.first; });
    }

    // Distance of p from the boundary (exact when within a cell, else by a full search).
    double distance(xy p) const
    {
        double best = 1e300;
        const long gx = cell_of(p.x), gy = cell_of(p.y);
        for (long i = gx - 1; i <= gx + 1; ++i)
            for (long j = gy - 1; j <= gy + 1; ++j) {
                auto it = std::lower_bound(grid_.begin(), grid_.end(), std::make_pair(key(i, j), std::size_t{0}),
                                           [](const auto& u, const auto& v) { return u.first < v.first; });
                for (; it != grid_.end() && it->first == key(i, j); ++it)
                    best = std::min(best, segment_distance(p, segments_[it->second].a, segments_[it->second].b));
            }
        if (best <= cell_) return best;
        for (const auto& s : segments_) best = std::min(best, segment_distance(p, s.a, s.b));
        return best;
    }

    // Vertices and edge midpoints of the boundary.
    std::vector<xy> samples() const
    {
        std::vector<xy> out;
        for (const auto& s : segments_) {
            out.push_back(s.a);
            out.push_back({0.5 * (s.a.x + s.b.x), 0.5 * (s.a.y + s.b.y)});
        }
        return out;
    }

private:
    struct segment {
        xy a, b;
    };
    long cell_of(double v) const { return static_cast<long>(std::floor(v / cell_)); }
    static long long key(long i, long j) { return (static_cast<long long>(i) << 32) ^ (j & 0xffffffffLL); }

    double cell_;
    std::vector<segment> segments_;
    std::vector<std::pair<long long, std::size_t>> grid_;
};

// The larger of the two one-sided sampled distances between the boundaries of two regions.
inline double hausdorff(const ClipperLib::Paths& a, const ClipperLib::Paths& b, double cell)
{
    const boundary ba(a, cell), bb(b, cell);
    double worst = 0.0;
    for (const xy& p : ba.samples()) worst = std::max(worst, bb.distance(p));
    for (const xy& p : bb.samples()) worst = std::max(worst, ba.distance(p));
    return worst;
}

// ---- crossings, element by element -------------------------------------------------------------

struct crossing {
    int a = 0, b = 0;  // elements of the two loops
    double x = 0.0, y = 0.0;
};

// Crossing points of two elements that lie inside both (an end counts within `slack` along).
inline std::vector<xy> element_crossings(const element& p, const element& q, double slack = 0.0)
{
    std::vector<xy> out;
    if (!p.arc && !q.arc) {
        const double ux = p.e.x - p.s.x, uy = p.e.y - p.s.y, vx = q.e.x - q.s.x, vy = q.e.y - q.s.y;
        const double den = ux * vy - uy * vx;
        if (std::fabs(den) < 1e-300) return out;
        const double t = ((q.s.x - p.s.x) * vy - (q.s.y - p.s.y) * vx) / den;
        const double u = ((q.s.x - p.s.x) * uy - (q.s.y - p.s.y) * ux) / den;
        if (t >= -slack && t <= 1.0 + slack && u >= -slack && u <= 1.0 + slack)
            out.push_back({p.s.x + t * ux, p.s.y + t * uy});
        return out;
    }
    if (p.arc && !q.arc) return element_crossings(q, p, slack);
    if (!p.arc) {
        // Line p against the circle of q.
        const double dx = p.e.x - p.s.x, dy = p.e.y - p.s.y, fx = p.s.x - q.c.x, fy = p.s.y - q.c.y;
        const double a = dx * dx + dy * dy, b = 2.0 * (fx * dx + fy * dy), c = fx * fx + fy * fy - q.r * q.r;
        const double disc = b * b - 4.0 * a * c;
        if (a <= 0.0 || disc < 0.0) return out;
        for (double sign : {-1.0, 1.0}) {
            const double t = (-b + sign * std::sqrt(disc)) / (2.0 * a);
            const xy pt{p.s.x + t * dx, p.s.y + t * dy};
            if (t >= -slack && t <= 1.0 + slack && within_sweep(q, pt, slack)) out.push_back(pt);
            if (disc == 0.0) break;
        }
        return out;
    }
    // Two circles.
    const double dx = q.c.x - p.c.x, dy = q.c.y - p.c.y, g = std::hypot(dx, dy);
    if (g <= 0.0 || g > p.r + q.r || g < std::fabs(p.r - q.r)) return out;
    const double a = (p.r * p.r - q.r * q.r + g * g) / (2.0 * g);
    const double h = std::sqrt(std::max(0.0, p.r * p.r - a * a));
    const xy m{p.c.x + a * dx / g, p.c.y + a * dy / g};
    for (double sign : {1.0, -1.0}) {
        const xy pt{m.x - sign * h * dy / g, m.y + sign * h * dx / g};
        if (within_sweep(p, pt, slack) && within_sweep(q, pt, slack)) out.push_back(pt);
        if (h == 0.0) break;
    }
    return out;
}

// Every crossing of loop a with loop b; with `self`, of a loop with itself, each pair taken once
// and neighbouring elements met only away from the vertex they share.
inline std::vector<crossing> brute_force_crossings(const loop& a, const loop& b, bool self)
{
    const std::vector<element> ea = elements_of(a), eb = elements_of(b);
    std::vector<crossing> out;
    for (std::size_t i = 0; i < ea.size(); ++i)
        for (std::size_t j = self ? i + 1 : 0; j < eb.size(); ++j) {
            const bool next = self && j == i + 1, closing = self && i == 0 && j + 1 == eb.size();
            const xy shared = next ? ea[i].e : ea[i].s;
            for (const xy& p : element_crossings(ea[i], eb[j])) {
                if ((next || closing) && std::hypot(p.x - shared.x, p.y - shared.y) < 1e-6) continue;
                out.push_back({ea[i].index, eb[j].index, p.x, p.y});
            }
        }
    return out;
}

// LUPLUP's rows of a and b (b the same array for a self search).
inline std::vector<crossing> luplup_rows(int mode, pokarr& a, const pokarr& b, int& count)
{
    static pk_box_table boxes;
    static std::vector<int> ea(kLuplupSelfRows), eb(kLuplupSelfRows);
    static std::vector<double> x(kLuplupSelfRows), y(kLuplupSelfRows);
    pokarr_get_boxes(b, boxes);
    int result = 0;
    LUPLUP(mode, a, b, boxes, ea.data(), eb.data(), x.data(), y.data(), count, result);
    std::vector<crossing> out;
    for (int i = 0; i < count; ++i) out.push_back({ea[i], eb[i], x[i], y[i]});
    return out;
}

// The crossings of `want` that no row of `got` reproduces within `reach`.
inline std::vector<crossing> unmatched(const std::vector<crossing>& want, const std::vector<crossing>& got,
                                       double reach)
{
    std::vector<crossing> out;
    std::vector<bool> used(got.size(), false);
    for (const crossing& w : want) {
        bool found = false;
        for (std::size_t k = 0; k < got.size() && !found; ++k)
            if (!used[k] && std::hypot(w.x - got[k].x, w.y - got[k].y) < reach) used[k] = found = true;
        if (!found) out.push_back(w);
    }
    return out;
}

// ---- the verdict on one inward offset ------------------------------------------------------------

inline constexpr double kSagitta = 1e-4;  // chord error of flattened arcs

struct offset_verdict {
    bool ok = false;
    std::string text;  // what was measured, for the failure message
};

// The kernel's inward offset of the source by d against Clipper's round-join offset: the same
// number of loops, the same area (within what the distance allowance sweeps along half the
// boundary, at least 1e-3 of it) and a sampled Hausdorff distance within 10 W plus the mitre
// allowance of the corner rule below 8.1 degree turns.
inline offset_verdict judge_offset(const loop& source, double d, double w)
{
    int status = 0;
    const loop offset = kernel_offset(source, d, w, status);
    const double allowance = 10.0 * w + d * (1.0 / std::cos(0.5 * std::acos(0.99)) - 1.0);
    const double min_area = 1e-3 * d * d;
    const ClipperLib::Paths ours =
        kept_loops(positive_region(flatten(offset, kSagitta)), source, d, allowance, kSagitta, min_area);
    const ClipperLib::Paths reference =
        kept_loops(reference_offset(source, d, kSagitta), source, d, allowance, kSagitta, min_area);
    const double ref_area = area_of(reference), our_area = area_of(ours);
    const std::size_t ref_loops = reference.size(), our_loops = ours.size();
    const double distance = ref_loops > 0 || our_loops > 0 ? hausdorff(ours, reference, 0.05) : 0.0;
    const double area_slack = std::max(1e-3 * ref_area, 0.5 * allowance * perimeter_of(reference));
    offset_verdict v;
    v.ok =
        status == 0 && ref_loops == our_loops && std::fabs(our_area - ref_area) <= area_slack && distance <= allowance;
    v.text = "status " + std::to_string(status) + ", loops " + std::to_string(our_loops) + " against " +
             std::to_string(ref_loops) + ", area " + std::to_string(our_area) + " against " + std::to_string(ref_area) +
             ", distance " + std::to_string(distance) + " (allowed " + std::to_string(allowance) + ")";
    return v;
}

}  // namespace kernel_geometry

// Set-up of the hatch-clearing tests: the clearing's arrays given back and its blocks put back as
// at load around every test, regions built as contour lists, the engine run on them the way
// tkpolg runs it, and an independent judge of the clearing point list against the region's true
// lines and arcs: every cut stays inside the region and every stretch of every hatch line inside
// the region is cut.
#pragma once

#include "toolpath/motion_output_support.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/contour_rings.hpp"
#include "clearing/hatch/hatch_clearing.hpp"
#include "clearing/hatch/hatch_segments.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

namespace clearing_test {

using polygon = std::vector<std::array<double, 2>>;

inline void clearing_to_load_state()
{
    int status = 0;
    CLSLNS(status);
    clrcls(1, status);
    clear_block = clear_state{};
    hatch_rings_block = hatch_rings{};
    for (int k = 0; k < kPolbufCount; ++k)
        if (polbuf_block.buffers[k].handle != kPolbufNotInitialised) polbuf_release_pol(k, kPolbufClose, status);
    polbuf_block = polbuf_state{};
    pocket_state_block = pocket_state{};
    pocket_work_block = pocket_work{};
}

inline polygon rectangle(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}
inline polygon circle(double cx, double cy, double r, int n = 48)
{
    polygon p;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * std::numbers::pi * i / n;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

// The contours as a contour list, each closed by repeating its first point.
inline std::vector<word> contour_list(const std::vector<polygon>& region)
{
    std::vector<word> list;
    for (const polygon& p : region) {
        list.push_back(static_cast<word>(p.size() + 1));
        for (std::size_t i = 0; i <= p.size(); ++i) {
            const auto& q = p[i % p.size()];
            list.push_back(real_to_word(static_cast<float>(q[0])));
            list.push_back(real_to_word(static_cast<float>(q[1])));
        }
    }
    return list;
}

struct point_of_list {
    float code, x, y;
};

inline std::vector<point_of_list> clearing_points()
{
    std::vector<point_of_list> out;
    clr_point_rewind();
    while (clr_point_end() == 0 && out.size() < 1000000) {
        point_of_list p{};
        clr_point_next(p.code, p.x, p.y);
        out.push_back(p);
    }
    return out;
}

struct engine_params {
    double angle = 0.3;
    int direction = 1;
    int linking = 1;
    int contour_link = 1;
    float side_step = 1.0f;
    float tolerance = 0.01f;
    int previous_valid = 0;  // the previous level's end point (part coordinates)
    std::array<float, 2> previous{};
};

// The engine over the region as tkpolg runs it (the region given in part coordinates); its result.
inline int run_engine(const std::vector<polygon>& region, const engine_params& e)
{
    std::vector<word> list = contour_list(region);
    const float c = static_cast<float>(std::cos(e.angle)), s = static_cast<float>(std::sin(e.angle));
    std::vector<float> ranges(2 * region.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < region.size(); ++i) {
        clr_hatch_range(c, s, 1, 1, nullptr, e.side_step, &list[at], ranges[2 * i], ranges[2 * i + 1]);
        at += 1 + 2 * static_cast<std::size_t>(list[at]);
    }
    int m = 0;
    merge_ranges(static_cast<int>(region.size()), ranges.data(), m);
    float previous[2] = {0.0f, 0.0f};
    hatch_turn(c, s, e.previous[0], e.previous[1], previous[0], previous[1]);
    set_clear_params(e.direction, e.linking, e.side_step, e.tolerance, c, s, previous, e.previous_valid,
                     e.contour_link);
    return clear_engine(list.data(), ranges.data(), m, static_cast<int>(region.size()));
}

// ---- the judge --------------------------------------------------------------------------------
// The judge reads the region as its true contours: lines and arcs, not the chords the engine is
// given, so that a cut that enters an island between a chord and its arc is seen.

struct frame {
    double c, s;
    std::array<double, 2> to(double x, double y) const { return {x * c + y * s, y * c - x * s}; }
};

// One element of a contour, from a to b: a line, or an arc about the centre.
struct edge {
    std::array<double, 2> a, b;
    std::array<double, 2> centre{};
    int turn = 0;  // 0 a line, +1 an arc counter-clockwise, -1 clockwise
};
using outline = std::vector<edge>;

inline outline outline_of(const polygon& p)
{
    outline o;
    for (std::size_t i = 0; i < p.size(); ++i) o.push_back({p[i], p[(i + 1) % p.size()]});
    return o;
}

inline std::vector<outline> outlines_of(const std::vector<polygon>& region)
{
    std::vector<outline> out;
    for (const polygon& p : region) out.push_back(outline_of(p));
    return out;
}

// The angle from `from` to `to` turned in the arc's direction, in [0, 2 pi).
inline double turned(const edge& e, double from, double to)
{
    const double two_pi = 2.0 * std::numbers::pi;
    const double t = std::fmod(e.turn > 0 ? to - from : from - to, two_pi);
    return t < 0.0 ? t + two_pi : t;
}

inline double direction_of(const std::array<double, 2>& p, const std::array<double, 2>& c)
{
    return std::atan2(p[1] - c[1], p[0] - c[0]);
}

// The arc's sweep, in (0, 2 pi]: a whole turn when its ends meet.
inline double sweep_of(const edge& e)
{
    const double t = turned(e, direction_of(e.a, e.centre), direction_of(e.b, e.centre));
    return t > 0.0 ? t : 2.0 * std::numbers::pi;
}

inline double segment_distance(const std::array<double, 2>& p, const std::array<double, 2>& a,
                               const std::array<double, 2>& b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

inline double edge_distance(const std::array<double, 2>& p, const edge& e)
{
    if (e.turn == 0) return segment_distance(p, e.a, e.b);
    const double r = std::hypot(e.a[0] - e.centre[0], e.a[1] - e.centre[1]);
    if (turned(e, direction_of(e.a, e.centre), direction_of(p, e.centre)) <= sweep_of(e))
        return std::fabs(std::hypot(p[0] - e.centre[0], p[1] - e.centre[1]) - r);
    return std::min(std::hypot(p[0] - e.a[0], p[1] - e.a[1]), std::hypot(p[0] - e.b[0], p[1] - e.b[1]));
}

// The abscissae at which the line y' = y of the frame crosses the edge, each end counted as a
// polygon's edges count theirs (the end at or below the line), so that a line through a vertex
// crosses once. An arc is taken in pieces along which y' only rises or falls: split at its top
// and its bottom in the frame.
inline void edge_crossings(const edge& e, const frame& f, double y, std::vector<double>& xs)
{
    const auto a = f.to(e.a[0], e.a[1]), b = f.to(e.b[0], e.b[1]);
    const auto crosses = [y](double y0, double y1) { return (y0 <= y) != (y1 <= y); };
    if (e.turn == 0) {
        if (crosses(a[1], b[1])) xs.push_back(a[0] + (y - a[1]) / (b[1] - a[1]) * (b[0] - a[0]));
        return;
    }
    const auto c = f.to(e.centre[0], e.centre[1]);
    const double r = std::hypot(a[0] - c[0], a[1] - c[1]), start = direction_of(a, c), sweep = sweep_of(e);
    std::vector<std::pair<double, std::array<double, 2>>> ends{{0.0, a}, {sweep, b}};
    for (const double top : {std::numbers::pi / 2, -std::numbers::pi / 2}) {
        const double t = turned(e, start, top);
        if (t > 0.0 && t < sweep) ends.push_back({t, {c[0], c[1] + r * std::sin(top)}});
    }
    std::sort(ends.begin(), ends.end(), [](const auto& p, const auto& q) { return p.first < q.first; });
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        if (!crosses(ends[i].second[1], ends[i + 1].second[1])) continue;
        const double middle = start + e.turn * 0.5 * (ends[i].first + ends[i + 1].first);
        const double half = std::sqrt(std::max(0.0, r * r - (y - c[1]) * (y - c[1])));
        xs.push_back(std::cos(middle) >= 0.0 ? c[0] + half : c[0] - half);
    }
}

// Distance from the point to the region's nearest contour.
inline double boundary_distance(const std::vector<outline>& region, const std::array<double, 2>& p)
{
    double d = 1e30;
    for (const outline& o : region)
        for (const edge& e : o) d = std::min(d, edge_distance(p, e));
    return d;
}

// Inside the region (an odd number of its contours around the point) or within reach of them.
inline bool inside_region(const std::vector<outline>& region, const std::array<double, 2>& p, double reach)
{
    if (boundary_distance(region, p) <= reach) return true;
    std::vector<double> xs;
    for (const outline& o : region)
        for (const edge& e : o) edge_crossings(e, {1.0, 0.0}, p[1], xs);
    return std::count_if(xs.begin(), xs.end(), [&p](double x) { return x > p[0]; }) % 2 == 1;
}
inline bool inside_region(const std::vector<polygon>& region, const std::array<double, 2>& p, double reach)
{
    return inside_region(outlines_of(region), p, reach);
}

// The stretches of the line y' = y inside the region, in the frame.
inline std::vector<std::array<double, 2>> inside_stretches(const std::vector<outline>& region, const frame& f, double y)
{
    std::vector<double> xs;
    for (const outline& o : region)
        for (const edge& e : o) edge_crossings(e, f, y, xs);
    std::sort(xs.begin(), xs.end());
    std::vector<std::array<double, 2>> out;
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) out.push_back({xs[i], xs[i + 1]});
    return out;
}
inline std::vector<std::array<double, 2>> inside_stretches(const std::vector<polygon>& region, const frame& f, double y)
{
    return inside_stretches(outlines_of(region), f, y);
}

// What the judge found: the cuts leaving the region and the deepest point outside, the hatch
// lines cut, the stretches left uncut.
struct verdict {
    int cuts_outside = 0;
    double deepest_outside = 0.0;
    std::vector<double> lines;  // ordinates of the cuts along the hatch direction, rising
    int stretches_missed = 0;
    bool starts_with_pass = false;
};

// How far outside the region a cut may pass: the float coordinates of the clearing point list.
inline constexpr double kOutsideReach = 1e-4;
// How far from the region's contours a stretch of a hatch line may stay uncut.
inline constexpr double kUncutReach = 2e-3;

// Nine points along the segment.
inline std::array<std::array<double, 2>, 9> samples(const std::array<double, 2>& a, const std::array<double, 2>& b)
{
    std::array<std::array<double, 2>, 9> q{};
    for (int k = 0; k <= 8; ++k) q[k] = {a[0] + (b[0] - a[0]) * k / 8.0, a[1] + (b[1] - a[1]) * k / 8.0};
    return q;
}

// Distance outside the region of the deepest of the segment's samples (0 when inside).
inline double depth_outside(const std::vector<outline>& region, const std::array<double, 2>& a,
                            const std::array<double, 2>& b)
{
    double deepest = 0.0;
    for (const auto& q : samples(a, b))
        if (!inside_region(region, q, 0.0)) deepest = std::max(deepest, boundary_distance(region, q));
    return deepest;
}

// A move along a contour: every sample within reach of the region's contours.
inline bool along_contour(const std::vector<outline>& region, const std::array<double, 2>& a,
                          const std::array<double, 2>& b, double reach)
{
    const auto q = samples(a, b);
    return std::all_of(q.begin(), q.end(),
                       [&](const std::array<double, 2>& p) { return boundary_distance(region, p) <= reach; });
}

// Whether the parts of the stretch that no cut along its line covers all lie within reach of the
// region's contours.
inline bool stretch_cut(const std::vector<outline>& region, const frame& f, double y, const std::array<double, 2>& s,
                        std::vector<std::array<double, 2>> cuts, double reach)
{
    std::sort(cuts.begin(), cuts.end());
    const auto uncut_near = [&](double x0, double x1) {
        for (int k = 0; k <= 8; ++k) {
            const double x = x0 + (x1 - x0) * k / 8.0;
            // Back from the frame: x' c - y' s, x' s + y' c.
            if (boundary_distance(region, {x * f.c - y * f.s, x * f.s + y * f.c}) > reach) return false;
        }
        return true;
    };
    double at = s[0];
    for (const auto& c : cuts) {
        if (c[1] <= at) continue;
        if (c[0] > at && !uncut_near(at, std::min(c[0], s[1]))) return false;
        at = std::max(at, c[1]);
        if (at >= s[1]) return true;
    }
    return uncut_near(at, s[1]);
}

// Judges the list against the region's true contours. The engine was given them as chords up to
// `allowance` from the true contours: cuts may stop that far short of them, never pass them.
// Cuts along a contour are contour walks, not hatch lines; so is the move from a previous end
// point (given: its ordinate in the frame) to the start.
inline verdict judge(const std::vector<outline>& region, double angle, const std::vector<point_of_list>& points,
                     double reference_ordinate = 1e30, double allowance = 0.0)
{
    verdict v;
    const frame f{std::cos(angle), std::sin(angle)};
    v.starts_with_pass = !points.empty() && points[0].code == kPassStart;
    std::vector<std::array<double, 3>> cuts;  // frame y, x low, x high of the cuts along the lines
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (points[i].code == kPassStart) continue;
        const std::array<double, 2> a{points[i - 1].x, points[i - 1].y}, b{points[i].x, points[i].y};
        const double depth = depth_outside(region, a, b);
        if (depth > kOutsideReach) ++v.cuts_outside;
        v.deepest_outside = std::max(v.deepest_outside, depth);
        const auto fa = f.to(a[0], a[1]), fb = f.to(b[0], b[1]);
        if (std::fabs(fa[1] - fb[1]) < 1e-4 && std::fabs(fa[0] - fb[0]) > 2e-4 &&
            std::fabs(fa[1] - reference_ordinate) > 1e-4 && !along_contour(region, a, b, allowance + 1e-4))
            cuts.push_back({fa[1], std::min(fa[0], fb[0]), std::max(fa[0], fb[0])});
    }
    for (const auto& c : cuts)
        if (std::none_of(v.lines.begin(), v.lines.end(), [&](double y) { return std::fabs(y - c[0]) < 1e-4; }))
            v.lines.push_back(c[0]);
    std::sort(v.lines.begin(), v.lines.end());
    for (const double y : v.lines) {
        std::vector<std::array<double, 2>> on_line;
        for (const auto& c : cuts)
            if (std::fabs(c[0] - y) < 1e-4) on_line.push_back({c[1], c[2]});
        for (const auto& s : inside_stretches(region, f, y))
            if (!stretch_cut(region, f, y, s, on_line, allowance + kUncutReach)) ++v.stretches_missed;
    }
    return v;
}
inline verdict judge(const std::vector<polygon>& region, double angle, const std::vector<point_of_list>& points,
                     double reference_ordinate = 1e30)
{
    return judge(outlines_of(region), angle, points, reference_ordinate);
}

class ClearingTest : public motion_test::MotionOutput {
protected:
    void SetUp() override
    {
        clearing_to_load_state();
        motion_test::MotionOutput::SetUp();
        machining_type() = 1;
    }
    void TearDown() override
    {
        clearing_to_load_state();
        motion_test::MotionOutput::TearDown();
        EXPECT_EQ(vantu::control::open_array_count(), 0);
        EXPECT_EQ(vantu::control::open_block_count(), 0);
    }
    static std::vector<std::string> errors() { return vantu::control::texts_of("eroutc"); }
};

}  // namespace clearing_test

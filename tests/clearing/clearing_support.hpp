// Set-up of the hatch-clearing tests: the clearing's arrays given back and its blocks put back as
// at load around every test, regions built as contour lists, the engine run on them the way
// tkpolg runs it, and an independent judge of the clearing point list: every cut stays inside the
// region and every stretch of every hatch line inside the region is cut.
#pragma once

#include "toolpath/motion_output_support.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/contour_rings.hpp"
#include "clearing/hatch/hatch_clearing.hpp"
#include "clearing/hatch/hatch_segments.hpp"
#include "pocket/pocket_state.hpp"
#include "pocket/pocket_work.hpp"
#include "pocket/polbuf.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
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

inline polygon rectangle(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }
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
    int previous_valid = 0;              // the previous level's end point (part coordinates)
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
    set_clear_params(e.direction, e.linking, e.side_step, e.tolerance, c, s, previous, e.previous_valid, e.contour_link);
    return clear_engine(list.data(), ranges.data(), m, static_cast<int>(region.size()));
}

// ---- the judge --------------------------------------------------------------------------------

struct frame {
    double c, s;
    std::array<double, 2> to(double x, double y) const { return {x * c + y * s, y * c - x * s}; }
};

inline double segment_distance(const std::array<double, 2>& p, const std::array<double, 2>& a,
                               const std::array<double, 2>& b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

// Inside the region (an odd number of its contours around the point) or within reach of an edge.
inline bool inside_region(const std::vector<polygon>& region, const std::array<double, 2>& p, double reach)
{
    bool inside = false;
    for (const polygon& poly : region)
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const auto& a = poly[i];
            const auto& b = poly[(i + 1) % poly.size()];
            if (segment_distance(p, a, b) <= reach) return true;
            if ((a[1] > p[1]) != (b[1] > p[1]) && a[0] + (p[1] - a[1]) / (b[1] - a[1]) * (b[0] - a[0]) > p[0])
                inside = !inside;
        }
    return inside;
}

// The stretches of the line y' = y inside the region, in the frame.
inline std::vector<std::array<double, 2>> inside_stretches(const std::vector<polygon>& region, const frame& f, double y)
{
    std::vector<double> xs;
    for (const polygon& poly : region)
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const auto a = f.to(poly[i][0], poly[i][1]);
            const auto b = f.to(poly[(i + 1) % poly.size()][0], poly[(i + 1) % poly.size()][1]);
            if ((a[1] <= y) != (b[1] <= y)) xs.push_back(a[0] + (y - a[1]) / (b[1] - a[1]) * (b[0] - a[0]));
        }
    std::sort(xs.begin(), xs.end());
    std::vector<std::array<double, 2>> out;
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) out.push_back({xs[i], xs[i + 1]});
    return out;
}

// What the judge found: the cuts leaving the region, the hatch lines cut, the stretches left uncut.
struct verdict {
    int cuts_outside = 0;
    std::vector<double> lines;     // ordinates of the cuts along the hatch direction, rising
    int stretches_missed = 0;
    bool starts_with_pass = false;
};

// Distance from the point to the region's nearest edge.
inline double boundary_distance(const std::vector<polygon>& region, const std::array<double, 2>& p)
{
    double d = 1e30;
    for (const polygon& poly : region)
        for (std::size_t i = 0; i < poly.size(); ++i) d = std::min(d, segment_distance(p, poly[i], poly[(i + 1) % poly.size()]));
    return d;
}

// Judges the list. Cuts along a contour edge are contour walks, not hatch lines; so is the move
// from a previous end point (given: its ordinate in the frame) to the start.
inline verdict judge(const std::vector<polygon>& region, double angle, const std::vector<point_of_list>& points,
                     double reference_ordinate = 1e30)
{
    verdict v;
    const frame f{std::cos(angle), std::sin(angle)};
    v.starts_with_pass = !points.empty() && points[0].code == kPassStart;
    std::vector<std::array<double, 4>> cuts;   // frame x0, y0, x1, y1 of the cuts along the lines
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (points[i].code == kPassStart) continue;
        const std::array<double, 2> a{points[i - 1].x, points[i - 1].y}, b{points[i].x, points[i].y};
        for (int k = 0; k <= 8; ++k) {
            const std::array<double, 2> q{a[0] + (b[0] - a[0]) * k / 8.0, a[1] + (b[1] - a[1]) * k / 8.0};
            if (!inside_region(region, q, 2e-3)) {
                ++v.cuts_outside;
                break;
            }
        }
        const auto fa = f.to(a[0], a[1]), fb = f.to(b[0], b[1]);
        const std::array<double, 2> middle{(a[0] + b[0]) / 2, (a[1] + b[1]) / 2};
        if (std::fabs(fa[1] - fb[1]) < 1e-4 && std::fabs(fa[0] - fb[0]) > 2e-4 && std::fabs(fa[1] - reference_ordinate) > 1e-4 &&
            boundary_distance(region, middle) > 1e-4)
            cuts.push_back({fa[0], fa[1], fb[0], fb[1]});
    }
    for (const auto& c : cuts)
        if (std::none_of(v.lines.begin(), v.lines.end(), [&](double y) { return std::fabs(y - c[1]) < 1e-4; }))
            v.lines.push_back(c[1]);
    std::sort(v.lines.begin(), v.lines.end());
    for (const double y : v.lines)
        for (const auto& s : inside_stretches(region, f, y)) {
            if (s[1] - s[0] < 2e-3) continue;
            const bool cut = std::any_of(cuts.begin(), cuts.end(), [&](const std::array<double, 4>& c) {
                return std::fabs(c[1] - y) < 1e-4 && std::fabs(std::min(c[0], c[2]) - s[0]) < 2e-3 &&
                       std::fabs(std::max(c[0], c[2]) - s[1]) < 2e-3;
            });
            if (!cut) ++v.stretches_missed;
        }
    return v;
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

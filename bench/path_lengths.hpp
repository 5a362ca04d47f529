// The moves of a written tool path, read from the host's list as the runner dumps it: the lines of
// a procedure's motion sub-list in their stored word layouts. Feed changes, linear moves, point
// strings and arcs (measured as arcs) are read. A move at the fast rate is a rapid; a feed move
// whose two ends lie at the level being cut is a cutting move; any other feed move (the descent
// from the retract level, the plunge) is an approach. A motion block of another kind cannot be
// measured and is reported. A hash of every word read lets a run check that a tool path stayed
// the same bit for bit.
#pragma once

#include "host/control/list.hpp"
#include "host/words.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// A feed move as written, in the XY plane: a line, or an arc about (cx, cy) turning by `sweep`
// radians (counter-clockwise above 0, none for a line); a cutting move or an approach.
struct xy_move {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    double cx = 0.0, cy = 0.0, sweep = 0.0;
    bool cutting = false;
};

struct path_lengths {
    double cutting = 0.0;                          // feed moves at the level
    double approach = 0.0;                         // feed moves off the level
    double rapid = 0.0;                            // moves at the fast rate
    int blocks = 0;                                // motion blocks read
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a of every word of the sub-list
    std::string fault;                             // the first block that could not be measured, empty when none
    // The cutting moves as chords (x0, y0, x1, y1), arcs flattened to kChordSagitta: kept only
    // when the caller asks for them.
    std::vector<std::array<double, 4>> cuts;
    // The cut groups in the order written, each a run of cutting moves between two moves off the
    // level or at the fast rate: its first and its last point (x0, y0, x1, y1), kept with the cuts.
    std::vector<std::array<double, 4>> groups;
    // Every feed move (cutting or approach) as written, arcs as arcs (those in another plane as the
    // line between their ends), kept with the cuts.
    std::vector<xy_move> moves;
};

// The chord error of arcs flattened into `cuts`.
inline constexpr double kChordSagitta = 0.001;

namespace detail {

// Stored block types (word 0) and what the reader needs of them.
constexpr int kParameter = 1, kFeedParameter = 1, kFixedDefinition = 0;
constexpr int kArc = 3, kArcWithDirection = 23, kArcWithNormal = 223;
constexpr int kArcWords = 10;
constexpr float kFastFeed = -1.0f;
constexpr int kArcPlaneXY = 1, kArcPlaneXZ = 2;

inline bool is_straight(int type)
{
    return type == 2 || type == 7 || type == 22 || type == 27 || type == 222 || type == 227;
}
inline bool is_arc(int type) { return type == kArc || type == kArcWithDirection || type == kArcWithNormal; }
inline bool is_spline(int type) { return type == 5 || type == 25 || type == 225; }

struct path_walk {
    float level = 0.0f;
    bool fast = false;
    bool placed = false;  // the first move's start is not in the sub-list: that move only places the tool
    bool keep_cuts = false;
    double at[3] = {0.0, 0.0, 0.0};
    path_lengths& out;

    bool cutting(const double* p) const { return placed && !fast && p[2] == level && at[2] == level; }
    void to(const double* p, double length)
    {
        if (placed) {
            const bool on_level = p[2] == level && at[2] == level;
            (fast ? out.rapid : on_level ? out.cutting : out.approach) += length;
        }
        placed = true;
        for (int k = 0; k < 3; ++k) at[k] = p[k];
    }
    bool in_group = false;  // the last move was a cutting move

    // Notes a move to `p`: a cutting move opens a group or extends the current one.
    void group_move(const double* p)
    {
        if (!keep_cuts || !placed) return;
        if (!cutting(p)) {
            in_group = false;
            return;
        }
        if (!in_group) out.groups.push_back({at[0], at[1], p[0], p[1]});
        out.groups.back()[2] = p[0];
        out.groups.back()[3] = p[1];
        in_group = true;
    }
    void straight_cut(const double* p)
    {
        if (keep_cuts && cutting(p)) out.cuts.push_back({at[0], at[1], p[0], p[1]});
        group_move(p);
    }
    // Notes a feed move from the tool's place to `end` (a line for no sweep).
    void feed_move(const double* end, double cx, double cy, double sweep)
    {
        if (keep_cuts && placed && !fast)
            out.moves.push_back({at[0], at[1], end[0], end[1], cx, cy, sweep, cutting(end)});
    }
    // The turn of an arc in the XY plane about (cx, cy) from the tool's place to `end` by `angle`
    // one way or the other: the way that ends there.
    double signed_sweep(double cx, double cy, double angle, const double* end) const
    {
        const double r = std::hypot(at[0] - cx, at[1] - cy), start = std::atan2(at[1] - cy, at[0] - cx);
        const auto miss = [&](double sweep) {
            return std::hypot(cx + r * std::cos(start + sweep) - end[0], cy + r * std::sin(start + sweep) - end[1]);
        };
        return miss(std::fabs(angle)) <= miss(-std::fabs(angle)) ? std::fabs(angle) : -std::fabs(angle);
    }
    // The chords of an arc in the XY plane about (cx, cy) from the tool's place to `end`, turning
    // by `sweep`.
    void arc_cut(double cx, double cy, double sweep, const double* end)
    {
        if (!keep_cuts || !cutting(end)) return;
        const double r = std::hypot(at[0] - cx, at[1] - cy), start = std::atan2(at[1] - cy, at[0] - cx);
        const double chord_angle = r > kChordSagitta ? 2.0 * std::acos(1.0 - kChordSagitta / r) : std::fabs(sweep);
        const int chords = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / chord_angle)));
        double x = at[0], y = at[1];
        for (int k = 1; k <= chords; ++k) {
            const double a = start + sweep * k / chords;
            const double nx = k == chords ? end[0] : cx + r * std::cos(a),
                         ny = k == chords ? end[1] : cy + r * std::sin(a);
            out.cuts.push_back({x, y, nx, ny});
            x = nx, y = ny;
        }
    }
    void straight(const word* w)
    {
        const double p[3] = {word_to_real(w[0]), word_to_real(w[1]), word_to_real(w[2])};
        straight_cut(p);
        feed_move(p, 0.0, 0.0, 0.0);
        to(p, std::hypot(p[0] - at[0], p[1] - at[1], p[2] - at[2]));
    }
    // The words after the type: number, plane, angle, delta, centre (two, in the arc plane), end.
    void arc(const word* w)
    {
        const int plane = w[1];
        const double angle = word_to_real(w[2]);
        const double c1 = word_to_real(w[4]), c2 = word_to_real(w[5]);
        const double end[3] = {word_to_real(w[6]), word_to_real(w[7]), word_to_real(w[8])};
        const double e1 = plane == kArcPlaneXY || plane == kArcPlaneXZ ? end[0] : end[1];
        const double e2 = plane == kArcPlaneXY ? end[1] : end[2];
        const double sweep = plane == kArcPlaneXY ? signed_sweep(c1, c2, angle, end) : 0.0;
        if (plane == kArcPlaneXY) arc_cut(c1, c2, sweep, end);
        feed_move(end, c1, c2, sweep);
        group_move(end);
        to(end, std::hypot(e1 - c1, e2 - c2) * std::fabs(angle));
    }
};

}  // namespace detail

// The lengths of the moves in `lines` (a procedure's sub-list), the pocket's level at Z `level`;
// with keep_cuts the cutting moves themselves as well.
inline path_lengths measure_path(const vantu::control::line_sequence<vantu::control::toolpath_line>& lines, float level,
                                 bool keep_cuts = false)
{
    path_lengths out;
    detail::path_walk walk{level, false, false, keep_cuts, {}, out};
    for (const auto& line : lines) {
        const std::vector<word>& w = line.words;
        for (const word value : w) {
            for (int b = 0; b < 4; ++b) {
                out.hash ^= (static_cast<std::uint32_t>(value) >> (8 * b)) & 0xffu;
                out.hash *= 1099511628211ull;
            }
        }
        if (w.empty()) continue;
        const int type = w[0];
        const std::size_t size = w.size();
        if (type == detail::kParameter && size >= 5 && w[2] == detail::kFeedParameter) {
            walk.fast = w[3] == detail::kFixedDefinition && word_to_real(w[4]) == detail::kFastFeed;
        } else if (detail::is_straight(type)) {
            const std::size_t step = type == 2 || type == 7 ? 4 : 7;
            for (std::size_t k = 1; k + step <= size; k += step) walk.straight(&w[k + 1]);
            ++out.blocks;
        } else if (detail::is_arc(type)) {
            if (size < detail::kArcWords) {
                if (out.fault.empty()) out.fault = "an arc block of " + std::to_string(size) + " words";
                continue;
            }
            walk.arc(&w[1]);
            ++out.blocks;
        } else if (detail::is_spline(type) && out.fault.empty()) {
            out.fault = "a spline motion block (type " + std::to_string(type) + ")";
        }
    }
    return out;
}

}  // namespace bench

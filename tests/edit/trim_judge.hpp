// The judge of a contour trim with DELETE MOTIONS, against the trim polygon with Clipper 1 as the
// reference for inside and outside: what the trim must leave whatever the path and the contour.
//   - no feed move lies on the trimmed side farther than the tolerance;
//   - the kept side is unchanged move for move: every kept block stands as it stood, every piece
//     of a motion on the kept side is still cut, at its feed and in its order;
//   - a move of the connection across the gap is no feed move and runs at the retract height,
//     the path ends at that height (every cut end retracted);
//   - every plunge down to the cutting height runs at a real feed;
//   - no feed block holds 0 and no two feed blocks stand side by side.
#pragma once

#include "tests/edit/trim_part_support.hpp"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace trim_judge {

using trim_part::move;
using polygon = std::vector<std::array<double, 2>>;

// Far below the trim's own tolerances (0.0006 for the side of a point, 0.001 for one point) it
// would be no judge; far above float precision at the part's size.
inline constexpr double kTolerance = 0.002;
inline constexpr double kScale = 1.0e6;  // Clipper's integer unit

inline ClipperLib::IntPoint at(double x, double y)
{
    return {static_cast<ClipperLib::cInt>(std::llround(x * kScale)),
            static_cast<ClipperLib::cInt>(std::llround(y * kScale))};
}

// The polygon grown (positive) or shrunk by d.
inline ClipperLib::Paths offset(const polygon& p, double d)
{
    ClipperLib::Path path;
    for (const auto& q : p) path.push_back(at(q[0], q[1]));
    ClipperLib::ClipperOffset co(2.0, 0.01 * kScale);
    co.AddPath(path, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::Paths out;
    co.Execute(out, d * kScale);
    return out;
}

inline double xy_length(const move& m) { return std::hypot(m.b[0] - m.a[0], m.b[1] - m.a[1]); }

// An arc's radius and the angle of its start about the centre.
inline double radius_of(const move& m) { return std::hypot(m.a[0] - m.cx, m.a[1] - m.cy); }
inline double start_angle(const move& m) { return std::atan2(m.a[1] - m.cy, m.a[0] - m.cx); }

// The parameter (0 at the start, 1 at the end) of the point of m nearest to p in XY: along a line,
// by the angle swept on an arc.
inline double t_of(const move& m, double x, double y)
{
    if (m.arc) {
        // The turn from the start taken within half a turn of the arc's middle.
        const double full = 2 * std::acos(-1.0);
        double turn = std::atan2(y - m.cy, x - m.cx) - start_angle(m);
        turn -= full * std::round((turn - m.sweep / 2) / full);
        return turn / m.sweep;
    }
    const double dx = m.b[0] - m.a[0], dy = m.b[1] - m.a[1], length2 = dx * dx + dy * dy;
    return length2 > 0.0 ? ((x - m.a[0]) * dx + (y - m.a[1]) * dy) / length2 : 0.0;
}

// The XY points of m: a line's ends, an arc in chords whose sagitta stays a quarter of the
// tolerance.
inline ClipperLib::Path xy_path(const move& m)
{
    if (!m.arc) return {at(m.a[0], m.a[1]), at(m.b[0], m.b[1])};
    const double r = radius_of(m), a0 = start_angle(m);
    const double step = std::sqrt(2.0 * kTolerance / std::max(r, kTolerance));
    const int n = std::max(2, int(std::ceil(std::abs(m.sweep) / step)));
    ClipperLib::Path path;
    for (int k = 0; k < n; ++k) {
        const double a = a0 + m.sweep * k / n;
        path.push_back(at(m.cx + r * std::cos(a), m.cy + r * std::sin(a)));
    }
    path.push_back(at(m.b[0], m.b[1]));
    return path;
}

// The length of m in XY.
inline double length_of(const move& m) { return m.arc ? radius_of(m) * std::abs(m.sweep) : xy_length(m); }

// The parameter intervals of m (in XY) inside (inside true) or outside the region.
inline std::vector<std::array<double, 2>> intervals(const move& m, const ClipperLib::Paths& region, bool inside)
{
    std::vector<std::array<double, 2>> out;
    if (length_of(m) <= kTolerance) {
        int in = 0;
        for (const auto& path : region) in += ClipperLib::PointInPolygon(at(m.a[0], m.a[1]), path) != 0 ? 1 : 0;
        if ((in % 2 == 1) == inside) out.push_back({0.0, 1.0});
        return out;
    }
    ClipperLib::Clipper c;
    c.AddPath(xy_path(m), ClipperLib::ptSubject, false);
    c.AddPaths(region, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(inside ? ClipperLib::ctIntersection : ClipperLib::ctDifference, tree, ClipperLib::pftEvenOdd,
              ClipperLib::pftEvenOdd);
    ClipperLib::Paths pieces;
    ClipperLib::OpenPathsFromPolyTree(tree, pieces);
    for (const auto& piece : pieces) {
        double t0 = 1.0, t1 = 0.0;
        for (const auto& q : piece) {
            const double t = t_of(m, q.X / kScale, q.Y / kScale);
            t0 = std::min(t0, t);
            t1 = std::max(t1, t);
        }
        if ((t1 - t0) * length_of(m) > kTolerance) out.push_back({std::max(0.0, t0), std::min(1.0, t1)});
    }
    return out;
}

// t of p along m when p lies on m within the tolerance (3-D: a line, or an arc at its height),
// else false.
inline bool on_move(const move& m, const point3& p, double& t)
{
    const double slack = kTolerance / std::max(length_of(m), kTolerance);
    if (m.arc) {
        t = t_of(m, p[0], p[1]);
        return std::abs(std::hypot(p[0] - m.cx, p[1] - m.cy) - radius_of(m)) <= kTolerance &&
               std::abs(p[2] - m.b[2]) <= kTolerance && t >= -slack && t <= 1.0 + slack;
    }
    double d[3], q[3], length2 = 0.0, dot = 0.0;
    for (int i = 0; i < 3; ++i) {
        d[i] = m.b[i] - m.a[i];
        q[i] = p[i] - m.a[i];
        length2 += d[i] * d[i];
        dot += d[i] * q[i];
    }
    t = length2 > 0.0 ? dot / length2 : 0.0;
    double off = 0.0;
    for (int i = 0; i < 3; ++i) off += (q[i] - t * d[i]) * (q[i] - t * d[i]);
    return std::sqrt(off) <= kTolerance && t >= -slack && t <= 1.0 + slack;
}

// The blocks one a line: feed blocks and lines with their numbers, other blocks by type.
inline std::string listing(const std::vector<std::vector<word>>& blocks)
{
    std::ostringstream out;
    for (const auto& w : blocks) {
        if (w[0] == 1)
            out << "  P#" << w[1] << " type " << w[2] << " = " << (w[2] == 1 ? word_to_real(w[4]) : float(w[4]));
        else if (w[0] == 2)
            out << "  L#" << w[1] << " " << word_to_real(w[2]) << " " << word_to_real(w[3]) << " "
                << word_to_real(w[4]);
        else if (w[0] == 3)
            out << "  A#" << w[1] << " " << word_to_real(w[7]) << " " << word_to_real(w[8]) << " " << word_to_real(w[9])
                << " about " << word_to_real(w[5]) << " " << word_to_real(w[6]) << " sweep " << word_to_real(w[3]);
        else
            out << "  T" << w[0] << " #" << w[1];
        out << "\n";
    }
    return out.str();
}

struct trim_case {
    polygon contour;
    int side = 1;         // 1 inside trimmed, 2 outside
    int connection = 1;   // 1 THROUGH CLEAR, 2 THRU.INCR.CLR.
    float cut_z = -2.0f;  // the height every cut of the path runs at
    float inc_clear = 10.0f;
};

// What is wrong with the trimmed sub-list `after` of the path whose sub-list was `before` (empty:
// nothing). start is the procedure's start point.
inline std::string judge(const trim_case& c, const point3& start, const std::vector<std::vector<word>>& before,
                         const std::vector<std::vector<word>>& after)
{
    std::ostringstream faults;
    const bool trim_inside = c.side == 1;
    const ClipperLib::Paths beyond = offset(c.contour, trim_inside ? -kTolerance : kTolerance);
    const ClipperLib::Paths kept_beyond = offset(c.contour, trim_inside ? kTolerance : -kTolerance);
    const std::vector<move> was = trim_part::moves_of(before, start), now = trim_part::moves_of(after, start);
    const float lift = c.connection == 1 ? trim_part::kClear : std::min(trim_part::kClear, c.cut_z + c.inc_clear);
    auto describe = [](const move& m) {
        std::ostringstream s;
        s << "#" << m.number << " (" << m.a[0] << " " << m.a[1] << " " << m.a[2] << ") -> (" << m.b[0] << " " << m.b[1]
          << " " << m.b[2] << ") F " << m.feed;
        return s.str();
    };
    // Which original motion each move is (or is a piece of); -1 a move of a connection.
    std::vector<int> of(now.size(), -1);
    std::vector<std::vector<std::array<double, 2>>> covered(was.size());
    std::vector<bool> standing(was.size(), false);
    for (std::size_t i = 0; i < was.size(); ++i)
        for (const move& m : now) standing[i] = standing[i] || m.number == was[i].number;
    // A piece of a motion cut at the contour stands where the motion stood: after the last kept
    // block before it.
    std::size_t from = 0;
    for (std::size_t j = 0; j < now.size(); ++j) {
        const move& m = now[j];
        for (std::size_t i = from; i < was.size() && of[j] < 0; ++i) {
            double t0 = 0, t1 = 0;
            if (was[i].number == m.number) {
                of[j] = int(i);
                from = i;
                covered[i].push_back({0.0, 1.0});
                if (m.a != was[i].a || m.b != was[i].b || m.feed != was[i].feed)
                    faults << "kept block changed: " << describe(m) << " was " << describe(was[i]) << "\n";
            } else if (!standing[i] && m.feed == was[i].feed && m.arc == was[i].arc && on_move(was[i], m.a, t0) &&
                       on_move(was[i], m.b, t1) && t1 >= t0 - 1e-9) {
                of[j] = int(i);
                covered[i].push_back({t0, t1});
            }
        }
        if (m.feed > 0.0f && !intervals(m, beyond, trim_inside).empty())
            faults << "feed move on the trimmed side: " << describe(m) << "\n";
        if (of[j] < 0 && xy_length(m) > kTolerance && (m.feed > 0.0f || m.a[2] < lift - 1e-4f || m.b[2] < lift - 1e-4f))
            faults << "connection move below the retract height or at feed: " << describe(m) << "\n";
        if (m.b[2] < m.a[2] - 1e-4f && m.b[2] <= c.cut_z + 1e-4f && !(m.feed > 0.0f))
            faults << "plunge without a real feed: " << describe(m) << "\n";
    }
    if (!now.empty() && now.back().b[2] < lift - 1e-4f) faults << "the path ends in the material\n";
    for (std::size_t i = 0; i < was.size(); ++i) {
        // A rapid may give way to the connection that replaces it; every cut on the kept side stays.
        if (!(was[i].feed > 0.0f)) continue;
        std::vector<std::array<double, 2>> parts = covered[i];
        std::sort(parts.begin(), parts.end());
        const double length = std::max(length_of(was[i]), 1.0);
        for (const auto& kept : intervals(was[i], kept_beyond, !trim_inside)) {
            double reached = kept[0];
            for (const auto& p : parts)
                if (p[0] <= reached + kTolerance / length) reached = std::max(reached, p[1]);
            if (reached < kept[1] - kTolerance / length)
                faults << "kept part of " << describe(was[i]) << " from " << kept[0] << " to " << kept[1]
                       << " not cut (reached " << reached << ")\n";
        }
    }
    for (std::size_t k = 0; k < after.size(); ++k) {
        const auto& w = after[k];
        const bool feed_block = w[0] == 1 && w[2] == 1;
        if (feed_block && word_to_real(w[4]) == 0.0f) faults << "feed block #" << w[1] << " holds 0\n";
        if (feed_block && k + 1 < after.size() && after[k + 1][0] == 1 && after[k + 1][2] == 1)
            faults << "feed blocks #" << w[1] << " and #" << after[k + 1][1] << " side by side\n";
    }
    return faults.str();
}

}  // namespace trim_judge

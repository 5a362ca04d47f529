// Regions that split or narrow to nothing: a region that the first offset splits keeps one step
// between its lanes in every part, and where a part closes, a lane at its collapse leaves no
// material farther than half a step (plus the tolerance) from a cutting move. Judged with
// Clipper 1 on the cut chains the computation leaves in the lane table.
#include "engine_test_support.hpp"

#include "pocket_arrays/kernel_geometry.hpp"
#include "pocket_lanes/engine_codes.hpp"

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>

namespace {

using kernel_geometry::kScale;

// A lane's right-angled corner leaves material up to step / (1 + sin 45 deg), 0.586 x step, from
// the lanes; the pockets here give the tolerance a tenth of the step, so that what is judged is
// the material a region keeps where it narrows to nothing.
constexpr double kToleranceShare = 0.1;

ClipperLib::cInt scaled(double v) { return static_cast<ClipperLib::cInt>(std::llround(v * kScale)); }

class CollapseLanes : public EngineTest {
protected:
    // Runs the pocket of the outer contour (lines only): its first lane at the extra offset plus
    // the contour's offset from the walls.
    static int run(const contour& outer, double extra_offset, double contour_offset, double step, double tolerance)
    {
        to_load_state();
        pocket_work_block.side_step = step;
        pocket_work_block.extra_offset = extra_offset;
        pocket_work_block.tolerance = tolerance;
        load({outer}, contour_offset);
        int status = -7;
        cmtpk_clean(0, status);
        return status;
    }
    // The points along a lane, arcs flattened, in part coordinates.
    static std::vector<xy> points_of(int lane)
    {
        const std::vector<xy> e = lane_entries(lane);
        std::vector<xy> out = kernel_geometry::flatten(e, 1e-4);
        if (!e.empty()) out.push_back(e.back());
        for (xy& p : out) p.x += pocket_frame_block.origin[0], p.y += pocket_frame_block.origin[1];
        return out;
    }
    // The cutting moves: every output lane but the separators (without the connections: only
    // the cut lanes), in part coordinates.
    static std::vector<std::vector<xy>> moves(bool connections = true)
    {
        const lane_table& lt = lane_table_block;
        std::vector<std::vector<xy>> out;
        for (int i = pocket_box_block.first_output_lane; i <= lt.count; ++i)
            if (lt.level[i] != kLevelSeparator && (connections || lt.group[i] != kGroupConnection))
                out.push_back(points_of(i));
        return out;
    }
    static ClipperLib::Paths offset_of(const ClipperLib::Paths& paths, ClipperLib::EndType end, double delta)
    {
        ClipperLib::ClipperOffset co(2.0, 1e-5 * kScale);
        co.AddPaths(paths, ClipperLib::jtRound, end);
        ClipperLib::Paths out;
        co.Execute(out, delta * kScale);
        return out;
    }
    // The region the lanes must clear: the outer contour shrunk by the first offset.
    static ClipperLib::Paths region(const contour& outer, double first)
    {
        ClipperLib::Path p = kernel_geometry::path_of(outer);
        if (!ClipperLib::Orientation(p)) ClipperLib::ReversePath(p);
        return offset_of({p}, ClipperLib::etClosedPolygon, -first);
    }
    // Places of the region farther than `reach` from every move: what is left once the moves,
    // widened by the reach, are taken away, opened by half the tolerance so that only gaps of
    // real width count (the engine judges a piece's material at points about its centre line,
    // and a corner made with an arc may leave a sliver beyond the reach narrower than that).
    static std::vector<std::string> gaps(const ClipperLib::Paths& area, double reach, double tolerance)
    {
        // A closed move is widened as a band (Clipper's open-path widening of a path that ends
        // where it starts leaves holes), an open one with round ends.
        ClipperLib::ClipperOffset co(2.0, 1e-5 * kScale);
        for (const auto& m : moves()) {
            ClipperLib::Path path;
            for (const xy& p : m) path.push_back({scaled(p.x), scaled(p.y)});
            const bool closed = path.size() > 2 && path.front() == path.back();
            if (closed) path.pop_back();
            co.AddPath(path, ClipperLib::jtRound, closed ? ClipperLib::etClosedLine : ClipperLib::etOpenRound);
        }
        ClipperLib::Paths reached;
        co.Execute(reached, reach * kScale);
        ClipperLib::Clipper c;
        c.AddPaths(area, ClipperLib::ptSubject, true);
        c.AddPaths(reached, ClipperLib::ptClip, true);
        ClipperLib::Paths left;
        c.Execute(ClipperLib::ctDifference, left, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        std::vector<std::string> out;
        for (const auto& g : offset_of(left, ClipperLib::etClosedPolygon, -0.5 * tolerance))
            out.push_back("uncut area " + std::to_string(std::fabs(ClipperLib::Area(g)) / (kScale * kScale)) + " at (" +
                          std::to_string(g[0].X / kScale) + ", " + std::to_string(g[0].Y / kScale) + ")");
        return out;
    }
    // Cut points nearer the contour than the first offset less the tolerance.
    static int gouges(const contour& outer, double first, double tolerance)
    {
        const ClipperLib::Paths allowed = region(outer, first - tolerance);
        int n = 0;
        for (const auto& m : moves(false))
            for (const xy& p : m) {
                const ClipperLib::IntPoint q{scaled(p.x), scaled(p.y)};
                const auto inside = [&](const ClipperLib::Path& a) { return ClipperLib::PointInPolygon(q, a) != 0; };
                if (std::none_of(allowed.begin(), allowed.end(), inside))
                    ++n;
            }
        return n;
    }
    // Every live engine lane is cut exactly once (its number is the cut lane's second link).
    static std::string cut_once()
    {
        const lane_table& lt = lane_table_block;
        std::map<int, int> cut;
        for (int i = pocket_box_block.first_output_lane; i <= lt.count; ++i)
            if (lt.level[i] != kLevelSeparator && lt.group[i] != kGroupConnection) ++cut[lt.link2[i]];
        for (int i = 1; i < pocket_box_block.first_output_lane; ++i)
            if (lt.status[i] > 0 && cut[i] != 1)
                return "lane " + std::to_string(i) + " cut " + std::to_string(cut[i]) + " times";
        return "";
    }
    // Everything a narrowing pocket must give: status 0, each live lane cut once, no cut nearer
    // the contour than the first offset less the tolerance, no gap farther than half a step plus
    // the tolerance from the moves.
    static void expect_sound(const std::string& name, int status, const contour& outer, double first, double step,
                             double tolerance)
    {
        ASSERT_EQ(status, kEngineDone) << name;
        EXPECT_EQ(cut_once(), "") << name;
        EXPECT_EQ(gouges(outer, first, tolerance), 0) << name;
        const std::vector<std::string> g = gaps(region(outer, first), 0.5 * step + tolerance, tolerance);
        EXPECT_TRUE(g.empty()) << name << ": " << g.size() << " gaps, first " << (g.empty() ? "" : g.front());
    }
};

// An L of two legs `width` wide and `length` long.
contour thin_l(double width, double length)
{
    return {{0, 0}, {length, 0}, {length, width}, {width, width}, {width, length}, {0, length}, {0, 0}};
}

// Two 30 x 20 rooms joined by a neck 5 long and `neck` wide.
contour two_rooms(double neck)
{
    const double low = 10.0 - 0.5 * neck, high = 10.0 + 0.5 * neck;
    return {{0, 0},   {30, 0},    {30, low},  {35, low},  {35, 0},  {65, 0}, {65, 20},
            {35, 20}, {35, high}, {30, high}, {30, 20}, {0, 20},  {0, 0}};
}

TEST_F(CollapseLanes, SplitRegionKeepsOneStepInEveryPart)
{
    struct row {
        double extra, step;
    } rows[] = {{0.3, 0.1}, {0.3, 0.25}, {0.45, 0.2}};
    for (const row& r : rows) {
        const std::string name = "extra " + std::to_string(r.extra) + " step " + std::to_string(r.step);
        const contour outer = two_rooms(0.4);
        const double tolerance = kToleranceShare * r.step;
        const int status = run(outer, r.extra, 0.0, r.step, tolerance);
        expect_sound(name, status, outer, r.extra, r.step, tolerance);
        // The distances of the live lanes from the walls, room by room: one step apart from the
        // first offset on.
        const lane_table& lt = lane_table_block;
        std::map<bool, std::set<long>> depth;
        for (int i = 1; i < pocket_box_block.first_output_lane; ++i) {
            if (lt.status[i] <= 0 || lt.level[i] >= kLevelIsland) continue;
            const std::vector<xy> p = points_of(i);
            double nearest = 1e30, sum = 0.0;
            for (const xy& q : p) {
                sum += q.x;
                nearest = std::min({nearest, q.y, 20.0 - q.y, q.x < 32.5 ? q.x : 65.0 - q.x});
            }
            depth[sum / static_cast<double>(p.size()) < 32.5].insert(std::lround(nearest / r.step * 1000.0));
        }
        // Every offset by whole steps up to a step short of the rooms' half height (10) stands
        // in both rooms.
        for (const auto& [left, steps] : depth)
            for (double d = r.extra; d <= 10.0 - r.step; d += r.step)
                EXPECT_EQ(steps.count(std::lround(d / r.step * 1000.0)), 1u)
                    << name << (left ? ": left" : ": right") << " room has no lane at " << d;
        EXPECT_EQ(depth.size(), 2u) << name;
    }
}

TEST_F(CollapseLanes, NarrowPartsGetALaneWhereTheyClose)
{
    struct row {
        const char* name;
        contour outer;
        double extra, step;
    } rows[] = {
        {"thin L", thin_l(1.2, 10.0), 0.0, 0.2},
        {"thin L", thin_l(1.2, 10.0), 0.0, 0.35},
        {"thin L", thin_l(1.2, 10.0), 0.125, 0.3},
        {"thin L", thin_l(1.2, 10.0), 0.125, 0.2},
        {"thin rectangle", rectangle(0, 0, 20, 1.5), 0.0, 0.4},
        {"thin rectangle", rectangle(0, 0, 20, 1.2), 0.0, 0.2},
        {"square closing in a point", rectangle(0, 0, 10, 10), 0.0, 1.0},
        {"two rooms and a neck", two_rooms(0.8), 0.0, 0.5},
        {"tapered strip", {{0, 0}, {12, 0}, {12, 2.4}, {0, 1.2}, {0, 0}}, 0.0, 0.3},
    };
    for (const row& r : rows) {
        const std::string name =
            std::string(r.name) + " extra " + std::to_string(r.extra) + " step " + std::to_string(r.step);
        const double tolerance = kToleranceShare * r.step;
        expect_sound(name, run(r.outer, r.extra, 0.0, r.step, tolerance), r.outer, r.extra, r.step, tolerance);
    }
}

// A wedge narrows to its tip through sharp corners of every lane, which offset lanes cannot reach
// into; where the wedge closes, the point deepest inside it is cut.
TEST_F(CollapseLanes, WedgeClosesWithALaneAtItsDeepestPoint)
{
    const contour wedge{{0, 0}, {20, 0}, {20, 3}, {0, 0}};
    for (const double step : {0.2, 0.3, 0.5, 0.7}) {
        const std::string name = "step " + std::to_string(step);
        const double tolerance = kToleranceShare * step;
        ASSERT_EQ(run(wedge, 0.0, 0.0, step, tolerance), kEngineDone) << name;
        EXPECT_EQ(cut_once(), "") << name;
        EXPECT_EQ(gouges(wedge, 0.0, tolerance), 0) << name;
        // The deepest point: the last of the region left by shrinking it in small steps.
        ClipperLib::Paths deepest = region(wedge, 0.0);
        for (double d = 0.0;; d += 0.002) {
            const ClipperLib::Paths next = region(wedge, d);
            if (next.empty()) break;
            deepest = next;
        }
        ASSERT_FALSE(deepest.empty()) << name;
        EXPECT_TRUE(gaps(deepest, 0.5 * step + tolerance, tolerance).empty()) << name;
    }
}

// Seeded pockets of rooms and corridors (right-angled, so that only their narrowing is judged):
// a room with up to three corridors of random width and length, and a random step.
TEST_F(CollapseLanes, RandomCorridorsAreCoveredToTheirCentres)
{
    const unsigned seed = 20261208u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto q = [](double v) { return std::round(v * 64.0) / 64.0; };
    for (int trial = 0; trial < 24; ++trial) {
        const double step = q(0.15 + 0.35 * unit(rng));
        ClipperLib::Clipper u;
        auto add = [&](double x0, double y0, double x1, double y1) {
            const ClipperLib::Path box{{scaled(x0), scaled(y0)}, {scaled(x1), scaled(y0)}, {scaled(x1), scaled(y1)},
                                       {scaled(x0), scaled(y1)}};
            u.AddPath(box, ClipperLib::ptSubject, true);
        };
        const double room = q(4.0 + 4.0 * unit(rng));
        add(0, 0, room, room);
        const int corridors = 1 + trial % 3;
        for (int k = 0; k < corridors; ++k) {
            const double width = q(step * (1.0 + 2.5 * unit(rng))), length = q(2.0 + 6.0 * unit(rng));
            const double at = q((room - width) * unit(rng));
            if (k == 0) add(room, at, room + length, at + width);
            if (k == 1) add(at, room, at + width, room + length);
            if (k == 2) add(-length, at, 0, at + width);
        }
        ClipperLib::Paths joined;
        u.Execute(ClipperLib::ctUnion, joined, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        ASSERT_EQ(joined.size(), 1u);
        contour outer;
        for (const auto& p : joined[0]) outer.push_back({p.X / kScale, p.Y / kScale});
        if (ClipperLib::Area(joined[0]) < 0) std::reverse(outer.begin(), outer.end());
        outer.push_back(outer.front());
        const double tolerance = kToleranceShare * step;
        const std::string name = "seed " + std::to_string(seed) + " trial " + std::to_string(trial);
        expect_sound(name, run(outer, 0.0, 0.0, step, tolerance), outer, 0.0, step, tolerance);
    }
}

}  // namespace

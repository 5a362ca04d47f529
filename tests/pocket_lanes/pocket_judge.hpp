// Judge of a whole pocket computation, independent of the engine's own geometry: the cut chains
// the computation leaves in the lane table are read back as moves and measured against the
// contours with Clipper 1. What must hold: every live engine lane is cut once; no cutting move
// comes nearer a contour than its offset less the tolerance (so none enters an island or leaves
// the outer contour); every point of the region the tool may reach lies within half a step plus
// the tolerance of a cutting move; every cut lane is a simple loop. Apart (cut_once_faults): the
// first lane of a chain does not run back over the stretch it begins with.
#pragma once

#include "engine_test_support.hpp"
#include "host/control/messages.hpp"
#include "pocket_arrays/kernel_geometry.hpp"
#include "pocket_lanes/engine_codes.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace pocket_judge {

using kernel_geometry::clipper_point;
using kernel_geometry::kScale;
using kernel_geometry::loop;

// A pocket as the user gives it: the outer contour first (counter-clockwise), then the islands,
// each with its own offset; the side step and the pocket's tolerance. The outer contour's box
// starts at (0, 0), the pocket frame's origin, so that lanes and contours share coordinates.
struct pocket_case {
    std::string name;
    std::vector<loop> contours;
    std::vector<double> offsets;
    double step = 1.0;
    double tolerance = 0.005;
    // The pocket's extra offset: the first lane stands this much beyond every contour's offset.
    double extra_offset = 0.0;
    // The way the lanes are cut: 1, or -1 for the other way round.
    int direction_sign = 1;
};

// Chord error of arcs flattened for the measures: far below every tolerance the judge allows.
inline constexpr double kJudgeSagitta = 1e-4;

// A contour flattened for the measures: a speck of an island (radius near the chord error) at a
// thousandth of its own size, so that it stays a loop.
inline std::vector<xy> contour_points(const loop& contour)
{
    double low_x = 1e300, low_y = 1e300, high_x = -1e300, high_y = -1e300;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        if (contour[i].x > 1.0e20) {  // an arc record: marker, radius and direction, centre, end
            i += 2;
            continue;
        }
        low_x = std::min(low_x, contour[i].x), low_y = std::min(low_y, contour[i].y);
        high_x = std::max(high_x, contour[i].x), high_y = std::max(high_y, contour[i].y);
    }
    const double size = std::max(high_x - low_x, high_y - low_y);
    return kernel_geometry::flatten(contour, size > 0.0 ? std::min(kJudgeSagitta, 1e-3 * size) : kJudgeSagitta);
}

// One output lane of the cut chains: a cut lane or a connection between two of them.
struct cut_move {
    int lane = 0;
    bool connection = false;
    loop entries;
    bool step = false;  // the straight move between two output lanes of a chain
};

inline std::string at(xy p)
{
    std::ostringstream s;
    s << "(" << p.x << ", " << p.y << ")";
    return s.str();
}

inline loop lane_entries(int lane)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    lane_to_pokarr(lane, a, status);
    loop out = status == 0 ? entries_of(a) : loop{};
    pokarr_free(a);
    return out;
}

// The output lanes from the first output lane on, separators left out. Within a chain the tool
// goes on at cutting height from where one output lane ends to where the next begins (the step
// over to a connection, the connection's spike to the next lane): each such move is a cutting
// move of its own, lane 0.
inline std::vector<cut_move> cut_moves()
{
    const lane_table& lt = lane_table_block;
    std::vector<cut_move> out;
    for (int i = std::max(1, pocket_box_block.first_output_lane); i <= lt.count; ++i) {
        if (lt.level[i] == kLevelSeparator) continue;
        loop entries = lane_entries(i);
        const bool chained =
            !out.empty() && out.back().lane == i - 1 && !out.back().entries.empty() && !entries.empty();
        if (chained) out.push_back({0, false, {out.back().entries.back(), entries.front()}, true});
        out.push_back({i, lt.group[i] == kGroupConnection, std::move(entries)});
    }
    return out;
}

// The shape of the cutting order: output lanes are cut lanes (their engine lane in link 2),
// 4-entry connections, or empty separators, the last a separator; every live engine lane is cut
// exactly once and nothing else is cut.
inline std::vector<std::string> cutting_order_faults()
{
    std::vector<std::string> faults;
    const lane_table& lt = lane_table_block;
    const int first = pocket_box_block.first_output_lane;
    if (first < 2 || first > lt.count) return {"no cut chains (first output lane " + std::to_string(first) + ")"};
    if (lt.level[lt.count] != kLevelSeparator) faults.push_back("the last output lane is not a separator");
    std::map<int, int> cut;
    for (int i = first; i <= lt.count; ++i) {
        int n = 0;
        lane_npnts(i, n);
        if (lt.level[i] == kLevelSeparator) {
            if (n != 0) faults.push_back("separator " + std::to_string(i) + " holds points");
        } else if (lt.group[i] == kGroupConnection) {
            if (n != 4) faults.push_back("connection " + std::to_string(i) + " has " + std::to_string(n) + " entries");
        } else {
            if (n < 2) faults.push_back("cut lane " + std::to_string(i) + " has " + std::to_string(n) + " entries");
            ++cut[lt.link2[i]];
        }
    }
    for (int i = 1; i < first; ++i)
        if (lt.status[i] > 0 && cut[i] != 1)
            faults.push_back("engine lane " + std::to_string(i) + " cut " + std::to_string(cut[i]) + " times");
    for (const auto& [lane, times] : cut)
        if (lane < 1 || lane >= first || lt.status[lane] <= 0)
            faults.push_back("lane " + std::to_string(lane) + " is cut but not live");
    return faults;
}

// ---- regions of the pocket ----------------------------------------------------------------------

// The points along a lane or a connection, its last point included (a closed lane ends where it
// starts).
inline std::vector<xy> points_along(const loop& entries, double sagitta)
{
    std::vector<xy> out = kernel_geometry::flatten(entries, sagitta);
    if (!entries.empty()) out.push_back(entries.back());
    return out;
}

inline ClipperLib::Path open_path_of(const loop& entries)
{
    ClipperLib::Path p;
    for (const xy& q : points_along(entries, kJudgeSagitta)) p.push_back(clipper_point(q));
    return p;
}

inline ClipperLib::Paths offset_of(const ClipperLib::Paths& paths, ClipperLib::EndType end, double delta)
{
    ClipperLib::ClipperOffset co(2.0, 0.1 * kJudgeSagitta * kScale);
    co.AddPaths(paths, ClipperLib::jtRound, end);
    ClipperLib::Paths out;
    co.Execute(out, delta * kScale);
    return out;
}

inline ClipperLib::Paths boolean(ClipperLib::ClipType op, const ClipperLib::Paths& a, const ClipperLib::Paths& b)
{
    ClipperLib::Clipper c;
    c.AddPaths(a, ClipperLib::ptSubject, true);
    c.AddPaths(b, ClipperLib::ptClip, true);
    ClipperLib::Paths out;
    c.Execute(op, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return out;
}

// Where the tool centre may go with every offset less `less`: the outer contour shrunk by its
// offset less `less`, without the islands grown by theirs less `less`.
inline ClipperLib::Paths reachable_region_of(const pocket_case& c, double less)
{
    auto contour_path = [](const loop& l) {
        ClipperLib::Path p = kernel_geometry::path_of(contour_points(l));
        if (!ClipperLib::Orientation(p)) ClipperLib::ReversePath(p);
        return ClipperLib::Paths{p};
    };
    ClipperLib::Paths inside =
        offset_of(contour_path(c.contours[0]), ClipperLib::etClosedPolygon, -(c.offsets[0] + c.extra_offset - less));
    ClipperLib::Paths islands;
    for (std::size_t k = 1; k < c.contours.size(); ++k) {
        const ClipperLib::Paths grown =
            offset_of(contour_path(c.contours[k]), ClipperLib::etClosedPolygon, c.offsets[k] + c.extra_offset - less);
        islands.insert(islands.end(), grown.begin(), grown.end());
    }
    return boolean(ClipperLib::ctDifference, inside, boolean(ClipperLib::ctUnion, islands, {}));
}

// Whether two pockets have the same contours, offsets and extra offset (the regions' input).
inline bool same_contours(const pocket_case& a, const pocket_case& b)
{
    const auto same_point = [](const xy& p, const xy& q) { return p.x == q.x && p.y == q.y; };
    if (a.offsets != b.offsets || a.extra_offset != b.extra_offset || a.contours.size() != b.contours.size())
        return false;
    for (std::size_t k = 0; k < a.contours.size(); ++k)
        if (!std::equal(a.contours[k].begin(), a.contours[k].end(), b.contours[k].begin(), b.contours[k].end(),
                        same_point))
            return false;
    return true;
}

// The reachable regions of the pocket asked for last, one for each amount `less`: drawing a
// random pocket (is there room?) and every check of its judge need the same few regions, each an
// offset of every contour and a union of the islands.
struct region_memo {
    pocket_case pocket;
    std::vector<std::pair<double, ClipperLib::Paths>> regions;
};

inline ClipperLib::Paths reachable_region(const pocket_case& c, double less)
{
    static region_memo memo;
    if (!same_contours(memo.pocket, c)) memo = {c, {}};
    for (const auto& [amount, region] : memo.regions)
        if (amount == less) return region;
    memo.regions.emplace_back(less, reachable_region_of(c, less));
    return memo.regions.back().second;
}

// Distance of a point from a contour's boundary.
inline double contour_distance(const loop& contour, xy p)
{
    const std::vector<xy> v = contour_points(contour);
    double best = 1e300;
    for (std::size_t i = 0; i < v.size(); ++i)
        best = std::min(best, kernel_geometry::segment_distance(p, v[i], v[(i + 1) % v.size()]));
    return best;
}

// ---- strips ---------------------------------------------------------------------------------------

// The box of the paths' points (top the least y, as Clipper's own).
inline ClipperLib::IntRect bounds_of(const ClipperLib::Paths& paths)
{
    ClipperLib::IntRect b{0, 0, -1, -1};
    bool first = true;
    for (const ClipperLib::Path& p : paths)
        for (const ClipperLib::IntPoint& q : p) {
            if (first) b = {q.X, q.Y, q.X, q.Y}, first = false;
            b = {std::min(b.left, q.X), std::min(b.top, q.Y), std::max(b.right, q.X), std::max(b.bottom, q.Y)};
        }
    return b;
}

// The pieces of a polyline that lie in the slab low <= x <= high, in their order along it.
inline std::vector<std::vector<xy>> pieces_in_slab(const std::vector<xy>& v, double low, double high)
{
    std::vector<std::vector<xy>> out;
    std::vector<xy> piece;
    const auto end_piece = [&] {
        if (!piece.empty()) out.push_back(std::move(piece));
        piece.clear();
    };
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
        const xy a = v[i], b = v[i + 1];
        double from = 0.0, to = 1.0;
        if (a.x == b.x) {
            if (a.x < low || a.x > high) from = 1.0, to = 0.0;
        } else {
            const double at_low = (low - a.x) / (b.x - a.x), at_high = (high - a.x) / (b.x - a.x);
            from = std::max(from, std::min(at_low, at_high)), to = std::min(to, std::max(at_low, at_high));
        }
        if (from > to) {
            end_piece();
            continue;
        }
        const auto along = [&](double t) { return xy{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; };
        if (from > 0.0) end_piece();
        if (piece.empty()) piece.push_back(from > 0.0 ? along(from) : a);
        piece.push_back(to < 1.0 ? along(to) : b);
        if (to < 1.0) end_piece();
    }
    if (v.size() == 1 && v.front().x >= low && v.front().x <= high) piece.push_back(v.front());
    end_piece();
    return out;
}

// A sweep of Clipper costs in proportion to the edges each scan line crosses, and across a whole
// pocket a scan line crosses every lane and every island: the measures are taken in vertical
// strips about this many steps wide (and in no more than kMostStrips), each against only the
// pieces of the moves and the contours of the region that lie in or near it.
inline constexpr double kStripSteps = 4.0;
inline constexpr int kMostStrips = 256;

// The sides of the strips across low..high (Clipper units), strips + 1 of them; a side is moved
// off the x of every point in `avoid` (sorted), so that no move's point lies on a side.
inline std::vector<ClipperLib::cInt> strip_sides(ClipperLib::cInt low, ClipperLib::cInt high, double step,
                                                 const std::vector<ClipperLib::cInt>& avoid)
{
    const double width = static_cast<double>(high - low);
    const int strips = std::clamp(static_cast<int>(width / (kStripSteps * step * kScale)), 1, kMostStrips);
    std::vector<ClipperLib::cInt> sides{low};
    for (int k = 1; k < strips; ++k) {
        ClipperLib::cInt x = low + static_cast<ClipperLib::cInt>(std::llround(width * k / strips));
        while (std::binary_search(avoid.begin(), avoid.end(), x)) ++x;
        if (x > sides.back() && x < high) sides.push_back(x);
    }
    sides.push_back(high);
    return sides;
}

// The region within the strip low <= x <= high: only its loops whose boxes meet the strip take
// part (a loop apart from the strip changes nothing in it).
inline ClipperLib::Paths region_in_strip(const ClipperLib::Paths& region, const std::vector<ClipperLib::IntRect>& boxes,
                                         ClipperLib::cInt low, ClipperLib::cInt high)
{
    ClipperLib::Paths near;
    ClipperLib::cInt top = 0, bottom = 0;
    for (std::size_t i = 0; i < region.size(); ++i)
        if (boxes[i].right >= low && boxes[i].left <= high) {
            top = near.empty() ? boxes[i].top : std::min(top, boxes[i].top);
            bottom = near.empty() ? boxes[i].bottom : std::max(bottom, boxes[i].bottom);
            near.push_back(region[i]);
        }
    if (near.empty()) return {};
    const ClipperLib::Paths strip{{{low, top - 1}, {high, top - 1}, {high, bottom + 1}, {low, bottom + 1}}};
    return boolean(ClipperLib::ctIntersection, near, strip);
}

// The boxes of a region's loops.
inline std::vector<ClipperLib::IntRect> loop_boxes(const ClipperLib::Paths& region)
{
    std::vector<ClipperLib::IntRect> boxes;
    for (const ClipperLib::Path& p : region) boxes.push_back(bounds_of({p}));
    return boxes;
}

// A move's points in Clipper units, repeated ones dropped.
inline ClipperLib::Path clipper_path(const std::vector<xy>& points)
{
    ClipperLib::Path p;
    for (const xy& q : points)
        if (p.empty() || p.back() != clipper_point(q)) p.push_back(clipper_point(q));
    return p;
}

// The pieces of the open paths (their points) outside `allowed`, as Clipper's difference gives
// them, found strip by strip: the paths are cut at the strips' sides (where none of their points
// lies), and the pieces a side parted are one again (their points together).
inline std::vector<ClipperLib::Path> pieces_outside(const ClipperLib::Paths& allowed,
                                                    const std::vector<std::vector<xy>>& paths, double step)
{
    ClipperLib::Paths lines;
    for (const std::vector<xy>& v : paths) lines.push_back(clipper_path(v));
    std::vector<ClipperLib::cInt> xs;
    for (const ClipperLib::Path& p : lines)
        for (const ClipperLib::IntPoint& q : p) xs.push_back(q.X);
    if (xs.empty()) return {};
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    const std::vector<ClipperLib::cInt> sides = strip_sides(xs.front(), xs.back(), step, xs);
    const std::vector<ClipperLib::IntRect> boxes = loop_boxes(allowed);
    std::vector<ClipperLib::Path> outside;
    for (std::size_t k = 0; k + 1 < sides.size(); ++k) {
        ClipperLib::Paths pieces;
        for (const std::vector<xy>& v : paths)
            for (const std::vector<xy>& piece : pieces_in_slab(v, sides[k] / kScale, sides[k + 1] / kScale))
                if (ClipperLib::Path p = clipper_path(piece); p.size() > 1) pieces.push_back(std::move(p));
        if (pieces.empty()) continue;
        // The region a little wider than the slab, so that the pieces' cut ends lie inside it.
        ClipperLib::Clipper clip;
        clip.AddPaths(pieces, ClipperLib::ptSubject, false);
        clip.AddPaths(region_in_strip(allowed, boxes, sides[k] - 2, sides[k + 1] + 2), ClipperLib::ptClip, true);
        ClipperLib::PolyTree tree;
        clip.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        ClipperLib::Paths found;
        ClipperLib::OpenPathsFromPolyTree(tree, found);
        outside.insert(outside.end(), found.begin(), found.end());
    }
    // Pieces that end at the same point of a side between two strips are one piece, and so are
    // those that end where a closed path begins and ends (Clipper joins a path's two ends there).
    std::set<std::pair<ClipperLib::cInt, ClipperLib::cInt>> closing;
    for (const ClipperLib::Path& p : lines)
        if (p.size() > 2 && p.front() == p.back()) closing.insert({p.front().X, p.front().Y});
    std::vector<std::size_t> group(outside.size());
    for (std::size_t i = 0; i < group.size(); ++i) group[i] = i;
    const auto root = [&group](std::size_t i) {
        while (group[i] != i) i = group[i] = group[group[i]];
        return i;
    };
    std::map<std::pair<ClipperLib::cInt, ClipperLib::cInt>, std::size_t> at_side;
    for (std::size_t i = 0; i < outside.size(); ++i)
        for (const ClipperLib::IntPoint& q : {outside[i].front(), outside[i].back()}) {
            const auto side = std::lower_bound(sides.begin() + 1, sides.end() - 1, q.X - 1);
            if ((side == sides.end() - 1 || *side > q.X + 1) && closing.count({q.X, q.Y}) == 0) continue;
            const auto [place, first] = at_side.emplace(std::pair{q.X, q.Y}, i);
            if (!first) group[root(i)] = root(place->second);
        }
    std::vector<ClipperLib::Path> joined;
    std::map<std::size_t, std::size_t> index;
    for (std::size_t i = 0; i < outside.size(); ++i) {
        const auto [place, first] = index.emplace(root(i), joined.size());
        if (first) joined.emplace_back();
        ClipperLib::Path& to = joined[place->second];
        to.insert(to.end(), outside[i].begin(), outside[i].end());
    }
    return joined;
}

// ---- the properties ---------------------------------------------------------------------------------

// A judge shows at most this many faults of one kind; past it one more line tells how many there
// are in all, so that the size of a fault is seen without a flood of lines.
inline constexpr std::size_t kFaultsShown = 5;

// Adds the fault to those of its kind while fewer than kFaultsShown are shown; counts it anyway.
inline void note_fault(std::vector<std::string>& faults, std::size_t& count, const std::string& fault)
{
    if (count++ < kFaultsShown) faults.push_back(fault);
}

// The closing line of a kind with more faults than were shown: it starts as the kind's faults do,
// so that a list of faults left by a kind covers it too.
inline void note_count(std::vector<std::string>& faults, std::size_t count, const std::string& kind)
{
    if (count > kFaultsShown)
        faults.push_back(kind + " faults: " + std::to_string(count) + " in all, " + std::to_string(kFaultsShown) +
                         " shown");
}

// Pieces of cutting moves (the cut lanes, the step-overs between the output lanes of a chain and
// the connections) outside the region reachable with every offset less the tolerance (connections
// may reach twice the tolerance further: their spike points).
inline std::vector<std::string> clearance_faults(const pocket_case& c, const std::vector<cut_move>& moves)
{
    std::vector<std::string> faults;
    enum { kCuts, kSteps, kConnections };
    for (const int kind : {kCuts, kSteps, kConnections}) {
        const bool connections = kind == kConnections;
        const char* name = connections ? "connection" : kind == kSteps ? "step-over" : "cut";
        std::vector<std::vector<xy>> paths;
        for (const cut_move& m : moves)
            if (m.connection == connections && m.step == (kind == kSteps))
                paths.push_back(points_along(m.entries, kJudgeSagitta));
        if (paths.empty()) continue;
        const ClipperLib::Paths allowed = reachable_region(c, (connections ? 3.0 : 1.0) * c.tolerance);
        std::size_t count = 0;
        for (const std::vector<ClipperLib::IntPoint>& piece : pieces_outside(allowed, paths, c.step)) {
            // The deepest point of the piece, and the contour it comes nearest.
            double depth = -1e300;
            xy p{};
            std::size_t nearest = 0;
            for (const auto& q : piece) {
                const xy v{q.X / kScale, q.Y / kScale};
                for (std::size_t k = 0; k < c.contours.size(); ++k) {
                    const double d = c.offsets[k] + c.extra_offset - contour_distance(c.contours[k], v);
                    if (d > depth) depth = d, p = v, nearest = k;
                }
            }
            std::ostringstream s;
            s << name << " " << depth << " nearer than its offset to "
              << (nearest == 0 ? std::string("the outer contour") : "island " + std::to_string(nearest)) << " at "
              << at(p);
            note_fault(faults, count, s.str());
        }
        note_count(faults, count, name);
    }
    return faults;
}

// Corner scallops: where a lane turns, offsetting leaves a little more than half a step between
// it and the next lane (0.59 step into a right angle, up to one step into a sharp corner). Such
// points lie within one step of the corner of a lane (a point where a cut turns by 10 degrees or
// more, or the end of an open cut) and are no fault. A gap that a corner does not explain (lanes
// of two walls standing more than a step apart, a lane missing) is.
inline constexpr double kCornerTurn = 10.0 * kernel_geometry::kPi / 180.0;

// Whether the box of a disc about p of radius r meets one of the boxes.
inline bool meets_any(ClipperLib::IntPoint p, ClipperLib::cInt r, const std::vector<ClipperLib::IntRect>& boxes)
{
    return std::any_of(boxes.begin(), boxes.end(), [&](const ClipperLib::IntRect& b) {
        return p.X + r >= b.left && p.X - r <= b.right && p.Y + r >= b.top && p.Y - r <= b.bottom;
    });
}

// The corners' discs of radius `step` that reach into one of the boxes `within` (a disc that
// reaches into none takes nothing from what lies in them).
inline ClipperLib::Paths corner_reach(const std::vector<cut_move>& moves, double step,
                                      const std::vector<ClipperLib::IntRect>& within)
{
    // The disc's box, with a unit for Clipper's rounding of its points.
    const ClipperLib::cInt radius = static_cast<ClipperLib::cInt>(std::ceil(step * kScale)) + 1;
    ClipperLib::Paths corners;
    auto corner = [&](xy p) {
        if (meets_any(clipper_point(p), radius, within)) corners.push_back({clipper_point(p)});
    };
    for (const cut_move& m : moves) {
        std::vector<xy> v;
        for (const xy& p : points_along(m.entries, kJudgeSagitta))
            if (v.empty() || std::hypot(p.x - v.back().x, p.y - v.back().y) > 1e-9) v.push_back(p);
        if (v.size() < 2) continue;
        const bool closed = std::hypot(v.front().x - v.back().x, v.front().y - v.back().y) <= 1e-9;
        if (!closed) corner(v.front()), corner(v.back());
        const std::size_t n = closed ? v.size() - 1 : v.size();
        for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
            const xy before = v[(i + n - 1) % n], here = v[i], after = v[(i + 1) % n];
            const double turn = std::fabs(
                std::atan2((here.x - before.x) * (after.y - here.y) - (here.y - before.y) * (after.x - here.x),
                           (here.x - before.x) * (after.x - here.x) + (here.y - before.y) * (after.y - here.y)));
            if (turn >= kCornerTurn) corner(here);
        }
    }
    return offset_of(corners, ClipperLib::etOpenRound, step);
}

// The part of the reachable region within the strip low <= x <= high (`part`) farther than `reach`
// from every move (the moves' points).
inline ClipperLib::Paths uncut_in_strip(const ClipperLib::Paths& part, const std::vector<std::vector<xy>>& moves,
                                        double reach, ClipperLib::cInt low, ClipperLib::cInt high)
{
    // A point of the strip lies within reach of a move only through the move's points less than
    // reach beyond the strip's sides. The moves are cut a little farther out, and the pieces' ends
    // left square: where a piece is cut, its end is out of reach of the strip, and a move's own
    // ends are rounded by a disc each (a round end is the half of it beyond the end).
    const double margin = reach + 1e-3, from = low / kScale - margin, to = high / kScale + margin;
    ClipperLib::Paths pieces, ends;
    for (const std::vector<xy>& m : moves) {
        for (const std::vector<xy>& piece : pieces_in_slab(m, from, to)) {
            ClipperLib::Path p = clipper_path(piece);
            // A single point would be squared: its disc is among the ends, or it lies out of reach.
            if (p.size() > 1) pieces.push_back(std::move(p));
        }
        for (const xy& end : {m.front(), m.back()})
            if (end.x >= from && end.x <= to && (ends.empty() || ends.back().front() != clipper_point(end)))
                ends.push_back({clipper_point(end)});
    }
    ClipperLib::ClipperOffset co(2.0, 0.1 * kJudgeSagitta * kScale);
    co.AddPaths(pieces, ClipperLib::jtRound, ClipperLib::etOpenButt);
    co.AddPaths(ends, ClipperLib::jtRound, ClipperLib::etOpenRound);
    ClipperLib::Paths cut;
    co.Execute(cut, reach * kScale);
    return boolean(ClipperLib::ctDifference, part, cut);
}

// The part of the reachable region farther than `reach` from every cutting move, strip by strip,
// the strips' parts joined again.
inline ClipperLib::Paths uncut_region(const pocket_case& c, const std::vector<cut_move>& moves, double reach)
{
    const ClipperLib::Paths region = reachable_region(c, 0.0);
    if (region.empty()) return {};
    std::vector<std::vector<xy>> points;
    for (const cut_move& m : moves)
        if (!m.entries.empty()) points.push_back(points_along(m.entries, kJudgeSagitta));
    const ClipperLib::IntRect box = bounds_of(region);
    const std::vector<ClipperLib::IntRect> boxes = loop_boxes(region);
    const std::vector<ClipperLib::cInt> sides = strip_sides(box.left, box.right, c.step, {});
    ClipperLib::Paths left;
    for (std::size_t k = 0; k + 1 < sides.size(); ++k) {
        const ClipperLib::Paths part = region_in_strip(region, boxes, sides[k], sides[k + 1]);
        if (part.empty()) continue;
        const ClipperLib::Paths rest = uncut_in_strip(part, points, reach, sides[k], sides[k + 1]);
        left.insert(left.end(), rest.begin(), rest.end());
    }
    return boolean(ClipperLib::ctUnion, left, {});
}

// Parts of the reachable region farther than half a step plus the tolerance from every cutting
// move that no corner explains. What is left is opened by a quarter of the tolerance, so that only
// a gap of real width counts.
inline ClipperLib::Paths coverage_gaps(const pocket_case& c, const std::vector<cut_move>& moves)
{
    const ClipperLib::Paths left = uncut_region(c, moves, 0.5 * c.step + c.tolerance);
    const ClipperLib::Paths opened = offset_of(left, ClipperLib::etClosedPolygon, -0.25 * c.tolerance);
    if (opened.empty()) return {};
    std::vector<ClipperLib::IntRect> boxes;
    for (const ClipperLib::Path& p : opened) boxes.push_back(bounds_of({p}));
    return boolean(ClipperLib::ctDifference, opened, corner_reach(moves, c.step, boxes));
}

// One line per gap: its area (holes taken away) and a point of its boundary.
inline std::vector<std::string> coverage_faults(const pocket_case& c, const std::vector<cut_move>& moves)
{
    ClipperLib::Clipper clip;
    clip.AddPaths(coverage_gaps(c, moves), ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clip.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    std::vector<std::string> faults;
    std::size_t count = 0;
    for (const ClipperLib::PolyNode* gap = tree.GetFirst(); gap != nullptr; gap = gap->GetNext()) {
        if (gap->IsHole()) continue;
        double area = std::fabs(ClipperLib::Area(gap->Contour));
        for (const ClipperLib::PolyNode* hole : gap->Childs) area -= std::fabs(ClipperLib::Area(hole->Contour));
        std::ostringstream s;
        s << "uncut area " << area / (kScale * kScale) << " at "
          << at({gap->Contour.front().X / kScale, gap->Contour.front().Y / kScale});
        note_fault(faults, count, s.str());
    }
    note_count(faults, count, "uncut area");
    return faults;
}

// Cut lanes that close on themselves and cross themselves. A lane may touch itself (a lane round
// a merged island runs out and back along a slit): what counts is a crossing, which leaves some
// area wound twice or the other way round, so that the area the loop covers differs from the
// area it encloses.
inline std::vector<std::string> simplicity_faults(const std::vector<cut_move>& moves, double tolerance)
{
    std::vector<std::string> faults;
    for (const cut_move& m : moves) {
        if (m.connection || m.entries.size() < 4) continue;
        const xy a = m.entries.front(), b = m.entries.back();
        if (std::hypot(a.x - b.x, a.y - b.y) > 1e-9) continue;
        ClipperLib::Path p = kernel_geometry::path_of(kernel_geometry::flatten(m.entries, kJudgeSagitta));
        if (!ClipperLib::Orientation(p)) ClipperLib::ReversePath(p);
        ClipperLib::Paths covered;
        ClipperLib::SimplifyPolygon(p, covered, ClipperLib::pftNonZero);
        const double enclosed = std::fabs(ClipperLib::Area(p)) / (kScale * kScale);
        const double perimeter = kernel_geometry::perimeter_of({p});
        if (std::fabs(kernel_geometry::area_of(covered) - enclosed) > tolerance * perimeter * 0.01)
            faults.push_back("cut lane " + std::to_string(m.lane) + " crosses itself");
    }
    return faults;
}

// ---- cut once ----------------------------------------------------------------------------------

// How much of the cut lanes runs a second time along what was cut before: points spaced along
// every cut lane, each counting for its spacing when a cut segment before it lies within `near`
// of it running nearly the same way or back (a lane crossing another is no re-cut). Along the
// same lane only what lies more than kRecutTurn x near behind the point counts, so that a lane
// turning sharply is not taken for one running back over itself.
struct recut_measure {
    double cut = 0.0;        // length of the cut lanes
    double recut = 0.0;      // length of them run over again
    std::vector<xy> places;  // a point of each lane that runs over again, for the reader
};

inline constexpr double kRecutTurn = 4.0;
// |sin| of the angle below which two segments run the same way or back.
inline constexpr double kRecutParallel = 0.2;

inline recut_measure recut_of(const std::vector<cut_move>& moves, double near, double cell)
{
    struct segment {
        xy a, b;
        std::size_t move;
        double along;  // where it ends along its lane
    };
    std::vector<segment> segments;
    std::map<std::pair<long long, long long>, std::vector<std::size_t>> grid;
    const auto key = [cell](double x, double y) {
        return std::pair<long long, long long>{static_cast<long long>(std::floor(x / cell)),
                                               static_cast<long long>(std::floor(y / cell))};
    };
    const double spacing = std::max(0.25 * cell, 2.0 * near) / 4.0;
    recut_measure out;
    for (std::size_t m = 0; m < moves.size(); ++m) {
        if (moves[m].connection || moves[m].step) continue;
        const std::vector<xy> v = points_along(moves[m].entries, kJudgeSagitta);
        double along = 0.0;
        bool placed = false;
        for (std::size_t i = 0; i + 1 < v.size(); ++i) {
            const xy a = v[i], b = v[i + 1];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (!(length > 0.0)) continue;
            const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
            const int samples = std::max(1, static_cast<int>(std::ceil(length / spacing)));
            for (int k = 0; k < samples; ++k) {
                const double t = (k + 0.5) / samples;
                const xy p{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
                const auto cell_of = grid.find(key(p.x, p.y));
                if (cell_of == grid.end()) continue;
                const bool again = std::any_of(cell_of->second.begin(), cell_of->second.end(), [&](std::size_t j) {
                    const segment& q = segments[j];
                    if (q.move == m && q.along > along + t * length - kRecutTurn * near) return false;
                    const double ql = std::hypot(q.b.x - q.a.x, q.b.y - q.a.y);
                    if (!(ql > 0.0)) return false;
                    const double cross = (ux * (q.b.y - q.a.y) - uy * (q.b.x - q.a.x)) / ql;
                    return std::fabs(cross) < kRecutParallel && kernel_geometry::segment_distance(p, q.a, q.b) <= near;
                });
                if (!again) continue;
                out.recut += length / samples;
                if (!placed) out.places.push_back(p), placed = true;
            }
            along += length;
            out.cut += length;
            segments.push_back({a, b, m, along});
            const auto low = key(std::min(a.x, b.x) - near, std::min(a.y, b.y) - near);
            const auto high = key(std::max(a.x, b.x) + near, std::max(a.y, b.y) + near);
            for (long long gx = low.first; gx <= high.first; ++gx)
                for (long long gy = low.second; gy <= high.second; ++gy) grid[{gx, gy}].push_back(segments.size() - 1);
        }
    }
    return out;
}

// The length of the segments of `subject` (pairs of points) that run within `near` of a segment
// of `reference` (pairs of points), the same way or back (only back with `back_only`); `place` one
// point of it.
inline double run_over_length(const loop& subject, const loop& reference, double near, xy& place,
                              bool back_only = false)
{
    double length = 0.0;
    for (std::size_t i = 0; i + 1 < subject.size(); i += 2) {
        const xy a = subject[i], b = subject[i + 1];
        const double l = std::hypot(b.x - a.x, b.y - a.y);
        if (!(l > 0.0)) continue;
        const int samples = std::max(1, static_cast<int>(std::ceil(l / near)));
        for (int k = 0; k < samples; ++k) {
            const double t = (k + 0.5) / samples;
            const xy p{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
            for (std::size_t j = 0; j + 1 < reference.size(); j += 2) {
                const xy q = reference[j], r = reference[j + 1];
                const double ql = std::hypot(r.x - q.x, r.y - q.y);
                if (!(ql > 0.0)) continue;
                const double cross = ((b.x - a.x) * (r.y - q.y) - (b.y - a.y) * (r.x - q.x)) / (l * ql);
                const bool back = (b.x - a.x) * (r.x - q.x) + (b.y - a.y) * (r.y - q.y) < 0.0;
                if (std::fabs(cross) < kRecutParallel && (back || !back_only) &&
                    kernel_geometry::segment_distance(p, q, r) <= near) {
                    length += l / samples;
                    place = p;
                    break;
                }
            }
        }
    }
    return length;
}

// The part of the polyline v between the lengths `from` and `to` along it, as pairs of points.
inline loop stretch_of(const std::vector<xy>& v, double from, double to)
{
    loop out;
    double along = 0.0;
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
        const double length = std::hypot(v[i + 1].x - v[i].x, v[i + 1].y - v[i].y);
        const double low = std::max(from, along), high = std::min(to, along + length);
        if (length > 0.0 && low < high) {
            const auto at = [&](double d) {
                const double t = (d - along) / length;
                return xy{v[i].x + t * (v[i + 1].x - v[i].x), v[i].y + t * (v[i + 1].y - v[i].y)};
            };
            out.push_back(at(low)), out.push_back(at(high));
        }
        along += length;
    }
    return out;
}

// Chains whose first lane runs back over the stretch it begins with. A chain's first lane is
// entered from above (after a separator, or first of all) and may begin wherever it pleases: a
// pass of no width entered at its middle and cut there and back ran that stretch twice. Measured
// over the first step of the lane (a quarter of it at most), against the lane from a step and
// kRecutTurn x near on; a fault when more than half the stretch is run over. A lane that closes
// where it began comes back to its opening's start at its end: its last kRecutTurn x near runs on
// into the opening, not back over it (a lane a few times near round would count it all). Those two
// turns, where the lane runs on along its opening, count only where they run back over it: a lane
// of a few hundredths, all turns, is judged too.
inline std::vector<std::string> cut_once_faults(const pocket_case& c, const std::vector<cut_move>& moves)
{
    std::vector<std::string> faults;
    const lane_table& lt = lane_table_block;
    const double near = 0.5 * c.tolerance;
    for (const cut_move& m : moves) {
        if (m.connection || m.step || m.lane < 1) continue;
        if (m.lane != pocket_box_block.first_output_lane && lt.level[m.lane - 1] != kLevelSeparator) continue;
        const recut_measure whole = recut_of({m}, near, c.step);
        // The measure's points stand a sixteenth of the step apart or more: a lane shorter than the step
        // may run over itself between them, and is judged whatever the measure found.
        if (whole.recut <= 0.0 && whole.cut >= c.step) continue;
        const double opening = std::min(c.step, 0.25 * whole.cut);
        // The opening stretch, then the lane from where it may come back: a segment across either
        // bound is cut there, so that a long first segment is not taken whole for the opening.
        const std::vector<xy> v = points_along(m.entries, kJudgeSagitta);
        const loop head = stretch_of(v, 0.0, opening);
        const bool closes = !v.empty() && std::hypot(v.back().x - v.front().x, v.back().y - v.front().y) <= near;
        const double end = closes ? whole.cut : std::numeric_limits<double>::infinity();
        const double tail_from = opening + kRecutTurn * near, tail_end = end - (closes ? kRecutTurn * near : 0.0);
        if (head.empty()) continue;
        loop turns = stretch_of(v, opening, std::min(tail_from, end));
        if (closes) {
            const loop closing = stretch_of(v, std::max(tail_end, tail_from), end);
            turns.insert(turns.end(), closing.begin(), closing.end());
        }
        xy place{};
        const double back = run_over_length(stretch_of(v, tail_from, tail_end), head, near, place) +
                            run_over_length(turns, head, near, place, true);
        if (back > 0.5 * opening)
            faults.push_back("run twice: cut lane " + std::to_string(m.lane) + " runs back over its first " +
                             std::to_string(opening) + " for " + std::to_string(back) + " at " + at(place));
    }
    return faults;
}

// A picture of the pocket for the one who reads a failure: contours black, cut lanes blue,
// connections green, the places named by the faults red.
inline void write_picture(const std::string& file, const pocket_case& c, const std::vector<cut_move>& moves,
                          const std::vector<std::string>& faults, xy low = {0.0, 0.0}, double width = 0.0)
{
    std::ofstream out(file);
    if (width <= 0.0)
        for (const xy& p : kernel_geometry::flatten(c.contours[0], 1e-2)) width = std::max({width, p.x, p.y});
    const double scale = 1000.0 / width;
    out << "<svg xmlns='http://www.w3.org/2000/svg' width='1020' height='1020'><g transform='translate(10,1010) scale("
        << scale << "," << -scale << ") translate(" << -low.x << "," << -low.y << ")'>\n";
    auto polyline = [&](const loop& l, const char* colour, double width) {
        out << "<polyline fill='none' stroke='" << colour << "' stroke-width='" << width / scale << "' points='";
        for (const xy& p : points_along(l, 1e-3)) out << p.x << "," << p.y << " ";
        out << "'/>\n";
    };
    for (const loop& l : c.contours) polyline(l, "black", 1.5);
    auto area = [&](const ClipperLib::Paths& paths, const char* fill, const char* stroke) {
        out << "<path fill='" << fill << "' fill-rule='nonzero' stroke='" << stroke << "' stroke-width='" << 0.5 / scale
            << "' d='";
        for (const auto& p : paths) {
            for (std::size_t i = 0; i < p.size(); ++i)
                out << (i == 0 ? "M" : "L") << p[i].X / kScale << "," << p[i].Y / kScale << " ";
            out << "Z ";
        }
        out << "'/>\n";
    };
    area(reachable_region(c, 0.0), "none", "grey");
    area(coverage_gaps(c, moves), "pink", "red");
    for (const cut_move& m : moves) polyline(m.entries, m.connection ? "green" : "blue", 0.7);
    for (const std::string& f : faults) {
        const std::size_t open = f.rfind(" at (");
        if (open == std::string::npos) continue;
        double x = 0.0, y = 0.0;
        if (std::sscanf(f.c_str() + open, " at (%lf, %lf)", &x, &y) == 2)
            out << "<circle cx='" << x << "' cy='" << y << "' r='" << 4.0 / scale << "' fill='red'/>\n";
    }
    out << "</g></svg>\n";
}

// A computation that ended with no lane (status kEngineNoLane): right only where the region has
// no room for the tool (what of it the opening of coverage_gaps keeps is uncut area), nothing is
// cut, and the user is told on the user channel why.
inline std::vector<std::string> no_lane_faults(const pocket_case& c)
{
    std::vector<std::string> faults = coverage_faults(c, {});
    if (!faults.empty()) faults.insert(faults.begin(), "status " + std::to_string(kEngineNoLane) + " with room left");
    if (!cut_moves().empty()) faults.push_back("status " + std::to_string(kEngineNoLane) + " with lanes cut");
    if (vantu::control::texts_of("userrc").empty())
        faults.push_back("status " + std::to_string(kEngineNoLane) + " and the user told nothing");
    return faults;
}

// Every property of the computation just run; status is the computation's.
inline std::vector<std::string> judge(const pocket_case& c, int status)
{
    if (status == kEngineNoLane) return no_lane_faults(c);
    if (status != kEngineDone && status != kEngineEndPointNote) return {"status " + std::to_string(status)};
    std::vector<std::string> faults = cutting_order_faults();
    const std::vector<cut_move> moves = cut_moves();
    for (auto* check : {&clearance_faults, &coverage_faults}) {
        const std::vector<std::string> more = (*check)(c, moves);
        faults.insert(faults.end(), more.begin(), more.end());
    }
    const std::vector<std::string> more = simplicity_faults(moves, c.tolerance);
    faults.insert(faults.end(), more.begin(), more.end());
    return faults;
}

// Every property, and the chains' first lanes cut once.
inline std::vector<std::string> judge_cut_once(const pocket_case& c, int status)
{
    std::vector<std::string> faults = judge(c, status);
    if (faults.size() == 1 && faults.front().rfind("status", 0) == 0) return faults;
    const std::vector<std::string> twice = cut_once_faults(c, cut_moves());
    faults.insert(faults.end(), twice.begin(), twice.end());
    return faults;
}

}  // namespace pocket_judge

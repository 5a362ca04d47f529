// Random pockets drawn into the example part and run by hostrun, judged over every move of the
// written tool path apart from the module: outer contours with convex and concave arcs, round and
// polygonal islands apart from the walls and each other, the part and script that pick them, and
// the judge: every line and arc below the top of the material is clipped to its stretch there, and
// nothing of it may leave the region the tool centre may reach (reachable_region of the
// whole-pocket judge, with Clipper 1): no move passes through an island or a wall.
#pragma once

#include "pocket_dump_support.hpp"

#include "pocket_lanes/pocket_judge.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

namespace random_pockets {

namespace fs = std::filesystem;
namespace kg = kernel_geometry;
using json = nlohmann::json;
using pocket_judge::pocket_case;

inline const std::string kSource = DRELAN_SOURCE_DIR;
inline const std::string kCommon = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
// Pieces of a move outside the region no longer than this are the float coordinates of the dump.
inline constexpr double kMoveSlack = 1.0e-3;
// Chord error of the judge's arcs.
inline constexpr double kArcSagitta = 1.0e-4;
inline constexpr std::size_t kMovesPerClip = 64;

// How many random pockets a run judges: the environment variable, else the default, spread over
// the shards.
inline int pockets_per_shard(const char* variable, int fallback, int shards)
{
    const char* text = std::getenv(variable);
    const int total = text != nullptr ? std::atoi(text) : fallback;
    return std::max(1, (total + shards - 1) / shards);
}

// A pocket of the runner: its shape (every contour at offset 0, the extra offset the pocket's) and
// its stored parameters (word of the parameter block and its value, reals as reals).
struct runner_pocket {
    pocket_case shape;
    std::vector<std::pair<int, json>> words;
};

inline json real(double v) { return json{{"real", v}}; }

inline double area_of(const ClipperLib::Paths& paths)
{
    double a = 0.0;
    for (const auto& p : paths) a += ClipperLib::Area(p);
    return a / (kg::kScale * kg::kScale);
}

inline ClipperLib::Paths region_of(const contour& c)
{
    ClipperLib::Path p = kg::path_of(kg::flatten(c, pocket_judge::kJudgeSagitta));
    if (!ClipperLib::Orientation(p)) ClipperLib::ReversePath(p);
    return {p};
}

// The outer contour: a box whose sides are lines or arcs bulging out of it (convex) or into it,
// drawn again until no two arcs cross.
inline contour outer_contour(double w, double h, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const xy corner[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (;;) {
        contour c{corner[0]};
        for (int i = 1; i <= 4; ++i) {
            const xy p = corner[i - 1], q = corner[i % 4];
            if (unit(rng) < 0.4) {
                c.push_back(q);
                continue;
            }
            const double length = std::hypot(q.x - p.x, q.y - p.y), r = 0.5 * length * (1.05 + 1.45 * unit(rng));
            const double rise = std::sqrt(r * r - 0.25 * length * length);
            const double turn = unit(rng) < 0.5 ? 1.0 : -1.0;  // +1 convex: the centre on the pocket's side
            push_arc(c, r, turn, 0.5 * (p.x + q.x) - turn * rise * (q.y - p.y) / length,
                     0.5 * (p.y + q.y) + turn * rise * (q.x - p.x) / length, q.x, q.y);
        }
        if (kg::simple(c)) return c;
    }
}

// A round island, or a polygon of 3 to 9 corners at radii from half r to r about the centre.
inline contour island_at(xy centre, double r, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (unit(rng) < 0.4) return circle(centre.x, centre.y, r);
    const int n = std::uniform_int_distribution<int>(3, 9)(rng);
    const double start = 2.0 * std::numbers::pi * unit(rng);
    std::vector<xy> v;
    for (int i = 0; i < n; ++i) {
        const double t = start + 2.0 * std::numbers::pi * (i + 0.6 * unit(rng) - 0.3) / n;
        const double rho = r * (0.5 + 0.5 * unit(rng));
        v.push_back({centre.x + rho * std::cos(t), centre.y + rho * std::sin(t)});
    }
    return kg::closed(v);
}

// A pocket of 60 to 120 by 40 to 80 with one to six islands drawn by draw(centre, radius, rng),
// each apart from the walls and the islands before it by twice the extra offset and 1 more, and
// an extra offset of 0.2 to 1.
template <class Draw> pocket_case random_shape(std::mt19937& rng, Draw draw)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double low, double high) { return low + (high - low) * unit(rng); };
    pocket_case p;
    const double w = between(60, 120), h = between(40, 80);
    p.contours = {outer_contour(w, h, rng)};
    p.extra_offset = between(0.2, 1.0);
    const ClipperLib::Paths room = region_of(p.contours[0]);
    ClipperLib::Paths taken;
    const int islands = std::uniform_int_distribution<int>(1, 6)(rng);
    for (int tries = 0; tries < 300 && static_cast<int>(p.contours.size()) <= islands; ++tries) {
        const contour island = draw({between(0, w), between(0, h)}, between(2, 8), rng);
        const ClipperLib::Paths grown =
            pocket_judge::offset_of(region_of(island), ClipperLib::etClosedPolygon, 2.0 * p.extra_offset + 1.0);
        if (area_of(pocket_judge::boolean(ClipperLib::ctDifference, grown, room)) > 0.0 ||
            area_of(pocket_judge::boolean(ClipperLib::ctIntersection, grown, taken)) > 0.0)
            continue;
        p.contours.push_back(island);
        taken.insert(taken.end(), grown.begin(), grown.end());
    }
    p.offsets.assign(p.contours.size(), 0.0);
    return p;
}

// A curve of the part: a line, or an arc counter-clockwise from its start angle.
inline json entity_of(const kg::element& e, int id)
{
    const auto point = [](xy p) { return json::array({p.x, p.y, 0.0}); };
    if (!e.arc)
        return {{"id", id}, {"class", 1}, {"type", 1}, {"kind", "line"}, {"start", point(e.s)}, {"end", point(e.e)}};
    const double degrees = 180.0 / std::numbers::pi;
    const xy from = e.dir > 0 ? e.s : e.e;
    const double start = std::atan2(from.y - e.c.y, from.x - e.c.x) * degrees;
    return {{"id", id},
            {"class", 1},
            {"type", 2},
            {"kind", "arc"},
            {"centre", point(e.c)},
            {"radius", e.r},
            {"normal", {0, 0, 1}},
            {"start_angle_deg", start},
            {"end_angle_deg", start + kg::sweep_of(e) * degrees}};
}

// The example part with the pocket's curves and words, and the script that picks them, answers
// the pocket page with `pages` (each a page answer), confirms the execution and leaves.
inline void write_pocket(const runner_pocket& p, const json& pages, const fs::path& part, const fs::path& script)
{
    json doc = json::parse(runner_test::read_file(kSource + "/examples/pocket_part.json"));
    json kept = json::array();
    for (const json& e : doc["entities"])
        if (e["class"] != 1) kept.push_back(e);
    json steps = json::array({{{"menu", "CONTOUR"}, {"expect", "PLANAR FACE"}}});
    doc["entities"] = json::array();
    int id = 0;
    for (const contour& c : p.shape.contours)
        for (const kg::element& e : kg::elements_of(c)) {
            id = id == 10 ? 16 : id + 1;  // 11 to 15 are the tool, its tables and the UCS
            doc["entities"].push_back(entity_of(e, id));
            steps.push_back({{"pick", id}});
        }
    for (const json& e : kept) doc["entities"].push_back(e);
    for (const auto& [word, value] : p.words) doc["module_data"]["KQ47"]["words"][word] = value;
    std::ofstream(part) << doc.dump();
    steps.push_back({{"pick", "exit"}});
    for (const json& page : pages) steps.push_back({{"page", page}});
    steps.push_back({{"menu", "YES"}, {"expect", "OK TO EXECUTE?"}});
    steps.push_back({{"page", -1}});
    std::ofstream(script) << json{{"steps", steps}}.dump();
}

// The README's example pocket as drawn: the outer contour with its convex arc, the circle and the
// slot; no offset.
inline pocket_case example_pocket(const std::string& name)
{
    contour outer{{0, 0}, {100, 0}, {100, 60}}, slot{{55, 25}, {80, 25}};
    push_arc(outer, 30, 1, 70, 60, 40, 60);
    outer.insert(outer.end(), {{0, 60}, {0, 0}});
    push_arc(slot, 5, 1, 80, 30, 80, 35);
    slot.push_back({55, 35});
    push_arc(slot, 5, 1, 55, 30, 55, 25);
    return {name, {outer, circle(25, 30, 8), slot}, {0, 0, 0}};
}

// ---- the judge ---------------------------------------------------------------------------------

// The moves of a dump that go below the top, and their stretches there outside the region: how
// many, and where the first one lies.
struct move_verdict {
    int moves = 0;
    int outside = 0;
    std::string first;
    // Descents to a level after which the tool climbs again without moving along the level: an
    // entry that came down where no lane starts.
    int landings_left = 0;
    std::string first_landing;
};

inline ClipperLib::IntPoint clip_point(double x, double y)
{
    return {std::llround(x * kg::kScale), std::llround(y * kg::kScale)};
}

// The points of an arc block (runner_test::dump_block of type 3: sweep, centre, end) within the
// judge's chord error.
inline std::vector<runner_test::xy> arc_points(const runner_test::dump_block& b)
{
    const double sweep = runner_test::word_real(b.words[1]), cx = runner_test::word_real(b.words[3]),
                 cy = runner_test::word_real(b.words[4]);
    const double r = std::hypot(b.from[0] - cx, b.from[1] - cy), a0 = std::atan2(b.from[1] - cy, b.from[0] - cx);
    const double step = r > kArcSagitta ? 2.0 * std::acos(1.0 - kArcSagitta / r) : std::numbers::pi;
    const int n = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / step)));
    std::vector<runner_test::xy> points;
    for (int i = 0; i <= n; ++i)
        points.push_back({cx + r * std::cos(a0 + sweep * i / n), cy + r * std::sin(a0 + sweep * i / n)});
    points.push_back({b.to[0], b.to[1]});
    return points;
}

// Every line and arc of the dump (after the first motion, whose start is not known) with a stretch
// below `top`, clipped to that stretch, against the region the tool centre may reach with every
// offset less `less`.
inline move_verdict judge_moves(const std::string& dump, const pocket_case& pocket, double top, double less)
{
    ClipperLib::Paths moves;
    std::vector<ClipperLib::IntPoint> upright;  // moves straight up or down
    move_verdict v;
    bool known = false;
    bool landed = false;  // the last move came straight down below the top
    runner_test::for_each_block(dump, [&](const runner_test::dump_block& b) {
        const bool line = b.type == 2 || b.type == 22 || b.type == 222, arc = b.type == 3 && b.words.size() >= 8;
        if (!line && !arc) return;
        if (!std::exchange(known, true)) return;
        const bool vertical = line && clip_point(b.from[0], b.from[1]) == clip_point(b.to[0], b.to[1]);
        if (std::exchange(landed, false) && vertical && b.to[2] > b.from[2] && v.landings_left++ == 0)
            v.first_landing = "the first at " + pocket_judge::at({b.from[0], b.from[1]});
        landed = vertical && b.to[2] < b.from[2] && b.to[2] < top;
        std::array<double, 3> a = b.from, e = b.to;
        if (a[2] >= top && e[2] >= top) return;
        ++v.moves;
        if (arc) {
            ClipperLib::Path path;
            for (const runner_test::xy& q : arc_points(b)) path.push_back(clip_point(q[0], q[1]));
            moves.push_back(path);
            return;
        }
        const auto at_top = [top](const std::array<double, 3>& from, const std::array<double, 3>& to) {
            const double t = (top - from[2]) / (to[2] - from[2]);
            return std::array<double, 3>{from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1]), top};
        };
        if (a[2] > top) a = at_top(e, a);
        if (e[2] > top) e = at_top(a, e);
        if (clip_point(a[0], a[1]) == clip_point(e[0], e[1]))
            upright.push_back(clip_point(a[0], a[1]));
        else
            moves.push_back({clip_point(a[0], a[1]), clip_point(e[0], e[1])});
    });
    const ClipperLib::Paths region = pocket_judge::reachable_region(pocket, less);
    for (const ClipperLib::IntPoint& q : upright) {
        int crossings = 0;  // a point on a boundary counts as inside
        for (const ClipperLib::Path& r : region) crossings += ClipperLib::PointInPolygon(q, r) != 0 ? 1 : 0;
        if (crossings % 2 == 1 || v.outside++ > 0) continue;
        v.first = "the first up or down at " + pocket_judge::at({q.X / kg::kScale, q.Y / kg::kScale});
    }
    // Clipped a batch at a time: one sweep over many thousands of moves costs far more.
    ClipperLib::Paths outside;
    for (std::size_t first = 0; first < moves.size(); first += kMovesPerClip) {
        ClipperLib::Clipper c;
        c.AddPaths({moves.begin() + static_cast<std::ptrdiff_t>(first),
                    moves.begin() + static_cast<std::ptrdiff_t>(std::min(moves.size(), first + kMovesPerClip))},
                   ClipperLib::ptSubject, false);
        c.AddPaths(region, ClipperLib::ptClip, true);
        ClipperLib::PolyTree tree;
        c.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        ClipperLib::Paths pieces;
        ClipperLib::OpenPathsFromPolyTree(tree, pieces);
        outside.insert(outside.end(), pieces.begin(), pieces.end());
    }
    for (const ClipperLib::Path& p : outside) {
        const xy from{p.front().X / kg::kScale, p.front().Y / kg::kScale},
            to{p.back().X / kg::kScale, p.back().Y / kg::kScale};
        if (std::hypot(to.x - from.x, to.y - from.y) <= kMoveSlack || v.outside++ > 0) continue;
        v.first = "the first from " + pocket_judge::at(from) + " to " + pocket_judge::at(to);
    }
    return v;
}

// A pocket written into the example part, run by hostrun with the script's pages, and its dump
// judged below `top` with every offset less `less`; failure holds the run's exit and output, or
// its transcript where that shows an error line.
struct run_verdict {
    move_verdict moves;
    std::string failure;
};

inline run_verdict run_and_judge(const runner_pocket& p, const json& pages, const fs::path& folder, double top,
                                 double less)
{
    write_pocket(p, pages, folder / "part.json", folder / "script.json");
    const runner_test::run_result run =
        runner_test::run_hostrun("--part " + (folder / "part.json").string() + " --script " +
                                 (folder / "script.json").string() + " --out " + (folder / "out").string() + kCommon);
    if (run.exit_code != 0) return {{}, "exit " + std::to_string(run.exit_code) + ": " + run.output};
    const std::string transcript = runner_test::read_file(folder / "out" / "transcript.txt");
    if (transcript.find("[eroutc]") != std::string::npos) return {{}, transcript};
    return {judge_moves(runner_test::read_file(folder / "out" / "toolpath.txt"), p.shape, top, less), ""};
}

}  // namespace random_pockets

// Hatch clearing through the runner, judged over every move of the written tool path apart from
// the module: the README's reopened example, and seeded random pockets (outer contours with convex
// and concave arcs, round and polygonal islands, several levels, every linking, direction and
// cutting sense) drawn into the example part. The contours as drawn give the region the tool
// centre may reach below the top of the material (pocket_judge.hpp, with Clipper 1); every move,
// cut, link or change of level, is clipped to its stretch below the top, and nothing of it may lie
// outside that region: none passes through an island or a wall, and no arc's chord lies on the
// material's side.
#include "surface_part_support.hpp"

#include "pocket_lanes/pocket_judge.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using pocket_judge::pocket_case;
using runner_test::p3;
namespace kg = kernel_geometry;

const std::string kSource = DRELAN_SOURCE_DIR;
const std::string kCommon = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
constexpr double kTop = 10.0;  // the example part's top Z
// How far a move may pass the contours' offsets: the float coordinates of the dump. An arc's
// chord on the material's side comes nearer by up to the pocket's tolerance and is caught.
constexpr double kMoveSlack = 1.0e-3;
constexpr unsigned kSeed = 20261209u;
constexpr int kShards = 6;

// DRELAN_HATCH_POCKETS sets how many random pockets a run judges (90 by default, spread over
// shards).
int pockets_per_shard()
{
    const char* text = std::getenv("DRELAN_HATCH_POCKETS");
    const int total = text != nullptr ? std::atoi(text) : 90;
    return std::max(1, (total + kShards - 1) / kShards);
}

// The moves of a dump that go below the top, and their stretches there outside the region: how
// many, and where the first one lies.
struct move_verdict {
    int moves = 0;
    int outside = 0;
    std::string first;
};

ClipperLib::IntPoint clip_point(double x, double y)
{
    return {std::llround(x * kg::kScale), std::llround(y * kg::kScale)};
}

move_verdict judge_moves(const std::string& dump, const pocket_case& pocket)
{
    const runner_test::dumped_path path = runner_test::path_of(dump);
    ClipperLib::Clipper c;
    std::vector<ClipperLib::IntPoint> upright;  // moves straight up or down
    move_verdict v;
    for (std::size_t i = 1; i < path.moves.size(); ++i) {
        p3 a = path.moves[i - 1].to, b = path.moves[i].to;
        if (a[2] >= kTop && b[2] >= kTop) continue;
        const auto at_top = [](const p3& from, const p3& to) {
            const double t = (kTop - from[2]) / (to[2] - from[2]);
            return p3{from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1]), kTop};
        };
        if (a[2] > kTop) a = at_top(b, a);
        if (b[2] > kTop) b = at_top(a, b);
        ++v.moves;
        if (clip_point(a[0], a[1]) == clip_point(b[0], b[1]))
            upright.push_back(clip_point(a[0], a[1]));
        else
            c.AddPath({clip_point(a[0], a[1]), clip_point(b[0], b[1])}, ClipperLib::ptSubject, false);
    }
    const ClipperLib::Paths region = pocket_judge::reachable_region(pocket, kMoveSlack);
    for (const ClipperLib::IntPoint& q : upright) {
        int crossings = 0;  // a point on a boundary counts as inside
        for (const ClipperLib::Path& r : region) crossings += ClipperLib::PointInPolygon(q, r) != 0 ? 1 : 0;
        if (crossings % 2 == 1 || v.outside++ > 0) continue;
        v.first = "the first up or down at " + pocket_judge::at({q.X / kg::kScale, q.Y / kg::kScale});
    }
    c.AddPaths(region, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::Paths outside;
    ClipperLib::OpenPathsFromPolyTree(tree, outside);
    for (const ClipperLib::Path& p : outside) {
        const xy from{p.front().X / kg::kScale, p.front().Y / kg::kScale},
            to{p.back().X / kg::kScale, p.back().Y / kg::kScale};
        if (std::hypot(to.x - from.x, to.y - from.y) <= kMoveSlack || v.outside++ > 0) continue;
        v.first = "the first from " + pocket_judge::at(from) + " to " + pocket_judge::at(to);
    }
    return v;
}

TEST(HatchMoves, ReopenedExampleNeverPassesThroughAnIsland)
{
    const fs::path out = runner_test::fresh_folder("hatch_reopen");
    const auto run = [](const std::string& arguments) { return runner_test::run_hostrun(arguments + kCommon); };
    const runner_test::run_result create = run("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                               "/examples/pocket_script.json --out " + (out / "create").string());
    ASSERT_EQ(create.exit_code, 0) << create.output;
    const runner_test::run_result reopen =
        run("--part " + (out / "create" / "part.saved.json").string() + " --script " + kSource +
            "/examples/pocket_reopen_script.json --out " + (out / "reopen").string() + " --edit 1");
    ASSERT_EQ(reopen.exit_code, 0) << reopen.output;
    // The outer contour with its convex arc, the circle and the slot; no offset.
    contour outer{{0, 0}, {100, 0}, {100, 60}}, slot{{55, 25}, {80, 25}};
    push_arc(outer, 30, 1, 70, 60, 40, 60);
    outer.insert(outer.end(), {{0, 60}, {0, 0}});
    push_arc(slot, 5, 1, 80, 30, 80, 35);
    slot.push_back({55, 35});
    push_arc(slot, 5, 1, 55, 30, 55, 25);
    const pocket_case example{"the reopened example", {outer, circle(25, 30, 8), slot}, {0, 0, 0}};
    const move_verdict v = judge_moves(runner_test::read_file(out / "reopen" / "toolpath.txt"), example);
    EXPECT_GT(v.moves, 7000);
    EXPECT_EQ(v.outside, 0) << v.first;
}

// ---- random pockets ----------------------------------------------------------------------------

struct hatch_pocket {
    pocket_case shape;  // every contour at offset 0, the extra offset the pocket's
    // Stored parameters: word of the parameter block and its value (reals as reals).
    std::vector<std::pair<int, json>> words;
};

double area_of(const ClipperLib::Paths& paths)
{
    double a = 0.0;
    for (const auto& p : paths) a += ClipperLib::Area(p);
    return a / (kg::kScale * kg::kScale);
}

ClipperLib::Paths region_of(const contour& c)
{
    ClipperLib::Path p = kg::path_of(kg::flatten(c, pocket_judge::kJudgeSagitta));
    if (!ClipperLib::Orientation(p)) ClipperLib::ReversePath(p);
    return {p};
}

// The outer contour: a box whose sides are lines or arcs bulging out of it (convex) or into it,
// drawn again until no two arcs cross.
contour outer_contour(double w, double h, std::mt19937& rng)
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

contour island_at(xy centre, double r, std::mt19937& rng)
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

hatch_pocket random_pocket(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double low, double high) { return low + (high - low) * unit(rng); };
    hatch_pocket p;
    const double w = between(60, 120), h = between(40, 80);
    p.shape.contours = {outer_contour(w, h, rng)};
    p.shape.extra_offset = between(0.2, 1.0);
    // Islands apart from the walls and each other by twice the offset and 1 more.
    const ClipperLib::Paths room = region_of(p.shape.contours[0]);
    ClipperLib::Paths taken;
    const int islands = std::uniform_int_distribution<int>(1, 6)(rng);
    for (int tries = 0; tries < 300 && static_cast<int>(p.shape.contours.size()) <= islands; ++tries) {
        const contour island = island_at({between(0, w), between(0, h)}, between(2, 8), rng);
        const ClipperLib::Paths grown =
            pocket_judge::offset_of(region_of(island), ClipperLib::etClosedPolygon, 2.0 * p.shape.extra_offset + 1.0);
        if (area_of(pocket_judge::boolean(ClipperLib::ctDifference, grown, room)) > 0.0 ||
            area_of(pocket_judge::boolean(ClipperLib::ctIntersection, grown, taken)) > 0.0)
            continue;
        p.shape.contours.push_back(island);
        taken.insert(taken.end(), grown.begin(), grown.end());
    }
    p.shape.offsets.assign(p.shape.contours.size(), 0.0);
    const auto real = [](double v) { return json{{"real", v}}; };
    const double tolerances[] = {0.005, 0.01, 0.05, 0.1}, z_steps[] = {3.0, 4.0, 10.0};
    p.words = {{4, real(between(0.3, 3.0))},  // side step
               {28, real(tolerances[std::uniform_int_distribution<int>(0, 3)(rng)])},
               {152, real(z_steps[std::uniform_int_distribution<int>(0, 2)(rng)])},
               {272, real(p.shape.extra_offset)},
               {77, real(between(0.0, std::numbers::pi))},  // hatch angle
               {2, unit(rng) < 0.5 ? 1 : 2},                // pass or region linking
               {3, unit(rng) < 0.5 ? 1 : -1},               // hatch direction
               {410, unit(rng) < 0.5 ? 1 : 0},              // links along the contour
               {377, unit(rng) < 0.5 ? 1 : 2}};             // cutting direction
    return p;
}

// A curve of the part: a line, or an arc counter-clockwise from its start angle.
json entity_of(const kg::element& e, int id)
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

// The example part with the pocket's curves and words, and the script that picks them and clears
// by hatch lines.
void write_pocket(const hatch_pocket& p, const fs::path& part, const fs::path& script)
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
    for (const json& step : json::array({{{"pick", "exit"}},
                                         {{"page", {{"line", 10}, {"value", 1}}}},
                                         {{"page", 0}},
                                         {{"menu", "YES"}, {"expect", "OK TO EXECUTE?"}},
                                         {{"page", -1}}}))
        steps.push_back(step);
    std::ofstream(script) << json{{"steps", steps}}.dump();
}

class HatchMovesShard : public ::testing::TestWithParam<int> {};

TEST_P(HatchMovesShard, RandomPocketsKeepEveryMoveBelowTheTopInTheRegion)
{
    const unsigned seed = kSeed + static_cast<unsigned>(GetParam());
    std::mt19937 rng(seed);
    const fs::path folder = runner_test::fresh_folder("hatch_moves_" + std::to_string(GetParam()));
    for (int n = 0, count = pockets_per_shard(); n < count; ++n) {
        const hatch_pocket p = random_pocket(rng);
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", pocket " << n << ", islands "
                                          << p.shape.contours.size() - 1 << ", words " << json(p.words).dump());
        write_pocket(p, folder / "part.json", folder / "script.json");
        const runner_test::run_result run = runner_test::run_hostrun("--part " + (folder / "part.json").string() +
                                                                     " --script " + (folder / "script.json").string() +
                                                                     " --out " + (folder / "out").string() + kCommon);
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::string transcript = runner_test::read_file(folder / "out" / "transcript.txt");
        EXPECT_EQ(transcript.find("[eroutc]"), std::string::npos) << transcript;
        const move_verdict v = judge_moves(runner_test::read_file(folder / "out" / "toolpath.txt"), p.shape);
        EXPECT_GT(v.moves, 10);
        EXPECT_EQ(v.outside, 0) << v.first;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HatchMovesShard, ::testing::Range(0, kShards));

}  // namespace

// Hatch clearing through the runner, judged over every move of the written tool path apart from
// the module: the README's reopened example, and seeded random pockets (outer contours with convex
// and concave arcs, round and polygonal islands, several levels, every linking, direction and
// cutting sense) drawn into the example part. The contours as drawn (lines and true arcs,
// flattened far below any tolerance) give the region the tool centre may reach below the top of
// the material (Clipper 1: the outer contour's inward offset less the islands' outward offsets);
// every move, cut, link or change of level, is clipped to its stretch below the top, and nothing
// of it may lie outside that region: none passes through an island or a wall, and no arc's chord
// lies on the material's side.
#include "surface_part_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <polyclipping/clipper.hpp>

#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

namespace {

using namespace runner_test;
using json = nlohmann::json;

// Clipper's integer unit: a micrometre of a millimetre.
constexpr double kClipScale = 1.0e6;
// Chord error of the flattened contours: far below the judge's slack.
constexpr double kDrawnSagitta = 1.0e-5;
// How far a move may pass the contours' offsets: the float coordinates of the dump. An arc's
// chord on the material's side comes nearer by up to the pocket's tolerance and is caught.
constexpr double kMoveSlack = 1.0e-3;

struct xy {
    double x = 0.0, y = 0.0;
};

// One curve of a contour in the order of its chain: a line from a to b, or an arc about c turning
// counter-clockwise (+1) or clockwise (-1) from a to b through less than a half turn; a circle
// when a and b coincide.
struct drawn_curve {
    xy a, b, c;
    int turn = 0;
};
using drawn_contour = std::vector<drawn_curve>;

double angle_of(xy p, xy c) { return std::atan2(p.y - c.y, p.x - c.x); }
double radius_of(const drawn_curve& k) { return std::hypot(k.a.x - k.c.x, k.a.y - k.c.y); }

// The curve's sweep in its turning sense: a full turn for a circle.
double sweep_of(const drawn_curve& k)
{
    if (k.a.x == k.b.x && k.a.y == k.b.y) return 2.0 * std::numbers::pi;
    const double s = k.turn * (angle_of(k.b, k.c) - angle_of(k.a, k.c));
    return std::fmod(s + 4.0 * std::numbers::pi, 2.0 * std::numbers::pi);
}

// The contour as Clipper's path, arcs in chords of at most kDrawnSagitta.
ClipperLib::Path flattened(const drawn_contour& contour)
{
    ClipperLib::Path path;
    const auto add = [&path](double x, double y) {
        path.push_back({std::llround(x * kClipScale), std::llround(y * kClipScale)});
    };
    for (const drawn_curve& k : contour) {
        add(k.a.x, k.a.y);
        if (k.turn == 0) continue;
        const double r = radius_of(k), sweep = sweep_of(k), t0 = angle_of(k.a, k.c);
        const int n = static_cast<int>(std::ceil(sweep / (2.0 * std::acos(1.0 - kDrawnSagitta / r))));
        for (int i = 1; i < n; ++i) {
            const double t = t0 + k.turn * sweep * i / n;
            add(k.c.x + r * std::cos(t), k.c.y + r * std::sin(t));
        }
    }
    if (!ClipperLib::Orientation(path)) ClipperLib::ReversePath(path);
    return path;
}

ClipperLib::Paths offset_by(const ClipperLib::Paths& paths, double distance)
{
    ClipperLib::ClipperOffset offset(2.0, kDrawnSagitta * kClipScale);
    offset.AddPaths(paths, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths out;
    offset.Execute(out, distance * kClipScale);
    return out;
}

ClipperLib::Paths clipped(ClipperLib::ClipType type, const ClipperLib::Paths& a, const ClipperLib::Paths& b)
{
    ClipperLib::Clipper c;
    c.AddPaths(a, ClipperLib::ptSubject, true);
    c.AddPaths(b, ClipperLib::ptClip, true);
    ClipperLib::Paths out;
    c.Execute(type, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return out;
}

// Where the tool centre may be below the top: offset from every contour by the offset (outer
// contour first), less the slack.
ClipperLib::Paths tool_region(const std::vector<drawn_contour>& contours, double offset)
{
    ClipperLib::Paths islands;
    for (std::size_t k = 1; k < contours.size(); ++k) islands.push_back(flattened(contours[k]));
    return clipped(ClipperLib::ctDifference, offset_by({flattened(contours[0])}, -(offset - kMoveSlack)),
                   offset_by(islands, offset - kMoveSlack));
}

// The moves of a dump that go below the top, and their stretches there outside the region: how
// many, and where the first one lies.
struct move_verdict {
    int moves = 0;
    int outside = 0;
    std::string first;
};

move_verdict judge_moves(const std::string& dump, const std::vector<drawn_contour>& contours, double offset, double top)
{
    const auto point = [](const p3& p) {
        return ClipperLib::IntPoint{std::llround(p[0] * kClipScale), std::llround(p[1] * kClipScale)};
    };
    const dumped_path path = path_of(dump);
    ClipperLib::Clipper c;
    std::vector<ClipperLib::IntPoint> upright;  // moves straight up or down
    move_verdict v;
    for (std::size_t i = 1; i < path.moves.size(); ++i) {
        p3 a = path.moves[i - 1].to, b = path.moves[i].to;
        if (a[2] >= top && b[2] >= top) continue;
        const auto at_top = [&](const p3& from, const p3& to) {
            const double t = (top - from[2]) / (to[2] - from[2]);
            return p3{from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1]), top};
        };
        if (a[2] > top) a = at_top(b, a);
        if (b[2] > top) b = at_top(a, b);
        ++v.moves;
        if (point(a) == point(b))
            upright.push_back(point(a));
        else
            c.AddPath({point(a), point(b)}, ClipperLib::ptSubject, false);
    }
    const ClipperLib::Paths region = tool_region(contours, offset);
    for (const ClipperLib::IntPoint& q : upright) {
        int crossings = 0;  // a point on a boundary counts as inside
        for (const ClipperLib::Path& r : region) crossings += ClipperLib::PointInPolygon(q, r) != 0 ? 1 : 0;
        if (crossings % 2 == 1 || v.outside++ > 0) continue;
        v.first = "the first up or down at (" + std::to_string(q.X / kClipScale) + ", " +
                  std::to_string(q.Y / kClipScale) + ")";
    }
    c.AddPaths(region, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::Paths outside;
    ClipperLib::OpenPathsFromPolyTree(tree, outside);
    for (const ClipperLib::Path& p : outside) {
        const double dx = static_cast<double>(p.back().X - p.front().X),
                     dy = static_cast<double>(p.back().Y - p.front().Y);
        if (std::hypot(dx, dy) <= kMoveSlack * kClipScale || v.outside++ > 0) continue;
        std::ostringstream s;
        s << "the first from (" << p.front().X / kClipScale << ", " << p.front().Y / kClipScale << ") to ("
          << p.back().X / kClipScale << ", " << p.back().Y / kClipScale << ")";
        v.first = s.str();
    }
    return v;
}

const std::string kSource = DRELAN_SOURCE_DIR;
const std::string kCommon = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
constexpr double kTop = 10.0;  // the example part's top Z
constexpr unsigned kSeed = 20261209u;
constexpr int kShards = 6;

// DRELAN_HATCH_POCKETS sets how many random pockets a run judges (120 by default, spread over shards).
int pockets_per_shard()
{
    const char* text = std::getenv("DRELAN_HATCH_POCKETS");
    const int total = text != nullptr ? std::atoi(text) : 120;
    return std::max(1, (total + kShards - 1) / kShards);
}

// The example part's contours: the outer contour with its convex arc, the circle and the slot.
std::vector<drawn_contour> example_contours()
{
    const auto line = [](xy a, xy b) { return drawn_curve{a, b, {}, 0}; };
    return {{line({0, 0}, {100, 0}),
             line({100, 0}, {100, 60}),
             {{100, 60}, {40, 60}, {70, 60}, 1},
             line({40, 60}, {0, 60}),
             line({0, 60}, {0, 0})},
            {{{33, 30}, {33, 30}, {25, 30}, 1}},
            {line({55, 25}, {80, 25}),
             {{80, 25}, {80, 35}, {80, 30}, 1},
             line({80, 35}, {55, 35}),
             {{55, 35}, {55, 25}, {55, 30}, 1}}};
}

TEST(HatchMoves, ReopenedExampleNeverPassesThroughAnIsland)
{
    const fs::path out = fresh_folder("hatch_reopen");
    const run_result create = run_hostrun("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                          "/examples/pocket_script.json --out " + (out / "create").string() + kCommon);
    ASSERT_EQ(create.exit_code, 0) << create.output;
    const run_result reopen =
        run_hostrun("--part " + (out / "create" / "part.saved.json").string() + " --script " + kSource +
                    "/examples/pocket_reopen_script.json --out " + (out / "reopen").string() + kCommon + " --edit 1");
    ASSERT_EQ(reopen.exit_code, 0) << reopen.output;
    const move_verdict v = judge_moves(read_file(out / "reopen" / "toolpath.txt"), example_contours(), 0.0, kTop);
    EXPECT_GT(v.moves, 7000);
    EXPECT_EQ(v.outside, 0) << v.first;
}

// ---- random pockets ----------------------------------------------------------------------------

struct hatch_pocket {
    std::vector<drawn_contour> contours;
    // Stored parameters: word of the parameter block and its value (reals as reals).
    std::vector<std::pair<int, json>> words;
    double offset = 0.0;
};

double area_of(const ClipperLib::Paths& paths)
{
    double a = 0.0;
    for (const auto& p : paths) a += ClipperLib::Area(p);
    return a / (kClipScale * kClipScale);
}

// A side from p to q, or an arc through them bulging out of the pocket (convex) or into it.
drawn_curve side(xy p, xy q, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (unit(rng) < 0.4) return {p, q, {}, 0};
    const double length = std::hypot(q.x - p.x, q.y - p.y), r = 0.5 * length * (1.05 + 1.45 * unit(rng));
    const double h = std::sqrt(r * r - 0.25 * length * length);
    const int turn = unit(rng) < 0.5 ? 1 : -1;  // +1 convex: the centre on the pocket's side
    const xy left{-(q.y - p.y) / length, (q.x - p.x) / length};
    return {p, q, {0.5 * (p.x + q.x) + turn * h * left.x, 0.5 * (p.y + q.y) + turn * h * left.y}, turn};
}

drawn_contour island_at(xy c, double r, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (unit(rng) < 0.4) return {{{c.x + r, c.y}, {c.x + r, c.y}, c, 1}};
    const int n = std::uniform_int_distribution<int>(3, 9)(rng);
    const double start = 2.0 * std::numbers::pi * unit(rng);
    std::vector<xy> v;
    for (int i = 0; i < n; ++i) {
        const double t = start + 2.0 * std::numbers::pi * (i + 0.6 * unit(rng) - 0.3) / n,
                     rho = r * (0.5 + 0.5 * unit(rng));
        v.push_back({c.x + rho * std::cos(t), c.y + rho * std::sin(t)});
    }
    drawn_contour island;
    for (int i = 0; i < n; ++i) island.push_back({v[i], v[(i + 1) % n], {}, 0});
    return island;
}

hatch_pocket random_pocket(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double low, double high) { return low + (high - low) * unit(rng); };
    hatch_pocket p;
    const double w = between(60, 120), h = between(40, 80);
    ClipperLib::Paths room;
    for (;;) {
        const xy corner[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        drawn_contour outer;
        for (int i = 0; i < 4; ++i) outer.push_back(side(corner[i], corner[(i + 1) % 4], rng));
        room = {flattened(outer)};
        ClipperLib::Paths simple;
        ClipperLib::SimplifyPolygons(room, simple);
        // Arcs of neighbouring sides that cross make another outline.
        if (simple.size() == 1 && std::fabs(area_of(simple) - area_of(room)) < 1e-6 * area_of(room)) {
            p.contours.push_back(outer);
            break;
        }
    }
    p.offset = between(0.2, 1.0);
    ClipperLib::Paths taken;  // the islands placed, grown by the room they keep
    const int islands = std::uniform_int_distribution<int>(1, 6)(rng);
    for (int tries = 0; tries < 300 && static_cast<int>(p.contours.size()) <= islands; ++tries) {
        const drawn_contour island = island_at({between(0, w), between(0, h)}, between(2, 8), rng);
        const ClipperLib::Paths grown = offset_by({flattened(island)}, 2.0 * p.offset + 1.0);
        if (area_of(clipped(ClipperLib::ctDifference, grown, room)) > 0.0 ||
            area_of(clipped(ClipperLib::ctIntersection, grown, taken)) > 0.0)
            continue;
        p.contours.push_back(island);
        taken.insert(taken.end(), grown.begin(), grown.end());
    }
    const auto real = [](double v) { return json{{"real", v}}; };
    const double tolerances[] = {0.005, 0.01, 0.05, 0.1}, z_steps[] = {3.0, 4.0, 10.0};
    p.words = {{4, real(between(0.3, 3.0))},  // side step
               {28, real(tolerances[std::uniform_int_distribution<int>(0, 3)(rng)])},
               {152, real(z_steps[std::uniform_int_distribution<int>(0, 2)(rng)])},
               {272, real(p.offset)},                       // extra offset
               {77, real(between(0.0, std::numbers::pi))},  // hatch angle
               {2, unit(rng) < 0.5 ? 1 : 2},                // pass or region linking
               {3, unit(rng) < 0.5 ? 1 : -1},               // hatch direction
               {410, unit(rng) < 0.5 ? 1 : 0},              // links along the contour
               {377, unit(rng) < 0.5 ? 1 : 2}};             // cutting direction
    return p;
}

json entity_of(const drawn_curve& k, int id)
{
    const auto point = [](xy p) { return json::array({p.x, p.y, 0.0}); };
    if (k.turn == 0)
        return {{"id", id}, {"class", 1}, {"type", 1}, {"kind", "line"}, {"start", point(k.a)}, {"end", point(k.b)}};
    json e = {{"id", id},
              {"class", 1},
              {"type", 2},
              {"centre", point(k.c)},
              {"radius", radius_of(k)},
              {"normal", {0, 0, 1}},
              {"kind", "arc"}};
    const double degrees = 180.0 / std::numbers::pi, from = angle_of(k.turn > 0 ? k.a : k.b, k.c) * degrees;
    e["start_angle_deg"] = from;
    if (k.a.x == k.b.x && k.a.y == k.b.y)
        e["kind"] = "circle";
    else
        e["end_angle_deg"] = from + sweep_of(k) * degrees;
    return e;
}

// The example part with the pocket's curves and words, and the script that picks them and clears
// by hatch lines.
void write_pocket(const hatch_pocket& p, const fs::path& part, const fs::path& script)
{
    json doc = json::parse(read_file(kSource + "/examples/pocket_part.json"));
    json others = json::array();
    for (const json& e : doc["entities"])
        if (e["class"] != 1) others.push_back(e);
    json picks = json::array({{{"menu", "CONTOUR"}, {"expect", "PLANAR FACE"}}});
    int id = 0;
    doc["entities"] = json::array();
    for (const drawn_contour& c : p.contours)
        for (const drawn_curve& k : c) {
            id = id == 10 ? 16 : id + 1;  // 11 to 15 are the tool, its tables and the UCS
            doc["entities"].push_back(entity_of(k, id));
            picks.push_back({{"pick", id}});
        }
    for (const json& e : others) doc["entities"].push_back(e);
    for (const auto& [word, value] : p.words) doc["module_data"]["KQ47"]["words"][word] = value;
    std::ofstream(part) << doc.dump();
    for (const json& step : json::array({{{"pick", "exit"}},
                                         {{"page", {{"line", 10}, {"value", 1}}}},
                                         {{"page", 0}},
                                         {{"menu", "YES"}, {"expect", "OK TO EXECUTE?"}},
                                         {{"page", -1}}}))
        picks.push_back(step);
    std::ofstream(script) << json{{"steps", picks}}.dump();
}

class HatchMovesShard : public ::testing::TestWithParam<int> {};

TEST_P(HatchMovesShard, RandomPocketsKeepEveryMoveBelowTheTopInTheRegion)
{
    const unsigned seed = kSeed + static_cast<unsigned>(GetParam());
    std::mt19937 rng(seed);
    const fs::path folder = fresh_folder("hatch_moves_" + std::to_string(GetParam()));
    for (int n = 0, count = pockets_per_shard(); n < count; ++n) {
        const hatch_pocket p = random_pocket(rng);
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", pocket " << n << ", islands "
                                          << p.contours.size() - 1 << ", words " << json(p.words).dump());
        write_pocket(p, folder / "part.json", folder / "script.json");
        const run_result run =
            run_hostrun("--part " + (folder / "part.json").string() + " --script " + (folder / "script.json").string() +
                        " --out " + (folder / "out").string() + kCommon);
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::string transcript = read_file(folder / "out" / "transcript.txt");
        EXPECT_EQ(transcript.find("[eroutc]"), std::string::npos) << transcript;
        const move_verdict v = judge_moves(read_file(folder / "out" / "toolpath.txt"), p.contours, p.offset, kTop);
        EXPECT_GT(v.moves, 10);
        EXPECT_EQ(v.outside, 0) << v.first;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HatchMovesShard, ::testing::Range(0, kShards));

}  // namespace

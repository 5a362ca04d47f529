// Contours a user may draw badly, run through the whole pocket procedure on the example part's
// wire machine: the contours are picked one chain each, the pocket page is accepted with side
// step 2 (or hatch clearing is chosen) and the execution confirmed. Each row says what the user is told (the errors and
// warnings of the message window), whether anything is cut, and into how many regions the
// pocket was split.
#include "run_support.hpp"

#include "driver/module_entry.hpp"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <numbers>

namespace {

using nlohmann::json;
using corners = std::vector<std::array<double, 2>>;

constexpr int kMove = 2, kArc = 3, kMarker = 99, kRegionOpen = 1;

// The part's curves of one row, made in order, and the first curve of each contour (its pick).
struct drawing {
    json curves = json::array();
    std::vector<int> picks;

    int next_id() const { return 100 + static_cast<int>(curves.size()); }
    void line(std::array<double, 2> a, std::array<double, 2> b)
    {
        curves.push_back({{"id", next_id()},
                          {"class", 1},
                          {"type", 1},
                          {"kind", "line"},
                          {"start", {a[0], a[1], 0.0}},
                          {"end", {b[0], b[1], 0.0}}});
    }
    // Lines through the corners (closed: back to the first), one contour.
    drawing& lines(const corners& c, bool closed = true)
    {
        picks.push_back(next_id());
        for (std::size_t k = 0; k + 1 < c.size() + (closed ? 1 : 0); ++k) line(c[k], c[(k + 1) % c.size()]);
        return *this;
    }
    drawing& circle(std::array<double, 2> centre, double radius)
    {
        picks.push_back(next_id());
        curves.push_back({{"id", next_id()},
                          {"class", 1},
                          {"type", 2},
                          {"kind", "circle"},
                          {"centre", {centre[0], centre[1], 0.0}},
                          {"radius", radius}});
        return *this;
    }
    // A closed cubic spline through a wavy circle of `points` control points, one contour.
    drawing& spline(int points)
    {
        json knots = json::array(), control = json::array();
        for (int k = 0; k < points + 3; ++k) {
            const double a = 2 * std::numbers::pi * (k % points) / points;
            const double r = 15.0 * (1.0 + 0.05 * std::sin(7 * a));
            control.push_back({50 + r * std::cos(a), 50 + r * std::sin(a), 0.0});
        }
        for (int k = 0; k < points + 7; ++k) knots.push_back(k);
        picks.push_back(next_id());
        curves.push_back({{"id", next_id()},
                          {"class", 1},
                          {"type", 7},
                          {"kind", "spline"},
                          {"degree", 3},
                          {"knots", knots},
                          {"points", control}});
        return *this;
    }
};

const corners kOuter = {{0, 0}, {100, 0}, {100, 60}, {0, 60}};

drawing open_outer(double gap)
{
    return drawing{}.lines({{0, 0}, {100, 0}, {100, 60}, {0, 60}, {0, gap}}, false).circle({25, 30}, 8);
}

drawing polygon_outline(int sides)
{
    corners c;
    for (int k = 0; k < sides; ++k)
        c.push_back({50 + 15 * std::cos(2 * std::numbers::pi * k / sides),
                     50 + 15 * std::sin(2 * std::numbers::pi * k / sides)});
    return drawing{}.lines(c);
}

// The left square's corners open by 0.06, its neighbour 0.04 away: its chain runs on into the
// neighbour's lines and back along itself.
drawing sloppy_loop()
{
    drawing d;
    d.lines(kOuter).lines({{40.04, 20}, {60, 20}, {60, 40}, {40.04, 40}});
    d.picks.push_back(d.next_id());
    d.line({20.06, 20}, {40, 20});
    d.line({40, 20.06}, {40, 40});
    d.line({39.94, 40}, {20, 40});
    d.line({20, 39.94}, {20, 20});
    return d;
}

// The example part with the row's curves in place of its pocket (its machine, tool and stored
// parameters stay).
std::string part_with(const drawing& d)
{
    std::ifstream file(std::string(DRELAN_SOURCE_DIR) + "/examples/pocket_part.json");
    json part = json::parse(file);
    json kept = d.curves;
    for (const json& e : part["entities"])
        if (e["id"].get<int>() >= 11) kept.push_back(e);
    part["entities"] = kept;
    return part.dump();
}

// Hatch clearing is chosen on the page (line 10) and accepted as it stands.
std::string script_for(const drawing& d, bool hatch)
{
    json steps = json::array({{{"menu", "CONTOUR"}}});
    for (const int p : d.picks) steps.push_back({{"pick", p}});
    steps.push_back({{"pick", "exit"}});
    if (hatch) {
        steps.push_back({{"page", json::array({{{"line", 10}, {"value", 1}}})}});
        steps.push_back({{"page", 0}});
    } else {
        steps.push_back({{"page", json::array({{{"line", 14}, {"value", 2}}, {{"line", 0}}})}});
    }
    return json{{"steps", steps}, {"rules", json::array({{{"menu", "YES"}, {"expect", "OK TO EXECUTE?"}}})}}.dump();
}

// What the run left: the message window's errors and warnings, the moves and regions cut.
struct outcome {
    std::vector<std::string> told;
    long moves = 0;
    int regions = 0;
};

outcome run(const drawing& d, bool hatch)
{
    vantu::control::load_part_text(part_with(d), "bad contours");
    vantu::control::set_data_directories({std::string(DRELAN_SOURCE_DIR) + "/data"});
    vantu::control::load_script_text(script_for(d, hatch), "bad contours");
    drelan_attach(kProcessAttach);
    drelan();
    drelan_attach(kProcessDetach);
    outcome o;
    for (const vantu::control::message& m : vantu::control::messages()) {
        const bool window = m.channel == "sheerx" && (m.line.rfind("ERROR", 0) == 0 || m.line.rfind("WARNING", 0) == 0);
        if (window || m.channel == "userrc") o.told.push_back(m.line);
    }
    const vantu::control::toolpath_line* procedure = run_test::procedure_block(1);
    if (procedure == nullptr) return o;
    for (const vantu::control::toolpath_line& l : procedure->sublist) {
        if (l.words.empty()) continue;
        if (l.words[0] == kMove || l.words[0] == kArc) ++o.moves;
        if (l.words[0] == kMarker && l.words.size() > 2 && l.words[2] == kRegionOpen) ++o.regions;
    }
    return o;
}

std::string gap_warning(const char* gap)
{
    return std::string("WARNING  : MAX. GAP BETWEEN CONT. CURVES IS ") + gap + " .GREATER THAN CONT. TOL.";
}

const std::string kCrossing = "ERROR    : CONTOURS 1 AND 2 CROSS EACH OTHER";
const std::string kOuterCovered = "THE POCKET OUTER CONTOUR CONTAINED WITHIN THE ISLAND CONTOUR";

class BadContours : public run_test::RunTest {};

}  // namespace

// Gaps up to the contour tolerance (0.1) close in silence; a larger gap, which the pocket closes
// along a line that is not in the part, is told. A contour crossing itself or another (an island
// across the wall, a chain that ran into a neighbour's lines and back) is refused before anything
// is cut. Islands outside, nested, overlapping, touching or 0.04 apart are pocketed, in as many
// regions as their nesting makes; an island round the outer contour leaves nothing to pocket, which
// the user is told, and nothing is cut; long outlines are taken whole.
TEST_F(BadContours, EachGetsItsMessageAndIsCutOrRefused)
{
    struct row {
        const char* what;
        drawing contours;
        std::vector<std::string> told;
        bool cut;
        int regions;
        bool hatch = false;
    };
    const row rows[] = {
        {"closed outer and a circle", drawing{}.lines(kOuter).circle({25, 30}, 8), {}, true, 1},
        {"open by 0.05, below the tolerance", open_outer(0.05), {}, true, 1},
        {"open by 0.1, at the tolerance", open_outer(0.1), {}, true, 1},
        {"open by 0.2", open_outer(0.2), {gap_warning("0.2000")}, true, 1},
        {"open by 5", open_outer(5), {gap_warning("5.0000")}, true, 1},
        {"open by 14", open_outer(14), {gap_warning("14.0000")}, true, 1},
        {"bow-tie round an island",
         drawing{}.lines({{0, 0}, {100, 60}, {100, 0}, {0, 60}}).circle({25, 30}, 8),
         {"ERROR    : CONTOUR 1 CROSSES ITSELF"},
         false,
         0},
        {"island across the wall",
         drawing{}.lines(kOuter).lines({{90, 20}, {108, 20}, {108, 40}, {90, 40}}),
         {kCrossing},
         false,
         0},
        {"diamond island with corners on the wall",
         drawing{}.lines(kOuter).lines({{90, 30}, {100, 20}, {110, 30}, {100, 40}}),
         {kCrossing},
         false,
         0},
        {"island flush with the wall",
         drawing{}.lines(kOuter).lines({{80, 20}, {100, 20}, {100, 40}, {80, 40}}),
         {},
         true,
         1},
        {"island outside", drawing{}.lines(kOuter).lines({{120, 20}, {140, 20}, {140, 40}, {120, 40}}), {}, true, 2},
        {"island round the outer contour", drawing{}.lines(kOuter).circle({25, 30}, 720), {kOuterCovered}, false, 0},
        {"island round the outer contour, which has its own",
         drawing{}.lines(kOuter).circle({25, 30}, 8).lines({{-20, -20}, {120, -20}, {120, 80}, {-20, 80}}),
         {kOuterCovered},
         false,
         0},
        {"island round the outer contour, hatch clearing",
         drawing{}.lines(kOuter).circle({25, 30}, 720),
         {kOuterCovered},
         false,
         0,
         true},
        {"nested islands",
         drawing{}
             .lines(kOuter)
             .lines({{20, 10}, {80, 10}, {80, 50}, {20, 50}})
             .lines({{30, 20}, {70, 20}, {70, 40}, {30, 40}}),
         {},
         true,
         2},
        {"overlapping islands",
         drawing{}
             .lines(kOuter)
             .lines({{20, 20}, {45, 20}, {45, 40}, {20, 40}})
             .lines({{35, 25}, {60, 25}, {60, 45}, {35, 45}}),
         {},
         true,
         1},
        {"islands 0.04 apart",
         drawing{}
             .lines(kOuter)
             .lines({{40.04, 20}, {60, 20}, {60, 40}, {40.04, 40}})
             .lines({{20, 20}, {40, 20}, {40, 40}, {20, 40}}),
         {},
         true,
         1},
        {"a loop open at its corners beside an island 0.04 away",
         sloppy_loop(),
         {"ERROR    : CONTOUR 3 CROSSES ITSELF"},
         false,
         0},
        {"spline outline of 2,000 points", drawing{}.spline(2000), {}, true, 1},
        {"spline outline of 2,000 points, hatch clearing", drawing{}.spline(2000), {}, true, 1, true},
        {"outline of 5,000 lines", polygon_outline(5000), {}, true, 1},
    };
    for (const row& r : rows) {
        SetUp();
        const outcome o = run(r.contours, r.hatch);
        EXPECT_EQ(o.told, r.told) << r.what;
        EXPECT_EQ(o.moves > 0, r.cut) << r.what << ": " << o.moves << " moves";
        EXPECT_EQ(o.regions, r.regions) << r.what;
        EXPECT_EQ(run_test::has_text("shlms1", "IS CREATED"), r.cut) << r.what;
        EXPECT_TRUE(vantu::control::end_report().empty()) << r.what << ": the run leaves nothing behind";
    }
}

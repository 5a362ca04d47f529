// The order of the cut groups of drawn pockets: the travel written between one group's end and the
// next group's start beside a greedy nearest order of the same groups (link_travel.hpp). Cases:
// W1's layout (pocket_w1_layout.hpp) at several island counts, and a glyph pocket: block letters
// (strokes made thick and united with Clipper 1, their outer outlines as islands) in a rectangle;
// and the hatch clearing of a ragged outline (a seeded random radius at every corner) round three
// round islands, by either linker.
// Google Benchmark times the engine and the drawing; the summary prints the groups, the two
// travels and their ratio, and the run fails (exit status 1) when a case's engine or drawing fails
// or its ratio is above 1.3.
#include "link_travel.hpp"
#include "pocket_setup.hpp"
#include "pocket_w1_layout.hpp"

#include "pocket_lanes/pocket_computation.hpp"

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kGoal = 1.3;
constexpr double kClipperScale = 1.0e4;

using bench::plane_point;
using bench::pocket_island;

// ---- the cases ----------------------------------------------------------------------------------

struct pocket_case {
    std::vector<plane_point> outer;
    std::vector<pocket_island> islands;
};

pocket_case w1_case(int n)
{
    using namespace w1_layout;
    pocket_case c{{{0, 0}, {kWidth, 0}, {kWidth, kHeight}, {0, kHeight}}, {}};
    for (const centre& p : island_centres(n)) c.islands.push_back({{p.x, p.y}, kRadius, {}});
    return c;
}

// Block letters on a grid of 4 x 6 units: each a list of strokes, each stroke a polyline.
using stroke = std::vector<plane_point>;
struct letter {
    char name;
    std::vector<stroke> strokes;
};

const std::vector<letter>& block_letters()
{
    static const std::vector<letter> letters{
        {'H', {{{0, 0}, {0, 6}}, {{4, 0}, {4, 6}}, {{0, 3}, {4, 3}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'L', {{{0, 6}, {0, 0}, {4, 0}}}},
        {'I', {{{2, 0}, {2, 6}}}},
        {'X', {{{0, 0}, {4, 6}}, {{0, 6}, {4, 0}}}},
        {'T', {{{0, 6}, {4, 6}}, {{2, 6}, {2, 0}}}},
        {'W', {{{0, 6}, {1, 0}, {2, 4}, {3, 0}, {4, 6}}}},
        {'N', {{{0, 0}, {0, 6}, {4, 0}, {4, 6}}}},
        {'K', {{{0, 0}, {0, 6}}, {{4, 6}, {0, 2.5}, {4, 0}}}},
        {'Y', {{{0, 6}, {2, 3}, {4, 6}}, {{2, 3}, {2, 0}}}},
        {'Z', {{{0, 6}, {4, 6}, {0, 0}, {4, 0}}}},
        {'M', {{{0, 0}, {0, 6}, {2, 3}, {4, 6}, {4, 0}}}},
    };
    return letters;
}

// The outer outlines of one letter's strokes made `width` thick, scaled by `unit` and placed at
// (x, y).
std::vector<std::vector<plane_point>> letter_outlines(const letter& l, double x, double y, double unit, double width)
{
    ClipperLib::ClipperOffset thick;
    for (const stroke& s : l.strokes) {
        ClipperLib::Path path;
        for (const plane_point& p : s)
            path.push_back({static_cast<ClipperLib::cInt>(std::llround((x + unit * p.x) * kClipperScale)),
                            static_cast<ClipperLib::cInt>(std::llround((y + unit * p.y) * kClipperScale))});
        thick.AddPath(path, ClipperLib::jtMiter, ClipperLib::etOpenSquare);
    }
    ClipperLib::PolyTree tree;
    thick.Execute(tree, 0.5 * width * kClipperScale);
    std::vector<std::vector<plane_point>> out;
    for (const ClipperLib::PolyNode* outline : tree.Childs) {
        std::vector<plane_point> corners;
        for (const ClipperLib::IntPoint& p : outline->Contour)
            corners.push_back({p.X / kClipperScale, p.Y / kClipperScale});
        out.push_back(std::move(corners));
    }
    return out;
}

// Two lines of every block letter, 30 high and 20 apart, in a rectangle 10 beyond them.
pocket_case glyph_case()
{
    constexpr double kUnit = 5.0, kWidthOfStroke = 2.5, kAdvance = 30.0, kLineHeight = 45.0, kMargin = 10.0;
    const std::vector<letter>& letters = block_letters();
    const std::size_t per_line = (letters.size() + 1) / 2;
    pocket_case c;
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const double x = kMargin + kWidthOfStroke + kAdvance * static_cast<double>(k % per_line);
        const double y = kMargin + kWidthOfStroke + kLineHeight * static_cast<double>(k / per_line);
        for (auto& corners : letter_outlines(letters[k], x, y, kUnit, kWidthOfStroke))
            c.islands.push_back({{0.0, 0.0}, 0.0, std::move(corners)});
    }
    const double width = 2.0 * kMargin + kAdvance * static_cast<double>(per_line);
    const double height = 2.0 * kMargin + kWidthOfStroke + kLineHeight + 6.0 * kUnit + kWidthOfStroke;
    c.outer = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    return c;
}

// An outline of 240 corners round (100, 100), each at a radius drawn between 30 and 100, and three
// islands of radius 8 well inside it.
pocket_case ragged_case()
{
    constexpr int kCorners = 240;
    constexpr double kCentre = 100.0, kLeast = 30.0, kMost = 100.0, kIslandRadius = 8.0;
    std::mt19937 rng(20261210u);
    std::uniform_real_distribution<double> radius(kLeast, kMost);
    pocket_case c;
    for (int k = 0; k < kCorners; ++k) {
        const double a = 2.0 * std::numbers::pi * k / kCorners, r = radius(rng);
        c.outer.push_back({kCentre + r * std::cos(a), kCentre + r * std::sin(a)});
    }
    for (const plane_point& p : {plane_point{70, 100}, plane_point{120, 125}, plane_point{115, 70}})
        c.islands.push_back({p, kIslandRadius, {}});
    return c;
}

// ---- the runs -----------------------------------------------------------------------------------

struct case_result {
    std::string name;
    int status = 0, drawing = 0;
    bench::link_travel travel;
};
std::vector<case_result> results;

// Runs the case at the step through `draw` (which computes and draws the pocket into the path and
// answers its status) and keeps its travel between cut groups.
template <typename Draw>
void run_drawn_case(benchmark::State& state, const std::string& name, const pocket_case& c, double step, Draw draw)
{
    case_result r;
    r.name = name;
    bench::path_lengths path;
    for (auto _ : state) {
        state.PauseTiming();
        bench::prepare_pocket(c.outer, c.islands, step);
        state.ResumeTiming();
        r.status = draw(path, r.drawing);
    }
    r.travel = bench::travel_between_groups(path);
    state.counters["groups"] = r.travel.groups;
    state.counters["travel_ratio"] = r.travel.ratio();
    results.push_back(std::move(r));
}

// The offset lanes of the case at the step.
void run_case(benchmark::State& state, const std::string& name, const pocket_case& c, double step)
{
    run_drawn_case(state, name, c, step, [](bench::path_lengths& path, int& drawing) {
        int status = 0;
        cmtpk_clean(0, status);
        drawing = status == 0 ? bench::draw_pocket(path) : 0;
        return status;
    });
}

// The hatch clearing of the case at the step, hatch angle 0.3 rad.
void run_hatch_case(benchmark::State& state, const std::string& name, const pocket_case& c, double step,
                    int linking_mode)
{
    constexpr float kHatchAngle = 0.3f;
    run_drawn_case(state, name, c, step, [linking_mode](bench::path_lengths& path, int&) {
        return bench::draw_hatch(kHatchAngle, linking_mode, path);
    });
}

void BM_LinkOrderW1(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const double step = static_cast<double>(state.range(1)) / 10.0;
    run_case(state, "W1 " + std::to_string(n) + "/" + std::to_string(state.range(1)), w1_case(n), step);
}
// Arguments: N, and the step in tenths.
BENCHMARK(BM_LinkOrderW1)->ArgsProduct({{10, 100, 400}, {5, 10}})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LinkOrderGlyphs(benchmark::State& state)
{
    const double step = static_cast<double>(state.range(0)) / 10.0;
    run_case(state, "glyphs " + std::to_string(state.range(0)), glyph_case(), step);
}
// Argument: the step in tenths.
BENCHMARK(BM_LinkOrderGlyphs)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LinkOrderRaggedHatch(benchmark::State& state)
{
    const double step = static_cast<double>(state.range(0)) / 10.0;
    const int linking = static_cast<int>(state.range(1));
    run_hatch_case(state, "hatch " + std::to_string(linking) + "/" + std::to_string(state.range(0)), ragged_case(),
                   step, linking);
}
// Arguments: the step in tenths, and the linking mode (1 passes, 2 regions).
BENCHMARK(BM_LinkOrderRaggedHatch)->ArgsProduct({{5, 10}, {1, 2}})->Unit(benchmark::kMillisecond)->Iterations(1);

// The summary; answers the number of failed cases.
int print_summary()
{
    std::printf("\nTravel between cut groups (plane distance, mm) in the order written and in a greedy nearest "
                "order\n%-14s %6s %6s %11s %11s %7s\n",
                "case", "status", "groups", "written", "greedy", "ratio");
    int failed = 0;
    for (const case_result& r : results) {
        std::printf("%-14s %6d %6d %11.1f %11.1f %7.3f\n", r.name.c_str(), r.status, r.travel.groups, r.travel.written,
                    r.travel.greedy, r.travel.ratio());
        if (r.status != 0 || r.drawing != 0 || r.travel.ratio() > kGoal) {
            std::printf("FAILED %s\n", r.name.c_str());
            ++failed;
        }
    }
    return failed;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return print_summary() == 0 ? 0 : 1;
}

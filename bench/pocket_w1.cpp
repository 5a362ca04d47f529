// Speed of a whole pocket computation, workload W1: a 200 x 100 rectangle with N round islands of
// radius 2 (full circles) on a jittered grid, every contour offset by the side step s, the pocket
// offset until full (tool size 0, tolerance 0.005), through the input preparation and
// cmtpk_clean. In the same program Clipper 1 offsets the same region (circles as 64-gons, round
// joins, arc tolerance 0.005) by k x s until nothing is left. Counters: passes (offsets that made
// a lane), loops (lanes made), clipper_passes, clipper_loops, and ratio = engine time / Clipper
// time.
#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "toolpath/machine_table.hpp"

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;
constexpr double kPi = 3.14159265358979323846;
constexpr double kWidth = 200.0, kHeight = 100.0, kMargin = 5.0, kRadius = 2.0;
constexpr double kTolerance = 0.005;
constexpr unsigned kSeed = 20261207u;
constexpr double kClipperScale = 1.0e4;
constexpr int kCirclePoints = 64;

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

struct centre {
    double x, y;
};

// N centres on a grid of about twice as many columns as rows over the margin box, each moved by
// at most 15 % of its cell so that neighbours never touch.
std::vector<centre> island_centres(int n)
{
    std::vector<centre> out;
    if (n <= 0) return out;
    int rows = 1;
    while (2 * rows * rows < n) ++rows;
    const int columns = (n + rows - 1) / rows;
    const double cell_x = (kWidth - 2.0 * kMargin) / columns, cell_y = (kHeight - 2.0 * kMargin) / rows;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> jitter(-0.15, 0.15);
    for (int k = 0; k < n; ++k) {
        const int i = k % columns, j = k / columns;
        out.push_back({kMargin + (i + 0.5 + jitter(rng)) * cell_x, kMargin + (j + 0.5 + jitter(rng)) * cell_y});
    }
    return out;
}

// The pocket as the procedure prepares it: the rectangle and the circles as host curves, their
// curve sets, the contour tables, every offset s.
void prepare_pocket(const std::vector<centre>& islands, double step)
{
    pkdm_rel_all();
    vantu::control::reset();
    int status = 0;
    POKREL(0, status);
    pocket_state_block = pocket_state{};
    pocket_work_block = pocket_work{};
    pocket_state& s = pocket_state_block;
    pocket_work& w = pocket_work_block;
    s.pocket_dimension = 2;
    s.direction_sign = 1;
    s.offsets_mode = 99;
    s.reverse_islands = 1;
    s.drawing_mode = 1;
    w.tolerance = kTolerance;
    w.side_step = step;
    w.corner_arcs = 1;
    // No tool: its sizes read -1 and count as 0.
    PRM9().words[machine_params::kToolId] = -1;

    const std::vector<vantu::control::point3> corners{{0, 0, 0}, {kWidth, 0, 0}, {kWidth, kHeight, 0}, {0, kHeight, 0}};
    std::vector<vantu::control::curve_in_set> outer;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const auto& a = corners[i];
        const auto& b = corners[(i + 1) % corners.size()];
        outer.push_back({vantu::control::add_line(a, b), 0.0, std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
    }
    vantu::control::define_curve_set(1, outer);
    const int contours = static_cast<int>(islands.size()) + 1;
    std::vector<int> types(static_cast<std::size_t>(contours) + 1, kContourPart), sets(types.size(), 0);
    std::vector<int> numbers;
    sets[1] = 1;
    for (int k = 0; k < static_cast<int>(islands.size()); ++k) {
        const int set = k + 2;
        const int circle = vantu::control::add_circle({islands[k].x, islands[k].y, 0.0}, kRadius);
        vantu::control::define_curve_set(set, {{circle, 0.0, 2.0 * kPi, 1.0}});
        sets[static_cast<std::size_t>(set)] = set;
        numbers.push_back(set);
    }
    pocket_prepare(1, static_cast<int>(numbers.size()), numbers.data(),
                   pocket_contours{types.data(), sets.data(), contours + 1}, status);
    w.offsets[kOuterSlot] = step;
    for (int k = 0; k < static_cast<int>(islands.size()); ++k) w.offsets[kIslandSlotBase + k] = step;
}

// Offsets that made a lane (the highest lane status) and the lanes made, before the cut chains.
void count_lanes(int& passes, int& loops)
{
    const lane_table& lt = lane_table_block;
    passes = loops = 0;
    const int last = std::min(lt.count, pocket_box_block.first_output_lane - 1);
    for (int n = 1; n <= last; ++n) {
        if (lt.status[n] <= 0) continue;
        passes = std::max(passes, lt.status[n]);
        ++loops;
    }
}

// The region as Clipper paths: the rectangle counter-clockwise, the circles clockwise.
ClipperLib::Paths clipper_region(const std::vector<centre>& islands)
{
    auto at = [](double v) { return static_cast<ClipperLib::cInt>(std::llround(v * kClipperScale)); };
    ClipperLib::Paths region{{{0, 0}, {at(kWidth), 0}, {at(kWidth), at(kHeight)}, {0, at(kHeight)}}};
    for (const centre& c : islands) {
        ClipperLib::Path circle;
        for (int i = 0; i < kCirclePoints; ++i) {
            const double a = -2.0 * kPi * i / kCirclePoints;
            circle.push_back({at(c.x + kRadius * std::cos(a)), at(c.y + kRadius * std::sin(a))});
        }
        region.push_back(circle);
    }
    return region;
}

// Clipper's offsets of the region by k x s until nothing is left.
void clipper_offsets(const ClipperLib::Paths& region, double step, int& passes, int& loops)
{
    ClipperLib::ClipperOffset offset;
    offset.ArcTolerance = kTolerance * kClipperScale;
    offset.AddPaths(region, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    passes = loops = 0;
    for (int k = 1;; ++k) {
        ClipperLib::Paths result;
        offset.Execute(result, -k * step * kClipperScale);
        if (result.empty()) return;
        ++passes;
        loops += static_cast<int>(result.size());
    }
}

void BM_PocketW1(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const double step = static_cast<double>(state.range(1)) / 10.0;
    const std::vector<centre> islands = island_centres(n);
    double engine_seconds = 0.0;
    int status = 0, passes = 0, loops = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare_pocket(islands, step);
        state.ResumeTiming();
        const auto start = clock_type::now();
        cmtpk_clean(0, status);
        engine_seconds += seconds_since(start);
    }
    count_lanes(passes, loops);
    // Clipper runs as often as the engine did, so that both times are means over as many runs.
    const ClipperLib::Paths region = clipper_region(islands);
    int clipper_passes = 0, clipper_loops = 0;
    const auto start = clock_type::now();
    for (benchmark::IterationCount i = 0; i < state.iterations(); ++i)
        clipper_offsets(region, step, clipper_passes, clipper_loops);
    const double clipper_seconds = seconds_since(start) / static_cast<double>(state.iterations());
    state.counters["status"] = status;
    state.counters["passes"] = passes;
    state.counters["loops"] = loops;
    state.counters["clipper_passes"] = clipper_passes;
    state.counters["clipper_loops"] = clipper_loops;
    state.counters["ratio"] = engine_seconds / static_cast<double>(state.iterations()) / clipper_seconds;
    int released = 0;
    POKREL(1, released);
    pkdm_rel_all();
}
// Arguments: N, and the step in tenths. Google Benchmark chooses the number of runs (one for
// the slow cases), so that the fast ones are not judged on a single cold run.
BENCHMARK(BM_PocketW1)
    ->ArgsProduct({{0, 10, 100, 400}, {5, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

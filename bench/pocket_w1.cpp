// Speed, output and memory of a whole pocket computation beside Clipper 1, workload W1: a 200 x
// 100 rectangle with N round islands of radius 2 (full circles) on a jittered grid, every contour
// offset by the side step s, the pocket offset until full (tool size 0, tolerance 0.005). The
// engine runs the input preparation (untimed) and cmtpk_clean (timed); Clipper 1 offsets the same
// region (circles as 64-gons, round joins, arc tolerance 0.005) by k x s until nothing is left.
// A round runs the engine and then Clipper; a case runs at least five rounds and gives medians.
// After its rounds a case draws the engine's pocket into a motion sub-list at Z 0 and measures
// the cutting moves written there (the feed moves at that level, arcs as arcs) against a reference
// that leaves the region as clean: the perimeters of every Clipper offset, plus the lanes that
// would clear what those offsets leave farther than half a step and the tolerance from all of
// them (measured on a grid of 0.1 over the region the tool may reach,
// tests/support/coverage_grid.hpp). The engine's drawn path is measured on the same grid for what
// it leaves, and every feed move of it, arcs as arcs, against every island grown by the step at the
// exact distance (bench/island_clearance.hpp): a move nearer than that less the tolerance is a
// gouge.
//
// The run fails (exit status 1, with the reason printed) when a case's engine status is not 0,
// its drawing fails, its tool path cannot be measured, a move gouges an island, its cut length is more than 1.05 x the
// reference, it leaves more than a thousandth of the region uncut, or the engine takes longer
// than Clipper. Memory: the heap's high-water mark of each side above its level at the start of
// the run (every allocation of the process, the quarantine of the host stand-in left out), and
// the buffer pool's. Hashes of the lane table and of the written tool path let a change that
// means to keep the engine's results be checked bit for bit.
#include "heap_peak.hpp"
#include "island_clearance.hpp"
#include "path_lengths.hpp"
#include "pocket_setup.hpp"
#include "pocket_w1_layout.hpp"

#include "tests/support/coverage_grid.hpp"

#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "host/control/list.hpp"
#include "host/control/memory.hpp"
#include "nc_services/machining_type.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/collapse_detours.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "pocket_lanes/pocket_drawing.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/tp_sublist.hpp"

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;
constexpr double kPi = 3.14159265358979323846;
using w1_layout::kHeight;
using w1_layout::kRadius;
using w1_layout::kWidth;
constexpr double kTolerance = bench::kPocketTolerance;
constexpr double kClipperScale = 1.0e4;
constexpr int kCirclePoints = 64;
// At least this many rounds of each side a case, so that the median means something.
constexpr int kMinimumRounds = 5;
// The drawn path's cut length may exceed the reference's by this share: the engine's lanes wrap
// the islands otherwise than the offsets of the whole region do, and its links between lanes cut
// as well.
constexpr double kReferenceShare = 0.05;
// The share of the region the drawn path may leave farther than half a step and the tolerance
// from every cut (grid points): specks where lanes meet.
constexpr double kLeftShare = 0.001;
// The spacing of the coverage grid.
constexpr double kGridSpacing = 0.1;
constexpr double kMegabyte = 1024.0 * 1024.0;

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

double ratio(double a, double b) { return b > 0.0 ? a / b : 0.0; }

double median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    return values.size() % 2 != 0 ? values[half] : 0.5 * (values[half - 1] + values[half]);
}

using w1_layout::centre;
using w1_layout::island_centres;

std::vector<bench::round_island> round_islands(const std::vector<centre>& centres)
{
    std::vector<bench::round_island> out;
    for (const centre& c : centres) out.push_back({c.x, c.y, kRadius});
    return out;
}

// ---- the engine's side ------------------------------------------------------------------------

// The rectangle and the round islands of W1, every contour offset by the step.
void prepare_pocket(const std::vector<centre>& islands, double step)
{
    std::vector<bench::pocket_island> round;
    for (const centre& c : islands) round.push_back({{c.x, c.y}, kRadius, {}});
    bench::prepare_pocket({{0, 0}, {kWidth, 0}, {kWidth, kHeight}, {0, kHeight}}, round, step);
}

// One run of either side: its time, its heap's high-water mark above its start and, for the
// engine, the buffer pool's.
struct run_figures {
    double seconds = 0.0;
    long long heap = 0;
    long long pool = 0;
};

int run_engine(run_figures& figures)
{
    int status = 0;
    pkdm_usage_reset();
    bench::heap::watch_start();
    const auto start = clock_type::now();
    cmtpk_clean(0, status);
    figures.seconds = seconds_since(start);
    figures.heap = bench::heap::watch_peak();
    figures.pool = pkdm_usage_block.held_peak;
    return status;
}

// The lanes the cutting order cut: its output lanes that are neither separators nor connections.
int lanes_cut()
{
    const lane_table& lt = lane_table_block;
    int cut = 0;
    for (int n = std::max(1, pocket_box_block.first_output_lane); n <= lt.count; ++n)
        if (lt.level[n] != kLevelSeparator && lt.group[n] != kGroupConnection) ++cut;
    return cut;
}

// The length of the engine's lanes before the first output lane: the live ones (status above 0),
// and the detour lanes the cut of their source goes round (the ends of horns at the cusps where
// the offsets of neighbouring contours meet, status 0).
struct lane_lengths {
    double live = 0.0;
    double detours = 0.0;
};

lane_lengths engine_lane_lengths()
{
    const lane_table& lt = lane_table_block;
    pokarr lane;
    pokarr_init(2, lane);
    lane_lengths sum;
    for (int n = 1; n < std::min(pocket_box_block.first_output_lane, lt.count + 1); ++n) {
        const bool detour = collapse_detour_lane(n);
        if (lt.status[n] <= 0 && !detour) continue;
        int status = 0;
        double length = 0.0;
        lane_to_pokarr(n, lane, status);
        if (status == 0) pokarr_length(0, lane, nullptr, length, status);
        (detour ? sum.detours : sum.live) += length;
    }
    pokarr_free(lane);
    return sum;
}

// FNV-1a over every row of the lane table and every point of its lanes.
std::uint64_t lane_table_hash()
{
    std::uint64_t h = 14695981039346656037ull;
    const auto mix = [&h](std::uint64_t value) {
        for (int b = 0; b < 8; ++b) {
            h ^= (value >> (8 * b)) & 0xffu;
            h *= 1099511628211ull;
        }
    };
    const lane_table& lt = lane_table_block;
    std::vector<double> x, y;
    for (int n = 1; n <= lt.count; ++n) {
        for (const int column :
             {lt.level[n], lt.status[n], lt.parent[n], lt.link1[n], lt.link2[n], lt.group[n], lt.contour_type[n]})
            mix(static_cast<std::uint32_t>(column));
        mix(std::bit_cast<std::uint64_t>(lt.offset[n]));
        int count = 0;
        lane_npnts(n, count);
        x.resize(static_cast<std::size_t>(std::max(count, 1)));
        y.resize(x.size());
        lane_get_xy(n, x.data(), y.data(), count, count);
        for (int k = 0; k < count; ++k) {
            mix(std::bit_cast<std::uint64_t>(x[static_cast<std::size_t>(k)]));
            mix(std::bit_cast<std::uint64_t>(y[static_cast<std::size_t>(k)]));
        }
    }
    return h;
}

// ---- Clipper's side ---------------------------------------------------------------------------

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

double perimeter(const ClipperLib::Path& loop)
{
    double length = 0.0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const ClipperLib::IntPoint& a = loop[i];
        const ClipperLib::IntPoint& b = loop[(i + 1) % loop.size()];
        length += std::hypot(static_cast<double>(b.X - a.X), static_cast<double>(b.Y - a.Y));
    }
    return length / kClipperScale;
}

struct clipper_output {
    int passes = 0;
    int loops = 0;
    double length = 0.0;  // every loop's perimeter over every offset
};

// Covers the grid points within `reach` of the loop.
void cover_loop(const ClipperLib::Path& loop, double reach, test_support::coverage_grid& grid)
{
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const ClipperLib::IntPoint& a = loop[i];
        const ClipperLib::IntPoint& b = loop[(i + 1) % loop.size()];
        grid.cover({{a.X / kClipperScale, a.Y / kClipperScale}, {b.X / kClipperScale, b.Y / kClipperScale}}, reach);
    }
}

// Clipper's offsets of the region by k x s until nothing is left; with a grid, each loop covers
// the points within `reach` of it.
clipper_output clipper_offsets(const ClipperLib::Paths& region, double step,
                               test_support::coverage_grid* grid = nullptr, double reach = 0.0)
{
    ClipperLib::ClipperOffset offset;
    offset.ArcTolerance = kTolerance * kClipperScale;
    offset.AddPaths(region, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    clipper_output out;
    for (int k = 1;; ++k) {
        ClipperLib::Paths result;
        offset.Execute(result, -k * step * kClipperScale);
        if (result.empty()) return out;
        ++out.passes;
        out.loops += static_cast<int>(result.size());
        for (const ClipperLib::Path& loop : result) {
            out.length += perimeter(loop);
            if (grid != nullptr) cover_loop(loop, reach, *grid);
        }
    }
}

// The grid of the region the tool may reach: the rectangle and the islands, each offset by the
// step.
test_support::coverage_grid reachable_grid(const std::vector<centre>& islands, double step)
{
    test_support::coverage_grid grid(kWidth, kHeight, kGridSpacing);
    grid.add_region([&](test_support::grid_point p) {
        return p.x >= step && p.y >= step && p.x <= kWidth - step && p.y <= kHeight - step;
    });
    for (const centre& c : islands) grid.remove_near({{c.x, c.y}, {c.x, c.y}}, kRadius + step);
    return grid;
}

// What each side leaves of the region: Clipper's offsets, and the engine's drawn cutting moves.
struct coverage_figures {
    double region = 0.0;
    test_support::coverage_left clipper, engine;
};

coverage_figures coverage_of(const std::vector<centre>& islands, const ClipperLib::Paths& region, double step,
                             const bench::path_lengths& path)
{
    const double reach = 0.5 * step + kTolerance;
    test_support::coverage_grid grid = reachable_grid(islands, step);
    coverage_figures out;
    out.region = grid.region_area();
    static_cast<void>(clipper_offsets(region, step, &grid, reach));
    out.clipper = grid.left(step);
    grid.uncover_all();
    for (const auto& c : path.cuts) grid.cover({{c[0], c[1]}, {c[2], c[3]}}, reach);
    out.engine = grid.left(step);
    return out;
}

clipper_output run_clipper(const ClipperLib::Paths& region, double step, run_figures& figures)
{
    bench::heap::watch_start();
    const auto start = clock_type::now();
    clipper_output out = clipper_offsets(region, step);
    figures.seconds = seconds_since(start);
    figures.heap = bench::heap::watch_peak();
    return out;
}

// ---- the cases ----------------------------------------------------------------------------------

// What a case found, for the summary after the run.
struct case_result {
    int status = 0;
    int drawing = 0;
    int lanes = 0;
    int rounds = 0;
    bench::path_lengths path;
    clipper_output clipper;
    double engine_seconds = 0.0, clipper_seconds = 0.0;
    long long engine_heap = 0, clipper_heap = 0, pool = 0;
    lane_lengths lane_length;  // the engine's lanes, before the cutting order
    std::uint64_t hash = 0;
    coverage_figures coverage;
    bench::island_gouges gouges;
    // Clipper's offsets and the lanes that would clear what they leave.
    double reference() const { return clipper.length + coverage.clipper.clearing_length; }
};

// The cases run, in the order they ran: N, the step in tenths, what was found.
struct case_entry {
    int islands = 0, step = 0;
    case_result result;
};
std::vector<case_entry> results;
// False when the command line sets the run time: the rounds are then exactly the iterations
// Google Benchmark chooses, so that a count per iteration (callgrind's) stays true, and the heap
// is not counted.
bool top_up_rounds = true;

void BM_PocketW1(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const double step = static_cast<double>(state.range(1)) / 10.0;
    const std::vector<centre> islands = island_centres(n);
    const ClipperLib::Paths region = clipper_region(islands);
    case_result r;
    std::vector<double> engine_times, clipper_times;
    run_figures engine, clipper;
    const auto keep = [&] {
        engine_times.push_back(engine.seconds);
        clipper_times.push_back(clipper.seconds);
        r.engine_heap = std::max(r.engine_heap, engine.heap);
        r.pool = std::max(r.pool, engine.pool);
        r.clipper_heap = std::max(r.clipper_heap, clipper.heap);
    };
    // Google Benchmark times the engine only; the rounds keep their own clock.
    for (auto _ : state) {
        state.PauseTiming();
        prepare_pocket(islands, step);
        state.ResumeTiming();
        r.status = run_engine(engine);
        state.PauseTiming();
        r.clipper = run_clipper(region, step, clipper);
        keep();
        state.ResumeTiming();
    }
    while (top_up_rounds && static_cast<int>(engine_times.size()) < kMinimumRounds) {
        prepare_pocket(islands, step);
        r.status = run_engine(engine);
        r.clipper = run_clipper(region, step, clipper);
        keep();
    }
    r.rounds = static_cast<int>(engine_times.size());
    r.engine_seconds = median(engine_times);
    r.clipper_seconds = median(clipper_times);
    r.lanes = lanes_cut();
    r.lane_length = engine_lane_lengths();
    r.hash = lane_table_hash();
    r.drawing = bench::draw_pocket(r.path);
    r.coverage = coverage_of(islands, region, step, r.path);
    r.gouges = gouges_of(r.path.moves, round_islands(islands), step, kTolerance);
    r.path.cuts.clear();
    r.path.moves.clear();
    int released = 0;
    POKREL(1, released);
    pkdm_rel_all();

    state.counters["status"] = r.status;
    state.counters["lanes"] = r.lanes;
    state.counters["cut_ratio"] = ratio(r.path.cutting, r.reference());
    state.counters["time_ratio"] = ratio(r.engine_seconds, r.clipper_seconds);
    state.counters["heap_ratio"] = ratio(r.engine_heap, r.clipper_heap);
    const int tenths = static_cast<int>(state.range(1));
    const auto same = [&](const case_entry& e) { return e.islands == n && e.step == tenths; };
    if (const auto found = std::find_if(results.begin(), results.end(), same); found != results.end())
        found->result = r;
    else
        results.push_back({n, tenths, r});
}
// Arguments: N, and the step in tenths. The second list sweeps the steps from 0.2 to 1 at 400, 600
// and 800 islands for the islands' clearance.
BENCHMARK(BM_PocketW1)->ArgsProduct({{0, 10, 100, 200, 400, 800}, {5, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PocketW1)->ArgsProduct({{400, 600, 800}, {2, 3, 7, 10}})->Args({600, 5})->Unit(benchmark::kMillisecond);

// The reason a case fails the run, empty when it passes.
std::string failure(const case_result& r)
{
    if (r.status != 0) return "engine status " + std::to_string(r.status);
    if (r.drawing != 0) return "drawing status " + std::to_string(r.drawing);
    if (!r.path.fault.empty()) return "tool path not measured: " + r.path.fault;
    char text[160];
    if (r.gouges.cutting + r.gouges.approach > 0) {
        std::snprintf(text, sizeof text,
                      "%d cutting moves and %d approaches gouge islands, island %d by %.4f at (%.4f, %.4f)",
                      r.gouges.cutting, r.gouges.approach, r.gouges.island, r.gouges.depth, r.gouges.x, r.gouges.y);
        return text;
    }
    if (r.path.cutting <= 0.0 || r.clipper.length <= 0.0) return "nothing cut";
    const double share = ratio(r.path.cutting, r.reference());
    if (share > 1.0 + kReferenceShare) {
        std::snprintf(text, sizeof text, "cut length %.1f against the reference's %.1f (ratio %.4f)", r.path.cutting,
                      r.reference(), share);
        return text;
    }
    const double left = ratio(r.coverage.engine.area, r.coverage.region);
    if (left > kLeftShare) {
        std::snprintf(text, sizeof text, "%.2f mm2 left uncut (%.4f %% of the region)", r.coverage.engine.area,
                      100.0 * left);
        return text;
    }
    const double time = ratio(r.engine_seconds, r.clipper_seconds);
    if (time > 1.0) {
        std::snprintf(text, sizeof text, "%.3f x Clipper's time", time);
        return text;
    }
    return {};
}

// The summary of every case run; answers the number of failed cases.
int print_summary()
{
    std::printf("\nW1 beside Clipper 1: medians of the rounds; lengths in mm (lanes: the engine's own lanes, det:\n"
                "the detour lanes their cuts go round, cut: the cutting moves drawn, clip: Clipper's offsets,\n"
                "ref: those and the lanes that clear what they leave); left: mm2 of the region farther than half\n"
                "a step and the tolerance from every cut; gouge: moves nearer an island than its offset less the\n"
                "tolerance; heap and pool: high-water marks in MB\n");
    std::printf("%-6s %6s %6s %6s %6s %9s %8s %9s %9s %9s %6s %7s %7s %9s %9s %6s %7s %6s %7s %6s %16s %16s\n", "case",
                "rounds", "status", "gouge", "lanes", "lane mm", "det mm", "cut mm", "clip mm", "ref mm", "ratio",
                "c.left", "left", "time ms", "clip ms", "ratio", "heap", "pool", "clip", "ratio", "lane table hash",
                "tool path hash");
    int failed = 0;
    for (const case_entry& e : results) {
        const case_result& r = e.result;
        const std::string name = std::to_string(e.islands) + "/" + std::to_string(e.step);
        std::printf(
            "%-6s %6d %6d %6d %6d %9.1f %8.1f %9.1f %9.1f %9.1f %6.4f %7.2f %7.2f %9.2f %9.2f %6.3f %7.2f %6.2f "
            "%7.2f %6.2f "
            "%016llx %016llx\n",
            name.c_str(), r.rounds, r.status, r.gouges.cutting + r.gouges.approach, r.lanes, r.lane_length.live,
            r.lane_length.detours, r.path.cutting, r.clipper.length, r.reference(),
            ratio(r.path.cutting, r.reference()), r.coverage.clipper.area, r.coverage.engine.area,
            1e3 * r.engine_seconds, 1e3 * r.clipper_seconds, ratio(r.engine_seconds, r.clipper_seconds),
            r.engine_heap / kMegabyte, r.pool / kMegabyte, r.clipper_heap / kMegabyte,
            ratio(r.engine_heap, r.clipper_heap), static_cast<unsigned long long>(r.hash),
            static_cast<unsigned long long>(r.path.hash));
    }
    for (const case_entry& e : results) {
        const std::string why = failure(e.result);
        if (why.empty()) continue;
        std::printf("FAILED %d/%d: %s\n", e.islands, e.step, why.c_str());
        ++failed;
    }
    return failed;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_min_time", 20) == 0) top_up_rounds = false;
    // A run of set length is one measured by instruction counts: the heap is not counted then.
    if (top_up_rounds) bench::heap::start_counting(&vantu::control::quarantined_bytes);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return print_summary() == 0 ? 0 : 1;
}

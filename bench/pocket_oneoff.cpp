// Speed of the one-offset step and its parts: the region hatching's gouge test (mode 3) across
// a region with 400 round islands of 64 points; the loop removal of a loop that crosses itself
// 1,000 times; one whole offset (clean-up, raw offset, loop removal, piece tests, filter and
// recording) of loops of 10,000 and 100,000 entries: a comb that fills its box, and a toothed
// ring; and the offset of a noisy ring beside Clipper 1's (checked by area) and of a star beside
// its own raw offset and clean-up and beside Clipper 1's (checked by area).
#include "clearing/hatch/hatch_region.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_lanes/one_offset.hpp"

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

void set_up()
{
    pocket_state_block.pocket_dimension = 2;
    pocket_state_block.direction_sign = 1;
    pocket_work_block.tolerance = 0.01;
    pocket_work_block.working_tolerance = 0.001;
    pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
    pocket_work_block.reach_squared[0] = pocket_work_block.reach_squared[1] = 1.0e12;
}

void add_polygon(std::vector<word>& set, const std::vector<float>& xy)
{
    set.push_back(static_cast<word>(xy.size() / 2));
    for (float v : xy) set.push_back(real_to_word(v));
}

void BM_HatchGougeTest(benchmark::State& state)
{
    set_up();
    // The region: an outline 0..2000 with 20 x 20 clockwise round islands of radius 30.
    std::vector<word> region;
    add_polygon(region, {0, 0, 2000, 0, 2000, 2000, 0, 2000});
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) {
            std::vector<float> circle;
            for (int k = 0; k < 64; ++k) {
                const double a = -2.0 * kPi * k / 64.0;
                circle.push_back(static_cast<float>(50.0 + 100.0 * i + 30.0 * std::cos(a)));
                circle.push_back(static_cast<float>(50.0 + 100.0 * j + 30.0 * std::sin(a)));
            }
            add_polygon(region, circle);
        }
    const double p1[3] = {5.0, 50.0, 0.0}, p2[3] = {1995.0, 1950.0, 0.0};
    xy_output output;
    int count = 0, gouge = 0;
    for (auto _ : state) {
        int status = 0;
        hatch_region(kHatchGougeTest, region.data(), 401, nullptr, 0, p1, p2, count, output, gouge, status);
        benchmark::DoNotOptimize(gouge);
    }
    state.counters["edges"] = 401 * 64;
    state.counters["gouge"] = gouge;
    int status = 0;
    xy_output_close(output, status);
    hatch_work_close(status);
}
BENCHMARK(BM_HatchGougeTest)->Unit(benchmark::kMicrosecond);

void BM_Delups1000Crossings(benchmark::State& state)
{
    set_up();
    // A zigzag of 1,000 teeth between y -5 and 5, closed by a line along y = 0 back over all of
    // them.
    pokarr loop;
    pokarr_init(2, loop);
    int status = 0;
    for (int k = 0; k <= 1000; ++k) {
        const double p[2] = {static_cast<double>(k), k % 2 == 0 ? -5.0 : 5.0};
        pokarr_add_pnt(p, loop, status);
    }
    const double back[3][2] = {{1001.0, 0.0}, {-1.0, 0.0}, {0.0, -5.0}};
    for (const double* p : back) pokarr_add_pnt(p, loop, status);
    pokarr out;
    pokarr_init(2, out);
    int loops = 0;
    for (auto _ : state) {
        int count = 0;
        DELUPS(loop, out, count, status);
        loops = count + 1;
        delups_clear();
    }
    state.counters["loops"] = loops;
    pokarr_free(out);
    pokarr_free(loop);
    pkdm_rel_all();
}
BENCHMARK(BM_Delups1000Crossings)->Unit(benchmark::kMillisecond);

// A counter-clockwise toothed ring of n vertices (radii alternating r and r - 0.5, edges about
// 2 along the ring), closed: an offset of 0.3 meets every corner without folding over it.
void make_teeth(int n, pokarr& loop)
{
    pokarr_init(2, loop);
    int status = 0;
    const double r = n * 2.0 / (2.0 * kPi);
    for (int k = 0; k <= n; ++k) {
        const double a = 2.0 * kPi * (k % n) / n;
        const double radius = k % 2 == 0 ? r : r - 0.5;
        const double p[2] = {radius * std::cos(a), radius * std::sin(a)};
        pokarr_add_pnt(p, loop, status);
    }
}

// Appends the points of a side from (x, y0) to (x, y1) at steps of 1, every second one set 0.2
// to the outside (`out`: +1 or -1 in x), so that no clean-up thins it; (x, y0) is not added.
void add_side(double x, double y0, double y1, double out, pokarr& loop)
{
    int status = 0;
    const int steps = static_cast<int>(std::lround(std::fabs(y1 - y0)));
    const double step = (y1 - y0) / steps;
    for (int k = 1; k <= steps; ++k) {
        const double p[2] = {x + (k % 2 == 1 && k < steps ? 0.2 * out : 0.0), y0 + k * step};
        pokarr_add_pnt(p, loop, status);
    }
}

// A counter-clockwise comb of about n entries that fills its box evenly: fingers 4 wide with
// gaps of 2, as long as the comb is wide, on a bar 2 high; the finger sides jagged every unit.
void make_comb(int n, pokarr& loop)
{
    pokarr_init(2, loop);
    int status = 0;
    const int fingers = std::max(2, static_cast<int>(std::lround(std::sqrt(n / 12.0))));
    const double length = 6.0 * fingers;
    auto add = [&](double x, double y) {
        const double p[2] = {x, y};
        pokarr_add_pnt(p, loop, status);
    };
    add(0.0, -2.0);
    add(6.0 * (fingers - 1) + 4.0, -2.0);
    for (int f = fingers - 1; f >= 0; --f) {
        const double x0 = 6.0 * f, x1 = x0 + 4.0;
        add_side(x1, f == fingers - 1 ? -2.0 : 0.0, length, 1.0, loop);
        add(x0, length);
        add_side(x0, length, f > 0 ? 0.0 : -2.0, -1.0, loop);
        if (f > 0) add(x0 - 2.0, 0.0);
    }
}

void BM_OneOffset(benchmark::State& state)
{
    set_up();
    pokarr source, loop;
    if (state.range(1) == 0)
        make_comb(static_cast<int>(state.range(0)), source);
    else
        make_teeth(static_cast<int>(state.range(0)), source);
    pokarr_init(2, loop);
    int lanes = 0, status = 0, entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        lane_table_reset();
        pokarr_copy(source, loop, status);
        state.ResumeTiming();
        int branches = 1;
        oneoff_request rq;
        rq.side = kSideLeft;
        rq.first_offset = 0.3;
        rq.distance = 0.3;
        rq.source_lane = 1;
        rq.pass = 2;
        rq.level = 1;
        rq.branch_count = &branches;
        oneoff_pokarr(rq, loop, status);
        lanes = lane_table_block.count;
        entries = lanes > 0 ? lane_table_block.first[2] - lane_table_block.first[1] : 0;
    }
    state.counters["entries"] = source.count;
    state.counters["lanes"] = lanes;
    state.counters["lane_entries"] = entries;
    state.counters["status"] = status;
    pokarr_free(loop);
    pokarr_free(source);
    pkdm_rel_all();
}
// Second argument 0: the comb; 1: the toothed ring (its elements lie on a circle, so every cell
// of the loop intersection's uniform grid that the ring passes holds about sqrt(n) / pi of them).
BENCHMARK(BM_OneOffset)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->ArgNames({"entries", "ring"})
    ->Unit(benchmark::kMillisecond);

// ---- noisy and spiky loops: the one offset beside Clipper 1 and beside its own raw offset ------

using clock_type = std::chrono::steady_clock;
constexpr double kClipperScale = 1.0e6;
constexpr unsigned kNoiseSeed = 20261208u;
// The noisy ring: vertices about 1 apart, each off the mean radius by up to 2, offset inwards
// by 5 (so that the offset folds over the noise everywhere).
constexpr double kRingNoise = 2.0, kRingDistance = 5.0;
// The lanes' area against Clipper's (round joins, arc tolerance the working tolerance): their
// relative difference stays below this, or the run fails.
constexpr double kAreaAgreement = 1.0e-4;
// The star: corners alternately on radius r and 0.75 r, the outer ones 1 apart, offset inwards
// by 2 (every spike folds over its neighbours).
constexpr double kStarInner = 0.75, kStarSpacing = 1.0, kStarDistance = 2.0;

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct point2 {
    double x, y;
};

// A counter-clockwise ring of n vertices about 1 apart along it, each moved off the mean radius
// by a random amount of at most `noise` (fixed seed).
std::vector<point2> noisy_ring(int n, double noise)
{
    std::mt19937 rng(kNoiseSeed);
    std::uniform_real_distribution<double> jitter(-noise, noise);
    const double r = n / (2.0 * kPi);
    std::vector<point2> out;
    for (int k = 0; k < n; ++k) {
        const double a = 2.0 * kPi * k / n, radius = r + jitter(rng);
        out.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    return out;
}

// A counter-clockwise star of n corners, alternately on radii r and `inner` x r, its outer
// corners `spacing` apart.
std::vector<point2> star(int n, double inner, double spacing)
{
    const double r = n / 2 * spacing / (2.0 * kPi);
    std::vector<point2> out;
    for (int k = 0; k < n; ++k) {
        const double a = 2.0 * kPi * k / n, radius = k % 2 == 0 ? r : inner * r;
        out.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    return out;
}

void make_loop(const std::vector<point2>& points, pokarr& loop)
{
    pokarr_init(2, loop);
    int status = 0;
    for (std::size_t k = 0; k <= points.size(); ++k) {
        const point2& q = points[k % points.size()];
        const double p[2] = {q.x, q.y};
        pokarr_add_pnt(p, loop, status);
    }
}

// The signed area of the lanes recorded.
double lanes_area()
{
    double total = 0.0;
    pokarr lane;
    pokarr_init(2, lane);
    for (int n = 1; n <= lane_table_block.count; ++n) {
        int status = 0;
        lane_to_pokarr(n, lane, status);
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(lane, area, direction);
        total += direction * area;
    }
    pokarr_free(lane);
    return total;
}

ClipperLib::Path clipper_path(const std::vector<point2>& points)
{
    ClipperLib::Path path;
    for (const point2& q : points)
        path.push_back({static_cast<ClipperLib::cInt>(std::llround(q.x * kClipperScale)),
                        static_cast<ClipperLib::cInt>(std::llround(q.y * kClipperScale))});
    return path;
}

// Clipper's inward offset of the path by d with round joins; answers the area.
double clipper_offset_area(const ClipperLib::Path& path, double d, double arc_tolerance)
{
    ClipperLib::ClipperOffset co(2.0, arc_tolerance * kClipperScale);
    co.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths out;
    co.Execute(out, -d * kClipperScale);
    double area = 0.0;
    for (const auto& p : out) area += ClipperLib::Area(p);
    return area / (kClipperScale * kClipperScale);
}

// The one offset of a copy of the source inwards by d, as a branch lane after the first pass.
void offset_inward(const pokarr& source, pokarr& loop, double d, int& status)
{
    lane_table_reset();
    pokarr_copy(source, loop, status);
    int branches = 1;
    oneoff_request rq;
    rq.side = kSideLeft;
    rq.first_offset = d;
    rq.distance = d;
    rq.source_lane = 1;
    rq.pass = 2;
    rq.level = 1;
    rq.branch_count = &branches;
    oneoff_pokarr(rq, loop, status);
}

// The one offset and Clipper's offset of a noisy ring of n vertices, run in turn (the first of
// the two alternating); the medians of both and their ratio. The run fails when the offset's
// status is not 0 or its lanes' area differs from Clipper's.
void BM_NoisyRing(benchmark::State& state)
{
    set_up();
    pocket_work_block.corner_arcs = 1;
    const int n = static_cast<int>(state.range(0));
    const std::vector<point2> points = noisy_ring(n, kRingNoise);
    const ClipperLib::Path path = clipper_path(points);
    pokarr source, loop;
    make_loop(points, source);
    pokarr_init(2, loop);
    std::vector<double> engine, clipper;
    double clipper_area = 0.0;
    int status = 0;
    for (auto _ : state) {
        const bool engine_first = engine.size() % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            const auto start = clock_type::now();
            if ((turn == 0) == engine_first) {
                offset_inward(source, loop, kRingDistance, status);
                engine.push_back(seconds_since(start));
            } else {
                clipper_area = clipper_offset_area(path, kRingDistance, pocket_work_block.working_tolerance);
                clipper.push_back(seconds_since(start));
            }
        }
    }
    const double area_ratio = lanes_area() / clipper_area;
    state.counters["status"] = status;
    state.counters["lanes"] = lane_table_block.count;
    state.counters["engine_ms"] = 1e3 * median(engine);
    state.counters["clipper_ms"] = 1e3 * median(clipper);
    state.counters["ratio"] = median(engine) / median(clipper);
    state.counters["area_ratio"] = area_ratio;
    if (status != 0 || !(std::fabs(area_ratio - 1.0) <= kAreaAgreement))
        state.SkipWithError("the offset's status is not 0 or its area differs from Clipper's");
    pokarr_free(loop);
    pokarr_free(source);
    pkdm_rel_all();
}
BENCHMARK(BM_NoisyRing)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The raw offset of the source as the one offset makes it, with its clean-up: the source cleaned
// and restarted at its longest element, offset, and the offset's short elements, redundant points
// and sharp joins dropped.
void raw_offset_cleaned(const pokarr& source, pokarr& loop, pokarr& raw, double d, int& status)
{
    pokarr_copy(source, loop, status);
    int closed = 1, longest = -1;
    pokarr_drop_short(loop);
    pokarr_drop_redundant(closed, 0, loop);
    pokarr_longest_elem(loop, longest);
    double x = 0.0, y = 0.0;
    pokarr_restart_at(loop, longest, kRestartAtParam, 0.5, x, y, status);
    pokarr_reset(raw, 3 * loop.count, status);
    lane_offset_2d3d(-kSideLeft, 1, d, loop, raw, status);
    pokarr_tidy_pass2(raw);
    pokarr_split_big_arcs(raw, status);
    pokarr_drop_short(raw);
    pokarr_drop_redundant(closed, 0, raw);
    double w = pocket_work_block.working_tolerance;
    pokarr_clean_joins(kJoinsSharpOnly, 0, w, raw);
    pokarr_tidy_pass1(raw);
    pokarr_drop_short(raw);
}

// The one offset of a star of n corners beside its raw offset and clean-up and beside Clipper 1's
// offset of it (run in turn): the medians, their ratios, and the crossings of the raw offset's loop
// removal. The run fails when the offset's status is not 0 or its area differs from Clipper's.
void BM_Star(benchmark::State& state)
{
    set_up();
    pocket_work_block.corner_arcs = 1;
    const int n = static_cast<int>(state.range(0));
    const std::vector<point2> points = star(n, kStarInner, kStarSpacing);
    const ClipperLib::Path path = clipper_path(points);
    pokarr source, loop, raw;
    make_loop(points, source);
    pokarr_init(2, loop);
    pokarr_init(2, raw);
    int status = 0, crossings = 0;
    double area_ratio = 0.0;
    std::vector<double> engine, plain, clipper;
    for (auto _ : state) {
        auto start = clock_type::now();
        offset_inward(source, loop, kStarDistance, status);
        engine.push_back(seconds_since(start));
        crossings = delups_block.records;
        const double lanes = lanes_area();
        start = clock_type::now();
        int raw_status = 0;
        raw_offset_cleaned(source, loop, raw, kStarDistance, raw_status);
        plain.push_back(seconds_since(start));
        start = clock_type::now();
        area_ratio = lanes / clipper_offset_area(path, kStarDistance, pocket_work_block.working_tolerance);
        clipper.push_back(seconds_since(start));
    }
    state.counters["status"] = status;
    state.counters["lanes"] = lane_table_block.count;
    state.counters["raw_entries"] = raw.count;
    state.counters["crossings"] = crossings;
    state.counters["engine_ms"] = 1e3 * median(engine);
    state.counters["raw_ms"] = 1e3 * median(plain);
    state.counters["clipper_ms"] = 1e3 * median(clipper);
    state.counters["ratio"] = median(engine) / median(plain);
    state.counters["clipper_ratio"] = median(engine) / median(clipper);
    state.counters["area_ratio"] = area_ratio;
    if (status != 0 || !(std::fabs(area_ratio - 1.0) <= kAreaAgreement))
        state.SkipWithError("the offset's status is not 0 or its area differs from Clipper's");
    pokarr_free(raw);
    pokarr_free(loop);
    pokarr_free(source);
    pkdm_rel_all();
}
BENCHMARK(BM_Star)->Arg(2000)->Arg(9000)->Unit(benchmark::kMillisecond);

}  // namespace

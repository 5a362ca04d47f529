// Speed of the one-offset step and its parts: the region hatching's gouge test (mode 3) across
// a region with 400 round islands of 64 points; the loop removal of a loop that crosses itself
// 1,000 times; and one whole offset (clean-up, raw offset, loop removal, piece tests, filter and
// recording) of loops of 10,000 and 100,000 entries: a comb that fills its box, and a toothed
// ring.
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "clearing/hatch/hatch_region.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_lanes/one_offset.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

void set_up()
{
    pocket_state_block.pocket_dimension = 2;
    pocket_state_block.direction_sign = 1;
    pocket_work_block.tolerance = 0.01;
    pocket_work_block.working_tolerance = 0.001;
    pocket_work_block.side_step = 1.0;
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

}  // namespace

// Speed of the motion output around a cut: motion_collect with its flushes over 10^4 and 10^5
// points of a smooth curve and of a zig-zag (every point a corner), and 10^5 end-of-string
// retracts each followed by the descent onto the next start (STREND, PLNZUP).
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"

#include "bench_procedure.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// A fresh host with the open procedure of bench_procedure.hpp.
void open_procedure(benchmark::State& state)
{
    fit_buffer_release();
    vantu::control::reset();
    if (!bench::open_motion_procedure()) state.SkipWithError("the procedure block was not written");
}

// Points 0.1 apart along a circle of radius 200 (smooth), or alternating across a band (every
// point a corner).
std::vector<point3> path(int n, bool zigzag)
{
    std::vector<point3> points;
    for (int i = 0; i < n; ++i) {
        if (zigzag) {
            points.push_back({static_cast<float>(i), static_cast<float>(i % 2), 0.0f});
        } else {
            const double a = i * 0.0005;
            points.push_back({static_cast<float>(200 * std::cos(a)), static_cast<float>(200 * std::sin(a)), 0.0f});
        }
    }
    return points;
}

void collect_and_flush(benchmark::State& state, bool zigzag)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<point3> points = path(n, zigzag);
    for (auto _ : state) {
        state.PauseTiming();
        open_procedure(state);
        fit_state().tolerance = 0.01;
        state.ResumeTiming();
        int status = 0;
        motion_collect(n, points.data(), nullptr, nullptr, status);
        motion_bspline_fit(status);
        benchmark::DoNotOptimize(status);
    }
    fit_buffer_release();
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_CollectSmoothCurve(benchmark::State& state) { collect_and_flush(state, false); }
BENCHMARK(BM_CollectSmoothCurve)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CollectZigZag(benchmark::State& state) { collect_and_flush(state, true); }
BENCHMARK(BM_CollectZigZag)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RetractAndDescentPairs(benchmark::State& state)
{
    const int pairs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        open_procedure(state);
        state.ResumeTiming();
        int status = 0;
        for (int i = 0; i < pairs; ++i) {
            const point3 next{static_cast<float>(i % 100), static_cast<float>(i / 100), 0.0f};
            STREND(1, next, kDefaultDirection, 3, 2.0f, status);
            PLNZUP(1, next, kDefaultDirection, 2.0f, status);
        }
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations() * pairs);
}
BENCHMARK(BM_RetractAndDescentPairs)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

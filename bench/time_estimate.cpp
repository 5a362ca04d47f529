// Speed of the time estimate: time_estimate (output mode 0) over a procedure sub-list of 10^5 and
// 10^6 blocks cycling through a line, an arc, a point string of four points and a cubic NURBS
// block, in blocks per second.
#include "edit/time/time_estimate.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/time/time_est_state.hpp"
#include "host/control.hpp"
#include "host/control/masters.hpp"
#include "host/vantu.hpp"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

word r(float v) { return real_to_word(v); }

// The words of block n of the cycle.
std::vector<word> block(int n)
{
    const float x = float(n % 1000);
    switch (n % 4) {
    case 0: return {2, n, r(x), r(1.0f), r(0.0f)};
    case 1: return {3, n, 1, r(1.5f), 0, r(x), r(0.0f), r(x + 1.0f), r(0.0f), r(0.0f)};
    case 2: {
        std::vector<word> w{7};
        for (int i = 0; i < 4; ++i) w.insert(w.end(), {n, r(x + float(i)), r(2.0f), r(0.0f)});
        return w;
    }
    default: {
        std::vector<word> w{5, n, 4, 4};
        for (int i = 0; i < 4; ++i) w.insert(w.end(), {r(0.0f), r(x + float(i)), r(float(i * i)), r(0.0f)});
        for (int i = 0; i < 4; ++i) w.push_back(r(1.0f));
        return w;
    }
    }
}

// A fresh host with a procedure block whose sub-list holds the blocks; the list stands in it.
void write_procedure(int blocks)
{
    vantu::control::reset();
    vantu::control::set_part_file_name("bench.prt");
    int status = 0;
    lcreat(1, status);
    const std::vector<word> proc{12, 1, 0, 0};
    lputd(int(proc.size()), proc.data(), status);
    lclos(status);
    newls1(2, status);
    for (int n = 0; n < blocks; ++n) {
        const std::vector<word> w = block(n);
        lcreat(1, status);
        lputd(int(w.size()), w.data(), status);
        lclos(status);
    }
    lacces(2, status);
    list_cursor().proc_number = 1;
    set_estimate_mode(kEstimateSilent);
}

void BM_TimeEstimate(benchmark::State& state)
{
    const int blocks = static_cast<int>(state.range(0));
    write_procedure(blocks);
    for (auto _ : state) {
        int status = 0;
        time_estimate(1, 2, status);
        if (status != 0) state.SkipWithError("the estimate failed");
        benchmark::DoNotOptimize(time_est().feed_time);
    }
    state.SetItemsProcessed(state.iterations() * blocks);
}
BENCHMARK(BM_TimeEstimate)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

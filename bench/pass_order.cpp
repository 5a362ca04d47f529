// The nearest-first order of the hatch clearing's passes, clr_order_passes, over tens of thousands
// of passes: a hatch of rows 0.5 apart across a 400 x 200 field, each row broken into seeded
// pieces as islands would break it, written in a seeded order as a walk round many islands would
// leave them; every piece of a row after the first comes down on the end of the piece before it,
// so that some passes wait for others. Google Benchmark times the ordering alone.
#include "clearing/hatch/pass_order.hpp"
#include "clearing/hatch/clear_block.hpp"
#include "nc_services/machining_type.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr double kWidth = 400.0, kHeight = 200.0, kRowSpacing = 0.5;

// A pass as written: its start, then its cut points.
using pass_points = std::vector<std::array<float, 2>>;

// About `count` passes of the hatch, in the walk's seeded order.
std::vector<pass_points> hatch_passes(int count)
{
    std::mt19937 rng(67);
    const int rows = static_cast<int>(kHeight / kRowSpacing);
    const int per_row = std::max(1, count / rows);
    std::uniform_real_distribution<double> cut(0.0, kWidth);
    std::vector<pass_points> passes;
    for (int r = 0; r < rows; ++r) {
        const auto y = static_cast<float>(r * kRowSpacing);
        std::vector<double> ends(static_cast<std::size_t>(per_row - 1));
        for (double& e : ends) e = cut(rng);
        ends.push_back(0.0);
        ends.push_back(kWidth);
        std::sort(ends.begin(), ends.end());
        // Each piece starts where the one before it ended: it comes down on cut ground.
        for (std::size_t k = 0; k + 1 < ends.size(); ++k)
            passes.push_back({{static_cast<float>(ends[k]), y}, {static_cast<float>(ends[k + 1]), y}});
    }
    std::shuffle(passes.begin() + 1, passes.end(), rng);
    return passes;
}

bool write_passes(const std::vector<pass_points>& passes)
{
    if (clr_points_open() != 0) return false;
    for (const pass_points& pass : passes)
        for (std::size_t i = 0; i < pass.size(); ++i)
            if (clr_add_point(pass[i][0], pass[i][1], i == 0 ? kPassStart : kCutPoint) != 0) return false;
    return true;
}

void BM_PassOrder(benchmark::State& state)
{
    machining_type() = 1;
    const std::vector<pass_points> passes = hatch_passes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        if (!write_passes(passes)) {
            state.SkipWithError("the point list could not be written");
            break;
        }
        state.ResumeTiming();
        if (clr_order_passes() != 0) {
            state.SkipWithError("clr_order_passes failed");
            break;
        }
    }
    int status = 0;
    clrcls(1, status);
    state.counters["passes"] = static_cast<double>(passes.size());
}
BENCHMARK(BM_PassOrder)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

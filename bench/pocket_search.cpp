// Speed of the intersection search: building the box table of a loop, one element searched
// against loops of growing size (the cost per query must grow well below linearly), and the
// crossing table's entry routine.
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A closed wavy loop of n elements around a circle (n + 1 entries).
void wavy_loop(int n, std::vector<double>& x, std::vector<double>& y)
{
    x.resize(n + 1);
    y.resize(n + 1);
    for (int i = 0; i <= n; ++i) {
        const double a = 2.0 * M_PI * (i % n) / n;
        const double r = 1000.0 + 5.0 * std::sin(40.0 * a);
        x[i] = r * std::cos(a);
        y[i] = r * std::sin(a);
    }
}

void BM_BoxTable(benchmark::State& state)
{
    std::vector<double> x, y;
    wavy_loop(static_cast<int>(state.range(0)), x, y);
    auto table = std::make_unique<pk_box_table>();
    for (auto _ : state) {
        pokarr_boxes(static_cast<int>(x.size()), x.data(), y.data(), *table);
        benchmark::DoNotOptimize(table->groups);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BoxTable)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

// A short chord crossing the loop once, searched against the whole loop.
void BM_ElemPairIntersect(benchmark::State& state)
{
    std::vector<double> x, y;
    wavy_loop(static_cast<int>(state.range(0)), x, y);
    const int count = static_cast<int>(x.size());
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(count, x.data(), y.data(), *table);
    const double absent[2] = {kDirectionAbsent, 0.0};
    int found = 0;
    for (auto _ : state) {
        int element = 0, group = 0;
        double cx = 0, cy = 0;
        elem_pair_intersect(1, 0, 1, 0, 0, 0, 0, 1, 980.0, 1.0, 1020.0, 3.0, absent, nullptr, nullptr, x.data(),
                            y.data(), count, count - 1, 1, 0, 0, *table, element, group, cx, cy, found);
        benchmark::DoNotOptimize(cx);
    }
    if (found == kSearchNone) state.SkipWithError("no crossing found");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ElemPairIntersect)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

// Every element of a loop of a few thousand elements searched against its own loop.
void BM_SelfSearchOfLoop(benchmark::State& state)
{
    std::vector<double> x, y;
    wavy_loop(static_cast<int>(state.range(0)), x, y);
    const int count = static_cast<int>(x.size());
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(count, x.data(), y.data(), *table);
    const double absent[2] = {kDirectionAbsent, 0.0};
    for (auto _ : state) {
        int crossings = 0;
        for (int e = 1; e < count; ++e) {
            int element = 0, group = 0, found = 0;
            double cx = 0, cy = 0;
            elem_pair_intersect(1, e, 1, 0, 0, 0, 0, 1, x[e - 1], y[e - 1], x[e], y[e], absent, x.data(), y.data(),
                                x.data(), y.data(), count, count - 1, 1, 0, 0, *table, element, group, cx, cy, found);
            crossings += found;
        }
        benchmark::DoNotOptimize(crossings);
    }
    state.SetItemsProcessed(state.iterations() * (count - 1));
}
BENCHMARK(BM_SelfSearchOfLoop)->Arg(3000);

void BM_Ckintr(benchmark::State& state)
{
    pocket_state_block.pocket_dimension = 2;
    std::vector<int> hits(kCkintrMax), ingo(kIngoSize), ingo1(kIngoSize);
    std::vector<double> side1(kIngoSize), side2(kIngoSize), xs(kIngoSize), ys(kIngoSize), zs(kIngoSize), z2s(kIngoSize);
    const double start[3] = {0, 0, 0};
    for (auto _ : state) {
        int count = 0, flag = 0, status = 0;
        std::fill(hits.begin(), hits.end(), 0);
        for (int k = 0; k < kCkintrMax; ++k)
            ckintr(count, hits.data(), ingo.data(), ingo1.data(), side1.data(), side2.data(), xs.data(), ys.data(),
                   zs.data(), z2s.data(), k + 1, k + 5, k * 1.0, 2.0, 0, 0, 0, 1, start, flag, status);
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * kCkintrMax);
}
BENCHMARK(BM_Ckintr);

}  // namespace

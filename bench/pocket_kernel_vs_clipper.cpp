// Speed of the kernel where it meets whole loops, measured against Clipper 1 in the same
// program: the crossings of a circle and a ring that crosses it 100 times (LUPLUP against a
// Clipper polygon intersection of the same loops), and the removal of redundant points of a
// dense smooth loop, whose growth from 10,000 to 100,000 entries is reported as an exponent.
// Counters: the two times in microseconds and their ratio (LUPLUP time / Clipper time).
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// A closed loop of n points (n + 1 entries) at radius r(angle).
template <typename Radius> pokarr radial_loop(int n, Radius radius)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (int i = 0; i <= n; ++i) {
        const double t = 2.0 * M_PI * (i % n) / n;
        const double r = radius(t);
        const double p[2] = {r * std::cos(t), r * std::sin(t)};
        pokarr_add_pnt(p, a, status);
    }
    return a;
}

ClipperLib::Path path_of(const pokarr& a)
{
    ClipperLib::Path p;
    for (int i = 0; i + 1 < a.count; ++i)
        p.push_back({static_cast<ClipperLib::cInt>(std::llround(a.x[i] * 1e6)),
                     static_cast<ClipperLib::cInt>(std::llround(a.y[i] * 1e6))});
    return p;
}

// The circle of radius 100 and the ring 100 + 2 sin(50 t) crossing it 100 times, n entries each.
void BM_LuplupAgainstClipper(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    pocket_state_block.pocket_dimension = 2;
    pokarr circle = radial_loop(n, [](double) { return 100.0; });
    pokarr ring = radial_loop(n, [](double t) { return 100.0 + 2.0 * std::sin(50.0 * t + 0.1); });
    const ClipperLib::Path circle_path = path_of(circle), ring_path = path_of(ring);
    auto boxes = std::make_unique<pk_box_table>();
    std::vector<int> ea(kLuplupRows), eb(kLuplupRows);
    std::vector<double> x(kLuplupRows), y(kLuplupRows);
    double luplup_time = 0.0, clipper_time = 0.0;
    int rows = 0;
    for (auto _ : state) {
        auto start = clock_type::now();
        pokarr_get_boxes(ring, *boxes);
        int result = 0;
        LUPLUP(0, circle, ring, *boxes, ea.data(), eb.data(), x.data(), y.data(), rows, result);
        luplup_time += seconds_since(start);
        start = clock_type::now();
        ClipperLib::Clipper c;
        c.AddPath(circle_path, ClipperLib::ptSubject, true);
        c.AddPath(ring_path, ClipperLib::ptClip, true);
        ClipperLib::Paths solution;
        c.Execute(ClipperLib::ctIntersection, solution);
        clipper_time += seconds_since(start);
        benchmark::DoNotOptimize(solution.size());
    }
    if (rows != 100) state.SkipWithError("the loops should cross 100 times");
    const double runs = static_cast<double>(state.iterations());
    state.counters["luplup_us"] = 1e6 * luplup_time / runs;
    state.counters["clipper_us"] = 1e6 * clipper_time / runs;
    state.counters["ratio"] = luplup_time / clipper_time;
    pokarr_free(circle);
    pokarr_free(ring);
    pkdm_rel_all();
}
BENCHMARK(BM_LuplupAgainstClipper)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A dense smooth loop: most points lie on a nearly straight run and go.
pokarr dense_loop(int n)
{
    return radial_loop(n, [](double t) { return 1000.0 + 20.0 * std::sin(3.0 * t); });
}

// The fastest of `repeats` runs: other work on the machine only ever adds time.
double drop_redundant_time(int n, int repeats)
{
    double best = 1e300;
    for (int k = 0; k < repeats; ++k) {
        pokarr a = dense_loop(n);
        int closed = 1;
        const auto start = clock_type::now();
        pokarr_drop_redundant(closed, 0, a);
        best = std::min(best, seconds_since(start));
        pokarr_free(a);
    }
    return best;
}

// Times 10,000 and 100,000 entries in one run and reports the growth exponent between them
// (1 for a linear pass, 2 for one that shifts the tail at every removal).
void BM_DropRedundantGrowth(benchmark::State& state)
{
    pocket_state_block.pocket_dimension = 2;
    pocket_work_block.side_step = 1.0;
    double small = 0.0, large = 0.0;
    for (auto _ : state) {
        small = drop_redundant_time(10000, 20);
        large = drop_redundant_time(100000, 5);
    }
    state.counters["ms_10000"] = 1e3 * small;
    state.counters["ms_100000"] = 1e3 * large;
    state.counters["exponent"] = std::log10(large / small);
    pkdm_rel_all();
}
BENCHMARK(BM_DropRedundantGrowth)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

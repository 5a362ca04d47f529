// Speed of laying lanes onto the part surfaces: lane_on_srf (refined) of a closed 1,000-point lane
// over a wavy height field of 80,000 triangles with a ball of diameter 2, as points laid per
// second, and lane3d_refine of noisy strings of 10^4 and 10^5 points (growth exponent between them
// at most 1.2). Each case stops with an error when its lane does not come out.
#include "clearing/surface_lanes/lane3d_refine.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "host/control.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"
#include "toolpath/linnet_params_least.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>


namespace {

// A wavy height field of unit cells, as the surface grid and as the triangle model, with a ball of
// diameter 2 as the current cutter and the projection's values; the lane tolerance 0.01.
constexpr int kLaneNodes = 201;
float lane_wave(float x, float y) { return 3.0f * std::sin(x / 17.0f) * std::cos(y / 23.0f) + 0.1f * x; }

bool lane_field_ready()
{
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    vantu::control::reset();
    std::vector<float> heights;
    for (int r = 0; r < kLaneNodes; ++r)
        for (int c = 0; c < kLaneNodes; ++c) heights.push_back(lane_wave(static_cast<float>(c), static_cast<float>(r)));
    int status = 0;
    tri_model_from_grid(kLaneNodes, kLaneNodes, 0.0f, 0.0f, 1.0f, heights.data(), status);
    tri_model_lane_tolerance_set(0.01f);
    surface_grid& g = surface_grid_block;
    g = surface_grid{};
    g.generation = 1;
    g.h = 1.0;
    g.nx = g.ny = kLaneNodes;
    g.heights = heights;
    g.projection = grid_projection_values{1.0f, 0.0f, 0.0f, 2.0f, 1.0f, 0.0f};
    linnet_params_block.cutter_type = 1;
    linnet_params_block.diameter = 2.0f;
    linnet_params_block.corner_radius = 1.0f;
    ready = status == 0 ? 1 : 0;
    return ready == 1;
}

// lane_on_srf (refined) of a closed 1,000-point lane, a circle of radius 60 half a millimetre
// above the field; points laid per second.
void BM_LaneOnSrf(benchmark::State& state)
{
    if (!lane_field_ready()) {
        state.SkipWithError("the field cannot be built");
        return;
    }
    constexpr int n = 1000;
    pokarr_work lane(3), out(4);
    int status = 0;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * std::numbers::pi * i / (n - 1), x = 100.0 + 60.0 * std::cos(a), y = 100.0 + 60.0 * std::sin(a);
        const double p[3] = {x, y, lane_wave(static_cast<float>(x), static_cast<float>(y)) + 0.5};
        pokarr_add_pnt(p, lane.a, status);
    }
    for (auto _ : state) {
        lane_on_srf(0, 1, 0, 0, lane.a, out.a, out.a, status);
        if (status != 0 || out.a.count < 2) {
            state.SkipWithError("the lane was not laid");
            return;
        }
    }
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(n) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["laid"] = out.a.count;
}
BENCHMARK(BM_LaneOnSrf)->Unit(benchmark::kMillisecond);

// lane3d_refine (mode 38 without recorded directions: sweeps and thinning) of a noisy string of
// 10^4 and 10^5 points; the growth exponent between them should stay at most 1.2.
void BM_Lane3dRefine(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::mt19937 random(4040);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    std::vector<lane_pnt> noisy;
    for (int i = 0; i < n; ++i)
        noisy.push_back({0.1f * static_cast<float>(i) + noise(random), 5.0f * std::sin(0.001f * i) + noise(random),
                         0.2f * noise(random)});
    tri_model_lane_tolerance_set(0.01f);
    int kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        lane_point_array array;
        int status = 0;
        array.open(n, status);
        std::copy(noisy.begin(), noisy.end(), array.base());
        int count = n;
        state.ResumeTiming();
        const float s = 1.0f, half = 0.005f, fit = 0.2f, closed = 0.0f, D = 2.0f, R = 1.0f, T = 0.0f;
        lane3d_refine(38, 0, array.handle(), nullptr, count, s, half, fit, closed, D, R, T, status);
        if (status != 0) {
            state.SkipWithError("the refinement failed");
            return;
        }
        kept = count;
    }
    state.counters["kept"] = kept;
}
BENCHMARK(BM_Lane3dRefine)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

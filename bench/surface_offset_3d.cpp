// Speed of the 3-D lane offset: a loop of 400 points round the top of a sphere cap sampled on a
// grid of 500 x 500 nodes, offset inwards over the grid.
#include "clearing/surface_lanes/lane_offset_3d.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "surfaces/surface_grid.hpp"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The cap: a sphere of radius 150 whose top stands 60 above the grid's plane at its middle.
constexpr double kRadius = 150.0, kCentre = 50.0, kDrop = 90.0;

double cap_height(double x, double y)
{
    const double r2 = (x - kCentre) * (x - kCentre) + (y - kCentre) * (y - kCentre);
    return std::sqrt(std::max(kRadius * kRadius - r2, 0.0)) - kDrop;
}

void load_cap()
{
    surface_grid& g = surface_grid_block;
    g.x0 = g.y0 = 0.0;
    g.h = 0.2;
    g.nx = g.ny = 500;
    g.heights.resize(500 * 500);
    for (int r = 0; r < g.ny; ++r)
        for (int c = 0; c < g.nx; ++c)
            g.heights[static_cast<std::size_t>(r) * g.nx + c] = static_cast<float>(cap_height(c * g.h, r * g.h));
    ++g.generation;
}

void BM_LaneOffset3dSphereCap(benchmark::State& state)
{
    pocket_state_block.pocket_dimension = 3;
    pocket_work_block.working_tolerance = 0.001;
    load_cap();
    pokarr loop;
    pokarr_init(3, loop);
    int status = 0;
    for (int k = 0; k <= 400; ++k) {
        const double a = 2.0 * kPi * (k % 400 + 0.5) / 400.0;
        const double x = kCentre + 35.0 * std::cos(a), y = kCentre + 35.0 * std::sin(a);
        const double p[3] = {x, y, cap_height(x, y)};
        pokarr_add_pnt(p, loop, status);
    }
    pokarr result;
    pokarr_init(3, result);
    for (auto _ : state) {
        lane_offset_3d(kSideLeft, 2.0, loop, result, status);
        benchmark::DoNotOptimize(result.count);
    }
    state.counters["points"] = result.count;
    state.counters["status"] = status;
    pokarr_free(result);
    pokarr_free(loop);
    pkdm_rel_all();
}
BENCHMARK(BM_LaneOffset3dSphereCap)->Unit(benchmark::kMillisecond);

}  // namespace

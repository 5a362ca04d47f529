// Speed of the walks over the surface grid: drop_lane_on_grid walks of 5 cells across a wavy
// 400 x 400 grid of unit cells, as walks per second (goal: at least 200k), and lan_on_grid of a
// closed lane of 10,000 points (a circle of radius 150 over the same grid), as result points
// per second (goal: at least 0.5 M): in mode 0 as the lane engine calls it (points at the
// surface's height), and in mode 1 from below the surface, every point brought onto it first. Each case first checks
// that its walks end where they must and stops with an error otherwise.
#include "surfaces/surface_grid.hpp"
#include "clearing/surface_lanes/grid_projection.hpp"
#include "clearing/surface_lanes/grid_walk.hpp"
#include "pocket_arrays/pkdm_pool.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr int kNodes = 401;
constexpr double kCentre = 200.0;

double wave(double x, double y) { return 3.0 * std::sin(x / 17.0) * std::cos(y / 23.0) + 0.1 * x; }

void load_wavy_grid()
{
    surface_grid& g = surface_grid_block;
    g = surface_grid{};
    g.generation = 1;
    g.h = 1.0;
    g.nx = g.ny = kNodes;
    g.heights.resize(static_cast<std::size_t>(kNodes) * kNodes);
    for (int r = 0; r < kNodes; ++r)
        for (int c = 0; c < kNodes; ++c)
            g.heights[static_cast<std::size_t>(r) * kNodes + c] = static_cast<float>(wave(c, r));
}

// Start points and tangents of the walks, spread over the grid's middle.
struct walk_case {
    double start[3];
    double tangent[3];
};

walk_case walk_at(int k)
{
    const double angle = 0.37 * k, x = 100.0 + (k * 37) % 200 + 0.31, y = 100.0 + (k * 53) % 200 + 0.47;
    return {{x, y, wave(x, y)}, {std::cos(angle), std::sin(angle), 0.0}};
}

void BM_DropWalk(benchmark::State& state)
{
    load_wavy_grid();
    constexpr int kWalks = 1000;
    constexpr double kDistance = 5.0;
    for (int k = 0; k < kWalks; ++k) {
        walk_case w = walk_at(k);
        double record[6] = {w.start[0], w.start[1], w.start[2], 0, 0, 0};
        int status = 0;
        drop_lane_on_grid(2, record, w.tangent, kDistance, nullptr, status);
        const double moved = std::hypot(record[3] - record[0], record[4] - record[1]);
        if (status != 0 || moved > kDistance + 1e-9 || moved < 0.5 * kDistance) {
            state.SkipWithError(("walk " + std::to_string(k) + " ends wrong: status " + std::to_string(status) +
                                 " moved " + std::to_string(moved))
                                    .c_str());
            return;
        }
    }
    for (auto _ : state) {
        for (int k = 0; k < kWalks; ++k) {
            walk_case w = walk_at(k);
            double record[6] = {w.start[0], w.start[1], w.start[2], 0, 0, 0};
            int status = 0;
            drop_lane_on_grid(0, record, w.tangent, kDistance, nullptr, status);
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kWalks);
}

// A closed circle of radius 150 about the grid's middle; its points at the surface's height, or
// at 0 (below it) for the projection that brings them onto the surface first.
void circle_lane(pokarr& lane, int points, bool on_surface)
{
    int status = 0;
    pokarr_init(3, lane);
    pokarr_reset(lane, points, status);
    for (int i = 0; i < points; ++i) {
        const double a = 2.0 * std::numbers::pi * i / points;
        const double x = kCentre + 150.0 * std::cos(a), y = kCentre + 150.0 * std::sin(a);
        const double p[3] = {x, y, on_surface ? wave(x, y) : 0.0};
        pokarr_add_pnt(p, lane, status);
    }
}

void lane_projection(benchmark::State& state, int mode)
{
    load_wavy_grid();
    constexpr int kPoints = 10000;
    int64_t produced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pkdm_rel_all();
        pokarr lane;
        circle_lane(lane, kPoints, mode == 0);
        state.ResumeTiming();
        int status = 0;
        lan_on_grid(mode, 1, lane, 0.0, status);
        if (status != 0 || lane.count < kPoints) {
            state.SkipWithError(("projection status " + std::to_string(status)).c_str());
            return;
        }
        produced += lane.count;
        state.PauseTiming();
        pokarr_free(lane);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(produced);
}

void BM_LaneProjection(benchmark::State& state) { lane_projection(state, 0); }
void BM_LaneOntoSurface(benchmark::State& state) { lane_projection(state, 1); }

}  // namespace

BENCHMARK(BM_DropWalk)->Name("surface_grid/drop_5_cells")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaneProjection)->Name("surface_grid/lan_on_grid_10000")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaneOntoSurface)->Name("surface_grid/lan_on_grid_10000_onto")->Unit(benchmark::kMillisecond);

// Speed of the drop of a cutter onto a triangle model: 100,000 points of the grid over the mesh of
// bench_mesh.hpp, for a flat end, a ball and a bull-nose (corner D / 4) of diameter the XY
// diagonal / 40, as points per second (items_per_second). Each case first checks a sample of the
// heights against the brute force of drop_reference.hpp, within 1e-7 of the mesh's size; a height
// that differs, or a point that one finds nothing under and the other does, is printed and makes
// the program exit with status 1.
#include "bench_mesh.hpp"
#include "drop_reference.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "nc_services/linnet_params_least.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Every this many points of the grid is checked: some 7,700 points, off the rows of the grid.
constexpr std::size_t kSampleStride = 13;
// Tolerance of a height, relative to the mesh's size: the front end rounds its double-precision
// heights up to single precision.
constexpr double kHeightTolerance = 1.0e-7;

bool mismatch_found = false;

// The sampled heights against the brute force; an empty text when all agree.
std::string check_heights(const bench::mesh_grid& m, const bench::reference_cutter& cutter)
{
    const double tolerance = kHeightTolerance * m.size;
    for (std::size_t k = 0; k < m.points.size(); k += 2 * kSampleStride) {
        const float point[3] = {m.points[k], m.points[k + 1], 0};
        float result[3], normal[3];
        int status = 0;
        tool_drop_z_at_xy(point, result, normal, status);
        const double expected = bench::reference_drop(cutter, point[0], point[1]);
        const bool agree =
            status == 0 ? std::fabs(result[2] - expected) <= tolerance : status == 1 && expected == -HUGE_VAL;
        if (!agree) {
            char text[200];
            std::snprintf(text, sizeof text, "height differs at %.7g, %.7g: %.9g (status %d) against %.9g", point[0],
                          point[1], status == 0 ? result[2] : 0.0f, status, expected);
            return text;
        }
    }
    return "";
}

void drop_case(benchmark::State& state, int type, float corner_fraction)
{
    bench::mesh_grid& m = bench::mesh();
    if (!m.ready) {
        state.SkipWithError(m.error.c_str());
        return;
    }
    linnet_params_block = linnet_params{};
    linnet_params_block.cutter_type = type;
    linnet_params_block.diameter = m.diameter;
    linnet_params_block.corner_radius = corner_fraction * m.diameter;
    const std::string mismatch = check_heights(m, {0.5 * m.diameter, corner_fraction * m.diameter});
    if (!mismatch.empty()) {
        mismatch_found = true;
        std::fprintf(stderr, "%s\n", mismatch.c_str());
        state.SkipWithError(mismatch.c_str());
        return;
    }
    for (auto _ : state) {
        for (std::size_t k = 0; k < m.points.size(); k += 2) {
            const float point[3] = {m.points[k], m.points[k + 1], 0};
            float result[3], normal[3];
            int status = 0;
            tool_drop_z_at_xy(point, result, normal, status);
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(m.points.size() / 2));
}

void BM_DropFlat(benchmark::State& state) { drop_case(state, kCutterFlat, 0.0f); }
void BM_DropBall(benchmark::State& state) { drop_case(state, kCutterBall, 0.5f); }
void BM_DropBull(benchmark::State& state) { drop_case(state, kCutterBullNose, 0.25f); }

}  // namespace

BENCHMARK(BM_DropFlat)->Name("drop/flat")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_DropBall)->Name("drop/ball")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_DropBull)->Name("drop/bull")->Unit(benchmark::kMillisecond)->Threads(1);

// The benchmarks, then status 1 when a checked height differed.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return mismatch_found ? 1 : 0;
}

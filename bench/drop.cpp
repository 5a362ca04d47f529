// Speed of the drop of a cutter onto a triangle model: 100,000 points of the grid over the mesh of
// bench_mesh.hpp, for a flat end, a ball and a bull-nose (corner D / 4) of diameter the XY
// diagonal / 40, as points per second (items_per_second). Each case first drops on every point
// through the quadtree and by a scan of all triangles near the cutter, and stops with an error at
// the first height that differs.
#include "bench_mesh.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/triangle_drivers.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "toolpath/linnet_params_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The drop over the triangles whose box lies within reach of the cutter (a triangle farther than
// a whole radius beyond it cannot be touched), each through the same driver as the front end.
float drop_by_scan(float x, float y, const linnet_params& cutter)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    const float reach = cutter.diameter;  // R plus a whole R of margin, in millimetres
    float best = kNoHeight;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        const qt_entry& e = entries[t];
        if (x < e.box[0] / 1000.0f - reach || x > e.box[2] / 1000.0f + reach || y < e.box[1] / 1000.0f - reach ||
            y > e.box[3] / 1000.0f + reach)
            continue;
        const float point[2] = {x, y};
        float height = 0, contact[3], distance = 0, value = 0;
        int status = 0;
        triangle_drop_single(nodes + 3 * (e.nodes[0] - 1), nodes + 3 * (e.nodes[1] - 1), nodes + 3 * (e.nodes[2] - 1), e,
                             point, cutter.cutter_type, 0, 0, 0, cutter.diameter, cutter.corner_radius, height, contact,
                             distance, value, status);
        if (status != kDriverNoContact && height > best) best = height;
    }
    return best;
}

// Every height of the grid against the scan; an empty text when all agree.
std::string check_heights(const bench::mesh_grid& m)
{
    for (std::size_t k = 0; k < m.points.size(); k += 2) {
        const float point[3] = {m.points[k], m.points[k + 1], 0};
        float result[3], normal[3];
        int status = 0;
        tool_drop_z_at_xy(point, result, normal, status);
        const float scanned = drop_by_scan(point[0], point[1], linnet_params_block);
        const bool agree = status == 0 ? result[2] == scanned : status == 1 && scanned < -1e9f;
        if (!agree)
            return "height differs at " + std::to_string(point[0]) + ", " + std::to_string(point[1]) + ": " +
                   std::to_string(result[2]) + " against " + std::to_string(scanned);
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
    const std::string mismatch = check_heights(m);
    if (!mismatch.empty()) {
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

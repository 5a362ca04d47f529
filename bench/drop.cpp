// Speed of the drop of a cutter onto a triangle model: 100,000 points of a grid over the mesh of
// the OFF file named by DRELAN_BENCH_MESH, or over a generated field of three peaks of 3,671
// triangles, for a flat end, a ball and a bull-nose (corner D / 4) of diameter the XY diagonal
// / 40, as points per second (items_per_second). Each case first drops on every point through the
// quadtree and by a scan of all triangles near the cutter, and stops with an error at the first
// height that differs.
#include "cutter/drop_front_least.hpp"
#include "cutter/kernels/triangle_drivers.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/linnet_params_least.hpp"
#include "host/control.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kGridX = 400, kGridY = 250;  // 100,000 points

// Three Gaussian peaks over 51 x 36 cells of 2 mm, one triangle left out: 3,671 triangles.
void three_peaks(int& status)
{
    constexpr int nx = 52, ny = 37;
    constexpr float step = 2.0f;
    auto height = [](float x, float y) {
        auto peak = [](float dx, float dy, float h, float s) { return h * std::exp(-(dx * dx + dy * dy) / (s * s)); };
        return peak(x - 30, y - 25, 20, 12) + peak(x - 70, y - 45, 15, 9) + peak(x - 55, y - 15, 10, 6);
    };
    std::vector<float> nodes;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) nodes.insert(nodes.end(), {i * step, j * step, height(i * step, j * step)});
    std::vector<int> triangles;
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            const int a = j * nx + i + 1, b = a + 1, c = a + nx, d = c + 1;
            triangles.insert(triangles.end(), {a, b, d, a, d, c});
        }
    triangles.resize(triangles.size() - 3);
    tri_model_build(nodes.data(), nx * ny, triangles.data(), static_cast<int>(triangles.size() / 3), status);
}

// The model and the grid of points over it, made once.
struct bench_mesh {
    bool ready = false;
    std::string error;
    std::vector<float> points;  // x, y pairs
    float diameter = 0.0f;
};

bench_mesh& mesh()
{
    static bench_mesh m;
    if (m.ready || !m.error.empty()) return m;
    vantu::control::reset();
    int status = 0;
    const char* path = std::getenv("DRELAN_BENCH_MESH");
    if (path != nullptr && *path != '\0') tri_model_from_off(path, status);
    else three_peaks(status);
    if (status != 0) {
        m.error = "the mesh cannot be built";
        return m;
    }
    const float* box = tri_store_block.box;
    m.diameter = std::hypot(box[3] - box[0], box[4] - box[1]) / 40.0f;
    for (int j = 0; j < kGridY; ++j)
        for (int i = 0; i < kGridX; ++i) {
            m.points.push_back(box[0] + (box[3] - box[0]) * (i + 0.5f) / kGridX);
            m.points.push_back(box[1] + (box[4] - box[1]) * (j + 0.5f) / kGridY);
        }
    m.ready = true;
    return m;
}

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
std::string check_heights(const bench_mesh& m)
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
    bench_mesh& m = mesh();
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

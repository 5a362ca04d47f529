// Speed of the laying of lanes onto the part surfaces. tool_project_point: a ball of diameter D,
// the XY diagonal / 40, moved by 2 D onto a height field of three peaks over 224 x 224 cells
// (100,352 triangles) at 10,000 points of a grid over it, from D above the surface towards D below
// it, along the surface's normal there or slanting 30 degrees off the vertical, as points per
// second (items_per_second). Each case first checks 200 of its moves against the solvers over
// every triangle and stops with an error at the first that differs.
#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/tool_probe.hpp"
#include "host/control.hpp"
#include "surfaces/tri_store_least.hpp"
#include "toolpath/linnet_params_least.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kCells = 224;
constexpr float kStep = 0.5f;
constexpr int kGrid = 100;  // 100 x 100 moves
constexpr int kChecked = 200;

float peaks(float x, float y)
{
    auto peak = [](float dx, float dy, float h, float s) { return h * std::exp(-(dx * dx + dy * dy) / (s * s)); };
    return peak(x - 35, y - 40, 20, 14) + peak(x - 80, y - 75, 15, 10) + peak(x - 70, y - 25, 10, 7);
}

// The field's unit normal at (x, y), by central differences.
void peaks_normal(float x, float y, float* n)
{
    const float h = 0.01f;
    const float gx = (peaks(x + h, y) - peaks(x - h, y)) / (2 * h), gy = (peaks(x, y + h) - peaks(x, y - h)) / (2 * h);
    const float length = std::sqrt(gx * gx + gy * gy + 1);
    n[0] = -gx / length;
    n[1] = -gy / length;
    n[2] = 1 / length;
}

struct moves {
    bool ready = false;
    std::string error;
    float diameter = 0.0f;
    std::vector<float> along_normal, slanting;  // from and to, six floats a move
};

moves& field()
{
    static moves m;
    if (m.ready || !m.error.empty()) return m;
    vantu::control::reset();
    constexpr int n = kCells + 1;
    std::vector<float> nodes;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) nodes.insert(nodes.end(), {i * kStep, j * kStep, peaks(i * kStep, j * kStep)});
    std::vector<int> triangles;
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i + 1 < n; ++i) {
            const int a = j * n + i + 1, b = a + 1, c = a + n, d = c + 1;
            triangles.insert(triangles.end(), {a, b, d, a, d, c});
        }
    int status = 0;
    tri_model_build(nodes.data(), n * n, triangles.data(), static_cast<int>(triangles.size() / 3), status);
    if (status != 0) {
        m.error = "the mesh cannot be built";
        return m;
    }
    const float side = kCells * kStep;
    m.diameter = std::hypot(side, side) / 40.0f;
    for (int j = 0; j < kGrid; ++j)
        for (int i = 0; i < kGrid; ++i) {
            const float x = side * (i + 0.5f) / kGrid, y = side * (j + 0.5f) / kGrid, z = peaks(x, y);
            float u[3];
            peaks_normal(x, y, u);
            const float turn = 0.7f * static_cast<float>(i + 3 * j);
            const float slant[3] = {0.5f * std::cos(turn), 0.5f * std::sin(turn), 0.8660254f};
            for (const auto& [direction, out] : {std::pair<const float*, std::vector<float>*>{u, &m.along_normal},
                                                  std::pair<const float*, std::vector<float>*>{slant, &m.slanting}})
                for (float s : {1.0f, -1.0f})
                    for (int k = 0; k < 3; ++k) out->push_back((k == 2 ? z : k == 0 ? x : y) + s * m.diameter * direction[k]);
        }
    m.ready = true;
    return m;
}

// The move of the ball over every triangle near it by the solver: the tip where it first touches,
// or nothing.
bool brute_force(const float* from, const float* to, float radius, float* tip)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    double u[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    const double length = std::hypot(u[0], u[1], u[2]);
    for (double& c : u) c /= length;
    double best = std::numeric_limits<double>::infinity();
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        double corners[9];
        for (int k = 0; k < 9; ++k) corners[k] = nodes[3 * (entries[t].nodes[k / 3] - 1) + k % 3] - from[k % 3];
        const double origin[3] = {0, 0, 0};
        double travel = 0, contact[3], new_tip[3];
        int status = 0;
        torus_tri_contact(corners, origin, radius, radius, u, travel, contact, new_tip, status);
        if (status == kTorusContact && travel >= -1e-4 && travel <= length) best = std::min(best, std::max(travel, 0.0));
    }
    if (best > length) return false;
    for (int k = 0; k < 3; ++k) tip[k] = static_cast<float>(from[k] + best * u[k]);
    return true;
}

std::string check_moves(const std::vector<float>& moves, float radius)
{
    for (std::size_t k = 0; k < kChecked; ++k) {
        const float* from = &moves[6 * k * (moves.size() / 6 / kChecked)];
        float contact[3], normal[3], expected[3];
        int status = 0;
        tool_project_point(from, from + 3, contact, normal, status);
        const bool met = brute_force(from, from + 3, radius, expected);
        const bool agree = met ? status == kProjectContact && std::hypot(contact[0] - expected[0], contact[1] - expected[1],
                                                                          contact[2] - expected[2]) < 1e-4
                               : status == kProjectFree;
        if (!agree) return "the move from " + std::to_string(from[0]) + ", " + std::to_string(from[1]) + " differs";
    }
    return "";
}

void project_case(benchmark::State& state, bool along_normal)
{
    moves& m = field();
    if (!m.ready) {
        state.SkipWithError(m.error.c_str());
        return;
    }
    linnet_params_block = linnet_params{};
    linnet_params_block.cutter_type = kCutterBall;
    linnet_params_block.diameter = m.diameter;
    linnet_params_block.corner_radius = 0.5f * m.diameter;
    const std::vector<float>& list = along_normal ? m.along_normal : m.slanting;
    const std::string mismatch = check_moves(list, 0.5f * m.diameter);
    if (!mismatch.empty()) {
        state.SkipWithError(mismatch.c_str());
        return;
    }
    for (auto _ : state) {
        for (std::size_t k = 0; k < list.size(); k += 6) {
            float contact[3], normal[3];
            int status = 0;
            tool_project_point(&list[k], &list[k + 3], contact, normal, status);
            benchmark::DoNotOptimize(contact);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(list.size() / 6));
}

void BM_ProjectAlongNormal(benchmark::State& state) { project_case(state, true); }
void BM_ProjectSlanting(benchmark::State& state) { project_case(state, false); }

}  // namespace

BENCHMARK(BM_ProjectAlongNormal)->Name("tool_project_point/along_normal")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectSlanting)->Name("tool_project_point/slanting")->Unit(benchmark::kMillisecond);

// Speed of the laying of lanes onto the part surfaces. tool_project_point: a ball of diameter D,
// the XY diagonal / 40, moved by 2 D onto a height field of three peaks over 224 x 224 cells
// (100,352 triangles) at 10,000 points of a grid over it, from D above the surface towards D below
// it, along the surface's normal there or slanting 30 degrees off the vertical, as points per
// second (items_per_second). Each case first checks 200 of its moves against the solvers over
// every triangle and stops with an error at the first that differs.
//
// lane_on_srf (refined) of a closed 1,000-point lane over a wavy height field of 80,000 triangles
// with a ball of diameter 2, as lane points per second, and lane3d_refine of noisy strings of 10^4
// and 10^5 points (growth exponent between them at most 1.2). Each stops with an error when its
// lane does not come out.
#include "bench/peaks_model.hpp"
#include "clearing/surface_lanes/lane3d_refine.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/tool_probe.hpp"
#include "host/control.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCells = 224;
constexpr float kStep = 0.5f;
constexpr int kGrid = 100;  // 100 x 100 moves
constexpr int kChecked = 200;

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
    int status = 0;
    build_peaks_model(kCells, kStep, status);
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
                    for (int k = 0; k < 3; ++k)
                        out->push_back((k == 2 ? z : k == 0 ? x : y) + s * m.diameter * direction[k]);
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
        if (status == kTorusContact && travel >= -1e-4 && travel <= length)
            best = std::min(best, std::max(travel, 0.0));
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
        const bool agree =
            met ? status == kProjectContact &&
                      std::hypot(contact[0] - expected[0], contact[1] - expected[1], contact[2] - expected[2]) < 1e-4
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

namespace {

// A wavy height field of unit cells, as the surface grid and as the triangle model (in place of
// the one of the cases above), with a ball of diameter 2 as the current cutter and the
// projection's values; the lane tolerance 0.01.
constexpr int kLaneNodes = 201;
float lane_wave(float x, float y) { return 3.0f * std::sin(x / 17.0f) * std::cos(y / 23.0f) + 0.1f * x; }

bool lane_field_ready()
{
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
    return status == 0;
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
        const double a = 2.0 * std::numbers::pi * i / (n - 1), x = 100.0 + 60.0 * std::cos(a),
                     y = 100.0 + 60.0 * std::sin(a);
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
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(n) * state.iterations(), benchmark::Counter::kIsRate);
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

// Speed of the toroidal solvers: at each of bench_drop's 100,000 grid points the cutter is moved
// straight down from above the mesh onto the quadtree's candidate triangles (highest first, until
// no candidate can stop it sooner), keeping the least distance, as points per second
// (items_per_second). torus_tri_contact takes a flat end, a ball and a bull-nose (corner D / 4),
// taper_torus_tri_contact the same and a 10 degree taper (corner D / 4, cut length D). Before
// timing, each case checks every point: the candidates' distance equals the loop over every
// triangle's, and the new tip lies within 1e-4 of tool_drop_z_at_xy's height; it stops with an
// error at the first point that differs.
#include "bench_mesh.hpp"
#include "cutter/drop_front.hpp"
#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/torus_front.hpp"
#include "nc_services/linnet_params_least.hpp"

#include <benchmark/benchmark.h>

#include <limits>
#include <string>

namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();
const double kDown[3] = {0.0, 0.0, -1.0};

// One cutter: the solver (plain or tapered) and its values.
struct bench_cutter {
    bool tapered_solver;
    int type;  // the cutter type code of tool_drop_z_at_xy
    double diameter, corner, taper, length;

    double radius_of_reach() const { return 0.5 * diameter + length * std::tan(taper); }

    // The distance down to one triangle from start, +inf when it is not met.
    double down_to(const double* corners, const double* start) const
    {
        double distance = 0.0, contact[3], tip[3];
        int status = 0;
        if (tapered_solver)
            taper_torus_tri_contact(corners, start, diameter, corner, taper, length, 0.0, kDown, distance, contact, tip,
                                    status);
        else
            torus_tri_contact(corners, start, 0.5 * diameter, corner, kDown, distance, contact, tip, status);
        return status == kTorusContact ? distance : kNone;
    }
};

// The least distance over the quadtree's candidates, highest first.
double least_over_candidates(const bench_cutter& c, float x, float y, double top,
                             std::vector<drop_triangle>& candidates)
{
    const float point[3] = {x, y, 0.0f}, reach = static_cast<float>(c.radius_of_reach());
    const int untilted = 0;
    int status = 0;
    drop_triangles(point, reach, untilted, candidates, status);
    const double start[3] = {x, y, top};
    double best = kNone;
    for (const drop_triangle& t : candidates) {
        if (top - t.top >= best) break;
        best = std::min(best, c.down_to(t.corners, start));
    }
    return best;
}

// The least distance over every triangle of the model whose box lies within twice the reach (a
// triangle farther than a whole radius beyond it cannot be touched).
double least_over_all(const bench_cutter& c, float x, float y, double top)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    const double start[3] = {x, y, top}, reach = 2.0 * c.radius_of_reach();
    double best = kNone;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        const int* box = entries[t].box;
        if (x < box[0] / 1000.0 - reach || x > box[2] / 1000.0 + reach || y < box[1] / 1000.0 - reach ||
            y > box[3] / 1000.0 + reach)
            continue;
        double corners[9];
        for (int k = 0; k < 9; ++k) corners[k] = nodes[3 * (entries[t].nodes[k / 3] - 1) + k % 3];
        best = std::min(best, c.down_to(corners, start));
    }
    return best;
}

std::string check_points(const bench::mesh_grid& m, const bench_cutter& c, double top)
{
    linnet_params_block = linnet_params{};
    linnet_params_block.cutter_type = c.type;
    linnet_params_block.diameter = static_cast<float>(c.diameter);
    linnet_params_block.corner_radius = static_cast<float>(c.corner);
    linnet_params_block.taper = static_cast<float>(c.taper);
    linnet_params_block.cut_length = static_cast<float>(c.length);
    std::vector<drop_triangle> candidates;
    for (std::size_t k = 0; k < m.points.size(); k += 2) {
        const float x = m.points[k], y = m.points[k + 1];
        const double walked = least_over_candidates(c, x, y, top, candidates);
        const std::string at = " at " + std::to_string(x) + ", " + std::to_string(y);
        if (walked != least_over_all(c, x, y, top)) return "the candidates miss the least distance" + at;
        const float point[3] = {x, y, 0.0f};
        float result[3], normal[3];
        int status = 0;
        tool_drop_z_at_xy(point, result, normal, status);
        if (status != 0 || !std::isfinite(walked)) {
            if (status == 0 || std::isfinite(walked)) return "the drop and the solver disagree on a contact" + at;
            continue;
        }
        const double tip = top - walked;
        if (std::fabs(tip - result[2]) > 1.0e-4)
            return "tip " + std::to_string(tip) + " against the drop's " + std::to_string(result[2]) + at;
    }
    return "";
}

void torus_case(benchmark::State& state, const bench_cutter& shape)
{
    bench::mesh_grid& m = bench::mesh();
    if (!m.ready) {
        state.SkipWithError(m.error.c_str());
        return;
    }
    bench_cutter c = shape;
    c.diameter *= m.diameter;
    c.corner *= m.diameter;
    c.length *= m.diameter;
    const double top = tri_store_block.box[5] + 1.0;
    const std::string mismatch = check_points(m, c, top);
    if (!mismatch.empty()) {
        state.SkipWithError(mismatch.c_str());
        return;
    }
    std::vector<drop_triangle> candidates;
    for (auto _ : state) {
        for (std::size_t k = 0; k < m.points.size(); k += 2) {
            const double d = least_over_candidates(c, m.points[k], m.points[k + 1], top, candidates);
            benchmark::DoNotOptimize(d);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(m.points.size() / 2));
}

// Values relative to the diameter.
constexpr double kTaper = 10.0 * M_PI / 180.0;
const bench_cutter kFlat{false, kCutterFlat, 1.0, 0.0, 0.0, 1.0};
const bench_cutter kBall{false, kCutterBall, 1.0, 0.5, 0.0, 1.0};
const bench_cutter kBull{false, kCutterBullNose, 1.0, 0.25, 0.0, 1.0};

bench_cutter through_taper_solver(bench_cutter c)
{
    c.tapered_solver = true;
    return c;
}

void BM_TorusFlat(benchmark::State& state) { torus_case(state, kFlat); }
void BM_TorusBall(benchmark::State& state) { torus_case(state, kBall); }
void BM_TorusBull(benchmark::State& state) { torus_case(state, kBull); }
void BM_TaperTorusFlat(benchmark::State& state) { torus_case(state, through_taper_solver(kFlat)); }
void BM_TaperTorusBall(benchmark::State& state) { torus_case(state, through_taper_solver(kBall)); }
void BM_TaperTorusBull(benchmark::State& state) { torus_case(state, through_taper_solver(kBull)); }
void BM_TaperTorusTapered(benchmark::State& state)
{
    torus_case(state, {true, kCutterBullNose + kCutterTapered, 1.0, 0.25, kTaper, 1.0});
}

}  // namespace

BENCHMARK(BM_TorusFlat)->Name("torus/flat")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_TorusBall)->Name("torus/ball")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_TorusBull)->Name("torus/bull")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_TaperTorusFlat)->Name("taper_torus/flat")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_TaperTorusBall)->Name("taper_torus/ball")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_TaperTorusBull)->Name("taper_torus/bull")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_TaperTorusTapered)->Name("taper_torus/tapered")->Unit(benchmark::kMillisecond)->Threads(1);

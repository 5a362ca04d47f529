// Speed of the tapered front end's scan (locpnt_taper over the quadtree's candidates, each through
// the conical kernel) at the 100,000 points of the grid of bench_mesh.hpp, the tip at the mesh's
// height under the axis, for a flat end, a bull-nose (corner D / 4) and 10 degree tapers of
// sub-class 5 (corner D / 4, cut length 2 D) and 6 (corner D / 4, cut length 0.9 x the corner),
// as points per second (items_per_second). Each case first checks every point's distance against
// a scan of the whole triangle list for those within the cutter's radius (where flat ground lies
// at the tip's height, farther triangles give the only, positive, distances, so a wider scan would
// differ there) and stops with an error at the first that differs. Points with no triangle under
// them are left out.
#include "bench_mesh.hpp"

#include "cutter/kernels/cone_contact.hpp"
#include "cutter/locpnt_taper.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/qt_geometry.hpp"
#include "surfaces/tri_store_least.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kTenDegrees = static_cast<float>(10 * M_PI / 180);
// No early stop: every candidate is handed over.
constexpr float kNoStop = 1.0e30f;
constexpr int kBuckets = 128;  // per side, of the lookup of the triangle under a point

const float* corner(const qt_entry& e, int k) { return tri_model_nodes() + 3 * (e.nodes[k] - 1); }

// The height of the triangle under (x, y), through buckets of triangle boxes; false when none.
class height_lookup {
public:
    height_lookup()
    {
        const float* box = tri_store_block.box;
        x0_ = box[0];
        y0_ = box[1];
        cell_x_ = (box[3] - box[0]) / kBuckets;
        cell_y_ = (box[4] - box[1]) / kBuckets;
        buckets_.resize(kBuckets * kBuckets);
        const qt_entry* entries = tri_model_entries();
        for (int t = 0; t < tri_store_block.entry_count; ++t) {
            const int* b = entries[t].box;
            for (int j = bucket(b[1] / 1000.0f, y0_, cell_y_); j <= bucket(b[3] / 1000.0f, y0_, cell_y_); ++j)
                for (int i = bucket(b[0] / 1000.0f, x0_, cell_x_); i <= bucket(b[2] / 1000.0f, x0_, cell_x_); ++i)
                    buckets_[j * kBuckets + i].push_back(t);
        }
    }

    bool height(float x, float y, float& z) const
    {
        const qt_entry* entries = tri_model_entries();
        for (int t : buckets_[bucket(y, y0_, cell_y_) * kBuckets + bucket(x, x0_, cell_x_)]) {
            const float *a = corner(entries[t], 0), *b = corner(entries[t], 1), *c = corner(entries[t], 2);
            const double det = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
            if (det == 0) continue;
            const double u = ((x - a[0]) * (c[1] - a[1]) - (y - a[1]) * (c[0] - a[0])) / det;
            const double v = ((y - a[1]) * (b[0] - a[0]) - (x - a[0]) * (b[1] - a[1])) / det;
            if (u < 0 || v < 0 || u + v > 1) continue;
            z = static_cast<float>(a[2] + u * (b[2] - a[2]) + v * (c[2] - a[2]));
            return true;
        }
        return false;
    }

private:
    static int bucket(float value, float origin, float cell)
    {
        return std::clamp(static_cast<int>((value - origin) / cell), 0, kBuckets - 1);
    }
    float x0_, y0_, cell_x_, cell_y_;
    std::vector<std::vector<int>> buckets_;
};

// The points of the grid with a triangle under them, at its height (x, y, z triples).
const std::vector<float>& tool_points(const bench::mesh_grid& m)
{
    static std::vector<float> points;
    if (!points.empty()) return points;
    const height_lookup lookup;
    for (std::size_t k = 0; k < m.points.size(); k += 2) {
        float z = 0;
        if (lookup.height(m.points[k], m.points[k + 1], z))
            points.insert(points.end(), {m.points[k], m.points[k + 1], z});
    }
    return points;
}

// The smallest distance over the triangles whose box lies within the cutter's radius, with the
// front end's height rule, each through the kernel.
float scan_near(const float* point, const linnet_params& lp)
{
    const double cutter[5] = {lp.diameter, lp.corner_radius, lp.cut_length, lp.taper, lp.surface_offsets[0]};
    const float reach = static_cast<float>(cutter[0] / 2 + cutter[2] * std::tan(cutter[3]) + cutter[4]);
    const int at[2] = {static_cast<int>(std::nearbyint(point[0] * 1000.0)),
                       static_cast<int>(std::nearbyint(point[1] * 1000.0))};
    const double position[3] = {point[0], point[1], point[2] - cutter[4]};
    const qt_entry* entries = tri_model_entries();
    float best = 1000.0f;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        const qt_entry& e = entries[t];
        float gap = 0;
        int beyond = 0;
        qt_box_near_dist(e.box[0], e.box[1], e.box[2], e.box[3], at[0], at[1], reach, gap, beyond);
        if (beyond != 0) continue;
        double triangle[9];
        for (int c = 0; c < 3; ++c) std::copy(corner(e, c), corner(e, c) + 3, triangle + 3 * c);
        if (std::max({triangle[2], triangle[5], triangle[8]}) + cutter[4] < point[2] + 1.0e-6) continue;
        double distance = 0, pair[6];
        cone_tri_distance(0, cutter, position, triangle, distance, pair);
        best = std::min(best, static_cast<float>(distance));
    }
    return best;
}

std::string check_distances(const std::vector<float>& points)
{
    for (std::size_t k = 0; k < points.size(); k += 3) {
        float distance = 0, cutter_point[3], triangle_point[3], direction[3];
        int status = 0;
        locpnt_taper(&points[k], kNoStop, distance, cutter_point, triangle_point, direction, status);
        const float scanned = scan_near(&points[k], linnet_params_block);
        if (distance != scanned)
            return "distance differs at " + std::to_string(points[k]) + ", " + std::to_string(points[k + 1]) + ": " +
                   std::to_string(distance) + " against " + std::to_string(scanned);
    }
    return "";
}

void cone_case(benchmark::State& state, float corner_fraction, float cut_length, float taper)
{
    bench::mesh_grid& m = bench::mesh();
    if (!m.ready) {
        state.SkipWithError(m.error.c_str());
        return;
    }
    const std::vector<float>& points = tool_points(m);
    linnet_params_block = linnet_params{};
    linnet_params_block.diameter = m.diameter;
    linnet_params_block.corner_radius = corner_fraction * m.diameter;
    linnet_params_block.cut_length = cut_length;
    linnet_params_block.taper = taper;
    const std::string mismatch = check_distances(points);
    if (!mismatch.empty()) {
        state.SkipWithError(mismatch.c_str());
        return;
    }
    for (auto _ : state) {
        for (std::size_t k = 0; k < points.size(); k += 3) {
            float distance = 0, cutter_point[3], triangle_point[3], direction[3];
            int status = 0;
            locpnt_taper(&points[k], kNoStop, distance, cutter_point, triangle_point, direction, status);
            benchmark::DoNotOptimize(distance);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(points.size() / 3));
}

void BM_ConeFlat(benchmark::State& state) { cone_case(state, 0.0f, 2 * bench::mesh().diameter, 0.0f); }
void BM_ConeBull(benchmark::State& state) { cone_case(state, 0.25f, 2 * bench::mesh().diameter, 0.0f); }
void BM_ConeSub5(benchmark::State& state) { cone_case(state, 0.25f, 2 * bench::mesh().diameter, kTenDegrees); }
void BM_ConeSub6(benchmark::State& state)
{
    cone_case(state, 0.25f, 0.9f * 0.25f * bench::mesh().diameter, kTenDegrees);
}

}  // namespace

BENCHMARK(BM_ConeFlat)->Name("cone/flat")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_ConeBull)->Name("cone/bull")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_ConeSub5)->Name("cone/sub5")->Unit(benchmark::kMillisecond)->Threads(1);
BENCHMARK(BM_ConeSub6)->Name("cone/sub6")->Unit(benchmark::kMillisecond)->Threads(1);

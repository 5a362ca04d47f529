// Speed of the pocket-array primitives the lane engine calls most: segment-segment and
// segment-arc intersection, the area of a 10,000-entry array with arcs (cache cleared each time)
// and the conversion of a 10,000-entry array between layouts.
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_convert.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kPairs = 1024;
constexpr double kPi = 3.14159265358979323846;

// Random segment pairs about the origin, a fixed seed so every run measures the same work.
std::vector<double> random_coordinates(int n)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    std::vector<double> out(n);
    for (double& v : out) v = value(random);
    return out;
}

void BM_SegSegIntersect(benchmark::State& state)
{
    const std::vector<double> c = random_coordinates(8 * kPairs);
    int i = 0;
    for (auto _ : state) {
        const double* p = &c[8 * i];
        double point[2];
        int status = 0;
        seg_seg_intersect(p, p + 2, p + 4, p + 6, point, status);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(point);
        i = (i + 1) % kPairs;
    }
}
BENCHMARK(BM_SegSegIntersect);

void BM_SegSegIntersectXY(benchmark::State& state)
{
    const std::vector<double> c = random_coordinates(8 * kPairs);
    const double absent[2] = {kDirectionAbsent, 0.0};
    int i = 0;
    for (auto _ : state) {
        const double* p = &c[8 * i];
        double x = 0, y = 0;
        int status = 0;
        seg_seg_intersect_xy(0, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[0], p[1], p[2], p[3], p[4], p[5],
                             p[6], p[7], absent, absent, x, y, status);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(x);
        i = (i + 1) % kPairs;
    }
}
BENCHMARK(BM_SegSegIntersectXY);

void BM_SegArcIntersect(benchmark::State& state)
{
    // Segments against the upper half of a circle of radius 5 about the origin.
    const std::vector<double> c = random_coordinates(4 * kPairs);
    const double centre[2] = {0, 0}, start[2] = {5, 0}, end[2] = {-5, 0};
    int i = 0;
    for (auto _ : state) {
        const double* p = &c[4 * i];
        double point[2];
        int status = 0;
        seg_arc_intersect(1, 0, 0, 1, centre, 5.0, 1, p, p + 2, start, end, p, p + 2, point, status);
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(point);
        i = (i + 1) % kPairs;
    }
}
BENCHMARK(BM_SegArcIntersect);

// A closed outline of `entries` entries: a polygon whose every other edge is an arc bulging out.
pokarr outline_with_arcs(int entries)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    const int elements = entries / 5;  // one line point and one arc record per step
    const double r = 1000.0;
    for (int k = 0; k < elements; ++k) {
        const double a0 = 2.0 * kPi * (2 * k) / (2 * elements);
        const double a1 = 2.0 * kPi * (2 * k + 1) / (2 * elements);
        const double p[2] = {r * std::cos(a0), r * std::sin(a0)};
        pokarr_add_pnt(p, a, status);
        pokarr_add_arc(r * std::cos(a1), r * std::sin(a1), nullptr, 0.0, 0.0, r, 1, a, status);
    }
    return a;
}

void BM_AreaWithArcs10000(benchmark::State& state)
{
    pokarr a = outline_with_arcs(10000);
    for (auto _ : state) {
        a.direction = 0;  // clear the cache: every iteration sums the outline
        pokarr_area(a);
        benchmark::DoNotOptimize(a.area);
    }
    state.SetItemsProcessed(state.iterations() * a.count);
    pokarr_free(a);
    pkdm_rel_all();
}
BENCHMARK(BM_AreaWithArcs10000);

void BM_Convert2dTo3d10000(benchmark::State& state)
{
    pokarr a = outline_with_arcs(10000);
    pokarr three;
    pokarr_init(3, three);
    for (auto _ : state) {
        int status = 0;
        pokarr_copy(a, three, status);
        benchmark::DoNotOptimize(three.z);
    }
    state.SetItemsProcessed(state.iterations() * a.count);
    pokarr_free(a);
    pokarr_free(three);
    pkdm_rel_all();
}
BENCHMARK(BM_Convert2dTo3d10000);

void BM_Convert2dToFlat10000(benchmark::State& state)
{
    pokarr a = outline_with_arcs(10000);
    pokarr flat;
    pokarr_init(1, flat);
    for (auto _ : state) {
        int status = 0;
        pokarr_copy(a, flat, status);
        benchmark::DoNotOptimize(flat.x);
    }
    state.SetItemsProcessed(state.iterations() * a.count);
    pokarr_free(a);
    pokarr_free(flat);
    pkdm_rel_all();
}
BENCHMARK(BM_Convert2dToFlat10000);

}  // namespace

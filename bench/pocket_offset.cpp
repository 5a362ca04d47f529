// Speed of the raw offset of a closed loop with arcs (a wavy ring of lines and arcs, restarted
// in the middle of its first line), alone and followed by the clean-up of joins and the removal
// of redundant points, at a few loop sizes up to 10,000 entries; and the loop intersection of two
// 10,000-entry loops that cross at 100 places.
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A counter-clockwise ring of `corners` vertices on radii alternating 100 and 98; every second
// edge is an outward arc. About 2.5 entries per corner.
void make_ring(int corners, pokarr& loop)
{
    int status = 0;
    pokarr_init(2, loop);
    auto vertex = [corners](int k, double* p) {
        const double a = 2.0 * kPi * (k % corners) / corners;
        const double r = k % 2 == 0 ? 100.0 : 98.0;
        p[0] = r * std::cos(a);
        p[1] = r * std::sin(a);
    };
    double p0[2], p1[2];
    vertex(0, p0);
    vertex(1, p1);
    const double mid[2] = {0.5 * (p0[0] + p1[0]), 0.5 * (p0[1] + p1[1])};
    pokarr_add_pnt(mid, loop, status);
    pokarr_add_pnt(p1, loop, status);
    for (int k = 2; k <= corners; ++k) {
        double s[2], t[2];
        vertex(k - 1, s);
        vertex(k, t);
        if (k % 2 == 0) {
            // Centre on the inner side of the chord at a chord's length: a shallow bulge.
            const double cx = 0.5 * (s[0] + t[0]), cy = 0.5 * (s[1] + t[1]);
            const double dx = t[0] - s[0], dy = t[1] - s[1];
            const double length = std::hypot(dx, dy);
            const double ccx = cx - dy / length * length, ccy = cy + dx / length * length;
            pokarr_add_arc(t[0], t[1], nullptr, ccx, ccy, std::hypot(s[0] - ccx, s[1] - ccy), 1, loop, status);
        } else {
            pokarr_add_pnt(t, loop, status);
        }
    }
    pokarr_add_pnt(mid, loop, status);
}

void set_up()
{
    pocket_state_block.pocket_dimension = 2;
    pocket_work_block.working_tolerance = 0.001;
    pocket_work_block.corner_arcs = 1;
}

void BM_RawOffset(benchmark::State& state)
{
    set_up();
    pokarr loop;
    make_ring(static_cast<int>(state.range(0)), loop);
    pokarr result;
    pokarr_init(2, result);
    for (auto _ : state) {
        result.count = 0;
        int status = 0;
        pokarr_offset_2d(kSideRight, 1, 0.5, loop, result, status);
        benchmark::DoNotOptimize(result.count);
    }
    state.counters["entries"] = loop.count;
    state.counters["offset_entries"] = result.count;
    pokarr_free(result);
    pokarr_free(loop);
    pkdm_rel_all();
}

void BM_RawOffsetAndCleanUp(benchmark::State& state)
{
    set_up();
    pokarr loop;
    make_ring(static_cast<int>(state.range(0)), loop);
    pokarr result;
    pokarr_init(2, result);
    for (auto _ : state) {
        result.count = 0;
        int status = 0;
        pokarr_offset_2d(kSideLeft, 1, 0.5, loop, result, status);
        double w = pocket_work_block.working_tolerance;
        pokarr_clean_joins(kJoinsStrict, 0, w, result);
        int closed = 1;
        pokarr_drop_redundant(closed, 0, result);
        benchmark::DoNotOptimize(result.count);
    }
    state.counters["entries"] = loop.count;
    state.counters["cleaned_entries"] = result.count;
    pokarr_free(result);
    pokarr_free(loop);
    pkdm_rel_all();
}

// A closed ring of n points at radius 100 + wave * sin(waves * angle).
void make_wavy_ring(int n, double wave, int waves, pokarr& loop)
{
    int status = 0;
    pokarr_init(2, loop);
    for (int k = 0; k <= n; ++k) {
        const double a = 2.0 * kPi * (k % n) / n;
        const double r = 100.0 + wave * std::sin(waves * a);
        const double p[2] = {r * std::cos(a), r * std::sin(a)};
        pokarr_add_pnt(p, loop, status);
    }
}

void BM_LoopIntersection(benchmark::State& state)
{
    set_up();
    pokarr a, b;
    make_wavy_ring(9999, 0.0, 0, a);
    make_wavy_ring(9999, 5.0, 50, b);  // 50 waves cross the circle 100 times
    static pk_box_table boxes;
    pokarr_get_boxes(b, boxes);
    static int ea[kLuplupRows], eb[kLuplupRows];
    static double x[kLuplupRows], y[kLuplupRows];
    int count = 0, result = 0;
    for (auto _ : state) {
        LUPLUP(3, a, b, boxes, ea, eb, x, y, count, result);
        benchmark::DoNotOptimize(count);
    }
    state.counters["crossings"] = count;
    pokarr_free(a);
    pokarr_free(b);
    pkdm_rel_all();
}

}  // namespace

BENCHMARK(BM_LoopIntersection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawOffset)->Arg(400)->Arg(1600)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawOffsetAndCleanUp)->Arg(400)->Arg(1600)->Arg(4000)->Unit(benchmark::kMicrosecond);

// Speed of the point strings over one surface: srflin along 1,000 hatch lines across a bicubic
// patch of 60 x 60 (heights 0 to 9) with a ball of diameter 4, tolerance 0.01, lines along X
// spaced evenly over Y. Goal: the 1,000 lines in under 2 s. The case stops with an error when a
// line gives no string or fails.
//
// Speed of the trimming's surface projection: project_on_surf (PROJ.:BLK BELOW SRF.) of a
// 10,000-point polyline winding over a field of three peaks of 100,352 triangles, partly below
// them, with a flat mill of diameter the XY diagonal / 40 (tolerance 0.01), the new strings
// written into an open procedure and the range deleted. Beside it, on the same mesh and cutter:
// the touch queries of the same segments alone (the drops its touch strings make, with the walk's
// bookkeeping), and the drop at 100,000 grid points (bench_drop's case on this mesh). The
// projection's counter "drops" is the number of drops its touch strings make (counted through the
// host's array lookups, one set per drop); goal: the projection within twice the time of those
// drops at the drop's rate.
#include "bench/peaks_model.hpp"
#include "clearing/surface_services/srflin.hpp"
#include "cutter/drop_front.hpp"
#include "cutter/linnet_touch_point.hpp"
#include "cutter/stock_cutter.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/trim/project_on_surf.hpp"
#include "edit/trim/projection_strings.hpp"
#include "edit/trim/trim_cache.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "surfaces/tri_store_least.hpp"
#include "tests/toolpath/motion_output_support.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kLines = 1000;
constexpr float kTolerance = 0.01f;

const char* const kPart = R"({"entities": [
 {"id": 33, "kind": "bicubic", "u_range": [0, 1], "v_range": [0, 1], "points": [
  [0, 0, 0], [20, 0, 4], [40, 0, 4], [60, 0, 0], [0, 20, 3], [20, 20, 9], [40, 20, 8], [60, 20, 2],
  [0, 40, 2], [20, 40, 8], [40, 40, 9], [60, 40, 3], [0, 60, 0], [20, 60, 3], [40, 60, 4], [60, 60, 1]]}]})";

void srflin_lines(benchmark::State& state)
{
    vantu::control::reset();
    vantu::control::load_part_text(kPart, "part");
    tool_block().IDTOOL = PRM9().words[machine_params::kToolId];
    tool_block().tool_class = kMill;
    tool_block().TLVERS = 1000;
    tool_shapes().mill.DIAMTR = 4.0f;
    tool_shapes().mill.CRNRRD = 2.0f;
    tool_shapes().mill.SPARE1 = 0.0f;
    HEI8().set_real(heights_state::kClearance, 100.0f);
    surface_buffer buffer;
    int status = 0;
    surface_buffer_load(33, buffer.words, status);
    std::vector<float> points(30000);
    long long total = 0;
    for (auto _ : state) {
        for (int k = 0; k < kLines; ++k) {
            const float y = 1.0f + 58.0f * static_cast<float>(k) / (kLines - 1);
            const float start[2] = {-5.0f, y}, end[2] = {65.0f, y};
            surface_line_continuation continuation;
            int counts[kSrflinMostStrings], string_count = 0, plane = 0;
            srflin(buffer, 1, start, end, kTolerance, continuation, static_cast<int>(points.size()), 0, points.data(),
                   string_count, counts, plane, status);
            if (status != 0 || counts[0] < 2) {
                state.SkipWithError("a hatch line gave no string");
                return;
            }
            total += counts[0];
        }
    }
    state.counters["points_per_line"] = static_cast<double>(total) / (kLines * static_cast<double>(state.iterations()));
    vantu::control::reset();
}

// ---- the surface projection -------------------------------------------------------------------

constexpr int kCells = 224, kPolylinePoints = 10000, kGridSide = 316;
constexpr float kCellSize = 0.5f, kProjectionTolerance = 0.01f;
constexpr int kProcBlock = 7, kMillMachine = 22, kToolId = 5;
// The cutter type code of a flat end (linnet_params).
constexpr int kFlatEnd = 2;

// The polyline: a wave across the field at height 6, below the peaks where they rise above it.
std::vector<point3> wave()
{
    std::vector<point3> points;
    const float side = kCells * kCellSize;
    for (int k = 0; k < kPolylinePoints; ++k) {
        const float t = static_cast<float>(k) / (kPolylinePoints - 1);
        points.push_back({5.0f + (side - 10.0f) * t, side / 2 + 0.4f * side * std::sin(12.0f * t), 6.0f});
    }
    return points;
}

// The field, the mill, an open procedure and the model in the trimming's cache slot, once.
struct projection_field {
    bool ready = false;
    std::string error;
    float diameter = 0.0f;
    int next_block = 100;
};

projection_field& field()
{
    static projection_field f;
    if (f.ready || !f.error.empty()) return f;
    motion_test::fresh_at({0.0f, 0.0f, 50.0f});
    int status = 0;
    build_peaks_model(kCells, kCellSize, status);
    if (status != 0) {
        f.error = "the mesh cannot be built";
        return f;
    }
    trim_cache_save();
    const float side = kCells * kCellSize;
    f.diameter = std::hypot(side, side) / 40.0f;
    PRM9().words[machine_params::kToolId] = PRM9().words[17] = kToolId;
    PRM9().words[machine_params::kMotionForm] = 2;
    tool_block().IDTOOL = kToolId;
    tool_block().tool_class = kMill;
    tool_block().TLVERS = 1000;
    tool_shapes().mill.DIAMTR = f.diameter;
    tool_shapes().mill.CRNRRD = 0.0f;
    NPT1().at(tp_header_state::kMachineType) = kMillMachine;
    const std::vector<word> proc{12, kProcBlock, 0, 0};
    lcreat(1, status);
    lputd(static_cast<int>(proc.size()), proc.data(), status);
    lclos(status);
    newls1(2, status);
    list_cursor() = list_cursor_state{};
    list_cursor().cursor_proc_blkno = kProcBlock;
    trim_words() = trim_state{};
    trim_words().operation = 2;
    trim_words().projection_option = kProjectBelow;
    trim_words().selection_method = 3;
    trim_words().ref_srf_tol = kProjectionTolerance;
    trim_words().feed = 100.0f;
    f.ready = status >= 0;
    if (!f.ready) f.error = "the procedure cannot be opened";
    return f;
}

// A new range to project: one line block after the list position (marker 14 on it) and the
// polyline collected for it. Answers the block's number.
int new_range(projection_field& f, const std::vector<point3>& polyline)
{
    int status = 0;
    const int number = f.next_block++;
    const point3& end = polyline.back();
    const std::vector<word> line{2, number, real_to_word(end[0]), real_to_word(end[1]), real_to_word(end[2])};
    lcreat(1, status);
    lputd(static_cast<int>(line.size()), line.data(), status);
    lclos(status);
    lmark(1, 14, status);
    gsblkn(2, 0, f.next_block, status);
    trim_state& t = trim_words();
    void* points = nullptr;
    void* vectors = nullptr;
    MM_OPEN_ARRAY(sizeof(point3), kPolylinePoints, t.collected_points, points, status);
    MM_OPEN_ARRAY(sizeof(point3), kPolylinePoints, t.collected_vectors, vectors, status);
    std::copy(polyline.begin(), polyline.end(), static_cast<point3*>(points));
    std::fill_n(static_cast<point3*>(vectors), polyline.size(), kDefaultDirection);
    t.collected_count = static_cast<int>(polyline.size());
    writer_continues_at(polyline.front(), kDefaultDirection);
    return number;
}

void close_range()
{
    trim_state& t = trim_words();
    int status = 0;
    MM_CLOSE(t.collected_points, status);
    MM_CLOSE(t.collected_vectors, status);
    t.collected_points = t.collected_vectors = -1;
}

// The current mill as the drops' cutter.
void mill_cutter(const projection_field& f)
{
    linnet_params_block = linnet_params{};
    linnet_params_block.cutter_type = kFlatEnd;
    linnet_params_block.diameter = f.diameter;
}

// The touch queries of the polyline's segments; answers the drops they made.
long touch_queries(const std::vector<point3>& polyline)
{
    static touch_buffers touch;
    const long before = vantu::control::call_count("mmcptr");
    for (std::size_t k = 0; k + 1 < polyline.size(); ++k) {
        int status = 0;
        linnet_touch_point(1, kTouchAllPoints, polyline[k].data(), polyline[k + 1].data(), kProjectionTolerance, 0.0f,
                           0.0f, kTouchPointRoom, touch.points[0].data(), touch.normals[0].data(), nullptr,
                           touch.strings, kTouchStringRoom, touch.counts.data(), touch.total, status);
    }
    return vantu::control::call_count("mmcptr") - before;
}

// The host's array lookups of one drop and of one query around its drops.
long lookups_per_drop()
{
    const float at[3] = {20.0f, 20.0f, 0.0f};
    float tip[3], normal[3], contact[3];
    int status = 0;
    const long before = vantu::control::call_count("mmcptr");
    stock_drop("bench", at, 0.0f, tip, normal, contact, status);
    return vantu::control::call_count("mmcptr") - before;
}

long lookups_per_query()
{
    const std::vector<point3> still{{20.0f, 20.0f, 0.0f}, {20.0f, 20.0f, 0.0f}};
    return touch_queries(still) - lookups_per_drop();
}

// The field with the mill loaded and the model restored from the cache; null (the benchmark
// skipped) when the field could not be made.
projection_field* field_for(benchmark::State& state)
{
    projection_field& f = field();
    if (!f.ready) {
        state.SkipWithError(f.error.c_str());
        return nullptr;
    }
    mill_cutter(f);
    trim_cache_restore();
    return &f;
}

void BM_ProjectOnSurf(benchmark::State& state)
{
    projection_field* ready = field_for(state);
    if (ready == nullptr) return;
    projection_field& f = *ready;
    const std::vector<point3> polyline = wave();
    const long per_drop = lookups_per_drop(), per_query = lookups_per_query();
    const long drops = (touch_queries(polyline) - per_query * (kPolylinePoints - 1)) / per_drop;
    int status = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int number = new_range(f, polyline);
        state.ResumeTiming();
        int approach = 0;
        project_on_surf(1, approach, number, number, status);
        state.PauseTiming();
        close_range();
        state.ResumeTiming();
        if (status != 0) break;
    }
    if (status != 0) state.SkipWithError("the projection failed");
    state.counters["drops"] = static_cast<double>(drops);
}

void BM_ProjectionTouchQueries(benchmark::State& state)
{
    if (field_for(state) == nullptr) return;
    const std::vector<point3> polyline = wave();
    for (auto _ : state) benchmark::DoNotOptimize(touch_queries(polyline));
}

void BM_ProjectionMeshDrop(benchmark::State& state)
{
    projection_field& f = field();
    if (!f.ready) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    mill_cutter(f);
    trim_cache_restore();
    const float side = kCells * kCellSize;
    for (auto _ : state)
        for (int j = 0; j < kGridSide; ++j)
            for (int i = 0; i < kGridSide; ++i) {
                const float point[3] = {side * (i + 0.5f) / kGridSide, side * (j + 0.5f) / kGridSide, 0.0f};
                float result[3], normal[3];
                int dropped = 0;
                tool_drop_z_at_xy(point, result, normal, dropped);
                benchmark::DoNotOptimize(result);
            }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kGridSide * kGridSide);
}

}  // namespace

BENCHMARK(srflin_lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectOnSurf)->Name("project_on_surf/10000")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectionTouchQueries)->Name("project_on_surf/touch_queries")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectionMeshDrop)->Name("project_on_surf/mesh_drop")->Unit(benchmark::kMillisecond);

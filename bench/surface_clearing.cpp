// Speed of the surface clearing: the hatch clearing of a region under machining type 11, every
// pass handed to the surface pass engine, which lays it onto the part surfaces as touch strings
// and writes them into an open motion sub-list. The region is the box of the cutter benchmarks'
// field of three peaks (bench_mesh.hpp) less one diameter all round; a ball of diameter D, the XY
// diagonal / 40, hatch lines D / 2 apart along X, tolerance 0.01; passes linked by region (each
// hatch segment a pass of its own, lifted between). The case stops with an error when no motion
// comes out, a run fails or reports an error.
#include "bench_mesh.hpp"
#include "bench_procedure.hpp"
#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/hatch_clearing.hpp"
#include "clearing/hatch/hatch_lines.hpp"
#include "clearing/surface_passes/deferred_strings.hpp"
#include "clearing/surface_passes/link_arrays.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "host/control.hpp"
#include "host/control/list.hpp"
#include "host/control/messages.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/updown_buffers.hpp"
#include "tools/current_tool.hpp"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr float kTolerance = 0.01f;
constexpr int kSurfaceClearing = 11, kTouchStrings = 2, kEntryAtPassStart = 1;
constexpr int kRisingAbscissa = 1, kRegionLinking = 2, kContourLink = 1;
constexpr int kZUpApproach = 1;

// The open procedure of bench_procedure.hpp with the ball of diameter d as the current mill (tool
// 1) and the line-net cutter, and the words of the surface clearing; false when the procedure
// block cannot be written.
bool open_clearing(float d)
{
    int status = 0;
    updown_close(status);
    if (!bench::open_motion_procedure()) return false;
    // The block of a bare benchmark list gets number 0, which the writer reports.
    vantu::control::clear_messages();
    PRM9().words[machine_params::kToolId] = 1;
    tool_block().IDTOOL = 1;
    tool_block().tool_class = kMill;
    tool_shapes().mill.DIAMTR = d;
    tool_shapes().mill.CRNRRD = 0.5f * d;
    linnet_params_block = linnet_params{};
    linnet_params_block.cutter_type = kCutterBall;
    linnet_params_block.diameter = d;
    linnet_params_block.corner_radius = 0.5f * d;
    proc_geometry_reset();
    curve_approx_words& ca = proc_geometry().curve_approx;
    ca.tolerance = ca.link_tolerance = kTolerance;
    ca.side_step = 0.5f * d;
    ca.method = kTouchStrings;
    ca.entry_point_mode = kEntryAtPassStart;
    ca.link_radius = 0.25f * d;
    ca.minimum_step = kTolerance;
    connect_params_block() = connect_params{};
    connect_params_block().approach_kind = kZUpApproach;
    connect_params_block().approach_distance = d;
    machining_type() = kSurfaceClearing;
    return true;
}

// The region: the box less one diameter all round, one contour in the hatch frame of angle 0.
std::vector<word> region(float d)
{
    const float* box = tri_store_block.box;
    const float x0 = box[0] + d, y0 = box[1] + d, x1 = box[3] - d, y1 = box[4] - d;
    const float corners[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
    std::vector<word> list{4};
    for (const float c : corners) list.push_back(real_to_word(c));
    return list;
}

// The moves the clearing wrote into the open sub-list.
std::size_t written_moves()
{
    const auto& top = vantu::control::toolpath_top();
    return top.empty() ? 0 : top.back().sublist.size();
}

void BM_SurfaceClearing(benchmark::State& state)
{
    bench::mesh_grid& m = bench::mesh();
    if (!m.ready) {
        state.SkipWithError(m.error.c_str());
        return;
    }
    const float d = m.diameter;
    std::size_t moves = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!open_clearing(d)) {
            state.SkipWithError("the procedure block was not written");
            return;
        }
        std::vector<word> polygons = region(d);
        float range[2] = {0.0f, 0.0f};
        clr_hatch_range(1.0f, 0.0f, 1, 1, nullptr, 0.5f * d, polygons.data(), range[0], range[1]);
        const float no_end[2] = {0.0f, 0.0f};
        set_clear_params(kRisingAbscissa, kRegionLinking, 0.5f * d, kTolerance, 1.0f, 0.0f, no_end, 0, kContourLink);
        state.ResumeTiming();
        const int result = clear_engine(polygons.data(), range, 1, 1);
        int status = 0;
        updown_flush(status);
        state.PauseTiming();
        moves = written_moves();
        tp_sublist_close(status);
        clrcls(1, status);
        deferred_strings_flush(0, status);
        link_arrays_close();
        const std::vector<std::string> errors = vantu::control::texts_of("eroutc");
        if (result != 0 || moves == 0 || !errors.empty()) {
            const std::string why = !errors.empty() ? errors.front()
                                    : result != 0   ? "the clearing failed"
                                                    : "no motion came out";
            state.SkipWithError(why.c_str());
            return;
        }
        state.ResumeTiming();
    }
    state.counters["moves"] = static_cast<double>(moves);
}

}  // namespace

BENCHMARK(BM_SurfaceClearing)->Name("surface_clearing/three_peaks")->Unit(benchmark::kMillisecond);

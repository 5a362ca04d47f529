// Speed of a contour trim: DELETE MOTIONS, THROUGH CLEAR, to the end of the procedure, over a
// zig-zag of 10,000 and 100,000 feed lines each crossing a rectangle twice. The motions are cut at
// the contour, then every stretch inside it is deleted and reconnected, as the trimming driver's
// range loop does; time per trimmed pass.
#include "edit/editor/list_cursor_state.hpp"
#include "tests/edit/trim_range_support.hpp"
#include "tests/toolpath/motion_output_support.hpp"

#include <benchmark/benchmark.h>

namespace {

constexpr float kStep = 0.01f;  // well above the walk's same-point tolerance
constexpr float kClearZ = 20.0f;
constexpr int kProcBlock = 7;
constexpr int kMill = 22;

// A fresh host with a procedure block whose sub-list holds the zig-zag; the list on its first
// block and the mill's state as a run leaves it.
void load(int passes)
{
    const point3 start{-5.0f, 0.5f, 0.0f};
    motion_test::fresh_at(start);
    int status = 0;
    const std::vector<word> proc{12, kProcBlock, 0, 0};
    lcreat(1, status);
    lputd(int(proc.size()), proc.data(), status);
    lclos(status);
    newls1(2, status);
    const auto blocks = trim_test::zig_zag(passes, kStep);
    for (const std::vector<word>& w : blocks) {
        lcreat(1, status);
        lputd(int(w.size()), w.data(), status);
        lclos(status);
    }
    int highest = int(blocks.size()) + 20;
    gsblkn(2, 0, highest, status);
    lacces(2, status);
    list_cursor() = list_cursor_state{};
    list_cursor().cursor_proc_blkno = kProcBlock;
    NPT1().at(tp_header_state::kMachineType) = kMill;
    PRM9().words[machine_params::kToolId] = PRM9().words[17] = 5;
    DSM4() = modal_values{};
    DSM4().set_real(modal_values::kFeed, 100.0f);
    trim_words() = trim_state{};
    trim_words().operation = 3;
    trim_words().connection_option = 1;
}

void BM_ContourTrim(benchmark::State& state)
{
    const int passes = int(state.range(0));
    const trim_test::polygon contour = trim_test::rectangle(0.5 + kStep * passes);
    int trimmed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        load(passes);
        state.ResumeTiming();
        trim_test::cut_at_contour(contour, {-5.0f, 0.5f, 0.0f});
        trimmed = trim_test::trim_inside(contour, {-5.0f, 0.5f, 0.0f}, kClearZ);
    }
    if (trimmed != passes) state.SkipWithError("not every pass was trimmed");
    state.counters["passes"] = passes;
    state.SetItemsProcessed(int64_t(state.iterations()) * passes);
}

}  // namespace

BENCHMARK(BM_ContourTrim)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Speed of the motion writers: 10^4 and 10^5 linear moves (PLINE_entry) and point-string points
// (string_move) written into the open motion sub-list of a procedure block, in items per second.
#include "toolpath/motion_writers.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"

#include <benchmark/benchmark.h>

namespace {

void no_records(int&, int&, int&, int& status) { status = 0; }
void no_parameters(int&, int&, int&, int& status) { status = 0; }

// A fresh host with one procedure block whose motion sub-list is open, and the move state reset.
void open_procedure(benchmark::State& state)
{
    vantu::control::reset();
    LSP2() = move_writer_state{};
    LSP2().at(move_writer_state::kStringClosed) = 1;
    NPT1().at(tp_header_state::kMachineType) = 1;
    PRM9() = machine_params{};
    mch_slots() = mch_slot_table{};
    int status = 0;
    PTBT12(50, 1, -1, no_records, no_parameters, no_parameters, 3, status);
    if (status != 0) state.SkipWithError("the procedure block was not written");
}

void BM_LinearMoves(benchmark::State& state)
{
    const int moves = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        open_procedure(state);
        state.ResumeTiming();
        int status = 0;
        for (int i = 0; i < moves; ++i) PLINE_entry(1, {static_cast<float>(i), 1.0f, 0.0f}, kDefaultDirection, status);
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations() * moves);
}
BENCHMARK(BM_LinearMoves)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_StringPoints(benchmark::State& state)
{
    const int points = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        open_procedure(state);
        state.ResumeTiming();
        int status = 0;
        for (int i = 0; i < points; ++i) string_move(1, {static_cast<float>(i), 1.0f, 0.0f}, kDefaultDirection, status);
        PCLSST(2);
        benchmark::DoNotOptimize(status);
    }
    state.SetItemsProcessed(state.iterations() * points);
}
BENCHMARK(BM_StringPoints)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

// The stubs for facilities not carried: each one reports its fixed text and gives its fixed
// result.
#include "driver/stubs.hpp"

#include "host/vantu.hpp"

namespace {
constexpr int kAbsent = -1;
// The machining type under which the polygon-buffer key of the simulation is asked as a
// matter of course, so its absence is not worth a line.
constexpr int kMachiningTypeSimulation = 36;

void report(const char* text) { eroutc(text, 0); }
}  // namespace

void get_stockid([[maybe_unused]] int& stock_id, [[maybe_unused]] int& stock_table, [[maybe_unused]] int& status)
{
    report("get_stockid - this is a dummy routine");
}

void ZLINT3(int& status)
{
    report("ZLINT3, THIS IS A DUMMY ROUTINE");
    status = kAbsent;
}

int dummy_status_stub() { return kAbsent; }

void dummy_clear_stub(int& status) { status = 0; }

void HORPNT_ON_GRID(int& status)
{
    report("HORPNT_ON_GRID, DUMMY ROUTINE");
    status = kAbsent;
}

void LINNET_ON_GRID(int& status)
{
    report("LINNET_ON_GRID, DUMMY ROUTINE");
    status = kAbsent;
}

void SIM_STAMP_TOOL_AT_POINT([[maybe_unused]] int& status) { report("SIM_STAMP_TOOL_AT_POINT, DUMMY ROUTINE"); }

void INIT2_OPTIMIZE([[maybe_unused]] int& status) { report("INIT2_OPTIMIZE, DUMMY ROUTINE"); }

void SIM_GET_SET_POLBUF_KEY(int machining_type, [[maybe_unused]] int& status)
{
    if (machining_type != kMachiningTypeSimulation) report("SIM_GET_SET_POLBUF_KEY, DUMMY ROUTINE");
}

void SIM_ALLOC_BUF_KEY([[maybe_unused]] int& status) { report("SIM_ALLOC_BUF_KEY, DUMMY ROUTINE"); }

void SIM_INIT_FOR_LINNET([[maybe_unused]] int& status) { report("SIM_INIT_FOR_LINNET, DUMMY ROUTINE"); }

void automatic_verifier(int& status)
{
    report("AUTOMATIC VERIFIER, DUMMY ROUTINE");
    status = 0;
}

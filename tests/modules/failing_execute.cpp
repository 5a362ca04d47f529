// A stand-in module for the runner tests: its drelan runs the real procedure driver for NC
// function 50 with test-double callbacks whose execution writes one move and then fails as a
// routine of the module fails: one line on the error channel and a negative status. Define goes
// on in the first pass and ends the run once the repeat flag is set.
#include "host/vantu.hpp"
#include "tests/modules/driver_caller.hpp"
#include "toolpath/motion_writers.hpp"

namespace {

constexpr int kPointsOnly = 1;

void execute(int& mode, int& status)
{
    status = 0;
    if (mode != 1) return;
    PLINE_entry(kPointsOnly, point3{1.0f, 2.0f, 0.0f}, kDefaultDirection, status);
    eroutc("DRAWPK - ERROR DURING TOOL PATH CREATION", 0);
    status = -1;
}

}  // namespace

extern "C" int drelan_attach(int) { return 1; }

extern "C" void drelan() { driver_caller::run(driver_caller::define_once, execute); }

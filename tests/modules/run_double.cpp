// A stand-in module for the runner tests: its drelan runs the real procedure driver for NC
// function 50 ("KQ47", 468 words) with test-double callbacks, so that a whole creation run with
// an interrupted execution can be driven from a script. Define goes on in the first pass and ends
// the run once the repeat flag is set; execute mode 1 writes 20 line moves; the others succeed.
#include "host/vantu.hpp"
#include "tests/modules/driver_caller.hpp"
#include "toolpath/motion_writers.hpp"

namespace {

constexpr int kMoves = 20;
constexpr int kPointsOnly = 1;

void execute(int& mode, int& status)
{
    status = 0;
    if (mode != 1) return;
    for (int i = 0; i < kMoves && status >= 0; ++i) {
        const point3 point{static_cast<float>(i), static_cast<float>(i % 2), 0.0f};
        PLINE_entry(kPointsOnly, point, kDefaultDirection, status);
    }
}

}  // namespace

extern "C" int drelan_attach(int) { return 1; }

extern "C" void drelan() { driver_caller::run(driver_caller::define_once, execute); }

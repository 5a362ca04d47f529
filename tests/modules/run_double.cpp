// A stand-in module for the runner tests: its drelan runs the real procedure driver for NC
// function 50 ("KQ47", 468 words) with test-double callbacks, so that a whole creation run with
// an interrupted execution can be driven from a script. Define goes on in the first pass and ends
// the run once the repeat flag is set; execute mode 1 writes 20 line moves; the others succeed.
#include "driver/proc_driver.hpp"
#include "host/vantu.hpp"
#include "toolpath/motion_writers.hpp"

namespace {

constexpr int kMoves = 20;
constexpr int kBlockLength = 468;
constexpr int kPocketFunction = 50;
constexpr int kPointsOnly = 1;

int nc_function_cell;
int block_length_cell;
word current_block[kBlockLength];
word previous_block[kBlockLength];

void define(int&, int&, int&, int& repeat, int&, int&, int&, int& end_run, int& status)
{
    end_run = repeat == 1 ? 1 : 0;
    status = 0;
}

void execute(int& mode, int& status)
{
    status = 0;
    if (mode != 1) return;
    for (int i = 0; i < kMoves && status >= 0; ++i) {
        const point3 point{static_cast<float>(i), static_cast<float>(i % 2), 0.0f};
        PLINE_entry(kPointsOnly, point, kDefaultDirection, status);
    }
}

void succeed4(int&, int&, int&, int& status) { status = 0; }
void read_parameters(int&, int&, int&, int&, int&, int& status) { status = 0; }
void parameters_changed(int&, int&, int& status) { status = 0; }
void defaults(int&, int& status) { status = 0; }
void contour_records(int&, int&, int&, int& status) { status = 0; }
void display_hook(int&, int& count, float*, int&, float*, int&, float*, int& status)
{
    count = 0;
    status = 0;
}
void translations(int& status) { status = 0; }

}  // namespace

extern "C" int drelan_attach(int) { return 1; }

extern "C" void drelan()
{
    nc_function_cell = kPocketFunction;
    block_length_cell = kBlockLength;
    proc_driver(nc_function_cell, define, execute, succeed4, succeed4, read_parameters, parameters_changed, defaults,
                contour_records, display_hook, translations, ncs_dum_sud, "KQ47", block_length_cell, current_block,
                previous_block);
}

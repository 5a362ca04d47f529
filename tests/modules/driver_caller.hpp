// What a stand-in module that runs the real procedure driver for NC function 50 ("KQ47",
// 468 words) shares: the callbacks it leaves to succeed and its registration with the driver.
// Each stand-in passes its own define and execute.
#pragma once

#include "driver/proc_driver.hpp"
#include "host/vantu.hpp"

namespace driver_caller {

inline constexpr int kBlockLength = 468;
inline constexpr int kPocketFunction = 50;

inline int nc_function_cell;
inline int block_length_cell;
inline word current_block[kBlockLength];
inline word previous_block[kBlockLength];

// Define goes on in the first pass and ends the run once the repeat flag is set.
inline void define_once(int&, int&, int&, int& repeat, int&, int&, int&, int& end_run, int& status)
{
    end_run = repeat == 1 ? 1 : 0;
    status = 0;
}
inline void succeed4(int&, int&, int&, int& status) { status = 0; }
inline void read_parameters(int&, int&, int&, int&, int&, int& status) { status = 0; }
inline void parameters_changed(int&, int&, int& status) { status = 0; }
inline void defaults(int&, int& status) { status = 0; }
inline void contour_records(int&, int&, int&, int& status) { status = 0; }
inline void display_hook(int&, int& count, float*, int&, float*, int&, float*, int& status)
{
    count = 0;
    status = 0;
}
inline void translations(int& status) { status = 0; }

// Runs the procedure driver with the stand-in's define and execute.
inline void run(define_callback define, execute_callback execute)
{
    nc_function_cell = kPocketFunction;
    block_length_cell = kBlockLength;
    proc_driver(nc_function_cell, define, execute, succeed4, succeed4, read_parameters, parameters_changed, defaults,
                contour_records, display_hook, translations, ncs_dum_sud, "KQ47", block_length_cell, current_block,
                previous_block);
}

}  // namespace driver_caller

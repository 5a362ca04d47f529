// The execution wrapper of the procedure driver's execution step: it runs the execute callback
// under the restart point that execution_stop (nc_services/exec_control.hpp) returns to, and the
// stop that throws it.
#pragma once

#include "nc_services/exec_control.hpp"

// The execution display words (module state, one instance).
struct exec_display_words {
    int tool_visible = 0;  // TLER was 0 or 1 when the execution started
    int motions_hidden = 0;
    int display_changed = 0;  // the user changed the tool display during this execution
    int step_mode = 0;        // 1 after BY STEP
    int step_count = 1;       // 1 to 10000; 1 at each start
    block_key last_block{};   // remembered when the menu opens with moves written
    int status_line_tool = 0;
    int restart_active = 0;  // 1 while exec_run's restart point is set
};
exec_display_words& exec_words();

// Runs the execute callback (mode 1, or mode 2 at once for a non-zero restart). A stop sets the
// suspended word and calls the callback again in mode 2. display_changed and display_mode report
// a tool display the user changed (display_mode 1, 2 or 3). Writes "UITR" (1 while an interactive
// execution runs). Reads and may change TLER; reads PRM9 and the machining type.
void exec_run(execute_callback execute, int interactive, int restart, int& suspended, int& display_changed,
              int& display_mode, int& status);
// Calls the callback with the mode; the current tool's dimensions are saved before mode 1 and
// written back after every mode (machining types 34 and 35 excepted); mode 2 first drops the
// buffered UP/DOWN motions.
void exec_callback_call(execute_callback execute, int mode, int& status);
// Abandons the computation to the active restart point of the machining type (after the
// execution display mode is set back and, with the motion display on, one rapid move to the
// current position at the clearance height is written). Without an active restart point it
// returns.
void exec_stop_unwind();

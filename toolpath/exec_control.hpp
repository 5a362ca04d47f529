// Execution under interrupt: the execution wrapper runs the execute callback under a restart
// point; the motion writers, the progress line and long loops call the break check, which opens
// the EXECUTION menu when the user pressed SPACE or a step countdown ran out; STOP with a yes to
// "STOP EXECUTION?" abandons the computation back to the restart point, after which the callback
// is called once more in clean-up mode. Called by the execution step of the procedure driver.
#pragma once

#include "host/vantu_exec.hpp"
#include "toolpath/proc_type_table.hpp"

// The stop of an execution. Thrown by exec_stop_unwind and caught only at the restart point it
// names: the execution wrapper (kExecRestart) or the trimming driver (kTrimRestart, while the
// machining type is 33). It does not derive from std::exception, so no general handler takes it.
struct execution_stop {
    int restart;
};
inline constexpr int kExecRestart = 1, kTrimRestart = 33;

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

// Modes of the menu: the procedure already has move blocks, or it has none.
inline constexpr int kMenuMovesWritten = 1, kMenuNoMoves = 2;

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

// The break check of long loops: one keyboard poll when no key is pending and no countdown ran
// out; otherwise the EXECUTION menu.
void EXCBRK();
// The menu after a display break: mode 2 when the list has no lines or no move block precedes the
// position, 1 otherwise; no menu when the search fails. The motion and marker writers and the
// progress line call it after a break.
void exec_break_menu();
// The EXECUTION menu. Shows nothing unless "UITR" reads 1.
void exec_pause_menu(int mode);
// Abandons the computation to the active restart point of the machining type (after the
// execution display mode is set back and, with the motion display on, one rapid move to the
// current position at the clearance height is written). Without an active restart point it
// returns.
void exec_stop_unwind();
// The break check while the machining type is 36: SPACE asks "CONTINUE?"; NO abandons only while
// a restart point is active, else the computation goes on.
void exec_break_check36();
// From the current list position, block by block (direction 1 forward, else backward), looks for
// a move block; not_found 0 when one was found. The position is put back through list marker 5.
// Status -1 when a block cannot be read or the marker cannot be set or restored.
void tp_marker_find(int direction, int& not_found, int& status);

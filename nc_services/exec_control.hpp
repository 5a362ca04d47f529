// Execution under interrupt, the part that every folder calls: the motion writers, the progress
// line and long loops call the break check, which opens the EXECUTION menu (the driver's, through
// nc_services/exec_menu_services.hpp) when the user pressed SPACE or a step countdown ran out; STOP
// with a yes to "STOP EXECUTION?" throws execution_stop back to the restart point of the
// execution wrapper (driver/exec_run.hpp), after which the callback is called once more in
// clean-up mode.
#pragma once

#include "host/vantu_exec.hpp"
#include "nc_services/proc_type_table.hpp"

// The stop of an execution. Thrown by exec_stop_unwind and caught only at the restart point it
// names: the execution wrapper (kExecRestart) or the trimming driver (kTrimRestart, while the
// machining type is 33). It does not derive from std::exception, so no general handler takes it.
struct execution_stop {
    int restart;
};
inline constexpr int kExecRestart = 1, kTrimRestart = 33;

// Modes of the menu: the procedure already has move blocks, or it has none.
inline constexpr int kMenuMovesWritten = 1, kMenuNoMoves = 2;

// The break check of long loops: one keyboard poll when no key is pending and no countdown ran
// out; otherwise the EXECUTION menu.
void EXCBRK();
// The break check while the machining type is 36: SPACE asks "CONTINUE?"; NO abandons only while
// a restart point is active, else the computation goes on.
void exec_break_check36();

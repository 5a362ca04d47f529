// The driver's run words, in zero-filled static storage.
#include "driver/proc_run_state.hpp"

proc_run_state proc_run;

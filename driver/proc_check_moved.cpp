// Moved check: opens every procedure of the run. This version clears the per-procedure flags
// that the define callback and the questions set; the moved warning, the associativity
// carry-over and the change snapshot join it later.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"

void proc_check_moved(int& status)
{
    proc_run.back = 0;
    proc_run.geometry_redefined = 0;
    proc_run.end_run = 0;
    status = kGoOn;
}

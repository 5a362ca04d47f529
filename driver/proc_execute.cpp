// Execution step: runs the execute callback when the store step asked for it. The step goes
// on whatever the execution gave: the finish step still runs. Execution under interrupt
// (pause, step, stop) joins it later.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/proc_type_table.hpp"

void proc_execute(int restart, int& status)
{
    if (proc_run.execute_word) {
        // Restart non-zero: the run was interrupted; the callback only cleans up.
        int mode = restart == 0 ? kExecuteRun : kExecuteCleanUp;
        proc_run.suspended = mode == kExecuteCleanUp ? 1 : 0;
        proc_type_registration().execute(mode, status);
    }
    status = kGoOn;
}

// Finish step: closes what the store step opened and decides whether the run goes on to the
// next procedure. A new procedure finished without failure lets the run go on with the repeat
// flag set; an edited procedure or a failure ends the run. The block update and the
// verification join it later.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"

void proc_finish(int& status)
{
    proc_run.sublist_open = 0;
    proc_run.suspended = 0;
    if (!run_ended(status) && !proc_run.editing) {
        proc_run.repeat = 1;
        status = kGoOn;
        return;
    }
    proc_end(status);
    status = kCancel;
}

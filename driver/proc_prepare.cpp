// Preparation: runs before every define pass. This version enables definition and clears the
// geometry-redefined flag; template reads and writes and the colour and pen join it later.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"

void proc_prepare(int& status)
{
    proc_run.define_enabled = 1;
    proc_run.geometry_redefined = 0;
    status = kGoOn;
}

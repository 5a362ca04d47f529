// End step: every road that ends a run after the start comes through here. The procedure type
// prepares its block for saving (defaults callback, mode 2), the translation table is given
// back and the run is released. Saving the block and the NC state joins it later.
#include "driver/proc_run_state.hpp"
#include "driver/proc_steps.hpp"
#include "driver/proc_type_table.hpp"

#include "host/vantu.hpp"

void proc_end(int& status)
{
    int mode = kDefaultsBeforeSave;
    int defaults_status = 0;
    proc_type_registration().defaults(mode, defaults_status);
    // Cleared after the save so that the release of a normal end does not clean up again.
    proc_run.parameters_loaded = 0;
    nu_trns_rels();
    proc_release(status);
}

// Release step: gives back what the run holds. The procedure type releases its working memory
// (defaults callback, mode 3) only when the release runs without the end step, that is when
// its block was set up but never prepared for saving.
#include "driver/proc_run_state.hpp"
#include "driver/proc_steps.hpp"
#include "driver/proc_type_table.hpp"

void proc_release([[maybe_unused]] int& status)
{
    if (proc_run.parameters_loaded) {
        int mode = kDefaultsRelease;
        int defaults_status = 0;
        proc_type_registration().defaults(mode, defaults_status);
        proc_run.parameters_loaded = 0;
    }
}

// Start step: opens the run once. This version clears the run words, registers the parameter
// translations in their fixed order and lets the procedure type set its defaults; the NC
// state restore, the tool path and the template and module-data reads join it later.
#include "driver/param_translations.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/proc_type_table.hpp"

#include "host/vantu.hpp"

// The procedure type's rows first, then the two common lists, then the host sorts the table.
static void register_all_translations(int& status)
{
    proc_type_registration().translations(status);
    if (run_ended(status)) return;
    nc_trns_register2(status);
    if (run_ended(status)) return;
    nc_trns_register(status);
    if (run_ended(status)) return;
    nu_trns_sort(status);
}

// A start action failed: nothing was saved, so the run is only released.
static void fail_start(int& status)
{
    proc_release(status);
    status = kCancel;
}

void proc_start([[maybe_unused]] int restart, int& status)
{
    proc_run = proc_run_state{};
    proc_run.procedure_number = -1;

    register_all_translations(status);
    if (run_ended(status)) {
        fail_start(status);
        return;
    }

    int mode = kDefaultsSet;
    proc_type_registration().defaults(mode, status);
    if (run_ended(status)) {
        fail_start(status);
        return;
    }
    proc_run.parameters_loaded = 1;
    status = kGoOn;
}

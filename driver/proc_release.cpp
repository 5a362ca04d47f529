// Release step (proc_release): gives back what the run holds. The relations and masks, the
// procedure type's working memory (defaults callback, mode 3) only when the release runs without
// the end step after the parameters were loaded, the procedure's surface selections, the status
// line, the modal tables, the host's solid flags and its solid table.
#include "driver/proc_run_state.hpp"
#include "driver/proc_steps.hpp"
#include "driver/relations.hpp"
#include "host/vantu.hpp"
#include "listing/status_line.hpp"
#include "nc_services/proc_picks.hpp"
#include "nc_services/template_flags.hpp"

namespace {
constexpr int kStatusWindow = 2;
constexpr int kRestoreFlags = 2;
}  // namespace

void proc_release([[maybe_unused]] int& status)
{
    proc_run_state& run = proc_run;
    int host_status = 0;
    if (tamsa_flag_get() == 0)
        rel_nc_rls(host_status);
    else if (is_some_template_CreateRead_operation())
        rel_nc_rls_it_for_tamsa(host_status);
    nc_geomsk_lst_destroy_all();
    if (run.parameters_loaded) {
        int mode = kDefaultsRelease;
        int defaults_status = 0;
        proc_type_registration().defaults(mode, defaults_status);
        run.parameters_loaded = 0;
    }
    clear_proc_surfaces();
    if (!run.view_only_at_start) {
        status_show_label_int(kStatusWindow, "        ", 0);
        MUTBLN(kStatusWindow, -1);
    }
    modal_tables_release(host_status);
    proc_can_solid_flags(kRestoreFlags, proc_nc_function());
    ncs_table_set_proc_num(0, host_status);
    run.clp1_nc_function = 0;
}

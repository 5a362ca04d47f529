// The pocket procedure's callbacks as the driver sees them. Until the pocket's dialogs,
// records and execution exist, each one succeeds without doing anything, except define, which
// asks to end the run so that a run without a pocket dialog ends at its first define.
#include "pocket/pocket_callbacks.hpp"

void define_drelan(int& /*procedure_number*/, int& /*view_only*/, int& /*tool_path_moved*/,
                   int& /*repeat*/, int& /*change_status*/, int& /*back*/,
                   int& /*geometry_redefined*/, int& end_run, int& status)
{
    end_run = 1;
    status = 0;
}

void execute_drelan(int& /*mode*/, int& status) { status = 0; }

void param_put_drelan(int& /*procedure_type*/, int& /*where*/, int& /*counter*/, int& status) { status = 0; }

void geom_put_drelan(int& /*procedure_type*/, int& /*where*/, int& /*counter*/, int& status) { status = 0; }

void block_read_drelan(int& /*where*/, int& /*procedure_type*/, int& /*version*/, int& /*before_515*/,
                       int& /*segment_length*/, int& status)
{
    status = 0;
}

void param_changed_drelan(int& /*changed_recompute*/, int& /*changed_update*/, int& status) { status = 0; }

void param_init_drelan(int& /*mode*/, int& status) { status = 0; }

void contour_rec_drelan(int& /*mode*/, int& /*word*/, int& /*flag*/, int& status) { status = 0; }

void display_hook_drelan(int& /*capacity*/, int& count, float* /*points*/, int& /*show_arrows*/,
                         float* /*directions*/, int& /*has_axes*/, float* /*axes*/, int& status)
{
    count = 0;
    status = 0;
}

void trns_add_drelan(int& status) { status = 0; }

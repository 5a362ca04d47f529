// The editing's entries of lower folders' seam tables (see the header).
#include "edit/seam_fills.hpp"

#include "edit/manedt.hpp"
#include "edit/trim/reconnect_gap.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_tp.hpp"

void fill_edit_services(edit_services& services)
{
    services.manedt = manedt;
    services.goto_last_added_block = goto_last_added_block;
    services.trim_menu_reset = trim_menu_reset;
    services.trim_restart_active = trim_restart_active;
}

void fill_gap_services(gap_services& services)
{
    services.gap_connect = gap_connect;
    services.gap_side_point = gap_side_point;
}

namespace {
[[maybe_unused]] const bool filled_at_load =
    (fill_edit_services(edit_seams()), fill_gap_services(gap_service_table()), true);
}  // namespace

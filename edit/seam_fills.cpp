// The editing's entries of lower folders' seam tables (see the header).
#include "edit/seam_fills.hpp"

#include "edit/manedt.hpp"
#include "edit/trim/trim_tp.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"

void fill_edit_services(edit_services& services)
{
    services.manedt = manedt;
    services.goto_last_added_block = goto_last_added_block;
    services.trim_menu_reset = trim_menu_reset;
    services.trim_restart_active = trim_restart_active;
}

namespace {
[[maybe_unused]] const bool filled_at_load = (fill_edit_services(edit_seams()), true);
}  // namespace

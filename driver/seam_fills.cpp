// The driver's entries of lower folders' seam tables (see the header).
#include "driver/seam_fills.hpp"

#include "driver/proc_top_menu.hpp"
#include "driver/single_curve_check.hpp"

void fill_proc_dialog_services(proc_dialog_services& services)
{
    services.proc_top_menu = proc_top_menu;
    services.proc_top_menu_do = proc_top_menu_do;
    services.chk_single_curve_contours = chk_single_curve_contours;
    services.ask_redefine_geometry = ask_redefine_geometry;
}

namespace {
[[maybe_unused]] const bool filled_at_load = (fill_proc_dialog_services(proc_dialog_seams()), true);
}  // namespace

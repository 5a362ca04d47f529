// The driver's entries of lower folders' seam tables (see the header).
#include "driver/seam_fills.hpp"

#include "driver/exec_pause_menu.hpp"
#include "driver/mch_slot_init.hpp"
#include "driver/nc_state_store.hpp"
#include "driver/proc_common.hpp"
#include "driver/proc_top_menu.hpp"
#include "driver/single_curve_check.hpp"
#include "driver/stubs.hpp"
#include "driver/target_proc_select.hpp"
#include "toolpath/exec_break_menu.hpp"

void fill_proc_select_services(proc_select_services& services)
{
    services.target_proc_select = target_proc_select;
    services.NXTCNT = NXTCNT;
}

void fill_exec_menu_services(exec_menu_services& services)
{
    services.exec_pause_menu = exec_pause_menu;
    services.exec_break_menu = exec_break_menu;
}

void fill_proc_common_services(proc_common_services& services)
{
    services.updtcm = updtcm;
    services.CURCOM = CURCOM;
    services.GETPOS = GETPOS;
    services.tool_inst_show = tool_inst_show;
    services.save_state_eda2 = save_state_eda2;
}

void fill_proc_dialog_services(proc_dialog_services& services)
{
    services.proc_top_menu = proc_top_menu;
    services.proc_top_menu_do = proc_top_menu_do;
    services.chk_single_curve_contours = chk_single_curve_contours;
    services.ask_redefine_geometry = ask_redefine_geometry;
}

void fill_surface_backup_services(surface_backup_services& services)
{
    services.save_nc_state = save_nc_state;
    services.ZLINT3 = ZLINT3;
}

namespace {
[[maybe_unused]] const bool filled_at_load =
    (fill_proc_select_services(proc_select_service_table()), fill_exec_menu_services(exec_menu_service_table()),
     fill_proc_common_services(proc_common_service_table()), fill_proc_dialog_services(proc_dialog_seams()),
     fill_surface_backup_services(surface_backup_service_table()), true);
}  // namespace

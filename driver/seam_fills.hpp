// The entries that the driver fills, when the module is loaded, in the seam tables of lower
// folders (pocket_arrays/seam_entry.hpp): the procedure choice of the message dialogs, the EXECUTION
// menu of the break checks, the procedure
// services of the procedure display and listing, the NC state save of the surface backup, and the procedure dialog's
// services of the pocket's dialogs. A test that replaced entries fills them again with these.
#pragma once

#include "clearing/surface_services/backup_seams.hpp"
#include "listing/proc_common_services.hpp"
#include "nc_services/exec_menu_services.hpp"
#include "nc_services/proc_select_services.hpp"
#include "pocket/proc_dialog_seams.hpp"

void fill_proc_select_services(proc_select_services& services);
void fill_exec_menu_services(exec_menu_services& services);
void fill_proc_common_services(proc_common_services& services);
void fill_proc_dialog_services(proc_dialog_services& services);
void fill_surface_backup_services(surface_backup_services& services);

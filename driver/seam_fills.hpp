// The entries that the driver fills, when the module is loaded, in the seam tables of lower
// folders (toolpath/seam_entry.hpp): the procedure dialog's services of the pocket's dialogs. A
// test that replaced entries fills them again with this.
#pragma once

#include "pocket/proc_dialog_seams.hpp"

void fill_proc_dialog_services(proc_dialog_services& services);

// The procedure choice that the message dialogs (INSMSG) use to find where messages go: the
// target procedure picked from the list of procedures and the n-th block of a class. Both are
// the driver's, so the dialogs call them through this table, which
// driver/proc_select_services_install.cpp fills when the module is loaded. Call an entry through
// seam_call (toolpath/seam_call.hpp).
#pragma once

struct proc_select_services {
    // target_proc_select (driver/target_proc_select.hpp): chosen procedure, start, status.
    void (*target_proc_select)(int& chosen, int& start, int& status);
    // NXTCNT (driver/mch_slot_init.hpp): the list to the n-th block of the class code.
    void (*NXTCNT)(int code, int n, int& status);
};

proc_select_services& proc_select_service_table();

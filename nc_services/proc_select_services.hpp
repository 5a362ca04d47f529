// The procedure choice that the message dialogs (INSMSG) use to find where messages go: the
// target procedure picked from the list of procedures and the n-th block of a class. Both are
// the driver's, so the dialogs call them through this table, which the driver fills when the
// module is loaded (driver/seam_fills.cpp; pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kProcSelectServicesName[] = "proc_select_services";

struct proc_select_services {
    using unfilled = unfilled_seam<kProcSelectServicesName>;
    // target_proc_select (driver/target_proc_select.hpp): chosen procedure, start, status.
    void (*target_proc_select)(int& chosen, int& start, int& status) = unfilled{};
    // NXTCNT (driver/mch_slot_init.hpp): the list to the n-th block of the class code.
    void (*NXTCNT)(int code, int n, int& status) = unfilled{};
};

// The services the message dialogs call; assign an entry to replace it.
proc_select_services& proc_select_service_table();

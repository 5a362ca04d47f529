// The procedure-dialog services (host/vantu_proc_dialogs.hpp), recorded. The attention marks of
// the target selection are the display file's (host/ncd_marks.cpp).
#include "host/vantu_proc_dialogs.hpp"

#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <string>

void table_minmax_error_check_msg(int mode)
{
    vantu::trace_call("table_minmax_error_check_msg", std::to_string(mode), 0);
}
void partbox_not_calculated_msg(int mode) { vantu::trace_call("partbox_not_calculated_msg", std::to_string(mode), 0); }
void nu_parm_write_mch_title() { vantu::trace_call("nu_parm_write_mch_title", "", 0); }

void orgchn(int& status)
{
    status = 0;
    if (const auto fault = vantu::fault_hit("orgchn")) status = *fault;
    vantu::trace_call("orgchn", "", status);
}

void slpopb() { vantu::trace_call("slpopb", "", 0); }

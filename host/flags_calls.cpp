// Host flag queries and start-up hooks, answered from the flag registry.
#include "host/vantu_flags.hpp"

#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <string>

using vantu::flag_get;
using vantu::flag_set;

static int traced_flag(const char* call, const char* flag)
{
    int value = flag_get(flag);
    vantu::trace_call(call, "", value);
    return value;
}

int get_verbos_fn() { return traced_flag("get_verbos_fn", "verbos"); }
int get_disp_stock() { return traced_flag("get_disp_stock", "disp_stock"); }
int get_extflag() { return traced_flag("get_extflag", "extflag"); }
int tamsa_flag_get() { return traced_flag("tamsa_flag_get", "tamsa"); }
int execute_flag_get() { return traced_flag("execute_flag_get", "execute"); }
int replace_flag_get() { return traced_flag("replace_flag_get", "replace"); }
int D3DS_algorithmIsRun() { return traced_flag("D3DS_algorithmIsRun", "d3ds_running"); }
int macexe() { return traced_flag("macexe", "macro_executing"); }
int macdfn() { return traced_flag("macdfn", "macro_defining"); }
int nu_mod_get_flag() { return traced_flag("nu_mod_get_flag", "mod_flag"); }
int nu_sgcd_get_code() { return traced_flag("nu_sgcd_get_code", "nc_sub_code"); }
int tstrg_flg_get() { return traced_flag("tstrg_flg_get", "test_string"); }
int batch_flag_get() { return traced_flag("batch_flag_get", "batch"); }
int IsNcDebug() { return flag_get("nc_debug"); }
int IsDebugMode() { return flag_get("debug_mode"); }
int modhix() { return traced_flag("modhix", "screen_height"); }

int is_create_from_template() { return traced_flag("is_create_from_template", "create_from_template"); }
int is_read_singlePROC() { return traced_flag("is_read_singlePROC", "read_single_proc"); }
int get_TP_TemplateFlag() { return traced_flag("get_TP_TemplateFlag", "tp_template"); }
int get_ManageTp_TemplateFlag() { return traced_flag("get_ManageTp_TemplateFlag", "managetp_template"); }

void set_ManageTp_TemplateFlag(int value)
{
    flag_set("managetp_template", value);
    vantu::trace_call("set_ManageTp_TemplateFlag", std::to_string(value), 0);
}

void set_Proc_Oper_TemplateFlag(int value)
{
    flag_set("proc_oper_template", value);
    vantu::trace_call("set_Proc_Oper_TemplateFlag", std::to_string(value), 0);
}

int is_some_template_operation() { return traced_flag("is_some_template_operation", "template_operation"); }
int is_some_template_CreateRead_operation()
{
    return traced_flag("is_some_template_CreateRead_operation", "template_create_read");
}
int indbug() { return traced_flag("indbug", "host_debug"); }

void enaall() { vantu::trace_call("enaall", "", 0); }

void ncs_dum_sud(int& mode, int& result)
{
    result = 0;
    vantu::trace_call("ncs_dum_sud", std::to_string(mode), 0);
}

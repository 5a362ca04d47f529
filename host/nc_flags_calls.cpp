// Flags of the procedure manager (host/vantu_nc_flags.hpp), answered from the flag registry.
#include "host/vantu_nc_flags.hpp"

#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <string>

namespace {

constexpr int kGet = 1, kSet = 2;

void get_or_set(const char* call, const char* flag, int mode, int& value)
{
    if (mode == kGet)
        value = vantu::flag_get(flag);
    else if (mode == kSet)
        vantu::flag_set(flag, value);
    vantu::trace_call(call, std::to_string(mode), value);
}

}  // namespace

int NcOnAcis()
{
    const int value = vantu::flag_get("nc_on_acis");
    vantu::trace_call("NcOnAcis", "", value);
    return value;
}

void chk_crit_gs(int mode, int& value) { get_or_set("chk_crit_gs", "criteria", mode, value); }
void gs_modify(int mode, int& value) { get_or_set("gs_modify", "modify", mode, value); }

int get_ProcGeomStatus()
{
    const int value = vantu::flag_get("proc_geom_status");
    vantu::trace_call("get_ProcGeomStatus", "", value);
    return value;
}

void set_ProcGeomStatus(int value)
{
    vantu::flag_set("proc_geom_status", value);
    vantu::trace_call("set_ProcGeomStatus", std::to_string(value), 0);
}

void split_by_tool_get_set(int mode, int& flag) { get_or_set("split_by_tool_get_set", "split_by_tool", mode, flag); }

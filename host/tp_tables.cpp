// The loaded procedure tables: which tool path's procedure list get_tp_proc_ids answers. The
// tool paths and their entries are the registry's (host/tp_registry.cpp).
#include "host/vantu_tp_tables.hpp"

#include "host/control/tp_tables.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_tpreg.hpp"

#include <string>

namespace {

constexpr int kCurrent = -1;
constexpr int kLoad = 2, kBack = 3;
constexpr int kRefused = -1;
constexpr int kProcedureEntry = 1;

int& loaded()
{
    static int id = kCurrent;
    return id;
}

void reset_state() { loaded() = kCurrent; }

const bool tp_tables_registered = vantu::register_component({"tp_tables", reset_state, nullptr, nullptr, nullptr});

}  // namespace

void update_tp_flags(int mode, int tp_id, int& status)
{
    status = 0;
    int count = 0;
    if (auto fault = vantu::fault_hit("update_tp_flags"))
        status = *fault;
    else if (mode == kBack)
        loaded() = kCurrent;
    else if (mode != kLoad)
        status = kRefused;
    else if (get_tp_info(tp_id, count, status); status >= 0)
        loaded() = tp_id;
    vantu::trace_call("update_tp_flags", std::to_string(mode) + "," + std::to_string(tp_id), status);
}

void get_tp_proc_ids(std::vector<int>& ids, int& status)
{
    ids.clear();
    int tp_id = loaded();
    if (tp_id == kCurrent) get_curr_tp_id(tp_id);
    std::vector<int> entries;
    if (auto fault = vantu::fault_hit("get_tp_proc_ids"))
        status = *fault;
    else
        dbd_tp(tp_id, entries, status);
    for (std::size_t i = 0; status >= 0 && i + 1 < entries.size(); i += 2)
        if (entries[i] == kProcedureEntry) ids.push_back(entries[i + 1]);
    vantu::trace_call("get_tp_proc_ids", std::to_string(tp_id), status);
}

int vantu::control::loaded_tool_path() { return loaded(); }

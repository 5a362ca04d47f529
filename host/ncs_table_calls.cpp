// The procedure table of solids and the solid flags (host/vantu_ncs_table.hpp).
#include "host/vantu_ncs_table.hpp"

#include "host/control/proc_run.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <map>
#include <string>

namespace {

struct ncs_state {
    int proc_num = 0;
    int can_solid = 0;
    int can_all_db = 0;
    std::map<int, int> renumbered;  // stored surface id -> its id now
};

ncs_state& state()
{
    static auto* s = new ncs_state;
    return *s;
}

void reset_state() { state() = ncs_state{}; }

const bool ncs_table_calls_registered =
    vantu::register_component({"ncs_table", reset_state, nullptr, nullptr, nullptr});

// The status of a table call: an armed fault, else 0.
int table_status(const char* call)
{
    const auto fault = vantu::fault_hit(call);
    return fault ? *fault : 0;
}

}  // namespace

void ncs_table_set_proc_num(int number, int& status)
{
    status = table_status("ncs_table_set_proc_num");
    if (status == 0) state().proc_num = number;
    vantu::trace_call("ncs_table_set_proc_num", std::to_string(number), status);
}

void ncs_table_get_proc_num(int& number, int& status)
{
    status = table_status("ncs_table_get_proc_num");
    if (status == 0) number = state().proc_num;
    vantu::trace_call("ncs_table_get_proc_num", "", status);
}

void ncs_table_copy_proc(int from, int to, int& status)
{
    status = table_status("ncs_table_copy_proc");
    vantu::trace_call("ncs_table_copy_proc", std::to_string(from) + "," + std::to_string(to), status);
}

void ncs_table_write_table(int first, int second, int third, int& status)
{
    status = table_status("ncs_table_write_table");
    vantu::trace_call("ncs_table_write_table",
                      std::to_string(first) + "," + std::to_string(second) + "," + std::to_string(third), status);
}

int ncs_table_ok(int& status)
{
    status = 0;
    const int ok = vantu::flag_get("ncs_table_ok");
    vantu::trace_call("ncs_table_ok", "", ok);
    return ok;
}

int ncs_can_solid()
{
    vantu::trace_call("ncs_can_solid", "", state().can_solid);
    return state().can_solid;
}

int ncs_can_all_db()
{
    vantu::trace_call("ncs_can_all_db", "", state().can_all_db);
    return state().can_all_db;
}

void ncs_set_can_solid(int value)
{
    state().can_solid = value;
    vantu::trace_call("ncs_set_can_solid", std::to_string(value), 0);
}

void ncs_set_can_all_db(int value)
{
    state().can_all_db = value;
    vantu::trace_call("ncs_set_can_all_db", std::to_string(value), 0);
}

int ps_sol_num_get()
{
    const int count = vantu::flag_get("solid_count");
    vantu::trace_call("ps_sol_num_get", "", count);
    return count;
}

void ncs_update_surfaces(const int* old_ids, int count, int* current_ids, int& status)
{
    status = table_status("ncs_update_surfaces");
    if (status == 0 && (count < 0 || (count > 0 && (!old_ids || !current_ids)))) status = -1;
    for (int i = 0; status == 0 && i < count; ++i) {
        const auto it = state().renumbered.find(old_ids[i]);
        current_ids[i] = it == state().renumbered.end() ? old_ids[i] : it->second;
    }
    vantu::trace_call("ncs_update_surfaces", std::to_string(count), status);
}

namespace vantu::control {
void set_renumbered_surface(int old_id, int current_id) { state().renumbered[old_id] = current_id; }
int ncs_proc_num() { return state().proc_num; }
std::pair<int, int> solid_flags() { return {state().can_solid, state().can_all_db}; }
}  // namespace vantu::control

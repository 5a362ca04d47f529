// Relations, the relation-table hold and the modal-value tables (host/vantu_relations.hpp).
#include "host/vantu_relations.hpp"

#include "host/control/proc_run.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <set>
#include <string>

namespace {

struct relations_state {
    bool open = false;
    int holds = 0;
    std::set<int> modal_tables;
};

relations_state& state()
{
    static auto* s = new relations_state;
    return *s;
}

void reset_state() { state() = relations_state{}; }

void report(std::vector<std::string>& lines)
{
    if (state().holds > 0) lines.push_back("relation table still held " + std::to_string(state().holds) + " time(s)");
    if (!state().modal_tables.empty())
        lines.push_back("modal tables not released: " + std::to_string(state().modal_tables.size()));
}

const bool registered = vantu::register_component({"relations", reset_state, nullptr, nullptr, report});

// The label ids of table t: t * kLabelsPerTable + 1 onwards, one per word of the module's table.
constexpr int kLabelsPerTable = 1000;

int call_status(const char* call)
{
    const auto fault = vantu::fault_hit(call);
    return fault ? *fault : 0;
}

}  // namespace

void rel_nc_init()
{
    state().open = true;
    vantu::trace_call("rel_nc_init", "", 0);
}

void rel_nc_rls(int& status)
{
    status = call_status("rel_nc_rls");
    state().open = false;
    vantu::trace_call("rel_nc_rls", "", status);
}

void rel_nc_rls_it_for_tamsa(int& status)
{
    status = call_status("rel_nc_rls_it_for_tamsa");
    state().open = false;
    vantu::trace_call("rel_nc_rls_it_for_tamsa", "", status);
}

void rel_nc_refresh_symb_tab(int& status)
{
    status = call_status("rel_nc_refresh_symb_tab");
    vantu::trace_call("rel_nc_refresh_symb_tab", "", status);
}

void rel_nc_rpl_global() { vantu::trace_call("rel_nc_rpl_global", "", 0); }

void rel_table_init_get(int& held)
{
    ++state().holds;
    held = 1;
    vantu::trace_call("rel_table_init_get", "", held);
}

void rel_table_init_set(int held)
{
    if (held != 0) {
        if (state().holds > 0) --state().holds;
        else vantu::record_host_error("rel_table_init_set: the relation table is not held");
    }
    vantu::trace_call("rel_table_init_set", std::to_string(held), 0);
}

void nu_modl_init(int table, std::span<word> labels, int& status)
{
    status = call_status("nu_modl_init");
    if (status == 0) {
        state().modal_tables.insert(table);
        for (std::size_t i = 0; i < labels.size(); ++i)
            labels[i] = table * kLabelsPerTable + static_cast<int>(i) + 1;
    }
    vantu::trace_call("nu_modl_init", std::to_string(table), status);
}

void nu_modl_get_did_init(int table, int& did)
{
    did = state().modal_tables.count(table) != 0 ? 1 : 0;
    vantu::trace_call("nu_modl_get_did_init", std::to_string(table), did);
}

void nu_modl_rels(int table, int& status)
{
    status = call_status("nu_modl_rels");
    state().modal_tables.erase(table);
    vantu::trace_call("nu_modl_rels", std::to_string(table), status);
}

namespace vantu::control {
bool relations_open() { return state().open; }
int relation_holds() { return state().holds; }
int modal_tables_open() { return static_cast<int>(state().modal_tables.size()); }
}  // namespace vantu::control

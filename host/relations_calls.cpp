// Relations, the relation-table hold and the modal-value tables (host/vantu_relations.hpp).
#include "host/vantu_relations.hpp"

#include "host/control/proc_run.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace {

struct relation {
    double value = 0.0;
    std::string text;
    bool exists = false;
};

struct relations_state {
    bool open = false;
    int fraction = 3;
    std::map<int, relation> relations;
    int recalculations = 0;
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

const bool relations_calls_registered = vantu::register_component({"relations", reset_state, nullptr, nullptr, report});

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

namespace {

// Replaces the expression of a parameter by a plain number; false for a text that is no number.
bool change_expression(int code, std::string_view text)
{
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end == copy.c_str() || *end != '\0') return false;
    relation& r = state().relations[code];
    r.value = value;
    r.text = copy;
    return true;
}

}  // namespace

void rel_nc_val_get(int code, double& value, int& status)
{
    const auto it = state().relations.find(code);
    status = it == state().relations.end() ? -1 : call_status("rel_nc_val_get");
    if (status == 0) value = it->second.value;
    vantu::trace_call("rel_nc_val_get", std::to_string(code), status);
}

void rel_nc_cng_expr(int code, std::string_view text, int& status)
{
    status = call_status("rel_nc_cng_expr");
    if (status == 0) status = change_expression(code, text) ? 0 : -1;
    if (status == 0) ++state().recalculations;
    vantu::trace_call("rel_nc_cng_expr", std::to_string(code) + "," + std::string(text), status);
}

void rel_nc_cng_expr_without_calc(int code, std::string_view text, int& status)
{
    status = call_status("rel_nc_cng_expr_without_calc");
    if (status == 0) status = change_expression(code, text) ? 0 : -1;
    vantu::trace_call("rel_nc_cng_expr_without_calc", std::to_string(code) + "," + std::string(text), status);
}

int rel_nc_if_relation_exist(int code)
{
    const auto it = state().relations.find(code);
    const int exists = it != state().relations.end() && it->second.exists ? 1 : 0;
    vantu::trace_call("rel_nc_if_relation_exist", std::to_string(code), exists);
    return exists;
}

int rel_nc_get_num()
{
    const int count = static_cast<int>(std::count_if(state().relations.begin(), state().relations.end(),
                                                     [](const auto& r) { return r.second.exists; }));
    vantu::trace_call("rel_nc_get_num", "", count);
    return count;
}

void rel_nc_clear_all_relations()
{
    for (auto& [code, r] : state().relations) r.exists = false;
    vantu::trace_call("rel_nc_clear_all_relations", "", 0);
}

void rel_nc_print_symb_tab(std::string_view function_name, int& status)
{
    status = call_status("rel_nc_print_symb_tab");
    vantu::trace_call("rel_nc_print_symb_tab", function_name, status);
}

void rel_nc_init_cng_expr(int code) { vantu::trace_call("rel_nc_init_cng_expr", std::to_string(code), 0); }

void rel_nc_update_tool_data() { vantu::trace_call("rel_nc_update_tool_data", "", 0); }
void rel_nc_min_srfoff_set() { vantu::trace_call("rel_nc_min_srfoff_set", "", 0); }

int get_general_fraction()
{
    vantu::trace_count("get_general_fraction");
    return state().fraction;
}

void rel_table_init_get(int& held)
{
    ++state().holds;
    held = 1;
    vantu::trace_call("rel_table_init_get", "", held);
}

void rel_table_init_set(int held)
{
    if (held != 0) {
        if (state().holds > 0)
            --state().holds;
        else
            vantu::record_host_error("rel_table_init_set: the relation table is not held");
    }
    vantu::trace_call("rel_table_init_set", std::to_string(held), 0);
}

void nu_modl_init(int table, std::span<word> labels, int& status)
{
    status = call_status("nu_modl_init");
    if (status == 0) {
        state().modal_tables.insert(table);
        for (std::size_t i = 0; i < labels.size(); ++i) labels[i] = table * kLabelsPerTable + static_cast<int>(i) + 1;
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
void define_relation(int code, double value, bool exists, const std::string& text)
{
    state().relations[code] = {value, text, exists};
}
bool relation_value(int code, double& value)
{
    const auto it = state().relations.find(code);
    if (it == state().relations.end()) return false;
    value = it->second.value;
    return true;
}
std::string relation_text(int code)
{
    const auto it = state().relations.find(code);
    return it == state().relations.end() ? std::string() : it->second.text;
}
int relation_recalculations() { return state().recalculations; }
void set_general_fraction(int digits) { state().fraction = digits; }
}  // namespace vantu::control

// The flag registry. Defaults are chosen so that a fresh host never switches the module off:
// verbosity on, stock display on, the extension flag on, no template mode, no 3-D algorithm
// running, debug off, a 1024-pixel-high screen.
#include "host/core/flags.hpp"

#include "host/core/component.hpp"

#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vantu {

const std::vector<flag_info>& flag_table()
{
    static const std::vector<flag_info> table = {
        {"verbos", 1, "get_verbos_fn: non-zero prints the module's version block on attach"},
        {"disp_stock", 1, "get_disp_stock: stock display of the host"},
        {"extflag", 1, "get_extflag: host extension features available"},
        {"tp_template", 0, "get_TP_TemplateFlag: a tool-path template is being applied"},
        {"managetp_template", 0, "get_ManageTp_TemplateFlag / set_ManageTp_TemplateFlag"},
        {"proc_oper_template", 0, "set_Proc_Oper_TemplateFlag: procedure-operation template flag"},
        {"create_from_template", 0, "is_create_from_template: procedure created from a template"},
        {"read_single_proc", 0, "is_read_singlePROC: a single procedure is read from a template"},
        {"tamsa", 0, "tamsa_flag_get"},
        {"execute", 1, "execute_flag_get: a run without questions executes the procedure"},
        {"replace", 1, "replace_flag_get: a run without questions replaces an unchanged procedure"},
        {"template_operation", 0, "is_some_template_operation: a template operation runs"},
        {"template_create_read", 0, "is_some_template_CreateRead_operation: a template create or read runs"},
        {"host_debug", 0, "indbug: the host's debug switch (offers the force choice)"},
        {"nc_on_acis", 0, "NcOnAcis: the NC functions run on the solid-model kernel"},
        {"criteria", 0, "chk_crit_gs: the criteria flag of the procedure manager"},
        {"modify", 0, "gs_modify: a procedure is being modified"},
        {"proc_geom_status", 0, "get_ProcGeomStatus: the geometry status of the procedure stored"},
        {"d3ds_running", 0, "D3DS_algorithmIsRun: the host's 3-D surface algorithm is running"},
        {"macro_executing", 0, "macexe: the host executes a recorded macro"},
        {"macro_defining", 0, "macdfn: the host records a macro"},
        {"mod_flag", 0, "nu_mod_get_flag: the host dialog flag (pages without their items)"},
        {"nc_sub_code", 0, "nu_sgcd_get_code: the current NC sub-code (56 guide points)"},
        {"test_string", 0, "tstrg_flg_get: the host's test-string switch (sample strings of the grid heights)"},
        {"batch", 0, "batch_flag_get: a batch run; questions take their default answer"},
        {"nc_debug", 0, "IsNcDebug: NC debug output"},
        {"debug_mode", 0, "IsDebugMode: host debug mode"},
        {"screen_height", 1024, "modhix: height of the host screen in pixels"},
        {"application", 0, "gsappl: id of the current application, the owner (\"PR\") a master must have"},
        {"model_colour", 1, "gtmdla: colour of the host's current model attributes"},
        {"model_line_font", 1, "gtmdla: line font of the host's current model attributes"},
        {"next_mode", 0, "ncr_mdnxt_get / ncr_mdnxt_set / mdnxt_set: the host's next interaction mode"},
        {"tp_open", 1, "lopnls: a tool path is open in the part"},
        {"create_from_tp_template", 0, "is_create_from_TPtemplate: procedures are created from a tool-path template"},
        {"crit_list", 0, "tp_crit_list_gs: the criteria-list mode of the procedure manager"},
        {"geom_by_crit", 0, "if_geom_by_crit: the procedure's geometry is selected by criteria"},
        {"drill_points", 0, "drlsnm: drill points picked by hand for the procedure"},
        {"solid_count", 0, "ps_sol_num_get: number of solids in the part"},
        {"ncs_table_ok", 1, "ncs_table_ok: 0 when the solid geometry of the procedure was updated"},
        {"verify_option", 1, "get_set_vrf_opt: the automatic-verification option"},
        {"alert", 0, "if_was_alerr: an alert was raised during the execution"},
        {"template_colour", 1, "get_Template_ReadProcColor: colour of the template's procedure"},
        {"template_pen", 1, "get_Template_ReadProcPen: pen of the template's procedure"},
        {"host_operation", 0, "nc_host_operation: the host's current NC operation (10, 15: several procedures)"},
        {"selected_procedures", 1, "nc_selected_procs: procedures selected for the host's operation"},
        {"fast_display", 0, "gs_fast_display: the host's fast display of motions"},
        {"clear_request", 0, "gsclr(1): the screen must be cleared before the next menu (a macro is pending)"},
        {"unit_code", 1, "gtmesu: length unit 1 MM, 2 CM, 3 INCH, 4 FEET, 5 M (the factor to millimetres)"},
        {"display_unit", 0,
         "nu_sgcd_find_unit: display unit of the current NC function (1 MM .. 5 M); 0 the part's unit"},
        {"decimals", 3, "gtdgts: decimals of general numbers"},
        {"length_decimals", 3, "gtdgts: decimals of lengths"},
        {"axis_decimals", 4, "gtdgts: decimals of axis components"},
        {"no_fast_display", 0, "get_fdflg: 1 hides fast (rapid) moves in the display"},
        {"free_space", 0, "gtdas: free space in bytes; 0 reports none"},
        {"check_movmnt", 0, "gs_check_movmnt: 1 asks the procedure summary to look for motion blocks"},
        {"win_mode", 0, "get_win_mode: 1 while the tool path is shown in the host's own window"},
        {"split_by_tool", 0, "split_by_tool_get_set: the last trimming split the tool path by tool"},
    };
    return table;
}

static std::map<std::string, int, std::less<>>& values()
{
    static std::map<std::string, int, std::less<>> set_values;
    return set_values;
}

bool flag_known(std::string_view name)
{
    for (const flag_info& f : flag_table())
        if (name == f.name) return true;
    return false;
}

int flag_get(std::string_view name)
{
    auto it = values().find(name);
    if (it != values().end()) return it->second;
    for (const flag_info& f : flag_table())
        if (name == f.name) return f.default_value;
    return 0;
}

bool flag_set(std::string_view name, int value)
{
    if (!flag_known(name)) return false;
    values()[std::string(name)] = value;
    return true;
}

void flags_reset() { values().clear(); }

static void save_flags(nlohmann::json& section)
{
    section = nlohmann::json::object();
    for (const auto& [name, value] : values()) section[name] = value;
}

static void load_flags(const nlohmann::json& section)
{
    if (!section.is_object()) throw std::invalid_argument("\"flags\" must be an object");
    for (const auto& [name, value] : section.items()) {
        if (!value.is_number_integer()) throw std::invalid_argument("flag \"" + name + "\" must be an integer");
        if (!flag_set(name, value.get<int>())) throw std::invalid_argument("unknown flag \"" + name + "\"");
    }
}

static const bool flags_registered = register_component({"flags", flags_reset, save_flags, load_flags, nullptr});

}  // namespace vantu

// The parameter block of a run from module data or a template (proc_template_read), the managed
// template operations of the preparation (proc_template_read_managed), the host's solid flags of
// the NC function (proc_can_solid_flags) and the refresh of the relation symbols
// (rel_refresh_retry). Called by the start, preparation, moved-check and release steps.
#include "driver/proc_module_data.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_steps.hpp"
#include "driver/relations.hpp"
#include "host/vantu.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr int kSetFlags = 1, kRestoreFlags = 2;
constexpr int kReadModeParameters = 1001, kReadModeNormal = 1000;
constexpr int kManagedWrite = 2, kManagedRead = 1, kManagedCreate = 3;
constexpr int kTpWrite = 5, kTpRead = 4, kTpReadOther = 6;
constexpr int kNothingToRead = 11;

// NC functions that can work on solids, and those of them that take the whole database.
constexpr std::array kSolidFunctions = {1, 2, 5, 7, 9, 27, 30, 31, 32, 35, 36, 37, 38, 48, 49, 52, 53, 54, 56};
constexpr std::array kAllDatabaseFunctions = {5, 7, 27, 35, 37, 38, 48, 52, 53, 54, 56};

struct kept_solid_flags {
    int can_solid = 0;
    int all_database = 0;
};

kept_solid_flags& kept_flags()
{
    static kept_solid_flags kept;
    return kept;
}

template <typename Table> bool listed(const Table& table, int value)
{
    return std::find(table.begin(), table.end(), value) != table.end();
}

// The procedure's parameters read from a template: status 11 means nothing to read, which clears
// the first-store word; on success the main procedure's values follow.
void read_managed(int nc_function, read_parameters_callback read, bool tool_path_template, int& status)
{
    if (tool_path_template)
        template_MultiTPRead_PROCdata(nc_function, read, status);
    else
        template_MultiMngTpRead_PROCdata(nc_function, read, status);
    if (status == kNothingToRead) {
        status = 0;
        proc_run.first_store = 0;
        return;
    }
    if (status == 0) main_params_fetch(status);
}

}  // namespace

void proc_can_solid_flags(int mode, int nc_function)
{
    if (mode == kRestoreFlags) {
        ncs_set_can_solid(kept_flags().can_solid);
        ncs_set_can_all_db(kept_flags().all_database);
        return;
    }
    if (mode != kSetFlags) return;
    kept_flags() = {ncs_can_solid(), ncs_can_all_db()};
    const int can_solid = listed(kSolidFunctions, nc_function) && ps_sol_num_get() > 0 ? 1 : 0;
    const int all_database = can_solid && listed(kAllDatabaseFunctions, nc_function) ? 1 : 0;
    ncs_set_can_solid(can_solid);
    ncs_set_can_all_db(all_database);
}

void proc_template_read(int template_create, int nc_function, std::string_view type_code, int block_length, word* block,
                        read_parameters_callback read_parameters, defaults_callback defaults, int& status)
{
    int mode = template_create ? kModuleDataLoadTemplate : kModuleDataLoad;
    proc_module_data(mode, type_code, block_length, block, defaults, status);
    if (status != kNoToolForTemplate) return;
    status = 0;
    set_Template_ReadMode(kReadModeParameters);
    if (is_create_from_TPtemplate())
        template_MultiTPRead_PROCdata(nc_function, read_parameters, status);
    else
        template_MultiMngTpRead_PROCdata(nc_function, read_parameters, status);
    set_Template_ReadMode(kReadModeNormal);
    if (status != 0) return;
    mode = kModuleDataLoad;
    proc_module_data(mode, type_code, block_length, block, defaults, status);
}

void proc_template_read_managed(int nc_function, put_parameters_callback put_parameters,
                                put_geometry_callback put_geometry, read_parameters_callback read_parameters,
                                int& define_enabled, int& status)
{
    define_enabled = 0;
    status = 0;
    const int managed = get_ManageTp_TemplateFlag();
    const int tool_path = get_TP_TemplateFlag();
    if (managed == kManagedWrite || tool_path == kTpWrite) {
        set_GlobalParameters_ToMain();
        set_MainProcBlkToMain();
        if (managed == kManagedWrite)
            template_MultiMngTpWrite_PROCdata(nc_function, put_parameters, put_geometry, status);
        else
            template_MultiTPWrite_PROCdata(nc_function, put_parameters, put_geometry, status);
        if (status == 0) proc_run.solid_geometry = 1;
        return;
    }
    define_enabled = 1;
    if (managed == kManagedRead || managed == kManagedCreate)
        read_managed(nc_function, read_parameters, false, status);
    else if (tool_path == kTpRead || tool_path == kTpReadOther)
        read_managed(nc_function, read_parameters, true, status);
}

void rel_refresh_retry(int& status)
{
    rel_nc_refresh_symb_tab(status);
    if (status < 0) {
        rel_nc_rpl_global();
        rel_nc_refresh_symb_tab(status);
    }
    status = 0;
}

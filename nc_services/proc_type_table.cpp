// The driver's registration record and its refusal of an incomplete registration: a null
// callback would otherwise be called in the middle of a run.
#include "nc_services/proc_type_table.hpp"

#include "host/vantu.hpp"

#include <string>

namespace {

proc_type_table registration;  // zero-filled until the first registration

// The first missing entry of a registration, or null when it is complete.
const char* missing_entry(const proc_type_table& t)
{
    struct check {
        bool present;
        const char* name;
    };
    const check checks[] = {
        {t.nc_function != nullptr, "NC FUNCTION NUMBER"},
        {t.define != nullptr, "DEFINE CALLBACK"},
        {t.execute != nullptr, "EXECUTE CALLBACK"},
        {t.put_parameters != nullptr, "PUT-PARAMETERS CALLBACK"},
        {t.put_geometry != nullptr, "PUT-GEOMETRY CALLBACK"},
        {t.read_parameters != nullptr, "READ-PARAMETERS CALLBACK"},
        {t.parameters_changed != nullptr, "PARAMETERS-CHANGED CALLBACK"},
        {t.defaults != nullptr, "DEFAULTS CALLBACK"},
        {t.contour_records != nullptr, "CONTOUR-RECORDS CALLBACK"},
        {t.pre_exec != nullptr, "PRE-EXECUTION HOOK"},
        {t.translations != nullptr, "TRANSLATIONS CALLBACK"},
        {t.solid_update != nullptr, "SOLID-UPDATE HOOK"},
        {t.block_length != nullptr && *t.block_length >= 1, "BLOCK LENGTH"},
        {t.current_block != nullptr, "CURRENT PARAMETER BLOCK"},
        {t.previous_block != nullptr, "PREVIOUS PARAMETER BLOCK"},
    };
    for (const check& c : checks)
        if (!c.present) return c.name;
    return nullptr;
}

}  // namespace

void proc_set_callbacks(int& nc_function, define_callback define, execute_callback execute,
                        put_parameters_callback put_parameters, put_geometry_callback put_geometry,
                        read_parameters_callback read_parameters, parameters_changed_callback parameters_changed,
                        defaults_callback defaults, contour_records_callback contour_records, pre_exec_hook pre_exec,
                        translations_callback translations, solid_update_hook solid_update, std::string_view type_code,
                        int& block_length, word* current_block, word* previous_block, int& status)
{
    proc_type_table candidate{
        &nc_function,         define,        execute,         put_parameters, put_geometry, read_parameters,
        parameters_changed,   defaults,      contour_records, pre_exec,       translations, solid_update,
        {' ', ' ', ' ', ' '}, &block_length, current_block,   previous_block};
    const char* missing = missing_entry(candidate);
    if (missing == nullptr && type_code.size() != sizeof candidate.type_code) missing = "TYPE CODE";
    if (missing != nullptr) {
        eroutc(std::string("PROCEDURE TYPE NOT REGISTERED: ") + missing + " IS MISSING", 0);
        status = -1;
        return;
    }
    for (std::size_t i = 0; i < sizeof candidate.type_code; ++i) candidate.type_code[i] = type_code[i];
    registration = candidate;
    status = 0;
}

const proc_type_table& proc_type_registration() { return registration; }

bool proc_table_registered() { return registration.define != nullptr; }

int proc_nc_function() { return registration.nc_function ? *registration.nc_function : 0; }

int proc_block_length() { return registration.block_length ? *registration.block_length : 0; }

std::string_view proc_type_code()
{
    if (!proc_table_registered()) return {};
    return std::string_view(registration.type_code, sizeof registration.type_code);
}

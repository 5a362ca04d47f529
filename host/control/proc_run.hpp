// Control view of the procedure manager's run services (host/vantu_proc_run.hpp), the procedure
// table of associativity and solids (host/vantu_ncs_table.hpp), the simulation slots
// (host/vantu_sim.hpp), the relations (host/vantu_relations.hpp) and the execution services
// (host/vantu_exec.hpp), for the tests and the runner. None of it is kept in the part file.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vantu::control {

// ---- procedure manager ------------------------------------------------------------------------
std::string proc_label();    // the last nu_set_pname label
int proc_parm_number();      // the last nu_parm_set_proc_num
int criteria_file_handle();  // the last tp_file_ptr_set
// The colour and pen of the procedure being edited (what gs_proc_color_pen mode 1 answers) and
// those last set on it (mode 3 or 4).
void set_edited_proc_colour_pen(int colour, int pen);
std::pair<int, int> proc_colour_pen();
bool masks_created();  // between nc_geomsk_lst_init_all and nc_geomsk_lst_destroy_all

// ---- associativity table and solids --------------------------------------------------------------
int ncs_proc_num();                 // the procedure number the table works on
std::pair<int, int> solid_flags();  // can-solid, all-database
// The surface old_id of stored procedures is now current_id (ncs_update_surfaces answers it).
void set_renumbered_surface(int old_id, int current_id);

// ---- simulation --------------------------------------------------------------------------------
struct sim_call {
    std::string call;  // "sim_get_set", "sim_work_on", "sim_invalidate", "sim_validate"
    int mode;
    int value;
};
const std::vector<sim_call>& sim_calls();

// ---- relations ---------------------------------------------------------------------------------
bool relations_open();    // between rel_nc_init and rel_nc_rls
int relation_holds();     // rel_table_init_get holds not yet given back
int modal_tables_open();  // tables opened by nu_modl_init and not released
// A parameter's relation: its value, whether an expression exists, the expression's text.
void define_relation(int code, double value, bool exists, const std::string& text = "");
bool relation_value(int code, double& value);  // false when the parameter has no value
std::string relation_text(int code);           // "" when none
int relation_recalculations();                 // rel_nc_cng_expr calls that recalculated
void set_general_fraction(int digits);

// ---- execution -----------------------------------------------------------------------------------
// The answers gs_interpt was told, in order.
const std::vector<int>& interrupt_answers();
// Texts painted on the progress line since the last reset, one entry per dntxtc ("column:text").
const std::vector<std::string>& progress_paints();

}  // namespace vantu::control

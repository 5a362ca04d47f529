// The procedure driver: registers a procedure type and runs the create, modify and execute
// loop until a step ends the run.
#pragma once

#include "nc_services/proc_type_table.hpp"

// The sixteen entries of the procedure-type table in slot order. The two integer cells and
// the blocks must outlive the call: the table keeps pointing at them. An incomplete
// registration is refused (one error line) and nothing runs.
void proc_driver(int& nc_function, define_callback define, execute_callback execute,
                 put_parameters_callback put_parameters, put_geometry_callback put_geometry,
                 read_parameters_callback read_parameters, parameters_changed_callback parameters_changed,
                 defaults_callback defaults, contour_records_callback contour_records, pre_exec_hook pre_exec,
                 translations_callback translations, solid_update_hook solid_update, std::string_view type_code,
                 int& block_length, word* current_block, word* previous_block);

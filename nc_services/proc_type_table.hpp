// The registration record of a procedure type: the NC function number, the ten callbacks of
// the procedure type, the host's solid-update hook, the type code, the parameter-block length
// and the current and previous parameter blocks. The driver keeps the last registration for
// the whole time the module is loaded and reads the two integer cells through it at every
// step, so the cells must live in static storage.
#pragma once

#include "host/words.hpp"

#include <string_view>

// Every callback takes its arguments by reference, the status word last.
using define_callback = void (*)(int& procedure_number, int& view_only, int& tool_path_moved, int& repeat,
                                 int& change_status, int& back, int& geometry_redefined, int& end_run, int& status);
using execute_callback = void (*)(int& mode, int& status);
using put_parameters_callback = void (*)(int& procedure_type, int& where, int& counter, int& status);
using put_geometry_callback = void (*)(int& procedure_type, int& where, int& counter, int& status);
using read_parameters_callback = void (*)(int& where, int& procedure_type, int& version, int& before_515,
                                          int& segment_length, int& status);
using parameters_changed_callback = void (*)(int& changed_recompute, int& changed_update, int& status);
using defaults_callback = void (*)(int& mode, int& status);
using contour_records_callback = void (*)(int& mode, int& first, int& second, int& status);
// Display points before execution: up to capacity / 3 points of three reals, a direction
// (three reals) per point and, when has_axes is set, a tool axis (three reals) per point.
using pre_exec_hook = void (*)(int& capacity, int& count, float* points, int& show_arrows, float* directions,
                               int& has_axes, float* axes, int& status);
using translations_callback = void (*)(int& status);
using solid_update_hook = void (*)(int& mode, int& result);

// Modes of the callbacks, as the driver passes them.
inline constexpr int kExecuteRun = 1, kExecuteCleanUp = 2;
inline constexpr int kDefaultsSet = 1, kDefaultsBeforeSave = 2, kDefaultsRelease = 3;
inline constexpr int kContourRecordsRead = 1, kContourRecordsStore = 2, kContourRecordsAfterDefine = 3;

struct proc_type_table {
    int* nc_function;                                // slot 0: the NC function number's cell
    define_callback define;                          // slot 1
    execute_callback execute;                        // slot 2
    put_parameters_callback put_parameters;          // slot 3
    put_geometry_callback put_geometry;              // slot 4
    read_parameters_callback read_parameters;        // slot 5
    parameters_changed_callback parameters_changed;  // slot 6
    defaults_callback defaults;                      // slot 7
    contour_records_callback contour_records;        // slot 8
    pre_exec_hook pre_exec;                          // slot 9
    translations_callback translations;              // slot 10
    solid_update_hook solid_update;                  // slot 11
    char type_code[4];                               // slot 12: four characters, no terminator
    int* block_length;                               // slot 13: the block length's cell, in words
    word* current_block;                             // slot 14
    word* previous_block;                            // slot 15
};

// Stores the sixteen entries in slot order, replacing the earlier registration. A missing entry
// (null cell, callback or block, a type code of other than four characters, a block length
// below 1) is refused with one error line; the earlier registration then stays and the status
// is -1.
void proc_set_callbacks(int& nc_function, define_callback define, execute_callback execute,
                        put_parameters_callback put_parameters, put_geometry_callback put_geometry,
                        read_parameters_callback read_parameters, parameters_changed_callback parameters_changed,
                        defaults_callback defaults, contour_records_callback contour_records, pre_exec_hook pre_exec,
                        translations_callback translations, solid_update_hook solid_update, std::string_view type_code,
                        int& block_length, word* current_block, word* previous_block, int& status);

// The registration as it stands (all null before the first one).
const proc_type_table& proc_type_registration();
bool proc_table_registered();

// The NC function number and the block length, read through the table's cells; 0 before the
// first registration.
int proc_nc_function();
int proc_block_length();
std::string_view proc_type_code();

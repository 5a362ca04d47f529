// The steps of the procedure driver's loop and the routines they share. Every step that ends the
// run calls proc_end (or proc_release alone, on the roads where nothing was saved yet) before it
// leaves kCancel, so the loop only has to stop.
#pragma once

#include "host/words.hpp"
#include "nc_services/proc_type_table.hpp"

#include <string_view>

void proc_start(int restart, int& status);
void proc_check_moved(int& status);
void proc_prepare(int& status);
void proc_define(int& status);
void proc_after_define(int& status);
void proc_check_solid(int& status, int& go);
void proc_store(int& status);
void proc_execute(int restart, int& status);
void proc_finish(int& status);
void proc_end(int& status);
void proc_release(int& status);

// The procedure state at every start: NC state restored (SEGSTR), an open tool path at its top
// level, the procedure's geometry words, the machining type (mach_param_type and interactive are
// set_machining_type's outputs), and the display, marker, level, buffer and motion words reset.
// Status 0, or the first failure ("TOOL PATH IS NOT OPEN" when the host has none).
void proc_geom_start(int nc_function, int& mach_param_type, int& interactive, int& status);
// The procedure geometry flags at the start of a new procedure: geometry words 0 and 1 := -1 and
// 1, then the option words and pairs of the flag segment to their start values (flags_reset).
// Status 0.
void proc_geom_flags_start(int& status);
// Mode 1 sets the host's solid flags for the NC function, keeping the host's values; mode 2 puts
// those back.
void proc_can_solid_flags(int mode, int nc_function);
// The parameter block of a run: loaded from module data (mode 3 for a template-create run, where a
// missing tool makes the procedure's parameters come from the template before loading again).
void proc_template_read(int template_create, int nc_function, std::string_view type_code, int block_length, word* block,
                        read_parameters_callback read_parameters, defaults_callback defaults, int& status);
// The managed template operation the host reports: a write hands the procedure to the host's
// template (definition stays off); a read takes its parameters and the main procedure's values.
void proc_template_read_managed(int nc_function, put_parameters_callback put_parameters,
                                put_geometry_callback put_geometry, read_parameters_callback read_parameters,
                                int& define_enabled, int& status);
// Refreshes the host's relation symbol table, once more after replacing the globals when the
// first refresh fails; the status is 0 whatever happened.
void rel_refresh_retry(int& status);
// The number the next block written at the current list level receives.
int next_block_number();

// The steps the loop calls, as a table: the driver calls through it, so a test can run the
// loop with steps of its own. It holds the real steps unless replaced.
struct proc_steps {
    void (*start)(int restart, int& status);
    void (*check_moved)(int& status);
    void (*prepare)(int& status);
    void (*define)(int& status);
    void (*check_solid)(int& status, int& go);
    void (*store)(int& status);
    void (*execute)(int restart, int& status);
    void (*finish)(int& status);
};

// The real steps.
proc_steps default_proc_steps();
// The steps the driver calls; assign to replace them, restore with default_proc_steps().
proc_steps& proc_driver_steps();

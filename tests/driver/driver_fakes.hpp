// Fake steps and fake callbacks for driving the procedure loop in tests. Every fake records
// itself in one event list, in call order; steps take their statuses from per-step scripts
// (kGoOn when a script runs out), callbacks behave as the recorder's settings say.
#pragma once

#include "driver/proc_steps.hpp"
#include "nc_services/proc_type_table.hpp"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

struct recorder {
    std::vector<std::string> events;
    std::map<std::string, std::deque<int>> step_statuses;  // by step name
    std::deque<int> go_words;                              // check_solid's go words
    std::vector<int> nc_function_seen;                     // read through the table per step
    std::vector<int> block_length_seen;
    // When set, the fake start step writes these into the NC-function and block-length cells.
    std::optional<std::pair<int, int>> start_sets_cells;

    // Define callback: the call (1-based) that sets the end-run flag (0: never), the status it
    // gives, and the repeat flag it saw on each call.
    int define_ends_run_on_call = 0;
    int define_status = 0;
    std::vector<int> define_repeat_flags;
    int execute_status = 0;
    int put_parameters_status = 0;
    // When set, the execute callback runs it (after logging) and keeps the status it leaves.
    std::function<void(int mode, int& status)> execute_body;
    // The machining type the define callback saw on each call.
    std::vector<int> define_machining_types;
};

recorder& rec();
// Fresh recorder, the real steps in the driver, the run words cleared.
void reset();

// Every step faked.
proc_steps fake_steps();

// The fake callbacks, registered by run_driver_with_fakes().
void define(int& procedure_number, int& view_only, int& tool_path_moved, int& repeat, int& change_status, int& back,
            int& geometry_redefined, int& end_run, int& status);
void execute(int& mode, int& status);
void put_parameters(int& procedure_type, int& where, int& counter, int& status);
void put_geometry(int& procedure_type, int& where, int& counter, int& status);
void read_parameters(int& where, int& procedure_type, int& version, int& before_515, int& segment_length, int& status);
void parameters_changed(int& changed_recompute, int& changed_update, int& status);
void defaults(int& mode, int& status);
void contour_records(int& mode, int& first, int& second, int& status);
void pre_exec(int& capacity, int& count, float* points, int& show_arrows, float* directions, int& has_axes, float* axes,
              int& status);
void translations(int& status);
void solid_update(int& mode, int& result);

// The cells the fake registration points at: NC function 77, block length 12.
extern int nc_function_cell;
extern int block_length_cell;

// Runs proc_driver with the fake callbacks and the cells above.
void run_driver_with_fakes();

}  // namespace fakes

// The words the driver's steps share during a run: the run-level words that the start step sets
// once, and the per-procedure words that the moved check, define, questions, store, execution
// and finish steps pass on to each other. Zero at load; the start step clears them at every run.
// The edit state (editing, view only, tool path moved, suspend ...) is EDA2, numbered from 1.
#pragma once

struct proc_run_state {
    // ---- run level ----
    int procedure_number;    // the procedure being defined; -1 at the start of a creation run
    int template_create;     // the managed-template flag is 3 or a tool-path template creates
    int template_write;      // the managed-template flag is 2 or the tool-path-template flag 5
    int criteria_check;      // the host's criteria mode (chk_crit_gs)
    int criteria_list;       // the host's criteria-list mode (tp_crit_list_gs)
    int stock;               // the host shows no stock: no procedure block is stored
    int optimizer;           // NC functions 52 and 53
    int tool_present_kept;   // the tool-present word of PRM9 as read at the start
    int machine_change;      // the start changed the tool-present word
    int parameters_loaded;   // the template read set the block up; only then release cleans up
    int view_only_at_start;  // EDA2 word 5 as read at the start
    int first_block;         // block number of the run's first new procedure
    int count_at_start;      // "NPRC" at the start of a creation run
    int clp1_pending;        // CLP1 is written once by the next preparation
    int clp1_nc_function;    // the NC function kept beside CLP1 (not written)
    int define_enabled;      // 0 while the preparation writes a template
    int repeat;              // a procedure of this run was finished and the run went on
    int mach_param_type;     // the machine-parameter type set_machining_type derived
    int interactive;         // the procedure may be suspended (set_machining_type)
    int run_machining_type;  // the machining type the start set, given back after each execution
    int first_store;         // cleared by a managed-template read that found nothing to read
    int once_ask;            // the criteria question of the solid check is still to be asked
    int once_asked;          // it was answered yes; the next preparation consumes it
    int solid_geometry;      // the procedure's geometry comes from solids
    int old_version;         // the edited procedure was written by a version below 1112
    int sim_index;           // the host simulation slot of the procedure
    int cursor_block;        // the list cursor: the block number the procedure's block gets
    int cursor_procedure;    // and the procedure word the status line and the solid table use
    int failed_executions;   // executions of the run that failed: nothing is reported as created

    // ---- per procedure ----
    int back;                // the user went back from a question
    int geometry_redefined;  // set by the define callback when the geometry changed
    int end_run;             // set by the define callback when the user leaves the run
    // 1 when the define callback went on (status 0, no end-run): the procedure has geometry the
    // questions before execution may offer to execute; set by the after-define step.
    int geometry_defined;
    int update;           // the block is to be updated (change analysis; 1 for a new one)
    int recompute;        // the procedure is to be computed again (1 for a new one)
    int change_result;    // 0 to 3 from the change analysis
    int change_status;    // status of the parameters-changed callback (0 for this module)
    int contour_result;   // contour-records callback result after define
    int execute_word;     // the stored procedure is to be executed
    int sublist_open;     // a procedure block was stored and its sub-list is open
    int new_block;        // the block writer writes a new procedure block
    int suspended;        // the execution was stopped and cleaned up
    int display_changed;  // the user changed the tool display during the execution
    int display_mode;     // 1, 2 or 3 as the execution reported it
    int remark;           // a suspended execution of a changed procedure is marked in the block
    int missing_motion;   // no move block precedes the list position after the execution
    int missing_marker;   // cleared by the moved check
    int alert;            // the host's alert word after the execution
};

extern proc_run_state proc_run;

// EDA2 words the steps read and write, numbered from 1 (besides those named in edit_state).
namespace eda2 {
inline constexpr int kWasSuspended = 7, kManuallyChanged = 8, kWasInterrupted = 10, kOptionWord = 11,
                     kNoDisplayRun = 14, kCriteriaChanged = 15, kGeometryByCriteria = 16, kUpdateStored = 17,
                     kRecomputeStored = 18, kWriteFailed = 19, kOptimizerStopped = 20;
}  // namespace eda2

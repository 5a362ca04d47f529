// The words the driver's steps share during a run: which procedure is defined, the flags the
// define callback and the questions set, and what the store step left for execution and
// finishing. Zero at load; the start step clears them at every run.
#pragma once

struct proc_run_state {
    int procedure_number;    // the procedure being defined; -1 until it exists
    int editing;             // an existing procedure is opened (edit state word 1)
    int tool_path_moved;     // the tool path was moved since the procedure was made (word 4)
    int view_only;           // the procedure is only looked at (word 5)
    int repeat;              // a procedure of this run was finished and the run went on
    int back;                // the user went back from a question; set by store and questions
    int geometry_redefined;  // set by the define callback when the geometry changed
    int end_run;             // set by the define callback when the user leaves the run
    int change_status;       // status of the parameters-changed callback (0 for this module)
    int contour_result;      // contour-records callback result after define
    int define_enabled;      // 0 while the preparation writes a template
    int parameters_loaded;   // the defaults callback set up the block; release must clean up
    int execute_word;        // the stored procedure is to be executed
    int sublist_open;        // a procedure block was stored and its sub-list is open
    int suspended;           // the execution was interrupted and cleaned up
    // 1 when the define callback went on (status 0, no end-run): the procedure has geometry the
    // questions before execution may offer to execute; set by the after-define step.
    int geometry_defined;
    int solid_geometry;      // the procedure's geometry comes from solids
};

extern proc_run_state proc_run;

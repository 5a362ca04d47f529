// The questions before a procedure is stored and executed: what changed (proc_change_notes) and
// whether to execute, update or suspend it (ask_ok_to_execute), with the display of the
// procedure's points before the question (proc_pre_exec). Called by the solid check.
#pragma once

#include "nc_services/proc_type_table.hpp"

// Answers of ask_ok_to_execute (-2 and -1 come from the host menu).
inline constexpr int kAnswerBack = -2, kAnswerCancel = -1, kAnswerYes = 1, kAnswerNo = 2, kAnswerSuspend = 3,
                     kAnswerForce = 4;
// Room of the display hook: points (three reals each); the hook is given three reals a point.
inline constexpr int kPreExecPoints = 5000;

// The step before storing. The procedure has geometry when proc_run.geometry_defined is set.
// Status 0: store (and execute, update or suspend as answered); -1 cancel; -2 back (NO). Sets
// suspend (EDA2 word 13) and recompute as the answer asks. The hook's points are shown with the
// tool and cleaned up before the step returns; a count outside 0..5000 is taken as the nearest
// of them.
void proc_pre_exec(pre_exec_hook hook, int suspend_allowed, int update, int geometry_kept, int was_suspended,
                   int no_questions, int manually_changed, int old_version, int was_interrupted, int& recompute,
                   int& suspend, int& result, int optimizer, int criteria_changed, int& status);

// Shows what changed in one or two notes of up to 80 characters. Sets recompute for a procedure
// that was suspended, interrupted, manually changed or written by an old version; turns result 3
// into 1. Reads the message window's count (warnings issued) and EDA2 word 1.
void proc_change_notes(int geometry_defined, int geometry_kept, int old_version, int was_suspended,
                       int manually_changed, int was_interrupted, int update, int suspend, int& result,
                       int criteria_changed, int& recompute);

// Asks until the answer is one of -2 to 4 but 0. direct: answer without asking, as the template
// or run flags say. Reads EDA2 word 1.
void ask_ok_to_execute(int geometry_defined, int suspend_allowed, int recompute, int update, int suspend, int direct,
                       int result, int optimizer, int criteria_changed, int& answer);

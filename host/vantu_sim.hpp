// The host's simulation slots and automatic verification as the procedure driver's steps keep
// them: the stock word handed over at the start and the finish, the slot of each procedure, its
// validity after an execution, and the alert raised during one.
#pragma once

// Mode 1 hands the stock word to the simulation state at the start of a run, mode 2 at the
// finish of a procedure.
void sim_get_set(int mode, int& stock);
// Takes simulation slot `index`: mode 1 for the execution, mode 2 for the next procedure.
void sim_work_on(int mode, int index);
// The state of simulation slot index (4: the slot must be computed again); 0 for a slot never set.
int sim_slot_state(int index);
// Marks the procedure's slot outdated (the procedure's colour given) or valid.
void sim_invalidate(int colour);
void sim_validate(int index);
// The automatic-verification option: mode 1 reads it (host flag "verify_option"), mode 2 sets it.
void get_set_vrf_opt(int mode, int& option);
// Alerts of an execution: switched off before it, read after it (host flag "alert").
void set_alerr_off();
int if_was_alerr();
// Recomputes the part's box before an execution.
void recalculate_partbox();

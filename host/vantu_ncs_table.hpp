// The host's table of procedures and their solids (associativity of solid geometry), the solid
// flags of the NC functions, and the stored surface identifiers of procedures. The start, moved-check, solid-check,
// store and end steps of the procedure driver keep the table on the procedure being defined.
#pragma once

// The procedure number the table works on. Status 0.
void ncs_table_set_proc_num(int number, int& status);
void ncs_table_get_proc_num(int& number, int& status);
// Carries the table entries of procedure `from` over to procedure `to`. Status 0.
void ncs_table_copy_proc(int from, int to, int& status);
// Writes the table (the three words select what is written); ncs_table_read_table, which reads it
// back, is in vantu_tpdisplay.hpp.
void ncs_table_write_table(int first, int second, int third, int& status);
// 0 when the solid geometry of the procedure was updated since it was stored (host flag
// "ncs_table_ok"), else non-zero. Status 0.
int ncs_table_ok(int& status);

// The solid flags of the NC function being run: can work on solids, can take the whole database.
int ncs_can_solid();
int ncs_can_all_db();
void ncs_set_can_solid(int value);
void ncs_set_can_all_db(int value);
// The number of solids in the part (host flag "solid_count").
int ps_sol_num_get();

// Brings count surface identifiers stored with a procedure up to date: current[i] is the
// identifier the surface old[i] has now (a surface the part renumbered answers its new id, any
// other its own). Status 0; -1 for a count below 0 or missing buffers.
void ncs_update_surfaces(const int* old_ids, int count, int* current_ids, int& status);

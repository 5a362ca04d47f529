// Flags of the host's procedure manager that the procedure block writer reads: the solid-model
// kernel, the criteria and modify modes and the geometry status of the procedure.
#pragma once

// Non-zero when the host runs its NC functions on the solid-model kernel.
int NcOnAcis();
// The criteria flag: mode 1 reads it into value, mode 2 sets it.
void chk_crit_gs(int mode, int& value);
// The modify flag (a procedure is modified): mode 1 reads it into value, mode 2 sets it.
void gs_modify(int mode, int& value);
// The geometry status of the procedure being stored; the define step sets it (1 solid geometry,
// 2 other geometry).
int get_ProcGeomStatus();
void set_ProcGeomStatus(int value);
// Whether the last trimming split the tool path by tool: mode 1 reads it into flag, mode 2 sets
// it.
void split_by_tool_get_set(int mode, int& flag);

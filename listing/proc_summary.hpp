// The procedure summary: the integer and text columns of one entry of proc_table gathered from a
// procedure block in the tool-path list or from a procedure stored as an entity, the test whether
// a procedure has motion, and the small tests and lookups the printers and the association check
// share. Entries 1 to 200 are indexed by procedure number; the block printer uses entry 201.
#pragma once

#include <array>
#include <functional>

// The creation date and time of a procedure (year, month, day, hour, minute, second).
using proc_date = std::array<int, 6>;

// Fills entry `index` (1 to 201) from the procedure block at the current list position, or, when
// the entity id is positive and the procedure id is not the tool path CLP1 names, from the
// stored procedure. reset 0 keeps a G column of 1. code47 answers item 47 of segment 24 (0 when
// absent). Status 0, or -1 when a required item cannot be read or the index is outside 1..201
// (the columns not read keep their defaults).
void get_proc_summary(int reset, int procedure_id, int procedure_entity, int index, int& code47, proc_date& date,
                      int& status);
// The same from the stored procedure's records.
void get_proc_summary_ent(int reset, int procedure_entity, int index, int& code47, proc_date& date, int& status);

// True when the procedure at the current list position has motion: a line block in its movement
// entity, or a movement block in its sub-list. Opened entities and sub-lists are closed again.
// A failure reports "[is_there_movmnt],ERRORS IN LIST" and sets status -1.
bool is_there_movmnt(int& status);
// The search of a movement block in the open sub-list; the run control's marker search may take
// its place. result 0 when one was found; status negative on a list failure.
using movement_finder = std::function<void(int& result, int& status)>;
movement_finder& movement_finder_seam();

// True for the types of proc_type_group_a and for 8, 17, 24 and 25 (procedures without a tool).
bool proc_type_group_b(int nc_function);
// The 1-based position of value in list[1..n]; n + 1 when absent (1 when n is below 1).
int int_list_index(int n, const int* list, int value);

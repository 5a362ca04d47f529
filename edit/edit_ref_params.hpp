// The reference-surface parameters of the procedure the manual editor opens: the Z lift, the
// surface approach, the tolerances and the step words that the trimming offers for surface work,
// loaded into trim_words() from the procedure block, and the procedure's reference-surface lists.
// proc_is_surface_kind also decides the editor's surface warning.
#pragma once

// With the list on the procedure block: the NC function code, then items 16 (DEL Z-UP), 58 or
// else 57 (REF.SRF.TOL.), 25 (CONTOUR TOL.) of parameter group 25; SRF. ARC RADIUS from the
// current mill's diameter and then by function code; whether the surface approach is offered (a
// surface procedure that the procedure table does not flag; else approach kind 1); the step words
// (items 298, 59, else a third of the tool diameter), items 63, 55 and 56; then the
// reference-surface lists (ref_lists_collect). A missing item keeps its default. Status 0.
void edit_ref_params_load(int procedure, int& status);

// Approach kind 1 and SRF. APPROACH 1.0, then by the NC function code of trim_words(): the
// approach kind, SRF. APPROACH and SRF. ARC RADIUS from the items of its family; an approach kind
// outside 1..7 becomes 1. Other codes keep the arc radius.
void edit_ref_params_by_fn();

// 1 for the surface functions (NC function codes 5, 14, 27, 34, 38, 48, 56); for 9, 35, 36 and 37
// when item 82 of the procedure's group 25 is 1 (read from the procedure block at the list
// position when read_item is set, else the value read last); 0 otherwise.
int proc_is_surface_kind(int read_item);

// 1 when the procedure table's entry of the procedure (1 to 200) flags it: its column 17 is set
// (NC function 48 with item 320 of group 25 at 1), its state column is 4 or its second state
// column is 2 (both shown as "s" in its status text). Such a surface procedure offers no surface
// approach, and the editor warns before deleting in it. 0 for another procedure number.
int proc_table_flags_surface(int procedure);

// Reads the current procedure's geometry buffers and hands their two reference-surface lists
// (list 1 from geometries of kinds 10001 and 10004, list 2 from kind 10002) to the
// triangulation cache (ref_lists_set). "problem with surfaces" when a list can be read neither
// as current nor as stored identifiers; the lists are handed over as they stand.
void ref_lists_collect();

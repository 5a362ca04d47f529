// Upkeep of the contour table after the dialogs have changed it: first entries, kinds, order
// numbers and selection ranges rebuilt; contours taken out of and back into the selection list;
// contours whose geometry has gone dropped; duplicates dropped; all contour curves gathered for
// the pocket; the criteria contours re-found. The contour menu runs them in its end steps, the
// contour list dialog and the criteria lists call some directly.
#pragma once

// Removes every contour whose valid flag is 0, moving the others down; rebuilds in mode 1 and
// sets the changed flag.
void contour_drop_unkept(int& changed);
// Removes contours made of the same curves as another (a hand-picked one giving way to one found
// by the criteria); host message 34 of module 331 for one, 35 for several.
void contour_remove_duplicates();
// Rebuilds the first entries and pushes contours that are not in the selection list; mode 1 also
// rebuilds kinds and order numbers. Status 0; -1 for a record that cannot be measured or a
// table that would pass the buffers (the table is left as far as it was rebuilt).
void contour_table_rebuild(int mode, int& status);
// Recomputes the order numbers from the kinds (a planar face counts its loops).
void contour_renumber();
// Takes every contour but k (all for k = 0) out of the selection list.
void contour_unpick_others(int k);
// The same for all contours but the one of index (counted from 0), which is pushed to the
// selection list when it is not there.
void contour_show_one(int index);
// Gathers every contour's curves into the gathered buffer, one record per chain or loop and one
// per loop of a planar face, with the owning contour's offset, draft angle, type and part/stock.
// With the contours-valid flag 0 only the draft-present flag is set. Status 0; -1 with "ERROR:
// TOO MANY CURVES IN CONTOUR" (more entries than the buffers grow to, or more than `limit`
// records) or on a host failure, the table then empty.
void contour_gather_curves(int contours_valid, int draft_field, int limit, int& status);
// Re-finds the contours of the active criteria: changed 1 when their number differs from the
// criteria contours of the table, or when one of those is no longer found.
void pkt_refind_by_crit(int& changed);
// Compares each criteria contour with the contours found; one not found is removed unless the
// criteria are marked as checked, and found becomes 0.
void pkt_check_found(int& found);
// Every contour kind 1, order numbers 1 .. n + 1, first entries from the record lengths.
void pkt_reindex();

// Services around the contour table and the host's contour-data records: showing contours in the
// host selection list and taking them out again with the later ranges renumbered, splitting a
// picked multi-contour set, the hit tests of the delete and selection dialogs, the classification
// and counting of contours for the criteria lists, the re-finding of criteria contours, the
// region polygon of a contour and the part of a pocket lane between two positions. The contour
// dialogs, the upkeep routines and the contour parameters call them.
#pragma once

// ---- the selection list ------------------------------------------------------------------------
// Pushes every curve of count records (one after another from `records`, as long as the
// record buffers' entries reach) to the selection list; count answers the records pushed; valid
// starts at 1 and becomes 0 when a referenced entity is missing.
void push_contours_to_pick(const int* records, int& count, int& valid);
void push_contour_curves(const int* record, int& valid);
// Pushes the end check curve of side `end` (1 start, 2 end) of an open chain.
void push_chain_end(const int* record, int end, int& valid);
// Takes contour k out of the selection list (selection_range_delete).
void delete_contour(int* pick_ranges, int count, int k);
// Deletes contour k's range (pick_ranges words 2k, 2k + 1) from the selection list, sets it to
// (0, -1) and moves every range behind it down by the entries removed.
void selection_range_delete(int* pick_ranges, int count, int k);
// Rewrites a record holding several contours (a set record, or an open chain) as consecutive
// single-contour records in place, at most `number` of them; number answers how many. Status 0;
// -1 when the record is one closed contour (nothing to split) or the result would not fit.
void copy_contour_set(int* record, int& number, int& status);

// ---- hit tests -----------------------------------------------------------------------------------
// Status 0 when one of the record's curves reaches into the box (xmin, ymin, xmax, ymax), else -1.
void contour_check_rotated(const int* record, int curves, const float* box, int& status);
// Status 0 when the curve's start, end or one of the inner points of `steps` equal parameter
// steps lies in the box.
void curve_in_box(const float* box, int entity, const double* data, int steps, int& status);
void curve_point_in_box(const float* box, int entity, double parameter, int& status);
// Status 0 when the picked point lies on one of the record's curves (parameter out), else -1;
// a failing projection ends with its status.
void contour_curve_params(const int* record, int curves, const float* point, double& parameter, int& status);

// Contour k's curves as chain records in the work buffer (a planar face one record per loop, a
// loop of a solid exploded); answers the number of records, 0 when they cannot be had.
int contour_work_copy(int k);
// Whether contour k lies under a picked point (on one of its curves) or reaches into a box.
bool contour_hit_by_point(int k, const float* point);
bool contour_hit_by_box(int k, const float* box);

// ---- criteria lists ------------------------------------------------------------------------------
// Sets every contour's kind for the criteria lists: 2 open, 1 closed, 3 a planar face, 4 a loop
// of a solid; rebuilds the first entries.
void pkt_classify();
int pkt_n_open();
int pkt_n_closed();
// Re-finds the criteria contours of kind 1 (mode 1, closed) or 2 (mode 2, open): changed 1 when
// their number differs from the search's.
void prf_refind_by_crit(int mode, int& changed);
// Compares the criteria contours of that kind with the contours found; a contour not found is
// removed unless the criteria are marked as checked (found 0 then).
void prf_check_found(int kind, int& found);

// ---- regions and lanes ---------------------------------------------------------------------------
// The region polygon of a contour record in the region package and its orientation: direction -1
// when its points run counter-clockwise, else +1. Status 0; 1 when the record (a loop whose
// second identifier changed) was updated; -1 on failure.
void cont_to_reg(int* record, int& direction, int& status);
// The part of lane `lane` between (start element, start parameter, start point) and (end
// element, end parameter, end point) as x and y arrays (room entries each); mode 1 copies the
// whole lane. count answers the entries, -1 when the lane cannot be read or the part does not
// fit.
void lane_extract_part(int lane, int mode, int start_element, double start_parameter, const double* start_point,
                       int end_element, double end_parameter, const double* end_point, double* x, double* y, int room,
                       int& count);

// The start-side check at the end of the pocket dialog: whether the contours and the approach
// settings allow a tool path, with warnings about cutter compensation without approach or
// retract and about gaps between the curves of a contour (contour_max_gap).
#pragma once

// Status 0 when the dialog may close, 1 when it must stay open: contours that are not valid
// ("CONTOUR IS NOT UPDATED. PLEASE REDEFINE IT"), or hatch clearing whose start side cannot be
// found because no direction arrows are shown ("CANNOT CALCULATE START SIDE"), or contours that
// cross themselves or each other (contour_crossings_check, its errors). The other findings
// are warnings in the message window, which is shown at the end. Reads drelan_params_current,
// contour_table_block (contours-valid flag, gathered count, kinds), contour_wire_buf, the
// direction arrows and PRM9 (cutter compensation).
void pkstck(int& status);

// The largest XY distance between the end of a curve and the start of the next curve of the same
// contour (and from its last curve back to its first: the pocket closes an open contour along
// that gap), over count contour
// records one after another from `records`; kinds[k] (1-based) is the kind of contour k, and only
// curve chains are measured. Status 0, or the status of a curve that cannot be evaluated.
void contour_max_gap(const int* records, int count, const int* kinds, double& gap, int& status);

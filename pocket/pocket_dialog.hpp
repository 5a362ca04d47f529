// The pocket dialog: one page of the common top lines and the pocket's own item groups (passes
// and method, offsets and hatch angle, lane options, tolerance, entry and start point, start side
// and contours), shown and acted on until the user leaves. The pocket's define callback runs it.
#pragma once

// geometry_redefined: the define callback's flag (read); end_run: the start-side check's result
// on accept; cleared: a word set to 0 on entry; contour_item (out): 1 when the user chose
// "CONTOUR", so that the contours are asked for again. Status 0, or negative when the user left
// the page (-1, -2) or the hatch direction could not be handed on. Reads and writes
// drelan_params_current; reads the contour table, the region table, the arrows and NPT1.
void pkstsd(int geometry_redefined, int& end_run, int& cleared, int& contour_item, int& status);

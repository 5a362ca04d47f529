// The start-side check at the end of the pocket dialog. Least version: only the check of the
// contours-valid flag; the pocket callbacks issue completes it (arrows, cutter compensation,
// gaps) and replaces this file, keeping the name.
#pragma once

// Status 0 when the dialog may close, 1 when it must stay open ("CONTOUR IS NOT UPDATED. PLEASE
// REDEFINE IT" for contours that are not valid). Reads contour_table_block.contours_valid.
void pkstck(int& status);

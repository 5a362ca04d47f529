// Module words of the NC state that the procedure dialogs set and the procedure-block writer
// reads into the global parameters of a new block. The procedure start clears the dialog state
// word and the single-curve-contours flag.
#pragma once

// 1 or 0, set by the pocket dialog; item 22 of the global parameters is 1 when it is non-zero.
int& dialog_state_word();
// The kind of the last plane dialog: 3 from the pocket dialog, 3 or 5 from the machine and
// part-plane dialog; item 40 of the global parameters.
int& plane_dialog_kind();
// 1 when every contour of the procedure is a single curve (set by the single-curve check);
// item 47 of the global parameters.
int& single_curve_contours_flag();

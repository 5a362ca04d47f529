// Two decisions the pocket define callback leaves to the driver: whether every contour of the
// procedure is one closed curve of the plain curve kind (chk_single_curve_contours), and what the
// answer of the define page means for the geometry of an edited procedure
// (ask_redefine_geometry).
#pragma once

// The answers of ask_redefine_geometry (kGeometry*) are the pocket's, which calls both through its
// procedure dialog services.
#include "pocket/proc_dialog_seams.hpp"

// Mode -n checks n contours; 0 or 1 one; 2 one and the extra contour. Sets
// single_curve_contours_flag() to 1 only when every checked contour has one group of one curve of
// the plain kind, no end check curve, and (when closed) coinciding limits; a descriptor length of
// 0, or one reaching past the descriptor table, stops the check with the flag 0. Reads
// contour_descriptors() (the records of the pocket's geometry buffer).
void chk_single_curve_contours(int mode);

// answer: on entry the define page's result, on return the decision (-1 leave, 1 redefine,
// 2 keep, -2 unchanged; 0 stays 0). flag: the caller's note that the geometry was given. Reads
// EDA2 words 1 and 5 and proc_run.solid_geometry.
void ask_redefine_geometry(int flag, int& answer);

// The picks and surface selections of a procedure being defined: the rejection of the last picks
// (the pocket dialog and the contour picking) and the clearing of the procedure's surface
// selections (the release step of the driver).
#pragma once

// Rejects the last n picks (slrjct n times, at most as many as the selection list holds); n
// becomes 0 unless keep is set.
void reject_picks(int keep, int& n);
// Clears the picking list, the procedure's surface pairs to (-1, 0) and its two surface id
// buffers, deleting the part and check surface sets that hold any.
void clear_proc_surfaces();

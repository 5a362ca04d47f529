// The marker writer and the stack of open marker brackets (tp_mrkr_stack). An odd marker code
// opens a stretch of the tool path (a layer, a pass, an approach, a region ...), the next even
// code closes it; a close that does not match the last open bracket is warned about at once, and
// brackets left open are warned about again at the finish unless the run was interrupted. The
// pocket execution, the motion buffers, approaches, retracts and trimming write markers.
#pragma once

// The warning of a bracket that does not match.
inline constexpr const char* kMissingMarkerWarning =
    "WARNING: MISSING MARKER - MAY CAUSE POST PROCESSING PROBLEMS. CHECK TOOLPATH VALIDITY - AND IF  "
    "SUCCESSFULL - DISREGARD THE MESSAGE";

inline constexpr int kMarkerOpen = 1, kMarkerClose = 2;

// The stack: a host dynamic array of (kind, id) entries, opened with 100 at the first push and
// grown by 100.
struct tp_mrkr_stack {
    int handle = -1;
    int top = -1;      // index of the top entry; -1 empty
    int capacity = 0;  // entries; 0 while no array is open
};
tp_mrkr_stack& marker_stack();

// Kind 1 opens and 2 closes the bracket id; code is the marker to write (0 writes nothing, a
// negative code writes the pending machine parameters first); z and value are its extra words.
void tp_mrkr_write(int kind, int id, int code, float z, int value, int& status);
void tp_mrkr_push(int kind, int id);
// The top entry, (-1, -1) when the stack is empty.
void tp_mrkr_pop(int& kind, int& id);
// Empties the stack at procedure start, closing the array a run left open.
void tp_mrkr_reset();
// The finish: the warning when brackets are left and the run was not suspended, then the array
// closed and the stack emptied.
void tp_mrkr_fin(int suspended);

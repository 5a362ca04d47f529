// The choice of a target procedure in the tool path (a procedure number, or the procedure count
// + 1 for the end of the tool path), for the insertion of post-processor messages. Least version
// until the paged procedure list and its picking are built: no dialog is shown, and the start
// procedure (the first row the list would show) is taken as the choice.
#pragma once

// With no procedure in the tool path the answer is 1; otherwise the start procedure within 1 to
// the procedure count + 1 (a start of 0 or less: the end of the tool path). Status 0; the
// status of the list walk when the procedures cannot be counted.
void target_proc_select(int& chosen, int& start, int& status);

// Picking of the blocks the trimming works on when its selection is BY SELECT MOTIONS: single
// blocks, a chain between two picked blocks, or a run bounded by vertical motions, all inside the
// current procedure, highlighted as they are chosen.
#pragma once

// The picking loop. count (the caller passes 0) answers the records chosen and handle the host
// array of pick_entry records (edit/trim/pick_records.hpp), which the caller closes; -1 when it
// could not be opened ("pick_blocks(trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", status
// -1; the same message ends picking when the array cannot grow). Status 0 when the user left
// with blocks chosen, -2 with none, -3 when a list operation failed (the records so far stay).
// Reads list_cursor().cursor_proc_blkno; the list must stand in the procedure's sub-list. Uses
// list markers 13, 14 and 15.
void pick_blocks(int& count, int& handle, int& status);

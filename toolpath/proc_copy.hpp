// Procedure copy between a procedure block of a list and the host's procedure record (cpbt12):
// from the record into a list the block is rebuilt from the stored word runs of segments 24, 23
// and 25, and segment 27 from the record's geometry; from a list into the host the block's
// segments are stored as the procedure, machine-parameter and local-parameter records and its
// geometry entities are entered in the NC entity table. The sub-list copy calls it for every
// procedure block it meets.
#pragma once

// Module words of the copy: the current procedure record (0 or less: none), the motion entity of
// the current procedure (-1: none), and option word 6 of the last block read.
struct proc_copy_state {
    int record_id = 0;
    int motion_id = -1;
    int option6 = 0;
};
proc_copy_state& proc_copy_words();

// From 1: rebuilds the current procedure record into the list at WHERE to. Any other from: reads
// the block at WHERE from and stores it into the host's records. Status 0 or negative: -1 for a
// record of more than 12 geometries (nothing written) or a block without segment 27 after
// segment 24 ("cpbt12, ERRORS IN LIST"); -2 when no line can be appended ("cpbt12 - CANNOT
// APPEND LINE TO LIST"). Missing geometry, parameters or motions are warned about (group 351,
// texts 14 to 17 inside text 13) and the copy goes on.
void cpbt12(int& from, int& to, int& size, int& status);

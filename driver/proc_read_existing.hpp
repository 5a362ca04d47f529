// Reading an existing procedure back when it is edited: its own parameters through the
// procedure type's read-parameters callback (proc_read_existing), and its flag segment into the
// flag globals (proc_flags_read, proc_flag_sync). Called by the start and store steps.
#pragma once

#include "nc_services/proc_type_table.hpp"

// Reads the procedure the list stands on (or, for a procedure viewed through the host's
// procedure manager from another tool path, the host's record of it): its type, version,
// single-curve-contours flag and own-segment length, then hands them to the read callback. A
// procedure read from the host is read through its procedure record (get_proc_info, dbd_proc) and
// the local-parameter record it names (get_lclprm_info), which is opened for the callback.
// old_version: 1 when the procedure was written by a version below 1112. On success the word
// layer reads under the procedure's version, save_aprx_choice is 1 unless no_questions is set,
// and the current tool's wire values are in the wire common. On failure the word layer's version
// is what it was before. Reads EDA2 word 5; the local-parameter entity is closed on every exit.
void proc_read_existing(read_parameters_callback read, int no_questions, int& old_version, int& status);

// Reads segment 27 of the current procedure block into the flag globals (proc_flags()).
// Status 0, or negative when the segment is missing or unreadable.
void proc_flags_read(int& status);

// When the flag of the first geometry kind (10001) is set, sets the flag of the second (10002).
void proc_flag_sync();

// Reading an existing procedure back when it is edited: its own parameters through the
// procedure type's read-parameters callback (proc_read_existing), and its flag segment into the
// flag globals (proc_flags_read, proc_flag_sync). Called by the start and store steps.
#pragma once

#include "driver/proc_type_table.hpp"

// The host's record of a procedure as the reader needs it when the procedure is read from the
// host: the entity id of its local-parameter record and the length of its own segment. Status 0,
// or negative (reported by the lookup).
using local_params_lookup = void (*)(int proc_id, int& entity_id, int& length, int& status);
// The lookup proc_read_existing uses for a procedure read from the host. Null until the host's
// procedure records are reached: such a read is then refused with one error line.
local_params_lookup& proc_local_params_lookup();

// Reads the procedure the list stands on (or, for a procedure viewed through the host's
// procedure manager from another tool path, the host's record of it): its type, version,
// single-curve-contours flag and own-segment length, then hands them to the read callback.
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

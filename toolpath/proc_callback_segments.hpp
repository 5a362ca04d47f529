// The parts of a procedure block that the procedure type writes itself: segment 25 (its own
// parameters, through the put-parameters callback) and its geometry entity (through the
// put-geometry callback). The procedure block writer calls wlcprm and then wgeom.
#pragma once

#include "nc_services/proc_type_table.hpp"

// Writes segment 25 with WHERE 3: code 25, a length word, the callback's records, and the length
// back-patched over the words the callback counted, even when it failed. A failing callback
// reports "[wlcprm - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE" with the procedure type and its
// status stays; a missing callback is refused (-1).
void wlcprm(int procedure_type, put_parameters_callback put_parameters, int& status);
// Calls the put-geometry callback with WHERE 1 and a word counter of 0; nothing goes into the
// list line. A failure reports "[wgeom - ]ERROR IN INSERT DATA FOR SEGMENT WITH CODE" with the
// procedure type and its status stays; a missing callback is refused (-1).
void wgeom(int procedure_type, put_geometry_callback put_geometry, int& status);

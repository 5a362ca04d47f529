// The current machining type that most of the library reads, and the loading of the host's NC
// function-name table. set_machining_type (driver/set_machining_type.hpp) decides the type when a
// procedure starts.
#pragma once

// The current machining type, read by most of the library (1 hatch clearing and 9 offset
// pocketing in this module, 31 for the wire pocket on a wire-EDM machine, 33 while trimming).
int& machining_type();

// Reads the host's NC function-name table into the user names of the NC functions.
void load_nc_function_names();

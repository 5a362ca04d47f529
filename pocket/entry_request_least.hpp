// The entry-point request flag of the pocket's point tables: one word kept between pocket runs,
// cleared at every procedure start and read and set by the pocket lanes. Least version of that
// part of the point tables; the issue that builds the entry, guide and end points replaces it.
#pragma once

// Clears the flag (at procedure start).
void entpnt_flag_reset();
// Mode 1 reads the flag into value; any other mode stores value.
void entpnt_flag_gs(int mode, int& value);

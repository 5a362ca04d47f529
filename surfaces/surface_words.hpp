// Words of the surface preparation that the procedure driver sets.
#pragma once

// 1: the next surface preparation frees the triangle model and approximates the part surfaces
// again (set by the change analysis when the machine's surface word changed).
int& resurf_needed();

// The common NC arguments handed to the host around its procedure functions, and the
// repositioning of a procedure on them (repos_proc_keep).
#pragma once

// Hands the common values to the host (gs_common_arguments mode 2): the NPT1 vectors and words
// 18 to 20, the DSP8 position, the clearance and absolute heights of HEI8 and PRM9 word 17.
void nc_common_to_host();
// Takes them back from the host (mode 1) into the same words.
void nc_common_from_host();

// Hands the common values to the host, calls its repos_proc with the three arguments unchanged
// and takes the values back; answers what repos_proc answered.
int repos_proc_keep(int mode, int flag, int& status);

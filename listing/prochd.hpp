// PROCHD, the procedure header list: the blocks of a tool path's procedures in the row form,
// between separator lines, written by the driver's header-list writer into "<part>PROC_HDR" on
// unit 19 under a short heading. The service menu starts it.
#pragma once

// tool_path below 1, or the tool path CLP1 names: the current tool-path list, from its first
// block; any other: that stored tool path. Lengths are scaled by 1 / the host's length unit.
// "NOT IN MACSYS" (a tool path whose view is no MACSYS) and "TOOL PATH LIST IS EMPTY" stop it
// before any file is made; "PROCHD, CANNOT OPEN FILE" with the file's name. Keeps the list
// position and the procedure context. Reads NPT1 and CLP1.
void PROCHD(int tool_path);

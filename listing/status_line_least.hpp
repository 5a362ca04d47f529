// The current modal values of the displayed tool path (SETMOD) and the fields of the machine
// status line that show them. Least version until the status line is built: SETMOD stores its
// value, the fields show nothing.
#pragma once

// Stores the modal value of a parameter type: 1 feed (real), 2 spindle speed, 3 coolant,
// 10 cutting speed (real), 52 nibbling, 53 punch, 100 tool into DSM4; the wire types 11 to 16
// and 20 to 40 into WRMB (35 to 40 reals). Any other type reports "SETMOD: WRONG PARAMETER".
void SETMOD(int prmtyp, int int_value, float real_value);

void status_show_feed(int window);
void status_show_spin(int window);
void status_show_coolant(int window);
void status_show_tool(int window);
// Repaints the whole machine status line.
void status_repaint(int window);

// The tool display services the procedure driver needs before the display subsystem is built:
// drawing the tool as its symbol instance (DISPT1), making a tool the current one
// (tool_select_current), the spindle speed from a cutting speed (spin_from_vc) and the
// plain-curve entity test (is_type15_entity). Least version: the tool display replaces this file,
// keeping these names.
#pragma once

// Draws the tool's symbol master at the point (model coordinates) turned so that its axis follows
// `axis`. instance: the new symbol instance, or -1 when the tool has no master or it cannot be
// placed. An axis of no length reports "DISPT1,ERRORS IN CALCULATING TOOL ORIENTATION MATRIX"
// and the MACSYS orientation is used. Reads NPT1 (MACSYS matrix).
void DISPT1(int tool_id, const float (&point)[3], const float (&axis)[3], int& instance);

// Makes the tool the current tool of PRM9, reads its class, feed and spindle speed, redraws the
// tool instance at the DSP8 position (kept when keep is set and one exists) and sets the tool,
// spindle speed and feed of DSM4. Status 0, or -1 when the tool cannot be read.
void tool_select_current(int keep, int tool_id, int& status);

// Spindle speed = the nearest integer of |vc| * 1000 / (diameter * 3.14159), at most 999999;
// 999999 for a diameter of 0.
void spin_from_vc(float diameter, float cutting_speed, int& spin);

// 1 when the class is 1 or 2 and the type 15, else 0. Mode 1: the entity's attributes "CL" and
// "TY" (an entity that does not exist gives 0); mode 2: the class and type given; other modes 0.
int is_type15_entity(int mode, int id_or_class, int type);

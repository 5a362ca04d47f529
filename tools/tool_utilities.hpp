// Small routines shared by the menus of the procedure dialogs, the driver and the tool code: the
// plain-curve entity test, the edit of the 20-character state text, the macro and redisplay step
// before a menu, the spindle speed from a cutting speed, the current mill's dimensions kept
// around an execution, the host's curmac call on the common arguments, and making a tool the
// current tool of the machine state.
#pragma once

// 1 when the class is 1 or 2 and the type is 15, else 0. Mode 1: the entity's attributes "CL"
// and "TY" (an entity that does not exist gives 0); mode 2: the class and type given; other
// modes 0.
int is_type15_entity(int mode, int id_or_class, int type);
// Lets the user replace the 20-character state text. result: 0 after a replacement, else the
// non-positive count of characters read (the text unchanged).
void edit_txt2_text(int& result);
// Runs the host's pending macro and redisplays when the host asks for the screen to be cleared.
void macro_redisplay();
// Spindle speed = the nearest integer of |cutting_speed| * 1000 / (diameter * 3.14159), at most
// 999999; 999999 for a diameter of 0.
void spin_from_vc(float diameter, float cutting_speed, int& spin);

// The dimensions of the current mill (PRM9 tool) kept around an execution.
struct kept_mill_dims {
    int kept = 0;
    float diameter = 0.0f, cut_length = 0.0f, corner_radius = 0.0f;
};
kept_mill_dims& tool_dims();
// When the current tool is a mill (entity attribute "TY" 2): save keeps its diameter, cut
// length and corner radius, restore writes the kept values back into the current mill.
void tool_dims_save();
void tool_dims_restore();

// Hands the common NC argument blocks to the host, calls its curmac with a and b, and takes the
// blocks back.
void curmac_sync(int a, int b);

// Makes the tool the current tool of PRM9, reads its class, feed and spindle speed, redraws the
// tool instance at the DSP8 position (an instance shown is kept when keep is set) and sets the
// tool, spindle speed and feed through the modal setters. Status 0, or -1 when the tool's class
// cannot be read.
void tool_select_current(int keep, int tool_id, int& status);
// Brings the tool into the machine state after a procedure's parameters were read: PRM9's feed
// and speeds into the tool's cutting condition (tools with conditions), the tool made current,
// the tool-type values set, and for a wire tool the wire common. Status 0, -1 for a tool whose
// class cannot be read, or the first non-zero status of the steps.
void refresh_tool_state(int tool_id, int& status);

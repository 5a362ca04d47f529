// The machine status line: fourteen fields of 12 characters in the host's main window (tool
// position and axis, feed, spindle, coolant, tool, tool path, machine kind, a counter and the
// block number), filled from the NC state blocks. The live display repaints the position, the
// block display writes the block number, the parameter-block handler and the modal setters
// refresh the field of the value they changed; the driver and the editor call the same routines.
//
// The window argument goes to the host unchanged; the display passes 2. The tool field also takes
// 4 (shown without highlight) and 1 (shown without the tool name).
#pragma once

#include <array>
#include <string_view>

using status_vec = std::array<float, 3>;

// Fields 1-3 and 8-10 from the position and axis less the origin, in the host's length unit.
// Reads NPT1 (machine type).
void MUTPOS(int window, const status_vec& position, const status_vec& axis, const status_vec& origin);
// Field 4: the feed, or the punch state on punch machines; blank on wire-EDM machines.
void MUFEED(int window, int punch, float feed, int machine_type);
// Field 5: the spindle speed or the cutting speed, or the nibbling state on punch machines.
// Reads the model datum "USUN" (unit code) for a cutting speed.
void MUSPIN(int window, int nibble, int spin_mode, float cutting_speed, int spin, int machine_type, int tool_class);
// Field 14: "BLK=" and the block number; a negative number blanks the field. A number of more
// than seven digits shows seven "*".
void MUTBLN(int window, int block_number);
// Field 13: the label (its first 8 characters), "=" and a positive value of at most three digits
// ("***" for more); blank for a value of 0 or less. status_show_text8 cuts the label at a
// terminating zero first.
void status_show_label_int(int window, std::string_view label, int value);
void status_show_text8(int window, std::string_view label, int value);

// One field from the current NC state blocks, after handing them to the host. Read DSM4, PRM9,
// NPT1, RAXN and the current tool.
void status_show_feed(int window);
void status_show_spin(int window);
void status_show_coolant(int window);
void status_show_tool(int window);
void status_show_machine_type(int window);

// Hands NPT1, DSP8, DSM4, PRM9, the current-tool block and the tool-name length to the host.
void push_nc_state_blocks();
// Repaints the position fields from DSP8 and the NPT1 origin.
void status_repaint(int window);
// Every field: the position, feed, spindle, coolant, tool and machine fields; 13 and 14 blank.
void status_refresh_all(int window);
// Fills the status line from PRM9 through the modal setters (which store each value), then the
// machine fields; 13 and 14 blank.
void status_show_machine(int window);

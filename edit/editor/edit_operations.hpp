// The operations the manual editor applies at its cursor, and the update of the procedure block
// after an edit: deletion from the anchor to the cursor (EDTDLT) and from the cursor to the end
// of the procedure (EDTTRM), new machine parameters at the cursor (EDTPRM), the drilling depth of
// a range (EDTDPT) and new drilling points (EDTDRL) in drill procedures, and mnedup.
//
// Every operation answers a changed flag (the tool path was changed) and a layer flag (the list
// position lies inside a LAYER bracket, CHKLYR), cleared again when nothing changed. A cancelled
// prompt is no failure: status 0, nothing changed. They read and write list_cursor()'s
// procedure words, NPT1's machine type and PRM9; the paths name blocks of the procedure under
// the cursor.
#pragma once

#include "edit/editor/list_cursor_state.hpp"

#include <array>

// Deletes the motions from the anchor's block to the cursor's (either order) with DLTBLK, which
// asks and closes the gap (no connection in a drill procedure). current becomes the block DLTBLK
// left the cursor on; a cancel returns the list to where it stood. Nothing happens when the two
// paths name the same block. Status 0 or DLTBLK's 17; -3 an error (reported).
void EDTDLT(const blk_path& anchor, blk_path& current, int& type, int& changed, int& layer, int& status);

// Deletes the motions from the cursor's block to the last motion of the procedure (THROUGH
// CLEAR, default clearance). When nothing was deleted (the cursor stood on the last motion, or
// the user cancelled) the cursor goes back to the block it started from. Status as EDTDLT.
void EDTTRM(blk_path& current, int& type, int& changed, int& layer, int& status);

// The machine-parameter page at the cursor: the parameters in force there are offered (the
// fields of mach_page_masks by machine type) and those the user changed are written as
// parameter blocks after the cursor's motion, before the next one (at the procedure's end when
// no motion follows). PRM9 is put back afterwards. Status 0; the negative status of a callee,
// "EDTPRM, ERRORS IN LIST" or "EDTPRM, ERRORS IN THE DISPLAY FILE" reported.
void EDTPRM(const blk_path& current, int& changed, int& layer, int& status);

// The drilling depth of the range from the anchor to the cursor in a drill procedure: the depth
// in force before the range is shown without the drill's tip and the depth entered (tip added
// back) is written before the range, the old one restored after it; nothing is written when it
// equals the old depth. Status 0; -1 "EDTDPT, DEPTH UPDATE POSSIBLE ONLY FOR DRILL"; -3 a list
// error ("EDTDPT,ERRORS IN LIST").
void EDTDPT(const blk_path& anchor, const blk_path& current, int& changed, int& layer, int& status);

// Drilling points indicated by the user after the cursor, each with the depth of the field (tip
// added back) and its own Z as the surface Z: depth and del-Z blocks are written where they
// change, then a drill location; a cancel writes the depth and surface Z in force before back.
// Status 0; -3 a list or display error ("EDTDRL, ERRORS IN LIST").
void EDTDRL(const blk_path& current, int& changed, int& layer, int& status);

// The update after an edit. When the editor opened the movement sub-list (sublist_opened, cleared
// here) it is closed and the procedure block updated: changed sets item 21 to 2, puts DSP8's
// position and axis back from list_cursor().start_copy and writes the first and last points
// (items 5, 27, 6, 28); layer sets item 22 to 2. Then the cutter compensation of DSM4 is
// cleared, the status line's tool refreshed and, with window_update, the working model updated.
// Status 0; -1 with "[mnedup, ]ERRORS IN UPDATE AFTER MANUAL EDIT".
void mnedup(int& sublist_opened, int changed, int layer, int window_update, int& status);

// Mode 1 puts the backup copy of PRM9 back; any other mode takes it. Status 0.
void prm23_save_restore(int mode, int& status);

// The 30 field flags of the machine-parameter page for a machine type (1 offers the field): mills
// (22-26) spindle, cutting speed, coolant and feed switch; punching machines (12, 13) spindle;
// lathes (31) spindle, cutting speed and feed switch; wire machines (61-80) the tool selection.
// Any other type offers none of them.
inline constexpr int kPageMaskFlags = 30;
std::array<int, kPageMaskFlags> mach_page_masks(int machine_type);

// The tip length of a drill: (D / 2) / tan(a / 2) for tip angle a and diameter D; 0 for an angle
// of 0 (reported with zero_angle_message) or 180, and for tools that are not drills. -1 when the
// drill has no tip data.
float drill_tip_length(int tool_id, const char* zero_angle_message);

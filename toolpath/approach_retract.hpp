// The non-cutting moves around a cut: the retract at the end of a string (STREND), the descent
// onto the start of the next one (PLNZUP), the rapid move through the retract level (FAST2M),
// the Z-up approach (ZAPR), the Z retract (ZRET), the retract along the tool axis, the link that
// climbs over the part surfaces, and the feed-mode routines. Every move is a linear move through
// PLINE_entry; its feed is chosen beforehand with set_mch_change_mode, and the feed mode each
// routine leaves in force is part of its contract (stated per routine). The milling statement,
// the surface approach and retract, the pocket entry, the clearing passes and the trimming call
// them.
//
// They read DSP8 (the current position and axis), HEI8 (words 0, 24, 48, 73, 75 and 76), the
// execution display mode and the clearance-warning flag (nc_services/exec_disp_mode.hpp), the host's
// NC function code (34, 38 and 48 are the surface functions), connect_params (approach kind,
// D1, D2 and the direct-link flag L), the approach block's last field (function 48) and, in the
// surface link, linnet_params and the current tool.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

class narrowed_mill;

// Descends onto P: nothing when the tool is at P; with h = 0 one rapid move to P; otherwise, from
// above P.z + h a move down to P.z + h at the feed in force, then a feed-mode-3 move to P.
// Leaves feed mode 1 (not after a failing move). Dimension 3 is reported and taken as 1.
void PLNZUP(int dimension, const point3& point, const point3& direction, float height, int& status);
void plnzup_d(int dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction, double height,
              int& status);

// Climbs to the retract level above P (the clearance height while the execution display mode
// is not 0; else the absolute height, or the incremental height above the higher of P and the
// tool) and across to it; with the clearance plane off while the display mode is not 0, the climb
// stops at P.z + h and the move across follows at that height. Retract mode 1 moves at feed mode
// 27, 2 rapid when climbing (else feed mode 1), 3 rapid; that feed mode stays in force. Answers
// 0 (or the status of a failing move); another retract mode writes nothing and answers the mode
// less 3; a surface function consuming the direct-link flag answers 1.
int STREND(int dimension, const point3& point, const point3& direction, int retract_mode, float height, int& status);
int strend_d(int dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction,
             int retract_mode, double height, int& status);

// Rapid move to P through the retract level (h extra above P). A dimension word above 10 is
// reduced by 10 in the caller's word and runs the middle moves at feed mode 27. F set: the last
// move to P at feed mode 1; either way feed mode 1 is left in force. Shows "WARNING, CLEARANCE
// PLANE MIGHT BE TOO LOW" once per arming when the tool stands above the retract level.
void FAST2M(int& dimension, const point3& point, const point3& direction, int final_feed, float height, int& status);
void fast2m_d(int& dimension, const std::array<double, 3>& point, const std::array<double, 3>& direction,
              int final_feed, double height, int& status);

// Z-up approach onto P: through STREND and PLNZUP for the surface functions, else FAST2M to D1
// above P and a feed-mode-3 descent when D1 is not 0. Leaves feed mode 1.
void ZAPR(int dimension, const point3& point, const point3& direction, int& status);
// Rapid retract above P to the clearance height (display mode not 0; nothing while the clearance
// flag is 0), the absolute height or the incremental height above P. Leaves feed mode 1.
void ZRET(int dimension, const point3& point, const point3& direction, int& status);

// One move. rapid 1: rapid, then feed mode 1 in force; otherwise feed mode 1, then rapid in force
// (each second mode only after a successful move).
void pline_rapid_toggle(int dimension, const point3& point, const point3& direction, int rapid, int& status);
// One move at feed mode 3, then feed mode 1 in force (after a successful move).
void pline_feed_mode3(int dimension, const point3& point, const point3& direction, int& status);

// Feed switch for falling moves. state 0 (normal feed) and a target below the current point:
// when feed mode 26 is slower than the feed in force (rapid counts as the fastest), state 1 and
// feed mode 26. state 1 and a target neither lower nor equal: state 0 and feed mode 1. With
// close_string set an open string is closed first and the tool-path flag raised after.
void down_feed_switch(int dimension, const point3& target, const point3& current, int close_string, int& state,
                      int& status);

// The retract along the tool axis (approach kind 2: D2 along the current axis; else D1 along
// +Z), then rapid by the incremental height, between RETRACT markers; nothing while the
// clearance flag is 0. Leaves rapid in force; always ends with execution display mode 0.
void axis_retract(int& status);

// The retract a surface approach runs first: a filled pending record at the current position
// runs SRFRET (retract mode 1) or axis_retract; away from it, retract mode 1 runs ZRET. An
// unfilled record runs nothing. The count becomes 1.
struct pending_retract {
    point3 point{};
    point3 direction{};
    point3 normal{};
    int count = 0;
    int retract_mode = 0;
    int filled = 0;  // 1 once point, direction, normal and mode were stored; nothing stores them yet
};
pending_retract& pending_retract_record();
void pending_retract_run(int& status);

// Link move over the triangulated part surfaces (functions 34, 38 and 48) to the height that
// clears them, then across above P; the descent is the caller's. Leaves feed mode 1 (near links)
// or 27 (far links, and links raised above their start). Status -1 when the contact query
// failed (no move written).
void surface_link_move(int dimension, const point3& point, const point3& direction, int& status);

// The tool saved and shrunk for the link test (diameter - 0.004, corner radius - 0.002, both
// surface offsets + 0.002), once until restored. The shrink narrows the tool through the given
// guard, which gives it back; the restore puts back the offsets.
struct link_tool_save {
    float diameter = 0.0f;
    float corner_radius = 0.0f;
    float offsets[2] = {0.0f, 0.0f};
    int shrunk = 0;
};
link_tool_save& link_tool_saved();
void link_tool_shrink(narrowed_mill& tool);
void link_tool_restore();

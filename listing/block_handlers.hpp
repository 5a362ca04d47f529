// The block display handlers, one per tool-path block type: each turns a block that DSPBLK has
// read into its effect on the display. It updates the current position, axis and normal of DSP8,
// the modal values (DSM4, WRMB), the cycle state GCY4, the transformation TRS1, the rotation axes
// RAXN or the header data NPT1, and draws the block through the drawing routines, with tool
// instances along the move while the tool-update flag is set. Every handler sets status 0 or -1.
#pragma once

#include "toolpath/tp_blocks.hpp"

// What every handler gets besides the block's values.
struct dip_context {
    int source = 2;       // unchanged, or less 7 from 8 on (see DSPBLK)
    int mode = 1;         // display mode: 0 remove, 1 draw, 2 position only (3 for DIPBT1)
    int type = 0;         // the block type, where a handler serves several
    int number = 0;       // the block number
    int tool_update = 0;  // 1: tool instances along the move
};

// Lines and each point of a string (2, 22, 222, 7, 27, 227): the point and its vector.
void DIPB2(const dip_context& c, const point3& point, const point3& vector, int& status);
// Arcs (3, 23, 223).
void DIPB3(const dip_context& c, const tp_arc_block& arc, int& status);
// NURBS splines (5): the handler reads the block itself.
void DIPB5(dip_context& c, int& status);
void DIPB11(const dip_context& c, const tp_lathe_drill_block& block, int& status);
void DIPB13(const dip_context& c, const tp_thread_block& block, int& status);
void DIPB14(const dip_context& c, const tp_groove_block& block, int& status);

// The header (0), home (6), MACSYS rotation (9) and rotation axes (10).
void DIPBT0(const dip_context& c, const tp_header_block& header, int& status);
void DIPB6(const dip_context& c, const tp_home_block& home, int& status);
void DIPB9(const dip_context& c, const tp_macsys_rot_block& block, int& status);
void DIPB10(const dip_context& c, const tp_rotaxes_block& block, int& status);
// Draws the rotation axis of a 5-axis table through the origin along the matrix's z axis.
void rotax_display(const point3& origin, const std::array<float, 9>& matrix);

// Parameters (1): SETMOD, the line attributes of the motion kind, the UCS load, the tool change
// and the status-line field of the value.
void DIPBT1(const dip_context& c, const tp_param_block& block, int& status);

// Procedure blocks (12): reader_status is tpread_proc's (1: the procedure is blanked). Status 1
// when the procedure keeps its movements in a movement entity. DIPB12_conv serves the block
// converter: the list level, the blank attribute and the BLSK entries only.
void DIPB12(const dip_context& c, int reader_status, int& status);
void DIPB12_conv(const dip_context& c, int reader_status, int& status);

// Cycle state (30 to 36) and transformation (40). DIPB33 gets the step DSPBLK worked out.
void DIPB30(const dip_context& c, const tp_cycle_block& block, int& status);
void DIPB31(const dip_context& c, const tp_drill_loc_block& block, int& status);
void DIPB32(const dip_context& c, const tp_z_pair_block& block, int& status);
void DIPB33(const dip_context& c, float step, int& status);
void DIPB34(const dip_context& c, const tp_retract_mode_block& block, int& status);
void DIPB35(const dip_context& c, const tp_cycle_block& block, int& status);
void DIPB36(const dip_context& c, const tp_z_pair_block& block, int& status);
void DIPB40(const dip_context& c, const tp_transform_block& block, int& status);

// Half the diameter of the displayed tool (DSM4 TOOL): the step of the tool trails.
float trace_step();
// DSP8's current position, axis and normal become the previous ones, and LSP2's last point,
// direction and normal take them, before a block moves the tool.
void shift_current_to_previous();

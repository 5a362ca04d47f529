// The common of an existing procedure: loading the NC state from its procedure block when it is
// listed or edited (updtcm, CURCOM) with the edit state EDA2 and "SONH", the positions around a
// procedure block (GETPOS, PRCPOS), and the tool shown at a point (tool_inst_show). The display
// of procedures, the criteria lists and the manual editor call them.
#pragma once

#include <array>

using common_vec = std::array<float, 3>;

// updtcm's modes: 1 from the template, 2 and 3 from the tool-path list.
inline constexpr int kCommonFromTemplate = 1, kCommonFromList = 2;

// Loads the common of the procedure (procedure: its number in the procedure table; reference -1
// when the block is read from the list): the NC state from its block (modes 2 and 3) with the
// tool shown at the position before it (unless view only or NC functions 52, 53), the name and
// texts, "SONH", EDA2 as its table says and the status text "PPN4". Status 0, or the first
// failing status ("updtcm, ERRORS IN MDPUT" when the NC state cannot be saved).
void updtcm(int caller, int reference, int procedure, int mode, int view_only, int suspend, int no_questions,
            int& status);

// Reads the items of segment 24 of the procedure block at the list position back into the NC
// state, each where the block writer took it, by the switches machine (NPT1 words 19, 18, 3-5,
// 6-8, the machine-table word), machine table (PRM9 and its extension), position (DSP8),
// heights and versions (HEI8, the tool-path version) and wire data (UPW2); old_layout takes the
// first of each pair of items. Status 0, or -1 after "CURCOM, ERROR IN LIST".
void CURCOM(int machine, int machine_table, int position, int heights, int wire, int old_layout, int& status);

// The first point, first direction, last point and last direction of the procedure block at the
// list position. Status 0; -1 after "PRCPOS, CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK" or
// "PRCPOS,ERRORS IN LIST".
void PRCPOS(common_vec& first, common_vec& first_axis, common_vec& last, common_vec& last_axis, int& status);

// The positions around the procedure block at the list position: the previous point and direction
// (the last point of the procedure before it or the end of the movement block before it; none:
// no_previous 1 with NPT1's start point and (0, 0, 1)) and the next (the first point of the next
// procedure; none: no_next 1). The list position is given back on every way out. Status 0, or -1
// with "GETPOS, THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK", "GETPOS, CANNOT SET A
// MARKER" or "GETPOS, ERRORS IN LIST".
void GETPOS(common_vec& previous, common_vec& previous_axis, int& no_previous, common_vec& next, common_vec& next_axis,
            int& no_next, int& status);

// Shows the tool at the point and axis as the display instance: a tool id below 0 chooses the
// current tool first (tool_choose) and moves its instance there; otherwise the old instance is
// deleted and the tool drawn anew. Status 0, or -1 when no tool can be chosen.
void tool_inst_show(int& tool_id, const common_vec& point, const common_vec& axis, int& status);

// What the procedure display needs of the procedure block's common values: CURCOM (the common
// values of the procedure block at the current list position into the NC state), GETPOS (the
// positions around it) and tool_inst_show (the tool shown at a point). Least version until the
// driver's shared services are built: CURCOM takes the machine and position items only, GETPOS
// the previous position only.
#pragma once

#include <array>

using common_vec = std::array<float, 3>;

// The switches machine, machine table, position, heights and versions, wire data, then the
// old-layout flag. Machine: items 7 (old) / 8 into NPT1's view pointer, 9 / 10 its level, 11 / 13
// its origin, 12 / 14 its home point; position: items 5 / 6 and 27 / 28 into DSP8's position and
// axis (the axis also into the previous axis). Status 0, or -1 after "CURCOM, ERROR IN LIST".
void CURCOM(int machine, int machine_table, int position, int heights, int wire, int old_layout, int& status);

// The previous point and direction of the procedure block at the current list position: the last
// point of the procedure before it, or the end of the movement block before it; the first
// procedure of a tool path has none (no_previous 1) and takes NPT1's home point with (0, 0, 1).
// The next outputs are not searched: no_next 1. The list position is kept. Status 0, or -1 with
// "GETPOS, THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK", "GETPOS, CANNOT SET A MARKER"
// or "GETPOS, ERRORS IN LIST".
void GETPOS(common_vec& previous, common_vec& previous_axis, int& no_previous, common_vec& next,
            common_vec& next_axis, int& no_next, int& status);

// Shows the tool at the point and axis as the display instance: a tool id below 0 chooses the
// current tool first (tool_choose) and moves its instance there; otherwise the old instance is
// deleted and the tool drawn anew. Status 0, or -1 when no tool can be chosen.
void tool_inst_show(int& tool_id, const common_vec& point, const common_vec& axis, int& status);

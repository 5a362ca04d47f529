// A procedure block copied with the copy transformation or from a stored sub-list: its first and
// last points moved in place, and the items a copied block must carry. The sub-list copy calls
// them after cpbt12 has rebuilt the block.
#pragma once

#include "toolpath/copy_transform.hpp"

// Transforms items 5 and 27 (first point and direction) and 6 and 28 (last point and direction)
// of segment 24 of the procedure block at the current position, and sets item 35 to 1.
void proc_block_xform(int where, const matrix3& matrix, const point3& translation, int& status);
// A block copied from an entity into a list: item 31 := 2, items 116 and 117 := the colour and
// pen the block reader kept in DSP8 (both inserted before item 43 when 116 is missing), and item
// 107 inserted as 0 when it is missing.
void proc_block_mark_copied(int& status);

// Pocket initialisation of one region: the parameter block and the region's contours become the
// working blocks pocket_state and pocket_work, which the lane engine and the drawing read and the
// execute callback steps level by level.
#pragma once

// Largest island count of one region: the island slots of pocket_work run to kOffsetSlots.
inline constexpr int kMostIslands = 16666;

// Fills pocket_state and pocket_work for the region of island_count islands whose gathered
// contour ids are in island_ids (room for one more: the outer contour id is stored after them).
// Status 0; -1 with "NPKINI, TOO MANY CONTOURS" for more than 16666 islands, or with "NPKINI,
// WRONG CONTOUR NUMBER" for a contour id outside the contour table. Reads drelan_params_current,
// the gathered offsets and draft angles and the draft-present flag of contour_table_block,
// pocket_words_block.outer_contour and the current tool (pocket_work.tool_radius, see
// pocket_tool_radius.hpp); resets the entry-point list.
void NPKINI(int island_count, int* island_ids, int& status);

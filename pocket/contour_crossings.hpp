// The crossing check of the pocket's contours: a contour that crosses or touches itself (a
// bow-tie, or a chain whose curves come from two loops and run back along themselves), or two
// contours whose boundaries cross (an island across the outer contour's wall, one part inside
// and one outside), bound no pocket. The start-side check of the pocket dialog and the execute
// callback refuse such contours before anything is cut. Contours that only touch, lie apart or
// lie one inside the other (islands, nested regions) pass.
#pragma once

// Checks the gathered contours. Status 0, or -1 after one error line in the message window per
// fault, naming the contours by their numbers: "CONTOUR 2 CROSSES ITSELF", "CONTOURS 1 AND 3
// CROSS EACH OTHER". Reads contour_table_block (gathered count), contour_gathered_buf and
// drelan_params_current (code 25, the contour tolerance).
void contour_crossings_check(int& status);

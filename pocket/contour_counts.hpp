// How many contours of the pocket's contour table are part contours and stock contours; the
// contour ordering of the pocket and the lane engine's contour checks ask.
#pragma once

// Contours whose part/stock word is 1 (part) or 2 (stock); 0 for an empty table.
int count_contours_type1();
int count_contours_type2();

// Orientation of the pocket's contours and their signed offsets. The parameter reader calls
// contour_offsets_signed when an older procedure block is read, before any region is prepared.
#pragma once

// Orientation (+1 counter-clockwise, -1 clockwise) of the count contours whose records lie one
// after another in the pocket's contour wire buffer, from their polygons in the current polygon
// buffer; a clockwise contour's value is negated. Status -1 for a record that cannot be measured,
// an empty polygon or an undecided orientation, else the polygon buffer's failure.
void orient_contours(int count, float* values, int* orientation, int& status);
// values[k - 1] becomes the signed offset of contour k: its oriented value for the outer contour,
// the negated one for an island, minus the common value.
void contour_offsets_signed(int count, int* orientation, int outer, float* values, float common, int& status);

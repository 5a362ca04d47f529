// The current tool drawn as a symbol at a point (SHOWTL), for the entry points of the pocket and
// the display points before execution; and the frame of a tool axis that the tool display shares.
#pragma once

// Rows x, y and z of a right-handed frame whose z row is the unit axis; false for an axis of no
// length (the matrix is then untouched).
bool tool_axis_frame(const float (&axis)[3], float (&matrix)[9]);

// Draws the current tool (PRM9) as a temporary figure at the point: the circle of its radius
// square to the axis and the axis over one diameter (a tool that cannot be read is drawn with a
// radius of 1). Every symbol kind is drawn alike. figure: the figure id, -1 on failure. Status 0,
// or -1 with "SHOWTL, ERRORS IN CALCULATING TOOL ORIENTATION MATRIX" for an axis of no length.
void SHOWTL(int kind, const float (&point)[3], const float (&axis)[3], int& figure, int& status);

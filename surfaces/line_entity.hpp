// Line entities made by the module (LINE), as the pocket's contour records use them (with the
// data doubles of a curve, tools/edata_double_access.hpp) to put a straight piece in place of a curve that
// leaves its working plane.
#pragma once

// Creates a line entity (class 1, type 1) from the first to the second point and answers its id.
// The points are taken in the model system. Status 0; -1 with "LINE: ERROR IN ESTORE" when the
// entity cannot be made, or "LINE: ERROR IN EOPEN" when its geometry cannot be written (the
// half-made entity is deleted).
void LINE(int& id, const double (&first)[3], const double (&second)[3], int& status);

// Line entities made by the module (LINE) and the data doubles of a curve (edata_double_access),
// as the pocket's contour records use them to put a straight piece in place of a curve that
// leaves its working plane. Least version: the surface access completes the geometry access
// and replaces this file, keeping these names.
#pragma once

// Creates a line entity (class 1, type 1) from the first to the second point and answers its id.
// The points are taken in the model system. Status 0; -1 with "LINE: ERROR IN ESTORE" when the
// entity cannot be made, or "LINE: ERROR IN EOPEN" when its geometry cannot be written (the
// half-made entity is deleted).
void LINE(int& id, const double (&first)[3], const double (&second)[3], int& status);

// Mode 1 reads, mode 2 writes the three data doubles the host keeps beside curve entity id (a
// line's parameter range 0, L and its length L). Status 0, or the host's negative status.
void edata_double_access(int mode, int id, double (&values)[3], int& status);

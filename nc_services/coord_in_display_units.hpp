// coord_in_display_units: one coordinate of a point as the user reads it, measured from the tool
// path's origin (NPT1) in the display unit of the current NC function. The gouge and entry-point
// warnings (warn_at_point) and the cutter location call it.
#pragma once

// Coordinate `index` (0 x, 1 y, 2 z) of a point less the same coordinate of the tool path's
// origin (another index subtracts nothing), divided by the display unit's length in millimetres
// (host getunt) when the function has a display unit (host nu_sgcd_find_unit).
// Reads NPT1.
double coord_in_display_units(int index, float value);

// coord_in_display_units, least version: one coordinate of a point as the user reads it, measured
// from the tool path's origin (NPT1). The display-unit factor of the host's current unit is not
// applied yet (the host stand-in has no display unit, so values stay in the part's unit); the
// approach and retract moves complete this file.
#pragma once

// Coordinate `index` (0 x, 1 y, 2 z) of a point less the same coordinate of the tool path's
// origin; another index subtracts nothing. Reads NPT1.
double coord_in_display_units(int index, float value);

// Hatch-line clearing of a pocket region as the pocket execution calls it: the hatch polygons of
// the current level (tkpolg), the clearing passes as motions (clear_passes_out) and the release of
// the clearing engine's array (clrcls). Least version until the hatch clearing is built: each
// answers status 0 and writes nothing. The hatch clearing replaces this file, keeping these names.
#pragma once

// Builds the region of the current level for hatch clearing, rotated by the hatch angle
// (radians), with the second hatch angle, the direction sign, the linking mode and the hatch
// option. Status 0 or negative.
void tkpolg(float angle, float second_angle, int sign, int linking, int option, int& status);
// Writes the clearing passes as motions at the current level: hatch angle, height and the passes
// option. Status 0 or negative.
void clear_passes_out(float angle, float height, int option, int& status);
// Closes the clearing engine's dynamic array when open. Status 0 or negative.
void clrcls(int mode, int& status);

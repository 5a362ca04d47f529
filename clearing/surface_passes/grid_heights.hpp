// Grid heights along a hatch segment: the tool dropped at every column of the
// clearing height grid that the segment passes, its height stamped into the
// grid cell. One of the string methods of the surface pass loop.
#pragma once

// Heights of the clearing height grid.
inline constexpr float kGridNoSurface = -1.0e8f;  // no surface under the tool
inline constexpr float kGridCovered = 1.0e8f;     // a covered cell
inline constexpr float kGridNotActive = -1.0e9f;  // deviation mode without the string routine
inline constexpr float kGridLowSide = -1.0f,
                       kGridHighSide = 1.0f;  // the sides of the grid drop

// Outcome: a sample without a result between two stamped ones.
inline constexpr int kGridGap = 1;

// Samples the segment A..B (x, y in the grid's frame; laid in the hatch
// direction of hatch_angle) at the grid's columns, all at A's y, and stamps
// each sample's height: first the part surfaces (all kinds but the grid-line
// kinds) into the cells' first values, then, for method 5 with the cover word 1
// and a pass option other than 3, the cover kinds into their second values. A
// cell size of 0 or less samples nothing. Status negative from a drop or a
// stamp, kGridGap (except under machining type 29), else 0. Reads clear_block's
// grid, the curve approximation words, the procedure code and the machining
// type; leaves the surface kind mask at the part surfaces' kinds.
void segment_grid_heights(const float* a, const float* b, float hatch_angle, int& status);

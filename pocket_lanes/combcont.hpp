// The offset search on surfaces: the planar offset at which the tool, dropped onto the surfaces
// at every offset point, moves by the wanted distance where it moves least (combcont), and one
// offset point on the surfaces (offset_point_on_surface). The contour combination of the offset
// step asks combcont when a lane is offset over surfaces.
#pragma once

// Status of a memory failure of the search (the lane engine's code).
inline constexpr int kCombcontMemory = 11;
// Placements of all points a search makes at most after the first.
inline constexpr int kCombcontPlacements = 20;

// The point + offset x direction (x, y doubles) dropped onto the surfaces with the line-net
// tolerance of linnet_params_block.net_limit: location and normal (three doubles each; the
// normal (0, 0, 1)). Status 0 when the tool could be placed, 1 when nothing lies under it,
// negative on a failure.
void offset_point_on_surface(double offset, const double* point, const double* direction, double* location,
                             double* normal, int& status);

// The planar offset for the n points and their unit directions (x, y doubles) at which the
// smallest 3-D move of the placed points reaches `target` within eps = min(tolerance, 0.01):
// bracketed from the first trial (the hint when above 0 and not above the target, else the
// target; never below `least`) by growing it, then halved. Never above `largest` (a bracket that
// passes it ends there) nor below `least`. With no point placed the first trial is the result.
// Status 0; a failed host array gives kCombcontMemory; "combcont,Close dynamic memory error"
// when the work arrays cannot be given back.
void combcont(double tolerance, int n, const double* points, const double* directions, double target, double least,
              double largest, double hint, double& result, int& status);

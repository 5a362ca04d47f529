// Walking a lane point across the surface grid: drop_lane_on_grid moves a point along the surface
// by a distance at right angles to the lane's tangent, the 3-D counterpart of offsetting a
// contour point sideways. The lane engine's 3-D branches call it through the surface grid seams
// (mode 0, single points); the 3-D segment offset calls it in mode 1.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// The walk's switch of its steepness check (mode 1): on at load; set by grid_drop_check_set,
// cleared by a walk whose check fires.
struct grid_walk_state {
    int check = 1;
};
extern grid_walk_state grid_walk_block;

// Modes of drop_lane_on_grid: 1 checks the start's steepness and writes the normal and
// direction; the lane engine passes 0, the 3-D lane offset 2 or 3 (as 0, but a limit ends the
// walk as a failure).
inline constexpr int kDropPlain = 0;
inline constexpr int kDropChecked = 1;
// Status of a start triangle too steep across the tangent (mode 1 with the check on).
inline constexpr int kDropSteepStart = -3;

void grid_drop_check_set(int value);

// Walks from the start (record[0..2], pocket coordinates; its height is taken from the surface
// under it) along the surface for the distance (counted in XY alone while the one offset makes a
// contour's first offset: pocket_work.contour_offset_in_plane), in the upright plane square to
// the unit tangent's XY part, on the side of tangent x normal, and writes the point reached into
// record[3..5]; in mode 1 also the last triangle's unit normal into record[6..8] and the last
// walking direction into record[9..11]. With a path (dimension 3 or 4), the start, every point
// where the walk crosses a triangle border and the end are appended. Status 0; -1 for a start off
// the grid (with get_grid_index's message), a path that cannot take a point, or, in modes 1 to 3,
// a walk ended by its step limit before the distance (the point reached is written); -3 for a
// steep start in mode 1 with the check on (the check is cleared and nothing is written); a
// tangent without an XY part gives v2untd's status. A walk that would leave the grid's cells or
// its surface ends at the last point reached with status 0. Reads surface_grid_block (cells,
// shift), grid_walk_block and pocket_work.contour_offset_in_plane.
void drop_lane_on_grid(int mode, double* record, const double* tangent, double distance, pokarr* path, int& status);

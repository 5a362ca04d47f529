// The region the links of the lane drawing may cross below the top of the material: the contours
// of the pocket, each with the distance the lanes keep from it. DRAWPK builds it when a level
// starts and forgets it when the level ends; the point mover's approaches and the entries of a
// level ask link_height how high their way over to the next point must go, so that a link, an
// approach or a change of level whose usual height lies below the top of the islands and walls
// passes over them at the top instead of through them.
#pragma once

#include "pocket_arrays/way_region.hpp"

// The drawing's region (empty outside DRAWPK).
way_region& link_region();

// Adds to the region the lane table's closed contour rows, as link_region_build takes them. Status
// 0 or the point store's negative status. The lanes laid on the part surface keep them too.
void contour_region_fill(way_region& region, int& status);

// Fills the region from the lane table's closed contour rows: each contour stepped into points
// (arcs within a quarter of pocket_work.tolerance, every chord on the region's side, so that the
// polygon holds the whole material), with the clearance its lanes keep: its offset at the
// current level or at the top, whichever is larger under a draft, plus the extra offset the lanes
// were computed with and the first offset. Status 0 or the point store's negative status. Reads
// lane_table_block, pocket_work (offsets, taper, lanes_extra_offset, first_offset, tolerance) and
// pocket_state (current_z, first_level_z, z_step, order_flag).
void link_region_build(int& status);

// Forgets the region.
void link_region_forget();

// Whether the region lies on the left of the engine's lanes as the drawing reads them (forward
// with pocket_state.order_flag, else backward): the engine keeps the region on one side of all
// its lanes, and its lane of the largest area bounds the region from outside, so its turning
// sense tells the side. Found when the region is built; true while it is empty.
bool link_region_lanes_left();

// The height of the way from the tool's position (DSP8) over to `to` (x, y) whose usual height
// is `usual`: usual where it is not below the top of the material (pocket_state.first_level_z +
// z_step) or the straight way stays in the region within pocket_work.tolerance, else the top;
// usual while the region is empty (outside the drawing).
double link_height(const double* to, double usual);

// The region a pocket's lanes leave to be cleaned, as closed polygons of the current polygon
// buffer (every stored arc stepped into points), and the contour check word the cleaning step
// reads. Called by the lane engine's area-cleaning step and by the hatch clearing.
#pragma once

// Fills the current polygon buffer with one polygon per live output lane of the lane table
// (status 1, level other than 9999, with points), from the last lane down to the engine's first
// output lane, each lane's points in reverse order and its arcs stepped within d, their chords on
// the region's side (lane_arc_points.hpp). With the reduced-tool flag set, the current tool is
// narrowed by d for the time of the build. Status 0 when a polygon was built, 1 when none was, or
// the polygon buffer's or the array copy's negative status. Reads lane_table_block,
// pocket_box_block, PRM9 and the reduced-tool flag.
void build_clean_region(float d, int& status);

// Whether the region of the live output lanes lies on their left: the lane of the largest area
// bounds it from outside (every other lane lies inside such a lane), so it does when that lane
// runs counter-clockwise. True when there is no lane. Status 0, or the array copy's negative
// status. Reads lane_table_block and pocket_box_block.
bool lanes_region_left(int& status);

// The contour check word (pocket_words_block.contour_check).
void get_contour_check_flag(int& value);

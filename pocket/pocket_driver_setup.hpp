// The steps by which the pocket engine computes a pocket path for another caller's contours,
// given as point lists: the engine state saved and restored around the run, set up for the
// caller's contours (contour_box, in pocket_arrays/pocket_prepare.hpp, loads each contour), and
// the finished lanes collected as point strings.
#pragma once

// Mode 1 copies pocket_work, pocket_state and the engine contour tables into the save area; any
// other mode copies them back.
void save_restore_pocket(int mode);

// Sets pocket_state and pocket_work for a 2-D pocket of the caller's contours: the tool radius
// from the current tool (pocket_tool_radius.hpp) and the side step equal to it, the tolerance,
// the restart point (0, 0); level value i into the offset slot of contour i (slot 1, then 10001,
// 10002, ...); the direction switch 0, 1, 2 into the offsets mode -1, 1, -2 (others leave it);
// first-level Z and current Z from the tool-path header's home Z (NPT1 word 8); the minimum value
// the start value when the flag is set, else 0. Status 0; -1 for a level count outside 0 .. 16667 or no values.
void init_pocket_globals(int direction_switch, int has_start, float start_value, float tolerance, int level_count,
                         const float* level_values, int& status);

// The live output lanes (status 1, level other than 9999, with points) from the last lane down
// to the engine's first output lane, each as one string of x, y float pairs written from its end
// to its start, arcs stepped within the tolerance, their chords on the region's side. strings: on
// entry the room of the per-string counts, on return the strings written; counts[s] the point
// count of string s. Status 0; 1 when no string was produced; -10 when the strings pass their
// room; -11 when the points would pass point_capacity (the points written stay); -1 when a work
// array cannot be opened, grown or closed.
void pocket_path_collect(float tolerance, int point_capacity, float* points, int& strings, int* counts, int& status);

// The clearing block of hatch-line clearing: the parameters and working state the hatch engine
// shares, the hatch frame, the clearing height grid, and the clearing point list that the pass
// linkers fill and the level writer replays at every Z level. tkpolg sets the parameters at every
// rebuild; clrcls releases the list (and the contour rings that came with it).
#pragma once

#include "pocket_arrays/way_region.hpp"

struct hatch_segment;
struct hatch_end;

// One point of the clearing point list, in the part's XY plane.
struct clearing_point {
    float code;  // kPassStart, kLaterLevelStart or a cutting point (1)
    float x, y;
    clearing_point* next;  // null at the end
};

// Codes of the clearing point list.
inline constexpr float kPassStart = -1.0f;        // retract, then come down to the point
inline constexpr float kLaterLevelStart = -2.0f;  // a pass start on every level but the first
inline constexpr float kCutPoint = 1.0f;

// Handle of an array that is not open.
inline constexpr int kClearClosed = -1;

struct clear_state {
    int direction = 1;       // code 39: 1 sorts hatch points by rising abscissa; also the first walk direction
    int linking_mode = 1;    // code 24: 1 pass linking (zigzag), otherwise region linking
    float side_step = 0.0f;  // code 26: distance between hatch lines
    float tolerance = 0.0f;  // code 25
    float cos = 1.0f;        // the hatch angle's cosine and sine
    float sin = 0.0f;
    int state_word = 0;  // 0 for every level
    int previous_end_valid = 0;
    // The previous level's end point in the hatch frame (when valid); otherwise the linkers' own
    // reference point.
    float previous_end[2] = {0.0f, 0.0f};
    int contour_link = 1;  // code 259, read by the region linking
    int point_list_handle = kClearClosed;
    clearing_point* point_head = nullptr;
    clearing_point* point_last = nullptr;    // where the next point is linked
    clearing_point* point_cursor = nullptr;  // the replay position
    // Under the surface clearing the linkers hand each pass to the surface pass engine as it ends:
    // the pass start of the pass being built (null once handed over) and the passes written.
    clearing_point* pass_head = nullptr;
    int surface_passes = 0;
    int segment_handle = kClearClosed;  // record array of the hatch segments of one run
    hatch_segment* segment_head = nullptr;
    hatch_segment* segment_last = nullptr;
    int first_paired_contour = 0;  // contour of the first hatch point of the last paired line
    int walk_state = 0;
    // Threshold of the pass linker's contour links; no operation of this module sets it.
    float tool_size = 0.0f;
    // Clearing height grid: cell sizes, centre of cell (0, 0), cells per row and rows, two floats
    // per cell row after row, and the bound value (0; no operation of this module changes it).
    float cell_size[2] = {0.0f, 0.0f};
    float grid_origin[2] = {0.0f, 0.0f};
    int columns = 0;
    int rows = 0;
    float* cells = nullptr;
    double bound = 0.0;
    // Height of the surface functions (codes 34 and 38) that raises their approach distance;
    // -1e10 none, and no operation of this module sets it.
    double reference_height = -1.0e10;
    // The region the point list clears, in the part's plane (clear_region.hpp): the polygons of
    // the tool-centre boundary, each with no clearance of its own.
    way_region region;
};

extern clear_state clear_block;

// (x, y) turned by the pair (c, s): x' = x c + y s, y' = y c - x s. With (cos t, sin t) a part
// point goes into the hatch frame of angle t; with (cos t, -sin t) it comes back.
inline void hatch_turn(float c, float s, float x, float y, float& xt, float& yt)
{
    xt = x * c + y * s;
    yt = y * c - x * s;
}

// Copies the parameters into clear_block and sets the state word to 0; the end point (hatch
// frame) only when the flag is not 0.
void set_clear_params(int direction, int linking_mode, float side_step, float tolerance, float c, float s,
                      const float* previous_end, int previous_end_valid, int contour_link);

// Mode 1 closes the point list's array when it is open, and the contour rings with it; every
// mode marks the list closed and forgets its region. Status 0, or -1 with "clrcls, CLOSE DYNAMIC
// MEMORY ERROR" when the host refuses (the list is marked closed anyway).
void clrcls(int mode, int& status);

// Opens the point list's record array, empty (a list still open is closed first). 0, or -1
// when the host refuses.
int clr_points_open();
// Appends a point given in the hatch frame (stored turned back); the first point of an empty
// list gets kPassStart whatever code is passed. 0, or -1 when no record can be had.
int clr_add_point(float x, float y, float code);
// 1 while the point list's array is open.
int clr_points_are_open();

// The replay cursor: rewind to the first point, read the point under it and step on, and 1 at
// the end of the list.
void clr_point_rewind();
void clr_point_next(float& code, float& x, float& y);
int clr_point_end();

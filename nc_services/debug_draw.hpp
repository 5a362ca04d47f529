// Debug drawing of the motion output: polygons as temporary figures in cycling colours
// (draw_polygons, which the polygon buffers and the line-net touch code call) and point runs as
// curve entities or figures (curve_ent_show, used by the loop path, the pocket lanes and the
// manual editor), with the colour and line font of the next run.
#pragma once

struct debug_draw_state {
    int polygon_colour = 0;  // colour of the last draw_polygons; advanced before each call
    int polygon_figure = 0;  // its figure id
    int colour = 1;          // colour of curve_ent_show
    int font = -1;           // line font of curve_ent_show, -1: none set
};
extern debug_draw_state debug_draw_block;

// Runs of more points are not made into an entity.
inline constexpr int kCurveShowMaxPoints = 1000;
inline constexpr int kCurveShowTooLong = -2;

// Draws count polygons (counts[k] x, y pairs each, one after another) closed at height z, as one
// temporary figure in the next colour (1 to 15, then 1 again).
void draw_polygons(int count, const int* counts, const float* xy, float z, int& status);
// Shows n points (x, y, z with dimension 3, else x, y at height z): mode 0 as a polyline entity
// mapped to the work plane, with the colour and font (or the host's model attributes when the
// selector word of linnet_params is 3), displayed; other modes as a temporary figure. With
// `advance` the colour moves on first. id answers the entity (or the figure). Status -2 for an
// entity of more than 1000 points, -1 when it cannot be made.
void curve_ent_show(int dimension, int advance, int mode, int n, const float* points, float z, int& id, int& status);
void set_curve_show_colour(int colour);
void set_curve_show_font(int font);

// The part surface as a height field sampled on a uniform XY grid: the surface that the lane
// engine's loops on the part (pocket arrays of dimension 3 and 4) are walked, projected and
// offset over (clearing/surface_lanes/). Each cell is split by one diagonal into two triangles.
// The module only reads the grid; the part's height grid or mesh fills it when a pocket on a
// surface starts (the surface sources in this folder).
#pragma once

#include <vector>

// A node height at or beyond this magnitude (either sign) marks a node without surface.
inline constexpr float kGridNoSurfaceHeight = 1.0e7f;

// Values of the lane-on-part projection kept with the grid, in single precision as the projection
// reads them: the cell size, the origin and the current tool's diameter, corner radius and third
// shape value. The grid's loader sets them.
struct grid_projection_values {
    float cell_size = 0.0f;
    float x0 = 0.0f;
    float y0 = 0.0f;
    float tool_diameter = 0.0f;
    float corner_radius = 0.0f;
    float tool_third = 0.0f;
};

// Settings of the walks, projections and offsets over the grid that nothing in the module sets.
// Each starts at 0, and 0 is the documented "off" of its routine, or its default where said.
struct surface_grid_settings {
    double sampling_step = 0.0;      // segment offset: sample spacing (0: four cells)
    double append_spacing = 0.0;     // piece append: spacing of repeated points (0: none marked)
    double spike_length = 0.0;       // spike clean-up: length bound of a spike
    double densify_threshold = 0.0;  // lane projection mode 3: spacing above which it densifies
    double corner_fill_step = 0.0;   // 3-D offset: step of a corner fill (0: by the pocket's tolerance)
    double thinning_factor = 0.0;    // 3-D offset: thinning tolerance per offset (0: no thinning)
};

// The one surface grid of the module.
struct surface_grid {
    double x0 = 0.0;  // world position of node (0, 0)
    double y0 = 0.0;
    double h = 0.0;                     // cell size: cells are square
    int nx = 0;                         // nodes per row
    int ny = 0;                         // rows; no cell exists unless nx >= 2 and ny >= 2
    std::vector<float> heights;         // node (col, row) at nx * row + col; kGridNoSurfaceHeight marks a hole
    float base_height = 0.0f;           // drawn under corners without surface by the grid's debug display
    double shift[3] = {0.0, 0.0, 0.0};  // added to a pocket point to get grid coordinates
    unsigned generation = 0;            // raised by every load, so that cached cell records reload
    grid_projection_values projection;
    surface_grid_settings settings;
};

extern surface_grid surface_grid_block;

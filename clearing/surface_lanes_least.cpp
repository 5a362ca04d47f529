// Lanes on the surface grid, least version: no grid, so every projection fails.
#include "clearing/surface_lanes_least.hpp"

surface_lanes_state surface_lanes_block;

void grid_drop_check_set(int value) { surface_lanes_block.grid_drop_check = value; }

void lan_on_grid(int mode_a, int mode_b, pokarr& array, double step, int& status)
{
    static_cast<void>(mode_a);
    static_cast<void>(mode_b);
    static_cast<void>(array);
    static_cast<void>(step);
    status = kGridNoSurface;
}

void drop_lane_on_grid(int mode, double* point, const double* direction, double length, pokarr* array,
                       int& status)
{
    static_cast<void>(mode);
    static_cast<void>(point);
    static_cast<void>(direction);
    static_cast<void>(length);
    static_cast<void>(array);
    status = kGridNoSurface;
}

void draw_lane_3d(int mode, const double* from, const double* to, int& work, int& status)
{
    static_cast<void>(mode);
    static_cast<void>(from);
    static_cast<void>(to);
    static_cast<void>(work);
    status = kGridNoSurface;
}

void link_pass_strings(const pass_link& /*pass*/, int /*link_mode*/, int& status) { status = -1; }

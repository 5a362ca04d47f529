// The table of lanes on the surface grid (see the header).
#include "pocket_lanes/moves/surface_grid_seams.hpp"

surface_grid_seams& surface_grid_seam_table()
{
    static surface_grid_seams table;
    return table;
}

// The module's one surface grid: empty until a surface source loads it.
#include "surfaces/surface_grid.hpp"

surface_grid surface_grid_block;

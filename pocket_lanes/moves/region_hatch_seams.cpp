// The table of the region hatching (see the header).
#include "pocket_lanes/moves/region_hatch_seams.hpp"

region_hatch_seams& region_hatch()
{
    static region_hatch_seams table;
    return table;
}

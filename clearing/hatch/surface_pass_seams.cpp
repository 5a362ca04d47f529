// The table through which the hatching calls the surface pass engine (see the header).
#include "clearing/hatch/surface_pass_seams.hpp"

surface_pass_seams& surface_pass_seam_table()
{
    static surface_pass_seams table{};
    return table;
}

// The one table of the kernel's surface services.
#include "pocket_arrays/surface_offset_seams.hpp"

surface_offset_seams& surface_offset_seam_table()
{
    static surface_offset_seams table;
    return table;
}

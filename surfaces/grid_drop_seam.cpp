// The alternative grid drop's table (see the header).
#include "surfaces/grid_drop_seam.hpp"

grid_drop_services& grid_drop_service_table()
{
    static grid_drop_services table;
    return table;
}

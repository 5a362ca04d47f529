// The table of the gap services (see the header).
#include "edit/editor/gap_services.hpp"

gap_services& gap_service_table()
{
    static gap_services table{};
    return table;
}

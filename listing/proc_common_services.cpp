// The table of the driver's procedure services that the listing calls.
#include "listing/proc_common_services.hpp"

proc_common_services& proc_common_service_table()
{
    static proc_common_services table{};
    return table;
}

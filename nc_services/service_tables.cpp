// The service tables of the motion output and the break checks, filled by the folders that own the services when the
// module is loaded.
#include "nc_services/display_services.hpp"
#include "nc_services/exec_menu_services.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/proc_select_services.hpp"

display_services& display_service_table()
{
    static display_services table{};
    return table;
}

mill_services& mill_service_table()
{
    static mill_services table{};
    return table;
}

exec_menu_services& exec_menu_service_table()
{
    static exec_menu_services table{};
    return table;
}

proc_select_services& proc_select_service_table()
{
    static proc_select_services table{};
    return table;
}

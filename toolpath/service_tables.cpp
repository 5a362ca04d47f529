// The service tables of the motion output (filled by the folders that own the services when the
// module is loaded) and the report of an entry left empty.
#include "toolpath/display_services.hpp"
#include "toolpath/mill_services.hpp"
#include "toolpath/proc_select_services.hpp"
#include "toolpath/seam_call.hpp"

#include "host/vantu_messages.hpp"

#include <string>

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

proc_select_services& proc_select_service_table()
{
    static proc_select_services table{};
    return table;
}

void seam_missing(std::string_view name)
{
    eroutc(std::string(name) + ", SERVICE NOT INSTALLED", 0);
}

// Modal tables and the main-procedure fetch, least version (see the header).
#include "driver/relations_least.hpp"

#include "host/vantu.hpp"

void modal_tables_init(int& status)
{
    nu_modl_init(kModalTableMachine, {}, status);
    if (status == 0) nu_modl_init(kModalTableTool, {}, status);
}

void modal_tables_release(int& status)
{
    int second = 0;
    nu_modl_rels(kModalTableMachine, status);
    nu_modl_rels(kModalTableTool, second);
    if (status == 0) status = second;
}

void main_params_fetch(int& status)
{
    rel_nc_refresh_symb_tab(status);
}

// Template-flag wrappers over the host's procedure manager.
#include "nc_services/template_flags.hpp"

#include "host/vantu.hpp"

void template_flag_clear()
{
    if (is_create_from_template())
        set_ManageTp_TemplateFlag(0);
    else if (is_read_singlePROC())
        set_Proc_Oper_TemplateFlag(0);
}

int is_template_active() { return get_TP_TemplateFlag() != 0 || get_ManageTp_TemplateFlag() != 0 ? 1 : 0; }

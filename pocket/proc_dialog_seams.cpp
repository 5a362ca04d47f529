// The table of procedure dialog services (see the header).
#include "pocket/proc_dialog_seams.hpp"

proc_dialog_services& proc_dialog_seams()
{
    static proc_dialog_services services;
    return services;
}

// The table of hatch-line services (see the header).
#include "pocket/hatch_line_seams.hpp"

hatch_line_services& hatch_line_seams()
{
    static hatch_line_services services;
    return services;
}

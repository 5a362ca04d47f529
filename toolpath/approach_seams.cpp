// The table of approach services (see the header).
#include "toolpath/approach_seams.hpp"

approach_services& approach_seams()
{
    static approach_services services;
    return services;
}

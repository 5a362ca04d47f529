// The table of editing services (see the header).
#include "driver/edit_seams.hpp"

edit_services& edit_seams()
{
    static edit_services services;
    return services;
}

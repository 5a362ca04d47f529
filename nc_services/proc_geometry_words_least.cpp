// The procedure's geometry words, least version (see the header).
#include "nc_services/proc_geometry_words_least.hpp"

proc_geometry_words& proc_geometry()
{
    static proc_geometry_words words;
    return words;
}

void proc_geometry_reset() { proc_geometry() = proc_geometry_words{}; }

// The next hatch ordinate by scallop height, least version: no surface clearing, no ordinate.
#include "clearing/surface_passes/pass_height_least.hpp"

void pass_height_at_point(float /*lower_bound*/, float /*high*/, const hatch_points& /*points*/, int /*count*/,
                          float& /*ordinate*/, int& status)
{
    status = -1;
}

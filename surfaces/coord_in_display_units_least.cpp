// coord_in_display_units, least version (see the header).
#include "surfaces/coord_in_display_units_least.hpp"

#include "driver/nc_state_blocks.hpp"

double coord_in_display_units(int index, float value)
{
    double shown = value;
    if (index >= 0 && index <= 2) shown -= NPT1().real(tp_header_state::kMacsysOrigin + index);
    return shown;
}

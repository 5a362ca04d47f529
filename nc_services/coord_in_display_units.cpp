// coord_in_display_units (see the header).
#include "nc_services/coord_in_display_units.hpp"

#include "host/vantu_tpdisplay.hpp"
#include "nc_services/nc_state_blocks.hpp"

double coord_in_display_units(int index, float value)
{
    double shown = value;
    if (index >= 0 && index <= 2) shown -= NPT1().real(tp_header_state::kMacsysOrigin + index);
    if (nu_sgcd_find_unit() == 0) return shown;
    int unit = 0;
    float factor = 1.0f;
    getunt(unit, factor);
    return factor > 0.0f ? shown / factor : shown;
}

// The projection switch and the surface-kind mask, least version (see the header).
#include "nc_services/srf_switches_least.hpp"

namespace {

struct srf_switches {
    int projection = 0;
    unsigned mask = kAllSurfaceKinds;
};

srf_switches& switches()
{
    static srf_switches s;
    return s;
}

}  // namespace

void srf_state_2_to_4(int& status)
{
    switches().projection = 1;
    status = 0;
}

void srf_state_4_to_2(int& status)
{
    switches().projection = 0;
    status = 0;
}

int srf_projection_on() { return switches().projection; }
void get_srf_kind_mask(unsigned& mask) { mask = switches().mask; }
void set_srf_kind_mask(unsigned mask) { switches().mask = mask; }

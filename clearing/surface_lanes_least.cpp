// Lanes on the part surfaces, least version: no part surfaces, so every projection fails.
#include "clearing/surface_lanes_least.hpp"

void lane_on_srf(int option_a, int option_b, int option_c, const pokarr& lane, pokarr& result, double value_a,
                 double value_b, int& status)
{
    static_cast<void>(option_a);
    static_cast<void>(option_b);
    static_cast<void>(option_c);
    static_cast<void>(lane);
    static_cast<void>(result);
    static_cast<void>(value_a);
    static_cast<void>(value_b);
    status = kNoPartSurfaces;
}
void draw_lane_3d(int mode, const double* from, const double* to, int& work, int& status)
{
    static_cast<void>(mode);
    static_cast<void>(from);
    static_cast<void>(to);
    static_cast<void>(work);
    status = kNoPartSurfaces;
}

void link_pass_strings(const pass_link& /*pass*/, int /*link_mode*/, int& status) { status = -1; }

// Lanes on the part surfaces, least version: no link of pass strings yet.
#include "clearing/surface_lanes_least.hpp"

void link_pass_strings(const pass_link& /*pass*/, int /*link_mode*/, int& status) { status = -1; }

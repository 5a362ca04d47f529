// The surface-pass engine's one working state, zero at load but for the link flag.
#include "clearing/surface_services/surface_pass_state.hpp"

surface_pass_state surface_pass;

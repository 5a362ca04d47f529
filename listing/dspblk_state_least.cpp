// dspblk_init_state, least version (see the header).
#include "listing/dspblk_state_least.hpp"

namespace {
int g_source_mode = 0;
}  // namespace

void dspblk_init_state(int source_mode) { g_source_mode = source_mode; }
int dspblk_source_mode() { return g_source_mode; }

// Solid check: decides whether store and execute follow (go word). This version always lets
// them follow and leaves the status as it came; the solid-update question and the
// pre-execution questions join it later.
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"

void proc_check_solid([[maybe_unused]] int& status, int& go) { go = kGoOn; }

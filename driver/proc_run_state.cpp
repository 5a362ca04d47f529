// The driver's run words, in zero-filled static storage.
#include "driver/proc_run_state.hpp"

#include "driver/nc_state_blocks.hpp"

proc_run_state proc_run;

int eda2_word(int n) { return EDA2().word_no(n); }

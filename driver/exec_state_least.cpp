// Least version of the execution menu after a display break (see the header).
#include "driver/exec_state_least.hpp"

void exec_pause_menu(int mode) { (void)mode; }

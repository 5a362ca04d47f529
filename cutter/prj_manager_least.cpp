// The projection-manager switch, least version (see the header).
#include "cutter/prj_manager_least.hpp"

namespace {
int& mode_word()
{
    static int mode = kProjectionOff;
    return mode;
}
}  // namespace

void prj_manager_set(int mode) { mode_word() = mode; }
int prj_manager_mode() { return mode_word(); }

// The clearing mode word, least version (see the header).
#include "toolpath/clear_mode_least.hpp"

int& clear_mode()
{
    static int mode = 0;
    return mode;
}

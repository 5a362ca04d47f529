// A stand-in module for the runner tests: it asks the same menu until the host ends the run, so
// the runner's handling of an exhausted script can be seen.
#include "host/vantu_interact.hpp"

extern "C" int drelan_attach(int) { return 1; }

extern "C" void drelan()
{
    for (int asked = 0; asked < 1000; ++asked) {
        int choice = 0;
        menuc("CONTINUE@STOP", choice);
        if (choice == 2) return;
    }
}

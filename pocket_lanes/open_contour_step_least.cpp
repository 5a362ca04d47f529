// The step test of the open-string walk (step_usable_test, declared in open_strings.hpp). Least
// version until the open-contour step tests are built: every sample is usable (code 0, status 0).
#include "pocket_lanes/open_strings.hpp"

void step_usable_test(int /*direction_sign*/, double /*x*/, double /*y*/, double /*z*/, double /*clearance*/,
                      int /*index*/, double /*fraction*/, int& code, int& usable, int& status)
{
    code = 0;
    usable = 1;
    status = 0;
}

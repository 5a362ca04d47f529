// check_display_break and set_display_countdown (see the header).
#include "nc_services/display_break.hpp"

#include "host/vantu_interact.hpp"

namespace {
constexpr int kSpace = 32;
constexpr int kNoKey = -1;
}  // namespace

display_countdown& display_countdown_state()
{
    static display_countdown state;
    return state;
}

void check_display_break(int& result)
{
    int key = kNoKey;
    gupdat(key);
    display_countdown& c = display_countdown_state();
    if (c.armed && --c.count <= 0) {
        c.armed = 0;
        c.count = 0;
        result = 1;
        return;
    }
    result = key == kSpace ? 1 : 0;
}

void set_display_countdown(int n) { display_countdown_state() = n > 0 ? display_countdown{1, n} : display_countdown{}; }

// check_display_break and set_display_countdown, least version (see the header).
#include "listing/display_break_least.hpp"

#include "host/vantu_interact.hpp"

namespace {

constexpr int kSpace = 32;
constexpr int kNoKey = -1;

int g_countdown = 0;   // 0: not armed

}  // namespace

void check_display_break(int& result)
{
    int key = kNoKey;
    gupdat(key);
    if (g_countdown > 0) {
        result = --g_countdown == 0 ? 1 : 0;
        return;
    }
    result = key == kSpace ? 1 : 0;
}

void set_display_countdown(int n) { g_countdown = n > 0 ? n : 0; }

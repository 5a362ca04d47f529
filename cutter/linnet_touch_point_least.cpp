// linnet_touch_point and the line-net mode word, least version (see the header).
#include "cutter/linnet_touch_point_least.hpp"

namespace {
int& mode_word()
{
    static int mode = 0;
    return mode;
}
}  // namespace

void linnet_mode_set(int mode) { mode_word() = mode; }
int linnet_mode_get() { return mode_word(); }

void linnet_touch_point(const float* /*start*/, const float* /*end*/, float /*tolerance*/, float /*check1*/,
                        float /*check2*/, int /*room*/, float* /*located*/, int& count, int& status)
{
    count = 0;
    status = 0;
}

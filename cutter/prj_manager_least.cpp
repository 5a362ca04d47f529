// The projection-manager switch, least version (see the header).
#include "cutter/prj_manager_least.hpp"

namespace {
constexpr int kItems = 4;
int& mode_word()
{
    static int mode = kProjectionOff;
    return mode;
}
int* items()
{
    static int on[kItems + 1] = {};
    return on;
}
}  // namespace

void prj_manager_set(int mode) { mode_word() = mode; }
int prj_manager_mode() { return mode_word(); }
int prj_manager_active() { return mode_word() == kProjectionOn ? 1 : 0; }
void prj_turn_on_off(int item, int on)
{
    if (item >= 1 && item <= kItems) items()[item] = on != 0 ? 1 : 0;
}
int prj_item_on(int item) { return item >= 1 && item <= kItems ? items()[item] : 0; }

int prj_cache_lookup() { return -1; }

void prj_lane_on_srf(const float* /*points*/, const float* /*normals*/, int /*count*/, int /*projector*/,
                     int& result_handle, int /*flag*/, const float*& result, int& result_count)
{
    result_handle = -1;
    result = nullptr;
    result_count = 0;
}

// The tool probes against the part surfaces (see the header): the push front end and its touch
// test, with the statuses the lane code counts.
#include "cutter/tool_probe.hpp"

#include "cutter/tool_push.hpp"

#include <algorithm>

namespace {

constexpr int kFailed = -1;
constexpr int kTouchesNot = 0, kTouches = 1;

}  // namespace

void tool_project_point(const float* from, const float* to, float* contact, float* normal, int& status)
{
    push_stop stop{};
    int pushed = 0;
    tool_push("tool_project_point", from, to, stop, pushed);
    switch (pushed) {
    case kPushContact:
        std::copy(stop.tip, stop.tip + 3, contact);
        std::copy(stop.normal, stop.normal + 3, normal);
        status = kProjectContact;
        break;
    case kPushNoMove: status = kProjectNoMove; break;
    case kPushFailed: status = kFailed; break;
    default: status = kProjectFree; break;
    }
}

void tool_point_touch_test_dbl(const double* point, int& contact_flag, int& status)
{
    const float at[3] = {static_cast<float>(point[0]), static_cast<float>(point[1]), static_cast<float>(point[2])};
    push_stop stop{};
    int touched = 0;
    tool_touch_at("tool_point_touch_test_dbl", at, stop, touched);
    status = touched == kPushContact ? kTouches : touched == kPushFailed ? kFailed : kTouchesNot;
    contact_flag = status == kTouches ? 1 : 0;
}

void tool_contact_point_dbl(const double* point, const double* towards, double height, double* contact, double* normal,
                            int& status)
{
    const float start[2] = {static_cast<float>(point[0]), static_cast<float>(point[1])},
                end[2] = {static_cast<float>(towards[0]), static_cast<float>(towards[1])};
    push_stop stop{};
    int pushed = 0;
    tool_push_level("tool_contact_point_dbl", start, end, static_cast<float>(height), stop, pushed);
    if (pushed == kPushContact) {
        std::copy(stop.tip, stop.tip + 3, contact);
        std::copy(stop.normal, stop.normal + 3, normal);
    }
    status = pushed == kPushContact ? 0 : pushed == kPushFailed ? kFailed : kContactNone;
}

int srf_state_access(int /*mode*/, int /*surface*/, int& /*value*/, int /*hint*/) { return -1; }

tool_probe_seams default_tool_probe_seams()
{
    return {tool_project_point, tool_point_touch_test_dbl, tool_contact_point_dbl};
}

tool_probe_seams& tool_probe_table()
{
    static tool_probe_seams table = default_tool_probe_seams();
    return table;
}

// tool_contact_point (see the header): the level push of the push front end.
#include "cutter/tool_contact_point.hpp"

#include "cutter/tool_push.hpp"

#include <algorithm>

void tool_contact_point(const float* start, const float* end, float height, float* contact, float* normal, int& status)
{
    push_stop stop{};
    int pushed = 0;
    tool_push_level("tool_contact_point", start, end, height, stop, pushed);
    if (pushed == kPushContact) {
        std::copy(stop.tip, stop.tip + 3, contact);
        std::copy(stop.normal, stop.normal + 3, normal);
        status = kContactTouch;
        return;
    }
    normal[0] = normal[1] = 0.0f;
    normal[2] = 1.0f;
    status = pushed == kPushFailed ? -1 : kContactFree;
}

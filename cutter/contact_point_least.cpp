// The contact of the tool along a probe line, least version: no surfaces, so no contact.
#include "cutter/contact_point_least.hpp"

void tool_contact_point(const float* start, const float* end, float height, float* result, float* normal,
                        int& status)
{
    static_cast<void>(end);
    static_cast<void>(height);
    for (int k = 0; k < 3; ++k) result[k] = start[k];
    normal[0] = normal[1] = 0.0f;
    normal[2] = 1.0f;
    status = kContactFree;
}

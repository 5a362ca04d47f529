// tool_contact_point, least version (see the header).
#include "cutter/tool_contact_point.hpp"

void tool_contact_point(const float* /*start*/, const float* /*end*/, float /*height*/, float* /*contact*/,
                        float* normal, int& status)
{
    if (normal) {
        normal[0] = 0.0f;
        normal[1] = 0.0f;
        normal[2] = 1.0f;
    }
    status = kContactFree;
}

// DISPT1, least version (see the header).
#include "listing/tool_display_least.hpp"

void DISPT1(int tool_id, const std::array<float, 3>& point, const std::array<float, 3>& axis, int& instance)
{
    (void)tool_id;
    (void)point;
    (void)axis;
    instance = -1;
}

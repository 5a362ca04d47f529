// linnet_touch_point (see the header).
#include "cutter/linnet_touch_point.hpp"

void linnet_touch_point(int /*context*/, int /*mode*/, const float* /*start*/, const float* /*end*/,
                        float /*tolerance*/, float /*stock*/, float /*check_stock*/, int /*point_capacity*/,
                        float* /*points*/, float* /*normals*/, float* /*values*/, int& string_count,
                        int /*string_capacity*/, int* /*point_counts*/, int& total, int& status)
{
    string_count = 0;
    total = 0;
    status = kTouchDone;
}

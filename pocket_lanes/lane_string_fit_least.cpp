// Arc fitting of point strings (least version, see the header).
#include "pocket_lanes/lane_string_fit_least.hpp"

void lane_string_fit(double tolerance, double* points, int string_count, int* counts, int fit_switch,
                     int& changed, int& status)
{
    static_cast<void>(tolerance);
    static_cast<void>(points);
    static_cast<void>(string_count);
    static_cast<void>(counts);
    static_cast<void>(fit_switch);
    static_cast<void>(changed);
    status = 0;
}

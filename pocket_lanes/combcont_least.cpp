// The offset search on surfaces, least version: the first trial offset, as when no sample point
// can be placed on a surface.
#include "pocket_lanes/combcont_least.hpp"

#include <algorithm>

void combcont(double tolerance, int n, const double* points, const double* directions, double target,
              double least, double largest, double hint, double& result, int& status)
{
    static_cast<void>(tolerance);
    static_cast<void>(n);
    static_cast<void>(points);
    static_cast<void>(directions);
    static_cast<void>(largest);
    const double first_trial = hint > 0.0 && hint <= target ? hint : target;
    result = std::max(first_trial, least);
    status = 0;
}

// Polygons of stored contours into a region (crtpol): each chain record of the contour list
// becomes one polygon of a plane region, however many points it needs. The region finding of the
// wire pocket and the contour selection call it.
#include "pocket/reg_region.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_polygon.hpp"

#include <vector>

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNothingToDo = 1;

int add_polygons(float tolerance, int count, const int* contours, reg_region* region)
{
    std::vector<float> points;
    const int* entry = contours;
    for (int k = 1; k <= count; ++k) {
        int n = contour_polygon(entry, tolerance, points);
        if (n < 1) {
            eroutc("crtpol,Unable to create the polygon", 0);
            return kFailed;
        }
        if (n > 1 && eqpt2(points.data(), points.data() + 2L * (n - 1))) --n;
        int status = kGoOn;
        reg_add_poly(kRegionPlane, points.data(), n, region->polygon_count, region, status);
        if (status != 0) return status;
        int length = 0;
        dfcgld(entry, length, status);
        if (status != 0 || length < 1) return kFailed;
        entry += kChainEntryWords * length;
    }
    return kGoOn;
}

}  // namespace

void crtpol(float tolerance, int count, const int* contours, reg_region* region, int& status)
{
    status = kGoOn;
    if (count < 1) {
        status = kNothingToDo;
        return;
    }
    if (region == nullptr || contours == nullptr) {
        status = kFailed;
        return;
    }
    status = add_polygons(tolerance, count, contours, region);
}

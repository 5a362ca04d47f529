// The test of a point against the current set of region polygons (see the header). Each polygon
// goes to the host's inpol; hits are the polygons whose answer is not "outside".
#include "pocket/point_in_region_set.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_polygon.hpp"

region_set_state region_set_block;

namespace {
constexpr int kOnePolygon = 1;
}

bool point_in_region_set(const float* point, int& flag, reg_region* region)
{
    flag = 0;
    reg_region* r = region != nullptr ? region : region_set_block.region;
    if (r == nullptr || r->mode != kRegionPlane || r->polygon_count < 1) return false;
    const float* points = static_cast<const float*>(mmcptr(r->points));
    if (points == nullptr || MM_CUR_N_ENTRIES(r->points) < r->point_count) return false;
    int hits = 0;
    for (int i = 0; i < r->polygon_count; ++i) {
        int count = 0, location = 0, status = 0;
        reg_get_npbuf(*r, i, count, status);
        if (status < 0) break;
        reg_get_locs(i, r, location, status);
        if (status < 0 || location < 0 || count < 1 || location + count > r->point_count) continue;
        int result = kInpolOutside;
        inpol(points + kRegionPlane * location, count, kOnePolygon, point, result);
        if (result != kInpolOutside) ++hits;
    }
    return hits % 2 == 1;
}

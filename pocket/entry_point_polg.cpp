// The entry point of one pocket region: the working point nearest to a reference point among
// those inside the region's outer contour and outside its islands, whose polygons the levels
// package holds. The pocket execution calls it per region.
#include "pocket/entry_pnt_tables.hpp"

#include "host/vantu.hpp"
#include "pocket/n0_lvls.hpp"

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int kStrict = 1;
constexpr int kGoOn = 0, kFailed = -1, kNoneInside = 1;
constexpr int kPolygonMode = 1;

// inpol's answer for the point against the polygon of contour id (3 outside, also for a contour
// the region does not hold).
int inpol_of_contour(int id, const float* point)
{
    int count = 0, status = 0;
    n0_lvls_get_npbuf(id - 1, count, status);
    if (status != 0 || count < 1) return kInpolOutside;
    std::vector<float> polygon(2 * static_cast<std::size_t>(count));
    n0_lvls_get_poly(kRegionPlane, id - 1, polygon.data(), status);
    if (status != 0) return kInpolOutside;
    int result = kInpolOutside;
    inpol(polygon.data(), count, kPolygonMode, point, result);
    return result;
}

}  // namespace

int point_in_region(int outer, int island_count, const int* islands, const float* point)
{
    if (inpol_of_contour(outer, point) >= kInpolOutside) return 0;
    for (int i = 0; i < island_count && islands != nullptr; ++i)
        if (inpol_of_contour(islands[i], point) < kInpolOutside) return 0;
    return 1;
}

void get_entry_point_polg(int mode, int outer, int island_count, const int* islands, const double* reference,
                          double* result, int& status)
{
    const entry_pnt_tables& t = entry_pnts();
    const int count = std::min(t.working.count, kMaxEntryPnts);
    if (count < 1) {
        eroutc("get_entry_point_polg, THERE ARE NO ENTRY POINTS", 0);
        status = kFailed;
        return;
    }
    // Squared distances start from infinity, so that a point at any distance can be chosen.
    double best_inside = std::numeric_limits<double>::infinity(), best_any = best_inside;
    int inside = -1, any = -1;
    for (int i = 0; i < count; ++i) {
        const auto& p = t.working.points[i];
        const double d = std::pow(p[0] - reference[0], 2) + std::pow(p[1] - reference[1], 2);
        if (d < best_any) {
            best_any = d;
            any = i;
        }
        if (d < best_inside && point_in_region(outer, island_count, islands, p.data())) {
            best_inside = d;
            inside = i;
        }
    }
    status = inside >= 0 ? kGoOn : mode == kStrict ? kFailed : kNoneInside;
    const int chosen = inside >= 0 ? inside : any;
    if (status != kFailed) {
        result[0] = t.working.points[chosen][0];
        result[1] = t.working.points[chosen][1];
    }
}

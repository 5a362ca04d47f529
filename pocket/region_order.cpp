// Cutting order of the regions: a reference point per region (the centre of its outer
// contour's box), then the host's path order or a nearest-neighbour order over those points,
// and the region lists permuted to match. The execute callback orders before it cuts.
#include "pocket/region_table.hpp"

#include "host/vantu.hpp"
#include "pocket/n0_lvls.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int kByPathOpen = 1;
constexpr int kByPathClosed = 2;
// Share of a reference coordinate that counts as equal in the nearest-neighbour order, and the
// least tolerance, which keeps the test meaningful for points at or below zero.
constexpr float kNearestShare = 0.001f;
constexpr float kNearestFloor = 1.0e-6f;

region_table& rt = region_table_block;

// The centre of the box of region i's outer polygon (levels package); errors keep the old point.
void region_box_centre(int i)
{
    const int polygon = rt.lists[i][1] - 1;
    int count = 0, mode = kRegionPlane, status = 0;
    n0_lvls_get_npbuf(polygon, count, status);
    if (status == 0) n0_lvls_get_mode(mode, status);
    if (status != 0 || count < 1) return;
    std::vector<float> points(static_cast<std::size_t>(count) * mode);
    n0_lvls_get_poly(mode, polygon, points.data(), status);
    if (status != 0) return;
    float box[6];
    polbxr(1, mode, points.data(), count, box);
    rt.reference[i][0] = 0.5f * (box[0] + box[mode]);
    rt.reference[i][1] = 0.5f * (box[1] + box[mode + 1]);
}

const float* reference_at(int position) { return rt.reference[rt.order[position]]; }

float squared_distance(const float* p, const float* q)
{
    const float dx = p[0] - q[0], dy = p[1] - q[1];
    return dx * dx + dy * dy;
}

// Nearest-neighbour order: start at the lowest x (the lowest y among equal x), then always the
// region nearest to the last one (the lower x among equal distances).
void region_order_nearest()
{
    const int n = rt.region_count;
    const float* first = rt.reference[0];
    const float e = std::max(kNearestShare * std::min(std::fabs(first[0]), std::fabs(first[1])), kNearestFloor);
    int start = 0;
    float start_x = reference_at(0)[0];
    for (int k = 1; k < n; ++k) {
        const float* p = reference_at(k);
        if (p[0] < start_x - e) {
            start = k;
            start_x = p[0];
        } else if (std::fabs(p[0] - start_x) <= e && p[1] < reference_at(start)[1]) {
            start = k;
        }
    }
    std::swap(rt.order[0], rt.order[start]);
    for (int k = 1; k < n; ++k) {
        const float* last = reference_at(k - 1);
        int best = k;
        float best_distance = squared_distance(reference_at(k), last);
        for (int j = k + 1; j < n; ++j) {
            const float d = squared_distance(reference_at(j), last);
            const bool nearer = d + e < best_distance;
            const bool tie_to_the_left =
                std::fabs(d - best_distance) <= e && reference_at(j)[0] + e < reference_at(best)[0];
            if (nearer || tie_to_the_left) {
                best = j;
                best_distance = d;
            }
        }
        std::swap(rt.order[k], rt.order[best]);
    }
}

}  // namespace

void region_ref_points_reset()
{
    const int n = std::min(rt.region_count, kRegionContoursMax);
    for (int i = 0; i < n; ++i) {
        rt.order[i] = static_cast<std::int16_t>(i);
        region_box_centre(i);
    }
}

void region_order(int mode)
{
    if (mode == kOrderNone) return;
    const int n = std::min(rt.region_count, kRegionContoursMax);
    region_ref_points_reset();
    if (mode == kByPathOpen || mode == kByPathClosed) {
        int status = 0;
        rpath(&rt.reference[0][0], 2, n, mode, rt.order, status);
        for (int i = 0; i < n && status == 0; ++i) rt.order[i] = static_cast<std::int16_t>(rt.order[i] - 1);
    } else if (mode == kOrderNearest && n > 0) {
        region_order_nearest();
    }
    if (mode == kOrderKeep) return;
    int* lists[kRegionContoursMax];
    for (int k = 0; k < n; ++k) lists[k] = rt.lists[rt.order[k]];
    std::copy(lists, lists + n, rt.lists);
}

void region_ref_point(int i, double* point)
{
    if (i < 1 || i > rt.region_count || point == nullptr) return;
    const int index = rt.order[i - 1];
    if (index < 0 || index >= kRegionContoursMax) return;
    point[0] = rt.reference[index][0];
    point[1] = rt.reference[index][1];
    point[2] = 0.0;
}

// Loading of a caller's point contours into the engine contour tables and the contour point
// array (the pocket computation run for other callers). The first contour sets the pocket frame.
#include "pocket/contour_box.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>

namespace {

void frame_from_points(int count, const float* points, int stride)
{
    pocket_frame_reset();
    pocket_frame& f = pocket_frame_block;
    double low[3] = {1.0e30, 1.0e30, 1.0e30}, high[3] = {-1.0e30, -1.0e30, -1.0e30};
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k) {
            const double v = k < stride ? points[i * stride + k] : 0.0;
            low[k] = std::min(low[k], v);
            high[k] = std::max(high[k], v);
        }
    }
    for (int k = 0; k < 3; ++k) {
        f.origin[k] = f.origin_copy[k] = f.box_min[k] = low[k];
        f.box_max[k] = high[k];
    }
    f.size = std::min(high[0] - low[0], high[1] - low[1]);
    pokmain_set_origin(low[0], low[1], low[2], pocket_box_block.main_size);
}

}  // namespace

void contour_box(int first, int count, const float* points, int& status)
{
    status = 0;
    const int stride = pocket_state_block.pocket_dimension == 2 ? 2 : 3;
    if (count < 1 || points == nullptr) {
        status = -1;
        return;
    }
    pocket_box& box = pocket_box_block;
    if (first != 0) box.next_contour = box.next_contour_point = 1;
    if (box.next_contour > kContourMax) {
        eroutc("contour_box, TOO MANY CONTOURS", 0);
        status = -1;
        return;
    }
    if (first != 0) frame_from_points(count, points, stride);

    pkcont_tables& t = pkcont_tables_block;
    const int k = box.next_contour;
    t.first[k] = box.next_contour_point;
    for (int i = 0; i < count && status == 0; ++i) {
        const double point[3] = {points[i * stride], points[i * stride + 1],
                                 stride == 3 ? points[i * stride + 2] : 0.0};
        POKCPT(point, box.next_contour_point, status);
    }
    if (status != 0) return;
    t.level[k] = k == 1 ? kOuterLevel : kIslandLevelBase - 1 + k;
    t.parent[k] = 0;
    t.status[k] = 0;
    t.type[k] = kContourPart;
    t.first[k + 1] = box.next_contour_point;
    t.count = k;
    t.islands = k - 1;
    pocket_box_block.island_count = k - 1;
    ++box.next_contour;
}

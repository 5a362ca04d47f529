// The reference surfaces of a connection: their triangle model, kept in trig_cache slot 1 so
// that it is built once while the editor runs, and the test whether a point lies on them.
#include "edit/trim/reconnect_gap.hpp"

#include "cutter/linnet_touch_point.hpp"
#include "cutter/prj_manager_least.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit/trim/trim_state.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/allsrf_least.hpp"

#include <algorithm>
#include <vector>

namespace {

// The line-net set-up of a touch query at one point: the mode the projection on the reference
// surfaces uses, with a vertical tool.
constexpr int kPointQueryMode = -1;
constexpr int kReferenceContext = 1;
// Room for the touch points of a query at one point.
constexpr int kTouchRoom = 3;

}  // namespace

void ref_surfaces_triangulate(int& status)
{
    status = 0;
    prj_manager_set(kProjectionOff);
    const int count1 = ref_lists_count1(), count2 = ref_lists_count2();
    if (trig_cache_get(kTrigSlotEdit, tri_store_block, qt_nodes.root_box, qt_nodes.nodes) != 0) return;
    reset_allsrf_handles();
    if (count1 <= 0 && count2 <= 0) {
        trim_menu_reset();
        return;
    }
    std::vector<int> ids1(static_cast<std::size_t>(std::max(count1, 0))), aux1(ids1.size());
    std::vector<int> ids2(static_cast<std::size_t>(std::max(count2, 0))), aux2(ids2.size());
    ref_lists_get1(ids1.data(), aux1.data());
    ref_lists_get2(ids2.data(), aux2.data());
    const trim_state& t = trim_words();
    const float tolerance = t.approximation_mode == 2 ? t.second_tolerance : t.ref_srf_tol;
    const int kinds[2] = {1, 2};
    allsrf(1, count1, ids1.data(), aux1.data(), count2, ids2.data(), aux2.data(), t.approximation_mode, tolerance,
           t.longest_triangle, 0, kinds, status);
    if (status == 0) trig_cache_put(kTrigSlotEdit, tri_store_block, qt_nodes.root_box, qt_nodes.nodes);
    trim_menu_reset();
}

int point_on_ref_surface(point3 point, point3& normal)
{
    const trim_state& t = trim_words();
    const float up[3] = {0.0f, 0.0f, 1.0f};
    linnet_set_params(kPointQueryMode, up, up, 1, 0.0f, t.ref_srf_tol);
    float locations[3 * kTouchRoom] = {}, normals[3 * kTouchRoom] = {};
    int strings = 0, counts[kTouchRoom] = {}, total = 0, status = 0;
    linnet_touch_point(kReferenceContext, kTouchAllPoints, point.data(), point.data(), t.ref_srf_tol,
                       t.surface_offsets[0], t.surface_offsets[1], kTouchRoom, locations, normals, nullptr, strings,
                       kTouchRoom, counts, total, status);
    if (status != kTouchDone || strings < 1 || total < 1) return 0;
    normal = {normals[0], normals[1], normals[2]};
    return point[2] - locations[2] < kOnSurfaceGap ? 1 : 0;
}

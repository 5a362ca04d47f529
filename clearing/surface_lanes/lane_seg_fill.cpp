// Filling of long lane segments (see the header).
#include "clearing/surface_lanes/lane_seg_fill.hpp"

#include "clearing/surface_lanes/grid_projection.hpp"
#include "clearing/surface_lanes/lane_dir_list.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "clearing/surface_lanes/lane_points.hpp"
#include "cutter/tool_probe.hpp"
#include "host/vantu_memory.hpp"
#include "pocket_arrays/pokarr_work.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Points per tool diameter of the straight filler, and its pushes.
constexpr float kFillPerDiameter = 20.0f;
constexpr float kPushStep = 0.1f;
constexpr int kPushTries = 10;
constexpr int kGridFillLeast = 100;
constexpr int kGridFillMode = kProjectGridFrame;
constexpr int kOpen = 0;

const lane_pnt kUp = {0.0f, 0.0f, 1.0f};

lane_pnt recorded_direction(const float* point)
{
    lane_pnt direction = kUp;
    int flag = 0, status = 0;
    lane_dir_find(point, direction.data(), flag, status);
    return direction;
}

// The straight point p projected along d: the projection, or p itself.
lane_pnt projected_step(const lane_pnt& p, const lane_pnt& d, float diameter)
{
    for (int j = 1; j <= kPushTries; ++j) {
        const float reach = kPushStep * diameter * static_cast<float>(j);
        const lane_pnt ahead = p + reach * d, behind = p - reach * d;
        lane_pnt contact{}, normal{};
        int status = 0;
        tool_probe_table().tool_project_point(ahead.data(), behind.data(), contact.data(), normal.data(), status);
        if (status != kProjectContact) continue;
        return lane_dist(contact, p) <= 2.0f * lane_tolerance() ? p : contact;
    }
    return p;
}

}  // namespace

void lane_seg_fill(const float* a, const float* b, int most, float diameter, int& count, float* out)
{
    const lane_pnt pa = lane_pnt_of(a), pb = lane_pnt_of(b);
    count = 0;
    if (most < 2) return;
    int n = 2;
    if (diameter > 0.0f) {
        float wanted = lane_dist(pa, pb) / diameter * kFillPerDiameter + 1.0f;
        if (!(wanted < static_cast<float>(most))) wanted = static_cast<float>(most);
        n = std::max(2, static_cast<int>(wanted));
    }
    const lane_pnt da = recorded_direction(a), db = recorded_direction(b);
    for (int k = 0; k < n; ++k) {
        const float t = static_cast<float>(k) / static_cast<float>(n - 1);
        const lane_pnt p = (1.0f - t) * pa + t * pb;
        lane_pnt d = (1.0f - t) * da + t * db;
        if (!lane_unit(d)) d = kUp;
        const lane_pnt q = diameter > 0.0f ? projected_step(p, d, diameter) : p;
        std::memcpy(out + 3L * k, q.data(), sizeof(q));
    }
    count = n;
}

void lane_seg_grid_fill(const float* a, const float* b, float step, int& handle, int& count, int& status)
{
    count = 0;
    status = 0;
    pokarr_work walk(3);
    const double ends[2][3] = {{a[0], a[1], a[2]}, {b[0], b[1], b[2]}};
    for (const double* end : ends)
        if (status == 0) pokarr_add_pnt(end, walk.a, status);
    if (status == 0) lan_on_grid(kGridFillMode, kOpen, walk.a, step, status);
    if (status != 0 || walk.a.count <= 2) return;
    const int inner = walk.a.count - 2;
    void* base = nullptr;
    if (handle < 0) {
        MM_OPEN_ARRAY(static_cast<int>(sizeof(lane_pnt)), std::max(inner, kGridFillLeast), handle, base, status);
        if (status != 0) handle = -1;
    } else {
        lane_points_fit(handle, inner, kGridFillLeast, status);
    }
    if (status != 0) return;
    for (int i = 1; i <= inner; ++i) {
        const lane_pnt point = {static_cast<float>(walk.a.x[i]), static_cast<float>(walk.a.y[i]),
                                static_cast<float>(walk.a.z[i])};
        lane_pnt result{}, direction{};
        int projected = 0;
        draw_lane_3d(0, point.data(), result.data(), direction.data(), projected);
        if (projected != 0) continue;
        static_cast<lane_pnt*>(mmcptr(handle))[count++] = result;
        lane_dir_add(result.data(), direction.data(), 0);
    }
}

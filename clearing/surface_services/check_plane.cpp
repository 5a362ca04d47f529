// The check plane of the surface strings (see the header).
#include "clearing/surface_services/check_plane.hpp"

#include "nc_services/nc_state_blocks.hpp"

namespace {

// Both the parallel test and the widening of the crossing's range are in units of the segment's
// length along the normal: a segment whose rise towards the plane is below a ten-thousandth runs
// along it, and a crossing that far beyond an end still stops the string there (the next segment
// would otherwise step over a plane that passes exactly through a tool point).
constexpr float kPlaneClipReach = 0.0001f;

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

struct check_plane {
    float normal[3];
    float offset;
    float point[3];
};

check_plane check_plane_of(const plane_state& block)
{
    check_plane plane{};
    for (int k = 0; k < 3; ++k) {
        plane.normal[k] = block.real(plane_state::kPlane + k);
        plane.point[k] = block.real(plane_state::kCheckPoint + k);
    }
    plane.offset = block.real(plane_state::kPlane + 3);
    return plane;
}

void record_stop(plane_state& block)
{
    for (int k = 0; k < 3; ++k) block.at(plane_state::kStopNormal + k) = block.at(plane_state::kPlane + k);
    block.at(plane_state::kStopPlane) = block.at(plane_state::kThirdEntity);
}

}  // namespace

bool check_plane_defined() { return PLN1().at(plane_state::kThirdEntity) > 0; }

void plane_clip(int mode, const float* first, float* pair, float* second, int& result)
{
    result = kPlaneNone;
    if (!check_plane_defined()) return;
    const check_plane plane = check_plane_of(PLN1());
    const float e[3] = {second[0] - first[0], second[1] - first[1], second[2] - first[2]};
    const float rise = dot3(plane.normal, e);
    if (rise > -kPlaneClipReach && rise < kPlaneClipReach) {
        result = kPlaneParallel;
        return;
    }
    const float t = -(plane.offset + dot3(plane.normal, plane.point) + dot3(plane.normal, first)) / rise;
    if (t < -kPlaneClipReach || t > 1.0f + kPlaneClipReach) return;
    pair[1] = t * pair[1] + (1.0f - t) * pair[0];
    for (int k = 0; k < 3; ++k) second[k] = first[k] + t * e[k];
    result = kPlaneCrossed;
    if (mode == kPlaneClipRecord) record_stop(PLN1());
}

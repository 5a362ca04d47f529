// The region test of a dropped cutter (drop_point_check).
#include "clearing/surface_services/drop_point_check.hpp"

#include "clearing/surface_services/surface_pass_state.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/linnet_point.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "pocket/point_in_region_set.hpp"

#include <algorithm>

namespace {

// The re-test step inward from a corner contact: the machining tolerance, but at least 0.01 so
// that it leaves the float rounding of the region's edge, and at most 0.1 so that it stays near
// the contact.
constexpr float kLeastInwardStep = 0.01f, kMostInwardStep = 0.1f;

bool inside_at(const float* at, reg_region* region)
{
    int flag = 0;
    return point_in_region_set(at, flag, region);
}

// The cutter's reference point in the plane: where it meets the surfaces (see the header).
void reference_point(float* point, float* contact, const float* normal, float* reference)
{
    const linnet_params& lp = linnet_params_block;
    const float diameter = lp.diameter, corner = lp.corner_radius;
    const float reach = dist2(point, contact);
    std::copy_n(contact, 3, reference);
    if (lp.cutter_type > 10 && !lp.tilted_axis && reach > (lp.cutter_type == 11 ? corner : diameter / 2 + corner)) {
        std::copy_n(point, 2, reference);
        std::copy_n(point, 2, contact);
    } else if (lp.cutter_type == 1 || lp.cutter_type == 11) {
        point[2] = 0.0f;
        v3add(point, normal, -corner, reference);
    } else if (corner != 0.0f && reach > diameter / 2 - corner) {
        float k[2] = {normal[0], normal[1]}, length = 0.0f;
        int status = 0;
        unit2d_snap(k, length, status);
        if (status != 0) k[0] = k[1] = 0.0f;
        for (int c = 0; c < 2; ++c) reference[c] = point[c] + (corner - diameter / 2) * k[c] - corner * normal[c];
    }
}

}  // namespace

void drop_point_check(float* point, int& inside, reg_region* region, int& status)
{
    linnet_params& lp = linnet_params_block;
    lp.shared_mode = kLinnetDropRan;
    lp.edge_flag = 0;
    float contact[3], normal[3], reference[3];
    int drop_status = 0;
    LINNET(point, contact, normal, drop_status);
    if (drop_status < 0) {
        status = drop_status;
        return;
    }
    reference_point(point, contact, normal, reference);
    if (lp.shared_mode != kLinnetDropRan) {
        inside = lp.shared_mode;
        return;
    }
    inside = inside_at(reference, region) ? 1 : 0;
    if (inside && !lp.tilted_axis && lp.edge_flag && lp.corner_radius != 0.0f) {
        float towards[2] = {point[0] - reference[0], point[1] - reference[1]}, length = 0.0f;
        int unit_status = 0;
        v2unit(towards, length, unit_status);
        if (unit_status != 0) return;
        const float step = std::clamp(surface_pass.tolerance, kLeastInwardStep, kMostInwardStep);
        const float further[3] = {reference[0] + step * towards[0], reference[1] + step * towards[1], reference[2]};
        if (!inside_at(further, region)) inside = 0;
    }
}

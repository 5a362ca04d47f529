// The drop of the current cutter at one point for the surface-pass services (LINNET). The drop
// gives the tool tip and the contact normal; the contact lies a corner radius against the normal
// from the centre of the corner circle, which stands a corner radius up the axis from the tip and
// R - r out from the axis towards the contact.
#include "cutter/linnet_point.hpp"

#include "cutter/drop_front.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_vector_s.hpp"
#include "nc_services/linnet_params_least.hpp"

#include <algorithm>

void LINNET(const float* point, float* contact, float* normal, int& status)
{
    linnet_params& lp = linnet_params_block;
    const float vertical[3] = {0.0f, 0.0f, 1.0f};
    const float* axis = lp.tilted_axis ? lp.tool_axis : vertical;
    float tip[3];
    tool_drop_z_at_xy(point, tip, normal, status);
    lp.edge_flag = 0;
    if (status < 0) return;
    if (status == 1) {
        status = 0;
        lp.shared_mode = kLinnetNoSurface;
        std::copy_n(point, 3, contact);
        std::copy_n(axis, 3, normal);
        return;
    }
    // The part of the normal across the axis points from the contact towards the axis.
    float across[3];
    v3add(normal, axis, -v3dot(normal, axis), across);
    float length = 0.0f;
    int unit_status = 0;
    v3unit(across, length, unit_status);
    const float corner = lp.corner_radius, radius = lp.diameter / 2.0f;
    float centre[3];
    v3add(tip, axis, corner, centre);
    if (unit_status == 0) {
        v3add(centre, across, -(radius - corner), centre);
        lp.edge_flag = 1;
    }
    v3add(centre, normal, -corner, contact);
}

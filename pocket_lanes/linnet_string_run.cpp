// The line-net runs of the point-string support (see the header).
#include "pocket_lanes/linnet_string_run.hpp"

#include "cutter/surface_height_at_point.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/proc_geometry_words_least.hpp"

namespace {
constexpr int kPointNet = 1, kHeightMode = 0, kNotLocated = 1;
}

void linnet_string_run(int n, const float* points, float tolerance, float* located, int& status)
{
    status = 0;
    const curve_approx_words& ca = proc_geometry().curve_approx;
    for (int i = 0; i < n; ++i) {
        const float* p = points + 3L * i;
        linnet_set_params(kPointNet, p, p, 1, tolerance, ca.net_values[1]);
        float normal[3], contact[3], height = 0.0f;
        int entity = 0, located_status = 0;
        surface_height_at_point(kHeightMode, p, tolerance, ca.net_values[0], ca.net_values[1], normal, contact, height,
                                entity, located_status);
        float* at = located + 3L * i;
        at[0] = p[0];
        at[1] = p[1];
        at[2] = height;
        if (located_status < 0) {
            status = located_status;
            return;
        }
        if (located_status != 0) status = kNotLocated;
    }
}

void linnet_string_run2(const float* point, float tolerance, float* located, int& status)
{
    linnet_string_run(1, point, tolerance, located, status);
}

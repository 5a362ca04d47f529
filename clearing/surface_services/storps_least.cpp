// The pass store, least version (see the header).
#include "clearing/surface_services/storps_least.hpp"

#include <algorithm>

storps_least_state storps_least;

void storps(float tolerance, int set_number, const float* points, const float* normals, int pass_count,
            const int* pass_point_counts, int point_count, int link_flag, int& status)
{
    storps_call call{tolerance, set_number, pass_count, {}, point_count, link_flag, {}, {}};
    const int passes = std::max(pass_count, 0), reals = 3 * std::max(point_count, 0);
    if (pass_point_counts) call.pass_point_counts.assign(pass_point_counts, pass_point_counts + passes);
    if (points) call.points.assign(points, points + reals);
    if (normals) call.normals.assign(normals, normals + reals);
    storps_least.calls.push_back(std::move(call));
    status = storps_least.answer;
}

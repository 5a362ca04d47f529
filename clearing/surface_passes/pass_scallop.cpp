// Scallop height between two points and the grouping of strings by it.
#include "clearing/surface_passes/pass_scallop.hpp"

#include "nc_services/proc_geometry_words_least.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

void scallop_height(const float* p, const float* q, float& h_out)
{
    float diameter = 0.0f;
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    const float r = 0.5f * diameter;
    const float d = std::min(std::hypot(q[0] - p[0], q[1] - p[1]), diameter);
    const float under = r * r - 0.25f * d * d;
    h_out = under > 0.0f ? r - std::sqrt(under) : r;
}

void join_strings_by_scallop(int band_flag, int /*capacity*/, const float* points, int& string_count, int max_strings,
                             int* point_counts, int& total_out)
{
    if (band_flag == 0 || string_count < 2) {
        total_out = string_count > 0 ? point_counts[0] : 0;
        return;
    }
    const float tol = proc_geometry().curve_approx.tolerance;
    std::vector<int> grouped;
    const float* last = nullptr;  // the last point before the string at hand
    const float* p = points;
    for (int k = 0; k < string_count; ++k) {
        const int n = point_counts[k];
        if (n == 0) continue;
        if (last != nullptr) {
            float h = 0.0f;
            scallop_height(last, p, h);
            if (h > tol) grouped.push_back(0);
        }
        grouped.push_back(n);
        p += 3 * n;
        last = p - 3;
    }
    if (point_counts[string_count - 1] == 0 && !grouped.empty()) grouped.push_back(0);
    if (static_cast<int>(grouped.size()) <= max_strings) {
        string_count = static_cast<int>(grouped.size());
        std::copy(grouped.begin(), grouped.end(), point_counts);
    }
    total_out = std::accumulate(point_counts, point_counts + string_count, 0);
}

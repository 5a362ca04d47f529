// The part plane by three points (least version, see the header).
#include "surfaces/part_plane_least.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"

#include <cmath>

namespace {

constexpr int kPromptChars = 25;
constexpr int kPointMode = 0;
// Three indications on one line give no plane; each is asked again, a bounded number of times.
constexpr int kMostTries = 20;

bool plane_through(const float (&p)[3][3], plane4& plane)
{
    const float u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const float v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > vantu::kRealNoLength)) return false;
    const float sign = n[2] < 0.0f ? -1.0f : 1.0f;
    for (float& c : n) c *= sign / length;
    plane = {n[0], n[1], n[2], -(n[0] * p[0][0] + n[1] * p[0][1] + n[2] * p[0][2])};
    return true;
}

}  // namespace

void pick_point_c(std::string_view prompt, plane4& plane, std::array<float, 3>& point, int& status)
{
    status = 0;
    for (int attempt = 0; attempt < kMostTries; ++attempt) {
        prmptc(prompt.substr(0, kPromptChars));
        float p[3][3] = {};
        for (auto& indicated : p) {
            getpt(indicated, kPointMode, status);
            if (status != 0) {
                status = -1;
                return;
            }
        }
        if (plane_through(p, plane)) {
            point = {p[0][0], p[0][1], p[0][2]};
            return;
        }
    }
    status = -1;
}

void tool_z_on_part_plane(std::array<float, 3>& point, const plane4& plane)
{
    if (std::fabs(plane[2]) <= vantu::kRealTolerance) return;
    point[2] = (-plane[3] - plane[0] * point[0] - plane[1] * point[1]) / plane[2];
}

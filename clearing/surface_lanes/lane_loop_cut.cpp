// Small loops of a lane laid on the part surfaces, cut out before its moves are checked.
#include "clearing/surface_lanes/lane_loop_cut.hpp"

#include <algorithm>

namespace {

// Twice the signed area of the triangle a, b, c in XY.
float turn_of(const lane_pnt& a, const lane_pnt& b, const lane_pnt& c)
{
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// Whether the segments a-b and c-d cross in XY (touching is not crossing).
bool cross_xy(const lane_pnt& a, const lane_pnt& b, const lane_pnt& c, const lane_pnt& d)
{
    return turn_of(a, b, c) * turn_of(a, b, d) < 0.0f && turn_of(c, d, a) * turn_of(c, d, b) < 0.0f;
}

// The last point of a loop that starts with the segment from `first` and ends with a segment
// crossing it within the reach along the string; `first` when there is none. The closing segment
// of a closed string meets its first one at the shared point and is not searched from there.
int loop_end(const lane_pnt* points, int count, int first, float reach)
{
    float along = 0.0f;
    for (int j = first + 2; j + 1 < count; ++j) {
        along += lane_dist_xy(points[j - 1], points[j]);
        if (along > reach) break;
        if (first == 0 && j + 2 == count) break;
        if (cross_xy(points[first], points[first + 1], points[j], points[j + 1])) return j;
    }
    return first;
}

}  // namespace

void lane_loops_cut(lane_pnt* points, lane_pnt* normals, int& count, float reach)
{
    for (int i = 0; i + 3 < count;) {
        const int last = loop_end(points, count, i, reach);
        if (last == i) {
            ++i;
            continue;
        }
        // Points i + 1 to last go; the segment from i is searched again.
        std::copy(points + last + 1, points + count, points + i + 1);
        if (normals != nullptr) std::copy(normals + last + 1, normals + count, normals + i + 1);
        count -= last - i;
    }
}

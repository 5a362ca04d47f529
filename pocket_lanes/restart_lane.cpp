// Which lane of a range is cut first: the one that starts nearest to the pocket's restart point
// takes level 1. The lane engine calls it once the first lanes of a pocket are known.
#include "pocket_lanes/restart_lane.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"

void nearest_lane_to_restart(int first, int last, int& status)
{
    status = 0;
    lane_table& lt = lane_table_block;
    if (first < 1 || last > lt.count || first >= last) return;
    int had_level1 = 0;
    for (int n = first; n <= last && had_level1 == 0; ++n)
        if (lt.level[n] == 1) had_level1 = n;
    if (had_level1 == 0) return;
    // Lanes are held relative to the pocket frame's origin.
    const double* origin = pocket_frame_block.origin;
    const double point[3] = {pocket_work_block.restart_point[0] - origin[0],
                             pocket_work_block.restart_point[1] - origin[1], 0.0};
    pokarr work;
    pokarr_init(2, work);
    int nearest_lane = 0;
    double best = kNoDistance;
    for (int n = first; n <= last; ++n) {
        lane_to_pokarr(n, work, status);
        if (status != 0) break;
        int k = 0;
        double t = 0.0, distance = kNoDistance, q[3];
        pokarr_nearest_pnt(2, point, work, k, t, q, distance);
        if (k > 0 && distance < best) {
            best = distance;
            nearest_lane = n;
        }
    }
    pokarr_free(work);
    if (status != 0 || nearest_lane == 0) return;
    lt.level[had_level1] = lt.level[nearest_lane];
    lt.level[nearest_lane] = 1;
}

// The end-point ordering of the cutting stages (cutluk): the innermost lane of branch 1 is
// entered at its point nearest the restart point, and the chain up to the contour follows the
// straight line from there to the restart point, so that the pocket ends near it. Where that line
// misses a lane, or a long step would cross an island, the entries of stage 1 are put back.
#include "pocket_lanes/cutting_stages.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/entry_rays.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"

#include <cstdlib>

namespace {

constexpr int kPlanar = 2;
// A step longer than this many squared side steps has its move tested against the islands.
constexpr double kLongStep = 2.501;
constexpr double kNoStep = 1.0e10;

bool valid(int n) { return n >= 1 && n <= lane_table_block.count; }
int parent_of(int n) { return std::abs(lane_table_block.parent[n]); }

void set_entry(cut_entry_tables& entries, int lane, int element, const double* point, double param)
{
    entries.element[lane] = element;
    entries.x[lane] = point[0];
    entries.y[lane] = point[1];
    entries.param[lane] = param;
}

// The innermost closing lane of branch 1 from the last lane down.
int branch1_closing()
{
    const lane_table& lt = lane_table_block;
    for (int n = lt.count; n >= 1; --n)
        if (lt.level[n] == kOuterLevel && lt.status[n] < 0) return n;
    return 0;
}

}  // namespace

void cutluk(double side_step, int direction_sign, cut_entry_tables& entries, int& status)
{
    static_cast<void>(direction_sign);
    status = 0;
    const lane_table& lt = lane_table_block;
    if (pocket_state_block.pocket_dimension != kPlanar) {
        eroutc("[cutluk], 3D POCKET NOT SUPPORTED !!", 0);
        status = -1;
        return;
    }
    if (lt.count >= kStageLaneLimit) {
        status = kEngineTableFull;
        return;
    }
    cut_stage_block.saved = entries;
    const auto give_up = [&]() {
        entries = cut_stage_block.saved;
        status = kEngineEndPointNote;
    };
    const double* origin = pocket_frame_block.origin;
    const double target[3] = {pocket_work_block.restart_point[0] - origin[0],
                              pocket_work_block.restart_point[1] - origin[1], 0.0};
    const int closing = branch1_closing();
    if (closing == 0 || !stage_index_ok(closing)) return;
    const int innermost = parent_of(closing);
    if (!valid(innermost) || !stage_index_ok(innermost)) return;
    pokarr_work loop(2);
    lane_to_pokarr(innermost, loop.a, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    int k = 0;
    double t = 0.0, distance = 0.0, start[3] = {0.0, 0.0, 0.0};
    pokarr_nearest_pnt(kPlanar, target, loop.a, k, t, start, distance);
    if (k <= 0) {
        status = kEngineArrayFailed;
        return;
    }
    set_entry(entries, closing, k, start, t);
    if (lt.status[innermost] == 0) {
        entries.element[closing] = 0;
        return;
    }
    int child = closing, walked = innermost;
    for (int lane = innermost, steps = 0; valid(lane) && stage_index_ok(lane) && steps <= lt.count; ++steps) {
        walked = lane;
        int result = 0, element = 0;
        double hit[3] = {0.0, 0.0, 0.0}, param = 0.0;
        entry_hit_on_parent(lane, start, target, 0, result, hit, param, element);
        if (element < 0) {
            status = kEngineArrayFailed;
            return;
        }
        double length2 = kNoStep;
        if (result != 0) {
            const cut_entry_tables& stage1 = cut_stage_block.saved;
            const double dx = hit[0] - stage1.x[lane], dy = hit[1] - stage1.y[lane];
            length2 = dx * dx + dy * dy;
            set_entry(entries, child, element, hit, param);
        } else if (steps == 1) {
            give_up();
            return;
        }
        if (length2 > kLongStep * side_step * side_step) {
            const double zero[3] = {0.0, 0.0, 0.0};
            int island = 0, crossing = 0;
            conn_hits_island(0, 0, start, result != 0 ? hit : zero, island, crossing);
            if (crossing < 0) {
                status = crossing;
                return;
            }
            if (crossing > 0) {
                give_up();
                return;
            }
        }
        const int parent = parent_of(lane);
        if (!valid(parent) || lt.status[parent] == 0) break;
        child = lane;
        lane = parent;
    }
    entries.element[walked] = 0;
}

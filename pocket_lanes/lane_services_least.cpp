// Services of the pocket moves, least versions (see the header).
#include "pocket_lanes/lane_services_least.hpp"

#include "host/vantu.hpp"
#include "pocket/pocket_state.hpp"
#include "pocket/pocket_work.hpp"
#include "pocket_lanes/pocket_approach.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_writers.hpp"

namespace {

constexpr int kNoApproachMode = 1, kNoApproachModeMarked = 11;
constexpr int kCutcomSlot = 5;
constexpr int kCutcomLeft = 9, kCutcomRight = 10, kCutcomOther = 11;
constexpr int kPointsOnly = 1, kPlaneXY = 1;

}  // namespace

void choose_drpar(int mode, double radius, double direction, const double* centre, const double* start,
                  const double* end, int& status)
{
    static_cast<void>(radius);
    status = 0;
    const double z = pocket_state_block.current_z;
    if (mode != kNoApproachMode && mode != kNoApproachModeMarked) {
        const double s[3] = {start[0], start[1], z};
        entry_point_2d(mode, 2, s, s, status);
        if (status < 0) return;
    }
    if (eqptd(2, start, end) != 0) {
        status = 0;
        return;
    }
    double u1[2], u2[2], length = 0.0;
    v2subd(centre, start, u1);
    v2subd(centre, end, u2);
    v2untd(u1, length, status);
    if (status < 0) return;
    v2untd(u2, length, status);
    if (status < 0) return;
    // A half turn has no sense of its own: only a cross product clear of zero can oppose the
    // direction.
    const double cross = v2crsd(u1, u2);
    if ((gtvl0d(cross) != 0 && direction < 0.0) || (gtvl0d(-cross) != 0 && direction > 0.0)) {
        eroutc("[sdrpar] ILLEGAL ARC!!", 0);
        status = -1;
        return;
    }
    double sweep = 0.0;
    arcosd(v2dotd(u1, u2), sweep, status);
    sweep *= direction < 0.0 ? -1.0 : 1.0;
    status = 0;
    if (eqvl0d(sweep) != 0) return;
    arc_move_d(kPointsOnly, pocket_work_block.tolerance, kPlaneXY, sweep, {centre[0], centre[1], z},
               {end[0], end[1], z}, {0.0, 0.0, 0.0}, status);
    if (status > 0) status = 0;
}




void MRGGST(int join_mode, int data_kind, point_string_set& first, point_string_set& second, int& status)
{
    static_cast<void>(join_mode);
    static_cast<void>(data_kind);
    static_cast<void>(first);
    static_cast<void>(second);
    status = -1;
}

void twirl_spline_points(const pocket_link_words& link)
{
    static_cast<void>(link);
    reset_work_flags();
}

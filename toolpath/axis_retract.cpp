// The retract along the tool axis and the dispatch of the pending retract that a surface
// approach runs first. Read connect_params (approach kind, D1, D2), HEI8 and DSP8.
#include "toolpath/approach_retract.hpp"

#include "host/vantu_compare.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/surface_approach.hpp"

#include <algorithm>

namespace {

constexpr int kRetractPair = 6, kRetractOpen = 11, kRetractClose = 12;
constexpr int kAlongAxis = 2;
constexpr int kWithDirection = 3;
constexpr int kSurfaceRetract = 1;

point3 along(const point3& from, const point3& axis, float distance)
{
    return {from[0] + distance * axis[0], from[1] + distance * axis[1], from[2] + distance * axis[2]};
}

void axis_moves(int& status)
{
    const connect_params& c = connect_params_block();
    const retract_heights h = read_heights();
    const bool tool_axis = c.approach_kind == kAlongAxis;
    const point3 axis = tool_axis ? DSP8().axis() : kDefaultDirection;
    const float distance = tool_axis ? c.lateral_distance : c.approach_distance;
    if (h.exec_mode != 0) set_mch_change_mode(kFeedRapid);
    move_to(kWithDirection, along(current_position(), axis, distance), axis, status);
    if (status < 0) return;
    set_mch_change_mode(kFeedRapid);
    move_to(kWithDirection, along(current_position(), axis, std::max(h.incremental, 0.0f)), axis, status);
}

}  // namespace

pending_retract& pending_retract_record()
{
    static pending_retract record;
    return record;
}

void axis_retract(int& status)
{
    status = 0;
    if (read_heights().clearance_plane) {
        tp_mrkr_write(kMarkerOpen, kRetractPair, kRetractOpen, 0.0f, 0, status);
        if (status >= 0) {
            axis_moves(status);
            int closed = 0;
            tp_mrkr_write(kMarkerClose, kRetractPair, kRetractClose, 0.0f, 0, closed);
            if (status >= 0) status = closed;
        }
    }
    set_exec_disp_mode(0);
}

void pending_retract_run(int& status)
{
    status = 0;
    pending_retract& r = pending_retract_record();
    // A record nothing has filled holds no retract: its zero point is no place the tool left.
    if (r.filled != 0) {
        const point3 here = current_position();
        if (r.count >= 1 && eqpt3(here.data(), r.point.data()) != 0) {
            if (r.retract_mode == kSurfaceRetract) {
                int flag = r.count;
                SRFRET(2, r.point, r.direction, r.normal, kDefaultDirection, flag, status);
            } else {
                axis_retract(status);
            }
        } else if (r.retract_mode == kSurfaceRetract) {
            ZRET(1, here, kDefaultDirection, status);
        }
    }
    r.count = 1;
}

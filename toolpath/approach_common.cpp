// The shared steps of the approach and retract files (see the header).
#include "toolpath/approach_common.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_flags.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/motion_writers.hpp"

namespace {
constexpr int kGetValue = 1, kSetValue = 2;
constexpr int kCodeDim3 = 3;
}  // namespace

retract_heights read_heights()
{
    const heights_state& h = HEI8();
    retract_heights r;
    r.clearance = h.real(heights_state::kClearance);
    r.absolute = h.real(heights_state::kAbsolute);
    r.incremental = h.real(heights_state::kIncremental);
    r.top_level = h.real(heights_state::kTopLevel);
    r.clearance_plane = h.at(heights_state::kClearancePlane) != 0;
    r.use_absolute = h.at(heights_state::kUseAbsolute) > 0;
    get_exec_disp_mode(r.exec_mode);
    return r;
}

int nc_function_code() { return nu_sgcd_get_code(); }
bool surface_function(int code) { return code == 34 || code == 38 || code == 48; }

point3 current_position() { return DSP8().position(); }
point3 with_z(const point3& p, float z) { return {p[0], p[1], z}; }

int checked_dimension(const char* message, int dimension)
{
    if (dimension != kCodeDim3) return dimension;
    eroutc(message, 0);
    return 1;
}

void move_to(int dimension, const point3& point, const point3& direction, int& status)
{
    PLINE_entry(dimension, point, direction, status);
}

void rise_or_cross(int dimension, float z, const point3& target, const point3& direction, int& status)
{
    const point3 here = current_position();
    if (leval(here[2], z))
        move_to(dimension, with_z(here, z), direction, status);
    else
        move_to(dimension, {target[0], target[1], here[2]}, direction, status);
}

void warn_clearance_low()
{
    int armed = 0;
    gs_exec_disp_value(kGetValue, armed);
    if (armed == 0) return;
    userrc("WARNING, CLEARANCE PLANE MIGHT BE TOO LOW");
    int disarmed = 0;
    gs_exec_disp_value(kSetValue, disarmed);
}

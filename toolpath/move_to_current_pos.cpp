// move_to_current_pos: the return to the current position over the clearance plane, written
// through the line entry of the motion output.
#include "toolpath/move_to_current_pos.hpp"

#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"

namespace {
constexpr int kRapid = 4;
}  // namespace

void move_to_current_pos(int dimension, int& status)
{
    status = 0;
    set_exec_disp_mode(kExecDisplayNormal);
    if (HEI8().at(heights_state::kClearancePlane) == 0) return;
    set_mch_change_mode(kRapid);
    const tool_position_state& d = DSP8();
    const point3 above{d.real(tool_position_state::kPosition), d.real(tool_position_state::kPosition + 1),
                       HEI8().real(heights_state::kClearance)};
    PLINE_entry(dimension, above, kDefaultDirection, status);
}

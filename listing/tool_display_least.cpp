// Tool display services of the procedure driver (least version, see the header).
#include "listing/tool_display_least.hpp"

#include "driver/motion_state_least.hpp"
#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_preview.hpp"
#include "driver/nc_state_blocks.hpp"
#include "surfaces/tool_symbol.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/symbol_masters.hpp"
#include "tools/tool_accessors.hpp"

#include <cmath>

namespace {

constexpr int kQueryInstance = -1, kReleaseInstance = -2;
constexpr int kMaxSpin = 999999;
constexpr float kPi = 3.14159f;   // the constant the spindle speeds were always computed with
constexpr int kPlainCurveType = 15;

// The MACSYS orientation, row by row.
void macsys_matrix(float (&matrix)[9])
{
    for (int i = 0; i < 9; ++i) matrix[i] = NPT1().real(tp_header_state::kMacsysMatrix + i);
}

bool is_default_axis(const float (&axis)[3]) { return axis[0] == 0.0f && axis[1] == 0.0f && axis[2] == 1.0f; }

}  // namespace

void DISPT1(int tool_id, const float (&point)[3], const float (&axis)[3], int& instance)
{
    instance = -1;
    float orientation[9];
    if (is_default_axis(axis)) {
        macsys_matrix(orientation);
    } else if (!tool_axis_frame(axis, orientation)) {
        eroutc("DISPT1,ERRORS IN CALCULATING TOOL ORIENTATION MATRIX", 0);
        macsys_matrix(orientation);
    }
    int master = -1;
    tool_get_symbol_master(tool_id, master);
    if (master <= 0) return;
    int status = 0;
    tool_display_frame(instance, master, orientation, point, 1.0f, status);
    if (status != 0) {
        instance = -1;
        return;
    }
    if (instance > 0) edisp(instance, 1, status);
}

void tool_select_current(int keep, int tool_id, int& status)
{
    PRM9().words[machine_params::kToolId] = tool_id;
    int tool_class = -1, spin = -1;
    float feed = -1.0f;
    tool_get_class(tool_id, tool_class);
    if (tool_class < 0) {
        status = -1;
        return;
    }
    tool_get_cond_feed(tool_id, feed);
    tool_get_cond_spin(tool_id, spin);
    int instance = tm_inst_id(kQueryInstance);
    if (instance >= 0 && keep == 0) {
        int erased = 0;
        edele1(instance, erased);
        instance = tm_inst_id(kReleaseInstance);
    }
    if (instance < 0) {
        const tool_position_state& position = DSP8();
        const float at[3] = {position.real(0), position.real(1), position.real(2)};
        const float axis[3] = {position.real(3), position.real(4), position.real(5)};
        DISPT1(tool_id, at, axis, instance);
        if (instance >= 0) tm_inst_id(instance);
    }
    modal_values& modal = DSM4();
    modal.at(modal_values::kTool) = tool_id;
    modal.at(modal_values::kSpin) = spin;
    modal.set_real(modal_values::kFeed, feed);
    status = 0;
}

void spin_from_vc(float diameter, float cutting_speed, int& spin)
{
    if (eqval0(diameter)) {
        spin = kMaxSpin;
        return;
    }
    const double value = std::fabs(static_cast<double>(cutting_speed)) * 1000.0 / (static_cast<double>(diameter) * kPi);
    spin = value >= kMaxSpin ? kMaxSpin : static_cast<int>(std::lround(value));
}

int is_type15_entity(int mode, int id_or_class, int type)
{
    int entity_class = id_or_class;
    if (mode == 1) {
        if (!asexsr(id_or_class)) return 0;
        int status = 0;
        eattc(id_or_class, 1, "CL", entity_class, status);
        eattc(id_or_class, 1, "TY", type, status);
    } else if (mode != 2) {
        return 0;
    }
    return (entity_class == 1 || entity_class == 2) && type == kPlainCurveType ? 1 : 0;
}

// The dialog, text and current-tool utilities (see the header).
#include "tools/tool_utilities.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/common_arguments.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/modal_setters.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_choice.hpp"

#include <cmath>
#include <string>

namespace {

constexpr int kByEntity = 1, kByClassAndType = 2;
constexpr int kPlainCurveType = 15;
constexpr int kMaxSpin = 999999;
constexpr double kPi = 3.14159;  // the constant the spindle speeds were always computed with
constexpr int kTextChars = 20;
constexpr int kClearRequest = 1, kClearHighlight = 2;
constexpr int kQueryInstance = -1;
constexpr int kStatusWindow = 2;
constexpr int kMillType = 2;

int current_tool_id() { return PRM9().words[machine_params::kToolId]; }

bool current_is_mill()
{
    int type = 0, status = 0;
    eattc(current_tool_id(), 1, "TY", type, status);
    return status == 0 && type == kMillType;
}

bool keeps_conditions(int tool_class)
{
    return tool_class == kDrill || tool_class == kMill || tool_class == kLathe || tool_class == kLatheDrill ||
           tool_class == kThread || tool_class == kGroove;
}

}  // namespace

int is_type15_entity(int mode, int id_or_class, int type)
{
    int entity_class = id_or_class;
    if (mode == kByEntity) {
        if (!asexsr(id_or_class)) return 0;
        int status = 0;
        eattc(id_or_class, 1, "CL", entity_class, status);
        eattc(id_or_class, 1, "TY", type, status);
    } else if (mode != kByClassAndType) {
        return 0;
    }
    return (entity_class == 1 || entity_class == 2) && type == kPlainCurveType ? 1 : 0;
}

void edit_txt2_text(int& result)
{
    clrfrm();
    prmptc("ENTER TEXT /<CR>");
    std::string old;
    state_text20_field(kTextGet, old);
    // The free length of the old text shows as "_" after its last character.
    const std::size_t last = old.find_last_not_of(' ');
    const std::size_t used = last == std::string::npos ? 0 : last + 1;
    const std::string shown = old.substr(0, used) + std::string(kTextChars - used, '_');
    dsptx4("OLD TEXT=", 9, shown, kTextChars);
    drtxtc("NEW TEXT= ");
    std::string input;
    int count = 0;
    rtexts(kTextChars, input, count);
    if (count > 0) {
        input.resize(kTextChars, ' ');
        state_text20_field(2, input);
        result = 0;
    } else {
        result = count;
    }
    modinz();
}

void macro_redisplay()
{
    if (gsclr(kClearRequest, 0) != 1) return;
    if (macexe() != 0) return;
    modisp();
    gsclr(kClearHighlight, 0);
}

void spin_from_vc(float diameter, float cutting_speed, int& spin)
{
    if (eqval0(diameter)) {
        spin = kMaxSpin;
        return;
    }
    const double value = std::fabs(static_cast<double>(cutting_speed)) * 1000.0 / (static_cast<double>(diameter) * kPi);
    spin = !(value < kMaxSpin) ? kMaxSpin : static_cast<int>(std::lround(value));
}

kept_mill_dims& tool_dims()
{
    static kept_mill_dims dims;
    return dims;
}

void tool_dims_save()
{
    if (!current_is_mill()) return;
    const int tool = current_tool_id();
    kept_mill_dims& d = tool_dims();
    tool_get_mill_diameter(tool, d.diameter);
    tool_get_cut_length(tool, d.cut_length);
    tool_get_corner_radius(tool, d.corner_radius);
    d.kept = 1;
}

void tool_dims_restore()
{
    if (!current_is_mill()) return;
    const kept_mill_dims& d = tool_dims();
    tool_set_mill_diameter(d.diameter);
    tool_set_cut_length(d.cut_length);
    tool_set_corner_radius(d.corner_radius);
}

void curmac_sync(int a, int b)
{
    nc_common_to_host();
    curmac(a, b);
    nc_common_from_host();
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
    if (instance > 0 && keep == 0) {
        tm_inst_delete();
        instance = -1;
    }
    if (instance <= 0) {
        const tool_position_state& d = DSP8();
        display_service_table().DISPT1(tool_id, d.vec(tool_position_state::kPosition),
                                       d.vec(tool_position_state::kAxis), instance);
        if (instance > 0) tm_inst_id(instance);
    }
    set_cur_tool(kStatusWindow, tool_id);
    set_cur_spin(kStatusWindow, spin);
    set_cur_feed(kStatusWindow, feed);
    status = 0;
}

void refresh_tool_state(int tool_id, int& status)
{
    status = 0;
    int tool_class = -1;
    tool_get_class(tool_id, tool_class);
    if (tool_class < 0) {
        status = -1;
        return;
    }
    const machine_params& p = PRM9();
    if (keeps_conditions(tool_class)) {
        tool_set_cond_feed(p.real(machine_params::kBaseFeed));
        tool_set_cond_spin(p.words[machine_params::kSpindleSpeed]);
        tool_set_cond_vc(p.real(machine_params::kCuttingSpeed));
    }
    tool_select_current(0, tool_id, status);
    if (status != 0) return;
    tool_type_params(status);
    if (status != 0) return;
    tool_get_class(tool_id, tool_class);
    if (tool_class < 0) {
        status = -1;
        return;
    }
    if (is_wire_class(tool_class)) tool_to_common();
}

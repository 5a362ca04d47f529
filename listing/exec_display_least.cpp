// Display services around an execution, least version (see the header).
#include "listing/exec_display_least.hpp"

#include "driver/motion_state_least.hpp"
#include "host/vantu.hpp"
#include "listing/tool_display_least.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kMillType = 2;
constexpr int kReadAttribute = 1;
constexpr int kQueryInstance = -1;

struct exec_display_words {
    int xor_shown = 0;
    int block_count = 0;
    std::array<int, 5> display_state{};
    std::array<int, 3> display_words{};
    int draw_phase = 0;
    int aux_flag = 0;
    int reduced_flag = 0;
    float reduced_limit = 0.0f;
};

exec_display_words& words()
{
    static exec_display_words w;
    return w;
}

// The current tool of PRM9 when its attribute "TY" is 2, else -1.
int current_mill_tool()
{
    const int tool_id = PRM9().words[machine_params::kToolId];
    if (tool_id < 1) return -1;
    int type = 0, status = 0;
    eattc(tool_id, kReadAttribute, "TY", type, status);
    return status == 0 && type == kMillType ? tool_id : -1;
}

}  // namespace

tool_dims_state& tool_dims()
{
    static tool_dims_state s;
    return s;
}

void tool_dims_save()
{
    const int tool_id = current_mill_tool();
    if (tool_id < 0) return;
    tool_dims_state& s = tool_dims();
    tool_get_mill_diameter(tool_id, s.mill_diameter);
    tool_get_corner_radius(tool_id, s.corner_radius);
    tool_get_cut_length(tool_id, s.cut_length);
    s.saved = 1;
}

void tool_dims_restore()
{
    const tool_dims_state& s = tool_dims();
    if (!s.saved || current_mill_tool() < 0) return;
    tool_set_mill_diameter(s.mill_diameter);
    tool_set_corner_radius(s.corner_radius);
    tool_set_cut_length(s.cut_length);
}

void tool_xor_on() { words().xor_shown = tm_inst_id(kQueryInstance) >= 0 ? 1 : 0; }

void tool_xor_off()
{
    if (!words().xor_shown) return;
    tm_inst_delete();
    draw_tool_at_current();
    words().xor_shown = 0;
}

int tool_xor_shown() { return words().xor_shown; }

void draw_tool_default(int tool_id, const float (&point)[3], int& instance)
{
    const float axis[3] = {0.0f, 0.0f, 1.0f};
    DISPT1(tool_id, point, axis, instance);
}

void draw_tool_at_current()
{
    const tool_position_state& position = DSP8();
    const float at[3] = {position.real(0), position.real(1), position.real(2)};
    const float axis[3] = {position.real(3), position.real(4), position.real(5)};
    int instance = -1;
    DISPT1(PRM9().words[machine_params::kToolId], at, axis, instance);
    if (instance >= 0) tm_inst_id(instance);
}

void DSPROC(int /*mode*/, int& status) { status = 0; }

void displb_set_count(int n) { words().block_count = n; }
int displb_count() { return words().block_count; }

status_fields& status_line_fields()
{
    static status_fields f;
    return f;
}

void status_show_label_int(int /*window*/, const char* label, int value, int width)
{
    status_fields& f = status_line_fields();
    std::memset(f.label, 0, sizeof f.label);
    if (label) std::strncpy(f.label, label, static_cast<std::size_t>(std::clamp(width, 0, 8)));
    f.value = value;
}

void MUTBLN(int /*window*/, int value) { status_line_fields().block = value; }

void disp_state_reset() { words().display_state = {}; }
void display_words_reset() { words().display_words = {}; }
void pk_draw_phase_reset() { words().draw_phase = 0; }
void pk_aux_flag_reset() { words().aux_flag = 0; }

void reduced_tool_set(int flag, float value)
{
    words().reduced_flag = flag;
    words().reduced_limit = value;
}

void reduced_tool_get(int& flag, float& limit)
{
    flag = words().reduced_flag;
    limit = words().reduced_limit;
}

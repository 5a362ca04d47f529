// The execution display mode and the clearance-plane flag of HEI8.
#include "nc_services/exec_disp_mode.hpp"

#include "nc_services/nc_state_blocks.hpp"

namespace {
constexpr int kGet = 1;
constexpr int kFlagOn = 1;
}  // namespace

exec_display_state& exec_display()
{
    static exec_display_state state;
    return state;
}

void exec_disp_save()
{
    exec_display_state& s = exec_display();
    s.mode = kExecDisplayNormal;
    s.saved_flag = HEI8().at(heights_state::kClearancePlane);
    s.value = 1;
}

void set_exec_disp_mode(int mode)
{
    // Applying the same mode twice would save the forced flag over the user's one.
    if (mode == exec_display().mode) return;
    exec_display().mode = mode;
    exec_disp_flag_apply(mode);
}

void get_exec_disp_mode(int& mode) { mode = exec_display().mode; }

void exec_disp_flag_apply(int mode)
{
    word& flag = HEI8().at(heights_state::kClearancePlane);
    if (mode == kExecDisplayForced) {
        exec_display().saved_flag = flag;
        flag = kFlagOn;
    } else {
        flag = exec_display().saved_flag;
    }
}

void gs_exec_disp_value(int operation, int& value)
{
    if (operation == kGet)
        value = exec_display().value;
    else
        exec_display().value = value;
}

// The execution display mode and the clearance-plane flag it governs (HEI8 word 73): mode 0
// forces the flag on for as long as it lasts, mode 1 gives the user's setting back. The
// procedure-state start, the execution stop and the motion output set and read it.
#pragma once

inline constexpr int kExecDisplayForced = 0, kExecDisplayNormal = 1;

struct exec_display_state {
    int mode = kExecDisplayNormal;  // the current mode
    int saved_flag = 0;             // the user's clearance-plane flag while mode 0 lasts
    int value = 1;                  // the value word of gs_exec_disp_value
};

exec_display_state& exec_display();

// Start of a procedure's state: mode 1, the user's flag saved, value word 1.
void exec_disp_save();
// Changes the mode, applying it to the flag, only when it differs from the current one.
void set_exec_disp_mode(int mode);
void get_exec_disp_mode(int& mode);
// Mode 0 saves the flag and forces it to 1; any other mode puts the saved flag back.
void exec_disp_flag_apply(int mode);
// Operation 1 answers the value word; any other operation stores value into it.
void gs_exec_disp_value(int operation, int& value);

// The open procedure of the motion-output benchmarks: one procedure block whose motion sub-list is
// open, the fit buffer given back and the move state reset; clearance height 50, incremental
// height 5. The host itself is not reset here (a benchmark's triangle model lives in it).
#pragma once

#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"

namespace bench {

inline void no_records(int&, int&, int&, int& status) { status = 0; }
inline void no_parameters(int&, int&, int&, int& status) { status = 0; }

// False when the procedure block cannot be written.
inline bool open_motion_procedure()
{
    fit_buffer_release();
    LSP2() = move_writer_state{};
    LSP2().at(move_writer_state::kStringClosed) = 1;
    DSP8() = tool_position_state{};
    NPT1().at(tp_header_state::kMachineType) = 1;
    PRM9() = machine_params{};
    PRM9().words[machine_params::kToolId] = -1;
    mch_slots() = mch_slot_table{};
    mch_slots().slots[1].value = 1;
    HEI8() = heights_state{};
    HEI8().set_real(heights_state::kClearance, 50.0f);
    HEI8().set_real(heights_state::kIncremental, 5.0f);
    HEI8().at(heights_state::kClearancePlane) = 1;
    exec_display() = exec_display_state{};
    int status = 0;
    PTBT12(50, 1, -1, no_records, no_parameters, no_parameters, 3, status);
    return status == 0;
}

}  // namespace bench

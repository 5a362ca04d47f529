// The driver's procedure services that the procedure display and the procedure listing call:
// the NC state of a procedure read from its block, the positions around it, the tool instance
// shown there and the save of the edit state. They live in the driver, above the listing, so the
// listing calls them through this table, which the driver (driver/seam_fills.cpp) fills when the
// module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

#include <array>

inline constexpr char kProcCommonServicesName[] = "proc_common_services";

struct proc_common_services {
    using unfilled = unfilled_seam<kProcCommonServicesName>;
    // updtcm (driver/proc_common.hpp): the procedure's NC state, names and texts for a caller.
    void (*updtcm)(int caller, int reference, int procedure, int mode, int view_only, int suspend, int no_questions,
                   int& status) = unfilled{};
    // CURCOM: segment 24 of the procedure block read back into the NC state.
    void (*CURCOM)(int machine, int machine_table, int position, int heights, int wire, int old_layout,
                   int& status) = unfilled{};
    // GETPOS: the positions before and after the procedure block.
    void (*GETPOS)(std::array<float, 3>& previous, std::array<float, 3>& previous_axis, int& no_previous,
                   std::array<float, 3>& next, std::array<float, 3>& next_axis, int& no_next, int& status) = unfilled{};
    // tool_inst_show: the tool shown at a point and axis as the display instance.
    void (*tool_inst_show)(int& tool_id, const std::array<float, 3>& point, const std::array<float, 3>& axis,
                           int& status) = unfilled{};
    // save_state_eda2 (driver/nc_state_store.hpp): EDA2 cleared, and written when the flag is set.
    void (*save_state_eda2)(int save_flag) = unfilled{};
};

// The services the procedure display and listing call; assign an entry to replace it.
proc_common_services& proc_common_service_table();

// The NC state blocks back at their load state: they live as long as the module, so a test that
// runs a procedure or the display leaves its modal values, machine type and positions behind
// for the next test of the same program unless its fixture clears them.
#pragma once

#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_coords.hpp"
#include "toolpath/tp_sublist.hpp"

namespace tp_test {

inline void fresh_nc_state_blocks()
{
    CLP1() = proc_colour_pen{};
    EDA2() = edit_state{};
    PLN1() = plane_state{};
    TPFO() = tpfo_state{};
    GCY4() = cycle_state{};
    DSM4() = modal_values{};
    WRMB() = wire_modal_values{};
    TRS1() = tp_transform_state{};
    RAXN() = rotation_axes_state{};
    NPT1() = tp_header_state{};
    HEI8() = heights_state{};
    TLER() = tool_display_state{};
    UPW2() = service_words{};
    DSP8() = tool_position_state{};
    MACSYS() = macsys_frame{};
    BLSK() = sublist_stack{};
    LSP2() = move_writer_state{};
    PRM9() = machine_params{};
}

}  // namespace tp_test

// The steps of the lane engine, the pocket drawing and the hatch clearing that the pocket
// execution and the pocket's clean-up call, as a table: they call through it, so a test can
// record the calls with steps of its own. The lane engine (pocket_lanes/) and the hatch clearing
// (clearing/) fill their steps when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kPocketEngineStepsName[] = "pocket_engine_steps";

struct pocket_engine_steps {
    using unfilled = unfilled_seam<kPocketEngineStepsName>;
    void (*cmtpk_clean)(int mode, int& status) = unfilled{};
    void (*drawpk)(int mode, int reserved, int& status) = unfilled{};
    void (*drawpk_find_start)(int& status) = unfilled{};
    void (*tkpolg)(float angle, float second_angle, int sign, int linking, int option, int& status) = unfilled{};
    void (*clear_passes_out)(float angle, float height, int option, int& status) = unfilled{};
    void (*clrcls)(int mode, int& status) = unfilled{};
};

// The steps the pocket calls; assign an entry to replace it.
pocket_engine_steps& pocket_engine();

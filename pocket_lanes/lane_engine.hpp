// The lane engine's driver (rrpock): it fixes the engine's distances and tolerances from the
// current tool and the pocket options, turns the contours into lanes, runs the lane loop and,
// when usable lanes exist, hands over to the cutting stages. The pocket computation driver
// (cmtpk1) calls it once per computation.
#pragma once

#include <string_view>

// The engine's switches, reset by rrpock on every call.
struct lane_engine_state {
    int ilscom_enabled = 1;  // 1: island lanes that meet are merged
    int lancom_enabled = 1;  // 1: branch lanes that meet an island lane are merged with it
};
extern lane_engine_state lane_engine_block;

// Runs one computation on the contours of the engine contour tables. offsets_mode (1 one offset,
// 99 until full; -1 without island merging, -11 without branch merging, -2 island lanes reversed
// before merging) is changed while the engine runs and put back at its end, as is
// pocket_state.multi_offset. Status 0 or 100 on success, 17 when no usable lane was made, 22 when
// the lanes were made and ordered but leave part of a pocket on the surface uncut (said on the
// error channel), or a code of engine_codes.hpp. Reads the current tool (PRM9), pocket_state
// (pocket_dimension, multi_offset) and writes pocket_work (engine_step, working_tolerance,
// tool_radius, first_offset, reach_squared, end_value, full_pocket, reversed_islands) and
// pocket_box.
void rrpock(double extra_offset, const double* offsets, double side_step, int& offsets_mode, int direction_sign,
            int second_stage, double tolerance, double end_value, int& status);

// Sends the text with the time of day to the host's debug lines, when the host's debug switch
// is on and the pocket is not planar (reads pocket_state.pocket_dimension).
void engine_time_line(std::string_view text);

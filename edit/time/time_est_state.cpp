// The time estimate's state and its resets (see the header).
#include "edit/time/time_est_state.hpp"

#include <cstdio>

time_est_state& time_est()
{
    static time_est_state state;
    return state;
}

void time_est_proc_reset()
{
    time_est_state& s = time_est();
    s.feed_time = s.max_feed_time = s.fast_time = s.stint_time = s.milling_length = 0.0;
    s.min_z = kNoMinimumZ;
    s.tool_index = 0;
    s.tool_name.clear();
    s.tool_changes = 1;
    s.no_warning = 1;
}

void time_est_run_reset()
{
    time_est_state& s = time_est();
    s.last_tool_id = -1;
    s.tool_count = 0;
    s.tools.fill(time_est_tool{});
}

void set_estimate_mode(int mode)
{
    if (mode < kEstimateSilent || mode > kEstimateFileAndScreen) {
        std::printf("set_estimate_mode: mode %d is unlegal\n", mode);
        return;
    }
    time_est().output_mode = mode;
}

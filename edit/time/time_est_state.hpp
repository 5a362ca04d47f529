// The time estimate's state: the sums of one procedure walk, the tools met in one estimate with
// their stints, and the output mode. Times are in minutes (rates are per minute), tool lives in
// hours, lengths and Z in the tool path's length unit. Sums are doubles, so thousands of short
// motions add up without the drift of single-precision sums.
#pragma once

#include <array>
#include <string>

// Output modes of the report.
inline constexpr int kEstimateSilent = 0, kEstimateScreen = 1, kEstimateFile = 2, kEstimateFileAndScreen = 3;
// The lowest Z before any motion reached one: above every model (its extent is 10^6).
inline constexpr float kNoMinimumZ = 1.0e8f;
// Tools one estimate can register (entries 1 .. kMostEstimateTools - 1).
inline constexpr int kMostEstimateTools = 500;

struct time_est_tool {
    int id = 0;
    std::string name;          // 20 characters, blank-padded, upper case
    double accumulated = 0.0;  // minutes of all closed stints
    float life = 0.0f;         // hours; 0 or less: no tool-life check
    int replacements = 0;      // tool-life warnings given
};

struct time_est_state {
    // Per procedure walk (time_est_proc_reset).
    double feed_time = 0.0, max_feed_time = 0.0, fast_time = 0.0;
    double stint_time = 0.0;      // the current tool since it was loaded
    double milling_length = 0.0;  // feed length since the last tool report
    float min_z = kNoMinimumZ;
    int tool_index = 0;  // into tools; 0 before the first tool
    std::string tool_name;
    int tool_changes = 1;  // 1 + the tool changes met
    int no_warning = 1;    // 0 once a tool-life warning was written in the stint
    // Per estimate (time_est_run_reset).
    int last_tool_id = -1;
    int tool_count = 0;
    std::array<time_est_tool, kMostEstimateTools> tools{};
    // Kept between estimates.
    int output_mode = kEstimateFileAndScreen;
    int procedure = 0;      // the procedure being estimated
    std::string part_name;  // the part-file part of the output path
};

time_est_state& time_est();
void time_est_proc_reset();
void time_est_run_reset();

// Stores the output mode (0 none, 1 screen, 2 file, 3 both); any other value prints
// "set_estimate_mode: mode <n> is unlegal" on the standard output and keeps the mode.
void set_estimate_mode(int mode);

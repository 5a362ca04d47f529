// Status words of the procedure driver. The values are fixed: the steps and the callbacks
// exchange them as plain integers.
#pragma once

inline constexpr int kGoOn = 0;     // the step succeeded; continue with the next step
inline constexpr int kRedo = 1;     // back to the preparation step and define again
inline constexpr int kCancel = -1;  // the run is over (user cancel, error or normal end)
inline constexpr int kBack = -2;    // the user answered "back" to a question

// Any negative status ends the run, not only kCancel.
inline bool run_ended(int status) { return status < 0; }

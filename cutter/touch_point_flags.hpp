// The touch-point flags of the cutter location: stored words that stay 0 unless set. The pocket
// computation reads the temporary flag before it runs.
#pragma once

inline constexpr int kTouchPointGlobal = 1;
inline constexpr int kTouchPointTemporary = 2;

struct touch_point_flags {
    int global = 0;
    int temporary = 0;
};
extern touch_point_flags touch_point_flags_block;

// The global flag for which = 1, the temporary flag for any other value.
int touch_point_flag_get(int which);
// Stores the flag chosen as touch_point_flag_get chooses it.
void touch_point_flag_set(int which, int value);
// Set (1) or clear (0) the flag chosen as touch_point_flag_get chooses it.
void set_by_touch_point(int which);
void lin_unset_by_touch_point(int which);

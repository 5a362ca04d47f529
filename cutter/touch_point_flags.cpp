// The touch-point flags (see the header).
#include "cutter/touch_point_flags.hpp"

touch_point_flags touch_point_flags_block;

int touch_point_flag_get(int which)
{
    return which == kTouchPointGlobal ? touch_point_flags_block.global : touch_point_flags_block.temporary;
}

void touch_point_flag_set(int which, int value)
{
    (which == kTouchPointGlobal ? touch_point_flags_block.global : touch_point_flags_block.temporary) = value;
}

void set_by_touch_point(int which) { touch_point_flag_set(which, 1); }

void lin_unset_by_touch_point(int which) { touch_point_flag_set(which, 0); }

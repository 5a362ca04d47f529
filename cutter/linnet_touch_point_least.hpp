// linnet_touch_point: the line-net location of the tool along a segment in touch-point mode, for
// the gouge check of the surface approach and retract; it runs with the line-net mode word of
// toolpath/surface_query_seams.hpp. Least version until the line-net location is built: no point
// is located.
#pragma once

#include "toolpath/surface_query_seams.hpp"

// Locates the tool along start..end with the check tolerance and the two check values; located
// receives up to `room` points (three floats each, at most kTouchPointsMost) and count their
// number. Status 0 (here always with no point).
void linnet_touch_point(const float* start, const float* end, float tolerance, float check1, float check2,
                        int room, float* located, int& count, int& status);

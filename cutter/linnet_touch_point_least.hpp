// linnet_touch_point: the line-net location of the tool along a segment in touch-point mode, for
// the gouge check of the surface approach and retract, and the line-net mode word it runs with.
// Least version until the line-net location is built: the mode word is kept and no point is
// located.
#pragma once

// Most points a touch query answers: the two ends and at most 100 between them.
inline constexpr int kTouchPointsMost = 102;

void linnet_mode_set(int mode);
int linnet_mode_get();

// Locates the tool along start..end with the check tolerance and the two check values; located
// receives up to `room` points (three floats each) and count their number. Status 0 (here always
// with no point).
void linnet_touch_point(const float* start, const float* end, float tolerance, float check1, float check2,
                        int room, float* located, int& count, int& status);

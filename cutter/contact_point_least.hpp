// The contact of the current tool along a probe line (tool_contact_point), least version: the
// module carries no surfaces of the part yet, so the probe never meets one. The cutter location
// along probe lines completes it and replaces this file.
#pragma once

// Contact results besides the failure -1: the tool stands free along the probe (1); 0 would be a
// contact, which the hatching's surface check counts as a gouge.
inline constexpr int kContactFree = 1;
inline constexpr int kContactTouch = 0;

// Probes from start to end (three floats each) from the height: result gets the probe's start,
// normal (0, 0, 1), status kContactFree (no surface to touch).
void tool_contact_point(const float* start, const float* end, float height, float* result, float* normal,
                        int& status);

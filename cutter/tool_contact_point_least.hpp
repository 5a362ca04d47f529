// tool_contact_point: the contact of the current tool with the surfaces of the procedure along a
// segment, for the surface link of the motion output, the UP/DOWN contact test and the surface
// check of the region hatching. Least version until the cutter location is built: the module
// carries no surfaces of the part yet, so the tool never touches.
#pragma once

// Contact results besides the failure -1: a contact (0; the hatching's surface check counts it as
// a gouge) or the tool standing free along the probe (1).
inline constexpr int kContactTouch = 0;
inline constexpr int kContactFree = 1;

// Status kContactTouch with the contact point and its normal; -1 on failure; any other value: the
// tool does not touch (answered here: kContactFree, normal (0, 0, 1), contact untouched).
void tool_contact_point(const float* start, const float* end, float height, float* contact, float* normal,
                        int& status);

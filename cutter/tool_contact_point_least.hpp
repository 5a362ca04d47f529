// tool_contact_point: the contact of the current tool with the surfaces of the procedure along a
// segment, for the surface link of the motion output and the UP/DOWN contact test. Least version
// until the cutter location is built: the tool never touches.
#pragma once

// Status 0 with the contact point and its normal; -1 on failure; any other value: the tool does
// not touch (answered here: 1, normal (0, 0, 1), contact untouched).
void tool_contact_point(const float* start, const float* end, float height, float* contact, float* normal,
                        int& status);

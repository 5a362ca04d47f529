// tool_contact_point: the contact of the current tool with the triangle model of the part
// surfaces along a level move, for the surface link of the motion output, the UP/DOWN contact
// test and the surface check of the region hatching. With no triangle model held the tool never
// touches.
#pragma once

// Contact results besides the failure -1: a contact (0; the hatching's surface check counts it as
// a gouge) or the tool standing free along the probe (1).
inline constexpr int kContactTouch = 0;
inline constexpr int kContactFree = 1;

// The tool tip moved level at `height` from the x and y of start to those of end (a point when
// they coincide): status kContactTouch with the tool-tip position where it first touches (start
// when it touches there already) and the contact normal; -1 on failure (a line on the error
// channel); kContactFree when the tool does not touch (normal (0, 0, 1), contact untouched).
// Reads linnet_params, tri_store, qt_nodes.
void tool_contact_point(const float* start, const float* end, float height, float* contact, float* normal, int& status);

// warn_at_point: a warning about a point in the host's message window, made of a prefix, the
// point's coordinates in display units and a suffix. The gouge warnings of the surface approach
// and retract, the gouge, under-cut and undefined-normal warnings of the cutter location and the
// entry-point note of the pocket moves call it.
#pragma once

#include <string_view>

// Longest text taken from the prefix and from the suffix; the rest is cut off.
inline constexpr int kWarnTextMost = 159;

// Sends "<prefix> X = <x> Y = <y> Z = <z><suffix>" (coordinates in display units, four decimals)
// to the host's message window. Reads NPT1 through coord_in_display_units.
void warn_at_point(std::string_view prefix, const float* point, std::string_view suffix);

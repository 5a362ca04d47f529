// The tool display: the current tool drawn at a point with its axis. Least version until the
// tool display is built: it draws nothing and keeps no instance.
#pragma once

#include <array>

// Draws tool tool_id at the point with the axis; instance answers the tool instance, -1 (none).
void DISPT1(int tool_id, const std::array<float, 3>& point, const std::array<float, 3>& axis, int& instance);

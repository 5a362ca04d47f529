// The tool radius of a pocket run: one routine reads it from the current tool into
// pocket_work.tool_radius. The run's starts call it (NPKINI for each region of the pocket,
// init_pocket_globals for another caller's contours, and the lane engine, which may be run on its
// own); the drawing and the entry moves read the block and never the tool record.
#pragma once

// Sets pocket_work.tool_radius to half the current mill's diameter; a wire tool, or any tool
// that is no mill, answers -1 and counts 0. Reads PRM9's tool id and the tool record.
void set_pocket_tool_radius();

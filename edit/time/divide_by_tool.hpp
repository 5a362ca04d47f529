// The split of a procedure by tool: a procedure whose optimizer names a set of tools (item 62 of
// segment 24 is 4 or 5) is cut at each tool change into consecutive procedures that use one tool
// each. Every piece gets its tool, its feed and spin scaled by the tool's percentages, a
// single-tool optimizer setting and the text "k of n " before the procedure text (20
// characters). The trimming driver's DIVIDE BY TOOL calls divide_by_tool.
#pragma once

#include <string>

// Cuts procedure `procedure` (its number in the current tool path) at each tool change. Status 1
// when the procedure was divided; -1 when a tool change names a tool outside the set, when the
// procedure would give more than ten pieces or when a copy or cut failed (the tool path is then
// left as it was); otherwise unchanged (317/33 when there is nothing to divide).
void divide_by_tool(int procedure, int& status);

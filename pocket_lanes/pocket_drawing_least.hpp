// The drawing of a pocket's lanes into motions (DRAWPK, drawpk_find_start) as the pocket execution
// calls them. Least version until the drawing is built: each answers status 0 and writes nothing.
// The drawing replaces this file, keeping these names.
#pragma once

// Turns the computed lanes into tool-path motions at the current level by
// pocket_state.drawing_mode (1 writes the tool path). Status 0 or negative.
void DRAWPK(int mode, int reserved, int& status);
// Runs DRAWPK in its start-finding mode to find where the path starts (pocket_state.path_start).
void drawpk_find_start(int& status);

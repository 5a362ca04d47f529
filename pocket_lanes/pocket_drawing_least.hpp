// The lane computation of one region (cmtpk_clean) and the drawing of its lanes into motions
// (DRAWPK, drawpk_find_start) as the pocket execution calls them. Least version until the lane
// engine and the drawing are built: each answers status 0 and writes nothing. The lane engine
// and the drawing replace this file, keeping these names.
#pragma once

// Computes the lanes of the current region at the current Z from pocket_state and the offsets of
// pocket_work (mode 0). Status 0; negative on failure, 17 when the region cannot be cleared.
void cmtpk_clean(int mode, int& status);
// Turns the computed lanes into tool-path motions at the current level by
// pocket_state.drawing_mode (1 writes the tool path). Status 0 or negative.
void DRAWPK(int mode, int reserved, int& status);
// Runs DRAWPK in its start-finding mode to find where the path starts (pocket_state.path_start).
void drawpk_find_start(int& status);

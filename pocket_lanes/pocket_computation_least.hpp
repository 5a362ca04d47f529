// The lane computation of one region (cmtpk_clean) as the pocket execution calls it. Least
// version until the pocket computation driver is built: status 0, no lanes. The driver replaces
// this file, keeping the name.
#pragma once

// Computes the lanes of the current region at the current Z from pocket_state and the offsets of
// pocket_work (mode 0). Status 0; negative on failure, 17 when the region cannot be cleared.
void cmtpk_clean(int mode, int& status);

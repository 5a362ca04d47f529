// What the criteria lists need of the procedure's surface selections: the number of part or check
// surfaces in the procedure's selection buffer, and the new surfaces a geometry mask adds. Least
// version until the surface access is built: this module picks no surfaces, so the buffers are
// empty and a mask adds nothing.
#pragma once

inline constexpr int kSurfacePart = 0, kSurfaceCheck = 1;

// Selects buffer `which` (0 part, 1 check) for mode 1 (get) or 2 (set); count: its surfaces (0).
// Status 0; -1 for another buffer.
void nc_surf_select_buf(int mode, int which, int& count, int& status);
// changed: 1 when the surfaces matching the active mask of the type changed the selection (0).
void mask_new_surfaces(int type, int& changed);
